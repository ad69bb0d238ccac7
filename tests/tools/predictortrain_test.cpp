#include "tools/predictortrain.h"

#include <gtest/gtest.h>

namespace obrin {
namespace {

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
    EXPECT_EQ(first.Points[first.Chosen], PointIndex(ColumnOfText("Q15"), RowOfText("Q15")));
    EXPECT_EQ(first.Points.size(), 359u);
    EXPECT_EQ(first.Features[first.Chosen].Index[GroupOpponentDistance], 0);
    // After the pass, Black's N13 has no opponent's move to answer.
    const TPredictorLesson& afterPass = lessons[5];
    EXPECT_EQ(afterPass.Points[afterPass.Chosen], PointIndex(ColumnOfText("N13"), RowOfText("N13")));
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
