// The record parser: reads a game-record file by its extension into the parse tree. SGF and MGT
// go through the tokenizer and the grammar below; the own formats (*.obr, *.stl) through their
// readers. The parser is tolerant: syntax errors become message lines and parsing always runs
// to the end of the data.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "records/sgfdata.h"
#include "records/sgftoken.h"

namespace obrin {

class TSgfTreeModel;

// Parses SGF text game by game: each game tree goes to onGame as soon as it is complete, and no
// collection is built (reading a large collection in little memory). Messages are the same as
// for ParseSgfCollection.
void ParseSgfGames(TSgfTokenizer& tokenizer,
                   const std::function<void(std::unique_ptr<TSgfData>)>& onGame);
// Parses SGF text into a Collection. Nesting depth is limited only by memory.
[[nodiscard]] std::unique_ptr<TSgfData> ParseSgfCollection(TSgfTokenizer& tokenizer);
// Parses data (named fileName in messages) as SGF text; the same as opening a .sgf file.
[[nodiscard]] std::unique_ptr<TSgfData> ParseSgfText(const std::string& fileName, std::string data,
                                                     std::vector<std::string>* messages);

// Owns the tree of the file it has opened (Root) while it is active. Invariant: Root is null
// while inactive; Filename changes only while inactive. An attached record tree is rebuilt on
// every activation, and parser and record tree forget each other when either goes away.
class TSgfParser {
  public:
    explicit TSgfParser(std::string name = "SgfParser");
    TSgfParser(const TSgfParser&) = delete;
    TSgfParser& operator=(const TSgfParser&) = delete;
    ~TSgfParser();

    [[nodiscard]] const std::string& Name() const { return m_name; }
    [[nodiscard]] bool Active() const { return m_active; }
    // Activating reads Filename (and rebuilds the attached record tree); deactivating frees
    // the tree. A file that cannot be read raises EObrinError; Root then stays null.
    void SetActive(bool active);
    [[nodiscard]] const std::string& Filename() const { return m_filename; }
    // Raises "<Name> is active!" when the name changes while active.
    void SetFilename(const std::string& filename);
    // Where syntax-error lines go (not owned). Unset, they are kept in OwnMessages.
    void SetMessageReceiver(std::vector<std::string>* receiver) { m_receiver = receiver; }
    [[nodiscard]] std::vector<std::string>& Messages() {
        return m_receiver ? *m_receiver : m_ownMessages;
    }

    [[nodiscard]] TSgfTreeModel* TreeView() const { return m_treeView; }
    // Attaches a record tree (null detaches); the record tree's SetSgfParser calls this.
    void SetTreeView(TSgfTreeModel* treeView) { m_treeView = treeView; }

    [[nodiscard]] TSgfData* Root() const { return m_root.get(); }
    // The own-format readers store their result here.
    void SetRoot(std::unique_ptr<TSgfData> root) { m_root = std::move(root); }

    // Reads Filename by its extension (compared in upper case): .SGF and .MGT as SGF, .STL and
    // .OBR by their readers; any other extension reads nothing.
    void Open();

  private:
    std::string m_name;
    bool m_active = false;
    std::string m_filename;
    TSgfTreeModel* m_treeView = nullptr;
    std::vector<std::string>* m_receiver = nullptr;
    std::vector<std::string> m_ownMessages;
    std::unique_ptr<TSgfData> m_root;
};

// The upper-cased extension of a file name with its dot (".SGF"), empty without one.
[[nodiscard]] std::string UpperExtension(const std::string& fileName);

}  // namespace obrin
