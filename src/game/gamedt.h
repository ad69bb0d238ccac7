// Game information: a mirror of the game-information properties (players, ranks, event, date,
// result, ...) last seen while the record tree was displayed or replayed. The game-information
// dialog shows it and writes edits back into the root node of the current game.
#pragma once

#include <functional>
#include <string>

namespace obrin {

// One string per game-information property, named after its SGF identifier. One instance lives
// in the engine for the whole run.
struct TGameData {
    std::string FF, AP, GN, SZ, CP, SO, US, AN, GC, GM, RO, OT, PB, PW, BT, WT, BR, WR, DT, EV, PC,
        RU, HA, KM, TM, RE;

    // The field of an identifier (exact comparison), null for any other identifier.
    [[nodiscard]] std::string* Field(const std::string& identifier);
};

// "Heute": today's date as the DT property wants it, for example 2001-03-09.
[[nodiscard]] std::string TodayText();

}  // namespace obrin
