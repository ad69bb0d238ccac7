// Game information: a mirror of the game-information properties (players, ranks, event, date,
// result, ...) last seen while the record tree was displayed or replayed. The game-information
// dialog shows it and writes edits back into the root node of the current game.
#pragma once

#include <functional>
#include <string>

namespace obrin {

class TSgfTreeModel;
class TSgfTreeItem;

// One string per game-information property, named after its SGF identifier. One instance lives
// in the engine for the whole run.
struct TGameData {
    std::string FF, AP, GN, SZ, CP, SO, US, AN, GC, GM, RO, OT, PB, PW, BT, WT, BR, WR, DT, EV, PC,
        RU, HA, KM, TM, RE;

    // The field of an identifier (exact comparison), null for any other identifier.
    [[nodiscard]] std::string* Field(const std::string& identifier);

    // Stores value when identifier is one of the 26 fields. FF also labels the item
    // "Information" (translated); GN also renames the item's game item.
    void StoreGameInfo(TSgfTreeModel& tree, TSgfTreeItem* item, const std::string& identifier,
                       const std::string& value);
};

// "Heute": today's date as the DT property wants it, for example 2001-03-09.
[[nodiscard]] std::string TodayText();

// The dialog's "OK": writes the fields (UTF-8 text as the user typed it) back into the root
// node of the selected item's game, in the record's encoding, then selects that item again.
// FF, AP and GM get their fixed values; the record's SZ stays and RU is the edited text (no
// longer forced); a value that reads as before keeps its bytes and its place, and a property
// that was and stays empty is not added. Does nothing without a selected item, a game item or a
// root node item.
void WriteGameInfo(TSgfTreeModel& tree, TGameData edited);

}  // namespace obrin
