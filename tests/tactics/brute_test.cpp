#include "tactics/brute.h"

#include <gtest/gtest.h>

#include "board/errors.h"
#include "tactics/tactics_fixture.h"

namespace obrin {
namespace {

using test::At;
using test::FromDiagram;
using test::IndexOf;

// A black corner group with two real eyes: A19 in the corner and C19 on the edge.
const char* const kTwoEyes = R"(
    .X.XO
    XXXXO
    OOOOO)";

// A black corner group in atari on its one eye B19; E19 takes the white stone D19 and White
// cannot take back at once (ko).
const char* const kOneEye = R"(
    X.XO.O
    XXXXOO
    OOOOO.)";

// A white stone on the second line that the ladder drives into the corner.
const char* const kEdgeStone = R"(
    ...
    .OX
    .X.)";

class BruteTest : public test::TacticsTest {
  protected:
    TPointList Moves;
};

TEST_F(BruteTest, EyePointsInTheCentreOnTheEdgeAndInTheCorner) {
    const TBoard b = FromDiagram(R"(
        .O...
        .....
        ..O.O
        .....)");
    EXPECT_TRUE(EyePoint(1, 15, 1, b));   // B16: one white diagonal (C17) is allowed
    EXPECT_FALSE(EyePoint(3, 15, 1, b));  // D16: two white diagonals (C17, E17)
    EXPECT_FALSE(EyePoint(2, 16, 1, b));  // occupied
    EXPECT_FALSE(EyePoint(2, 15, 1, b));  // C16: a white orthogonal neighbour
    EXPECT_FALSE(EyePoint(0, 18, 1, b));  // A19 corner: B19 is white
    EXPECT_FALSE(EyePoint(0, 17, 1, b));  // A18 edge: B19 is a white diagonal
    EXPECT_TRUE(EyePoint(0, 15, 1, b));   // A16 edge: no white among its neighbours
    EXPECT_TRUE(EyePoint(18, 0, 1, b));   // T1, an empty corner
    EXPECT_FALSE(EyePoint(19, 0, 1, b));  // off the board
    EXPECT_EQ(EyePointCount(18, 0, 1, -1, -1, b), 3);
}

TEST_F(BruteTest, EyeFieldFindsRealEyesOnly) {
    const TBoard b = FromDiagram(R"(
        .X.XO......
        XXXXO......
        OOOOO......
        ...........
        ....XXO....
        ...X.XO....
        ....XO.....)");
    TBoard candidates{}, eyes{};
    for (const char* p : {"A19", "C19", "E14"}) candidates[IndexOf(p)] = 1;
    EyeField(Context.Reader, 1, -1, -1, b, candidates, eyes);
    EXPECT_EQ(eyes[IndexOf("A19")], 1);  // corner
    EXPECT_EQ(eyes[IndexOf("C19")], 1);  // edge
    EXPECT_EQ(eyes[IndexOf("E14")], 0);  // centre: two white diagonals make it false
    EXPECT_TRUE(HasTwoEyes(Context.Reader, 0, 17, -1, -1, b));
    ExpectPoolBalanced();
}

TEST_F(BruteTest, TwoRealEyesNeedNoDefenceAndResistAttackAlsoWithTheClockAtTheDeadline) {
    const TBoard b = FromDiagram(kTwoEyes);
    EXPECT_EQ(Defend(Context.Reader, 0, 17, -1, -1, b, NoDeadline, Moves), FightSuccess);
    ASSERT_EQ(Moves.Count, 1);
    EXPECT_EQ(Moves[0], PassPoint);
    EXPECT_EQ(Attack(Context.Reader, 0, 17, -1, -1, b, NoDeadline, Moves), FightFailure);
    ASSERT_EQ(Moves.Count, 1);
    EXPECT_EQ(Moves[0], PassPoint);
    // The clock stands exactly at the deadline: the finished answers stand.
    EXPECT_EQ(Defend(Context.Reader, 0, 17, -1, -1, b, Host.Now, Moves), FightSuccess);
    EXPECT_EQ(Attack(Context.Reader, 0, 17, -1, -1, b, Host.Now, Moves), FightFailure);
    // One tick beyond it, they do not.
    EXPECT_EQ(Defend(Context.Reader, 0, 17, -1, -1, b, Host.Now - 1, Moves), FightUndecided);
    ExpectPoolBalanced();
}

