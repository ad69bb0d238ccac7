#include "analysis/grpstat.h"

#include <gtest/gtest.h>

#include <random>
#include <set>

#include "analysis/graph.h"

namespace obrin {
namespace {

constexpr int32_t NoEyes = 2147483647;

// Estimates v and returns the numbers of the rules that fired, in order.
std::set<int> FiredRules(const TGroupEstimator& e, const TGroupValues& v, uint8_t& status) {
    std::array<bool, 97> fired{};
    status = e.Estimate(v, &fired);
    std::set<int> numbers;
    for (int r = 1; r <= 96; ++r)
        if (fired[r]) numbers.insert(r);
    return numbers;
}

struct TEstimateCase {
    const char* What;
    TGroupValues Values;
    uint8_t Status;
    std::set<int> Fired;
};

// Vectors worked through the rule list by hand, one rule at a time.
TEST(GroupEstimator, HandComputedVectorsFollowTheRuleList) {
    const TGroupValues zero{};
    TGroupValues lonely{};  // one stone, four liberties, weak field, no response liberties
    lonely.A = 1;
    lonely.F = 4;
    lonely.K = 11;
    lonely.S = 112;
    TGroupValues runner = lonely;  // the same stone with room and friendly second liberties
    runner.K = 10;
    runner.R = 5;
    runner.L1[0] = 60;
    runner.L2[0] = 15;
    TGroupValues hostile{};  // strong liberties but no eyes and a hostile edge
    hostile.A = 2;
    hostile.F = 7;
    hostile.S = 831;
    hostile.R = 5;
    hostile.K = 10;
    hostile.L1 = {0, 0, 0, 0, 0, 0, -1, -1, -1, -1};
    const TEstimateCase cases[] = {
        {"two eyes for free", zero, 3, {2}},
        {"lonely stone", lonely, 0, {11, 24, 31}},
        {"runner", runner, 3, {11, 24, 96}},
        {"lowered from safe", hostile, 1, {1, 21, 24}},
    };
    TGroupEstimator estimator;
    for (const TEstimateCase& c : cases) {
        uint8_t status = 9;
        EXPECT_EQ(FiredRules(estimator, c.Values, status), c.Fired) << c.What;
        EXPECT_EQ(status, c.Status) << c.What;
    }
}

TEST(GroupEstimator, ConditionsOnNoEyesAndEmptySpectraNeverHoldForBounds) {
    TGroupEstimator estimator;
    // K = 2147483647 takes part like any number: every K <= n fails, so nothing raises the
    // status of a group without eyes and weak liberties.
    TGroupValues v{};
    v.K = NoEyes;
    v.F = 5;
    v.R = 5;
    v.A = 3;
    uint8_t status = 9;
    for (const int rule : FiredRules(estimator, v, status)) ADD_FAILURE() << "rule " << rule;
    EXPECT_EQ(status, 0);
}

TEST(GroupEstimator, ResultIsAlwaysAStatus) {
    TGroupEstimator estimator;
    std::mt19937 rng(12);
    std::uniform_int_distribution<int> small(-300, 300), count(0, 90);
    for (int i = 0; i < 2000; ++i) {
        TGroupValues v;
        v.A = count(rng);
        v.F = count(rng);
        v.R = rng() % 4 == 0 ? NoEyes : count(rng) / 10;
        v.K = rng() % 4 == 0 ? NoEyes : count(rng) / 6;
        v.S = small(rng) * 10;
        for (auto& x : v.L1) x = small(rng);
        for (auto& x : v.L2) x = small(rng);
        EXPECT_LE(estimator.Estimate(v), 3);
    }
}

TEST(AreaShapes, EdgeEyeAndSingleCountersClassify) {
    // An empty edge point with three black neighbours and two black diagonals is an eye.
    TAreaNeighbourhood edgeEye{3, 2, 0, 0, 1, 2};
    TGoArea area;
    CountAreaShapes(edgeEye, area.Counters);
    EXPECT_EQ(area.Counters[2 * 4], 1);      // c4S
    EXPECT_EQ(area.Counters[2 * 4 + 1], 0);  // c4W
    EXPECT_EQ(TGroupEstimator::ClassifyArea(area), 5);
    // Later rules win: a white edge eye as well makes it "AugeW".
    area.Counters[2 * 4 + 1] = 1;
    EXPECT_EQ(TGroupEstimator::ClassifyArea(area), 6);
    // The same point seen with the colours swapped counts for white only.
    TGoArea white;
    CountAreaShapes(TAreaNeighbourhood{0, 0, 3, 2, 1, 2}, white.Counters);
    EXPECT_EQ(white.Counters[2 * 4], 0);
    EXPECT_EQ(white.Counters[2 * 4 + 1], 1);
    // Two edge points of each of c0 and c1: the crawling black shape, unless it is exactly a
    // nakade shape.
    TGoArea worm;
    worm.Counters[0] = 3;
    worm.Counters[2] = 2;
    EXPECT_EQ(TGroupEstimator::ClassifyArea(worm), 1);
    worm.Counters[0] = 2;
    worm.Counters[2] = 1;
    EXPECT_EQ(TGroupEstimator::ClassifyArea(worm), 3);
    EXPECT_EQ(TGroupEstimator::ClassifyArea(TGoArea{}), 0);
}

}  // namespace
}  // namespace obrin
