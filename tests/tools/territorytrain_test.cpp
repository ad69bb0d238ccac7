#include "tools/territorytrain.h"

#include <gtest/gtest.h>

#include "analysis/datafiles.h"
#include "analysis/feedfwd4.h"
#include "analysis/territory.h"
#include "board/errors.h"
#include "game/engine.h"
#include "support/diagram.h"

namespace obrin {
namespace {

using test::IndexOf;

// Black walls off the lower-left corner (A1, A2, B1, B2) in its first five moves while White
// builds in the upper right; play then goes on in the centre, never near the corner again.
const char* const kGame =
    "game 3 level 1 seed 1003\n"
    "moves B:A3 W:T19 B:B3 W:T18 B:C3 W:S19 B:C2 W:S18 B:C1 W:R19 B:K10 W:R17 B:K12 W:Q18 "
    "B:L11 W:P19 B:J11 W:O18\n"
    "final 18\n"
    "dead\n"
    "seki\n"
    "end\n"
    "endgame\n";

TTeacherGame Game() {
    return ParseTeacherGames(kGame, "test").front();
}

TTerritoryDataOptions Options() {
    TTerritoryDataOptions o;
    o.FirstMove = 10;
    o.SampleEvery = 1;
    o.Horizon = 4;
    return o;
}

class TerritoryTraining : public ::testing::Test {
  protected:
    IHost host;
};

TEST_F(TerritoryTraining, LessonsRankTheTeachersMovesAndSettleTheWalledCorner) {
    const auto lessons = TerritoryLessons(Game(), Options());
    ASSERT_EQ(lessons.size(), 8u);  // moves 10 to 17
    const TTerritoryLesson& black = lessons[0];
    EXPECT_EQ(black.Position[IndexOf("A3")], 1) << "Black to move is +1";
    EXPECT_EQ(black.TeacherMove, IndexOf("K10"));
    EXPECT_EQ(black.Value[IndexOf("K10")], 30);
    EXPECT_EQ(black.Value[IndexOf("R17")], 28) << "the answer, one move later";
    EXPECT_EQ(black.Value[IndexOf("Q18")], 24);
    EXPECT_EQ(black.Value[IndexOf("L11")], NoLessonValue) << "beyond the horizon";
    for (const char* corner : {"A1", "A2", "B1", "B2"}) {
        EXPECT_EQ(black.Settled[IndexOf(corner)], 1) << corner;
        EXPECT_EQ(black.Value[IndexOf(corner)], -8) << corner;
    }
    EXPECT_EQ(black.Settled[IndexOf("R18")], 0) << "White's eye point, but R17 is played beside it";
    EXPECT_EQ(black.Settled[IndexOf("E5")], 0) << "nobody's area";

    const TTerritoryLesson& white = lessons[1];
    EXPECT_EQ(white.Position[IndexOf("A3")], -1) << "with White to move the colours turn";
    EXPECT_EQ(white.TeacherMove, IndexOf("R17"));
    EXPECT_EQ(white.Settled[IndexOf("A1")], -1) << "the opponent's settled area";
}

TEST_F(TerritoryTraining, RecordsAndTrainingRepeatByteForByte) {
    const std::vector<TTeacherGame> games{Game()};
    auto build = [&] {
        TEngine engine(host);
        engine.Clock.SetDeterministic(true);
        return BuildTerritoryRecords(engine, games, Options());
    };
    const auto records = build();
    EXPECT_EQ(build(), records);
    ASSERT_NO_THROW(CheckTerritoryRecords(records, "records"));
    const auto counts = CountTerritoryRecords(records);
    EXPECT_GT(counts.Comparisons, 0);
    EXPECT_GT(counts.Absolutes, 0);

    auto train = [&] {
        TEngine engine(host);
        FreshTerritoryNet(engine, 5, 0.02);
        (void)TrainTerritoryNet(engine, records, 2);
        return engine.TerritoryNet->FileImage();
    };
    const auto weights = train();
    EXPECT_EQ(train(), weights);

    const auto sample = SelectTerritoryRecords(records, 5, 7);
    EXPECT_EQ(sample.size(), 5 * TerritoryRecordSize);
    EXPECT_EQ(SelectTerritoryRecords(records, 5, 7), sample);
}

TEST_F(TerritoryTraining, TheShippedNetworkAndRecordsLoad) {
    const std::string data = std::string(OBRIN_TEST_SOURCE_DIR) + "/../data/";
    const auto records = ReadFileBytes(data + "dectrain.dat");
    ASSERT_NO_THROW(CheckTerritoryRecords(records, "dectrain.dat"));
    EXPECT_EQ(records.size() / TerritoryRecordSize, 4000u);
    const auto counts = CountTerritoryRecords(records);
    EXPECT_GT(counts.Comparisons, 400);
    EXPECT_GT(counts.Absolutes, 2000);

    TEngine engine(host);
    engine.Clock.SetDeterministic(true);
    engine.TerritoryNet->LoadFromFile(data + "terrnet.dat");
    EXPECT_EQ(engine.TerritoryNet->InputCount(), 80);
    EXPECT_EQ(engine.TerritoryNet->Hidden1Count(), 320);
    EXPECT_EQ(engine.TerritoryNet->Hidden2Count(), 320);
    // Known outputs of the shipped weights on the empty board (analysed with the classifier
    // the test engine has).
    AnalyseLesson(engine, TTerritoryLesson{});
    EXPECT_NEAR(engine.Territory.EvaluatePoint(3, 3), 0.4248085270264812, 1e-9);
    EXPECT_NEAR(engine.Territory.EvaluatePoint(9, 0), 0.007136401400009559, 1e-9);
}

}  // namespace
}  // namespace obrin
