#include "analysis/territory.h"

#include <gtest/gtest.h>

#include <cstring>

#include "analysis/feedfwd4.h"
#include "board/errors.h"
#include "game/engine.h"
#include "support/diagram.h"
#include "support/error_text.h"

namespace obrin {
namespace {

class Territory : public ::testing::Test {
  protected:
    IHost host;
    TEngine engine{host};
    TTerritoryEvaluator& evaluator = engine.Territory;
    // A narrow territory network keeps the tests quick under the sanitizers; the evaluator only
    // needs its 80 inputs and one output.
    void SetUp() override {
        engine.TerritoryNet = std::make_unique<TFeedFwd4>(80, 24, 16, 1, 0.2,
                                                          [this] { return engine.Random.Real(); });
    }
};

TEST_F(Territory, RecordOfACornerPointAndItsInputs) {
    engine.Fields.Spielfeld = test::FromDiagram("X O\n. .");
    const TTerritoryRecord r = TerritoryInputRecord(engine, evaluator.ScoreField, 0, 18);
    // Territory order: centre, up-right, up, up-left, left, down-left, down, down-right, right.
    EXPECT_EQ(r[9], 1);
    EXPECT_EQ(r[9 + 8], -1);
    for (const int off : {1, 2, 3, 4, 5}) {
        EXPECT_EQ(r[off], 0) << off;
        EXPECT_EQ(r[9 + off], 0) << off;
        EXPECT_EQ(r[54 + off], 0) << off;
    }
    EXPECT_EQ(r[6], 2);  // A18 has two empty neighbours
    EXPECT_EQ(r[72 + 7], 0) << "the liberty block has no centre; B19 has no liberty field yet";
}

TEST_F(Territory, TransformedRecordsMatchTheTurnedPosition) {
    engine.Fields.Spielfeld = test::FromDiagram(
        ". X O .\n"
        "X . X O\n"
        "O O . X\n"
        ". . X .");
    engine.Fields.Spielfeld[PointIndex(1, 15)] = 1;
    for (int turns = 1; turns < 4; ++turns) {
        TEngine turned(host);
        turned.Fields.Spielfeld = engine.Fields.Spielfeld;
        for (int t = 0; t < turns; ++t) RotateBoard(turned.Fields.Spielfeld);
        int matching = -1;
        for (int s = 0; s < 8 && matching < 0; ++s) {
            bool all = true;
            for (int x = 0; x < 5 && all; ++x)
                for (int y = 13; y < 19 && all; ++y) {
                    TPoint q{x, y};
                    for (int t = 0; t < turns; ++t) q = {18 - q.Y, q.X};
                    all = TransformRecord(TerritoryInputRecord(engine, evaluator.ScoreField, x, y),
                                          s) ==
                          TerritoryInputRecord(turned, turned.Territory.ScoreField, q.X, q.Y);
                }
            if (all) matching = s;
        }
        EXPECT_GE(matching, 1) << turns << " quarter turns match no symmetry";
    }
}

TEST_F(Territory, EvaluationMarksStonesAndTracksTheHighestClass) {
    engine.Fields.Spielfeld = test::FromDiagram("X O");
    evaluator.EvaluateTerritory(false);
    const auto& value = engine.Container->Feldbewertung;
    EXPECT_EQ(value[PointIndex(0, 18)], -1.0);
    int best = -1;
    for (int i = 0; i < PointCount; ++i)
        if (engine.Fields.Spielfeld[i] == 0) {
            EXPECT_GE(value[i], 0.0);
            EXPECT_EQ(value[i], evaluator.EvaluatePoint(PointColumn(i), PointRow(i)));
            best = std::max(best, TerritoryClass(value[i]));
        }
    EXPECT_EQ(evaluator.MaxClass, best);
    evaluator.EvaluateTerritory(true);  // with chance: at least as high everywhere
    EXPECT_GE(evaluator.MaxClass, best);
}

TEST_F(Territory, TrainingRecordsAppendTrainAndRefuseUnknownTypes) {
    std::vector<uint8_t> records;
    EXPECT_FALSE(evaluator.AppendComparison(records, "I5", "D4"));
    EXPECT_FALSE(evaluator.AppendAbsolute(records, "D4", "zehn"));
    EXPECT_FALSE(evaluator.AppendAbsolute(records, "Z99", "10"));
    EXPECT_TRUE(records.empty());
    ASSERT_TRUE(evaluator.AppendComparison(records, "D4", "K10"));
    ASSERT_TRUE(evaluator.AppendAbsolute(records, "Q16", "40"));
    ASSERT_EQ(records.size(), 1284u);  // exactly two records
    int16_t type, value;
    std::memcpy(&type, records.data() + 642, 2);
    std::memcpy(&value, records.data() + 642 + 322, 2);
    EXPECT_EQ(type, 2);
    EXPECT_EQ(value, 40);

    // Absolute records pull the output of Q16 towards class 40.
    std::vector<uint8_t> absolute(records.begin() + 642, records.end());
    const double before = std::abs(evaluator.EvaluatePoint(15, 15) - 50.0 / 60);
    for (int round = 0; round < 5; ++round) (void)evaluator.TrainTerritoryRound(absolute, 0.5);
    EXPECT_LT(std::abs(evaluator.EvaluatePoint(15, 15) - 50.0 / 60), before);

    records[0] = 7;
    const std::string error = test::ErrorOf([&] {
        for (int round = 0; round < 3; ++round) (void)evaluator.TrainTerritoryRound(records, 0.5);
    });
    EXPECT_EQ(error.rfind(msg::IllegalDataType, 0), 0u) << error;
}

}  // namespace
}  // namespace obrin
