#include "gtp/gtp_goals.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "game/engine.h"
#include "gtp/gtp.h"
#include "support/tempdir.h"

namespace obrin {
namespace {

class GtpGoals : public ::testing::Test {
  protected:
    void SetUp() override {
        m_engine.Clock.SetDeterministic(true);
        m_engine.Random.SetFixedSeed(3);
        RegisterGoalCommands(m_gtp);
    }
    std::string Ask(const std::string& line) {
        bool quit = false;
        return m_gtp.HandleLine(line, quit);
    }
    // The answer's text without "= " and the closing blank line.
    std::string Answer(const std::string& line) {
        const std::string a = Ask(line);
        EXPECT_EQ(a.substr(0, 2), "= ") << line << ": " << a;
        return a.size() >= 4 ? a.substr(2, a.size() - 4) : std::string();
    }
    int Stones(int colour) {
        int n = 0;
        for (int v : m_engine.Fields.Spielfeld) n += v == colour;
        return n;
    }

    test::TTempHome m_home;
    IHost m_host;
    TEngine m_engine{m_host};
    TGtpEngine m_gtp{m_engine};
};

TEST_F(GtpGoals, GenmovePlaysForEitherColourAndRegGenmoveOnlyAnswers) {
    ASSERT_EQ(Ask("play b D4"), "= \n\n");
    ASSERT_EQ(Ask("play w Q16"), "= \n\n");
    const std::string asked = Answer("reg_genmove w");
    EXPECT_EQ(Stones(-1), 1) << "reg_genmove plays nothing";
    const std::string played = Answer("genmove w");
    EXPECT_FALSE(asked.empty());
    EXPECT_EQ(Stones(1), 1) << "Black's stones stay Black's";
    EXPECT_EQ(Stones(-1), played == "pass" ? 1 : 2);
    for (int i = 0; i < 4; ++i) {
        const std::string m = Answer(i % 2 == 0 ? "genmove b" : "genmove w");
        EXPECT_FALSE(m.empty());
    }
}

TEST_F(GtpGoals, TheGoalsOfTheLastSearchCanBeListedTracedAndExpanded) {
    (void)Answer("genmove b");
    const std::string goals = Answer("obrin_goals");
    EXPECT_NE(goals.find("GEBIET-EROBERN | "), std::string::npos) << goals;
    EXPECT_NE(goals.find(" | chosen | "), std::string::npos) << goals;
    const std::string tree = Answer("obrin_goal_tree");
    EXPECT_EQ(tree.rfind("BESETZEN ", 0), 0u) << "the tree starts at the move: " << tree;
    EXPECT_EQ(Answer("obrin_expand VERZICHTEN"), "BESETZEN -1");
    EXPECT_EQ(Ask("obrin_expand NO SUCH GOAL"), "? unknown goal\n\n");
}

TEST_F(GtpGoals, GenmoveAnswersOnBoardsNoGameReaches) {
    // A board full of one colour but one point, for either side: the one move captures
    // everything, or the engine passes; nothing else is legal.
    for (const int colour : {-1, 1}) {
        m_engine.Fields.Spielfeld.fill(colour);
        m_engine.Fields.Spielfeld[0] = 0;
        const std::string m = Answer(colour < 0 ? "genmove b" : "genmove w");
        EXPECT_TRUE(m == "A1" || m == "pass") << m;
    }
    // One colour only, scattered.
    ASSERT_EQ(Ask("clear_board"), "= \n\n");
    for (const char* v : {"C3", "D4", "Q16", "K10", "R3"}) (void)Answer(std::string("play b ") + v);
    const std::string m = Answer("genmove w");
    EXPECT_NE(m, "C3");
}

// Black owns rows 10 to 19, White the rest, each with two eyes in a corner. White has played a
// stone into Black's area, Black has answered it and White has extended: the two white stones
// are dead and the search has nothing to play. While White still plays, Black takes the stones
// off rather than pass (under area counting they would count for White); after White's pass it
// passes too, so the game can end.
TEST_F(GtpGoals, WhileTheOpponentStillPlaysDeadStonesInOurAreaAreTakenOff) {
    const std::string columns = "ABCDEFGHJKLMNOPQRST";
    const std::set<std::string> open = {"A19", "C19", "A1",  "C1", "K14",
                                        "K16", "J15", "L15", "K15"};
    for (int row = 1; row <= 19; ++row)
        for (const char c : columns) {
            const std::string v = c + std::to_string(row);
            if (open.count(v) == 0) (void)Answer((row >= 10 ? "play b " : "play w ") + v);
        }
    for (const char* move : {"play w K15", "play b J15", "play w L15"}) (void)Answer(move);
    ASSERT_EQ(Answer("reg_genmove b"), "K14") << "the search passes, the cleanup answers";
    EXPECT_EQ(Answer("obrin_goal_tree"), "BESETZEN -1\n VERZICHTEN");
    (void)Answer("play w pass");
    EXPECT_EQ(Answer("genmove b"), "pass");
}

// A controller's clock and the engine's own limit bound every move: on a board full of stones
// without a liberty the goals are so many that the search would run for minutes; it stops at the
// budget and the answer (there is no empty point) is a pass. The clock commands set the time of
// one move from what is left. (The classic engine's status makes every group of this board a
// fight; the present one sees fewer goals and is done within the budget.)
TEST_F(GtpGoals, EveryGenmoveKeepsToItsBudget) {
    m_engine.Settings.KlassischeEngine = true;
    TBoard full{};
    for (int p = 0; p < PointCount; ++p) full[p] = (PointColumn(p) + PointRow(p)) % 2 == 0 ? 1 : -1;
    m_engine.Fields.Spielfeld = full;
    m_engine.MoveBudget.Comparisons = 5000;
    EXPECT_EQ(Answer("reg_genmove b"), "pass");
    EXPECT_GE(m_engine.RuleManager->SearchComparisons(), 5000);
    EXPECT_LT(m_engine.RuleManager->SearchComparisons(), 5000 + 5000);

    EXPECT_EQ(Ask("time_left b 10 5"), "= \n\n");
    EXPECT_EQ(m_engine.MoveBudget.Ms, 1600u);  // four fifths of two seconds a stone
    EXPECT_EQ(Ask("time_left w 1 0"), "= \n\n");
    EXPECT_EQ(m_engine.MoveBudget.Ms, 100u);  // never less than a tenth of a second
    EXPECT_EQ(Ask("time_settings 0 0 0"), "= \n\n");
    EXPECT_EQ(m_engine.MoveBudget.Ms, TMoveBudget::DefaultMs);  // no time limit: the engine's own
    EXPECT_EQ(Ask("time_left b -3 0"), "? syntax error\n\n");
    EXPECT_EQ(Ask("time_left x 10 0"), "? syntax error\n\n");
}

}  // namespace
}  // namespace obrin
