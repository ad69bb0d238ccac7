// Small, allocation-free board helpers shared by the ladder reader and the capture search: a
// legality test that leaves a const board alone, and liberty counts that stop
// as soon as the answer is known. They give exactly the answers of the board core's IsLegal and
// GetLiberties; they only do less work to get there.
#pragma once

#include <array>
#include <cstdint>

#include "board/board.h"
#include "board/neighbours.h"

namespace obrin::reading {

// May colour play at (x, y)? The same answer as IsLegal, read off the board without placing the
// stone: an empty neighbour, a friendly chain with another liberty, or a capture makes it legal.
[[nodiscard]] bool IsLegalOn(const TBoard& b, int x, int y, int colour, int koX, int koY);

// The liberty count of the chain (or empty region) at p as GetLiberties counts it, but stopping
// once it exceeds limit: the result is min(count, limit + 1). When found is given, the point
// indices of the liberties seen go there (at most limit + 1 of them).
[[nodiscard]] int LibertiesUpTo(const TBoard& b, int p, int limit, int16_t* found = nullptr);

// The only liberty of the chain at p as a point index, or -1 when it has another number.
[[nodiscard]] int SoleLiberty(const TBoard& b, int p);

// Fills list with the points next to the chain at (x, y) that are not part of it, in the order
// GetLiberties would list them if every such point were empty.
void AdjacentPoints(const TBoard& b, int x, int y, TPointList& list);

}  // namespace obrin::reading
