#include "patterns/assoc.h"

#include <algorithm>

#include "goals/goals.h"

namespace obrin {

void TGoalNameText::Assign(std::string_view text) {
    m_length = std::min(text.size(), MaxLength);
    std::copy_n(text.data(), m_length, m_text.data());
}

void TGoalAssociation::AddEntry(int32_t patternNumber, std::string_view goalName, int32_t point) {
    if (m_used == m_pool.size()) m_pool.push_back(std::make_unique<TPattAssocEntry>());
    TPattAssocEntry& entry = *m_pool[m_used++];
    entry.PatternNumber = patternNumber;
    entry.GoalName.Assign(goalName);
    entry.Point = point;
    entry.Next = m_entries;
    m_entries = &entry;
}

void TGoalAssociation::Clear() {
    m_used = 0;
    m_entries = nullptr;
}

void TGoalAssociation::CreatePatternGoals(TGoal& goal, TRuleManager& manager,
                                          TPatternGoalFactory make) const {
    const std::string& name = goal.Name();
    for (const TPattAssocEntry* e = m_entries; e != nullptr; e = e->Next) {
        if (e->GoalName.View() != name) continue;
        if (manager.FindGoal(PatternMoveGoalName(*e)) != nullptr) continue;
        manager.LinkGoal(make(manager, goal, *e), goal);
    }
}

std::string PatternMoveGoalName(const TPattAssocEntry& entry) {
    return "MUSTERZUG " + std::to_string(entry.PatternNumber) + " " + std::to_string(entry.Point);
}

}  // namespace obrin
