// The game information of a record: the engine's mirror of the game-information properties
// (TGameData) filled while the record is replayed, and the dialog's edits written back.
#pragma once

#include <string>

#include "game/gamedt.h"

namespace obrin {

class TSgfTreeModel;
class TSgfTreeItem;

// Stores value in data when identifier is one of the 26 fields. FF also labels the item
// "Information" (translated); GN also renames the item's game item.
void StoreGameInfo(TGameData& data, TSgfTreeModel& tree, TSgfTreeItem* item,
                   const std::string& identifier, const std::string& value);

// The dialog's "OK": writes the fields (UTF-8 text as the user typed it) back into the root
// node of the selected item's game, in the record's encoding, then selects that item again.
// FF, AP and GM get their fixed values; the record's SZ stays and RU is the edited text (no
// longer forced); a value that reads as before keeps its bytes and its place, and a property
// that was and stays empty is not added. Does nothing without a selected item, a game item or a
// root node item.
void WriteGameInfo(TSgfTreeModel& tree, TGameData edited);

}  // namespace obrin
