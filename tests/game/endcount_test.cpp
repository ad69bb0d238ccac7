#include "game/endcount.h"

#include <gtest/gtest.h>

#include "game/engine.h"
#include "board/playouts.h"
#include "game/scoring.h"
#include "support/diagram.h"
#include "support/finished_positions.h"

namespace obrin {
namespace {

using test::DeadBlock;
using test::Seki;
using test::TwoEyes;

int At(const char* vertex) {
    return PointIndex(ColumnOfText(vertex), RowOfText(vertex));
}

TEST(EndCount, ALargeGroupWithoutEyeSpaceInsideTheOpponentsAreaIsDead) {
    const TBoard dead = DeadStones(DeadBlock);
    for (int p = 0; p < PointCount; ++p) {
        const bool inBlock = DeadBlock[p] > 0 && PointColumn(p) >= 11;
        EXPECT_EQ(dead[p] != 0, inBlock) << PointText(PointColumn(p), PointRow(p));
    }
}

TEST(EndCount, AGroupWithTwoEyesInsideTheOpponentsAreaLives) {
    EXPECT_EQ(DeadStones(TwoEyes), TBoard{});
    const TBoard passAlive = PassAliveStones(TwoEyes);
    EXPECT_EQ(passAlive[At("C10")], 1);
    EXPECT_EQ(passAlive[At("G12")], 1);
    EXPECT_EQ(passAlive[At("B18")], 0) << "one eye is not enough";
    EXPECT_EQ(passAlive[At("J4")], 0) << "a wall around open territory is not pass-alive";
}

TEST(EndCount, TheStonesOfASekiAndTheirSharedLibertyAreFound) {
    const TEndVerdict v = JudgeFinalPosition(Seki);
    EXPECT_EQ(v.Dead, TBoard{});
    TBoard expected{};
    for (const char* p : {"B19", "A18", "B18", "C18"}) expected[At(p)] = -1;
    for (const char* p : {"D19", "D18", "E18", "F18", "F19"}) expected[At(p)] = 1;
    EXPECT_EQ(v.Seki, expected) << test::ToDiagram(v.Seki);
    TBoard shared{};
    shared[At("C19")] = 1;
    EXPECT_EQ(v.Neutral, shared);
    EXPECT_EQ(JudgeFinalPosition(DeadBlock).Seki, expected);

    // Black fills its own eye: its stones are left in atari, White takes them, no seki is left.
    TBoard filled = Seki;
    filled[At("E19")] = 1;
    const TEndVerdict f = JudgeFinalPosition(filled);
    EXPECT_EQ(f.Seki, TBoard{});
    EXPECT_EQ(f.Neutral, TBoard{});
    EXPECT_EQ(f.Dead[At("E19")], 1);
    EXPECT_EQ(f.Dead[At("D18")], 1);
}

// The verdicts depend on the position alone: the playouts are seeded and counted.
TEST(EndCount, TheVerdictRepeats) {
    const TOwnership a = PlayOut(DeadBlock, 50, 7), b = PlayOut(DeadBlock, 50, 7);
    EXPECT_EQ(a.Owner, b.Owner);
    EXPECT_EQ(a.Shared, b.Shared);
    EXPECT_NE(PlayOut(DeadBlock, 50, 8).Owner, a.Owner);
}

// The rules of the playout board: captures, no suicide, the ko, and no own eye filled.
TEST(PlayoutBoard, PlaysByTheRules) {
    TPlayoutBoard b(test::FromPoints("O A19 T2 S1 X B19"));
    EXPECT_FALSE(b.IsLegal(1, At("T1"))) << "suicide";
    EXPECT_TRUE(b.Play(1, At("A18")));  // takes A19
    EXPECT_EQ(b.Position(), test::FromPoints("O T2 S1 X B19 A18"));
    EXPECT_FALSE(b.IsLegal(-1, At("A19")));
    EXPECT_FALSE(b.Play(-1, At("A19")));

    TPlayoutBoard ko(
        test::FromDiagram(". X O .\n"
                          "X O . O\n"
                          ". X O ."));
    ASSERT_TRUE(ko.Play(1, At("C18")));  // takes B18
    EXPECT_EQ(ko.Position()[At("B18")], 0);
    EXPECT_FALSE(ko.IsLegal(-1, At("B18"))) << "the ko may not be taken back at once";
    ASSERT_TRUE(ko.Play(-1, At("K10")));
    ASSERT_TRUE(ko.Play(1, At("K12")));
    EXPECT_TRUE(ko.IsLegal(-1, At("B18")));

    // Black everywhere but two eyes: neither side has a move a playout makes.
    TBoard full{};
    full.fill(1);
    full[At("D4")] = full[At("Q16")] = 0;
    TPlayoutBoard eyes(full);
    EXPECT_FALSE(eyes.PlayRandom(1, 12345));
    EXPECT_FALSE(eyes.PlayRandom(-1, 12345));
    EXPECT_EQ(eyes.Position(), full);
}

}  // namespace
}  // namespace obrin
