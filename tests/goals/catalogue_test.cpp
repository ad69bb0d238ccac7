// The goal catalogue, the engine's manager and the move driver on real positions: what each goal
// expands into, which found goals are linked again, the permanent goals across resets, and the
// driver's answers (never an illegal move; a pass for the pass goal; a stop while thinking).
#include "goals/catalogue.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "analysis/graph.h"
#include "board/chains.h"
#include "board/errors.h"
#include "game/analyse.h"
#include "game/engine.h"
#include "game/movedriver.h"
#include "tools/randomgames.h"
#include "support/diagram.h"
#include "support/tempdir.h"
#include "tactics/treppe.h"

namespace obrin {
namespace {

std::vector<std::string> GoalNames(const TRuleManager& manager) {
    std::vector<std::string> names;
    for (TGoal* g = manager.FirstGoal(); g != nullptr; g = TRuleManager::NextGoal(*g))
        names.push_back(g->Name());
    return names;
}

std::vector<std::string> SuperNames(const TGoal& goal) {
    std::vector<std::string> names;
    for (const TGoal* s : GoalsOf(goal.SuperGoals)) names.push_back(s->Name());
    return names;
}

// The goals directly under parent, by name.
std::vector<std::string> SubNames(const TRuleManager& manager, const TGoal& parent) {
    std::vector<std::string> names;
    for (TGoal* g = manager.FirstGoal(); g != nullptr; g = TRuleManager::NextGoal(*g))
        if (ContainsGoal(g->SuperGoals, &parent)) names.push_back(g->Name());
    return names;
}

bool Has(const std::vector<std::string>& names, const std::string& name) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

std::string Pt(int x, int y) {
    return std::to_string(PointIndex(x, y));
}

class Catalogue : public ::testing::Test {
  protected:
    void SetUp() override {
        m_engine = std::make_unique<TEngine>(m_host);
        m_engine->Settings.Zufall = false;
        m_engine->Settings.KlassischeEngine = true;  // the goals as the catalogue makes them
        m_engine->Clock.SetDeterministic(true);
        Manager().Debugger = &m_engine->GoalDebugger();
    }
    void TearDown() override {
        m_engine->Shutdown();
        m_engine.reset();
    }

    TObrinRuleManager& Manager() { return *m_engine->RuleManager; }
    TEngine& Engine() { return *m_engine; }

    // Sets the position and analyses it; the goals of an earlier position go.
    void Position(const std::string& diagram) {
        Engine().Fields.Spielfeld = test::FromDiagram(diagram);
        Manager().ResetGoals();
        Analyse(Engine(), TAnalysisStage::All);
    }
    TGoChain& ChainAt(int x, int y) {
        return Engine().Graph->FindChain(Engine().Fields.Namensfeld[PointIndex(x, y)]);
    }
    template <class G>
    G& ChainGoal(int x, int y, uint8_t status) {
        TGoChain& chain = ChainAt(x, y);
        chain.Group->Status = status;
        return Manager().CreateGoal<G>(chain.Name, &chain);
    }

