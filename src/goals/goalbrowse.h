// What the goal browser shows, without the windows: the names of a manager's goals, the sorted
// names of the goals one goal serves, and the tally of how often each name has been shown, so
// that goals which recur in many chains of purposes rise to the top.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace obrin {

class TRuleManager;

// The names of every goal of manager, in list order (most recently added first).
[[nodiscard]] std::vector<std::string> GoalNames(const TRuleManager& manager);

// The names of the goals that the goal named name serves, sorted, each once; nullopt when the
// manager holds no goal of that name.
[[nodiscard]] std::optional<std::vector<std::string>> SuperGoalNames(const TRuleManager& manager,
                                                                     std::string_view name);

// The tally grid: one row per name with its count, and always an empty row last for the next
// name. Counts may go below zero through Minus.
class TGoalTally {
  public:
    struct TRow {
        int Count = 0;
        std::string Name;
    };

    // Counts name once more, or adds it with the count 1 in the empty last row.
    void Count(const std::string& name);
    // Bubble passes that move a row above its predecessor while the predecessor's count is
    // smaller; rows with the count 0 stay where they are, and so do the rows they separate.
    void Sort();
    // The "+" and "-" cells of row (0 is the first named row); the empty last row has none.
    void Plus(int row) { Add(row, 1); }
    void Minus(int row) { Add(row, -1); }
    // Back to the empty tally.
    void Clear() { m_rows.clear(); }

    // The named rows in grid order; the grid shows one empty row after them.
    [[nodiscard]] const std::vector<TRow>& Rows() const { return m_rows; }
    // The count of name, 0 when it was never counted.
    [[nodiscard]] int CountOf(std::string_view name) const;

  private:
    void Add(int row, int delta);

    std::vector<TRow> m_rows;
};

}  // namespace obrin
