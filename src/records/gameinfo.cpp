#include "records/gameinfo.h"

#include "records/sgftree.h"

namespace obrin {

void StoreGameInfo(TGameData& data, TSgfTreeModel& tree, TSgfTreeItem* item,
                   const std::string& identifier, const std::string& value) {
    std::string* field = data.Field(identifier);
    if (field == nullptr) return;
    *field = value;
    if (identifier == "FF") tree.SetLabel(item, tree.Translate("Information"));
    if (identifier == "GN") tree.SetLabel(tree.GameItemOf(item), tree.DecodeText(item, value));
}

namespace {

bool HasProperty(const TSgfTreeItem* item, const char* identifier) {
    if (item == nullptr || !item->IsNodeItem()) return false;
    for (const auto& p : *item->Data->Properties)
        if (p->Identifier == identifier) return true;
    return false;
}

}  // namespace

void WriteGameInfo(TSgfTreeModel& tree, TGameData edited) {
    TSgfTreeItem* selected = tree.Selected();
    TSgfTreeItem* game = tree.GameItemOf(selected);
    if (game == nullptr || game->Children().empty()) return;
    TSgfTreeItem* root = game->Children().front().get();
    // The record's own board size stays (the dialog shows it read-only); the rules are the text
    // the user sees and edits, so a record without rules gets none added.
    const std::string size = tree.GetPropertyValue(root, "SZ");
    const std::pair<const char*, std::string> values[] = {
        {"FF", "4"},       {"AP", "Obrin:6"}, {"SZ", size},      {"GN", edited.GN},
        {"GM", "1"},       {"RU", edited.RU}, {"PW", edited.PW}, {"PB", edited.PB},
        {"AN", edited.AN}, {"SO", edited.SO}, {"BR", edited.BR}, {"WR", edited.WR},
        {"BT", edited.BT}, {"WT", edited.WT}, {"EV", edited.EV}, {"PC", edited.PC},
        {"CP", edited.CP}, {"US", edited.US}, {"RO", edited.RO}, {"OT", edited.OT},
        {"DT", edited.DT}, {"HA", edited.HA}, {"KM", edited.KM}, {"RE", edited.RE},
        {"TM", edited.TM}, {"GC", edited.GC}};
    // The text is the user's (UTF-8); when one character does not fit the record's encoding,
    // the record becomes UTF-8 before anything is written.
    for (const auto& [id, text] : values)
        if (!tree.CanEncode(root, text)) tree.SwitchToUtf8(root);
    for (const auto& [id, text] : values) {
        const bool present = HasProperty(root, id);
        if (text.empty() && !present) continue;  // empty it was, empty it stays
        const std::string original = tree.GetPropertyValue(root, id);
        const std::string value = tree.EncodeText(root, text, original);
        // An unchanged value keeps its place and its bytes.
        if (present && value == original) continue;
        tree.SetPropertyOfItem(root, id, value);
    }
    tree.Select(selected);
}

}  // namespace obrin
