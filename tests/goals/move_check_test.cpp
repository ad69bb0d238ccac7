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
#include "goals/catalogue.h"
#include "goals/obrinmanager.h"
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
    TMoveFault Check(const std::string& point, bool opponentPassed = false, bool eyeMove = false) {
        return CheckMove(m_engine, IndexOf(point), opponentPassed, eyeMove);
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

    // An eye move on the edge passes only where it leaves an eye.
    Position("X S19 S18 R17");
    EXPECT_EQ(Check("T19", false, true), TMoveFault::FirstLine) << "T18 stays open to T17";
    EXPECT_EQ(Check("T18", false, true), TMoveFault::None) << "T19 is an eye";
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
    // Unless the rescue joins it to a safe group: then the status was wrong.
    Position("X K10 K11 K8 J8 L8 O J10 J11 L10 L11 K12");
    ASSERT_NE(&m_engine.Graph->FindGroupOfStone(IndexOf("K10")),
              &m_engine.Graph->FindGroupOfStone(IndexOf("K8")));
    SetStatusAt("K10", StatusDead);
    SetStatusAt("K8", StatusSafe);
    EXPECT_EQ(Urgent().size(), 1u);
    SetStatusAt("K8", StatusDead);
    EXPECT_TRUE(Urgent().empty());

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

TEST_F(MoveCheck, ALoneCuttingStoneIsSavedThoughCalledDeadWhenItSplitsWeakStones) {
    const auto rescues = [&](const char* point) {
        for (const TUrgentMove& move : Urgent())
            if (move.Point == IndexOf(point)) return true;
        return false;
    };
    const auto statuses = [&](uint8_t ours, uint8_t theirs) {
        SetStatusAt("K10", ours);
        for (const char* p : {"J10", "L10", "K11"}) SetStatusAt(p, theirs);
    };
    // Black's K10 splits three White stones; K9 runs out into the open.
    Position("X K10 O J10 L10 K11");
    statuses(StatusDead, StatusAttackable);
    EXPECT_TRUE(rescues("K9"));
    statuses(StatusDead, StatusSafe);
    EXPECT_FALSE(rescues("K9")) << "White's stones are settled: the stone is given up";

    // The same shape at the edge: C2 only crawls along inside White's sphere.
    Position("X C3 O B3 D3 C4");
    SetStatusAt("C3", StatusDead);
    for (const char* p : {"B3", "D3", "C4"}) SetStatusAt(p, StatusAttackable);
    EXPECT_FALSE(rescues("C2"));
    SetStatusAt("C3", StatusSaveable);
    EXPECT_TRUE(rescues("C2")) << "a stone in the fight is saved anywhere";
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

TEST_F(MoveCheck, AFinishedGameIsPassed) {
    std::string stones = "X";
    for (int row = 1; row <= 19; ++row) stones += " J" + std::to_string(row);
    stones += " O";
    for (int row = 1; row <= 19; ++row) stones += " K" + std::to_string(row);
    Position(stones);
    const TPoint move = ChooseComputerMove(m_engine, true);
    EXPECT_EQ(move, PassPoint) << PointText(move.X, move.Y);
}

// Each side's stones fill its half of the board but for an area of 20 points.
std::string HalvesWithAnAreaEach() {
    const std::string columns = "ABCDEFGHJKLMNOPQRST";
    std::string black = "X", white = " O";
    for (int c = 0; c < 19; ++c)
        for (int row = 1; row <= 19; ++row) {
            const bool blackArea = c >= 2 && c <= 5 && row >= 10 && row <= 14;
            const bool whiteArea = c >= 12 && c <= 15 && row >= 10 && row <= 14;
            if (blackArea || whiteArea) continue;
            (c < 9 ? black : white) += " " + std::string(1, columns[c]) + std::to_string(row);
        }
    return black + white;
}

TEST_F(MoveCheck, ADecidedGameIsCheckedAsAfterAPass) {
    // Before the opponent's pass: a stone in White's area ends the search only while the game
    // goes on.
    const auto playsIntoWhitesArea = [&](uint8_t whiteStatus) {
        Position(HalvesWithAnAreaEach());
        SetStatusAt("T1", whiteStatus);
        TObrinRuleManager& manager = *m_engine.RuleManager;
        manager.OpponentPassed = false;
        manager.CreateGroupGoals();
        return manager.EndsSearch(TGoalBesetzen(IndexOf("O12")));
    };
    EXPECT_FALSE(playsIntoWhitesArea(StatusSafe));
    EXPECT_TRUE(playsIntoWhitesArea(StatusAttackable));
}

TEST_F(MoveCheck, AGameIsDecidedWhenNothingIsInTheFightAndNoOpenPointSwings) {
    const auto decided = [&](double limit) {
        return GameLooksDecided(
            m_engine, [&](int32_t p) { return m_engine.RuleManager->SwingAt(p); }, limit);
    };
    // Black's wall on the J line, White's on the L line, the K line open between them.
    std::string stones = "X";
    for (int row = 1; row <= 19; ++row) stones += " J" + std::to_string(row);
    stones += " O";
    for (int row = 1; row <= 19; ++row) stones += " L" + std::to_string(row);
    Position(stones);
    SetStatusAt("J1", StatusSafe);
    SetStatusAt("L1", StatusSafe);
    EXPECT_TRUE(decided(1000)) << "every point lies in an area or is a point of no one's";
    EXPECT_FALSE(decided(0)) << "when every swing counts, the open K line keeps the game going";
    SetStatusAt("L1", StatusAttackable);
    EXPECT_FALSE(decided(1000)) << "a group in the fight";
}

}  // namespace
}  // namespace obrin
