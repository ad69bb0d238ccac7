// The hot paths must not touch the heap once their pools and lists have warmed up: the board
// core, the goal queries and comparisons, the analysis graph, the pattern matcher and the tactical
// searches. A counting global operator new checks it.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <random>
#include <string>
#include <vector>

#include "analysis/graph.h"
#include "analysis/klassi.h"
#include "board/chains.h"
#include "game/analyse.h"
#include "game/engine.h"
#include "goals/goaldbg.h"
#include "goals/goals.h"
#include "patterns/muster.h"
#include "support/diagram.h"
#include "support/named_goal.h"
#include "support/tempdir.h"
#include "tactics/brute.h"
#include "tactics/reading.h"
#include "tactics/treppe.h"
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

namespace obrin {
namespace {

using test::TNamedGoal;

long AllocationCount() {
    return gAllocations.load();
}

TEST(Allocation, BoardCoreHotPathsAllocateNothing) {
    // Warm up thread-local scratch boards first.
    (void)PlayRandomGames(1, 1);
    TBoardFields fields;
    TPointList list;
    std::mt19937 rng(5);
    long checked = 0;
    const long before = AllocationCount();
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
    const long during = AllocationCount() - before;
    EXPECT_GT(checked, 50);
    EXPECT_EQ(during, 0);
}

// Compares two goals through their closures, as the rules that look at what goals serve do.
class TClosureRule : public TRule {
  public:
    explicit TClosureRule(TRuleManager& manager) : TRule("TClosureRule", 1), m_manager(manager) {}
    int32_t Compare(TGoal& a, TGoal& b) override {
        TPooledGoalList common(m_manager, m_manager.CommonSuperGoals(a, b));
        TPooledGoalList fromA(m_manager, m_manager.CollectSuperGoals(a));
        TPooledGoalList fromB(m_manager, m_manager.CollectSuperGoals(b));
        int count = 0;
        for (const TGoal* g : fromA) count += g->Active ? 1 : 0;
        for (const TGoal* g : fromB) count -= g->Active ? 1 : 0;
        return common.Empty() ? count : 0;
    }

  private:
    TRuleManager& m_manager;
};

// The goal queries and comparisons run many times per selection: once the node pool has grown
// they must not touch the heap.
TEST(Allocation, GoalQueriesAndSelectionAllocateNothingAfterWarmUp) {
    test::TTempDir dir;
    const bool traceOff = false;
    TGoalDebugger debugger(dir / "debug.txt", traceOff);
    TRuleManager manager;
    manager.Debugger = &debugger;
    manager.AddRule(std::make_unique<TClosureRule>(manager));
    // Three tops, each served by a chain of goals, and leaves that serve several chains.
    std::vector<TGoal*> goals;
    for (int i = 0; i < 30; ++i) {
        TGoal& g = manager.CreateGoal<TNamedGoal>("G " + std::to_string(i));
        if (i >= 3) manager.LinkGoal(g, *goals[static_cast<size_t>(i - 3)]);
        if (i >= 20) manager.LinkGoal(g, *goals[static_cast<size_t>(i % 7)]);
        (void)g.Name();
        goals.push_back(&g);
    }
    const auto selectAll = [&] {
        for (TGoal* g : goals) g->Active = true;
        while (manager.SelectBest() != nullptr) {
        }
    };
    selectAll();
    const long before = AllocationCount();
    selectAll();
    EXPECT_EQ(AllocationCount(), before);
    EXPECT_EQ(manager.FindGoal("G 7"), goals[7]);
    EXPECT_EQ(AllocationCount(), before);
    EXPECT_EQ(manager.CountLentNodes(), 0);
}

// The analysis graph takes its records from its free lists: once they have grown to the size of
// a position, building it again touches the heap no more.
TEST(Allocation, GraphBuildAllocatesNothingAfterWarmUp) {
    IHost host;
    TEngine engine(host);
    // Deadlines on the deterministic clock, started again for every round, so that every round
    // reads the same trees.
    engine.Clock.SetDeterministic(true);
    std::mt19937 rng(3);
    TBoardFields& f = engine.Fields;
    for (int p = 0; p < PointCount; ++p) {
        const unsigned r = rng() % 10;
        f.Spielfeld[p] = r < 3 ? 1 : r < 6 ? -1 : 0;
    }
    ClassifyBoard(engine);
    ComputeNamensfeld(f);
    ComputeFreiheitsfeld(f.Spielfeld, engine.Container->Freiheitsfeld, f.Spielfeld);
    CutAnalysis(engine.Reader);
    const TFieldContainer fields = *engine.Container;
    const TBoard marksS = f.SVerbunden, marksW = f.WVerbunden;
    const auto build = [&] {
        *engine.Container = fields;         // the build corrects the shared-fate fields in place
        engine.Fields.SVerbunden = marksS;  // and the pattern handlers add connection marks
        engine.Fields.WVerbunden = marksW;
        engine.Reader.Nodes = 0;
        BuildGraph(engine);
        engine.Graph->BuildAreas();
    };
    build();
    build();
    const long before = AllocationCount();
    build();
    EXPECT_EQ(AllocationCount(), before);
    EXPECT_GT(engine.Graph->GroupCount(), 10);
}

// Matching the pattern library runs once per move decision inside the analysis: after the first
// positions have sized the firing list and the association pool, matching and its handlers must
// not touch the heap.
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
        const long before = AllocationCount();
        MatchPatterns(engine);
        allocations += AllocationCount() - before;
        firings += engine.Patterns.Firings.size();
        associations += engine.GoalAssociation.Count();
    }
    EXPECT_EQ(allocations, 0);
    EXPECT_GT(firings, 0u);
    EXPECT_GT(associations, 0u);
}

// The tactical searches must not touch the heap once the element pool has warmed up.
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
    const long before = AllocationCount();
    (void)askAll();
    EXPECT_EQ(AllocationCount() - before, 0);
    EXPECT_NO_THROW(engine.Shutdown());
}

}  // namespace
}  // namespace obrin
