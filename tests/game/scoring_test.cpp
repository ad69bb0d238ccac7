#include "game/scoring.h"

#include <gtest/gtest.h>

#include <cmath>

#include "game/engine.h"
#include "support/diagram.h"

namespace obrin {
namespace {

class Scoring : public ::testing::Test {
  protected:
    IHost host;
    TEngine engine{host};
    void SetUp() override { engine.SetDeterministicClock(true); }
};

TEST_F(Scoring, EmptyBoardWithoutKomiIsADraw) {
    const TScore s = ScorePosition(engine);
    EXPECT_EQ(s.TerrPlus + s.TerrMinus + s.DeadPlus + s.DeadMinus, 0);
    EXPECT_EQ(ScoreLine(s.Balance()).Template, "Unentschieden");
    EXPECT_EQ(GtpScoreText(s.Balance()), "0");
}

TEST_F(Scoring, StandardKomiOnAnEmptyBoardLetsTheHumanLeadByFiveAndAHalf) {
    engine.Game.GefangeneWeiss = 5.5;
    const TScore s = ScorePosition(engine);
    EXPECT_DOUBLE_EQ(s.Balance(), -5.5);
    EXPECT_DOUBLE_EQ(s.PrisonersMinus(), 5.5);
    const TScoreLine line = ScoreLine(s.Balance());
    EXPECT_EQ(FormatScoreLine(line.Template, line.Points), "Mensch führt mit 5.5 Punkt(en)");
    EXPECT_EQ(GtpScoreText(s.Balance()), "W+5.5");
}

TEST_F(Scoring, ADeadStoneIsAPrisonerAndItsPointTerritory) {
    // A lone +1 stone in -1's corner, judged dead (the living-stones map leaves it out), the
    // corner's points under -1's influence.
    const TBoard board = test::FromDiagram(
        "X . O\n"
        ". . O\n"
        "O O O");
    TBoard living{}, territory{};
    for (int i = 0; i < PointCount; ++i) living[i] = board[i] < 0 ? -1 : 0;
    for (const int i : {PointIndex(0, 18), PointIndex(1, 18), PointIndex(0, 17), PointIndex(1, 17)})
        territory[i] = -30;
    const TScore s = CountScore(board, living, territory, 2.0, 6.5);
    EXPECT_EQ(s.DeadPlus, 1);
    EXPECT_EQ(s.DeadMinus, 0);
    EXPECT_EQ(s.TerrMinus, 4) << "the dead stone's point counts as territory too";
    EXPECT_EQ(s.TerrPlus, 0);
    EXPECT_DOUBLE_EQ(s.PrisonersMinus(), 1 + 6.5);
    EXPECT_DOUBLE_EQ(s.PrisonersPlus(), 2.0);
    EXPECT_DOUBLE_EQ(s.Balance(), 2.0 - 6.5 - 4 - 1);
}

TEST_F(Scoring, AHundredthEitherWayIsADraw) {
    EXPECT_TRUE(IsDraw(0.01));
    EXPECT_TRUE(IsDraw(-0.01));
    EXPECT_FALSE(IsDraw(0.0101));
    EXPECT_EQ(ScoreLine(0.01).Template, "Unentschieden");
    EXPECT_EQ(ScoreLine(0.5).Template, "Obrin führt mit %3.1f Punkt(en)");
    engine.Game.GefangeneWeiss = 0.01;
    EXPECT_EQ(GtpScoreText(ScorePosition(engine).Balance()), "0");
}

TEST_F(Scoring, GtpTextsOfWholeAndHalfPoints) {
    EXPECT_EQ(GtpScoreText(3.0), "B+3");
    EXPECT_EQ(GtpScoreText(-0.5), "W+0.5");
    EXPECT_EQ(GtpScoreText(12.5), "B+12.5");
}

TEST_F(Scoring, ATranslationWithStrayPercentSignsIsFilledSafely) {
    EXPECT_EQ(FormatScoreLine("%s leads %n by %3.1f points (100%)", 7.5),
              "%s leads %n by 7.5 points (100%)");
    EXPECT_EQ(FormatScoreLine("no number", 3.0), "no number");
}

TEST_F(Scoring, AnyPositionGivesAResult) {
    // One colour everywhere but two eyes, the other colour everywhere, a dense random mix.
    TBoard full{};
    full.fill(1);
    full[PointIndex(3, 3)] = full[PointIndex(15, 15)] = 0;
    TBoard mix{};
    for (int i = 0; i < PointCount; ++i)
        mix[i] = (i * 7 % 5) == 0 ? 0 : ((i * 13) % 3 == 0 ? -1 : 1);
    for (const TBoard& b : {full, TBoard{}, mix}) {
        engine.Fields.Spielfeld = b;
        TScore s;
        ASSERT_NO_THROW(s = ScorePosition(engine));
        EXPECT_TRUE(std::isfinite(s.Balance()));
        EXPECT_LE(s.TerrPlus + s.TerrMinus, PointCount);
    }
}

}  // namespace
}  // namespace obrin
