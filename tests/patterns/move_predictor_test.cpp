#include "patterns/move_predictor.h"

#include <gtest/gtest.h>

#include <cmath>

#include "board/errors.h"
#include "support/diagram.h"
#include "tools/predictortrain.h"

namespace obrin {
namespace {

using test::IndexOf;

// Rows from 19 down to 1, "X" the side to move, "O" the opponent; unlisted rows are empty.
TBoard BoardOf(std::initializer_list<std::pair<int, const char*>> rows) {
    TBoard b{};
    for (const auto& [row, text] : rows)
        for (int x = 0; text[x] != '\0'; ++x)
            if (text[x] == 'X' || text[x] == 'O')
                b[PointIndex(x, row - 1)] = text[x] == 'X' ? 1 : -1;
    return b;
}

// The opponent's stone at B2 is in atari (its last liberty C2) and so is our B1 (its last
// liberty A1, with the opponent's C1 beside it); C4 is a lone stone of ours.
TBoard AtariBoard() {
    return BoardOf({{4, "..X"}, {3, ".X"}, {2, "XO"}, {1, ".XO"}});
}

TEST(MovePredictor, FeaturesTellCapturesSelfAtariAndAtari) {
    const TPredictorPosition position(AtariBoard(), {IndexOf("C1"), IndexOf("C4")});
    const TPointFeatures capture = position.Features(IndexOf("C2"));
    // One stone captured, and it saves our B1 (in atari next to it).
    EXPECT_EQ(capture.Index[GroupCapture], 1 * 2 + 1);
    const TPointFeatures quiet = position.Features(IndexOf("K10"));
    EXPECT_EQ(quiet.Index[GroupCapture], 0);
    EXPECT_EQ(quiet.Index[GroupAtari], 0);
    // A1 joins B1 (in atari) and A2 into a chain of three with the one liberty A3.
    EXPECT_EQ(position.Features(IndexOf("A1")).Index[GroupLiberties], (0 * 2 + 1) * 3 + 1);
    // C2 also takes the second-last liberty of C1.
    EXPECT_EQ(capture.Index[GroupAtari], 1);
    // Capturing gives the new stone the freed point as a liberty: D2 and C3 and B2.
    EXPECT_EQ(capture.Index[GroupLiberties], (2 * 2 + 0) * 3 + 0);
    // Distances: C3 is next to C4 (our last move), far from nothing of the opponent's.
    EXPECT_EQ(position.Features(IndexOf("C3")).Index[GroupOwnDistance], 0);
    EXPECT_EQ(position.Features(IndexOf("C2")).Index[GroupOpponentDistance], 0);
    EXPECT_EQ(position.Features(IndexOf("T19")).Index[GroupOpponentDistance], 15);
    const TPredictorPosition noMoves(AtariBoard(), {});
    EXPECT_EQ(noMoves.Features(IndexOf("C3")).Index[GroupOwnDistance], 16);
}

TEST(MovePredictor, AtariOnAChainOfTwoLiberties) {
    // The opponent's D10 has two liberties between our C10 and E10; D9 takes one of them.
    const TBoard b = BoardOf({{10, "..XOX"}});
    const TPredictorPosition position(b, {});
    EXPECT_EQ(position.Features(IndexOf("D9")).Index[GroupAtari], 1);
    EXPECT_TRUE(position.Legal(IndexOf("D9")));
}

TEST(MovePredictor, IllegalPointsAreSuicideKoAndStones) {
    // A1 is surrounded by the opponent's A2 and B1, which have liberties: suicide.
    const TBoard b = BoardOf({{2, "O"}, {1, ".O"}});
    const TPredictorPosition position(b, {}, IndexOf("K10"));
    EXPECT_FALSE(position.Legal(IndexOf("A1")));
    EXPECT_FALSE(position.Legal(IndexOf("A2")));
    EXPECT_FALSE(position.Legal(IndexOf("K10")));
    EXPECT_TRUE(position.Legal(IndexOf("C1")));
}

TEST(MovePredictor, ShapesAreTheSameUnderTurnsAndMirrors) {
    TBoard b = BoardOf({{5, "...XO"}, {4, "..O.X"}, {3, "...X"}});
    const TPredictorPosition plain(b, {});
    const TPointFeatures before = plain.Features(IndexOf("D4"));
    RotateBoard(b);  // (x, y) -> (18 - y, x)
    const TPredictorPosition turned(b, {});
    const int x = 18 - RowOfText("D4"), y = ColumnOfText("D4");
    const TPointFeatures after = turned.Features(PointIndex(x, y));
    EXPECT_EQ(before.ShapeCode, after.ShapeCode);
    EXPECT_EQ(before.LargeShapeCode, after.LargeShapeCode);
    EXPECT_NE(before.ShapeCode, plain.Features(IndexOf("E3")).ShapeCode);
}

TEST(MovePredictor, WeightsSurviveTheirTextAndBadLinesAreNamed) {
    TMovePredictor p;
    p.Weights[GroupCapture][3] = 2.5;
    p.Weights[GroupOpponentDistance][0] = 1.25;
    p.ShapeIndex[77] = 1;
    p.Weights[GroupShape].push_back(-0.5);
    p.LargeShapeIndex[1234567890123ULL] = 1;
    p.Weights[GroupLargeShape].push_back(0.75);
    TMovePredictor q;
    q.Parse(p.Text(), "predictor.dat");
    EXPECT_TRUE(q.Loaded());
    TPointFeatures f;
    f.Index[GroupOpponentDistance] = 5;
    f.Index[GroupCapture] = 3;
    f.ShapeCode = 77;
    f.LargeShapeCode = 1234567890123ULL;
    EXPECT_DOUBLE_EQ(q.Score(f), 2.5 - 0.5 + 0.75);
    f.ShapeCode = 78;  // not in the table: the shared weight 0
    EXPECT_DOUBLE_EQ(q.Score(f), 2.5 + 0.75);

    for (const char* bad : {"weight capture 99 1\n", "weight nothing 0 1\n", "shape 5 x\n",
                            "shape 5 1\nshape 5 2\n", "bogus\n", "weight capture 1 nan\n"}) {
        try {
            q.Parse(std::string("# fine\n") + bad, "predictor.dat");
            ADD_FAILURE() << bad;
        } catch (const EObrinError& e) {
            EXPECT_NE(std::string(e.what()).find("predictor.dat, line "), std::string::npos)
                << e.what();
        }
    }
    // A failed parse leaves the loaded weights as they were.
    f.ShapeCode = 77;
    EXPECT_DOUBLE_EQ(q.Score(f), 2.5 - 0.5 + 0.75);
}

TEST(MovePredictor, ProbabilitiesSumToOneOverLegalPoints) {
    TMovePredictor p;
    p.Weights[GroupCapture][1 * 2 + 1] = 3.0;
    const TPredictorPosition position(AtariBoard(), {});
    const auto probabilities = PredictorProbabilities(p.Scores(position));
    double sum = 0;
    int best = 0;
    for (int i = 0; i < PointCount; ++i) {
        sum += probabilities[i];
        if (probabilities[i] > probabilities[best]) best = i;
    }
    EXPECT_NEAR(sum, 1.0, 1e-9);
    EXPECT_EQ(best, IndexOf("C2"));
    EXPECT_EQ(probabilities[IndexOf("B2")], 0.0);
}

// Every move answers the opponent's last one next to it; a pass in the middle.
const char* const kGame =
    "game 1 level 1 seed 1\n"
    "moves B:D4 W:Q16 B:Q15 W:P15 B:P14 W:O14 B:O13 W:pass B:N13 W:N12 B:M12 W:M11\n"
    "final 12\n"
    "end\n"
    "endgame\n";

TEST(PredictorTraining, LessonsAreTheTeachersStonesFromTheMoversSide) {
    const auto games = ParseTeacherGames(kGame, "test");
    const auto lessons = PredictorLessons(games, 2);
    // Twelve moves, the first two skipped and the pass is no lesson.
    ASSERT_EQ(lessons.size(), 9u);
    const TPredictorLesson& first = lessons.front();  // B:Q15 after W:Q16
    EXPECT_EQ(first.Points[first.Chosen], IndexOf("Q15"));
    EXPECT_EQ(first.Points.size(), 359u);
    EXPECT_EQ(first.Features[first.Chosen].Index[GroupOpponentDistance], 0);
    // After the pass, Black's N13 has no opponent's move to answer.
    const TPredictorLesson& afterPass = lessons[5];
    EXPECT_EQ(afterPass.Points[afterPass.Chosen], IndexOf("N13"));
    EXPECT_EQ(afterPass.Features[afterPass.Chosen].Index[GroupOpponentDistance], 16);
}

TEST(PredictorTraining, TrainingFindsTheTeachersHabitAndRepeats) {
    const auto lessons = PredictorLessons(ParseTeacherGames(kGame, "test"), 2);
    TMovePredictor untrained;
    EXPECT_LT(MeasurePredictor(untrained, lessons).Top5, 0.5);
    TPredictorTraining training;
    training.Epochs = 6;
    training.Rate = 0.5;
    training.MinShapeCount = 1;
    TMovePredictor a, b;
    TrainPredictor(a, lessons, training);
    TrainPredictor(b, lessons, training);
    const TPredictorQuality q = MeasurePredictor(a, lessons);
    EXPECT_EQ(q.Lessons, 9);
    EXPECT_GE(q.Top5, 0.8);
    EXPECT_GT(q.LogLikelihood, MeasurePredictor(untrained, lessons).LogLikelihood);
    EXPECT_EQ(a.Text(), b.Text());
    // Answering next to the opponent's stone is what it learned above all.
    EXPECT_GT(a.Weights[GroupOpponentDistance][0], a.Weights[GroupOpponentDistance][15]);
}

}  // namespace
}  // namespace obrin
