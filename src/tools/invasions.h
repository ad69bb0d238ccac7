// Invasions for the teacher games: at a few random moves the side to move plays, instead of the
// teacher's move, a lone stone into the opponent's framework. The teacher then plays on for both
// sides, and the invader usually dies and stays on the board: the dead stones inside territory
// that real games end with and the teacher's own games rarely have.
#pragma once

#include <cstdint>
#include <optional>
#include <random>
#include <vector>

#include "board/board.h"

namespace obrin::train {

// The move numbers of a game's invasions: count different numbers from first to last, in
// ascending order. With a count of 0 the generator is not drawn from, so the rest of the game
// stays as it was without invasions.
[[nodiscard]] std::vector<int> DrawInvasionMoves(int count, int first, int last, std::mt19937& rng);

// Whether colour may invade at (x, y): a legal empty point on the 3rd line or further in, no
// stone of colour within two lines (the 5x5 square around it) and at least two opposing stones
// within three (the 7x7 square).
[[nodiscard]] bool IsInvasionPoint(const TBoard& board, int x, int y, int colour, int koX, int koY);

// A random invasion point for colour, or none when the position has none.
[[nodiscard]] std::optional<TPoint> ChooseInvasionPoint(const TBoard& board, int colour, int koX,
                                                        int koY, std::mt19937& rng);

}  // namespace obrin::train
