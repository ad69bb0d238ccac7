// Bounded tactical reading for questions asked one at a time (the GTP attack and defend
// commands, and the analysis of every chain). The exhaustive capture and rescue search rarely
// finishes in open positions, because proving that a chain with room to run cannot be caught
// never ends. This reader bounds the tree: a chain with enough liberties counts as safe, the
// ladder reader judges two-liberty chains at the horizon, the width shrinks with depth, and pass
// by pass the depth, the width and the liberty limits grow while time is left; a transposition
// table carries each pass's work into the next. Answers are checked against each other before
// they are given: a capture must survive the defender's best reply, and a chain given up must
// not be saved by any move around it. When not even the shallowest pass finishes, the exhaustive
// search gets the rest of the time. Deadlines are read on the reader's clock (TReader::NowMs).
#pragma once

#include <cstdint>

#include "board/board.h"
#include "tactics/brute.h"

namespace obrin {

class TReader;

// How a success hangs on a ko, in the terms GTP tools know from GNU Go: KoA, the side wins the
// ko fight that follows its move (it takes the ko first); KoB, the side must find a ko threat
// before its move can be played or the ko retaken.
enum class TKoResult : uint8_t { None, KoA, KoB };

// What a question about one chain came to. Result is FightSuccess (captured for an attack, saved
// for a defence), FightFailure or FightUndecided. Move is the capturing or saving move (the pass
// when a defence needs none). A success that needs a ko is still FightSuccess, so callers that
// know only the three fight results take it for a success; Ko and KoKind say that it hangs on
// the ko.
struct TReadingAnswer {
    TFightResult Result = FightUndecided;
    TPoint Move = PassPoint;
    bool Ko = false;
    TKoResult KoKind = TKoResult::None;
    bool Bounded = true;  // false when the exhaustive search gave the answer
};

// Can the opponent of the chain at (x, y) capture it, the opponent moving first?
[[nodiscard]] TReadingAnswer ReadAttack(TReader& reader, int x, int y, int koX, int koY,
                                        const TBoard& b, uint64_t deadline);

// Can the owner of the chain at (x, y) save it, the owner moving first?
[[nodiscard]] TReadingAnswer ReadDefend(TReader& reader, int x, int y, int koX, int koY,
                                        const TBoard& b, uint64_t deadline);

}  // namespace obrin
