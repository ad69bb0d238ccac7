#include "gtp/gtp_rules.h"

#include <gtest/gtest.h>

#include <string>

#include "analysis/graph.h"
#include "game/engine.h"
#include "goals/catalogue.h"
#include "goals/obrinmanager.h"
#include "gtp/gtp.h"
#include "gtp/gtp_analysis.h"
#include "support/tempdir.h"

namespace obrin {
namespace {

class GtpRules : public ::testing::Test {
  protected:
    void SetUp() override { RegisterAnalysisCommands(gtp); }
    std::string Ask(const std::string& line) {
        bool quit = false;
        return gtp.HandleLine(line, quit);
    }
    TObrinRuleManager& Manager() { return *engine.RuleManager; }

    test::TTempHome m_home;
    IHost host;
    TEngine engine{host};
    TGtpEngine gtp{engine};
};

TEST_F(GtpRules, RulesInTheOrderTheyAreAsked) {
    const std::string reply = Ask("obrin_rules");
    // The rules of the urgent and the predicted moves come after the catalogue's 89 and are
    // asked first.
    ASSERT_EQ(reply.rfind("= 93 TRuleVorhersageVorhersage 4\n92 TRuleVorhersage 4\n"
                          "91 TRuleDringendDringend 5\n90 TRuleDringend 5\n"
                          "89 TRuleEscapeMoveKette 0\n88 TRuleEscapeMove_M355 0\n",
                          0),
              0u)
        << reply;
    EXPECT_NE(reply.find("\n76 TRuleGebietszug7 3\n"), std::string::npos);
    EXPECT_NE(reply.find("\n65 TRuleAnbindenAugenMachen 0\n"), std::string::npos);
    EXPECT_NE(reply.find("\n60 TRuleAnbindenAugenMachen 0\n"), std::string::npos);
    EXPECT_EQ(reply.substr(reply.size() - 17), "\n1 TRuleLegal 2\n\n");
    EXPECT_NE(Ask("gogui-analyze_commands").find("\nstring/Regeln/obrin_rules\n"),
              std::string::npos);
}

// Names with one and two numbers, and a keyword without any.
TEST_F(GtpRules, EveryVoteLevelByLevelAndTheVerdict) {
    TGoGroup group;
    group.Name = 7;
    group.Status = StatusSaveable;
    TGoChain chain;
    chain.Group = &group;
    Manager().CreateGoal<TGoalAnbinden>(40, &chain);
    Manager().CreateGoal<TGoalAugenMachen>(group);
    Manager().CreateGoal<TGoalAtariRetten>(40, 41, &chain);
    EXPECT_EQ(Ask("obrin_compare AUGEN-MACHEN 7 ANBINDEN 40"),
              "= 0: TRuleAnbindenAugenMachen -1\n0: TRuleAnbindenAugenMachen -1\n"
              "Ergebnis: -1\n\n");
    EXPECT_EQ(Ask("obrin_compare ATARI-RETTEN 40 41 AUGEN-MACHEN 7"),
              "= 0: TRuleAtariRettenAugenMachen 1\nErgebnis: 1\n\n");
    EXPECT_EQ(Ask("obrin_compare NEUTRALZUG GEBIET-EROBERN"),
              "= 0: TRuleGebietErobernNeutralzug -1\nErgebnis: -1\n\n");
    EXPECT_EQ(Ask("obrin_compare NEUTRALZUG"), "? two goal names expected\n\n");
    EXPECT_EQ(Ask("obrin_compare NEUTRALZUG RETTEN 3"), "? unknown goal RETTEN 3\n\n");
    EXPECT_FALSE(Manager().TransitiveBusy);
}

}  // namespace
}  // namespace obrin
