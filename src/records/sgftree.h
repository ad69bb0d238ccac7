// The record tree: the game record of the running program, as a model without any widget. It
// keeps its own deep copy of the parsed collection and shows one item per game, per node and per
// variation; selecting an item replays the line of play from the start of its game; every move
// played is recorded in it (a new variation where the line goes on already); saving writes it as
// SGF. Property values are kept as the file's bytes; the game's encoding turns them into text. It
// does not know what properties mean: for every property value it meets it fires OnExecProperty
// with the purpose, and the replay handler gives the properties their meaning. A Qt tree view shows
// this model through the listener.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "game/gameboard.h"
#include "records/sgfdata.h"

namespace obrin {

class TSgfParser;
class TSgfTreeModel;

// The SZ of a game tree's root node, "19" when it has none.
[[nodiscard]] std::string GameBoardSize(const TSgfData& gameTree);
// Whether an SZ value is the 19 by 19 board the program plays on ("19" or "19:19").
[[nodiscard]] bool IsPlayableBoardSize(const std::string& size);
// The line that refuses game number (from 1) of file for its board size.
[[nodiscard]] std::string BoardSizeMessage(const std::string& fileName, int64_t number,
                                           const std::string& size);

enum TNodeInformationPurpose : uint8_t {
    nipPopulate,   // a node item has just been created
    nipVariation,  // a variation item has just been created (no node)
    nipFirst,      // replaying: first element of the path
    nipMiddle,     // replaying: between first and last
    nipLast,       // replaying: the selected item; also after a property was added by program
    nipRenumber,   // renumbering all items
};

// One display item. Data is the game tree (game items), the node (node items) or null
// (variation items). Invariant: Parent is the item whose Children hold this one (null at the
// top level); OwnedData, when set, is Data.
class TSgfTreeItem {
  public:
    TSgfTreeItem(std::string label, TSgfData* data, TSgfTreeItem* parent)
        : Label(std::move(label)), Data(data), m_parent(parent) {}
    TSgfTreeItem(const TSgfTreeItem&) = delete;
    TSgfTreeItem& operator=(const TSgfTreeItem&) = delete;
    ~TSgfTreeItem();

    [[nodiscard]] TSgfTreeItem* Parent() const { return m_parent; }
    [[nodiscard]] const std::vector<std::unique_ptr<TSgfTreeItem>>& Children() const {
        return m_children;
    }
    [[nodiscard]] bool IsNodeItem() const {
        return Data != nullptr && Data->Kind == TSgfKind::Node;
    }

    std::string Label;
    TSgfData* Data;
    bool HasChildren = false;  // shows an expander before the children are built
    bool Expanded = false;
    // Game items: the encoding of the game's text, whether its CA names it, and the board size
    // of its SZ ("19" when absent).
    std::string Charset = "UTF-8";
    bool CharsetDeclared = false;
    std::string BoardSize = "19";

  private:
    friend class TSgfTreeModel;
    TSgfTreeItem* m_parent;
    std::vector<std::unique_ptr<TSgfTreeItem>> m_children;
    std::unique_ptr<TSgfData> m_ownedData;  // a node the model made for an item that had none
};

// What a view needs to follow the model.
class ISgfTreeListener {
  public:
    virtual ~ISgfTreeListener() = default;
    virtual void ItemsReset() {}
    virtual void ItemInserted(TSgfTreeItem* item) { (void)item; }
    virtual void ItemChanged(TSgfTreeItem* item) { (void)item; }  // label, image or node
    virtual void ItemRemoving(TSgfTreeItem* item) { (void)item; }
    virtual void SelectionChanged(TSgfTreeItem* item) { (void)item; }
};

using TSgfPropertyEvent =
    std::function<void(TSgfTreeModel& sender, TSgfTreeItem* item, const std::string& identifier,
                       const std::string& value, TNodeInformationPurpose purpose)>;
using TTranslateFn = std::function<std::string(const std::string&)>;

// Invariant: every item's Data points into RecordCopy or into the item's own node; Selected is
// null or an item of the tree. Item trees may be as deep as the record nests: every walk over
// them uses an explicit stack.
class TSgfTreeModel : public IGameRecorder {
  public:
    explicit TSgfTreeModel(TGameBoard& board, std::string name = "SgfTreeView");
    TSgfTreeModel(const TSgfTreeModel&) = delete;
    TSgfTreeModel& operator=(const TSgfTreeModel&) = delete;
    ~TSgfTreeModel() override;

    // Binding to the parser; setting it also attaches this record tree to the parser.
    void SetSgfParser(TSgfParser* parser);
    [[nodiscard]] TSgfParser* SgfParser() const { return m_parser; }
    void ParserDestroyed() { m_parser = nullptr; }

    [[nodiscard]] const std::string& Name() const { return m_name; }
    [[nodiscard]] const std::vector<std::unique_ptr<TSgfTreeItem>>& Items() const {
        return m_items;
    }
    [[nodiscard]] const TSgfData* RecordCopy() const { return m_recordCopy.get(); }
    [[nodiscard]] TSgfTreeItem* Selected() const { return m_selected; }

    // Changes the selection; replays the path to the item when ReplayEnabled (after OnChange).
    void Select(TSgfTreeItem* item);
    // Expanding an item: OnExpanding, then Populate, then Renumber.
    void Expand(TSgfTreeItem* item);
    void Collapse(TSgfTreeItem* item);
    void SetLabel(TSgfTreeItem* item, const std::string& label);
    // Removes an item with its subtree (and the nodes the model made for them).
    void DeleteItem(TSgfTreeItem* item);
    // Editing by hand: a new item without a node, before an item or as the last child of parent
    // (null for the top level).
    TSgfTreeItem* InsertItemBefore(TSgfTreeItem* before, std::string label);
    TSgfTreeItem* AppendChildItem(TSgfTreeItem* parent, std::string label);

