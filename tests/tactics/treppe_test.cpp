#include "tactics/treppe.h"

#include <gtest/gtest.h>

#include <climits>
#include <initializer_list>

#include "tactics/tactics_fixture.h"

namespace obrin {
namespace {

using test::At;
using test::FromDiagram;
using test::IndexOf;

void Put(TBoard& b, int colour, std::initializer_list<const char*> points) {
    for (const char* p : points) b[IndexOf(p)] = colour;
}

// A lone white stone at K10 with two liberties: laddered towards A1 by L10 and towards T19 by K9.
TBoard CentreLadder() {
    TBoard b{};
    Put(b, 1, {"K11", "J10", "L9"});
    Put(b, -1, {"K10"});
    return b;
}

// The same stone caught at the edge: only the corner is left to run to.
const char* const kCornerStone = R"(
    ...
    .OX
    .X.)";  // rows 19..17; the white stone is B18

class TreppeTest : public test::TacticsTest {};

TEST_F(TreppeTest, LadderNeedsExactlyTwoLiberties) {
    TBoard b{};
    Put(b, -1, {"K10"});
    EXPECT_EQ(Ladder(Context.Reader, 9, 9, b, -1, -1), -1);  // four liberties
    Put(b, 1, {"K11"});
    EXPECT_EQ(Ladder(Context.Reader, 9, 9, b, -1, -1), -1);  // three
    Put(b, 1, {"J10", "L10"});
    EXPECT_EQ(Ladder(Context.Reader, 9, 9, b, -1, -1), -1);  // one: atari, no ladder question
    EXPECT_EQ(Ladder(Context.Reader, 0, 0, b, -1, -1), -1);  // an empty point
    ExpectPoolBalanced();
}

TEST_F(TreppeTest, LadderWorksUntilBothDirectionsAreBroken) {
    TBoard b = CentreLadder();
    EXPECT_EQ(Ladder(Context.Reader, 9, 9, b, -1, -1), IndexOf("L10"));
    EXPECT_EQ(Context.Reader.Treppe.Frames(), 0);
    Put(b, -1, {"D4"});  // breaks the ladder towards A1; the one towards T19 still works
    EXPECT_EQ(Ladder(Context.Reader, 9, 9, b, -1, -1), IndexOf("K9"));
    Put(b, -1, {"P15"});
    EXPECT_EQ(Ladder(Context.Reader, 9, 9, b, -1, -1), -1);
    // A breaker of the attacker's colour helps the attacker instead.
    TBoard attackerStones = CentreLadder();
    Put(attackerStones, 1, {"D4", "P15"});
    EXPECT_GE(Ladder(Context.Reader, 9, 9, attackerStones, -1, -1), 0);
    EXPECT_EQ(Context.Reader.Treppe.Frames(), 0);
    ExpectPoolBalanced();
}

TEST_F(TreppeTest, LadderEndsAtTheEdge) {
    const TBoard b = FromDiagram(kCornerStone);
    TPointList moves;
    // Liberties in list order are B19 then A18; both ataris drive the stone into the corner.
    EXPECT_EQ(Ladder(Context.Reader, 1, 17, b, -1, -1), IndexOf("B19"));
    ASSERT_EQ(LadderMoves(Context.Reader, 1, 17, b, -1, -1, moves), 2);
    EXPECT_EQ(moves[0], At("B19"));
    EXPECT_EQ(moves[1], At("A18"));
}

TEST_F(TreppeTest, DepthLimitEndsTheSearchWithTheStatedOutcomes) {
    TBoard b = CentreLadder();
    Put(b, -1, {"D4", "P15"});  // the ladder fails when read to the end
    Context.Reader.Treppe.PresetFramesForTest(TTreppe::MaxFrames + 1);
    EXPECT_EQ(Ladder(Context.Reader, 9, 9, b, -1, -1), -1);  // too deep to start: no ladder
    Context.Reader.Treppe.PresetFramesForTest(TTreppe::MaxFrames - 1);
    // Inside the search the limit means captured: the later attack overwrites the first.
    EXPECT_EQ(Ladder(Context.Reader, 9, 9, b, -1, -1), IndexOf("K9"));
    EXPECT_EQ(Context.Reader.Treppe.Frames(), TTreppe::MaxFrames - 1);
}

TEST_F(TreppeTest, RescueCandidatesCaptureFirstThenExtendAndRespectKo) {
    // White B18 in atari (liberty A18); the black stone C18 is in atari too (liberty C19).
    const TBoard b = FromDiagram(R"(
        .X..
        .OXO
        .XO.
        ....)");
    TPointList moves;
    RescueCandidates(b, 1, 17, -1, -1, moves);
    ASSERT_EQ(moves.Count, 2);
    EXPECT_EQ(moves[0], At("C19"));            // capturing C18
    EXPECT_EQ(moves[1], At("A18"));            // extending
    RescueCandidates(b, 1, 17, 2, 18, moves);  // C19 is the ko point: the capture is illegal
    ASSERT_EQ(moves.Count, 1);
    EXPECT_EQ(moves[0], At("A18"));
    RescueCandidates(b, 2, 16, -1, -1, moves);  // C17 has two liberties: nothing to rescue
    EXPECT_EQ(moves.Count, 0);
}

TEST_F(TreppeTest, IsPlayableRejectsSelfAtariAndLaddersButAllowsTakingAKo) {
    TBoard b = FromDiagram(R"(
        .X.O.
        X.XO.
        .X...)");
    // White at B18 would have no liberty at all (illegal), at A19 one (self-atari).
    EXPECT_FALSE(IsPlayable(Context.Reader, 1, 17, -1, -1, -1, b));
    EXPECT_FALSE(IsPlayable(Context.Reader, 0, 18, -1, -1, -1, b));
    EXPECT_TRUE(IsPlayable(Context.Reader, 9, 9, -1, -1, -1, b));  // open centre
    // The white stone of the centre ladder, played into the ladder, is caught.
    TBoard ladder = CentreLadder();
    ladder[IndexOf("K10")] = 0;
    EXPECT_FALSE(IsPlayable(Context.Reader, 9, 9, -1, -1, -1, ladder));
    Put(ladder, -1, {"D4", "P15"});
    EXPECT_TRUE(IsPlayable(Context.Reader, 9, 9, -1, -1, -1, ladder));
    // Black C18 takes B18 and keeps one liberty: a ko capture, so playable; after the capture
    // White may not retake at once.
    const TBoard ko = FromDiagram(".XO.\nXO.O\n.XO.");
    EXPECT_TRUE(IsPlayable(Context.Reader, 2, 17, 1, -1, -1, ko));
    EXPECT_FALSE(IsPlayableAfter(Context.Reader, 2, 17, 1, 1, 17, -1, -1, -1, ko));
    ExpectPoolBalanced();
}

TEST_F(TreppeTest, CutAnalysisMarksFailingCutsForBothColours) {
    // X at B19 and C18 touch diagonally with O on C19: B18 is a cut point of X. A white stone
    // there would have no liberty, so the cut fails.
    TBoard b = FromDiagram(R"(
        .XO.
        X.X.
        .X..)");
    Context.Fields.Spielfeld = b;
    CutAnalysis(Context.Reader);
    EXPECT_EQ(Context.Fields.SVerbunden[IndexOf("B18")], 1);
    int marked = 0;
    for (int v : Context.Fields.SVerbunden) marked += v;
    EXPECT_EQ(marked, 1);
    for (int v : Context.Fields.WVerbunden) EXPECT_EQ(v, 0);
    // The same with the colours exchanged lands in WVerbunden.
    NegateBoard(b);
    Context.Fields = TBoardFields{};
    Context.Fields.Spielfeld = b;
    CutAnalysis(Context.Reader);
    EXPECT_EQ(Context.Fields.WVerbunden[IndexOf("B18")], 1);
    for (int v : Context.Fields.SVerbunden) EXPECT_EQ(v, 0);
    ExpectPoolBalanced();
}

TEST_F(TreppeTest, LibertyGainMovesAndResponseLiberties) {
    TBoard b{};
    Put(b, 1, {"K10"});
    EXPECT_EQ(ResponseLiberties(9, 9, -1, -1, b), 5);  // attacked to three, extends to five
    Put(b, -1, {"K11"});
    TPointList moves;
    LibertyGainMoves(b, 9, 9, -1, -1, moves);
    EXPECT_EQ(moves.Count, 3);  // three liberties now; each extension reaches at least four
    Put(b, -1, {"K11", "J10", "L10"});
    EXPECT_EQ(ResponseLiberties(9, 9, -1, -1, b), 0);  // in atari: the attack captures
}

}  // namespace
}  // namespace obrin
