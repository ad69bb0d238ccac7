#include "records/sgftree.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <unordered_map>

#include "board/errors.h"
#include "board/safefile.h"
#include "records/recordtext.h"
#include "records/sgfparse.h"
#include "settings/textlines.h"

namespace obrin {
namespace {

constexpr const char* kCrLf = "\r\n";

// Only the letters "A" to "Z" of an identifier reach the handler.
std::string CapitalsOf(const std::string& identifier) {
    std::string out;
    for (const char c : identifier)
        if (c >= 'A' && c <= 'Z') out += c;
    return out;
}

// Line breaks of any kind become CR LF.
std::string WithCrLf(const std::string& value) {
    if (value.find_first_of("\r\n") == std::string::npos) return value;
    std::string out;
    out.reserve(value.size() + 16);
    for (size_t i = 0; i < value.size(); ++i) {
        if (value[i] == '\r' || value[i] == '\n') {
            out += kCrLf;
            if (value[i] == '\r' && i + 1 < value.size() && value[i + 1] == '\n') ++i;
        } else {
            out += value[i];
        }
    }
    return out;
}

std::string SgfPoint(int x, int y) {
    if (!OnBoard(x, y)) return "tt";
    return {static_cast<char>('a' + x), static_cast<char>('s' - y)};
}

// The last value of the last property named identifier, null when the node has none.
const std::string* FindValue(const TSgfData& node, const char* identifier) {
    const TSgfMultiPurposeList& properties = *node.Properties;
    for (int i = properties.Count() - 1; i >= 0; --i) {
        const TSgfData& p = *properties.Items(i);
        if (p.Identifier == identifier && p.Values->Count() > 0)
            return &p.Values->Items(p.Values->Count() - 1)->Value;
    }
    return nullptr;
}

// Every node of a game tree, for the walks over a whole game.
template <typename F>
void ForEachNode(const TSgfData& tree, F&& visit) {
    std::vector<const TSgfData*> pending{&tree};
    while (!pending.empty()) {
        const TSgfData* t = pending.back();
        pending.pop_back();
        if (t->Sequence)
            for (const auto& node : *t->Sequence->Nodes) visit(*node);
        if (t->Variations)
            for (const auto& v : *t->Variations) pending.push_back(v.get());
    }
}

// A game's encoding and board size come from its root node; without CA, one value that is no
// valid UTF-8 makes the whole game Windows-1252.
void ReadGameTraits(TSgfTreeItem& game) {
    const TSgfData& tree = *game.Data;
    const TSgfData* root = tree.Sequence && tree.Sequence->Nodes->Count() > 0
                               ? tree.Sequence->Nodes->Items(0)
                               : nullptr;
    const std::string* ca = root != nullptr ? FindValue(*root, "CA") : nullptr;
    game.BoardSize = GameBoardSize(tree);
    game.CharsetDeclared = ca != nullptr;
    if (ca != nullptr) {
        game.Charset = CharsetOfCa(*ca);
        return;
    }
    bool utf8 = true;
    ForEachNode(tree, [&utf8](const TSgfData& node) {
        for (const auto& p : *node.Properties)
            for (const auto& v : *p->Values) utf8 = utf8 && IsValidUtf8(v->Value);
    });
    game.Charset = utf8 ? Utf8Charset : FallbackCharset;
}

std::string Trimmed(const std::string& text) {
    const size_t first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

size_t IndexIn(const std::vector<std::unique_ptr<TSgfTreeItem>>& list, const TSgfTreeItem* item) {
    return static_cast<size_t>(
        std::find_if(list.begin(), list.end(), [item](const auto& p) { return p.get() == item; }) -
        list.begin());
}

// The first node items of every line that continues from entry k of container: the next node
// item on the same level, and the first nodes of the variation items met before it (which
// hold the alternatives, nested ones included). This is how the writer reads the items.
std::vector<TSgfTreeItem*> FirstNodes(const TSgfTreeItem& container, size_t k) {
    std::vector<TSgfTreeItem*> nodes;
    std::vector<std::pair<const TSgfTreeItem*, size_t>> pending{{&container, k}};
    while (!pending.empty()) {
        const auto [c, start] = pending.back();
        pending.pop_back();
        const auto& children = c->Children();
        for (size_t i = start; i < children.size(); ++i) {
            TSgfTreeItem* child = children[i].get();
            if (child->IsNodeItem()) {
                nodes.push_back(child);
                break;
            }
            if (!child->Children().empty()) pending.push_back({child, 0});
        }
    }
    return nodes;
}

TSgfTreeItem* FirstNodeChild(const TSgfTreeItem& item) {
    for (const auto& child : item.Children())
        if (child->IsNodeItem()) return child.get();
    return nullptr;
}

}  // namespace

std::string GameBoardSize(const TSgfData& gameTree) {
    const TSgfData* root = gameTree.Sequence && gameTree.Sequence->Nodes->Count() > 0
                               ? gameTree.Sequence->Nodes->Items(0)
                               : nullptr;
    const std::string* sz = root != nullptr ? FindValue(*root, "SZ") : nullptr;
    return sz != nullptr ? *sz : "19";
}

bool IsPlayableBoardSize(const std::string& size) {
    const std::string s = Trimmed(size);
    return s == "19" || s == "19:19";
}

std::string BoardSizeMessage(const std::string& fileName, int64_t number, const std::string& size) {
    char text[600];
    std::snprintf(text, sizeof text, msg::SgfBoardSize, fileName.substr(0, 400).c_str(),
                  static_cast<long long>(number), Trimmed(size).substr(0, 20).c_str());
    return text;
}

TSgfTreeItem::~TSgfTreeItem() {
    // Item trees can be deep: take them apart without recursion.
    std::vector<std::unique_ptr<TSgfTreeItem>> pending;
    for (auto& c : m_children) pending.push_back(std::move(c));
    m_children.clear();
    while (!pending.empty()) {
        std::unique_ptr<TSgfTreeItem> item = std::move(pending.back());
        pending.pop_back();
        for (auto& c : item->m_children) pending.push_back(std::move(c));
        item->m_children.clear();
    }
}

TSgfTreeModel::TSgfTreeModel(TGameBoard& board, std::string name)
    : m_board(board), m_name(std::move(name)) {}

TSgfTreeModel::~TSgfTreeModel() {
    if (m_parser != nullptr) m_parser->SetTreeView(nullptr);
    ClearItems();
}

void TSgfTreeModel::SetSgfParser(TSgfParser* parser) {
    if (parser == m_parser) return;
    if (m_parser != nullptr) m_parser->SetTreeView(nullptr);
    m_parser = parser;
    if (m_parser != nullptr) {
        if (TSgfTreeModel* other = m_parser->TreeView(); other != nullptr && other != this)
            other->ParserDestroyed();
        m_parser->SetTreeView(this);
    }
}

std::vector<std::unique_ptr<TSgfTreeItem>>& TSgfTreeModel::ChildList(TSgfTreeItem* parent) {
    return parent != nullptr ? parent->m_children : m_items;
}

TSgfTreeItem* TSgfTreeModel::AppendItem(TSgfTreeItem* parent, std::string label, TSgfData* data) {
    return InsertItemAt(parent, ChildList(parent).size(), std::move(label), data);
}

TSgfTreeItem* TSgfTreeModel::InsertItemAt(TSgfTreeItem* parent, size_t index, std::string label,
                                          TSgfData* data) {
    auto& list = ChildList(parent);
    const auto at = list.begin() + static_cast<std::ptrdiff_t>(std::min(index, list.size()));
    TSgfTreeItem* item =
        list.insert(at, std::make_unique<TSgfTreeItem>(std::move(label), data, parent))->get();
    if (parent != nullptr) parent->HasChildren = true;
    if (Listener != nullptr) Listener->ItemInserted(item);
    return item;
}

TSgfTreeItem* TSgfTreeModel::InsertItemBefore(TSgfTreeItem* before, std::string label) {
    if (before == nullptr) return nullptr;
    TSgfTreeItem* parent = before->Parent();
    auto& list = ChildList(parent);
    const auto at = std::find_if(list.begin(), list.end(),
                                 [before](const auto& p) { return p.get() == before; });
    TSgfTreeItem* item =
        list.insert(at, std::make_unique<TSgfTreeItem>(std::move(label), nullptr, parent))->get();
    if (Listener != nullptr) Listener->ItemInserted(item);
    return item;
}

TSgfTreeItem* TSgfTreeModel::AppendChildItem(TSgfTreeItem* parent, std::string label) {
    return AppendItem(parent, std::move(label), nullptr);
}

void TSgfTreeModel::ClearItems() {
    m_selected = nullptr;
    m_items.clear();
    if (Listener != nullptr) Listener->ItemsReset();
}

void TSgfTreeModel::Select(TSgfTreeItem* item) {
    m_selected = item;
    if (Listener != nullptr) Listener->SelectionChanged(item);
    if (!m_replayEnabled) return;
    if (OnChange) OnChange(item);
    ReplayPath(item);
}

void TSgfTreeModel::Expand(TSgfTreeItem* item) {
    if (item == nullptr) return;
    if (OnExpanding) OnExpanding(item);
    Populate(item);
    Renumber();
    item->Expanded = true;
    if (Listener != nullptr) Listener->ItemChanged(item);
}

void TSgfTreeModel::Collapse(TSgfTreeItem* item) {
    if (item == nullptr) return;
    item->Expanded = false;
    if (Listener != nullptr) Listener->ItemChanged(item);
}

void TSgfTreeModel::SetLabel(TSgfTreeItem* item, const std::string& label) {
    if (item == nullptr || item->Label == label) return;
    item->Label = label;
    if (Listener != nullptr) Listener->ItemChanged(item);
}

void TSgfTreeModel::DeleteItem(TSgfTreeItem* item) {
    if (item == nullptr) return;
    // The selection must not point into the removed subtree.
    for (TSgfTreeItem* s = m_selected; s != nullptr; s = s->Parent())
        if (s == item) {
            m_selected = nullptr;
            break;
        }
    if (Listener != nullptr) Listener->ItemRemoving(item);
    auto& list = ChildList(item->Parent());
    list.erase(
        std::find_if(list.begin(), list.end(), [item](const auto& p) { return p.get() == item; }));
}

void TSgfTreeModel::Rebuild() {
    ClearItems();
    const TSgfData* root = m_parser != nullptr ? m_parser->Root() : nullptr;
    if (root == nullptr || root->Kind != TSgfKind::Collection || root->GameTrees->Count() == 0)
        return;
    m_recordCopy = root->Clone();
    for (int i = 0; i < m_recordCopy->GameTrees->Count(); ++i) {
        TSgfTreeItem* game =
            AppendItem(nullptr, "Game " + std::to_string(i + 1), m_recordCopy->GameTrees->Items(i));
        game->HasChildren = true;
        ReadGameTraits(*game);
    }
    if (m_items.size() == 1) Expand(m_items[0].get());
}

void TSgfTreeModel::Populate(TSgfTreeItem* item) {
    if (item == nullptr || item->Data == nullptr || !item->m_children.empty()) return;
    if (item->Data->Kind == TSgfKind::GameTree) {
        PopulateGameTree(item->Data, item);
    } else if (item->Data->Kind == TSgfKind::Sequence) {
        for (const auto& node : *item->Data->Nodes) AppendItem(item, "Node", node.get());
    }
}

void TSgfTreeModel::PopulateGameTree(TSgfData* tree, TSgfTreeItem* parent) {
    // The recursive description, with its pending work on an explicit stack: Fill puts a game
    // tree's nodes under an item and, at a branch point, its first variation after them (the
    // main line stays flat) and the others under a chain of variation items V, V1, V2, ...
    // that Further walks.
    struct TTask {
        bool Further;
        TSgfData* Tree;
        TSgfTreeItem* Parent;  // Fill: where the nodes go; Further: the current variation item
        int Index;             // Further: the variation to place next
    };
    std::vector<TTask> tasks{{false, tree, parent, 0}};
    while (!tasks.empty()) {
        const TTask t = tasks.back();
        tasks.pop_back();
        if (t.Tree->Kind != TSgfKind::GameTree) throw EObrinError(msg::GameTreeExpected);
        TSgfMultiPurposeList& variations = *t.Tree->Variations;
        if (t.Further) {
            const int last = variations.Count() - 1;
            if (t.Index < last) {
                TSgfTreeItem* w = AppendItem(t.Parent, "V" + std::to_string(t.Index), nullptr);
                ExecuteNode(w, nullptr, nipVariation);
                tasks.push_back({true, t.Tree, w, t.Index + 1});
            }
            tasks.push_back({false, variations.Items(t.Index), t.Parent, 0});
            continue;
        }
        if (t.Tree->Sequence)
            for (const auto& node : *t.Tree->Sequence->Nodes) {
                TSgfTreeItem* item = AppendItem(t.Parent, "Node", node.get());
                item->HasChildren = false;
                ExecuteNode(item, node.get(), nipPopulate);
            }
        if (variations.Count() == 0) continue;
        TSgfTreeItem* v = AppendItem(t.Parent, "V", nullptr);
        ExecuteNode(v, nullptr, nipVariation);
        if (variations.Count() > 1) tasks.push_back({true, t.Tree, v, 1});
        tasks.push_back({false, variations.Items(0), t.Parent, 0});
    }
}

void TSgfTreeModel::ExecuteNode(TSgfTreeItem* item, const TSgfData* data,
                                TNodeInformationPurpose purpose) {
    if (!OnExecProperty) return;
    if (data == nullptr || data->Kind != TSgfKind::Node) {
        OnExecProperty(*this, item, std::string(), std::string(), purpose);
        return;
    }
    for (const auto& property : *data->Properties) {
        const std::string identifier = CapitalsOf(property->Identifier);
        for (const auto& value : *property->Values)
            OnExecProperty(*this, item, identifier, WithCrLf(value->Value), purpose);
    }
}

void TSgfTreeModel::ReplayPath(TSgfTreeItem* target) {
    if (target == nullptr || !target->IsNodeItem()) return;
    // The path: the game tree, every item before the target on its level and, inside each
    // variation item on the way down, the items before the target there. Subtrees that do
    // not hold the target are cut off again.
    std::vector<const TSgfData*> path;
    bool found = false;
    struct TFrame {
        TSgfTreeItem* Item;
        size_t Next;
        size_t Length;
    };
    for (const auto& top : m_items) {
        if (top->Data != nullptr && top->Data->Kind == TSgfKind::GameTree) path.clear();
        path.push_back(top->Data);
        if (top.get() == target) {
            found = true;
            break;
        }
        std::vector<TFrame> stack{{top.get(), 0, path.size()}};
        while (!stack.empty() && !found) {
            TFrame& f = stack.back();
            if (f.Next == f.Item->m_children.size()) {
                path.resize(f.Length);
                stack.pop_back();
                continue;
            }
            TSgfTreeItem* child = f.Item->m_children[f.Next++].get();
            path.push_back(child->Data);
            if (child == target)
                found = true;
            else if (!child->m_children.empty())
                stack.push_back({child, 0, path.size()});
        }
        if (found) break;
    }
    if (!found) return;
    const size_t n = path.size();
    for (size_t k = 0; k < n; ++k) {
        const TNodeInformationPurpose purpose = k == 0       ? nipFirst
                                                : k == n - 1 ? nipLast
                                                             : nipMiddle;
        ExecuteNode(target, path[k], purpose);
    }
}

void TSgfTreeModel::Renumber() {
    if (m_items.empty()) return;
    Number = 0;
    // Each item's children are numbered from the number it was reached with; afterwards the
    // number returns to that value, so a variation continues from its branch point.
    struct TFrame {
        TSgfTreeItem* Item;
        size_t Next;
        int32_t Saved;
    };
    for (const auto& top : m_items) {
        ExecuteNode(top.get(), top->Data, nipRenumber);
        std::vector<TFrame> stack{{top.get(), 0, Number}};
        while (!stack.empty()) {
            TFrame& f = stack.back();
            if (f.Next == f.Item->m_children.size()) {
                Number = f.Saved;
                stack.pop_back();
                continue;
            }
            TSgfTreeItem* child = f.Item->m_children[f.Next++].get();
            ExecuteNode(child, child->Data, nipRenumber);
            if (!child->m_children.empty()) stack.push_back({child, 0, Number});
        }
    }
}

std::string TSgfTreeModel::GetPropertyValue(const TSgfTreeItem* item,
                                            const std::string& identifier) const {
    if (item == nullptr || !item->IsNodeItem()) return {};
    const TSgfMultiPurposeList& properties = *item->Data->Properties;
    for (int i = properties.Count() - 1; i >= 0; --i) {
        const TSgfData& p = *properties.Items(i);
        if (SameIdentifier(p.Identifier, identifier))
            return p.Values->Count() > 0 ? p.Values->Items(p.Values->Count() - 1)->Value
                                         : std::string();
    }
    return {};
}

int TSgfTreeModel::ImageIndexOf(const TSgfTreeItem* item) const {
    if (item->Data != nullptr && item->Data->Kind == TSgfKind::GameTree) return 0;
    if (!GetPropertyValue(item, "B").empty()) return 2;
    if (!GetPropertyValue(item, "W").empty()) return 3;
    return 1;
}

TSgfTreeItem* TSgfTreeModel::GameItemOf(TSgfTreeItem* item) const {
    if (item == nullptr || item->Data == nullptr) return nullptr;
    while (item->Parent() != nullptr) item = item->Parent();
    return item->Data != nullptr && item->Data->Kind == TSgfKind::GameTree ? item : nullptr;
}

TSgfTreeItem* TSgfTreeModel::AddGame(const std::string& label) {
    if (!m_recordCopy) m_recordCopy = TSgfData::Make(TSgfKind::Collection);
    if (m_recordCopy->Kind != TSgfKind::Collection) return nullptr;
    if (!m_recordCopy->GameTrees)
        m_recordCopy->GameTrees = std::make_unique<TSgfMultiPurposeList>();
    auto tree = TSgfData::Make(TSgfKind::GameTree);
    tree->Sequence = TSgfData::Make(TSgfKind::Sequence);
    TSgfData* data = m_recordCopy->GameTrees->Add(std::move(tree));
    return AppendItem(nullptr, label, data);
}

TSgfData* TSgfTreeModel::EnsureNode(TSgfTreeItem* item) {
    if (item->Data == nullptr) {
        item->m_ownedData = TSgfData::Make(TSgfKind::Node);
        item->m_ownedData->OwnedByItem = true;
        item->Data = item->m_ownedData.get();
    }
    return item->Data;
}

void TSgfTreeModel::PropertyAdded(TSgfTreeItem* item, TSgfData* node) {
    ExecuteNode(item, node, nipLast);
    if (Listener != nullptr) Listener->ItemChanged(item);
}

void TSgfTreeModel::AddPropertyToItem(TSgfTreeItem* item, const std::string& identifier,
                                      const std::string& value) {
    AddPropertyValues(item, identifier, {value});
}

void TSgfTreeModel::SetPropertyOfItem(TSgfTreeItem* item, const std::string& identifier,
                                      const std::string& value) {
    if (item == nullptr) return;
    TSgfData* node = EnsureNode(item);
    SetProperty(*node, identifier, {value});
    PropertyAdded(item, node);
}

void TSgfTreeModel::AddPropertyValues(TSgfTreeItem* item, const std::string& identifier,
                                      const std::vector<std::string>& values) {
    if (item == nullptr) return;
    TSgfData* node = EnsureNode(item);
    AddProperty(*node, identifier, values);
    PropertyAdded(item, node);
}

TSgfTreeItem* TSgfTreeModel::LastSibling() const {
    if (m_selected == nullptr) return nullptr;
    const auto& list = m_selected->Parent() != nullptr ? m_selected->Parent()->m_children : m_items;
    return list.back().get();
}

void TSgfTreeModel::RecordMove(int x, int y, int colour) {
    LastRecorded = nullptr;
    TSgfTreeItem* selected = m_selected;
    if (selected == nullptr) return;
    std::string identifier = colour == 1 ? "B" : "W";
    if (m_board.Game.ComputerWeiss) identifier = colour == 1 ? "W" : "B";
    const std::string point = SgfPoint(x, y);
    const std::string label = OnBoard(x, y) ? PointText(x, y) : "-";
    // The branch point: the move follows the selected node; from the game item it follows the
    // root node, from a variation item it starts the variation.
    const bool boardShowsLine = selected->IsNodeItem();
    TSgfTreeItem* container = selected;
    size_t at = 0;
    if (boardShowsLine) {
        container = selected->Parent();
        at = IndexIn(container->m_children, selected) + 1;
    } else if (selected->Data != nullptr && selected->Data->Kind == TSgfKind::GameTree) {
        Populate(selected);
        if (const TSgfTreeItem* root = FirstNodeChild(*selected))
            at = IndexIn(selected->m_children, root) + 1;
    }
    const std::vector<TSgfTreeItem*> lines = FirstNodes(*container, at);
    const auto same = std::find_if(lines.begin(), lines.end(), [&](const TSgfTreeItem* n) {
        const std::string value = GetPropertyValue(n, identifier);
        return value == point || (value.empty() && point == "tt" && n->Data != nullptr &&
                                  FindValue(*n->Data, identifier.c_str()) != nullptr);
    });
    m_replayEnabled = false;
    TSgfTreeItem* item = nullptr;
    if (same != lines.end()) {
        item = *same;
        Select(item);
        m_replayEnabled = true;
    } else {
        TSgfTreeItem* parent = container;
        if (!lines.empty()) {
            // The existing continuation stays the main line; the move opens an alternative.
            parent = InsertItemAt(container, at, "V", nullptr);
            ExecuteNode(parent, nullptr, nipVariation);
            at = 0;
        }
        item = InsertItemAt(parent, at, label, nullptr);
        LastRecorded = parent != container ? parent : item;
        Select(item);
        m_replayEnabled = true;
        AddPropertyToItem(item, identifier, point);
    }
    if (!boardShowsLine) Select(item);
}

void TSgfTreeModel::NewGameRecord() {
    m_replayEnabled = false;
    TSgfTreeItem* game = AddGame(Translate("Neues Spiel"));
    if (game != nullptr) {
        TSgfTreeItem* info = AppendItem(game, Translate("Information"), nullptr);
        const std::pair<const char*, std::string> properties[] = {
            {"FF", "4"},        {"GM", "1"},       {"SZ", "19"},
            {"RU", "Japanese"}, {"AP", "Obrin:6"}, {"GN", Translate("Neues Spiel")}};
        for (const auto& [id, value] : properties) AddPropertyToItem(info, id, value);
        Select(info);
        const TBoard& board = m_board.Position.Fields.Spielfeld;
        if (!BoardIsEmpty(board)) {
            TSgfTreeItem* start = AppendItem(game, Translate("Start-Stellung"), nullptr);
            Select(start);
            std::vector<std::string> plus, minus;
            for (int x = 0; x < BoardSize; ++x)
                for (int y = 0; y < BoardSize; ++y) {
                    const int v = GetPoint(board, x, y);
                    if (v == 1) plus.push_back(SgfPoint(x, y));
                    if (v == -1) minus.push_back(SgfPoint(x, y));
                }
            const bool swap = m_board.Game.ComputerWeiss;
            if (!plus.empty()) AddPropertyValues(start, swap ? "AW" : "AB", plus);
            if (!minus.empty()) AddPropertyValues(start, swap ? "AB" : "AW", minus);
        }
    }
    m_replayEnabled = true;
}

TSgfTreeItem* TSgfTreeModel::TopItemOf(TSgfTreeItem* item) const {
    if (item == nullptr) return nullptr;
    while (item->Parent() != nullptr) item = item->Parent();
    return item;
}

std::string TSgfTreeModel::DecodeText(TSgfTreeItem* item, const std::string& raw) const {
    const TSgfTreeItem* game = TopItemOf(item);
    return DecodeRecordText(raw, game != nullptr ? game->Charset : std::string(Utf8Charset));
}

bool TSgfTreeModel::CanEncode(TSgfTreeItem* item, const std::string& utf8) const {
    const TSgfTreeItem* game = TopItemOf(item);
    std::string raw;
    return EncodeRecordText(utf8, game != nullptr ? game->Charset : std::string(Utf8Charset), raw);
}

std::string TSgfTreeModel::EncodeText(TSgfTreeItem* item, const std::string& utf8,
                                      const std::string& original) {
    TSgfTreeItem* game = TopItemOf(item);
    if (game == nullptr) return utf8;
    // Line breaks are compared as breaks: the windows show every kind as one line feed.
    if (!original.empty() && WithCrLf(DecodeText(item, original)) == WithCrLf(utf8))
        return original;
    std::string raw;
    if (!EncodeRecordText(utf8, game->Charset, raw)) {
        SwitchToUtf8(game);
        return utf8;
    }
    if (!IsAscii(utf8) && !game->CharsetDeclared) DeclareCharset(game);
    return raw;
}

void TSgfTreeModel::DeclareCharset(TSgfTreeItem* game) {
    Populate(game);
    TSgfTreeItem* root = FirstNodeChild(*game);
    if (root == nullptr) return;
    // Written straight into the node: declaring the encoding is no edit to replay or show.
    SetProperty(*root->Data, "CA", {game->Charset == Utf8Charset ? Utf8Charset : game->Charset});
    game->CharsetDeclared = true;
}

void TSgfTreeModel::SwitchToUtf8(TSgfTreeItem* item) {
    TSgfTreeItem* game = TopItemOf(item);
    if (game == nullptr || game->Charset == Utf8Charset) return;
    Populate(game);
    const std::string from = game->Charset;
    std::vector<TSgfTreeItem*> pending{game};
    while (!pending.empty()) {
        TSgfTreeItem* i = pending.back();
        pending.pop_back();
        for (const auto& c : i->m_children) pending.push_back(c.get());
        if (!i->IsNodeItem()) continue;
        for (const auto& p : *i->Data->Properties)
            for (const auto& v : *p->Values) v->Value = DecodeRecordText(v->Value, from);
    }
    game->Charset = Utf8Charset;
    DeclareCharset(game);
}

bool TSgfTreeModel::IsPlayable(TSgfTreeItem* item) const {
    const TSgfTreeItem* game = TopItemOf(item);
    return game == nullptr || IsPlayableBoardSize(game->BoardSize);
}

std::vector<std::string> TSgfTreeModel::UnplayableGames(const std::string& fileName) const {
    std::vector<std::string> lines;
    for (size_t i = 0; i < m_items.size(); ++i) {
        if (!IsPlayable(m_items[i].get()))
            lines.push_back(
                BoardSizeMessage(fileName, static_cast<int64_t>(i + 1), m_items[i]->BoardSize));
    }
    return lines;
}

// ---- Writing ---------------------------------------------------------------------------------
//
// The items of a game are turned into game trees first and then written. A container (a game
// item or a variation item) lists nodes in order; a variation item among them marks a branch
// point: the items after it continue the line, its own children are the alternative. The text
// is the one the record tree has always written for up to two alternatives per branch point
// (the continuation opened after the nodes before the branch, the alternative after its close,
// one empty line per branch point at the end), and valid SGF for any other shape: three or more
// alternatives, a branch with nothing after it, or a variation item that starts a container.

namespace {

// Each nested alternative is indented one blank more. Deeply nested records (one alternative
// inside the other, thousands deep) would otherwise grow quadratically on saving, so the indent
// stops growing here; records nested less deeply are written blank for blank as before.
constexpr int kMaxIndent = 64;

struct TWriteTree {
    std::vector<const TSgfData*> Nodes;
    std::vector<TWriteTree*> Variations;
};

class TItemWriter {
  public:
    explicit TItemWriter(const TSgfTreeItem& container) { MarkItemsHoldingNodes(container); }

