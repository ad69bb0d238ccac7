// Game state and flow: the game-level move, handicap, random positions, position entry and the
// three game loops (two humans, human against computer, computer against itself). The loops
// talk to the user only through the host interface.
#pragma once

#include <string>
#include <vector>

#include "board/board.h"
#include "game/engine.h"

namespace obrin {

// The game-level move: plays on Spielfeld with captures, redraws, records the move and credits
// the captured stones to the mover. A pass clears the ko point and is recorded too.
void ExecuteMove(TEngine& engine, int x, int y, int colour);
// The same without redraw and without recording (the record replay uses it).
void ExecuteMoveQuiet(TGameBoard& board, int x, int y, int colour);

// The handicap points for n stones in placing order; empty for an n without a table row.
[[nodiscard]] std::vector<TPoint> HandicapPoints(int n);
// Clears the board (after ConfirmClear) and places n stones of +1 with 200 ms pauses.
void PlaceHandicap(TEngine& engine, int n);

// The options of the "Zufallszüge" dialog.
struct TRandomMovesOptions {
    bool SpielfeldLeeren = false;     // clear the board first
    int Farbwahrscheinlichkeit = 50;  // P, 0 .. 100: chance in percent of a White (-1) move
    int ZugVersuche = 100;            // T, 0 .. 1000: number of tries
};
void RandomMoves(TEngine& engine, const TRandomMovesOptions& options);

// "Spielfeld leeren": empty board, no prisoners. The ko point is left as it is.
void ClearPosition(TEngine& engine);

// Position entry: the left button toggles empty <-> +1, the right empty <-> -1. Off-board
// points are ignored. No legality test, no captures, no record.
void EnterPosition(TEngine& engine, int x, int y, bool leftButton);

// Distance ranks from the move at (x, y): the move's point ranks highest, the farthest point 0.
void UpdateRadar(TBoard& field, int x, int y);
// Replaces every value by its dense rank (smallest value 0, equal values share a rank).
void RankField(TBoard& field);

// The engine always plays +1; ComputerWeiss says whether +1 is drawn and recorded as White.
// Whether a colour of the board is drawn (and recorded) as Black.
[[nodiscard]] bool IsDrawnBlack(const TGameState& game, int colour);
// The prisoners of the player drawn black (or white), komi included.
[[nodiscard]] double PrisonersOf(const TGameState& game, bool black);
// Sets which colour +1 is drawn as while every stone and count keeps its drawn colour: when the
// flag changes, the board is negated and the two prisoner counts change places.
void SetColourSwap(TEngine& engine, bool swapped);

// The number of handicap stones on board: n when the stones of colour stand on exactly the
// points of a handicap table row and the other colour has none; 0 otherwise.
[[nodiscard]] int HandicapStonesOn(const TBoard& board, int colour);

// The record's RE for a counted game with balance for +1 ("B+5.5", "W+3", "0" for a draw), and
// for a game the player of colour resigned ("W+R" when Black resigned).
[[nodiscard]] std::string CountedResult(const TGameState& game, double balance);
[[nodiscard]] std::string ResignedResult(const TGameState& game, int colour);

void PlayHumanVsHuman(TEngine& engine);
void PlayHumanVsComputer(TEngine& engine);
void PlaySelfPlay(TEngine& engine);

}  // namespace obrin