    void Rebuild();
    void Populate(TSgfTreeItem* item);
    void ExecuteNode(TSgfTreeItem* item, const TSgfData* data, TNodeInformationPurpose purpose);
    void ReplayPath(TSgfTreeItem* item);
    void Renumber();
    [[nodiscard]] std::string GetPropertyValue(const TSgfTreeItem* item,
                                               const std::string& identifier) const;
    [[nodiscard]] virtual bool SameIdentifier(const std::string& a, const std::string& b) const {
        return a == b;
    }
    // 0 game, 1 information, 2 black move, 3 white move; the same for the selected image.
    [[nodiscard]] int ImageIndexOf(const TSgfTreeItem* item) const;
    [[nodiscard]] TSgfTreeItem* GameItemOf(TSgfTreeItem* item) const;
    TSgfTreeItem* AddGame(const std::string& label);
    void AddPropertyToItem(TSgfTreeItem* item, const std::string& identifier,
                           const std::string& value);
    void SetPropertyOfItem(TSgfTreeItem* item, const std::string& identifier,
                           const std::string& value);
    void AddPropertyValues(TSgfTreeItem* item, const std::string& identifier,
                           const std::vector<std::string>& values);
    [[nodiscard]] TSgfTreeItem* LastSibling() const;
    // Writes every game as SGF, through a temporary file renamed over fileName.
    void SaveToFile(const std::string& fileName);
    // The whole record as SaveToFile writes it.
    [[nodiscard]] std::string SaveToString();
    [[nodiscard]] std::string WriteItem(const TSgfTreeItem* item, const std::string& prefix,
                                        int indent) const;
    // A played move: at a node with a successor it starts a new variation (the successor is
    // kept); a move that is already there as a continuation or the first move of a variation
    // is selected instead. With the game item selected the move follows the game's root node;
    // with a variation item it starts that variation. When the board did not show the line
    // the move now belongs to, that line is replayed, so the record always matches the board.
    void RecordMove(int x, int y, int colour) override;
    // The item the last RecordMove added (the new variation item when it opened one); null
    // when it selected a move that was there already or recorded nothing.
    TSgfTreeItem* LastRecorded = nullptr;
    // Starts a new game record (when a game starts with nothing selected): an information
    // node, and a start position when the board is not empty.
    void NewGameRecord();

    // The game item at the top of the path to item (variation items included).
    [[nodiscard]] TSgfTreeItem* TopItemOf(TSgfTreeItem* item) const;
    // The record text of a property value in the game of item, as UTF-8.
    [[nodiscard]] std::string DecodeText(TSgfTreeItem* item, const std::string& raw) const;
    // Whether UTF-8 text can be stored in the game of item without changing its encoding.
    [[nodiscard]] bool CanEncode(TSgfTreeItem* item, const std::string& utf8) const;
    // The value to store for text the user gave in place of original (a value of the game of
    // item): original itself when the text reads the same, else the text in the game's
    // encoding. A character the encoding lacks switches the game to UTF-8 first (CA[UTF-8],
    // all its text converted); no character is ever replaced.
    [[nodiscard]] std::string EncodeText(TSgfTreeItem* item, const std::string& utf8,
                                         const std::string& original = {});
    // Converts every value of the game of item to UTF-8 and declares CA[UTF-8].
    void SwitchToUtf8(TSgfTreeItem* item);
    // Whether the game of item is on the 19 by 19 board that the program plays on.
    [[nodiscard]] bool IsPlayable(TSgfTreeItem* item) const;
    // One line per game whose board size the program cannot replay, naming file and size.
    [[nodiscard]] std::vector<std::string> UnplayableGames(const std::string& fileName) const;

    [[nodiscard]] bool ReplayEnabled() const { return m_replayEnabled; }
    void SetReplayEnabled(bool enabled) { m_replayEnabled = enabled; }

    TSgfPropertyEvent OnExecProperty;
    std::function<void(TSgfTreeItem*)> OnChange;  // the user's change handler, runs before replay
    std::function<void(TSgfTreeItem*)> OnExpanding;  // the user's expanding handler
    TTranslateFn Translate = [](const std::string& text) { return text; };
    ISgfTreeListener* Listener = nullptr;
    int32_t Number = 0;  // the running move number while renumbering

  private:
    TSgfTreeItem* AppendItem(TSgfTreeItem* parent, std::string label, TSgfData* data);
    std::vector<std::unique_ptr<TSgfTreeItem>>& ChildList(TSgfTreeItem* parent);
    void PopulateGameTree(TSgfData* tree, TSgfTreeItem* parent);
    TSgfData* EnsureNode(TSgfTreeItem* item);
    void PropertyAdded(TSgfTreeItem* item, TSgfData* node);
    TSgfTreeItem* InsertItemAt(TSgfTreeItem* parent, size_t index, std::string label,
                               TSgfData* data);
    void DeclareCharset(TSgfTreeItem* game);
    void ClearItems();

    TGameBoard& m_board;
    std::string m_name;
    TSgfParser* m_parser = nullptr;
    std::unique_ptr<TSgfData> m_recordCopy;
    std::vector<std::unique_ptr<TSgfTreeItem>> m_items;
    TSgfTreeItem* m_selected = nullptr;
    bool m_replayEnabled = true;
};

}  // namespace obrin
