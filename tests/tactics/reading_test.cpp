#include "tactics/reading.h"

#include <gtest/gtest.h>

#include "tactics/tactics_fixture.h"
#include "tactics/treppe.h"

namespace obrin {
namespace {

using test::At;
using test::FromDiagram;
using test::IndexOf;

// A white stone with two liberties: an atari from either side starts a ladder over open board.
const char* const kOpenLadder = "X K11 J10 L9 O K10";

class ReadingTest : public test::TacticsTest {
  protected:
    TReadingAnswer Attack(const TBoard& b, const char* chain, const char* ko = nullptr) {
        const TPoint p = At(chain);
        const TPoint k = ko != nullptr ? At(ko) : PassPoint;
        return ReadAttack(Context.Reader, p.X, p.Y, k.X, k.Y, b, NoDeadline);
    }
    TReadingAnswer Defend(const TBoard& b, const char* chain, const char* ko = nullptr) {
        const TPoint p = At(chain);
        const TPoint k = ko != nullptr ? At(ko) : PassPoint;
        return ReadDefend(Context.Reader, p.X, p.Y, k.X, k.Y, b, NoDeadline);
    }
};

TEST_F(ReadingTest, LadderInTheOpenIsCapturedUnlessWhiteRunsFirstOrTheStopComes) {
    const TBoard b = test::FromPoints(kOpenLadder);
    const TReadingAnswer attack = Attack(b, "K10");
    EXPECT_EQ(attack.Result, FightSuccess);
    EXPECT_TRUE(attack.Bounded);
    EXPECT_FALSE(attack.Ko);
    EXPECT_EQ(PointIndex(attack.Move.X, attack.Move.Y), Ladder(Context.Reader, 9, 9, b, -1, -1));
    // White to move runs out to three liberties first.
    const TReadingAnswer defend = Defend(b, "K10");
    EXPECT_EQ(defend.Result, FightSuccess);
    EXPECT_TRUE(defend.Move == At("L10") || defend.Move == At("K9"));
    // A stop request leaves the question open.
    Host.Locked = true;
    EXPECT_EQ(Attack(b, "K10").Result, FightUndecided);
    EXPECT_EQ(Defend(b, "K10").Result, FightUndecided);
    ExpectPoolBalanced();
}

TEST_F(ReadingTest, ChainInAtariIsSavedByExtending) {
    const TBoard b = test::FromPoints("X K10 O K11 J10 L10");
    const TReadingAnswer defend = Defend(b, "K10");
    EXPECT_EQ(defend.Result, FightSuccess);
    EXPECT_EQ(defend.Move, At("K9"));
    const TReadingAnswer attack = Attack(b, "K10");
    EXPECT_EQ(attack.Result, FightSuccess);
    EXPECT_EQ(attack.Move, At("K9"));
    ExpectPoolBalanced();
}

TEST_F(ReadingTest, DeadChainCannotBeSaved) {
    // The corner stone can only run along the edge, where a ladder catches it.
    const TBoard b = FromDiagram(R"(
        X..
        O..)");
    const TReadingAnswer defend = Defend(b, "A19");
    EXPECT_EQ(defend.Result, FightFailure);
    EXPECT_EQ(defend.Move, PassPoint);
    const TReadingAnswer attack = Attack(b, "A19");
    EXPECT_EQ(attack.Result, FightSuccess);
    EXPECT_EQ(attack.Move, At("B19"));
    ExpectPoolBalanced();
}

TEST_F(ReadingTest, KoResultsAreSuccessesMarkedAsKo) {
    // The white stone B18 sits in a ko mouth: Black takes it at C18, a ko that Black takes first
    // and White may take back; with C18 banned Black needs a ko threat first.
    const TBoard mouth = FromDiagram(R"(
        .XO.
        XO.O
        .XO.)");
    const TReadingAnswer free = Attack(mouth, "B18");
    EXPECT_EQ(free.Result, FightSuccess);
    EXPECT_EQ(free.Move, At("C18"));
    EXPECT_EQ(free.KoKind, TKoResult::KoA);
    const TReadingAnswer banned = Attack(mouth, "B18", "C18");
    EXPECT_EQ(banned.Result, FightSuccess);
    EXPECT_EQ(banned.Move, At("C18"));
    EXPECT_TRUE(banned.Ko);
    EXPECT_EQ(banned.KoKind, TKoResult::KoB);

    // The black group in atari lives only by taking D19, which White may take back.
    const TBoard oneEye = FromDiagram(R"(
        X.XO.O
        XXXXOO
        OOOOO.)");
    const TReadingAnswer defend = Defend(oneEye, "A18");
    EXPECT_EQ(defend.Result, FightSuccess);
    EXPECT_EQ(defend.Move, At("E19"));
    EXPECT_TRUE(defend.Ko);
    const TReadingAnswer attack = Attack(oneEye, "A18");
    EXPECT_EQ(attack.Result, FightSuccess);
    EXPECT_EQ(attack.Move, At("B19"));
    ExpectPoolBalanced();
}

}  // namespace
}  // namespace obrin
