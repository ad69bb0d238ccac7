// Goal associations: what the pattern handlers suggest. A handler that recognises a shape records
// "this point serves this goal" as an entry (goal name, pattern number, point); when the goal
// engine expands a goal of that name, every entry of the name becomes a pattern-move goal under
// it. The list always describes the position of the last pattern run: the matcher clears it
// before it starts.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace obrin {

// A goal name of at most 50 characters, kept inline so that entries need no heap of their own.
class TGoalNameText {
  public:
    static constexpr size_t MaxLength = 50;
    // Longer names are cut to MaxLength characters.
    void Assign(std::string_view text);
    [[nodiscard]] std::string_view View() const { return {m_text.data(), m_length}; }

  private:
    std::array<char, MaxLength> m_text{};
    size_t m_length = 0;
};

// TPattAssocEntry: one suggestion of one pattern firing.
struct TPattAssocEntry {
    int32_t PatternNumber = 0;
    TGoalNameText GoalName;  // "KETTE-RETTEN 42" and so on
    int32_t Point = -1;      // point index of the suggested move
    TPattAssocEntry* Next = nullptr;
};

// TGoalAssociation: the engine's list of entries, newest first. Entries come from a pool that
// only grows, so once it has reached the size of a busy position, matching allocates nothing.
class TGoalAssociation {
  public:
    TGoalAssociation() = default;
    TGoalAssociation(const TGoalAssociation&) = delete;
    TGoalAssociation& operator=(const TGoalAssociation&) = delete;

    // Puts a new entry at the head of the list; the name is cut to 50 characters.
    void AddEntry(int32_t patternNumber, std::string_view goalName, int32_t point);
    // Empties the list; the entries go back to the pool.
    void Clear();
    [[nodiscard]] const TPattAssocEntry* Entries() const { return m_entries; }
    [[nodiscard]] size_t Count() const { return m_used; }

  private:
    std::vector<std::unique_ptr<TPattAssocEntry>> m_pool;
    size_t m_used = 0;
    TPattAssocEntry* m_entries = nullptr;
};

// "MUSTERZUG " + pattern number + " " + point: the name of an entry's pattern-move goal.
[[nodiscard]] std::string PatternMoveGoalName(const TPattAssocEntry& entry);

}  // namespace obrin
