// The parse tree of a game record: every record the program reads (SGF, MGT and the own
// formats) ends up as a tree of TSgfData nodes, and everything downstream (the record tree,
// replay, saving) sees only this form.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace obrin {

// The six node kinds of the SGF grammar; one class serves for all of them.
enum class TSgfKind : uint8_t { Collection, GameTree, Sequence, Node, Property, PropertyValue };

// "Collection", "GameTree", ...; "???" for any other value.
[[nodiscard]] const char* SgfKindName(TSgfKind kind);

class TSgfData;

// An ordered list of parse-tree nodes that owns its elements. Elements are never null.
class TSgfMultiPurposeList {
  public:
    TSgfMultiPurposeList();
    TSgfMultiPurposeList(const TSgfMultiPurposeList&) = delete;
    TSgfMultiPurposeList& operator=(const TSgfMultiPurposeList&) = delete;
    ~TSgfMultiPurposeList();

    static void* operator new(size_t size);
    static void operator delete(void* block);

    [[nodiscard]] int Count() const { return m_count; }
    [[nodiscard]] TSgfData* Items(int i) const { return m_data[i].get(); }
    TSgfData* Add(std::unique_ptr<TSgfData> item);
    // Frees element i and removes its slot.
    void Delete(int i);
    void Clear();
    // Moves every element to out, the last one first, and leaves the list empty (for
    // destroying deep trees without recursion).
    void TakeAll(std::vector<std::unique_ptr<TSgfData>>& out);

    [[nodiscard]] const std::unique_ptr<TSgfData>* begin() const { return m_data; }
    [[nodiscard]] const std::unique_ptr<TSgfData>* end() const { return m_data + m_count; }

  private:
    // Most lists hold one element (a move node's property, a property's value): that one is
    // kept in place, larger lists in an array of their own. m_data points at either.
    std::unique_ptr<TSgfData>* m_data = &m_one;
    int m_count = 0;
    int m_capacity = 1;
    std::unique_ptr<TSgfData> m_one;
    std::unique_ptr<std::unique_ptr<TSgfData>[]> m_heap;
};

// One node of the parse tree. Which reference fields are set depends on Kind (the invariant
// that CheckConsistency verifies): Collection uses GameTrees; GameTree uses Sequence and
// Variations; Sequence uses Nodes; Node uses Properties; Property uses Values (and
// Identifier); PropertyValue uses only Value. Every node owns its subtree. Trees may be as deep
// as the input is nested, so copying and destroying never recurse.
class TSgfData {
  public:
    explicit TSgfData(TSgfKind kind);
    TSgfData(const TSgfData&) = delete;
    TSgfData& operator=(const TSgfData&) = delete;
    ~TSgfData();

    static void* operator new(size_t size);
    static void operator delete(void* block);

    // A node of the kind with the lists it uses attached and empty (a GameTree gets its
    // variation list but no Sequence).
    [[nodiscard]] static std::unique_ptr<TSgfData> Make(TSgfKind kind);

    // 0 when the invariant holds, else 6 * kind + number of the last offending field.
    [[nodiscard]] int ConsistencyCode() const;
    // Raises "Consistency violation SGF<code>" unless the invariant holds.
    void CheckConsistency() const;
    // A deep copy; OwnedByItem of the copy is false.
    [[nodiscard]] std::unique_ptr<TSgfData> Clone() const;

    // Moves the game trees held in GameTrees and Variations to out; the lists stay attached,
    // so the node stays consistent.
    void TakeGameTrees(std::vector<std::unique_ptr<TSgfData>>& out);

    TSgfKind Kind;
    bool OwnedByItem = false;  // created by the record tree for an item that had no node
    std::unique_ptr<TSgfMultiPurposeList> GameTrees;   // Collection
    std::unique_ptr<TSgfData> Sequence;                // GameTree: its main sequence
    std::unique_ptr<TSgfMultiPurposeList> Variations;  // GameTree: child game trees
    std::unique_ptr<TSgfMultiPurposeList> Nodes;       // Sequence
    std::unique_ptr<TSgfMultiPurposeList> Properties;  // Node
    std::unique_ptr<TSgfMultiPurposeList> Values;      // Property
    std::string Identifier;                            // Property
    std::string Value;                                 // PropertyValue, escapes removed
};

// Live counts of both classes; they return to 0 when every tree has been freed.
[[nodiscard]] int64_t CountSgfData();
[[nodiscard]] int64_t CountSgfMultiPurposeList();
// The shutdown check: raises "countSgfData <> 0" or "countSgfMultiPurposeList <> 0".
void CheckSgfCounters();

// Appends a property with one value per string to a Node; does nothing for other kinds.
void AddProperty(TSgfData& node, const std::string& identifier,
                 const std::vector<std::string>& values);
// Like AddProperty, after removing every property of the node with that identifier.
void SetProperty(TSgfData& node, const std::string& identifier,
                 const std::vector<std::string>& values);
// A property identifier as SGF 4 writes it: one or more of the letters "A" to "Z".
[[nodiscard]] bool IsValidIdentifier(const std::string& identifier);
[[nodiscard]] std::unique_ptr<TSgfData> MakeProperty(const std::string& identifier,
                                                     const std::string& value);

// A value as SGF text: "]" and "\" get a backslash so that the text reads back unchanged.
void AppendEscapedValue(std::string& out, const std::string& value);
// Appends the SGF text of data (any kind) to out, indented by indent blanks.
void AppendSgfData(std::string& out, const TSgfData& data, int indent);
// The prefix followed by the SGF text of data.
[[nodiscard]] std::string WriteSgfData(const TSgfData& data, const std::string& prefix, int indent);

}  // namespace obrin
