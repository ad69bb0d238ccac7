// Matching the pattern library runs once per move decision inside the analysis: after the first
// positions have sized the firing list and the association pool, matching and its handlers must
// not touch the heap.
#include <gtest/gtest.h>

#include <random>

#include "alloc/alloc_counter.h"
#include "analysis/graph.h"
#include "game/analyse.h"
#include "game/engine.h"
#include "patterns/muster.h"

namespace obrin {
namespace {

TEST(Allocation, MatchingPatternsAllocatesNothingAfterWarmUp) {
    IHost host;
    TEngine engine(host);
    ASSERT_GT(engine.Patterns.Tree.NodeCount(), 1u) << "the shipped library was not found";
    std::mt19937 rng(7);
    std::vector<TBoard> boards;
    for (int i = 0; i < 20; ++i) {
        TBoard b{};
        for (int32_t& v : b) v = static_cast<int>(rng() % 3) - 1;
        boards.push_back(b);
    }
    engine.Clock.SetDeterministic(true);
    for (const TBoard& b : boards) {  // warm-up: the lists grow to their largest size
        engine.Fields.Spielfeld = b;
        Analyse(engine, TAnalysisStage::Areas);  // matches, too
    }
    long allocations = 0;
    size_t firings = 0, associations = 0;
    for (const TBoard& b : boards) {
        engine.Fields.Spielfeld = b;
        Analyse(engine, TAnalysisStage::Areas);  // the handlers read the graph of the position
        const long before = test::AllocationCount();
        MatchPatterns(engine);
        allocations += test::AllocationCount() - before;
        firings += engine.Patterns.Firings.size();
        associations += engine.GoalAssociation.Count();
    }
    EXPECT_EQ(allocations, 0);
    EXPECT_GT(firings, 0u);
    EXPECT_GT(associations, 0u);
}

}  // namespace
}  // namespace obrin
