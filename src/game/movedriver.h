// The move driver: turns the current position into the computer's move. The analysis runs in a
// fixed order over Spielfeld (each stage reads what the earlier ones wrote), then the goal search
// picks the goal to serve, and its point is played or the computer passes. The engine always
// plays +1; callers that play -1 negate the board first.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "board/board.h"

namespace obrin {

class TEngine;
class TGoal;

// The computer's choice for +1 in the current position; (-1, -1) is a pass. Resets the goals,
// analyses, searches, and leaves the goal tree of the chosen goal in engine.LastGoalTree and in
// the host's inference pane. Errors of the analysis or the search propagate (EObrinError).
[[nodiscard]] TPoint ComputerMove(TEngine& engine);

// A move that takes dead enemy stones off the board, for a search that passes while the opponent
// still plays: under area counting the stones left standing count for the opponent and the empty
// points around them for nobody. The read capture of a dead enemy chain comes first, else a
// liberty of one (the chain with the fewest liberties, then the larger one); never a move that
// leaves the new stone's chain with fewer than two liberties. (-1, -1) when there is none. Reads
// the analysis of the current position (ComputerMove has run on it).
[[nodiscard]] TPoint CleanupMove(TEngine& engine);

// The computer's move in a game, for every game loop and GTP alike: the search's choice, except
// that while the opponent still plays stones (opponentPassed false) a pass of the search becomes
// the cleanup move, when there is one. After the opponent's pass the search's answer stands, so
// that the game can end. Goes through engine.ComputerMove (a test may set its own).
// lastMoveWasPass tells the move check that the opponent's last move was a pass (by default the
// same as opponentPassed; GTP, which also counts a game without moves as "not playing", tells it
// apart).
[[nodiscard]] TPoint ChooseComputerMove(TEngine& engine, bool opponentPassed,
                                        std::optional<bool> lastMoveWasPass = std::nullopt);

// Lists the goal tree of goal (why this move) in the inference pane and in engine.LastGoalTree.
void ShowGoalTree(TEngine& engine, TGoal& goal);

}  // namespace obrin
