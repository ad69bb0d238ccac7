// The analysis graph takes its records from its free lists: once they have grown to the size of
// a position, building it again touches the heap no more.
#include <gtest/gtest.h>

#include <random>

#include "alloc/alloc_counter.h"
#include "analysis/graph.h"
#include "analysis/klassi.h"
#include "board/chains.h"
#include "game/analyse.h"
#include "game/engine.h"
#include "tactics/treppe.h"

namespace obrin {
namespace {

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
    const long before = test::AllocationCount();
    build();
    EXPECT_EQ(test::AllocationCount(), before);
    EXPECT_GT(engine.Graph->GroupCount(), 10);
}

}  // namespace
}  // namespace obrin
