// Moves, chains and captures: the rules of Go as Obrin applies them (suicide forbidden, simple
// ko, no superko). Everything works on a board passed by reference, so the same code serves the
// game position and the scratch copies of the searches. Nothing here allocates.
#pragma once

#include "board/board.h"
#include "board/fields.h"

namespace obrin {

// Fills list with the chain at (x, y) (the connected region of equal value, also for empty
// points) and returns its size. The first entry is (x, y); the rest follow the flood-fill stack.
int GetChain(int x, int y, const TBoard& b, TPointList& list);

// Fills list with the liberties of the chain at (x, y): chain points are taken from the last to
// the first, each one's neighbours in the usual order.
int GetLiberties(int x, int y, const TBoard& b, TPointList& list);

// May colour play at (x, y)? Any pair is accepted; the pass (-1 in either coordinate) is legal.
// b is changed during the test and restored before return.
[[nodiscard]] bool IsLegal(int x, int y, int colour, int koX, int koY, TBoard& b);

// Plays the move with captures and sets the new ko point. Does not test legality.
void PlayMove(int x, int y, int colour, TBoard& b, int32_t& koX, int32_t& koY);

// Recomputes Namensfeld from Spielfeld: each stone gets its chain's lowest point index, each
// empty point its own index.
void ComputeNamensfeld(TBoardFields& fields);

// Recomputes the liberty field: every stone gets its chain's liberty count, empty points 0.
void ComputeFreiheitsfeld(const TBoard& b, TBoard& field, const TBoard& spielfeld);

// One entry per distinct chain or empty region touching the chain at (x, y); each entry is the
// point named by Namensfeld. Relies on Namensfeld being current.
void NeighbourChains(int x, int y, const TBoard& b, TPointList& list, const TBoard& namensfeld);

}  // namespace obrin
