#include "patterns/assoc.h"

#include <algorithm>


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

std::string PatternMoveGoalName(const TPattAssocEntry& entry) {
    return "MUSTERZUG " + std::to_string(entry.PatternNumber) + " " + std::to_string(entry.Point);
}

}  // namespace obrin
