// Bounded tactical reading for questions asked one at a time (the GTP attack and defend
// commands). The exhaustive capture and rescue search rarely finishes in open positions, because
// proving that a chain with room to run cannot be caught never ends. This reader bounds the tree:
// a chain with enough liberties counts as safe, the ladder reader judges two-liberty chains at the
// horizon, the width shrinks with depth, and the depth grows step by step while time is left. When
// not even the shallowest pass finishes, the exhaustive search gets the rest of the time.
#pragma once

#include <cstdint>

#include "board/board.h"
#include "tactics/brute.h"

namespace obrin {

class TEngine;

// What a question about one chain came to. Result is FightSuccess (captured for an attack, saved
// for a defence), FightFailure or FightUndecided. Move is the capturing or saving move (the pass
// when a defence needs none). Ko says the success hangs on winning a ko.
struct TReadingAnswer {
    TFightResult Result = FightUndecided;
    TPoint Move = PassPoint;
    bool Ko = false;
    bool Bounded = true;  // false when the exhaustive search gave the answer
};

// Can the opponent of the chain at (x, y) capture it, the opponent moving first?
[[nodiscard]] TReadingAnswer ReadAttack(TEngine& engine, int x, int y, int koX, int koY,
                                        const TBoard& b, uint64_t deadline);

// Can the owner of the chain at (x, y) save it, the owner moving first?
[[nodiscard]] TReadingAnswer ReadDefend(TEngine& engine, int x, int y, int koX, int koY,
                                        const TBoard& b, uint64_t deadline);

}  // namespace obrin
