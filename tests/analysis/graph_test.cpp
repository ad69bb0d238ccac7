#include "analysis/graph.h"

#include <gtest/gtest.h>

#include <random>
#include <sstream>
#include <vector>

#include "board/chains.h"
#include "game/analyse.h"
#include "game/engine.h"
#include "patterns/muster.h"
#include "support/error_text.h"
#include "support/finished_positions.h"
#include "support/tempdir.h"
#include "tactics/tactics_fixture.h"

namespace obrin {
namespace {

using test::FromDiagram;
using test::IndexOf;

// Records the progress texts of the build.
class TStatusHost : public IHost {
  public:
    void SetStatus(const std::string& text) override { Status.push_back(text); }
    std::vector<std::string> Status;
};

// Reading deadlines on the engine's deterministic clock: the graph comes out the same on every
// machine and under any load.
void UseDeterministicClock(TEngine& engine) {
    engine.Clock.SetDeterministic(true);
    engine.Reader.Nodes = 0;
}

// A graph over a position whose classifier fields the test writes itself, so that the answers do
// not hang on the trained weights.
class GraphTest : public ::testing::Test {
  protected:
    TStatusHost Host;
    TEngine Engine{Host};

    void SetUp() override { UseDeterministicClock(Engine); }

    void ExpectPoolBalanced() { EXPECT_NO_THROW(Engine.Pool.Destroy()); }

