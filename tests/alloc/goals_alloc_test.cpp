// The goal queries and comparisons run many times per selection: once the node pool has grown
// they must not touch the heap.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "alloc/alloc_counter.h"
#include "goals/goaldbg.h"
#include "goals/goals.h"
#include "support/named_goal.h"
#include "support/tempdir.h"

namespace obrin {
namespace {

using test::TNamedGoal;

// Compares two goals through their closures, as the rules that look at what goals serve do.
class TClosureRule : public TRule {
  public:
    explicit TClosureRule(TRuleManager& manager) : TRule("TClosureRule", 1), m_manager(manager) {}
    int32_t Compare(TGoal& a, TGoal& b) override {
        TPooledGoalList common(m_manager, m_manager.CommonSuperGoals(a, b));
        TPooledGoalList fromA(m_manager, m_manager.CollectSuperGoals(a));
        TPooledGoalList fromB(m_manager, m_manager.CollectSuperGoals(b));
        int count = 0;
        for (const TGoal* g : fromA) count += g->Active ? 1 : 0;
        for (const TGoal* g : fromB) count -= g->Active ? 1 : 0;
        return common.Empty() ? count : 0;
    }

  private:
    TRuleManager& m_manager;
};

TEST(Allocation, GoalQueriesAndSelectionAllocateNothingAfterWarmUp) {
    test::TTempDir dir;
    const bool traceOff = false;
    TGoalDebugger debugger(dir / "debug.txt", traceOff);
    TRuleManager manager;
    manager.Debugger = &debugger;
    manager.AddRule(std::make_unique<TClosureRule>(manager));
    // Three tops, each served by a chain of goals, and leaves that serve several chains.
    std::vector<TGoal*> goals;
    for (int i = 0; i < 30; ++i) {
        TGoal& g = manager.CreateGoal<TNamedGoal>("G " + std::to_string(i));
        if (i >= 3) manager.LinkGoal(g, *goals[static_cast<size_t>(i - 3)]);
        if (i >= 20) manager.LinkGoal(g, *goals[static_cast<size_t>(i % 7)]);
        (void)g.Name();
        goals.push_back(&g);
    }
    const auto selectAll = [&] {
        for (TGoal* g : goals) g->Active = true;
        while (manager.SelectBest() != nullptr) {
        }
    };
    selectAll();
    const long before = test::AllocationCount();
    selectAll();
    EXPECT_EQ(test::AllocationCount(), before);
    EXPECT_EQ(manager.FindGoal("G 7"), goals[7]);
    EXPECT_EQ(test::AllocationCount(), before);
    EXPECT_EQ(manager.CountLentNodes(), 0);
}

}  // namespace
}  // namespace obrin
