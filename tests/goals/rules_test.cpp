#include "goals/rules.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <string>
#include <vector>

#include "analysis/graph.h"
#include "board/chains.h"
#include "game/engine.h"
#include "goals/catalogue.h"
#include "goals/goaldbg.h"
#include "goals/obrinmanager.h"
#include "support/diagram.h"
#include "support/tempdir.h"
#include "tactics/tactics_fixture.h"

namespace obrin {
namespace {

using test::FromDiagram;
using test::IndexOf;

int Sign(int32_t v) {
    return v > 0 ? 1 : v < 0 ? -1 : 0;
}

// Goals made in the engine's rule manager over groups and chains that the test writes itself, so
// that every field a rule reads is set on purpose.
class RulesTest : public ::testing::Test {
  protected:
    RulesTest() {
        Engine.Settings.KlassischeEngine = true;  // the rules as the catalogue has them
        Manager.Debugger = &Trace;
    }

    // The rule registered under name (the first of a double registration).
    TRule& Rule(const std::string& name) {
        for (auto& rule : Rules)
            if (rule->ClassName() == name) return *rule;
        throw std::runtime_error("no rule " + name);
    }
    int Vote(const std::string& rule, TGoal& a, TGoal& b) {
        Manager.TransitiveBusy = false;
        return Sign(Rule(rule).Compare(a, b));
    }
    // The vote on (a, b), and its negation on the mirrored pair.
    void ExpectVote(const std::string& rule, TGoal& a, TGoal& b, int expected) {
        EXPECT_EQ(Vote(rule, a, b), expected) << rule << " on " << a.Name() << ", " << b.Name();
        EXPECT_EQ(Vote(rule, b, a), -expected) << rule << " on " << b.Name() << ", " << a.Name();
    }
    int Compare(TGoal& a, TGoal& b) {
        Manager.TransitiveBusy = false;
        return Manager.CompareGoals(a, b);
    }

    TGoGroup& Group(int name, uint8_t status, int value = 0, int stones = 1) {
        TGoGroup& g = m_groups.emplace_back();
        g.Name = name;
        g.Status = status;
        g.StrategieWert = value;
        g.Anzahl = stones;
        return g;
    }
    TGoChain* Chain(int name, TGoGroup* group, int liberties = 2) {
        TGoChain& c = m_chains.emplace_back();
        c.Name = name;
        c.Group = group;
        c.Liberties = liberties;
        return &c;
    }
    void SetPosition(const char* diagram) {
        Engine.Fields.Spielfeld = FromDiagram(diagram);
        ComputeNamensfeld(Engine.Fields);
        ComputeFreiheitsfeld(Engine.Fields.Spielfeld, Engine.Container->Freiheitsfeld,
                             Engine.Fields.Spielfeld);
    }
    double& Feldbewertung(const char* point) {
        return Engine.Container->Feldbewertung[IndexOf(point)];
    }
    std::vector<std::string> TraceLines() {
        std::vector<std::string> lines;
        std::string text = test::ReadBytes(m_dir / "debug.txt");
        for (size_t start = 0, end; (end = text.find("\r\n", start)) != std::string::npos;
             start = end + 2)
            lines.push_back(text.substr(start, end - start));
        return lines;
    }

