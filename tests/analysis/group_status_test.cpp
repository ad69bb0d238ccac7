// The group status of the present engine against the classic one, on finished positions with the
// shipped classifier: a block without eye space inside the opponent's wall is dead, the wall
// around dead stones stays safe, and the classic engine's fights around dead stones are gone.
#include <gtest/gtest.h>

#include "analysis/graph.h"
#include "game/analyse.h"
#include "game/engine.h"
#include "support/diagram.h"
#include "tactics/tactics_fixture.h"
#include "support/finished_positions.h"

namespace obrin {
namespace {

using test::IndexOf;

class GroupStatus : public ::testing::Test {
  protected:
    IHost Host;
    TEngine Engine{Host};

    void SetUp() override { Engine.Clock.SetDeterministic(true); }
    void Analyse(const TBoard& board, bool classic) {
        Engine.Settings.KlassischeEngine = classic;
        Engine.Fields.Spielfeld = board;
        Engine.Fields.KoX = Engine.Fields.KoY = -1;
        obrin::Analyse(Engine, TAnalysisStage::Areas);
    }
    int StatusAt(const char* point) {
        return Engine.Graph->FindGroupOfStone(IndexOf(point)).Status;
    }
};

TEST_F(GroupStatus, ADeadBlockInsideTheWallIsDeadAndTheWallSafe) {
    Analyse(test::DeadBlock, false);
    EXPECT_EQ(StatusAt("N8"), StatusDead);
    EXPECT_EQ(StatusAt("L8"), StatusSafe);
    // The classic engine leaves both in the fight: the block has liberties enough, and the wall
    // is what the rules call saveable.
    Analyse(test::DeadBlock, true);
    EXPECT_EQ(StatusAt("N8"), StatusSaveable);
    EXPECT_EQ(StatusAt("L8"), StatusSaveable);
}

// The white group with two eyes inside Black's area lives in both engines, and Black's wall
// around it is safe outside the classic engine.
TEST_F(GroupStatus, TwoEyesLiveInBothEngines) {
    for (const bool classic : {false, true}) {
        Analyse(test::TwoEyes, classic);
        EXPECT_EQ(StatusAt("D12"), StatusSafe) << classic;
    }
    Analyse(test::TwoEyes, false);
    EXPECT_EQ(StatusAt("K10"), StatusSafe);
}

}  // namespace
}  // namespace obrin
