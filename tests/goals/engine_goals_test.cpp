// The engine's rule manager and goal trace: the trace file lives with the program's other files
// and follows the live setting; shutdown reports node lists that were never given back.
#include <gtest/gtest.h>

#include <string>

#include "board/errors.h"
#include "game/engine.h"
#include "support/error_text.h"
#include "support/tempdir.h"

namespace obrin {
namespace {

class EngineGoals : public ::testing::Test {
  protected:
    test::TTempHome m_home;
    IHost m_host;
};

TEST_F(EngineGoals, TheTraceIsWrittenToDebugTxtWhileTheSettingIsOn) {
    TEngine engine(m_host);
    EXPECT_FALSE(std::filesystem::exists(m_home / "debug.txt")) << "opened only when first used";
    TGoalDebugger& trace = engine.GoalDebugger();
    EXPECT_EQ(&trace, &engine.GoalDebugger());
    EXPECT_TRUE(std::filesystem::exists(m_home / "debug.txt"));
    trace.WriteLine("off");
    engine.Settings.ZieleProtokollieren = true;
    trace.WriteLine("on");
    EXPECT_EQ(test::ReadBytes(m_home / "debug.txt"), "on\r\n");
}

TEST_F(EngineGoals, ShutdownReportsAGoalListThatWasNeverGivenBack) {
    TEngine engine(m_host);
    TRuleManager& manager = *engine.RuleManager;
    TGoal& sub = manager.CreateGoal<TGoal>();
    manager.LinkGoal(sub, manager.CreateGoal<TGoal>());
    TGoalList* kept = manager.CollectSuperGoals(sub);
    EXPECT_EQ(test::ErrorOf([&] { engine.Shutdown(); }), msg::GoalListLeak);
    manager.FreeNodeList(kept);
}

}  // namespace
}  // namespace obrin
