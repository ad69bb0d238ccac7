// The program's own string-to-string table: open addressing with linear probing, doubling its
// size when an insertion finds it full. The language support keeps its forward and reverse
// translation tables in two of them.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace obrin {

// One stored pair.
struct TQXHashTableEntry {
    std::string Key;
    std::string Value;
};

// A hash table from string keys to string values.
//
// Invariant: every stored key sits in its home slot or further along the probe run that starts
// there, and no never-used slot lies between its home slot and its own slot. Removal therefore
// leaves a "deleted" marker instead of an empty slot: the marker keeps the run unbroken for
// lookups and is reused by the next insertion that reaches it. Size only grows.
//
// Every construction and destruction is counted; the count must be back at zero when the program
// ends (checked at exit with the message "TQXHashTable instances not balanced").
class TQXHashTable {
  public:
    TQXHashTable() : TQXHashTable(20) {}
    // size below 1 is raised to 1 so that the modulo in Hash is always defined.
    explicit TQXHashTable(int32_t size);
    TQXHashTable(const TQXHashTable&) = delete;
    TQXHashTable& operator=(const TQXHashTable&) = delete;
    virtual ~TQXHashTable();

    // Home slot of key in a table of size slots. Only the first four bytes of the key reach
    // the result: keys that agree in them share a home slot.
    [[nodiscard]] virtual int32_t Hash(std::string_view key, int32_t size) const;

    // The slot that holds key, or -1.
    [[nodiscard]] int32_t IndexOf(std::string_view key) const;
    // Stores value under key, replacing the value of a key already present.
    void Put(std::string_view key, std::string_view value);
    // True and value := the stored value when key is present; value is unchanged otherwise.
    [[nodiscard]] bool TryGet(std::string_view key, std::string& value) const;
    // Like TryGet, but a missing key raises EObrinError "Key not found".
    void Get(std::string_view key, std::string& value) const;
    // Forgets key and its value; nothing happens when key is absent.
    void Remove(std::string_view key);
    // Appends every stored key to keys, in slot order.
    void GetKeys(std::vector<std::string>& keys) const;
    // Calls visit(key, value) for every stored entry, in slot order.
    void ForEachEntry(
        const std::function<void(const std::string&, const std::string&)>& visit) const;

    [[nodiscard]] int32_t Size() const { return m_size; }
    [[nodiscard]] int32_t Count() const { return m_count; }

    // Number of tables alive in the process.
    [[nodiscard]] static int LiveTables();
    // Raises EObrinError "TQXHashTable instances not balanced" when tables are still alive.
    static void CheckBalanced();

  protected:
    enum class TSlotState : uint8_t { Empty, Used, Deleted };
    struct TSlot {
        TSlotState State = TSlotState::Empty;
        TQXHashTableEntry Entry;
    };

    // Makes every slot empty; only used on a freshly allocated block.
    virtual void Clear();
    // The slot where a new entry for key goes (empty or deleted), growing the table when full.
    // It does not look for key itself; Put does that first.
    [[nodiscard]] virtual int32_t FindFreeSlot(std::string_view key);
    // How full, in percent, the table may get before an insertion doubles it. This table grows
    // only when full; a table for many entries grows earlier, so that probe runs stay short.
    [[nodiscard]] virtual int32_t MaxLoadPercent() const { return 100; }

  private:
    void Grow();

    std::vector<TSlot> m_buckets;
    int32_t m_size = 0;
    int32_t m_count = 0;
};

}  // namespace obrin