    void Write(std::string& out, const TSgfTreeItem& container, int indent) {
        std::vector<TWriteTree*> lines;
        Convert(container, lines);
        if (lines.empty()) return;
        TWriteTree* top = lines[0];
        if (lines.size() > 1) {
            // The game itself starts with alternatives: an empty root node carries them.
            top = NewTree();
            top->Variations = lines;
        }
        Emit(out, top, indent);
    }

  private:
    struct TEntry {
        bool Branch;  // a variation item with nodes in it; else a node item
        const TSgfTreeItem* Item;
    };

    void MarkItemsHoldingNodes(const TSgfTreeItem& container) {
        std::vector<const TSgfTreeItem*> order{&container};
        for (size_t i = 0; i < order.size(); ++i)
            for (const auto& c : order[i]->Children()) order.push_back(c.get());
        for (auto it = order.rbegin(); it != order.rend(); ++it) {
            bool holds = false;
            for (const auto& c : (*it)->Children())
                holds = holds || c->IsNodeItem() || m_holdsNode[c.get()];
            m_holdsNode[*it] = holds;
        }
    }

    const std::vector<TEntry>& EntriesOf(const TSgfTreeItem* container) {
        auto [it, inserted] = m_entries.try_emplace(container);
        if (inserted)
            for (const auto& c : container->Children()) {
                if (!c->Children().empty() && m_holdsNode[c.get()])
                    it->second.push_back({true, c.get()});
                if (c->IsNodeItem()) it->second.push_back({false, c.get()});
            }
        return it->second;
    }

