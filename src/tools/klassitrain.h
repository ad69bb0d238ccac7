// Building, training and measuring the point classifier from teacher games: the steps behind
// "obrin-cli train". Games are split by number into a training part and a held-out part, so the
// quality figures come from games the network has never seen.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "tools/klassidata.h"

namespace obrin {

class TFeedFwd3;
class TTestData;

// A game is held out when its number is congruent heldOutEvery-1 modulo heldOutEvery.
[[nodiscard]] inline bool IsHeldOut(const TTeacherGame& g, int heldOutEvery) {
    return heldOutEvery > 0 && g.Id % heldOutEvery == heldOutEvery - 1;
}

// Appends one sample per point of every sampled position of the games (27 inputs, 50 outputs:
// the 19 labels, 0.5 for the rest).
void AddGameSamples(const std::vector<TTeacherGame>& games, TTestData& samples,
                    TSureLabels sureLabels = TSureLabels::Survival);

// A deterministic subset of at most count samples: first up to count/40 positives of each named
// output from 2 on (the rare ones), then others in a fixed shuffled order.
[[nodiscard]] TTestData SelectSamples(TTestData& all, int count, uint32_t seed);

struct TTrainOptions {
    int64_t Steps = 2000000;
    uint32_t Seed = 1;
    double DeadShare = 0.3;   // share of training steps on stones the teacher calls dead
    double StoneShare = 0.3;  // share on other stones
    double RareShare = 0.1;   // share on empty points with a rare label (eyes, answers, ...)
                              // the rest on other empty points
};
// Trains net with the network's own step on samples drawn per category, turned by a random
// symmetry and, every other time, seen with the colours swapped; the rate falls to a quarter over
// the last third. Returns the mean squared error of the last 10000 steps.
double TrainKlassiNet(TFeedFwd3& net, TTestData& samples, const TTrainOptions& options);

struct TOutputQuality {
    int64_t Positives = 0, Negatives = 0;
    double BalancedAccuracy = 0;  // at output 0.5
    double Auc = 0;               // ranking quality, 0.5 for chance
};
// Quality of the 19 named outputs on the samples (points with a label of exactly 0 or 1).
[[nodiscard]] std::array<TOutputQuality, KlassiNamedOutputs> MeasureOutputs(TFeedFwd3& net,
                                                                            TTestData& samples);

struct TSureStoneCheck {
    int64_t Alive = 0, Dead = 0, AliveSure = 0, DeadNotSure = 0;
    double Auc = 0;  // how well the sure-stone values rank living above dead stones
    [[nodiscard]] double BalancedAccuracy() const {
        return Alive && Dead ? 0.5 * (double(AliveSure) / Alive + double(DeadNotSure) / Dead) : 0.0;
    }
};
// Which verdicts CheckSureStones compares with: every sampled position's (dead, or living and
// seki), or only the positions judged by dragon_status, whose dead dragons must be not sure and
// whose alive and unknown dragons sure; critical dragons, whose fate depends on who moves first,
// are left out.
enum class TSureVerdicts { All, DragonStatus };
// ClassifyBoard on the sampled positions of the games: a black stone counts as sure when
// NNSSicher > 0, a white stone when NNWSicher > 0; compared with the teacher's verdict.
[[nodiscard]] TSureStoneCheck CheckSureStones(const std::vector<TTeacherGame>& games,
                                              const TFeedFwd3& net,
                                              TSureVerdicts verdicts = TSureVerdicts::All);

}  // namespace obrin