    test::TScriptedHost Host;
    test::TTempDir m_dir;
    bool TraceOn = false;
    TGoalDebugger Trace{m_dir / "debug.txt", TraceOn};
    std::deque<TGoGroup> m_groups;
    std::deque<TGoChain> m_chains;
    TEngine Engine{Host};
    TObrinRuleManager Manager{Engine};
    std::vector<std::unique_ptr<TRule>> Rules = MakeRules();
};

// ---- precedence: X before Y whatever else holds, no vote on other pairs. The rows whose kinds
// are one class each only restate the table; these are the ones whose kinds are made up of
// several classes or a pattern number.

TEST_F(RulesTest, PrecedenceOfKinds) {
    TGoGroup& g = Group(7, StatusSaveable);
    TGoChain* c = Chain(40, &g);
    TGoal& gebiet = *Manager.FindGoal("GEBIET-EROBERN");
    TGoal& neutral = *Manager.FindGoal("NEUTRALZUG");
    TGoal& retten = Manager.CreateGoal<TGoalRetten>(g);
    TGoal& ketteRetten = Manager.CreateGoal<TGoalKetteRetten>(40, c);
    TGoal& ketteFangen = Manager.CreateGoal<TGoalKetteFangen>(41, nullptr);
    TGoal& treppeVerhindern = Manager.CreateGoal<TGoalTreppeVerhindern>(40, c);
    TGoal& vermehren = Manager.CreateGoal<TGoalFreiheitenVermehren>(40, 61, c);
    TGoal& augenMachen = Manager.CreateGoal<TGoalAugenMachen>(g);
    TGoal& muster = Manager.CreateGoal<TGoalMusterzug>(100, 64, 0);
    TGoal& muster71 = Manager.CreateGoal<TGoalMusterzug>(71, 66, 0);
    TGoal& muster184 = Manager.CreateGoal<TGoalMusterzug>(184, 67, 0);
    TGoal& muster355 = Manager.CreateGoal<TGoalMusterzug>(355, 68, 0);
    TGoal& escapeS = Manager.CreateGoal<TGoalEscapeMoveS>(69, 40, c);
    TGoal& escapeW = Manager.CreateGoal<TGoalEscapeMoveW>(70, 45, nullptr);
    TGoal& besetzen = Manager.CreateGoal<TGoalBesetzen>(71);

    const struct {
        const char* Rule;
        TGoal& First;
        TGoal& Second;
    } cases[] = {
        {"TRuleM71_M184", muster71, muster184},
        {"TRuleRKrFKf3", retten, ketteFangen},
        {"TRuleTreppeVerhindern", treppeVerhindern, gebiet},
        {"TRuleTreppeVerhindern", treppeVerhindern, vermehren},
        {"TRuleMusterzugAllgemein", muster, augenMachen},
        {"TRuleMusterzugAllgemein", muster, vermehren},
        {"TRuleBesetzenGoal", besetzen, muster},
        {"TRuleEscapeMove_M355", escapeW, muster355},
        {"TRuleEscapeMoveKette", ketteRetten, escapeS},
        {"TRuleEscapeMoveKette", ketteFangen, escapeW},
    };
    for (const auto& row : cases) ExpectVote(row.Rule, row.First, row.Second, 1);

    // Pairs outside a rule's kinds get no vote, nor do two goals of the first kind.
    ExpectVote("TRuleM71_M184", muster71, muster, 0);
    ExpectVote("TRuleEscapeMove_M355", escapeS, muster, 0);
    ExpectVote("TRuleRKrFKf3", retten, augenMachen, 0);
    ExpectVote("TRuleTreppeVerhindern", treppeVerhindern, neutral, 0);
    ExpectVote("TRuleBesetzenGoal", besetzen, Manager.CreateGoal<TGoalBesetzen>(72), 0);
}

// ---- values at the goals' points

TEST_F(RulesTest, PointValuesHigherFirstAndNoVoteOffTheBoard) {
    TGoal& high = Manager.CreateGoal<TGoalBesetzen>(IndexOf("D4"));
    TGoal& low = Manager.CreateGoal<TGoalBesetzen>(IndexOf("Q16"));
    TGoal& pass = Manager.CreateGoal<TGoalBesetzen>(-1);
    Feldbewertung("D4") = 0.7;
    Feldbewertung("Q16") = 0.3;
    ExpectVote("TRuleNeuralVorschlag", high, low, 1);
    ExpectVote("TRuleNeuralVorschlag", high, pass, 0);
    // An escape move's point is its own, not its chain's.
    TGoal& escape = Manager.CreateGoal<TGoalEscapeMoveW>(IndexOf("Q16"), 3, nullptr);
    TGoal& escapeOff = Manager.CreateGoal<TGoalEscapeMoveS>(-1, 4, nullptr);
    TGoal& escapeHigh = Manager.CreateGoal<TGoalEscapeMoveS>(IndexOf("D4"), 4, nullptr);
    ExpectVote("TRuleEscapeMove", escapeHigh, escape, 1);
    ExpectVote("TRuleEscapeMove", escapeOff, escape, 0);

    // Territory moves: Feldstaerkefeld lower first, the territory value only on the board, the
    // gradient computed around the point.
    TGoal& t1 = Manager.CreateGoal<TGoalGebietszug>(IndexOf("D4"), 5, 0.5);
    TGoal& t2 = Manager.CreateGoal<TGoalGebietszug>(IndexOf("Q16"), 5, 0.4);
    TGoal& tOff = Manager.CreateGoal<TGoalGebietszug>(-1, 5, 0.9);
    Engine.Fields.Feldstaerkefeld[IndexOf("Q16")] = 30;
    ExpectVote("TRuleGebietszug6", t1, t2, 1);
    ExpectVote("TRuleGebietszug7", t1, t2, 1);
    ExpectVote("TRuleGebietszug7", tOff, t2, 0);
    ExpectVote("TRuleGebietszug2", t1, t2, -1);  // Q16 stands out from its neighbours
}

TEST_F(RulesTest, EyeMovesWithinAGroupByTerritoryBetweenGroupsByValue) {
    TGoGroup& weak = Group(1, StatusSaveable, 10);
    TGoGroup& strong = Group(2, StatusSaveable, 20);
    TGoal& a = Manager.CreateGoal<TGoalAugenzug>(IndexOf("C3"), weak);
    TGoal& b = Manager.CreateGoal<TGoalAugenzug>(IndexOf("D3"), weak);
    TGoal& c = Manager.CreateGoal<TGoalAugenzug>(IndexOf("E3"), strong);
    Feldbewertung("C3") = 0.9;
    Feldbewertung("E3") = 0.1;
    ExpectVote("TRuleAugenzug4", a, b, 1);
    ExpectVote("TRuleAugenzug4", c, a, 1);
    ExpectVote("TRuleAugenzug1", a, c, 1);
}

// ---- group and chain attributes

TEST_F(RulesTest, GroupAndChainAttributes) {
    TGoGroup& dead = Group(1, StatusDead, 50, 9);
    TGoGroup& unsettled = Group(2, StatusAttackable, 10, 3);
    TGoGroup& safe = Group(3, StatusSafe, 30, 5);
    TGoal& rDead = Manager.CreateGoal<TGoalRetten>(dead);
    TGoal& fUnsettled = Manager.CreateGoal<TGoalFangen>(unsettled);
    TGoal& rUnsettled = Manager.CreateGoal<TGoalRetten>(unsettled);
    TGoal& rSafe = Manager.CreateGoal<TGoalRetten>(safe);
    ExpectVote("TRuleGoalGoal1", fUnsettled, rDead, 1);
    ExpectVote("TRuleGoalGoal1", rUnsettled, rSafe, 1);
    ExpectVote("TRuleGoalGoal1", rDead, rSafe, 0);
    ExpectVote("TRuleRetten2", rSafe, rUnsettled, 1);
    ExpectVote("TRuleRetten2", rSafe, fUnsettled, 0);

    TGoChain* c1 = Chain(40, &unsettled, 1);
    TGoChain* c2 = Chain(41, &safe, 3);
    TGoChain* loose = Chain(42, nullptr, 2);
    c1->ResponseLiberties = 1;
    c2->ResponseLiberties = 4;
    TGoal& k1 = Manager.CreateGoal<TGoalKetteRetten>(40, c1);
    TGoal& k2 = Manager.CreateGoal<TGoalKetteFangen>(41, c2);
    TGoal& k3 = Manager.CreateGoal<TGoalKetteRetten>(42, loose);
    ExpectVote("TRuleKetteKette1", k1, k2, 1);
    ExpectVote("TRuleKetteKette4", k2, k1, 1);
    ExpectVote("TRuleKetteKette4", k1, k3, 1);  // 10 against 0 without a group

    // Two enclosures: only when both chains have groups, and never between two safe groups.
    TGoal& e1 = Manager.CreateGoal<TGoalKetteEinschliessen>(40, c1);
    TGoal& e2 = Manager.CreateGoal<TGoalKetteEinschliessen>(41, c2);
    TGoal& e3 = Manager.CreateGoal<TGoalKetteEinschliessen>(42, loose);
    TGoal& e4 = Manager.CreateGoal<TGoalKetteEinschliessen>(43, Chain(43, &safe));
    ExpectVote("TRuleKetteEinschliessen", e1, e2, 1);
    ExpectVote("TRuleKetteEinschliessen", e1, e3, 0);
    ExpectVote("TRuleKetteEinschliessen", e2, e4, 0);
}

TEST_F(RulesTest, GroupGoalAgainstChainGoalByStatus) {
    TGoGroup& dead = Group(1, StatusDead);
    TGoGroup& alive = Group(2, StatusSaveable);
    TGoal& rAlive = Manager.CreateGoal<TGoalRetten>(alive);
    TGoal& rDead = Manager.CreateGoal<TGoalFangen>(dead);
    TGoal& kDead = Manager.CreateGoal<TGoalKetteFangen>(40, Chain(40, &dead));
    TGoal& kLoose = Manager.CreateGoal<TGoalKetteFangen>(41, Chain(41, nullptr));
    TGoal& kAlive = Manager.CreateGoal<TGoalKetteRetten>(42, Chain(42, &alive));
    ExpectVote("TRuleRKrFKf2", rAlive, kDead, 1);
    ExpectVote("TRuleRKrFKf2", rAlive, kLoose, 1);
    ExpectVote("TRuleRKrFKf2", rDead, kAlive, -1);
    ExpectVote("TRuleRKrFKf2", rDead, kLoose, 0);
    ExpectVote("TRuleRKrFKf2", rAlive, kAlive, 0);
}

TEST_F(RulesTest, ConditionalPrecedenceOfChainAndGroupMoves) {
    TGoGroup& low = Group(1, StatusSaveable, 10);
    TGoGroup& high = Group(2, StatusSafe, 20);
    TGoGroup& dead = Group(3, StatusDead, 5);
    TGoChain* cLow = Chain(40, &low);
    TGoChain* cHigh = Chain(41, &high);
    TGoChain* cLoose = Chain(42, nullptr);
    TGoal& vLow = Manager.CreateGoal<TGoalFreiheitenVermehren>(40, 1, cLow);
    TGoal& vHigh = Manager.CreateGoal<TGoalFreiheitenVermehren>(41, 2, cHigh);
    TGoal& vLoose = Manager.CreateGoal<TGoalFreiheitenVermehren>(42, 3, cLoose);
    TGoal& fluchtLow = Manager.CreateGoal<TGoalFluchtzug>(40, cLow);
    TGoal& fluchtHigh = Manager.CreateGoal<TGoalFluchtzug>(41, cHigh);
    ExpectVote("TRuleFreiheitenVermehrenFluchtzug", vHigh, fluchtLow, 1);
    ExpectVote("TRuleFreiheitenVermehrenFluchtzug", vLow, fluchtHigh, 0);
    ExpectVote("TRuleFreiheitenVermehrenFluchtzug", vLoose, fluchtLow, 0);

    TGoal& formLow = Manager.CreateGoal<TGoalFormzug>(40, cLow);
    TGoal& formHigh = Manager.CreateGoal<TGoalFormzug>(41, cHigh);
    TGoal& formLoose = Manager.CreateGoal<TGoalFormzug>(42, cLoose);
    ExpectVote("TRuleFormzugFreiheitenVermehren", formLow, vLow, 1);
    ExpectVote("TRuleFormzugFreiheitenVermehren", formLow, vHigh, 0);
    ExpectVote("TRuleFormzugFreiheitenVermehren", formLoose, vLoose, 0);  // no group to share
    ExpectVote("TRuleFormzugFluchtzug", formLow, fluchtLow, 1);
    ExpectVote("TRuleFormzugFluchtzug", formLow, fluchtHigh, 0);
    ExpectVote("TRuleFormzugFluchtzug", formLoose, fluchtHigh, 1);
    TGoal& aLow = Manager.CreateGoal<TGoalAnbinden>(40, cLow);
    TGoal& aHigh = Manager.CreateGoal<TGoalAnbinden>(41, cHigh);
    TGoal& aDead = Manager.CreateGoal<TGoalAnbinden>(43, Chain(43, &dead));
    TGoal& aLoose = Manager.CreateGoal<TGoalAnbinden>(42, cLoose);
    ExpectVote("TRuleFormzugAnbinden", formHigh, aLow, 1);
    ExpectVote("TRuleFormzugAnbinden", formLow, aHigh, -1);
    ExpectVote("TRuleFormzugAnbinden", formLoose, aHigh, 0);
    // The same chain first; the other pairs of kinds with this verdict go unasked.
    ExpectVote("TRuleAnbindenFreiheitenVermehren", aLow, vLow, 1);
    ExpectVote("TRuleAnbindenFreiheitenVermehren", aLow, vHigh, 0);

    TGoal& eyesLow = Manager.CreateGoal<TGoalAugenMachen>(low);
    TGoal& eyesDead = Manager.CreateGoal<TGoalAugenMachen>(dead);
    ExpectVote("TRuleAnbindenAugenMachen", aLow, eyesDead, 1);
    ExpectVote("TRuleAnbindenAugenMachen", aDead, eyesLow, -1);
    ExpectVote("TRuleAnbindenAugenMachen", aLoose, eyesLow, 0);
    TGoal& eyeMove = Manager.CreateGoal<TGoalAugenzug>(5, low);
    ExpectVote("TRuleAnbindenAugenzug", aHigh, eyeMove, 1);  // safe
    ExpectVote("TRuleAnbindenAugenzug", aLow, eyeMove, -1);  // can be saved
    ExpectVote("TRuleAnbindenAugenzug", aLoose, eyeMove, 0);

    TGoal& kLow = Manager.CreateGoal<TGoalKetteRetten>(40, cLow);
    TGoal& kHigh = Manager.CreateGoal<TGoalKetteFangen>(41, cHigh);
    ExpectVote("TRuleKetteAugenMachen", kLow, eyesLow, 1);
    ExpectVote("TRuleKetteAugenMachen", kHigh, eyesLow, -1);  // safe chain, unsettled eyes
    ExpectVote("TRuleKetteAugenMachen", kHigh, eyesDead, 1);

    TGoal& m15 = Manager.CreateGoal<TGoalMusterzug>(1, 7, 15);
    TGoal& m5 = Manager.CreateGoal<TGoalMusterzug>(2, 8, 5);
    ExpectVote("TRuleMusterzugAugenZug", m15, eyeMove, 1);
    ExpectVote("TRuleMusterzugAugenZug", m5, eyeMove, 0);
    TGoal& droher = Manager.CreateGoal<TGoalTreppenDroher>(40, 9, cLow);
    TGoal& zugLoose = Manager.CreateGoal<TGoalTreppenZug>(42, 10, cLoose);
    ExpectVote("TRuleMusterzugTreppendroher", m15, droher, 1);
    ExpectVote("TRuleMusterzugTreppendroher", Manager.CreateGoal<TGoalMusterzug>(3, 11, 10), droher,
               -1);  // equal is not enough
    ExpectVote("TRuleTreppendroherAugenMachen", droher, eyesLow, 1);
    ExpectVote("TRuleTreppendroherAugenMachen", droher, eyesDead, 0);
    ExpectVote("TRuleTreppenzugFreiheiten", zugLoose, vLow, 1);
    cLow->Liberties = 1;
    ExpectVote("TRuleTreppenzugFreiheiten", zugLoose, vLow, 0);
}

// Rules 37, 69, 84 and 85 read the group of a chain goal's chain: without one they abstain.
TEST_F(RulesTest, ChainsWithoutAGroupGetNoVote) {
    TGoGroup& g = Group(1, StatusSaveable, 10);
    TGoChain* loose = Chain(40, nullptr);
    TGoal& kLoose = Manager.CreateGoal<TGoalKetteRetten>(40, loose);
    TGoal& kNone = Manager.CreateGoal<TGoalKetteFangen>(41, nullptr);
    TGoal& eyes = Manager.CreateGoal<TGoalAugenMachen>(g);
    TGoal& gebiet = *Manager.FindGoal("GEBIET-EROBERN");
    ExpectVote("TRuleKetteAugenMachen", kLoose, eyes, 0);
    ExpectVote("TRuleKetteAugenMachen", kNone, eyes, 0);
    ExpectVote("TRuleGebietErobernKette", kLoose, gebiet, 0);
    ExpectVote("TRuleGebietErobernKette", kNone, gebiet, 0);
    TGoal& ladder = Manager.CreateGoal<TGoalTreppenZug>(50, 60, nullptr);
    ExpectVote("TRuleTreppenzugFluchtzug", ladder, Manager.CreateGoal<TGoalFluchtzug>(40, loose),
               0);
    ExpectVote("TRuleTreppenzugFormzug", ladder, Manager.CreateGoal<TGoalFormzug>(41, nullptr), 0);
}

TEST_F(RulesTest, ChainAgainstTerritoryByTheBestTerritoryClass) {
    TGoGroup& g = Group(1, StatusSaveable, 10);
    TGoal& chain = Manager.CreateGoal<TGoalKetteRetten>(40, Chain(40, &g));
    TGoal& gebiet = *Manager.FindGoal("GEBIET-EROBERN");
    Engine.Territory.MaxClass = 9;
    ExpectVote("TRuleGebietErobernKette", chain, gebiet, 1);
    Engine.Territory.MaxClass = 10;
    ExpectVote("TRuleGebietErobernKette", chain, gebiet, 0);
    Engine.Territory.MaxClass = 11;
    ExpectVote("TRuleGebietErobernKette", chain, gebiet, -1);
}

TEST_F(RulesTest, LadderOnAnEnemyOfTheFleeingGroup) {
    TGoGroup& own = Group(1, StatusSaveable);
    TGoGroup& enemy = Group(2, StatusSaveable);
    TGoStone stones[2] = {{100, nullptr}, {50, nullptr}};
    stones[0].next = &stones[1];
    enemy.Steine = &stones[0];
    TGoGroupLink link{&enemy, nullptr};
    own.Feinde = &link;
    TGoChain* c = Chain(40, &own);
    TGoal& flight = Manager.CreateGoal<TGoalFluchtzug>(40, c);
    TGoal& shape = Manager.CreateGoal<TGoalFormzug>(40, c);
    TGoal& onEnemy = Manager.CreateGoal<TGoalTreppenZug>(50, 60, nullptr);
    TGoal& elsewhere = Manager.CreateGoal<TGoalTreppenZug>(51, 61, nullptr);
    ExpectVote("TRuleTreppenzugFluchtzug", onEnemy, flight, 1);
    ExpectVote("TRuleTreppenzugFluchtzug", elsewhere, flight, 0);
    ExpectVote("TRuleTreppenzugFormzug", onEnemy, shape, 1);
}

// ---- the rules that read the position

TEST_F(RulesTest, LegalPointBeforeAnIllegalOneAndBeforeThePass) {
    SetPosition(R"(. O . .
                   O . . .
                   . . . .)");
    TGoal& suicide = Manager.CreateGoal<TGoalBesetzen>(IndexOf("A19"));
    TGoal& legal = Manager.CreateGoal<TGoalBesetzen>(IndexOf("C18"));
    TGoal& occupied = Manager.CreateGoal<TGoalBesetzen>(IndexOf("B19"));
    TGoal& pass = Manager.CreateGoal<TGoalBesetzen>(-1);
    TGoal& same = Manager.CreateGoal<TGoalBesetzen>(IndexOf("C18"));
    ExpectVote("TRuleLegal", legal, suicide, 1);
    ExpectVote("TRuleLegal", legal, occupied, 1);
    ExpectVote("TRuleLegal", legal, pass, 1);
    ExpectVote("TRuleLegal", suicide, pass, 0);
    // Two goals on one point: 1, 2 and 66 abstain.
    for (const char* rule : {"TRuleLegal", "TRuleNeuralVorschlag", "TRuleBesetzenGoal"})
        ExpectVote(rule, legal, same, 0);
    // The pass against a legal point: level 2 decides.
    EXPECT_EQ(Compare(pass, legal), -1);
    EXPECT_EQ(Engine.Fields.Spielfeld, FromDiagram(R"(. O . .
                                                       O . . .)"));
}

// White B19 has one liberty, A19: the rescue there captures it; White D18 has four.
TEST_F(RulesTest, TheRescueThatCapturesComesFirst) {
    SetPosition(R"(. O X . .
                   . X . O .)");
    TGoal& capture = Manager.CreateGoal<TGoalAtariRetten>(IndexOf("C19"), IndexOf("A19"), nullptr);
    TGoal& capture2 = Manager.CreateGoal<TGoalAtariRetten>(IndexOf("B18"), IndexOf("A19"), nullptr);
    TGoal& extend = Manager.CreateGoal<TGoalAtariRetten>(IndexOf("C19"), IndexOf("D19"), nullptr);
    TGoal& pass = Manager.CreateGoal<TGoalAtariRetten>(IndexOf("C19"), -1, nullptr);
    ExpectVote("TRuleAtariRetten", capture, extend, 1);
    ExpectVote("TRuleAtariRetten", capture, capture2, 0);
    ExpectVote("TRuleAtariRetten", capture, pass, 1);
    ExpectVote("TRuleAtariRetten", extend, pass, 0);
}

TEST_F(RulesTest, AChainThatIsNotLostDecidesOnTheTopLevel) {
    // White A19 is in atari with no rescue (A18 would be captured at once); White D16 is free.
    SetPosition(R"(O X . . .
                   . X . . .
                   X . . . .
                   . . . O .)");
    TGoGroup& g = Group(1, StatusSaveable, 10);
    TGoChain* lost = Chain(IndexOf("A19"), &g, 1);
    TGoChain* free = Chain(IndexOf("D16"), &g, 3);
    TGoal& kLost = Manager.CreateGoal<TGoalKetteFangen>(IndexOf("A19"), lost);
    TGoal& kFree = Manager.CreateGoal<TGoalKetteFangen>(IndexOf("D16"), free);
    ExpectVote("TRuleKetteKette5", kFree, kLost, 1);
    // Fewer liberties first on level 1, the lost chain last on level 3: level 3 holds.
    ExpectVote("TRuleKettenFreiheiten", kLost, kFree, 1);
    EXPECT_EQ(Compare(kLost, kFree), -1);
    EXPECT_EQ(Compare(kFree, kLost), 1);
    // Without its record the chain is unknown: no vote.
    ExpectVote("TRuleKetteKette5", kFree, Manager.CreateGoal<TGoalKetteFangen>(5, nullptr), 0);
}

TEST_F(RulesTest, TakingTheLastLibertyOfANeighbourBeatsConnecting) {
    // White B18 is in atari (B17) next to the Black stones B19, A18 and C18; White D16 is free.
    SetPosition(R"(. X . . .
                   X O X . .
                   . . . . .
                   . . . O .)");
    TGoal& takeAtari =
        Manager.CreateGoal<TGoalFreiheitWegnehmen>(IndexOf("B18"), IndexOf("B17"), nullptr);
    TGoal& takeFree =
        Manager.CreateGoal<TGoalFreiheitWegnehmen>(IndexOf("D16"), IndexOf("D17"), nullptr);
    TGoal& connectNeighbour = Manager.CreateGoal<TGoalAnbinden>(IndexOf("B19"), nullptr);
    TGoal& fleeFar = Manager.CreateGoal<TGoalFluchtzug>(IndexOf("K10"), nullptr);
    TGoal& shapeNeighbour = Manager.CreateGoal<TGoalFormzug>(IndexOf("C18"), nullptr);
    ExpectVote("TRuleFreiheitWegnehmen", takeAtari, connectNeighbour, 1);
    ExpectVote("TRuleFreiheitWegnehmen", takeAtari, shapeNeighbour, 1);
    ExpectVote("TRuleFreiheitWegnehmen", takeAtari, fleeFar, -1);
    ExpectVote("TRuleFreiheitWegnehmen", takeFree, connectNeighbour, -1);
    ExpectVote("TRuleFreiheitWegnehmen", takeAtari, takeFree, 0);
}

TEST_F(RulesTest, ConnectingAChainCaughtInALadder) {
    // Black B18 has two liberties and runs into the corner; White D16 and Black K10 are free,
    // White T19 is in atari.
    SetPosition(R"(. . . . .
                   . X O . .
                   . O . . .
                   . . . O .)");
    Engine.Fields.Spielfeld[IndexOf("K10")] = 1;
    Engine.Fields.Spielfeld[IndexOf("T19")] = -1;  // in atari
    Engine.Fields.Spielfeld[IndexOf("S19")] = 1;
    ComputeNamensfeld(Engine.Fields);
    TGoal& connectCaught = Manager.CreateGoal<TGoalAnbinden>(IndexOf("B18"), nullptr);
    TGoal& takeFree = Manager.CreateGoal<TGoalFreiheitWegnehmen>(IndexOf("D16"), 1, nullptr);
    TGoal& takeAtari = Manager.CreateGoal<TGoalFreiheitWegnehmen>(IndexOf("T19"), 2, nullptr);
    ExpectVote("TRuleAnbindenFreiheitWegnehmen", connectCaught, takeFree, 1);
    ExpectVote("TRuleAnbindenFreiheitWegnehmen", connectCaught, takeAtari, 0);
    TGoal& connectFree = Manager.CreateGoal<TGoalAnbinden>(IndexOf("K10"), nullptr);
    ExpectVote("TRuleAnbindenFreiheitWegnehmen", connectFree, takeFree, 0);
    EXPECT_EQ(Engine.Reader.Treppe.Frames(), 0);
}

// ---- rules over what the goals serve

TEST_F(RulesTest, GroupGoalBeforeItsOwnChainGoal) {
    TGoGroup& g = Group(1, StatusSaveable);
    TGoGroup& h = Group(2, StatusSaveable);
    TGoal& retten = Manager.CreateGoal<TGoalRetten>(g);
    TGoal& fangen = Manager.CreateGoal<TGoalFangen>(h);
    TGoal& chainOfG = Manager.CreateGoal<TGoalKetteRetten>(40, Chain(40, &g));
    TGoal& other = Manager.CreateGoal<TGoalKetteRetten>(41, Chain(41, &g));
    TGoal& top = Manager.CreateGoal<TGoalRetten>(Group(3, StatusSaveable));
    Manager.LinkGoal(chainOfG, retten);
    Manager.LinkGoal(retten, top);
    Manager.LinkGoal(fangen, top);
    ExpectVote("TRuleRKrFKf1", fangen, chainOfG, 1);  // both serve RETTEN 3
    ExpectVote("TRuleRKrFKf1", fangen, other, 0);
    EXPECT_EQ(Manager.CountLentNodes(), 0);
}

TEST_F(RulesTest, PatternMoveAgainstAtariRescue) {
    TGoGroup& g = Group(1, StatusSaveable, 20);
    TGoChain* c = Chain(40, &g);
    TGoal& rescue = Manager.CreateGoal<TGoalAtariRetten>(40, 5, c);
    TGoal& rescueLoose = Manager.CreateGoal<TGoalAtariRetten>(41, 6, nullptr);
    TGoal& cheap = Manager.CreateGoal<TGoalMusterzug>(1, 7, 20);
    TGoal& dear = Manager.CreateGoal<TGoalMusterzug>(2, 8, 21);
    TGoal& shaping = Manager.CreateGoal<TGoalMusterzug>(3, 9, 99);
    TGoal& parentA = Manager.CreateGoal<TGoalKetteRetten>(40, c);
    TGoal& parentB = Manager.CreateGoal<TGoalKetteRetten>(42, c);
    ExpectVote("TRuleAtariRettenMusterzug", rescueLoose, dear, 1);
    ExpectVote("TRuleAtariRettenMusterzug", rescue, cheap, 1);  // neither has one purpose
    Manager.LinkGoal(rescue, parentA);
    Manager.LinkGoal(cheap, parentB);
    Manager.LinkGoal(dear, parentB);
    ExpectVote("TRuleAtariRettenMusterzug", rescue, cheap, 1);  // 20 against 20
    ExpectVote("TRuleAtariRettenMusterzug", rescue, dear, -1);
    Manager.LinkGoal(dear, parentA);  // two purposes now
    ExpectVote("TRuleAtariRettenMusterzug", rescue, dear, -1);
    Manager.LinkGoal(shaping, Manager.CreateGoal<TGoalFormzug>(43, nullptr));
    ExpectVote("TRuleAtariRettenMusterzug", rescue, shaping, 1);
}

TEST_F(RulesTest, AtariRescueAgainstMoreLiberties) {
    TGoGroup& low = Group(1, StatusSaveable, 10);
    TGoGroup& high = Group(2, StatusSaveable, 20);
    TGoChain* cLow = Chain(40, &low, 1);
    TGoChain* cHigh = Chain(41, &high, 1);
    TGoal& rescueLow = Manager.CreateGoal<TGoalAtariRetten>(40, 5, cLow);
    TGoal& moreLow = Manager.CreateGoal<TGoalFreiheitenVermehren>(40, 6, cLow);
    TGoal& moreHigh = Manager.CreateGoal<TGoalFreiheitenVermehren>(41, 7, cHigh);
    ExpectVote("TRuleAtariRettenFreiheitenVermehren", rescueLow, moreLow, 1);
    ExpectVote("TRuleAtariRettenFreiheitenVermehren", rescueLow, moreHigh, -1);
    cHigh->Liberties = 2;
    ExpectVote("TRuleAtariRettenFreiheitenVermehren", rescueLow, moreHigh, 1);
    ExpectVote("TRuleAtariRettenFreiheitenVermehren",
               Manager.CreateGoal<TGoalAtariRetten>(42, 8, nullptr), moreLow, 1);
}

TEST_F(RulesTest, PatternMovesByWhatTheyServeAndTheTerritoryClass) {
    TGoGroup& g = Group(1, StatusSaveable, 30);
    TGoal& retten = Manager.CreateGoal<TGoalRetten>(g);
    TGoal& chain = Manager.CreateGoal<TGoalKetteRetten>(40, Chain(40, &g));
    Manager.LinkGoal(chain, retten);
    TGoal& serving = Manager.CreateGoal<TGoalMusterzug>(1, IndexOf("K10"), 0);
    TGoal& alone = Manager.CreateGoal<TGoalMusterzug>(2, IndexOf("K10"), 0);
    Manager.LinkGoal(serving, chain);
    // One point, so one territory class: only what the moves serve tells them apart.
    ExpectVote("TRuleMusterzugFuerKette", serving, alone, 1);
    ExpectVote("TRuleMusterzugFuerKette", serving, Manager.CreateGoal<TGoalMusterzug>(3, -1, 0), 0);
    EXPECT_EQ(Manager.CountLentNodes(), 0);
}

TEST_F(RulesTest, TerritoryMoveAgainstWhatTheOtherGoalServes) {
    TGoGroup& g = Group(1, StatusSaveable, 20);
    TGoal& retten = Manager.CreateGoal<TGoalRetten>(g);
    TGoal& chain = Manager.CreateGoal<TGoalKetteRetten>(40, Chain(40, &g));
    Manager.LinkGoal(chain, retten);
    TGoal& big = Manager.CreateGoal<TGoalGebietszug>(IndexOf("D4"), 25, 0.5);
    TGoal& small = Manager.CreateGoal<TGoalGebietszug>(IndexOf("D5"), 10, 0.5);
    ExpectVote("TRuleGebietszugKette", big, chain, 1);
    ExpectVote("TRuleGebietszugKette", small, chain, -1);
    // Nothing served: -1, so class 0 wins and class -1 ties.
    TGoal& pass = *Manager.FindGoal("VERZICHTEN");
    ExpectVote("TRuleGebietszugKette", Manager.CreateGoal<TGoalGebietszug>(1, -1, 0.0), pass, 0);
    ExpectVote("TRuleGebietszugKette", big, small, 0);
    TraceOn = true;
    EXPECT_EQ(Vote("TRuleGebietszugKette", small, chain), -1);
    EXPECT_EQ(TraceLines(), std::vector<std::string>{"Value1 = 10 Value2 = 20"});
    // Outside the classic engine the class is a swing in points and the group counts double.
    Engine.Settings.KlassischeEngine = false;
    ExpectVote("TRuleGebietszugKette", big, chain, -1);
    ExpectVote("TRuleGebietszugKette",
               Manager.CreateGoal<TGoalGebietszug>(IndexOf("D6"), 41, 0.7), chain, 1);
}

// What the two goals serve decides, once per selection.
TEST_F(RulesTest, TheTransitiveRuleComparesWhatTheGoalsServeOncePerSelection) {
    TGoal& savable = Manager.CreateGoal<TGoalRetten>(Group(1, StatusSaveable));
    TGoal& safe = Manager.CreateGoal<TGoalRetten>(Group(2, StatusSafe));
    TGoal& a = Manager.CreateGoal<TGoalBesetzen>(10);
    TGoal& b = Manager.CreateGoal<TGoalBesetzen>(11);
    Manager.LinkGoal(a, savable);
    Manager.LinkGoal(b, safe);
    TraceOn = true;
    Manager.TransitiveBusy = false;
    EXPECT_EQ(Rule("TRuleTransitivKette").Compare(b, a), -1);
    EXPECT_TRUE(Manager.TransitiveBusy);
    const std::vector<std::string> lines = TraceLines();
    ASSERT_GE(lines.size(), 5u);
    EXPECT_EQ(lines[0], ">>>: TRuleTransitivKette.Compare Beginn");
    EXPECT_EQ(lines[1], ">>>: BESETZEN 11 BESETZEN 10");
    EXPECT_EQ(lines[2], "Vergleich RETTEN 2 RETTEN 1");
    EXPECT_EQ(lines[lines.size() - 2], "Transitiver Vergleich RETTEN 2 RETTEN 1 ---> -1");
    EXPECT_EQ(lines.back(), "<<<: TRuleTransitivKette.Compare Ende");
    // The flag stays set: later pairs of the selection get no vote and no trace.
    EXPECT_EQ(Rule("TRuleTransitivKette").Compare(b, a), 0);
    EXPECT_EQ(TraceLines().size(), lines.size());
    EXPECT_EQ(Manager.CountLentNodes(), 0);

    // A goal both serve is no comparison.
    TGoal& c = Manager.CreateGoal<TGoalBesetzen>(12);
    Manager.LinkGoal(c, savable);
    EXPECT_EQ(Vote("TRuleTransitivKette", a, c), 0);
}

// With only the three permanent goals GEBIET-EROBERN comes first, whichever order they stand in.
TEST_F(RulesTest, ConquerTerritoryFirstAmongThePermanentGoals) {
    for (int round = 0; round < 2; ++round) {
        Manager.TransitiveBusy = false;
        TGoal* best = Manager.SelectBest();
        ASSERT_NE(best, nullptr);
        EXPECT_EQ(best->Name(), "GEBIET-EROBERN") << "round " << round;
        Manager.RetainGoals([](const TGoal&) { return true; });  // reverses the list
    }
}

TEST_F(RulesTest, TerritoryMovesOfEqualValueGoToStrategiefeld) {
    TGoal& t1 = Manager.CreateGoal<TGoalGebietszug>(IndexOf("D4"), 5, 0.5);
    TGoal& t2 = Manager.CreateGoal<TGoalGebietszug>(IndexOf("Q16"), 5, 0.5);
    Engine.Fields.Strategiefeld[IndexOf("Q16")] = 30;
    Feldbewertung("D4") = 0.9;  // level 1 would prefer D4
    TraceOn = true;
    EXPECT_EQ(Compare(t1, t2), -1);
    const std::vector<std::string> lines = TraceLines();
    EXPECT_NE(std::find(lines.begin(), lines.end(), "2: TRuleGebietszug4 -1"), lines.end());
    EXPECT_EQ(std::find(lines.begin(), lines.end(), "3: TRuleGebietszug7 1"), lines.end());
}

}  // namespace
}  // namespace obrin