    TWriteTree* NewTree() {
        m_trees.push_back(std::make_unique<TWriteTree>());
        return m_trees.back().get();
    }

    // The alternatives that the entries of container from index k on stand for, appended to
    // target: nodes up to a branch make one tree whose variations are the continuation after
    // the branch followed by the branch's own alternatives; a branch first gives the
    // continuation's alternatives followed by its own.
    void Convert(const TSgfTreeItem& container, std::vector<TWriteTree*>& target) {
        struct TTask {
            std::vector<TWriteTree*>* Target;
            const TSgfTreeItem* Container;
            size_t Index;
        };
        std::vector<TTask> tasks{{&target, &container, 0}};
        while (!tasks.empty()) {
            const TTask t = tasks.back();
            tasks.pop_back();
            const std::vector<TEntry>& entries = EntriesOf(t.Container);
            size_t k = t.Index;
            if (k >= entries.size()) continue;
            std::vector<TWriteTree*>* target = t.Target;
            if (!entries[k].Branch) {
                TWriteTree* tree = NewTree();
                target->push_back(tree);
                for (; k < entries.size() && !entries[k].Branch; ++k)
                    tree->Nodes.push_back(entries[k].Item->Data);
                if (k == entries.size()) continue;
                target = &tree->Variations;
            }
            // The continuation is converted first (it is pushed last).
            tasks.push_back({target, entries[k].Item, 0});
            tasks.push_back({target, t.Container, k + 1});
        }
    }

