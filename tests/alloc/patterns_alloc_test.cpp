// Matching the pattern library runs once per move decision inside the analysis: after the first
// position has sized the firing list, matching must not touch the heap.
#include <gtest/gtest.h>

#include <random>

#include "alloc/alloc_counter.h"
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
    for (const TBoard& b : boards) {  // warm-up: the firing list grows to its largest size
        engine.Fields.Spielfeld = b;
        MatchPatterns(engine);
    }
    const long before = test::AllocationCount();
    size_t firings = 0;
    for (const TBoard& b : boards) {
        engine.Fields.Spielfeld = b;
        MatchPatterns(engine);
        firings += engine.Patterns.Firings.size();
    }
    EXPECT_EQ(test::AllocationCount() - before, 0);
    EXPECT_GT(firings, 0u);
}

}  // namespace
}  // namespace obrin
