#include "tools/klassitrain.h"

#include <algorithm>
#include <numeric>
#include <random>

#include "analysis/feedfwd3.h"
#include "analysis/testdata.h"
#include "game/engine.h"

namespace obrin {
namespace {

// Training draws its samples per kind, so that rare kinds are not drowned by common ones.
enum TPointKind { EmptyPoint, LivingStone, DeadStone, RareEmptyPoint, KindCount };

TPointKind KindOf(const TTestData& s) {
    if (s.GetOutput(0) < 0.5) {
        for (int k = 2; k <= 16; ++k)
            if (k != 11 && k != 12 && s.GetOutput(k) == 1.0) return RareEmptyPoint;
        return EmptyPoint;
    }
    const bool black = s.GetOutput(1) > 0.5;
    return s.GetOutput(black ? 11 : 12) == 0.0 ? DeadStone : LivingStone;
}

void CopyCurrent(const TTestData& from, TTestData& to) {
    for (int i = 0; i < from.InputCount(); ++i) to.SetInput(i, from.GetInput(i));
    for (int k = 0; k < from.OutputCount(); ++k) to.SetOutput(k, from.GetOutput(k));
}

double Auc(std::vector<std::pair<double, bool>>& scored) {
    std::sort(scored.begin(), scored.end());
    double rankSum = 0, positives = 0, negatives = 0;
    for (size_t i = 0; i < scored.size();) {
        size_t j = i;
        while (j < scored.size() && scored[j].first == scored[i].first) ++j;
        const double meanRank = (i + j + 1) / 2.0;  // ranks from 1, ties share their mean
        for (size_t k = i; k < j; ++k)
            if (scored[k].second) rankSum += meanRank;
        i = j;
    }
    for (const auto& s : scored) (s.second ? positives : negatives) += 1;
    if (positives == 0 || negatives == 0) return 0.0;
    return (rankSum - positives * (positives + 1) / 2) / (positives * negatives);
}

// The sample seen with the colours swapped: board and field strength mirror (both scale
// symmetrically around 0.5), the paired black and white labels trade places.
void SwapColours(TKlassiFeatures& f, std::vector<double>& targets) {
    for (int k = 0; k < 9; ++k) {
        f[k] = 1.0 - f[k];
        f[18 + k] = 1.0 - f[18 + k];
    }
    targets[1] = 1.0 - targets[1];
    for (const int black : {2, 4, 7, 9, 11, 13, 15, 17})
        std::swap(targets[black], targets[black + 1]);
}

}  // namespace

void AddGameSamples(const std::vector<TTeacherGame>& games, TTestData& samples,
                    TSureLabels sureLabels) {
    const TBoard minAbstand = MakeMinAbstand();
    for (const TTeacherGame& game : games)
        for (const TTeacherVerdict& verdict : game.Verdicts) {
            const TBoard b = PositionAfter(game, verdict.MoveNumber);
            TBoard influence{};
            SpreadInfluence(b, influence, 50);
            const auto labels = LabelPosition(game, verdict, sureLabels);
            for (int i = 0; i < PointCount; ++i) {
                const TKlassiFeatures f =
                    KlassiFeatures(b, minAbstand, influence, PointColumn(i), PointRow(i));
                for (int k = 0; k < KlassiInputs; ++k) samples.SetInput(k, f[k]);
                for (int k = 0; k < samples.OutputCount(); ++k) samples.SetOutput(k, 0.5);
                for (int k = 0; k < KlassiNamedOutputs; ++k) samples.SetOutput(k, labels[i][k]);
                samples.AddSample();
            }
        }
}

TTestData SelectSamples(TTestData& all, int count, uint32_t seed) {
    TTestData chosen;
    chosen.SetInputCount(all.InputCount());
    chosen.SetOutputCount(all.OutputCount());
    std::vector<int> order(all.GetSampleCount());
    std::iota(order.begin(), order.end(), 0);
    std::mt19937 rng(seed);
    std::shuffle(order.begin(), order.end(), rng);
    std::vector<bool> taken(order.size(), false);
    auto take = [&](int k) {
        all.GetSample(order[k]);
        CopyCurrent(all, chosen);
        chosen.AddSample();
        taken[k] = true;
    };
    for (int output = 2; output < KlassiNamedOutputs; ++output) {
        int n = 0;
        for (size_t k = 0; k < order.size() && n < count / 40 && chosen.GetSampleCount() < count;
             ++k) {
            if (taken[k]) continue;
            all.GetSample(order[k]);
            if (all.GetOutput(output) == 1.0) {
                take(static_cast<int>(k));
                ++n;
            }
        }
    }
    for (size_t k = 0; k < order.size() && chosen.GetSampleCount() < count; ++k)
        if (!taken[k]) take(static_cast<int>(k));
    chosen.Clear();
    return chosen;
}

double TrainKlassiNet(TFeedFwd3& net, TTestData& samples, const TTrainOptions& o) {
    std::vector<int> byKind[KindCount];
    // The rare share goes to each rare label's positives in equal parts.
    std::vector<std::vector<int>> rarePositives;
    std::vector<int> rareOutputs;
    for (int k = 2; k <= 16; ++k)
        if (k != 11 && k != 12) rareOutputs.push_back(k);
    rarePositives.resize(rareOutputs.size());
    for (int k = 0; k < samples.GetSampleCount(); ++k) {
        samples.GetSample(k);
        const TPointKind kind = KindOf(samples);
        byKind[kind == RareEmptyPoint ? EmptyPoint : kind].push_back(k);
        for (size_t r = 0; r < rareOutputs.size(); ++r)
            if (samples.GetOutput(rareOutputs[r]) == 1.0) rarePositives[r].push_back(k);
    }
    rarePositives.erase(std::remove_if(rarePositives.begin(), rarePositives.end(),
                                       [](const std::vector<int>& v) { return v.empty(); }),
                        rarePositives.end());
    const double shares[KindCount] = {1.0 - o.DeadShare - o.StoneShare - o.RareShare, o.StoneShare,
                                      o.DeadShare, o.RareShare};
    std::mt19937 rng(o.Seed);
    std::uniform_real_distribution<double> uniform(0.0, 1.0);
    const double rate = net.LearningRate();
    std::vector<double> targets(std::max(net.OutputCount(), KlassiNamedOutputs), 0.5);
    double recentError = 0;
    int64_t recent = 0;
    for (int64_t step = 0; step < o.Steps; ++step) {
        if (step == o.Steps * 2 / 3) net.SetLearningRate(rate / 4);
        double r = uniform(rng);
        int kind = 0;
        while (kind < KindCount - 1 && r >= shares[kind]) r -= shares[kind++];
        const std::vector<int>* pool = &byKind[kind];
        if (kind == RareEmptyPoint)
            pool = rarePositives.empty() ? nullptr : &rarePositives[rng() % rarePositives.size()];
        if (!pool || pool->empty())
            pool = byKind[LivingStone].empty() ? &byKind[EmptyPoint] : &byKind[LivingStone];
        if (pool->empty()) break;
        samples.GetSample((*pool)[rng() % pool->size()]);
        TKlassiFeatures f{};
        for (int i = 0; i < KlassiInputs; ++i) f[i] = samples.GetInput(i);
        for (int k = 0; k < net.OutputCount(); ++k) targets[k] = samples.GetOutput(k);
        if (rng() % 2) SwapColours(f, targets);
        SetKlassiInputs(net, TransformFeatures(f, static_cast<int>(rng() % 8)));
        for (int k = 0; k < net.OutputCount(); ++k) net.SetTarget(k, targets[k]);
        net.Forward();
        if (step >= o.Steps - 10000) {
            for (int k = 0; k < net.OutputCount(); ++k)
                recentError +=
                    (net.GetOutput(k) - net.GetTarget(k)) * (net.GetOutput(k) - net.GetTarget(k));
            ++recent;
        }
        net.Train();
    }
    net.SetLearningRate(rate);
    return recent ? recentError / recent : 0.0;
}

std::array<TOutputQuality, KlassiNamedOutputs> MeasureOutputs(TFeedFwd3& net, TTestData& samples) {
    std::array<std::vector<std::pair<double, bool>>, KlassiNamedOutputs> scored;
    std::array<TOutputQuality, KlassiNamedOutputs> q{};
    std::array<int64_t, KlassiNamedOutputs> truePos{}, trueNeg{};
    for (int s = 0; s < samples.GetSampleCount(); ++s) {
        samples.GetSample(s);
        TKlassiFeatures f{};
        for (int i = 0; i < KlassiInputs; ++i) f[i] = samples.GetInput(i);
        SetKlassiInputs(net, f);
        net.Forward();
        for (int k = 0; k < KlassiNamedOutputs; ++k) {
            const double label = samples.GetOutput(k), o = net.GetOutput(k);
            if (label != 0.0 && label != 1.0) continue;
            const bool positive = label == 1.0;
            scored[k].push_back({o, positive});
            (positive ? q[k].Positives : q[k].Negatives) += 1;
            if (positive && o > 0.5) ++truePos[k];
            if (!positive && o <= 0.5) ++trueNeg[k];
        }
    }
    for (int k = 0; k < KlassiNamedOutputs; ++k) {
        if (q[k].Positives && q[k].Negatives)
            q[k].BalancedAccuracy =
                0.5 * (double(truePos[k]) / q[k].Positives + double(trueNeg[k]) / q[k].Negatives);
        q[k].Auc = Auc(scored[k]);
    }
    return q;
}

TSureStoneCheck CheckSureStones(const std::vector<TTeacherGame>& games, const TFeedFwd3& net,
                                TSureVerdicts verdicts) {
    IHost host;
    TEngine engine(host);
    *engine.KlassiNet = net;
    TSureStoneCheck check;
    std::vector<std::pair<double, bool>> scored;
    for (const TTeacherGame& game : games)
        for (const TTeacherVerdict& verdict : game.Verdicts) {
            const bool dragonsOnly = verdicts == TSureVerdicts::DragonStatus;
            if (dragonsOnly && !verdict.FromDragons) continue;
            engine.Fields.Spielfeld = PositionAfter(game, verdict.MoveNumber);
            ClassifyBoard(engine);
            TBoard dead{}, leftOut{};
            for (const TPoint p : verdict.Dead) dead[PointIndex(p.X, p.Y)] = 1;
            if (dragonsOnly)
                for (const TPoint p : verdict.Critical) leftOut[PointIndex(p.X, p.Y)] = 1;
            for (int i = 0; i < PointCount; ++i) {
                const int v = engine.Fields.Spielfeld[i];
                if (v == 0 || leftOut[i]) continue;
                const int value =
                    v > 0 ? engine.Container->NNSSicher[i] : engine.Container->NNWSicher[i];
                const bool sure = value > 0;
                scored.push_back({value, !dead[i]});
                if (dead[i]) {
                    ++check.Dead;
                    check.DeadNotSure += !sure;
                } else {
                    ++check.Alive;
                    check.AliveSure += sure;
                }
            }
        }
    check.Auc = Auc(scored);
    return check;
}

}  // namespace obrin