    void SetPosition(const TBoard& board) {
        Engine.Fields.Spielfeld = board;
        ComputeNamensfeld(Engine.Fields);
    }
    void SetPosition(const char* diagram) { SetPosition(FromDiagram(diagram)); }
    TGoGraph& Build() {
        BuildGraph(Engine);
        Engine.Graph->BuildAreas();
        return *Engine.Graph;
    }
    TGoGroup& GroupAt(const char* point) { return Engine.Graph->FindGroupOfStone(IndexOf(point)); }
    TBoard& BlackFate() { return Engine.Container->NNSSchicksalsgemeinschaft; }
};

// Two eyes in the corner (A19 and C19) and a lone stone two points away.
const char* const kCornerWithEyes = R"(
    .X.X...............
    XXXX...............
    .....X.............)";

TEST_F(GraphTest, ChainsOfOneSharedFateRegionFormOneGroupNamedByTheSmallerName) {
    SetPosition(R"(
        ...................
        ..X.X..............)");
    for (const char* p : {"C18", "D18", "E18"}) BlackFate()[IndexOf(p)] = 1;
    // A region of the shared-fate field without a stone makes no group.
    for (const char* p : {"K5", "K6", "L5", "L6"}) BlackFate()[IndexOf(p)] = 1;
    TGoGraph& g = Build();
    ASSERT_EQ(g.GroupCount(), 1);
    const TGoGroup& group = *g.Groups();
    EXPECT_EQ(group.Name, IndexOf("C18"));
    EXPECT_EQ(group.Anzahl, 2);
    EXPECT_EQ(group.Punkte.Count, 3);
    EXPECT_EQ(group.Typ, 1);
    EXPECT_EQ(g.ChainCount(), 2);
    for (const TGoChain* c = g.Chains(); c != nullptr; c = c->next) EXPECT_EQ(c->Group, &group);
    EXPECT_EQ(&g.FindChain(IndexOf("E18")), g.Chains());
}

TEST_F(GraphTest, SpectrumKeepsTheTenStrongestOfTwelveLiberties) {
    SetPosition(test::FromPoints("X E10 F10 G10 H10 J10"));
    // The liberties get 10, 20, ..., 120; one second liberty is strong, one hostile.
    TBoard& strength = Engine.Fields.Feldstaerkefeld;
    int value = 0;
    for (const char* p :
         {"D10", "K10", "E11", "F11", "G11", "H11", "J11", "E9", "F9", "G9", "H9", "J9"})
        strength[IndexOf(p)] = value += 10;
    strength[IndexOf("D11")] = 55;
    strength[IndexOf("J12")] = -30;
    const TGoGroup& group = *Build().Groups();
    EXPECT_EQ(group.Freiheitswert, 12);
    EXPECT_EQ(group.SpektrumLib1,
              (std::array<int32_t, 10>{120, 110, 100, 90, 80, 70, 60, 50, 40, 30}));
    EXPECT_EQ(group.FeldstaerkeLiberties, 780);
    EXPECT_EQ(group.SpektrumLib2[0], 55);
    EXPECT_EQ(group.SpektrumLib2[9], 0);
}

TEST_F(GraphTest, ChainInAtariGetsItsLibertyAsAttackMove) {
    SetPosition(R"(
        OX.................
        .X.................)");
    TGoGraph& g = Build();
    const TGoChain& white = g.FindChain(IndexOf("A19"));
    EXPECT_EQ(white.Liberties, 1);
    EXPECT_EQ(white.AttackMove, IndexOf("A18"));
}

TEST_F(GraphTest, EnclosedTwoEyedGroupIsSafeAndAFriendNearbyIsSafeOrEscapesTowardsIt) {
    SetPosition(kCornerWithEyes);
    TGoGraph& g = Build();
    const TGoGroup& eyes = GroupAt("B19");
    EXPECT_EQ(eyes.AugenBauKosten, 0);
    EXPECT_EQ(eyes.Status, StatusSafe);
    EXPECT_EQ(eyes.EscapeRoute[0], -1);
    // The reader answers "no move needed" for a chain with two eyes: no point is recorded.
    const TGoChain& wall = g.FindChain(IndexOf("A18"));
    EXPECT_EQ(wall.DefenseMove, -1);
    EXPECT_EQ(wall.AttackMove, -1);

    // The library knows the knight's move from a safe group as connected: the stone is safe.
    EXPECT_EQ(GroupAt("F17").Status, StatusSafe);
    // Without patterns it is weak, and its way to the safe group is short.
    Engine.Patterns.Tree.Clear();
    Engine.Fields.SVerbunden.fill(0);  // the first build's connection marks
    Build();
    const TGoGroup& lone = GroupAt("F17");
    EXPECT_TRUE(lone.ShortRoute);
    EXPECT_EQ(lone.Status, StatusSaveable);
    EXPECT_EQ(lone.EscapeRoute[0], IndexOf("F17"));
    EXPECT_EQ(lone.EscapeRoute[1], IndexOf("E17"));
    EXPECT_EQ(lone.EscapeRoute[2], IndexOf("D17"));  // next to the safe group
    EXPECT_EQ(lone.EscapeRoute[3], -1);
}

TEST_F(GraphTest, LookUpsNameWhatIsMissing) {
    SetPosition(kCornerWithEyes);
    EXPECT_FALSE(Engine.Graph->BuiltFor(Engine.Fields.Spielfeld));
    TGoGraph& g = Build();
    // The graph knows which position it describes; a stone more and it describes none.
    EXPECT_TRUE(g.BuiltFor(Engine.Fields.Spielfeld));
    TBoard changed = Engine.Fields.Spielfeld;
    changed[IndexOf("K10")] = 1;
    EXPECT_FALSE(g.BuiltFor(changed));
    EXPECT_EQ(g.GroupAtPoint(IndexOf("A19")), nullptr);
    EXPECT_EQ(g.GroupAtPoint(-20), nullptr);
    EXPECT_EQ(test::ErrorOf([&] { (void)g.FindGroupOfStone(IndexOf("A19")); }),
              "EObrGroupNotFound (342)");
    EXPECT_EQ(test::ErrorOf([&] { (void)g.FindChain(5); }), "EObrChainNotFound (5)");
}

TEST(GraphRecords, EyeCandidatesKeepTheirDistance) {
    TGoGroup g;
    const int k10 = PointIndex(9, 9);
    TGoGraph::AddEyeCandidate(g, k10);
    TGoGraph::AddEyeCandidate(g, k10);
    EXPECT_EQ(g.Auge1, k10);
    TGoGraph::AddEyeCandidate(g, PointIndex(11, 9));  // same row, two away
    EXPECT_EQ(g.Auge2, -1);
    TGoGraph::AddEyeCandidate(g, PointIndex(9, 7));  // same column, two away
    EXPECT_EQ(g.Auge2, -1);
    TGoGraph::AddEyeCandidate(g, PointIndex(12, 9));  // three away
    EXPECT_EQ(g.Auge2, PointIndex(12, 9));
    TGoGroup d;
    TGoGraph::AddEyeCandidate(d, k10);
    TGoGraph::AddEyeCandidate(d, PointIndex(10, 10));  // diagonal neighbour
    EXPECT_EQ(d.Auge2, PointIndex(10, 10));
}

TEST_F(GraphTest, ProgressIsShownStageByStageAndTheDumpIsWrittenWhenAskedFor) {
    SetPosition(kCornerWithEyes);
    const test::TTempHome home;
    Engine.Settings.KettenProtokollieren = true;
    Analyse(Engine, TAnalysisStage::Areas);
    ASSERT_GT(Host.Status.size(), 2u);
    EXPECT_EQ(Host.Status.front(), "Neuronale Klassifizierung ...");
    EXPECT_EQ(Host.Status.back(), "Strategische Werte werden ermittelt ...");
    EXPECT_EQ(test::ReadBytes(home / "ketten.txt"), Engine.Graph->DumpText());
}

// Any position of stones, legal-looking or not.
TBoard RandomPosition(std::mt19937& rng, double density) {
    TBoard b{};
    std::uniform_real_distribution<double> u(0.0, 1.0);
    for (int32_t& v : b)
        if (u(rng) < density) v = u(rng) < 0.5 ? 1 : -1;
    return b;
}

// Every stone in one group of its colour and one chain; the record counts stay put when the same
// position is built again, and the result is the same.
void ExpectConsistentGraph(TEngine& engine) {
    const TGoGraph& g = *engine.Graph;
    const TBoardFields& f = engine.Fields;
    int stones = 0, grouped = 0;
    for (int p = 0; p < PointCount; ++p) {
        if (f.Spielfeld[p] == 0) {
            EXPECT_EQ(g.GroupAtPoint(p), nullptr);
            continue;
        }
        ++stones;
        const TGoGroup* group = g.GroupAtPoint(p);
        ASSERT_NE(group, nullptr) << p;
        EXPECT_EQ(group->Typ, f.Spielfeld[p]);
        EXPECT_EQ(g.FindChain(f.Namensfeld[p]).Group, group);
    }
    for (const TGoGroup* group = g.Groups(); group != nullptr; group = group->next) {
        grouped += group->Anzahl;
        EXPECT_GT(group->Anzahl, 0);
        EXPECT_LE(group->Status, 3);
        for (const int32_t r : group->EscapeRoute) EXPECT_TRUE(r >= -1 && r < PointCount);
    }
    for (const TGoChain* c = g.Chains(); c != nullptr; c = c->next) {
        EXPECT_TRUE(c->DefenseMove >= -1 && c->DefenseMove < PointCount);
        EXPECT_TRUE(c->AttackMove >= -1 && c->AttackMove < PointCount);
    }
    EXPECT_EQ(grouped, stones);
}

TEST_F(GraphTest, RandomPositionsOfEveryDensityBuildConsistently) {
    std::mt19937 rng(2026);
    for (int i = 0; i < 50; ++i) {
        Engine.Fields.Spielfeld = RandomPosition(rng, i / 49.0);
        SCOPED_TRACE(test::ToDiagram(Engine.Fields.Spielfeld));
        UseDeterministicClock(Engine);
        ASSERT_NO_THROW(Analyse(Engine, TAnalysisStage::Areas));
        ExpectConsistentGraph(Engine);
        if (i % 10 != 0) continue;
        // Built again: the same records, the same graph.
        const std::string first = Engine.Graph->DumpText();
        const size_t records = Engine.Graph->RecordsCreated();
        UseDeterministicClock(Engine);
        Analyse(Engine, TAnalysisStage::Areas);
        EXPECT_EQ(Engine.Graph->RecordsCreated(), records);
        EXPECT_EQ(Engine.Graph->DumpText(), first);
    }
    ExpectPoolBalanced();
}

TEST_F(GraphTest, NeutralAndStrategyFields) {
    TBoard neutral{};
    Build();
    ComputeNeutralField(*Engine.Graph, Engine.Fields.Spielfeld, neutral);
    for (const int32_t v : neutral) EXPECT_EQ(v, 1);
    // Without patterns, which would connect the lone stone to the safe group, it stays weak.
    Engine.Patterns.Tree.Clear();
    SetPosition(kCornerWithEyes);
    TGoGraph& g = Build();
    ComputeNeutralField(g, Engine.Fields.Spielfeld, neutral);
    for (const int32_t v : neutral) EXPECT_EQ(v, 0);
    // The safe group has no strategic value; the lone stone spreads its own 38 steps.
    EXPECT_EQ(GroupAt("B19").StrategieWert, 0);
    const TBoard& strategy = Engine.Fields.Strategiefeld;
    EXPECT_GT(strategy[IndexOf("F17")], GroupAt("F17").StrategieWert);
    EXPECT_GT(strategy[IndexOf("T1")], 0);
    // The living stones make up the score field's source.
    EXPECT_EQ(g.LivingMap[IndexOf("B19")], 1);
    EXPECT_EQ(g.LivingMap[IndexOf("A19")], 0);
    EXPECT_GT(g.ScoreField[IndexOf("A19")], 0);
}

// With every classifier field at 0 the estimate calls every group dead; only the correction
// pass lifts one. Chains of three liberties in the open lie beyond the reader's horizon: it
// answers "saved" and "not captured" for them, which proves nothing about life, so they stay
// dead; and a chain that no attack captures needs no saving move (any move would "save" it, and
// the search would spend moves on it). A stone on the edge with two liberties is in a real fight
// (captured when the opponent moves first, saved when its owner does): its group can be saved.
TEST_F(GraphTest, ReadingLiftsADeadGroupOnlyForWhatItProves) {
    Engine.Patterns.Tree.Clear();
    SetPosition(test::FromPoints("O K10 J1 X K1"));
    Build();
    const TGoChain& open = Engine.Graph->FindChain(IndexOf("K10"));
    EXPECT_EQ(open.DefenseMove, -1);
    EXPECT_EQ(open.AttackMove, -1);
    EXPECT_EQ(GroupAt("K10").Status, StatusDead);
    const TGoChain& edge = Engine.Graph->FindChain(IndexOf("K1"));
    EXPECT_GE(edge.AttackMove, 0);
    EXPECT_GE(edge.DefenseMove, 0);
    EXPECT_EQ(GroupAt("K1").Status, StatusSaveable);
}

// A dead group gets out only by a capturing race: beside an enemy that can be captured (the
// stone on the edge falls to a ladder along it) it can be saved; beside one the reader cannot
// capture it stays dead. Contact makes the groups enemies.
TEST_F(GraphTest, ADeadGroupIsSaveableOnlyBesideACapturableEnemy) {
    Engine.Patterns.Tree.Clear();
    std::istringstream contact("[xo] 14\n");
    ASSERT_EQ(ReadPatterns(Engine.Patterns.Tree, contact, "contact").Records, 1);
    SetPosition(test::FromPoints("X K11 K1 O K10 K2"));
    Build();
    EXPECT_GE(Engine.Graph->FindChain(IndexOf("K1")).AttackMove, 0);
    EXPECT_EQ(GroupAt("K2").Status, StatusSaveable);
    EXPECT_EQ(Engine.Graph->FindChain(IndexOf("K11")).AttackMove, -1);
    EXPECT_EQ(GroupAt("K10").Status, StatusDead);
}

// The group status of the present engine against the classic one, on finished positions with the
// shipped classifier: a block without eye space inside the opponent's wall is dead and the wall
// around it safe, where the classic engine leaves both in the fight (the block has liberties
// enough, and the wall is what its rules call saveable); two eyes live in both engines.
TEST_F(GraphTest, FinishedPositionsInThePresentAndTheClassicEngine) {
    const auto analyse = [&](const TBoard& board, bool classic) {
        Engine.Settings.KlassischeEngine = classic;
        Engine.Fields.Spielfeld = board;
        Analyse(Engine, TAnalysisStage::Areas);
    };
    analyse(test::DeadBlock, false);
    EXPECT_EQ(GroupAt("N8").Status, StatusDead);
    EXPECT_EQ(GroupAt("L8").Status, StatusSafe);
    analyse(test::DeadBlock, true);
    EXPECT_EQ(GroupAt("N8").Status, StatusSaveable);
    EXPECT_EQ(GroupAt("L8").Status, StatusSaveable);
    analyse(test::TwoEyes, true);
    EXPECT_EQ(GroupAt("D12").Status, StatusSafe);
    analyse(test::TwoEyes, false);
    EXPECT_EQ(GroupAt("D12").Status, StatusSafe);
    EXPECT_EQ(GroupAt("K10").Status, StatusSafe);  // Black's wall around it
}

}  // namespace
}  // namespace obrin
