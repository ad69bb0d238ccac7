// The goal browser's model: the goal names it lists, the super-goals a line expands to, and the
// peculiar sort of its tally (plain counting and sorting are tested through the window's grid).
#include "goals/goalbrowse.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "goals/goals.h"
#include "support/named_goal.h"

namespace obrin {
namespace {

using test::TNamedGoal;

using TNames = std::vector<std::string>;

class GoalBrowse : public ::testing::Test {
  protected:
    TGoal& Goal(const char* name) { return manager.CreateGoal<TNamedGoal>(name); }
    TRuleManager manager;
};

TEST_F(GoalBrowse, ListsGoalsNewestFirstAndTheirSuperGoalsSortedOnce) {
    TGoal& win = Goal("GEWINNEN");
    TGoal& save = Goal("RETTEN 7");
    TGoal& capture = Goal("FANGEN 3");
    TGoal& point = Goal("BESETZEN 60");
    manager.LinkGoal(point, save);
    manager.LinkGoal(point, capture);
    manager.LinkGoal(point, win);
    manager.LinkGoal(point, save);  // linked once only
    EXPECT_EQ(GoalNames(manager), (TNames{"BESETZEN 60", "FANGEN 3", "RETTEN 7", "GEWINNEN"}));
    // Alphabetical, whatever the order of linking.
    EXPECT_EQ(SuperGoalNames(manager, "BESETZEN 60"), (TNames{"FANGEN 3", "GEWINNEN", "RETTEN 7"}));
    // A goal that serves nothing has no super-goals; a name no goal carries has no answer.
    EXPECT_EQ(SuperGoalNames(manager, "GEWINNEN"), TNames{});
    EXPECT_EQ(SuperGoalNames(manager, "BESETZEN 61"), std::nullopt);
    EXPECT_EQ(SuperGoalNames(manager, "besetzen 60"), std::nullopt);  // names are exact
}

std::vector<std::pair<int, std::string>> RowsOf(const TGoalTally& tally) {
    std::vector<std::pair<int, std::string>> rows;
    for (const auto& row : tally.Rows()) rows.emplace_back(row.Count, row.Name);
    return rows;
}

TEST(GoalTally, PlusAndMinusHaveNoBoundAndAZeroCountBlocksTheSort) {
    TGoalTally tally;
    for (const char* name : {"A", "B", "C"}) tally.Count(name);
    tally.Minus(1);  // B: 0
    tally.Plus(2);
    tally.Plus(2);  // C: 3
    tally.Sort();
    // B with 0 is not moved, and C cannot pass it.
    EXPECT_EQ(RowsOf(tally),
              (std::vector<std::pair<int, std::string>>{{1, "A"}, {0, "B"}, {3, "C"}}));
    tally.Minus(1);
    tally.Minus(1);  // B: -2, now compared like any other count
    tally.Sort();
    EXPECT_EQ(RowsOf(tally),
              (std::vector<std::pair<int, std::string>>{{3, "C"}, {1, "A"}, {-2, "B"}}));
    // The empty row after the names, and rows that are not there, have no "+" and "-".
    tally.Plus(3);
    tally.Minus(-1);
    EXPECT_EQ(RowsOf(tally),
              (std::vector<std::pair<int, std::string>>{{3, "C"}, {1, "A"}, {-2, "B"}}));
}

}  // namespace
}  // namespace obrin
