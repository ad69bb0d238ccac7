// The engine outside its classic setting: the check a move passes before it is played, the
// urgent moves, the territory swing, and the pass at the end of a finished game.
#include "goals/move_check.h"

#include <gtest/gtest.h>

#include <string>

#include "analysis/graph.h"
#include "analysis/swing.h"
#include "game/analyse.h"
#include "game/engine.h"
#include "game/movedriver.h"
#include "support/diagram.h"
#include "support/tempdir.h"
#include "tactics/tactics_fixture.h"

namespace obrin {
namespace {

using test::IndexOf;

class MoveCheck : public ::testing::Test {
  protected:
    void SetUp() override {
        m_engine.Settings.Zufall = false;
        m_engine.Clock.SetDeterministic(true);
    }
    void TearDown() override { m_engine.Shutdown(); }

    void Position(const std::string& stones) {
        m_engine.Fields.Spielfeld = test::FromPoints(stones);
        m_engine.RuleManager->ResetGoals();
        Analyse(m_engine, TAnalysisStage::All);
    }
    void SetStatusAt(const std::string& point, uint8_t status) {
        m_engine.Graph->FindGroupOfStone(IndexOf(point)).Status = status;
    }
    std::vector<TUrgentMove> Urgent() {
        return UrgentMoves(m_engine, m_engine.RuleManager->BiggestSwing());
    }
    TMoveFault Check(const std::string& point, bool opponentPassed = false) {
        return CheckMove(m_engine, IndexOf(point), opponentPassed, false);
    }

