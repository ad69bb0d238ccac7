// The tactical searches must not touch the heap once the element pool has warmed up.
#include <gtest/gtest.h>

#include "alloc/alloc_counter.h"
#include "game/engine.h"
#include "support/diagram.h"
#include "tactics/brute.h"
#include "tactics/reading.h"
#include "tactics/treppe.h"

namespace obrin {
namespace {

TEST(Allocation, LadderAttackDefendAndReadingAllocateNothingAfterWarmUp) {
    // A clock that advances one millisecond per reading, so both rounds search the same tree.
    class TCountingClock : public IHost {
      public:
        uint64_t TickMs() override { return ++m_now; }

      private:
        uint64_t m_now = 0;
    } host;
    TEngine engine(host);
    TBoard ladder{};
    for (int p : {PointIndex(9, 10), PointIndex(8, 9), PointIndex(10, 8)}) ladder[p] = 1;
    ladder[PointIndex(9, 9)] = -1;
    const TBoard edge = test::FromDiagram(R"(
        ...
        .OX
        .X.)");
    const TBoard eyes = test::FromDiagram(R"(
        .X.XO
        XXXXO
        OOOOO)");
    TPointList moves;
    const auto askAll = [&] {
        int sum = Ladder(engine.Reader, 9, 9, ladder, -1, -1);
        sum += Attack(engine.Reader, 1, 17, -1, -1, edge, UINT64_MAX, moves);
        sum += Defend(engine.Reader, 1, 17, -1, -1, edge, UINT64_MAX, moves);
        sum += Defend(engine.Reader, 0, 17, -1, -1, eyes, UINT64_MAX, moves);
        sum += Attack(engine.Reader, 0, 17, -1, -1, eyes, UINT64_MAX, moves);
        // An open fight cut off by a short deadline: the deepest recursion of all.
        sum += Attack(engine.Reader, 9, 9, -1, -1, ladder, engine.Host.TickMs() + 3000, moves);
        // The bounded reading behind the GTP commands, deepening pass by pass.
        for (const TBoard* b : {static_cast<const TBoard*>(&ladder), &edge}) {
            const int x = b == &ladder ? 9 : 1, y = b == &ladder ? 9 : 17;
            sum += ReadAttack(engine.Reader, x, y, -1, -1, *b, engine.Host.TickMs() + 3000).Result;
            sum += ReadDefend(engine.Reader, x, y, -1, -1, *b, engine.Host.TickMs() + 3000).Result;
        }
        return sum;
    };
    (void)askAll();  // warms up the pool and the thread-local scratch lists
    const long before = test::AllocationCount();
    (void)askAll();
    EXPECT_EQ(test::AllocationCount() - before, 0);
    EXPECT_NO_THROW(engine.Shutdown());
}

}  // namespace
}  // namespace obrin
