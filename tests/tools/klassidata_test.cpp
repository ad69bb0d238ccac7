#include "tools/klassidata.h"

#include <gtest/gtest.h>

#include "analysis/feedfwd3.h"
#include "tools/klassitrain.h"
#include "analysis/testdata.h"
#include "support/error_text.h"

namespace obrin {
namespace {

// Black builds a living corner with an eye at A1; White's lone stone at K10 is dead; Black's
// next move answers White's last move nearby.
const char* Game =
    "game 4 level 1 seed 1004\n"
    "moves B:B1 W:K10 B:A2 W:pass B:C2 W:Q16 B:C1 W:C3 B:D4\n"
    "position 8\n"
    "dead K10\n"
    "seki\n"
    "dragon B1 A2 C2 C1\n"
    "dragon K10\n"
    "dragon Q16\n"
    "dragon C3\n"
    "end\n"
    "final 9\n"
    "dead K10 C3\n"
    "seki\n"
    "end\n"
    "endgame\n";

TEST(TeacherGames, ParseAndLabel) {
    const auto games = ParseTeacherGames(Game, "t.txt");
    ASSERT_EQ(games.size(), 1u);
    const TTeacherGame& g = games[0];
    EXPECT_EQ(g.Id, 4);
    EXPECT_TRUE(IsHeldOut(g, 5));
    ASSERT_EQ(g.Moves.size(), 9u);
    EXPECT_EQ(g.Moves[3].Point, PassPoint);
    const auto labels = LabelPosition(g, g.Verdicts[0]);
    auto at = [&](int x, int y) { return labels[PointIndex(x, y)]; };
    EXPECT_EQ(at(0, 0)[13], 1.0) << "A1 is a black eye";
    EXPECT_EQ(at(0, 0)[14], 0.0);
    EXPECT_EQ(at(1, 0)[11], 1.0) << "B1 is a sure black stone";
    EXPECT_EQ(at(9, 9)[12], 0.0) << "K10 is dead";
    EXPECT_EQ(at(9, 9)[0], 1.0);
    EXPECT_EQ(at(9, 9)[1], 0.0);
    EXPECT_EQ(at(15, 15)[12], 1.0);
    EXPECT_EQ(at(5, 5)[1], 0.5);
    EXPECT_EQ(at(1, 0)[15], 1.0) << "B1 and A2 are two chains of one dragon";
    EXPECT_EQ(at(15, 15)[16], 0.0) << "a lone stone shares no fate";
    EXPECT_EQ(at(3, 3)[9], 1.0) << "D4 answers C3";
    EXPECT_EQ(at(3, 3)[10], 0.0);
    EXPECT_EQ(at(15, 15)[8], 0.0);
    EXPECT_EQ(at(13, 15)[8], 1.0) << "O16 makes a shimari with the lone Q16";
    EXPECT_EQ(at(15, 2)[6], 1.0) << "Q3 is in an empty corner";
    EXPECT_EQ(at(2, 2)[6], 0.0);
    // At the end K10 and C3 are removed: the whole board touches only black stones... and Q16.
    const TBoard area = FinalArea(g);
    EXPECT_EQ(area[PointIndex(9, 9)], 0);
    EXPECT_EQ(area[PointIndex(0, 0)], 1);
    EXPECT_EQ(at(0, 0)[17], 1.0);
}

TEST(TeacherGames, SamplesCoverEveryPointOfEveryVerdict) {
    const auto games = ParseTeacherGames(Game, "t.txt");
    TTestData samples;
    samples.SetInputCount(KlassiInputs);
    samples.SetOutputCount(KlassiNetSize);
    AddGameSamples(games, samples);
    EXPECT_EQ(samples.GetSampleCount(), 2 * PointCount);
    samples.GetSample(0);  // A1 of the first position
    EXPECT_EQ(samples.GetOutput(13), 1.0);
    EXPECT_EQ(samples.GetOutput(20), 0.5);
    TTestData few = SelectSamples(samples, 40, 3);
    EXPECT_EQ(few.GetSampleCount(), 40);
}

TEST(TeacherGames, WithDragonVerdictsSureStonesAreThoseThatSurvive) {
    // White's A1 is captured later; K10 lives on; the final verdict calls Q16 dead.
    const auto games = ParseTeacherGames(
        "game 7\n"
        "moves B:B1 W:A1 B:K10 W:Q16 B:A2\n"
        "position 2\ndead A1\ncritical\nend\n"
        "final 5\ndead Q16\nseki\nend\nendgame\n",
        "t.txt");
    const TBoard survivors = Survivors(games[0], 2);
    EXPECT_EQ(survivors[PointIndex(1, 0)], 1);
    EXPECT_EQ(survivors[PointIndex(0, 0)], 0);
    const TBoard later = Survivors(games[0], 4);
    EXPECT_EQ(later[PointIndex(9, 9)], 1);
    EXPECT_EQ(later[PointIndex(15, 15)], 0) << "dead at the end";
}

// After move 4: dragon_status calls K10 dead though it lives on to the end, and Q16 critical;
// White's A1 is captured later though dragon_status called it alive.
const char* DragonGame =
    "game 9\n"
    "moves B:B1 W:A1 B:K10 W:Q16 B:A2 W:R3\n"
    "position 4\ndead K10\ncritical Q16\nend\n"
    "final 6\ndead\nseki\nend\nendgame\n";

TEST(TeacherGames, SureStoneLabelsFromDragonStatusOrFromSurvival) {
    const auto games = ParseTeacherGames(DragonGame, "t.txt");
    const TTeacherVerdict& v = games[0].Verdicts[0];
    const auto survival = LabelPosition(games[0], v);
    const auto status = LabelPosition(games[0], v, TSureLabels::DragonStatus);
    const int k10 = PointIndex(9, 9), a1 = PointIndex(0, 0), q16 = PointIndex(15, 15);
    EXPECT_EQ(survival[k10][11], 1.0) << "K10 survives";
    EXPECT_EQ(status[k10][11], 0.0) << "dragon_status calls K10 dead";
    EXPECT_EQ(survival[a1][12], 0.0) << "A1 is captured";
    EXPECT_EQ(status[a1][12], 1.0) << "dragon_status calls A1 alive";
    EXPECT_EQ(survival[q16][12], 1.0);
    EXPECT_EQ(status[q16][12], 0.5) << "a critical stone is neither sure nor lost";
    const auto final = LabelPosition(games[0], games[0].Verdicts[1], TSureLabels::DragonStatus);
    EXPECT_EQ(final[k10][11], 1.0) << "final_status_list verdicts keep their own labels";
}

TEST(TeacherGames, SureStoneCheckAgainstDragonStatusLeavesOutCriticalAndFinal) {
    const auto games = ParseTeacherGames(DragonGame, "t.txt");
    TFeedFwd3 net(KlassiNetSize, KlassiNetSize, KlassiNetSize, 0.2, [] { return 0.0; });
    const TSureStoneCheck all = CheckSureStones(games, net);
    EXPECT_EQ(all.Alive + all.Dead, 4 + 5) << "four stones after move 4, five at the end";
    const TSureStoneCheck dragons = CheckSureStones(games, net, TSureVerdicts::DragonStatus);
    EXPECT_EQ(dragons.Dead, 1) << "K10";
    EXPECT_EQ(dragons.Alive, 2) << "B1 and A1; Q16 is critical";
}

TEST(TeacherGames, BadFilesNameTheLine) {
    auto fails = [](const std::string& text, const std::string& expected) {
        const std::string error = test::ErrorOf([&] { (void)ParseTeacherGames(text, "t.txt"); });
        EXPECT_NE(error.find(expected), std::string::npos) << text << ": " << error;
    };
    fails("moves B:D4\n", "t.txt:1: \"game\" expected");
    fails("game 1\nmoves B:I4\n", "t.txt:2: bad point \"I4\"");
    fails("game 1\nmoves X:D4\n", "t.txt:2: bad move X:D4");
    fails("game 1\nmoves B:D4\nposition 5\n", "t.txt:3: bad move number");
    fails("game 1\nmoves B:D4\ndead D4\n", "t.txt:3: \"position\" expected");
    fails("game 1\nmoves B:D4\nposition 1\nend\nendgame\n", "t.txt:5: final verdict missing");
    fails("game 1\nmoves B:D4\nfinal 1\nend\n", "\"endgame\" missing");
    fails("game 1\nfoo\n", "unknown record");
}

}  // namespace
}  // namespace obrin