    test::TTempHome m_home;
    IHost m_host;
    TEngine m_engine{m_host};
};

TEST_F(MoveCheck, PassesOverWastedMovesButNeverACapture) {
    Position("O B1 B2");
    EXPECT_EQ(Check("A1"), TMoveFault::ThrownAway) << "a self-atari";
    Position("O A1 X B1");
    EXPECT_EQ(Check("A2"), TMoveFault::None) << "a capture on the edge";

    Position("X K10");
    EXPECT_EQ(Check("K1"), TMoveFault::FirstLine);
    Position("X K10 O L2");
    EXPECT_EQ(Check("K1"), TMoveFault::None) << "it blocks the stone beside it";
}

TEST_F(MoveCheck, OwnAreaOnlyWhenItsWallIsSafe) {
    Position("X J9 J10 J11 K9 K11 L9 L10 L11");
    SetStatusAt("J9", StatusSafe);
    EXPECT_EQ(Check("K10"), TMoveFault::OwnArea) << "an own eye";
    SetStatusAt("J9", StatusSaveable);
    EXPECT_EQ(Check("K10"), TMoveFault::NoEye) << "nor in a group in the fight";
}

TEST_F(MoveCheck, AfterThePassNotIntoTheOpponentsArea) {
    std::string wall = "O";
    for (const char c : std::string("ABCDEFGHJKLMNOPQRST")) wall += std::string(" ") + c + "3";
    Position(wall);
    EXPECT_EQ(Check("C2"), TMoveFault::None) << "an invasion while the game goes on";
    EXPECT_EQ(Check("C2", true), TMoveFault::OpponentsArea);
    Position(wall + " X F1");
    SetStatusAt("F1", StatusDead);
    EXPECT_EQ(Check("C2", true), TMoveFault::OpponentsArea) << "beside our dead stone as well";
}

TEST_F(MoveCheck, UrgentRescuesAndCapturesOfChainsThatMatter) {
    Position("X K10 K11 O J10 J11 L10 L11 K12");
    SetStatusAt("K10", StatusSaveable);
    std::vector<TUrgentMove> moves = Urgent();
    ASSERT_EQ(moves.size(), 1u);
    EXPECT_EQ(moves[0].Point, IndexOf("K9"));
    EXPECT_TRUE(moves[0].Rescue);
    EXPECT_EQ(moves[0].Stones, 2);
    SetStatusAt("K10", StatusDead);
    EXPECT_TRUE(Urgent().empty()) << "a dead group is not worth the move";

    Position("O K10 K11 X J10 J11 L10 L11 K12");
    SetStatusAt("K10", StatusAttackable);
    moves = Urgent();
    ASSERT_EQ(moves.size(), 1u);
    EXPECT_EQ(moves[0].Point, IndexOf("K9"));
    EXPECT_FALSE(moves[0].Rescue);

    Position("X K10 O J10 J11 K11 L11 L10");
    SetStatusAt("K10", StatusSaveable);
    EXPECT_TRUE(Urgent().empty()) << "a lone stone that cuts nothing";
}

TEST_F(MoveCheck, ALoneStoneBetweenTwoChainsIsSaved) {
    // The graph takes White's stones for one group; they are two chains all the same.
    Position("X G3 F4 H4 G5 O F3 E3 G2 H2 H3 E4 J4");
    SetStatusAt("G3", StatusSaveable);
    const std::vector<TUrgentMove> moves = Urgent();
    ASSERT_EQ(moves.size(), 1u);
    EXPECT_EQ(moves[0].Point, IndexOf("G4"));
    EXPECT_TRUE(moves[0].Rescue);
}

TEST_F(MoveCheck, NoCaptureThatIsTakenBackAtOnce) {
    const auto capturesAtF11 = [&] {
        SetStatusAt("F10", StatusAttackable);
        for (const TUrgentMove& move : Urgent())
            if (move.Point == IndexOf("F11")) return true;
        return false;
    };
    // F11 takes White's cutting stone F10 and saves E10 and E11.
    Position("X E10 E11 G10 F9 O F10 D10 D11 E12 E9");
    EXPECT_TRUE(capturesAtF11());
    EXPECT_EQ(Check("F11"), TMoveFault::None);
    // With F12 and G11 White's, the three stones are left in atari: White takes them at F10.
    // Neither an urgent goal nor any other goal may play it.
    Position("X E10 E11 G10 F9 O F10 D10 D11 E12 E9 F12 G11");
    EXPECT_FALSE(capturesAtF11());
    EXPECT_EQ(Check("F11"), TMoveFault::ThrownAway);
}

TEST_F(MoveCheck, NoAtariThatTheOpponentAnswersByTakingOurStone) {
    // Black's P3 is in atari. R3 puts White's Q3 in atari, but White takes P3 at P4 and Q3 is
    // free again.
    Position("X P3 Q4 O O3 Q3 P2");
    EXPECT_EQ(Check("R3"), TMoveFault::EmptyAtari);
    EXPECT_EQ(Check("P4"), TMoveFault::None) << "the rescue";
    Position("X P3 P4 Q4 O O3 Q3 P2");
    EXPECT_EQ(Check("R3"), TMoveFault::None) << "with P3 safe the atari stands";
    Position("X P3 R3 O O3 P2 Q3 O4 P5");
    EXPECT_EQ(Check("Q2"), TMoveFault::None) << "P3 cannot be saved: the atari is all there is";
}

TEST_F(MoveCheck, NoCrawlOfADeadGroup) {
    Position("X A10 A11 O B10 B11 B12");
    SetStatusAt("A10", StatusDead);
    EXPECT_EQ(Check("A9"), TMoveFault::ThrownAway);
    SetStatusAt("A10", StatusSaveable);
    EXPECT_EQ(Check("A9"), TMoveFault::None) << "a group in the fight may run";
}

TEST_F(MoveCheck, NoStoneInAnEyeSpaceThatGivesNoSecondEye) {
    // Black's corner wall around A1..B2 (a square of four) and, apart, a straight three.
    Position("X A3 B3 C3 C2 C1 J10 N10 K9 L9 M9 K11 L11 M11");
    SetStatusAt("A3", StatusSaveable);
    SetStatusAt("K9", StatusSaveable);
    EXPECT_EQ(Check("B2"), TMoveFault::NoEye) << "the square of four";
    EXPECT_EQ(Check("K10"), TMoveFault::NoEye) << "the end of the three";
    EXPECT_EQ(Check("L10"), TMoveFault::None) << "the middle of the three makes two eyes";
}

TEST(TerritorySwing, OpenCornersBeforeTheEdgeAndContactBeforeOwnArea) {
    TSwingEvaluator empty;
    empty.Prepare(TBoard{}, TBoard{});
    TBoard firm;
    firm.fill(100);
    EXPECT_GT(empty.Swing(IndexOf("D4")), empty.Swing(IndexOf("A1")));
    EXPECT_GT(empty.Swing(IndexOf("C3")), empty.Swing(IndexOf("B2")));
    EXPECT_NEAR(empty.Swing(IndexOf("D4")), empty.Swing(IndexOf("Q16")), 1e-9) << "symmetry";

    // Black's corner stone and White's approach: the point between them swings more than one
    // deep in Black's corner.
    TSwingEvaluator approached;
    approached.Prepare(test::FromPoints("X Q16 O R12"), firm);
    EXPECT_GT(approached.Swing(IndexOf("Q13")), approached.Swing(IndexOf("R18")));
    EXPECT_GT(approached.Ownership(IndexOf("Q17")), 0.5);
    EXPECT_LT(approached.Ownership(IndexOf("R11")), -0.5);
    EXPECT_LT(approached.Gain(IndexOf("S11"), 1), approached.Gain(IndexOf("S11"), -1))
        << "a stone inside the other side's sphere gains little for its owner";
}

TEST_F(MoveCheck, AfterTheOpponentsPassAFinishedGameIsPassed) {
    std::string stones = "X";
    for (int row = 1; row <= 19; ++row) stones += " J" + std::to_string(row);
    stones += " O";
    for (int row = 1; row <= 19; ++row) stones += " K" + std::to_string(row);
    Position(stones);
    const TPoint move = ChooseComputerMove(m_engine, true);
    EXPECT_EQ(move, PassPoint) << PointText(move.X, move.Y);
}

}  // namespace
}  // namespace obrin
