// The engine's rule manager and goal trace: the trace file lives with the program's other files
// and follows the live setting; shutdown reports node lists that were never given back.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "board/errors.h"
#include "game/engine.h"
#include "support/tempdir.h"

namespace obrin {
namespace {

class EngineGoals : public ::testing::Test {
  protected:
    void SetUp() override {
        if (const char* h = std::getenv("OBRIN_HOME")) m_oldHome = h;
        ::setenv("OBRIN_HOME", m_home.Path().c_str(), 1);
    }
    void TearDown() override {
        m_oldHome.empty() ? ::unsetenv("OBRIN_HOME") : ::setenv("OBRIN_HOME", m_oldHome.c_str(), 1);
    }

    test::TTempDir m_home;
    std::string m_oldHome;
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
    try {
        engine.Shutdown();
        FAIL() << "no exception";
    } catch (const EObrinError& e) {
        EXPECT_STREQ(e.what(), msg::GoalListLeak);
    }
    manager.FreeNodeList(kept);
}

}  // namespace
}  // namespace obrin