TEST_F(BruteTest, ChainInAtariIsSavedByCapturingAndCapturedOnItsLastLiberty) {
    const TBoard b = FromDiagram(kOneEye);
    EXPECT_EQ(Defend(Context.Reader, 0, 17, -1, -1, b, NoDeadline, Moves), FightSuccess);
    ASSERT_EQ(Moves.Count, 1);
    EXPECT_EQ(Moves[0], At("E19"));
    EXPECT_EQ(Attack(Context.Reader, 0, 17, -1, -1, b, NoDeadline, Moves), FightSuccess);
    EXPECT_EQ(Moves[0], At("B19"));
    // With the capture forbidden by ko the chain cannot be saved.
    EXPECT_EQ(Defend(Context.Reader, 0, 17, 4, 18, b, NoDeadline, Moves), FightFailure);
    EXPECT_EQ(Moves.Count, 0);
    ExpectPoolBalanced();
}

TEST_F(BruteTest, LadderedStoneIsCapturedAndCannotBeSaved) {
    const TBoard b = FromDiagram(kEdgeStone);
    EXPECT_EQ(Attack(Context.Reader, 1, 17, -1, -1, b, NoDeadline, Moves), FightSuccess);
    ASSERT_EQ(Moves.Count, 1);
    EXPECT_TRUE(Moves[0] == At("A18") || Moves[0] == At("B19"));
    EXPECT_EQ(Defend(Context.Reader, 1, 17, -1, -1, b, NoDeadline, Moves), FightFailure);
    EXPECT_GT(Context.Reader.Nodes, 0);
    ExpectPoolBalanced();
}

TEST_F(BruteTest, FightMovesAreLegalOrderedAndNextToTheFight) {
    const TBoard b = FromDiagram(kEdgeStone);
    FightMoves(Context.Reader, 1, 17, 1, -1, -1, b, Moves);
    ASSERT_GT(Moves.Count, 1);
    // Both liberties of the white stone are there, both ataris ahead of any other move.
    EXPECT_TRUE((Moves[0] == At("A18") && Moves[1] == At("B19")) ||
                (Moves[0] == At("B19") && Moves[1] == At("A18")));
    for (const TPoint& m : Moves) EXPECT_EQ(b[PointIndex(m.X, m.Y)], 0);
    ExpectPoolBalanced();
}

TEST_F(BruteTest, DeadlineAndStopMakeTheResultUndecided) {
    // An open fight in the centre that no search finishes: every clock read advances 1 ms.
    TBoard b{};
    b[IndexOf("K10")] = -1;
    b[IndexOf("K11")] = 1;
    Host.Step = 1;
    EXPECT_EQ(Attack(Context.Reader, 9, 9, -1, -1, b, Host.Now + 50, Moves), FightUndecided);
    EXPECT_EQ(Defend(Context.Reader, 9, 9, -1, -1, b, Host.Now + 50, Moves), FightUndecided);
    Host.Step = 0;
    Host.Locked = true;
    EXPECT_EQ(Attack(Context.Reader, 9, 9, -1, -1, b, NoDeadline, Moves), FightUndecided);
    ExpectPoolBalanced();
}

TEST_F(BruteTest, AnUnfinishedSearchNeverClaimsFailure) {
    // The clock reaches the deadline during the search and stays there: the nodes that stop at
    // that moment must not report failure, or the caller would claim a false success.
    TBoard b{};
    b[IndexOf("K10")] = -1;
    b[IndexOf("K11")] = 1;
    b[IndexOf("J10")] = 1;
    class TFrozenAtDeadline : public test::TScriptedHost {
      public:
        uint64_t Deadline = 0;
        int Reads = 0;
        uint64_t TickMs() override { return ++Reads < 200 ? Deadline - 1 : Deadline; }
    } host;
    test::TTacticsContext engine(host);
    host.Deadline = 5000;
    const TFightResult r = Attack(engine.Reader, 9, 9, -1, -1, b, host.Deadline, Moves);
    EXPECT_NE(r, FightSuccess);
    EXPECT_NO_THROW(engine.Pool.Destroy());
}

}  // namespace
}  // namespace obrin
