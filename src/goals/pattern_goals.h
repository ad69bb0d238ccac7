// Pattern-move goals: when the goal engine expands a goal, every goal association of the last
// pattern run that names that goal becomes a pattern-move goal ("MUSTERZUG n p") under it.
#pragma once

#include "patterns/assoc.h"

namespace obrin {

class TGoal;
class TRuleManager;

// Creates the pattern-move goal of one entry, registered with manager; the expanded goal is
// passed so that the new goal can take its pattern value from it.
using TPatternGoalFactory = TGoal& (*)(TRuleManager& manager, TGoal& expanded,
                                       const TPattAssocEntry& entry);

// For every entry of associations, from the head, named exactly like goal: the goal "MUSTERZUG
// <number> <point>" is created with make and linked under goal, unless the manager has a goal of
// that name already (a symmetric shape firing twice, for one, suggests its point twice).
void CreatePatternGoals(const TGoalAssociation& associations, TGoal& goal, TRuleManager& manager,
                        TPatternGoalFactory make);

}  // namespace obrin
