// The board core's hot paths must not touch the heap: a counting global operator new checks it.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <random>

#include "alloc/alloc_counter.h"
#include "board/chains.h"
#include "tools/randomgames.h"

namespace {
std::atomic<long> gAllocations{0};
}

void* operator new(std::size_t size) {
    ++gAllocations;
    if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}

long obrin::test::AllocationCount() {
    return gAllocations.load();
}

namespace obrin {
namespace {

TEST(Allocation, BoardCoreHotPathsAllocateNothing) {
    // Warm up thread-local scratch boards first.
    (void)PlayRandomGames(1, 1);
    TBoardFields fields;
    TPointList list;
    std::mt19937 rng(5);
    long checked = 0;
    const long before = gAllocations.load();
    TBoard b{};
    int32_t koX = -1, koY = -1;
    int colour = 1;
    for (int move = 0; move < 300; ++move) {
        for (int p = 0; p < PointCount; ++p) {
            const int x = PointColumn(p), y = PointRow(p);
            (void)IsLegal(x, y, colour, koX, koY, b);
            if (b[p] != 0) {
                GetChain(x, y, b, list);
                GetLiberties(x, y, b, list);
            }
        }
        fields.Spielfeld = b;
        ComputeNamensfeld(fields);
        const int p = static_cast<int>(rng() % PointCount);
        if (b[p] != 0) NeighbourChains(PointColumn(p), PointRow(p), b, list, fields.Namensfeld);
        if (IsLegal(PointColumn(p), PointRow(p), colour, koX, koY, b)) {
            PlayMove(PointColumn(p), PointRow(p), colour, b, koX, koY);
            ++checked;
        }
        colour = -colour;
    }
    const long during = gAllocations.load() - before;
    EXPECT_GT(checked, 50);
    EXPECT_EQ(during, 0);
}

}  // namespace
}  // namespace obrin
