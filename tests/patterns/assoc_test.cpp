// The association list: newest first, names cut to 50 characters, emptied by each pattern run,
// and turned into one pattern-move goal per pattern number and point under the goal it names.
#include "patterns/assoc.h"
#include "goals/pattern_goals.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "game/analyse.h"
#include "game/engine.h"
#include "goals/goals.h"
#include "support/diagram.h"
#include "support/named_goal.h"

namespace obrin {
namespace {

using test::TNamedGoal;

TGoal& MakePatternMove(TRuleManager& manager, TGoal&, const TPattAssocEntry& entry) {
    return manager.CreateGoal<TNamedGoal>(PatternMoveGoalName(entry));
}

std::vector<std::string> Names(const TGoalAssociation& list) {
    std::vector<std::string> names;
    for (const TPattAssocEntry* e = list.Entries(); e != nullptr; e = e->Next)
        names.push_back(std::string(e->GoalName.View()) + "/" + std::to_string(e->PatternNumber) +
                        "/" + std::to_string(e->Point));
    return names;
}

TEST(GoalAssociation, NewestFirstLongNamesCutAndClearEmpties) {
    TGoalAssociation list;
    list.AddEntry(26, "KETTE-RETTEN 42", 61);
    list.AddEntry(26, "KETTE-FANGEN 60", 61);
    list.AddEntry(7, std::string(60, 'N'), 3);
    EXPECT_EQ(Names(list),
              (std::vector<std::string>{std::string(50, 'N') + "/7/3", "KETTE-FANGEN 60/26/61",
                                        "KETTE-RETTEN 42/26/61"}));
    list.Clear();
    EXPECT_EQ(list.Entries(), nullptr);
    list.AddEntry(3, "ANBINDEN 5", 9);
    EXPECT_EQ(Names(list), (std::vector<std::string>{"ANBINDEN 5/3/9"}));
}

TEST(GoalAssociation, OnePatternMoveGoalPerNumberAndPointLinkedUnderTheNamedGoal) {
    TGoalAssociation list;
    list.AddEntry(26, "KETTE-RETTEN 42", 61);
    list.AddEntry(26, "KETTE-RETTEN 42", 61);  // a symmetric shape firing twice
    list.AddEntry(31, "KETTE-RETTEN 42", 61);  // another pattern, same point
    list.AddEntry(26, "KETTE-RETTEN 420", 80);
    list.AddEntry(26, "kette-retten 42", 81);
    TRuleManager manager;
    TGoal& save = manager.CreateGoal<TNamedGoal>("KETTE-RETTEN 42");
    CreatePatternGoals(list, save, manager, MakePatternMove);
    std::vector<std::string> created;
    for (TGoal* g = manager.FirstGoal(); g != nullptr; g = g->Next)
        if (g != &save) created.push_back(g->Name());
    EXPECT_EQ(created, (std::vector<std::string>{"MUSTERZUG 26 61", "MUSTERZUG 31 61"}));
    for (TGoal* g = manager.FirstGoal(); g != nullptr; g = g->Next)
        EXPECT_TRUE(g == &save || TRuleManager::SoleSuperGoal(*g) == &save);
    // Expanding again links nothing twice.
    CreatePatternGoals(list, save, manager, MakePatternMove);
    int goals = 0;
    for (TGoal* g = manager.FirstGoal(); g != nullptr; g = g->Next) ++goals;
    EXPECT_EQ(goals, 3);
}

TEST(GoalAssociation, EachPatternRunDescribesOnlyItsPosition) {
    IHost host;
    TEngine engine(host);
    engine.Clock.SetDeterministic(true);
    // A white stone in atari on the edge: capturing it is suggested.
    engine.Fields.Spielfeld = test::FromDiagram(
        ". X O X .\n"
        ". . . . .\n");
    Analyse(engine, TAnalysisStage::Areas);
    ASSERT_NE(engine.GoalAssociation.Entries(), nullptr);
    engine.Fields.Spielfeld = TBoard{};
    Analyse(engine, TAnalysisStage::Areas);
    EXPECT_EQ(engine.GoalAssociation.Entries(), nullptr);
}

}  // namespace
}  // namespace obrin
