#include "gtp/gtp_tactics.h"

#include <gtest/gtest.h>

#include <sstream>

#include "game/engine.h"
#include "support/error_text.h"
#include "tactics/tactics_fixture.h"
#include "tools/tactics_positions.h"

namespace obrin {
namespace {

class GtpTacticsTest : public test::TacticsTest {
  protected:
    GtpTacticsTest() { RegisterTacticsCommands(Gtp, 1000); }
    std::string Ask(const std::string& line) {
        bool quit = false;
        return Gtp.HandleLine(line, quit);
    }
    TEngine Engine{Host};
    TGtpEngine Gtp{Engine};
};

TEST_F(GtpTacticsTest, AnswersInTheEstablishedFormAndErrorsForBadArguments) {
    EXPECT_EQ(Ask("attack D4"), "? vertex must not be empty\n\n");
    EXPECT_EQ(Ask("defend"), "? syntax error\n\n");
    EXPECT_EQ(Ask("attack Z99"), "? syntax error\n\n");
    EXPECT_EQ(Ask("ladder_attack pass"), "? syntax error\n\n");
    EXPECT_EQ(Ask("attack D4 D5"), "? syntax error\n\n");
    // A white stone on the second line with black on two sides.
    for (const char* m : {"play b B17", "play b C18", "play w B18"}) ASSERT_EQ(Ask(m), "= \n\n");
    EXPECT_EQ(Ask("ladder_attack B18"), "= 1 B19\n\n");
    const std::string attack = Ask("attack B18");
    EXPECT_TRUE(attack == "= 1 A18\n\n" || attack == "= 1 B19\n\n") << attack;
    EXPECT_EQ(Ask("defend B18"), "= 0\n\n");
    EXPECT_EQ(Ask("ladder_attack C18"), "= 0\n\n");  // three liberties: no ladder question
    ExpectPoolBalanced();
}

TEST_F(GtpTacticsTest, DefendAnswersPassForTwoEyes) {
    for (const char* m : {"play b A18", "play b B18", "play b C18", "play b D18", "play b B19",
                          "play b D19", "play w E19", "play w E18", "play w A17", "play w B17",
                          "play w C17", "play w D17", "play w E17"})
        ASSERT_EQ(Ask(m), "= \n\n");
    EXPECT_EQ(Ask("defend A18"), "= 1 PASS\n\n");
    EXPECT_EQ(Ask("attack A18"), "= 0\n\n");
}

TEST_F(GtpTacticsTest, KoAndOpenBoardQuestions) {
    // Black takes the ko at C18; White may not take back at once: attack names B18 with the code
    // of a ko that needs a threat first.
    for (const char* m : {"play b B19", "play w C19", "play b A18", "play w D18", "play b B17",
                          "play w C17", "play w B18", "play b C18"})
        ASSERT_EQ(Ask(m), "= \n\n");
    EXPECT_EQ(Ask("attack C18"), "= 3 B18\n\n");
    const std::string defence = Ask("defend C18");  // connect, or take C19 (in atari too)
    EXPECT_TRUE(defence == "= 1 B18\n\n" || defence == "= 1 D19\n\n") << defence;
    // A lone stone in the open cannot be captured; defend names a move all the same.
    ASSERT_EQ(Ask("play w K10"), "= \n\n");
    EXPECT_EQ(Ask("attack K10"), "= 0\n\n");
    EXPECT_EQ(Ask("defend K10").substr(0, 4), "= 1 ");
    ExpectPoolBalanced();
}

TEST(TacticsPositions, ReadsPositionsAndNamesTheLineOfAnError) {
    std::string rows;
    for (int i = 0; i < 18; ++i) rows += "...................\n";
    std::istringstream good("# set\nposition p1\nko C3\n" + rows +
                            "..X................\nattack C1\nladder C1\n");
    const auto positions = ReadTacticsPositions(good, "set.txt");
    ASSERT_EQ(positions.size(), 1u);
    EXPECT_EQ(positions[0].Board[PointIndex(2, 0)], 1);
    EXPECT_EQ(positions[0].KoX, 2);
    EXPECT_EQ(positions[0].KoY, 2);
    ASSERT_EQ(positions[0].Questions.size(), 2u);
    EXPECT_EQ(positions[0].Questions[1].Kind, TTacticsQuestionKind::Ladder);

    const auto errorOf = [](const std::string& text) {
        std::istringstream in(text);
        return test::ErrorOf([&] { (void)ReadTacticsPositions(in, "set.txt"); });
    };
    EXPECT_EQ(errorOf("attack C3\n"), "set.txt:1: 'position NAME' expected");
    EXPECT_EQ(errorOf("position p\n" + rows + "...................\nattack C3\n"),
              "set.txt:21: no stone at C3");
    EXPECT_EQ(errorOf("position p\n....\n"), "set.txt:2: a board row has 19 points");
    EXPECT_EQ(errorOf("position p\n" + rows), "set.txt:19: position 'p' has 18 board rows, not 19");
    EXPECT_EQ(errorOf("position p\n" + rows + "...................\nattack I3\n"),
              "set.txt:21: bad point 'I3'");
}

}  // namespace
}  // namespace obrin
