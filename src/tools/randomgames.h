// Random legal games through IsLegal and PlayMove: the board core's speed benchmark and a
// source of varied positions for tests. A side never fills its own one-point eyes, so games end
// by two passes.
#pragma once

#include <cstdint>

#include "board/board.h"

namespace obrin {

struct TRandomGameStats {
    int64_t Games = 0;
    int64_t Moves = 0;          // legal moves played
    int64_t LegalityTests = 0;  // IsLegal calls
};

// Plays games on scratch boards; the callback, when given, sees every position after a move.
TRandomGameStats PlayRandomGames(int games, uint32_t seed, void (*onMove)(const TBoard&) = nullptr);

}  // namespace obrin
