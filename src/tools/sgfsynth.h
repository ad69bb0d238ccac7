// Synthetic game records for tests and benchmarks: random legal games written the way game
// servers write them (a header of game information, one move per node, now and then a comment
// holding "]" or "\"). No collection of real records ships with the program, so the throughput
// figures and the deep-nesting and long-game checks run on these.
#pragma once

#include <cstdint>
#include <string>

#include "board/board.h"

namespace obrin {

struct TSyntheticGame {
    std::string Sgf;
    TBoard Final{};  // the position after all moves, played with the program's rules
    int Moves = 0;
};

// A game of up to moves moves (fewer when both sides run out of moves). With nest set, every
// node after the first sits in its own parentheses, as some servers export; with fillEyes set
// the sides also fill their own eyes, so captures keep the game going as long as wanted.
[[nodiscard]] TSyntheticGame SyntheticGame(uint32_t seed, int moves, bool nest = false,
                                           bool fillEyes = false);
// A collection of games of server-like lengths (50 to 300 moves), about 1.3 KB per game.
[[nodiscard]] std::string SyntheticCollection(int games, uint32_t seed);

}  // namespace obrin
