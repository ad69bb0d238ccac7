// The transposition table of the bounded tactical reader. The engine keeps one table for all
// questions: it is allocated with the first reading and kept, so that a question asked after
// warm-up touches no heap. Each reading starts a new generation; entries stamped with an older
// one read as empty, which clears the table without writing half a megabyte per question.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace obrin {

class TReadingTable {
  public:
    // What the reader remembers of a position: its value at a given remaining depth in a given
    // pass, whether the value stands whatever the bounds, and the move that reached it (a point
    // index, -1 for none), which the next pass reads first.
    struct TEntry {
        uint64_t Key = 0;
        int16_t Best = -1;
        uint8_t Value = 0;
        uint8_t Remaining = 0;
        uint8_t Pass = 0;
        bool Exact = false;
        uint16_t Generation = 0;
    };

    // Entries (a power of two).
    static constexpr size_t Size = size_t{1} << 15;

    // Forgets every entry: the first call allocates the table, later ones only move on to the
    // next generation (and wipe the table when the stamp wraps around).
    void BeginReading() {
        if (m_entries.empty()) m_entries.resize(Size);
        if (++m_generation == 0) {
            for (TEntry& e : m_entries) e = TEntry{};
            m_generation = 1;
        }
    }

    // The entry of this reading for key, or null when there is none.
    [[nodiscard]] const TEntry* Find(uint64_t key) const {
        const TEntry& e = m_entries[key & (Size - 1)];
        return e.Generation == m_generation && e.Key == key ? &e : nullptr;
    }

    // The slot key is stored in, stamped with this reading's generation and key.
    [[nodiscard]] TEntry& Store(uint64_t key) {
        TEntry& e = m_entries[key & (Size - 1)];
        e.Key = key;
        e.Generation = m_generation;
        return e;
    }

  private:
    std::vector<TEntry> m_entries;
    uint16_t m_generation = 0;
};

}  // namespace obrin