    static int BranchPoints(const TWriteTree* tree) {
        int n = 0;
        for (; !tree->Variations.empty(); tree = tree->Variations[0]) ++n;
        return n;
    }

    static void Emit(std::string& out, TWriteTree* top, int indent) {
        struct TTask {
            enum { Open, Continue, Text } Kind;
            TWriteTree* Tree;
            int Indent;
            std::string Literal;
        };
        std::vector<TTask> tasks;
        const auto pushGroup = [&tasks](TWriteTree* tree, int d) {
            tasks.push_back({TTask::Text, nullptr, 0, std::string()});
            for (int i = BranchPoints(tree); i > 0; --i) tasks.back().Literal += kCrLf;
            tasks.push_back({TTask::Open, tree, d, std::string()});
        };
        pushGroup(top, indent);
        while (!tasks.empty()) {
            TTask t = std::move(tasks.back());
            tasks.pop_back();
            if (t.Kind == TTask::Text) {
                out += t.Literal;
                continue;
            }
            out += t.Kind == TTask::Open ? "(" : "(\r\n";
            if (t.Tree->Nodes.empty()) {
                out.append(static_cast<size_t>(t.Indent), ' ');
                out += ";\r\n";
            }
            for (const TSgfData* node : t.Tree->Nodes) AppendSgfData(out, *node, t.Indent);
            if (t.Tree->Variations.empty()) {
                out += ")\r\n";
                continue;
            }
            tasks.push_back({TTask::Text, nullptr, 0, ")\r\n"});
            const auto& vars = t.Tree->Variations;
            for (size_t i = vars.size() - 1; i >= 1; --i)
                pushGroup(vars[i], std::min(t.Indent + 1, kMaxIndent));
            tasks.push_back({TTask::Continue, vars[0], t.Indent, std::string()});
        }
    }

