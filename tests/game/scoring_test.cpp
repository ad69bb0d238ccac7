#include "game/scoring.h"

#include <gtest/gtest.h>

#include <cmath>

#include "board/playouts.h"
#include "game/endcount.h"
#include "game/engine.h"
#include "tools/klassidata.h"
#include "support/diagram.h"
#include "support/finished_positions.h"

namespace obrin {
namespace {

using test::DeadBlock;
using test::IndexOf;
using test::Seki;
using test::TwoEyes;

class Scoring : public ::testing::Test {
  protected:
    IHost host;
    TEngine engine{host};
    void SetUp() override { engine.Clock.SetDeterministic(true); }
    void ExpectTheCountToRepeatOnItsOwnResult(const std::vector<TTeacherGame>& games);
};

// The balance as the score window and GTP show it; a hundredth either way is a draw.
TEST_F(Scoring, TheBalanceReadsAsADrawOrALeadAndStrayPercentSignsAreSafe) {
    const struct {
        double Balance;
        const char* Line;
        const char* Gtp;
    } cases[] = {
        {0.01, "Unentschieden", "0"},
        {-0.01, "Unentschieden", "0"},
        {-5.5, "Mensch führt mit 5.5 Punkt(en)", "W+5.5"},
        {3.0, "Obrin führt mit 3.0 Punkt(en)", "B+3"},
        {12.5, "Obrin führt mit 12.5 Punkt(en)", "B+12.5"},
    };
    for (const auto& c : cases) {
        const TScoreLine line = ScoreLine(c.Balance);
        EXPECT_EQ(FormatScoreLine(line.Template, line.Points), c.Line) << c.Balance;
        EXPECT_EQ(GtpScoreText(c.Balance), c.Gtp) << c.Balance;
    }
    EXPECT_FALSE(IsDraw(0.0101));
    // A translation with stray percent signs is filled safely.
    EXPECT_EQ(FormatScoreLine("%s leads %n by %3.1f points (100%)", 7.5),
              "%s leads %n by 7.5 points (100%)");
    EXPECT_EQ(FormatScoreLine("no number", 3.0), "no number");
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

// Correcting the count: one click takes the stones of a colour that the opponent's wall keeps
// together, and the count follows; a second click gives them back.
TEST_F(Scoring, AClickMarksTheStonesInsideAWallDeadAndAlive) {
    const TBoard board = test::FromDiagram(
        "X . X O .\n"
        ". X . O .\n"
        "O O O O .\n"
        ". . . . X");
    const int corner = PointIndex(0, 18);
    std::vector<int> together = StonesMarkedTogether(board, corner);
    EXPECT_EQ(together,
              (std::vector<int>{PointIndex(1, 17), PointIndex(0, 18), PointIndex(2, 18)}));
    EXPECT_TRUE(StonesMarkedTogether(board, PointIndex(1, 18)).empty());  // an empty point

    TBoard living{};
    for (int i = 0; i < PointCount; ++i) living[i] = board[i];
    TBoard territory{};
    const TScore before = CountWithLiving(board, living, 0, 0, territory);
    EXPECT_EQ(before.DeadPlus, 0);
    ToggleLife(board, living, corner);
    const TScore dead = CountWithLiving(board, living, 0, 0, territory);
    EXPECT_EQ(dead.DeadPlus, 3);
    EXPECT_EQ(living[PointIndex(4, 15)], 1);  // the stone outside the wall stays
    EXPECT_LT(territory[corner], 0);          // the corner is White's now
    EXPECT_LT(dead.Balance(), before.Balance() - 6);
    ToggleLife(board, living, PointIndex(2, 18));
    EXPECT_EQ(CountWithLiving(board, living, 0, 0, territory).Balance(), before.Balance());
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

// Taking off exactly the stones the count lists dead, as prisoners, and counting again gives the
// same score and no new dead stone; every stone is either dead or among the living; the position
// is left as it was. (One analysis used to leave stones that the cleaned position showed dead.)
// Both counts, the end count and the classic one.
TEST_F(Scoring, TakingOffTheStonesCountedDeadChangesNothing) {
    const auto games =
        ReadTeacherGames(std::string(OBRIN_TEST_SOURCE_DIR) + "/../training/games-final.txt");
    for (const bool classic : {false, true}) {
        engine.Settings.KlassischeEngine = classic;
        SCOPED_TRACE(classic ? "classic count" : "end count");
        ExpectTheCountToRepeatOnItsOwnResult(games);
    }
}

void Scoring::ExpectTheCountToRepeatOnItsOwnResult(const std::vector<TTeacherGame>& games) {
    int severalRounds = 0;
    for (size_t g = 0; g < games.size() && g < 8; ++g) {
        const TBoard position = PositionAfter(games[g], static_cast<int>(games[g].Moves.size()));
        engine.Fields.Spielfeld = position;
        engine.Game.GefangeneSchwarz = 3.0;
        engine.Game.GefangeneWeiss = 6.5;
        const TFinalCount first = CountFinalPosition(engine);
        ASSERT_EQ(engine.Fields.Spielfeld, position) << "game " << g;
        if (first.Rounds > 1) ++severalRounds;
        TBoard cleaned = position;
        int deadPlus = 0, deadMinus = 0;
        for (int p = 0; p < PointCount; ++p) {
            ASSERT_TRUE(first.Dead[p] == 0 || first.Dead[p] == position[p]) << p;
            ASSERT_TRUE(first.Living[p] == 0 || first.Living[p] == position[p]) << p;
            EXPECT_EQ(position[p] != 0, (first.Dead[p] != 0) != (first.Living[p] != 0))
                << "game " << g << ": point " << p << " is neither dead nor alive, or both";
            if (first.Dead[p] == 0) continue;
            (first.Dead[p] > 0 ? deadPlus : deadMinus) += 1;
            cleaned[p] = 0;
        }
        EXPECT_EQ(first.Score.DeadPlus, deadPlus);
        EXPECT_EQ(first.Score.DeadMinus, deadMinus);
        engine.Fields.Spielfeld = cleaned;
        engine.Game.GefangeneSchwarz += deadMinus;
        engine.Game.GefangeneWeiss += deadPlus;
        const TFinalCount again = CountFinalPosition(engine);
        EXPECT_NEAR(again.Score.Balance(), first.Score.Balance(), 0.01) << "game " << g;
        EXPECT_EQ(again.Dead, TBoard{}) << "game " << g;
        EXPECT_EQ(again.Rounds, 1) << "game " << g;
    }
    EXPECT_GT(severalRounds, 0) << "no position needed a second analysis: the set tests little";
}

// A large group without eye space inside the opponent's area: the classic count lets it live,
// the end count takes it off, one click's worth of stones, and finds nothing more once it is off.
TEST_F(Scoring, TheEndCountTakesOffALargeDeadGroup) {
    engine.Fields.Spielfeld = test::DeadBlock;
    const TFinalCount count = CountFinalPosition(engine);
    EXPECT_EQ(count.Score.DeadPlus, 10);
    EXPECT_EQ(count.Score.DeadMinus, 0);
    ASSERT_EQ(count.DeadGroups.size(), 1u);
    EXPECT_EQ(count.DeadGroups[0], StonesMarkedTogether(test::DeadBlock, PointIndex(12, 6)));
    EXPECT_EQ(count.Rounds, 2);
    EXPECT_EQ(engine.Fields.Spielfeld, test::DeadBlock);
    EXPECT_LT(count.Territory[PointIndex(12, 6)], 0) << "the block's points are White's";

    engine.Settings.KlassischeEngine = true;
    EXPECT_EQ(CountFinalPosition(engine).Dead[PointIndex(12, 6)], 0);
}

// The stones of a seki live and stay on the board; the liberty they share is nobody's, in the
// count and after a click in the score window.
TEST_F(Scoring, ASekiLivesAndItsSharedLibertyCountsForNobody) {
    engine.Fields.Spielfeld = test::Seki;
    const TFinalCount count = CountFinalPosition(engine);
    const int shared = PointIndex(2, 18);  // C19
    EXPECT_EQ(count.Dead, TBoard{});
    EXPECT_EQ(count.Living, test::Seki);
    EXPECT_EQ(count.Neutral[shared], 1);
    EXPECT_EQ(count.Territory[shared], 0);
    EXPECT_EQ(count.SekiGroups.size(), 2u);
    for (const auto& line : count.AliveGroups)
        for (const int p : line) EXPECT_EQ(count.Seki[p], 0) << "a seki stone listed alive";

    TBoard territory{};
    const TScore plain = CountWithLiving(test::Seki, count.Living, 0, 0, territory);
    EXPECT_NE(territory[shared], 0) << "without the seki the point would be somebody's";
    EXPECT_EQ(plain.TerrPlus + plain.TerrMinus, count.Score.TerrPlus + count.Score.TerrMinus + 1);
    const TScore again =
        CountWithLiving(test::Seki, count.Living, 0, 0, territory, count.Neutral);
    EXPECT_EQ(again.Balance(), count.Score.Balance());

    // Once the black seki stones are marked dead, the point is White's again.
    TBoard living = count.Living;
    ToggleLife(test::Seki, living, PointIndex(3, 18));
    (void)CountWithLiving(test::Seki, living, 0, 0, territory, count.Neutral);
    EXPECT_LT(territory[shared], 0);

    engine.Settings.KlassischeEngine = true;
    const TFinalCount classic = CountFinalPosition(engine);
    EXPECT_EQ(classic.Seki, TBoard{});
    EXPECT_TRUE(classic.SekiGroups.empty());
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
    EXPECT_EQ(passAlive[IndexOf("C10")], 1);
    EXPECT_EQ(passAlive[IndexOf("G12")], 1);
    EXPECT_EQ(passAlive[IndexOf("B18")], 0) << "one eye is not enough";
    EXPECT_EQ(passAlive[IndexOf("J4")], 0) << "a wall around open territory is not pass-alive";
}

TEST(EndCount, TheStonesOfASekiAndTheirSharedLibertyAreFound) {
    const TEndVerdict v = JudgeFinalPosition(Seki);
    EXPECT_EQ(v.Dead, TBoard{});
    TBoard expected{};
    for (const char* p : {"B19", "A18", "B18", "C18"}) expected[IndexOf(p)] = -1;
    for (const char* p : {"D19", "D18", "E18", "F18", "F19"}) expected[IndexOf(p)] = 1;
    EXPECT_EQ(v.Seki, expected) << test::ToDiagram(v.Seki);
    TBoard shared{};
    shared[IndexOf("C19")] = 1;
    EXPECT_EQ(v.Neutral, shared);
    EXPECT_EQ(JudgeFinalPosition(DeadBlock).Seki, expected);

    // Black fills its own eye: its stones are left in atari, White takes them, no seki is left.
    TBoard filled = Seki;
    filled[IndexOf("E19")] = 1;
    const TEndVerdict f = JudgeFinalPosition(filled);
    EXPECT_EQ(f.Seki, TBoard{});
    EXPECT_EQ(f.Neutral, TBoard{});
    EXPECT_EQ(f.Dead[IndexOf("E19")], 1);
    EXPECT_EQ(f.Dead[IndexOf("D18")], 1);
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
    EXPECT_FALSE(b.IsLegal(1, IndexOf("T1"))) << "suicide";
    EXPECT_TRUE(b.Play(1, IndexOf("A18")));  // takes A19
    EXPECT_EQ(b.Position(), test::FromPoints("O T2 S1 X B19 A18"));
    EXPECT_FALSE(b.IsLegal(-1, IndexOf("A19")));
    EXPECT_FALSE(b.Play(-1, IndexOf("A19")));

    TPlayoutBoard ko(
        test::FromDiagram(". X O .\n"
                          "X O . O\n"
                          ". X O ."));
    ASSERT_TRUE(ko.Play(1, IndexOf("C18")));  // takes B18
    EXPECT_EQ(ko.Position()[IndexOf("B18")], 0);
    EXPECT_FALSE(ko.IsLegal(-1, IndexOf("B18"))) << "the ko may not be taken back at once";
    ASSERT_TRUE(ko.Play(-1, IndexOf("K10")));
    ASSERT_TRUE(ko.Play(1, IndexOf("K12")));
    EXPECT_TRUE(ko.IsLegal(-1, IndexOf("B18")));

    // Black everywhere but two eyes: neither side has a move a playout makes.
    TBoard full{};
    full.fill(1);
    full[IndexOf("D4")] = full[IndexOf("Q16")] = 0;
    TPlayoutBoard eyes(full);
    EXPECT_FALSE(eyes.PlayRandom(1, 12345));
    EXPECT_FALSE(eyes.PlayRandom(-1, 12345));
    EXPECT_EQ(eyes.Position(), full);
}

}  // namespace
}  // namespace obrin
