#include "tools/predictortrain.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <numeric>
#include <random>

#include "board/chains.h"

namespace obrin {
namespace {

// The position before move n of the game, from the view of the side that plays it.
TPredictorPosition LessonPosition(const TTeacherGame& game, size_t n, const TBoard& board,
                                  int32_t koX, int32_t koY) {
    const int colour = game.Moves[n].Colour;
    TBoard b = board;
    if (colour < 0) NegateBoard(b);
    const auto stonePoint = [&](size_t i) {
        const TTeacherMove& m = game.Moves[i];
        return m.Point == PassPoint ? -1 : PointIndex(m.Point.X, m.Point.Y);
    };
    TRecentMoves recent;
    if (n >= 1 && game.Moves[n - 1].Colour == -colour) recent.Opponent = stonePoint(n - 1);
    if (n >= 2 && game.Moves[n - 2].Colour == colour) recent.Own = stonePoint(n - 2);
    const int32_t ko = koX >= 0 ? PointIndex(koX, koY) : -1;
    return TPredictorPosition(b, recent, ko);
}

std::vector<int32_t> ShuffledOrder(size_t count, uint32_t seed) {
    std::vector<int32_t> order(count);
    std::iota(order.begin(), order.end(), 0);
    std::mt19937 gen(seed);
    std::shuffle(order.begin(), order.end(), gen);
    return order;
}

// The shapes of a group that are legal points at least minCount times get their own weight.
template <typename Code, typename CodeOf>
void BuildShapeTable(std::unordered_map<Code, int32_t>& index, std::vector<double>& weights,
                     const std::vector<TPredictorLesson>& lessons, int minCount, CodeOf codeOf) {
    std::map<Code, int> counts;  // ordered: the table's order repeats
    for (const TPredictorLesson& lesson : lessons)
        for (const TPointFeatures& f : lesson.Features) ++counts[codeOf(f)];
    index.clear();
    weights.assign(1, 0.0);
    for (const auto& [code, count] : counts)
        if (count >= minCount) {
            index[code] = static_cast<int32_t>(weights.size());
            weights.push_back(0.0);
        }
}

// The weight indices of a point's features, the shape's looked up in the table.
std::array<int32_t, PredictorGroupCount> WeightIndices(const TMovePredictor& predictor,
                                                       const TPointFeatures& f) {
    std::array<int32_t, PredictorGroupCount> at = f.Index;
    const auto shape = predictor.ShapeIndex.find(f.ShapeCode);
    at[GroupShape] = shape == predictor.ShapeIndex.end() ? 0 : shape->second;
    const auto large = predictor.LargeShapeIndex.find(f.LargeShapeCode);
    at[GroupLargeShape] = large == predictor.LargeShapeIndex.end() ? 0 : large->second;
    return at;
}

void LearnLesson(TMovePredictor& predictor, const TPredictorLesson& lesson, double rate,
                 double decay) {
    const size_t n = lesson.Points.size();
    std::vector<std::array<int32_t, PredictorGroupCount>> at(n);
    std::vector<double> p(n);
    double top = -1e300;
    for (size_t i = 0; i < n; ++i) {
        at[i] = WeightIndices(predictor, lesson.Features[i]);
        p[i] = predictor.Score(lesson.Features[i]);
        top = std::max(top, p[i]);
    }
    double sum = 0;
    for (double& v : p) sum += v = std::exp(v - top);
    for (size_t i = 0; i < n; ++i) {
        const double gradient = (static_cast<int32_t>(i) == lesson.Chosen ? 1.0 : 0.0) - p[i] / sum;
        for (int g = 0; g < PredictorGroupCount; ++g) {
            double& w = predictor.Weights[g][at[i][g]];
            w += rate * (gradient - decay * w);
        }
    }
}

}  // namespace

std::vector<TPredictorLesson> PredictorLessons(const std::vector<TTeacherGame>& games,
                                               int skipFirst) {
    std::vector<TPredictorLesson> lessons;
    for (const TTeacherGame& game : games) {
        TBoard b{};
        int32_t koX = -1, koY = -1;
        for (size_t n = 0; n < game.Moves.size(); ++n) {
            const TTeacherMove& move = game.Moves[n];
            if (move.Point == PassPoint) {
                koX = koY = -1;
                continue;
            }
            const int32_t chosen = PointIndex(move.Point.X, move.Point.Y);
            if (static_cast<int>(n) >= skipFirst) {
                const TPredictorPosition position = LessonPosition(game, n, b, koX, koY);
                TPredictorLesson lesson;
                for (int32_t p = 0; p < PointCount; ++p) {
                    if (!position.Legal(p)) continue;
                    if (p == chosen) lesson.Chosen = static_cast<int32_t>(lesson.Points.size());
                    lesson.Points.push_back(p);
                    lesson.Features.push_back(position.Features(p));
                }
                if (position.Legal(chosen)) lessons.push_back(std::move(lesson));
            }
            PlayMove(move.Point.X, move.Point.Y, move.Colour, b, koX, koY);
        }
    }
    return lessons;
}

void TrainPredictor(TMovePredictor& predictor, const std::vector<TPredictorLesson>& lessons,
                    const TPredictorTraining& training) {
    predictor = TMovePredictor();
    BuildShapeTable(predictor.ShapeIndex, predictor.Weights[GroupShape], lessons,
                    training.MinShapeCount, [](const TPointFeatures& f) { return f.ShapeCode; });
    BuildShapeTable(predictor.LargeShapeIndex, predictor.Weights[GroupLargeShape], lessons,
                    training.MinShapeCount,
                    [](const TPointFeatures& f) { return f.LargeShapeCode; });
    double rate = training.Rate;
    for (int epoch = 0; epoch < training.Epochs; ++epoch) {
        for (const int32_t i : ShuffledOrder(lessons.size(), training.Seed + epoch))
            LearnLesson(predictor, lessons[i], rate, training.Decay);
        rate /= 2;
    }
}

TPredictorQuality MeasurePredictor(const TMovePredictor& predictor,
                                   const std::vector<TPredictorLesson>& lessons) {
    TPredictorQuality q;
    for (const TPredictorLesson& lesson : lessons) {
        std::vector<double> scores(lesson.Points.size());
        for (size_t i = 0; i < scores.size(); ++i) scores[i] = predictor.Score(lesson.Features[i]);
        const double chosen = scores[lesson.Chosen];
        // Ties go to the lower point, as in the engine's list of predicted moves.
        int64_t better = 0;
        for (size_t i = 0; i < scores.size(); ++i)
            if (scores[i] > chosen || (scores[i] == chosen && static_cast<int32_t>(i) < lesson.Chosen))
                ++better;
        const double top = *std::max_element(scores.begin(), scores.end());
        double sum = 0;
        for (const double s : scores) sum += std::exp(s - top);
        ++q.Lessons;
        q.Top1 += better == 0 ? 1 : 0;
        q.Top5 += better < 5 ? 1 : 0;
        q.LogLikelihood += chosen - top - std::log(sum);
    }
    if (q.Lessons > 0) {
        q.Top1 /= q.Lessons;
        q.Top5 /= q.Lessons;
        q.LogLikelihood /= q.Lessons;
    }
    return q;
}

}  // namespace obrin
