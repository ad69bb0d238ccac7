// The capture and rescue search: can a chain be captured (Attack) or saved (Defend)? An
// exhaustive alternating search under a deadline on the host's millisecond tick counter, resting
// on a two-eye test, a generator of candidate moves around the fight and a move-ordering score.
// Scratch boards and lists come from the reader's element pool and go back on every path.
#pragma once

#include <cstdint>

#include "board/board.h"

namespace obrin {

class TReader;

// A fight result, from the point of view of the side to move in the call.
using TFightResult = uint8_t;
inline constexpr TFightResult FightSuccess = 0;  // captured (Attack) or saved (Defend)
inline constexpr TFightResult FightFailure = 1;
inline constexpr TFightResult FightUndecided = 2;  // the deadline passed or the search was stopped

// Can (x, y) become an eye of colour? Off the board or occupied: no.
[[nodiscard]] bool EyePoint(int x, int y, int colour, const TBoard& b);

// When (x, y) is legal for colour, the number of its eight neighbours that are eye points of
// colour; 0 when it is illegal.
[[nodiscard]] int EyePointCount(int x, int y, int colour, int koX, int koY, const TBoard& b);

// Sets eyes to 1 on the candidate points (candidates = 1) that are real eyes of colour, 0
// elsewhere.
void EyeField(TReader& reader, int colour, int koX, int koY, const TBoard& b,
              const TBoard& candidates, TBoard& eyes);

// Does the chain at (x, y) have at least two real eyes among its liberties?
[[nodiscard]] bool HasTwoEyes(TReader& reader, int x, int y, int koX, int koY, const TBoard& b);

// Candidate moves for mover in the fight about the chain at (x, y), already ordered.
void FightMoves(TReader& reader, int x, int y, int mover, int koX, int koY, const TBoard& b,
                TPointList& moves);

// Sorts moves by the heuristic score, highest first; equal scores keep their order.
void OrderFightMoves(int x, int y, int mover, int koX, int koY, TPointList& moves, const TBoard& b);

// For the opponent of the chain at (x, y): on success moves holds the capturing move. When the
// chain has two eyes, the result is failure with moves = [pass].
[[nodiscard]] TFightResult Attack(TReader& reader, int x, int y, int koX, int koY, const TBoard& b,
                                  uint64_t deadline, TPointList& moves);

// For the chain's owner: on success moves holds the saving move, or the pass when the chain
// already has two eyes.
[[nodiscard]] TFightResult Defend(TReader& reader, int x, int y, int koX, int koY, const TBoard& b,
                                  uint64_t deadline, TPointList& moves);

}  // namespace obrin
