// Which stones of a finished game are dead and which live in seki, as a player counting the game
// decides: a chain whose points the opponent owns at the end of most random playouts cannot live
// (no eye space, no escape, no neighbour it could capture), unless it is pass-alive (two vital
// regions); groups of both colours that share liberties neither side may fill without putting
// its own chain into atari live in seki, and those liberties belong to nobody.
#pragma once

#include <cstdint>

#include "board/board.h"

namespace obrin {

// The playouts of one verdict: enough that a group's share of lost playouts is steady to a few
// percent, few enough for a count of well under a second. A fixed seed makes the verdict depend
// on the position alone.
constexpr int EndCountPlayouts = 600;
constexpr uint64_t EndCountSeed = 0x0B121E5E7D0C0117ULL;

struct TEndVerdict {
    TBoard Dead{};     // the colour of every stone that cannot live, 0 elsewhere
    TBoard Seki{};     // the colour of every stone living in seki
    TBoard Neutral{};  // 1 at the liberties the seki groups share
};

// The dead stones of position.
[[nodiscard]] TBoard DeadStones(const TBoard& position, int playouts = EndCountPlayouts);

// The seki of a position whose dead stones are off the board (living): the shared liberties that
// neither colour may fill (the filler's chain would be left in atari or without liberties, and it
// captures nothing) and that stay empty between both colours in most playouts, and the chains
// around them, with the chains of the same colour that share an eye with those.
void FindSeki(const TBoard& living, TBoard& seki, TBoard& neutral, int playouts = EndCountPlayouts);

// DeadStones, then FindSeki on the position without them.
[[nodiscard]] TEndVerdict JudgeFinalPosition(const TBoard& position,
                                             int playouts = EndCountPlayouts);

}  // namespace obrin
