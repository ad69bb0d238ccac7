#include "goals/pattern_goals.h"

#include "goals/goals.h"

namespace obrin {

void CreatePatternGoals(const TGoalAssociation& associations, TGoal& goal, TRuleManager& manager,
                        TPatternGoalFactory make) {
    const std::string& name = goal.Name();
    for (const TPattAssocEntry* e = associations.Entries(); e != nullptr; e = e->Next) {
        if (e->GoalName.View() != name) continue;
        if (manager.FindGoal(PatternMoveGoalName(*e)) != nullptr) continue;
        manager.LinkGoal(make(manager, goal, *e), goal);
    }
}

}  // namespace obrin