    std::unordered_map<const TSgfTreeItem*, bool> m_holdsNode;
    std::unordered_map<const TSgfTreeItem*, std::vector<TEntry>> m_entries;
    std::vector<std::unique_ptr<TWriteTree>> m_trees;
};

}  // namespace

std::string TSgfTreeModel::WriteItem(const TSgfTreeItem* item, const std::string& prefix,
                                     int indent) const {
    if (item == nullptr || item->Children().empty()) return prefix;
    if (m_parser == nullptr) throw EObrinError(m_name + msg::SgfNoParser);
    std::string out = prefix;
    TItemWriter(*item).Write(out, *item, indent);
    return out;
}

std::string TSgfTreeModel::SaveToString() {
    std::string text;
    for (const auto& item : m_items) {
        // A game that was never expanded has no items yet: its tree is written as it was read.
        if (item->Children().empty() && item->HasChildren && item->Data != nullptr &&
            item->Data->Kind == TSgfKind::GameTree)
            AppendSgfData(text, *item->Data, 0);
        else
            text += WriteItem(item.get(), std::string(), 1);
        text += kCrLf;
    }
    return text;
}

void TSgfTreeModel::SaveToFile(const std::string& fileName) {
    if (m_items.empty()) return;
    const std::string text = SaveToString();
    SafeWriteFile(fileName, text);
}

}  // namespace obrin
