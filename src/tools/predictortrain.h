// Training and measuring the move predictor from teacher games: the steps behind
// "obrin-cli train predictor|predictor-check". Every move of a game after its first few (the
// random openings and the handicap stones) is a lesson: the teacher chose this point among all
// legal ones. The weights are fitted by stochastic gradient ascent on the log-probability of
// the chosen points (a softmax over the position's legal points).
#pragma once

#include <cstdint>
#include <vector>

#include "patterns/move_predictor.h"
#include "tools/klassidata.h"

namespace obrin {

struct TPredictorLesson {
    std::vector<int32_t> Points;               // the legal points
    std::vector<TPointFeatures> Features;      // theirs, in the same order
    int32_t Chosen = 0;                        // the teacher's point, as an index into Points
};

// The lessons of the games: every stone of the teacher after skipFirst moves of a game, seen
// from the side that played it.
[[nodiscard]] std::vector<TPredictorLesson> PredictorLessons(
    const std::vector<TTeacherGame>& games, int skipFirst);

struct TPredictorTraining {
    int Epochs = 4;
    double Rate = 0.05;        // the first epoch's step; halved every epoch
    double Decay = 1e-4;       // pull of every weight a lesson touches towards 0
    int MinShapeCount = 50;    // a shape gets its own weight when it is a legal point this often
    uint32_t Seed = 1;         // the lessons' order
};

// Fits the predictor's weights (its shape table rebuilt from the lessons).
void TrainPredictor(TMovePredictor& predictor, const std::vector<TPredictorLesson>& lessons,
                    const TPredictorTraining& training);

struct TPredictorQuality {
    int Lessons = 0;
    double Top1 = 0, Top5 = 0;  // share of lessons whose point is the predictor's first, first five
    double LogLikelihood = 0;   // mean log-probability of the teacher's point
};

[[nodiscard]] TPredictorQuality MeasurePredictor(const TMovePredictor& predictor,
                                                 const std::vector<TPredictorLesson>& lessons);

}  // namespace obrin
