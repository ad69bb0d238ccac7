#include "board/qxhash.h"

#include <cstdio>
#include <cstdlib>

#include "board/errors.h"

namespace obrin {

namespace {

int g_liveTables = 0;

// Checks at program end that every table was destroyed. It is created by the first table, so
// every table with static lifetime is destroyed before it looks.
struct TBalanceCheckAtExit {
    ~TBalanceCheckAtExit() {
        if (g_liveTables == 0) return;
        std::fprintf(stderr, "%s (%d alive)\n", msg::HashTablesUnbalanced, g_liveTables);
        std::abort();
    }
};

}  // namespace

TQXHashTable::TQXHashTable(int32_t size) : m_size(size < 1 ? 1 : size) {
    static TBalanceCheckAtExit check;
    m_buckets.resize(static_cast<size_t>(m_size));
    Clear();
    ++g_liveTables;
}

TQXHashTable::~TQXHashTable() {
    --g_liveTables;
}

int TQXHashTable::LiveTables() {
    return g_liveTables;
}

void TQXHashTable::CheckBalanced() {
    if (g_liveTables != 0) throw EObrinError(msg::HashTablesUnbalanced);
}

void TQXHashTable::Clear() {
    for (TSlot& slot : m_buckets) slot = TSlot{};
    m_count = 0;
}

int32_t TQXHashTable::Hash(std::string_view key, int32_t size) const {
    // Last character first, each shifted in from the right: the first character ends in the
    // lowest byte and everything past the fourth is shifted out. Characters are UTF-8 bytes.
    uint32_t h = 0;
    for (auto it = key.rbegin(); it != key.rend(); ++it)
        h = (h << 8) ^ static_cast<unsigned char>(*it);
    // The absolute value of the signed word. -2147483648 has no positive counterpart in 32 bits;
    // taken in 64 bits it becomes 2147483648, which keeps the result inside 0 .. size-1.
    const int64_t signedH = static_cast<int32_t>(h);
    const int64_t magnitude = signedH < 0 ? -signedH : signedH;
    return static_cast<int32_t>(magnitude % size);
}

int32_t TQXHashTable::IndexOf(std::string_view key) const {
    const int32_t home = Hash(key, m_size);
    const auto holds = [&](int32_t i) {
        const TSlot& slot = m_buckets[static_cast<size_t>(i)];
        return slot.State == TSlotState::Used && slot.Entry.Key == key;
    };
    if (holds(home)) return home;
    // The run goes on past an empty or deleted home slot and past deleted slots, and ends at
    // the first slot that was never used.
    for (int32_t i = (home + 1) % m_size; i != home; i = (i + 1) % m_size) {
        if (m_buckets[static_cast<size_t>(i)].State == TSlotState::Empty) return -1;
        if (holds(i)) return i;
    }
    return -1;
}

int32_t TQXHashTable::FindFreeSlot(std::string_view key) {
    if (const int64_t load = MaxLoadPercent();
        load < 100 && int64_t{m_count} * 100 >= int64_t{m_size} * load)
        Grow();
    const int32_t home = Hash(key, m_size);
    int32_t i = home;
    do {
        if (m_buckets[static_cast<size_t>(i)].State != TSlotState::Used) return i;
        i = (i + 1) % m_size;
    } while (i != home);
    Grow();
    return FindFreeSlot(key);
}

void TQXHashTable::Grow() {
    std::vector<TSlot> old = std::move(m_buckets);
    m_size *= 2;
    m_buckets = std::vector<TSlot>(static_cast<size_t>(m_size));
    Clear();
    // Old entries go in again in old slot order; deleted markers are left behind.
    for (TSlot& slot : old) {
        if (slot.State != TSlotState::Used) continue;
        TSlot& target = m_buckets[static_cast<size_t>(FindFreeSlot(slot.Entry.Key))];
        target.State = TSlotState::Used;
        target.Entry = std::move(slot.Entry);
        ++m_count;
    }
}

void TQXHashTable::Put(std::string_view key, std::string_view value) {
    if (const int32_t i = IndexOf(key); i >= 0) {
        m_buckets[static_cast<size_t>(i)].Entry.Value = value;
        return;
    }
    TSlot& slot = m_buckets[static_cast<size_t>(FindFreeSlot(key))];
    slot.State = TSlotState::Used;
    slot.Entry = TQXHashTableEntry{std::string(key), std::string(value)};
    ++m_count;
}

bool TQXHashTable::TryGet(std::string_view key, std::string& value) const {
    const int32_t i = IndexOf(key);
    if (i < 0) return false;
    value = m_buckets[static_cast<size_t>(i)].Entry.Value;
    return true;
}

void TQXHashTable::Get(std::string_view key, std::string& value) const {
    if (!TryGet(key, value)) throw EObrinError(msg::KeyNotFound);
}

void TQXHashTable::Remove(std::string_view key) {
    const int32_t i = IndexOf(key);
    if (i < 0) return;
    TSlot& slot = m_buckets[static_cast<size_t>(i)];
    slot.State = TSlotState::Deleted;
    slot.Entry = TQXHashTableEntry{};
    --m_count;
}

void TQXHashTable::GetKeys(std::vector<std::string>& keys) const {
    ForEachEntry([&](const std::string& key, const std::string&) { keys.push_back(key); });
}

void TQXHashTable::ForEachEntry(
    const std::function<void(const std::string&, const std::string&)>& visit) const {
    for (const TSlot& slot : m_buckets)
        if (slot.State == TSlotState::Used) visit(slot.Entry.Key, slot.Entry.Value);
}

}  // namespace obrin
