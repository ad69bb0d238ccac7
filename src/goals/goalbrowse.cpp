#include "goals/goalbrowse.h"

#include <algorithm>
#include <set>
#include <utility>

#include "goals/goals.h"

namespace obrin {

std::vector<std::string> GoalNames(const TRuleManager& manager) {
    std::vector<std::string> names;
    for (const TGoal* g = manager.FirstGoal(); g != nullptr; g = TRuleManager::NextGoal(*g))
        names.push_back(g->Name());
    return names;
}

std::optional<std::vector<std::string>> SuperGoalNames(const TRuleManager& manager,
                                                       std::string_view name) {
    const TGoal* goal = manager.FindGoal(name);
    if (goal == nullptr) return std::nullopt;
    std::set<std::string> sorted;
    for (const TGoal* super : GoalsOf(TRuleManager::GetSuperGoals(*goal)))
        sorted.insert(super->Name());
    return std::vector<std::string>(sorted.begin(), sorted.end());
}

void TGoalTally::Count(const std::string& name) {
    for (TRow& row : m_rows)
        if (row.Name == name) {
            ++row.Count;
            return;
        }
    m_rows.push_back({1, name});
}

void TGoalTally::Sort() {
    // Only neighbours are compared, and a zero count on either side blocks the exchange.
    bool exchanged = true;
    while (exchanged) {
        exchanged = false;
        for (size_t i = 0; i + 1 < m_rows.size(); ++i) {
            const int upper = m_rows[i].Count, lower = m_rows[i + 1].Count;
            if (upper != 0 && lower != 0 && upper < lower) {
                std::swap(m_rows[i], m_rows[i + 1]);
                exchanged = true;
            }
        }
    }
}

int TGoalTally::CountOf(std::string_view name) const {
    for (const TRow& row : m_rows)
        if (row.Name == name) return row.Count;
    return 0;
}

void TGoalTally::Add(int row, int delta) {
    if (row < 0 || row >= static_cast<int>(m_rows.size())) return;
    m_rows[static_cast<size_t>(row)].Count += delta;
}

}  // namespace obrin
