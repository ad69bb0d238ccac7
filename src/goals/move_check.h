// What the engine asks of a move before it plays it, and the moves that cannot wait. Both serve
// the engine outside its classic setting only.
//
// The check passes over a move that throws stones away or plays where nothing is left to gain:
// a self-atari or a stone the ladder takes at once, a crawl on the first two lines of a group of
// ours that is dead, an atari whose chain escapes by capturing our chain in atari beside it, a
// move inside our own settled area (an own eye included), a first-line move with no stone of the
// opponent near it (unless it makes an eye), a stone in an area of ours too small or too square
// for a second eye, and, once the opponent has passed or the game looks decided, a move inside
// the opponent's area. Captures and rescues of our chains in atari always pass.
//
// The urgent moves are the rescues of our chains in atari that matter (two or more stones, or a
// cutting stone: one next to chains of two of the opponent's groups) and the captures of the
// opponent's chains in atari that could still run away and matter in the same way. A chain of
// ours that the status calls dead counts only where its rescue shows the status wrong.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

namespace obrin {

class TPatternContext;
class TSwingEvaluator;

enum class TMoveFault {
    None,            // play it
    ThrownAway,      // a self-atari that takes no ko, a stone the ladder captures, or a crawl
                     // of a dead group
    OwnArea,         // inside an area only our settled stones border
    FirstLine,       // a crawl on the edge with no opponent's stone next to it
    OpponentsArea,   // in a finished game: inside an area only the opponent borders
    EmptyAtari,      // an atari the opponent answers by capturing our chain in atari beside it
    NoEye,           // a stone in a small area of ours that no second eye can come of
};

// The check of a move of +1 at point on the context's board (legal for it). finished: the
// opponent has passed or the game looks decided. eyeMove: the move is meant to make an eye,
// which the edge rule lets pass where the stone leaves an eye beside it.
[[nodiscard]] TMoveFault CheckMove(TPatternContext& context, int32_t point, bool finished,
                                   bool eyeMove);

struct TUrgentMove {
    int32_t Point = -1;   // where to play
    int32_t Chain = -1;   // the chain saved or captured (its naming point)
    int32_t Stones = 0;   // its stones
    bool Rescue = false;  // our chain is saved (else the opponent's is captured)
    int32_t Value = 0;    // what is at stake, in points
};

// The urgent moves of +1 in the context's graph and board, most valuable first; one per chain.
// A chain counts when what is at stake, in points (three per stone, five more for a cutting
// stone), is at least half biggestSwing, the largest territory swing on the board: early in the
// game two stones may be given up for a big point, late in the game hardly anything.
[[nodiscard]] std::vector<TUrgentMove> UrgentMoves(TPatternContext& context, double biggestSwing);

struct TPredictedMove {
    int32_t Point = -1;
    int32_t Millionths = 0;  // the predictor's probability of the point, in millionths
};

// The move predictor's most likely points for +1 on the context's board, most likely first:
// the first three (fewer when fewer are legal). None when no predictor is loaded.
[[nodiscard]] std::vector<TPredictedMove> PredictedMoves(const TPatternContext& context);

// Does the game look decided? No group is still in the fight, and every point that swings
// limit points or more lies in a closed area of up to SettledAreaLimit points that only one
// side's safe groups border.
[[nodiscard]] bool GameLooksDecided(const TPatternContext& context,
                                    const std::function<double(int32_t)>& swingAt, double limit);

// Prepares swing for the context's board, each stone as firm as its group's status says.
void PrepareSwing(TSwingEvaluator& swing, const TPatternContext& context);

}  // namespace obrin