    test::TTempHome m_home;
    IHost m_host;
    std::unique_ptr<TEngine> m_engine;
};

TEST_F(Catalogue, PermanentGoalsSurviveEveryResetInFlippingOrder) {
    const std::vector<std::string> startOrder{"GEBIET-EROBERN", "NEUTRALZUG", "VERZICHTEN"};
    EXPECT_EQ(GoalNames(Manager()), startOrder);
    Manager().CreateGoal<TGoalBesetzen>(5);
    for (TGoal* g = Manager().FirstGoal(); g != nullptr; g = TRuleManager::NextGoal(*g))
        g->Active = false;
    Manager().ResetGoals();
    const std::vector<std::string> flipped{"VERZICHTEN", "NEUTRALZUG", "GEBIET-EROBERN"};
    EXPECT_EQ(GoalNames(Manager()), flipped) << "the transient goal went, the order flipped";
    for (TGoal* g = Manager().FirstGoal(); g != nullptr; g = TRuleManager::NextGoal(*g))
        EXPECT_TRUE(g->Active);
    Manager().ResetGoals();
    EXPECT_EQ(GoalNames(Manager()), startOrder);
}

TEST_F(Catalogue, AChainInAtariIsSavedOnItsLibertyAndASafeOneOnlyByItsRescues) {
    Position(
        ". O . .\n"
        "O X O .\n"
        ". . . .\n");
    auto& save = ChainGoal<TGoalKetteRetten>(1, 17, 1);
    save.Expand();
    const std::string atari = "ATARI-RETTEN " + std::to_string(save.ChainNo) + " " + Pt(1, 16);
    const auto subs = SubNames(Manager(), save);
    ASSERT_TRUE(Has(subs, atari));
    for (const char* kind : {"FORMZUG ", "FLUCHTZUG ", "ANBINDEN "})
        EXPECT_TRUE(Has(subs, kind + std::to_string(save.ChainNo))) << kind;
    TGoal& rescue = *Manager().FindGoal(atari);
    rescue.Expand();
    EXPECT_EQ(SubNames(Manager(), rescue), std::vector<std::string>{"BESETZEN " + Pt(1, 16)});

    Manager().ResetGoals();
    auto& safe = ChainGoal<TGoalKetteRetten>(1, 17, 3);
    safe.Expand();
    EXPECT_FALSE(SubNames(Manager(), safe).empty());
    for (const std::string& name : SubNames(Manager(), safe))
        EXPECT_TRUE(name.rfind("ATARI-RETTEN ", 0) == 0 || name.rfind("MUSTERZUG ", 0) == 0)
            << name;
}

TEST_F(Catalogue, ALadderGivesTheMoveThatStartsIt) {
    Position(
        ". . . . . . . . .\n"
        ". . . . . . . . .\n"
        ". . . X . . . . .\n"
        ". . X O . . . . .\n"
        ". . . . X . . . .\n"
        ". . . . . . . . .\n");
    const TBoardFields& f = Engine().Fields;
    TPooledList ladder(Engine().Pool);
    ASSERT_GT(LadderMoves(Engine().Reader, 3, 15, f.Spielfeld, f.KoX, f.KoY, *ladder), 0);
    auto& capture = ChainGoal<TGoalKetteFangen>(3, 15, 2);
    capture.Expand();
    const auto subs = SubNames(Manager(), capture);
    for (const TPoint& m : *ladder)
        EXPECT_TRUE(
            Has(subs, "TREPPENZUG " + std::to_string(capture.ChainNo) + " " + Pt(m.X, m.Y)));
    EXPECT_TRUE(Has(subs, "KETTE-EINSCHLIESSEN " + std::to_string(capture.ChainNo)));
    EXPECT_TRUE(Has(subs, "ABSCHNEIDEN " + std::to_string(capture.ChainNo)));
    // Every liberty legal for us is a liberty to take.
    EXPECT_TRUE(
        Has(subs, "FREIHEIT-WEGNEHMEN " + std::to_string(capture.ChainNo) + " " + Pt(4, 15)));
}

TEST_F(Catalogue, ASettledEnemyChainIsOnlyEnclosed) {
    Position(
        ". . . . .\n"
        ". . O . .\n"
        ". . . . .\n");
    auto& capture = ChainGoal<TGoalKetteFangen>(2, 17, 3);
    capture.Expand();
    const auto subs = SubNames(Manager(), capture);
    EXPECT_TRUE(Has(subs, "KETTE-EINSCHLIESSEN " + std::to_string(capture.ChainNo)));
    for (const std::string& name : subs)
        EXPECT_TRUE(name.rfind("KETTE-EINSCHLIESSEN ", 0) == 0 || name.rfind("MUSTERZUG ", 0) == 0)
            << name;
}

TEST_F(Catalogue, AnEyeShapeGivesEyeMoves) {
    Position(
        "X X X X . .\n"
        ". . . X . .\n"
        "X X X X . .\n"
        ". . . . . .\n");
    TGoGroup& group = *ChainAt(0, 18).Group;
    group.Status = 1;
    auto& eyes = Manager().CreateGoal<TGoalAugenMachen>(group);
    eyes.Expand();
    const auto subs = SubNames(Manager(), eyes);
    ASSERT_FALSE(subs.empty());
    for (const std::string& name : subs) EXPECT_EQ(name.rfind("AUGENZUG ", 0), 0u) << name;
    // The eye space itself is where eyes are made.
    EXPECT_TRUE(Has(subs, "AUGENZUG " + Pt(0, 17)) || Has(subs, "AUGENZUG " + Pt(1, 17)) ||
                Has(subs, "AUGENZUG " + Pt(2, 17)));
}

TEST_F(Catalogue, FoundGoalsAreLinkedAgainOrNotAsTheirKindSays) {
    // Two own groups next to one unsettled enemy: both rescues propose capturing it, and the
    // capture goal serves both. A connection goal created by a chain rescue is not linked again
    // by the ladder goal of that chain.
    Position(
        ". . . . . . .\n"
        ". X . . . X .\n"
        ". . . O . . .\n"
        ". . . . . . .\n");
    TGoGroup& left = *ChainAt(1, 17).Group;
    TGoGroup& right = *ChainAt(5, 17).Group;
    TGoGroup& enemy = *ChainAt(3, 16).Group;
    left.Status = right.Status = 3;
    enemy.Status = 2;
    Engine().Graph->AddEnemies(left, enemy);
    Engine().Graph->AddEnemies(right, enemy);
    auto& saveLeft = Manager().CreateGoal<TGoalRetten>(left);
    auto& saveRight = Manager().CreateGoal<TGoalRetten>(right);
    saveLeft.Expand();
    saveRight.Expand();
    const TGoal* capture = Manager().FindGoal("FANGEN " + std::to_string(enemy.Name));
    ASSERT_NE(capture, nullptr);
    EXPECT_EQ(SuperNames(*capture).size(), 2u);

    auto& save = ChainGoal<TGoalKetteRetten>(1, 17, 1);
    save.Expand();
    auto& ladder = Manager().CreateGoal<TGoalTreppeVerhindern>(save.ChainNo, save.Chain);
    ladder.Expand();
    const TGoal* connect = Manager().FindGoal("ANBINDEN " + std::to_string(save.ChainNo));
    ASSERT_NE(connect, nullptr);
    EXPECT_EQ(SuperNames(*connect), std::vector<std::string>{save.Name()});
}

TEST_F(Catalogue, ATerritoryPointBetweenLivingGroupsOnlyFillsIn) {
    Position(
        ". . . . . . .\n"
        ". X . . . . .\n"
        ". . . . . . .\n");
    auto& value = Engine().Container->Feldbewertung;
    value.fill(-1.0);
    const int p = PointIndex(2, 17), q = PointIndex(4, 16);
    value[p] = value[q] = 10.0 / 60.0;
    ChainAt(1, 17).Group->Status = 3;
    auto& conquer = static_cast<TGoalGebietErobern&>(*Manager().FindGoal("GEBIET-EROBERN"));
    conquer.Expand();
    const auto* fill =
        dynamic_cast<TGoalGebietszug*>(Manager().FindGoal("GEBIETSZUG " + Pt(2, 17)));
    const auto* open =
        dynamic_cast<TGoalGebietszug*>(Manager().FindGoal("GEBIETSZUG " + Pt(4, 16)));
    ASSERT_NE(fill, nullptr);
    ASSERT_NE(open, nullptr);
    EXPECT_EQ(fill->TerritoryClass, -1);
    EXPECT_DOUBLE_EQ(value[p], 0.15);
    EXPECT_EQ(open->TerritoryClass, 0);
    EXPECT_EQ(SubNames(Manager(), conquer).size(), 2u) << "classes below 0 give no goal";
}

TEST_F(Catalogue, TheSearchPassesOverAnOccupiedPointToThePass) {
    Engine().Fields.Spielfeld[PointIndex(3, 3)] = -1;
    Manager().ResetGoals();
    Manager().CreateGoal<TGoalBesetzen>(PointIndex(3, 3));
    TGoal* best = Manager().Search(nullptr);
    ASSERT_NE(best, nullptr);
    EXPECT_EQ(best->Name(), "BESETZEN -1");
    EXPECT_FALSE(Manager().FindGoal("BESETZEN " + Pt(3, 3))->Active) << "it was chosen";
    EXPECT_EQ(Manager().GoalTree(*best), (std::vector<std::string>{"BESETZEN -1", " VERZICHTEN"}));
}

TEST_F(Catalogue, TheComputerNeverAnswersAnIllegalMove) {
    static std::vector<TBoard> positions;
    positions.clear();
    (void)PlayRandomGames(1, 7, [](const TBoard& b) { positions.push_back(b); });
    int moves = 0;
    for (size_t i = 20; i < positions.size(); i += 40) {
        Engine().Fields.Spielfeld = positions[i];
        const TPoint m = ComputerMove(Engine());
        if (m == PassPoint) continue;
        ++moves;
        TBoardFields& f = Engine().Fields;
        EXPECT_TRUE(IsLegal(m.X, m.Y, 1, f.KoX, f.KoY, f.Spielfeld)) << i;
        EXPECT_FALSE(Engine().LastGoalTree.empty());
    }
    EXPECT_GT(moves, 0);
    EXPECT_EQ(Manager().CountLentNodes(), 0);
}

class LockedHost : public IHost {
  public:
    bool IsLocked() override { return true; }
};

TEST(MoveDriver, AStopWhileThinkingEndsTheSearchWithoutAMove) {
    const test::TTempHome home;
    LockedHost host;
    TEngine engine(host);
    EXPECT_THROW((void)ComputerMove(engine), EObrinStopped);
}

TEST(MoveDriver, TheGradientIsZeroOnStonesAndInClosedPoints) {
    IHost host;
    TEngine engine(host);
    engine.Fields.Spielfeld = test::FromDiagram(
        ". X . .\n"
        "X . . .\n");
    engine.Fields.Feldstaerkefeld.fill(0);
    engine.Fields.Feldstaerkefeld[PointIndex(0, 18)] = 500;
    engine.Fields.Feldstaerkefeld[PointIndex(2, 17)] = 40;
    engine.Fields.Feldstaerkefeld[PointIndex(1, 18)] = 900;
    ComputeGradient(engine);
    const TBoard& g = engine.Container->Gradient;
    EXPECT_EQ(g[PointIndex(1, 18)], 0) << "a stone";
    EXPECT_EQ(g[PointIndex(0, 18)], 0) << "no empty neighbour";
    EXPECT_EQ(g[PointIndex(2, 17)], 40) << "the steepest step to an empty neighbour";
}

// The trace is debug.txt in the program's folder, rewritten for every move while the setting
// is on.
TEST_F(Catalogue, EveryMoveRewritesTheTraceWithTheGoalsAndEachChoice) {
    Engine().Settings.ZieleProtokollieren = true;
    (void)ComputerMove(Engine());
    (void)ComputerMove(Engine());
    const std::string trace = test::ReadBytes(m_home / "debug.txt");
    const std::string stars(61, '*');
    const std::string banner =
        "\r\n" + stars + "\r\n* Neues Ziel" + std::string(48, ' ') + "*\r\n" + stars + "\r\n\r\n";
    ASSERT_EQ(trace.rfind(banner, 0), 0u) << "the file holds the last move only";
    EXPECT_EQ(trace.find(banner, 1), std::string::npos);
    const size_t list = trace.find("Vorhandene Ziele:\r\n");
    ASSERT_NE(list, std::string::npos);
    EXPECT_NE(trace.find("GEBIET-EROBERN\r\n", list), std::string::npos);
    EXPECT_NE(trace.find("\r\n\r\nVergleich ", list), std::string::npos) << trace;
    EXPECT_NE(trace.find("\r\nBestes Ziel:  ", list), std::string::npos) << trace;
    const std::string last = "Bestes Ziel:  " + Engine().LastGoalTree.front() + "\r\n";
    EXPECT_EQ(trace.substr(trace.size() - last.size()), last);
}

}  // namespace
}  // namespace obrin
