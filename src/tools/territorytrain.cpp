#include "tools/territorytrain.h"

#include <algorithm>
#include <cmath>
#include <numeric>
#include <random>

#include "analysis/feedfwd3.h"
#include "analysis/feedfwd4.h"
#include "analysis/territory.h"
#include "board/chains.h"
#include "game/analyse.h"
#include "game/engine.h"
#include "game/scoring.h"

namespace obrin {
namespace {

// For every point, the first move number from `from` on that is played within radius of it
// (Manhattan distance), or the number of moves when none is.
TBoard FirstMoveNear(const TTeacherGame& game, int from, int radius) {
    TBoard first;
    first.fill(static_cast<int32_t>(game.Moves.size()));
    for (int m = static_cast<int>(game.Moves.size()) - 1; m >= from; --m) {
        const TPoint p = game.Moves[m].Point;
        if (p == PassPoint) continue;
        for (int dy = -radius; dy <= radius; ++dy)
            for (int dx = -radius; dx <= radius; ++dx)
                if (std::abs(dx) + std::abs(dy) <= radius && OnBoard(p.X + dx, p.Y + dy))
                    first[PointIndex(p.X + dx, p.Y + dy)] = m;
    }
    return first;
}

TTerritoryRecord InputsAt(const TEngine& engine, int point) {
    return TerritoryInputRecord(engine, engine.Territory.ScoreField, PointColumn(point),
                                PointRow(point));
}

// Up to count distinct entries of candidates, drawn in a repeatable order.
std::vector<int> Draw(std::vector<int> candidates, int count, std::mt19937& random) {
    std::shuffle(candidates.begin(), candidates.end(), random);
    if (static_cast<int>(candidates.size()) > count) candidates.resize(count);
    return candidates;
}

}  // namespace

std::vector<TTerritoryLesson> TerritoryLessons(const TTeacherGame& game,
                                               const TTerritoryDataOptions& options) {
    std::vector<TTerritoryLesson> lessons;
    const int moves = static_cast<int>(game.Moves.size());
    if (game.Verdicts.empty() || !game.Verdicts.back().Final) return lessons;
    const TBoard finalArea = FinalArea(game);
    for (int n = options.FirstMove; n < moves; n += options.SampleEvery) {
        TTerritoryLesson lesson;
        lesson.GameId = game.Id;
        lesson.MoveNumber = n;
        // The side to move becomes +1, as the engine always computes for +1.
        const int side = game.Moves[n].Colour;
        const TBoard position = PositionAfter(game, n);
        for (int i = 0; i < PointCount; ++i) lesson.Position[i] = position[i] * side;
        if (game.Moves[n].Point != PassPoint)
            lesson.TeacherMove = PointIndex(game.Moves[n].Point.X, game.Moves[n].Point.Y);
        const TBoard touched = FirstMoveNear(game, n, options.SettledRadius);
        lesson.Value.fill(NoLessonValue);
        for (int i = 0; i < PointCount; ++i)
            if (position[i] == 0 && finalArea[i] != 0 && touched[i] == moves) {
                lesson.Settled[i] = finalArea[i] * side;
                lesson.Value[i] = static_cast<int8_t>(options.SettledValue);
            }
        // Played soon: the earlier, the more valuable; the first play at a point counts.
        for (int m = std::min(moves, n + options.Horizon) - 1; m >= n; --m) {
            const TPoint p = game.Moves[m].Point;
            if (p == PassPoint || position[PointIndex(p.X, p.Y)] != 0) continue;
            lesson.Value[PointIndex(p.X, p.Y)] =
                static_cast<int8_t>(options.TeacherValue - 2 * (m - n));
        }
        lessons.push_back(lesson);
    }
    return lessons;
}

void AnalyseLesson(TEngine& engine, const TTerritoryLesson& lesson) {
    engine.Fields.Spielfeld = lesson.Position;
    engine.Fields.KoX = -1;
    engine.Fields.KoY = -1;
    Analyse(engine, TAnalysisStage::Areas);
}

std::vector<uint8_t> BuildTerritoryRecords(TEngine& engine, const std::vector<TTeacherGame>& games,
                                           const TTerritoryDataOptions& options) {
    std::vector<uint8_t> out;
    for (const TTeacherGame& game : games)
        for (const TTerritoryLesson& lesson : TerritoryLessons(game, options)) {
            AnalyseLesson(engine, lesson);
            std::mt19937 random(options.Seed * 7919u + game.Id * 1009u + lesson.MoveNumber);
            std::vector<int> settled, others;
            TBoard board = lesson.Position;
            for (int i = 0; i < PointCount; ++i) {
                const int value = lesson.Value[i];
                if (board[i] != 0) continue;
                if (lesson.Settled[i] != 0) {
                    settled.push_back(i);
                } else if (value != NoLessonValue) {
                    AppendAbsoluteRecord(out, InputsAt(engine, i), static_cast<int16_t>(value));
                } else if (IsLegal(PointColumn(i), PointRow(i), 1, -1, -1, board)) {
                    others.push_back(i);
                }
            }
            for (const int i : Draw(settled, options.SettledPerPosition, random)) {
                AppendAbsoluteRecord(out, InputsAt(engine, i),
                                     static_cast<int16_t>(options.SettledValue));
            }
            if (lesson.TeacherMove < 0) continue;
            const TTerritoryRecord teacher = InputsAt(engine, lesson.TeacherMove);
            for (const int i : Draw(others, options.ComparisonsPerPosition, random)) {
                AppendComparisonRecord(out, teacher, InputsAt(engine, i));
            }
        }
    return out;
}

std::vector<uint8_t> SelectTerritoryRecords(const std::vector<uint8_t>& records, size_t count,
                                            uint32_t seed) {
    std::vector<size_t> order(records.size() / TerritoryRecordSize);
    std::iota(order.begin(), order.end(), size_t{0});
    std::mt19937 random(seed);
    std::shuffle(order.begin(), order.end(), random);
    if (order.size() > count) order.resize(count);
    std::sort(order.begin(), order.end());
    std::vector<uint8_t> out;
    out.reserve(order.size() * TerritoryRecordSize);
    for (const size_t k : order) {
        const auto from = records.begin() + static_cast<std::ptrdiff_t>(k * TerritoryRecordSize);
        out.insert(out.end(), from, from + TerritoryRecordSize);
    }
    return out;
}

void FreshTerritoryNet(TEngine& engine, uint32_t seed, double rate) {
    engine.Random.SetFixedSeed(seed);
    engine.TerritoryNet = std::make_unique<TFeedFwd4>(TerritoryInputs, 320, 320, 1, rate,
                                                      [&engine] { return engine.Random.Real(); });
}

void UntrainedTerritoryNet(TEngine& engine) {
    // A new engine's generator in its first state draws the classifier's weights first, then the
    // territory network's.
    TRandom random;
    const auto draw = [&random] { return random.Real(); };
    const TFeedFwd3 klassi(50, 50, 50, 0.2, draw);
    engine.TerritoryNet = std::make_unique<TFeedFwd4>(TerritoryInputs, 320, 320, 1, 0.2, draw);
    engine.TerritoryNet->SetLearningRate(0.01);
}

double TrainTerritoryNet(TEngine& engine, const std::vector<uint8_t>& records, int rounds,
                         int report, void (*progress)(int round, double error)) {
    const int tail = std::max(1, rounds / 10);
    double tailError = 0.0, reportError = 0.0;
    for (int round = 1; round <= rounds; ++round) {
        const double error = engine.Territory.TrainTerritoryRound(records, 1.0);
        reportError += error;
        if (round > rounds - tail) tailError += error;
        if (report > 0 && progress != nullptr && round % report == 0) {
            progress(round, reportError / report);
            reportError = 0.0;
        }
    }
    return tailError / tail;
}

TTerritoryQuality MeasureTerritory(TEngine& engine, const std::vector<TTeacherGame>& games,
                                   const TTerritoryDataOptions& options) {
    TTerritoryQuality q;
    const auto& value = engine.Container->Feldbewertung;
    double rankSum = 0;
    for (const TTeacherGame& game : games)
        for (const TTerritoryLesson& lesson : TerritoryLessons(game, options)) {
            AnalyseLesson(engine, lesson);
            engine.Territory.EvaluateTerritory(false);
            ++q.Positions;
            for (int i = 0; i < PointCount; ++i) {
                if (lesson.Position[i] != 0) continue;
                const int k = TerritoryClass(value[i]);
                ++q.EmptyPoints;
                q.EmptyNoise += k >= 43 && k <= 48;
                if (lesson.Settled[i] != 0) {
                    ++q.SettledPoints;
                    q.SettledBelowZero += k < 0;
                }
            }
            if (lesson.TeacherMove < 0) continue;
            int rank = 1;
            for (int i = 0; i < PointCount; ++i)
                rank += lesson.Position[i] == 0 && value[i] > value[lesson.TeacherMove];
            ++q.TeacherMoves;
            q.TeacherTop5 += rank <= 5;
            q.TeacherTop20 += rank <= 20;
            rankSum += rank;
        }
    if (q.TeacherMoves > 0) q.TeacherMeanRank = rankSum / q.TeacherMoves;
    TTerritoryLesson empty;
    AnalyseLesson(engine, empty);
    engine.Territory.EvaluateTerritory(false);
    q.EmptyBoardMinClass = 50;
    q.EmptyBoardMaxClass = -10;
    for (int i = 0; i < PointCount; ++i) {
        const int k = TerritoryClass(value[i]);
        q.EmptyBoardNoise += k >= 43 && k <= 48;
        q.EmptyBoardMinClass = std::min(q.EmptyBoardMinClass, k);
        q.EmptyBoardMaxClass = std::max(q.EmptyBoardMaxClass, k);
    }
    return q;
}

}  // namespace obrin
