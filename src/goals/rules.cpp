#include "goals/rules.h"

#include <algorithm>
#include <optional>
#include <string>
#include <type_traits>
#include <typeinfo>

#include "analysis/graph.h"
#include "board/chains.h"
#include "board/neighbours.h"
#include "goals/catalogue.h"
#include "goals/goaldbg.h"
#include "goals/obrinmanager.h"
#include "patterns/pattern_context.h"
#include "tactics/treppe.h"

namespace obrin {
namespace {

// ---- what a rule reads from a goal

// Is the goal of class G or of a class derived from it? The rules ask this of every pair many
// times per move; for a final class the exact type says it at the price of one comparison.
template <class G>
bool Is(const TGoal& goal) {
    if constexpr (std::is_final_v<G>)
        return typeid(goal) == typeid(G);
    else
        return dynamic_cast<const G*>(&goal) != nullptr;
}
bool IsAny(const TGoal&) {
    return true;
}
bool IsGroupGoal(const TGoal& g) {
    return Is<TGoalRetten>(g) || Is<TGoalFangen>(g);
}
bool IsChainGoal(const TGoal& g) {
    return Is<TGoalKetteRetten>(g) || Is<TGoalKetteFangen>(g);
}
bool IsEscapeMove(const TGoal& g) {
    return Is<TGoalEscapeMoveS>(g) || Is<TGoalEscapeMoveW>(g);
}
bool IsNotBesetzen(const TGoal& g) {
    return !Is<TGoalBesetzen>(g);
}
bool IsNotGebietszug(const TGoal& g) {
    return !Is<TGoalGebietszug>(g);
}
template <int32_t PatternNo>
bool IsMusterzugOf(const TGoal& g) {
    const auto* m = dynamic_cast<const TGoalMusterzug*>(&g);
    return m != nullptr && m->PatternNo == PatternNo;
}
// What a ladder prevention comes before.
bool IsLadderPreventionRival(const TGoal& g) {
    return Is<TGoalKetteEinschliessen>(g) || Is<TGoalFreiheitWegnehmen>(g) ||
           Is<TGoalFreiheitenVermehren>(g) || Is<TGoalAbschneiden>(g) || Is<TGoalGebietErobern>(g);
}
bool IsEyesOrLiberties(const TGoal& g) {
    return Is<TGoalAugenMachen>(g) || Is<TGoalFreiheitenVermehren>(g);
}
bool IsConnectShapeOrFlee(const TGoal& g) {
    return Is<TGoalAnbinden>(g) || Is<TGoalFormzug>(g) || Is<TGoalFluchtzug>(g);
}
bool IsLibertyMove(const TGoal& g) {
    return Is<TGoalFreiheitenVermehren>(g) || Is<TGoalFreiheitWegnehmen>(g);
}

// The point of a goal: Point, or Move for the chain goals that propose one; -1 without.
int32_t PointOf(const TGoal& g) {
    if (const auto* m = dynamic_cast<const TChainMoveGoal*>(&g)) return m->Move;
    if (const auto* m = dynamic_cast<const TGoalMusterzug*>(&g)) return m->Point;
    if (const auto* m = dynamic_cast<const TGoalGebietszug*>(&g)) return m->Point;
    if (const auto* m = dynamic_cast<const TGoalBesetzen*>(&g)) return m->Point;
    if (const auto* m = dynamic_cast<const TGoalAugenzug*>(&g)) return m->Point;
    if (const auto* m = dynamic_cast<const TGoalEscapeMoveS*>(&g)) return m->Point;
    if (const auto* m = dynamic_cast<const TGoalEscapeMoveW*>(&g)) return m->Point;
    if (const auto* m = dynamic_cast<const TGoalBruteForceMove*>(&g)) return m->Point;
    return -1;
}

int32_t ChainNoOf(const TGoal& g) {
    if (const auto* c = dynamic_cast<const TChainGoal*>(&g)) return c->ChainNo;
    if (const auto* e = dynamic_cast<const TGoalEscapeMoveS*>(&g)) return e->ChainNo;
    if (const auto* e = dynamic_cast<const TGoalEscapeMoveW*>(&g)) return e->ChainNo;
    return -1;
}

TGoChain* ChainOf(const TGoal& g) {
    if (const auto* c = dynamic_cast<const TChainGoal*>(&g)) return c->Chain;
    if (const auto* e = dynamic_cast<const TGoalEscapeMoveS*>(&g)) return e->Chain;
    if (const auto* e = dynamic_cast<const TGoalEscapeMoveW*>(&g)) return e->Chain;
    return nullptr;
}

// The group a goal is about: its Group, or the group of its chain. Null when it has none.
TGoGroup* GroupOf(const TGoal& g) {
    if (const auto* r = dynamic_cast<const TGroupGoal*>(&g)) return r->Group;
    if (const auto* a = dynamic_cast<const TGoalAugenzug*>(&g)) return a->Group;
    const TGoChain* chain = ChainOf(g);
    return chain != nullptr ? chain->Group : nullptr;
}

bool IsPoint(int32_t p) {
    return p >= 0 && p < PointCount;
}

void Trace(TRuleManager& manager, const std::string& text) {
    if (manager.Debugger != nullptr && manager.Debugger->Enabled())
        manager.Debugger->WriteLine(text);
}

// ---- the common shapes of the verdicts

template <class T>
int32_t Sign(T a, T b) {
    return a > b ? 1 : a < b ? -1 : 0;
}

// X before Y, whatever else holds.
int32_t First(TGoal&, TGoal&) {
    return 1;
}

bool Unsettled(const TGoGroup* g) {
    return g != nullptr && InTheFight(g->Status);
}
bool DeadOrSafe(const TGoGroup* g) {
    return g != nullptr && (g->Status == StatusDead || g->Status == StatusSafe);
}

// The goal whose group is unsettled first, when the other one's group is dead or safe; no vote
// while either goal has no group.
int32_t UnsettledFirst(TGoal& a, TGoal& b) {
    const TGoGroup* ga = GroupOf(a);
    const TGoGroup* gb = GroupOf(b);
    if (Unsettled(ga) && DeadOrSafe(gb)) return 1;
    if (Unsettled(gb) && DeadOrSafe(ga)) return -1;
    return 0;
}

int32_t SameGroupFirst(TGoal& x, TGoal& y) {
    const TGoGroup* g = GroupOf(x);
    return g != nullptr && g == GroupOf(y) ? 1 : 0;
}
int32_t SameChainFirst(TGoal& x, TGoal& y) {
    const int32_t n = ChainNoOf(x);
    return n >= 0 && n == ChainNoOf(y) ? 1 : 0;
}

// Two goals by a value at their points, higher first; no vote when a point is off the board.
template <class T, T (*Value)(TPatternContext&, int32_t point)>
int32_t ByPointValue(TGoal& a, TGoal& b) {
    const int32_t pa = PointOf(a);
    const int32_t pb = PointOf(b);
    if (!IsPoint(pa) || !IsPoint(pb)) return 0;
    TPatternContext& context = ContextOf(a);
    return Sign(Value(context, pa), Value(context, pb));
}
template <class T, T (*Value)(TPatternContext&, int32_t point)>
int32_t ByPointValueLower(TGoal& a, TGoal& b) {
    return -ByPointValue<T, Value>(a, b);
}

// Two goals by an attribute of their groups or chains, higher first; no vote when either goal
// lacks what the attribute is read from.
template <class T, std::optional<T> (*Value)(const TGoal&)>
int32_t ByAttribute(TGoal& a, TGoal& b) {
    const std::optional<T> va = Value(a);
    const std::optional<T> vb = Value(b);
    if (!va || !vb) return 0;
    return Sign(*va, *vb);
}
template <class T, std::optional<T> (*Value)(const TGoal&)>
int32_t ByAttributeLower(TGoal& a, TGoal& b) {
    return -ByAttribute<T, Value>(a, b);
}

// ---- values at a point

double Feldbewertung(TPatternContext& e, int32_t p) {
    return e.Container->Feldbewertung[p];
}
int32_t EmptyPointsAround(TPatternContext& e, int32_t p) {
    return CountNeighbourhood(e.Fields.Spielfeld, PointColumn(p), PointRow(p)).Empty;
}
int32_t EmptyNeighbourCount(TPatternContext& e, int32_t p) {
    return EmptyNeighbours(PointColumn(p), PointRow(p), e.Fields.Spielfeld);
}
int32_t SteepestGradient(TPatternContext& e, int32_t p) {
    const TGradients g = FeldstaerkeGradients(PointColumn(p), PointRow(p), e.Fields);
    return std::max({g.Up, g.Right, g.Down, g.Left});
}
int32_t Strategiefeld(TPatternContext& e, int32_t p) {
    return e.Fields.Strategiefeld[p];
}
int32_t NNFeld4(TPatternContext& e, int32_t p) {
    return e.Container->NNFeld4[p];
}
int32_t Feldstaerkefeld(TPatternContext& e, int32_t p) {
    return e.Fields.Feldstaerkefeld[p];
}
// The largest StrategieWert of the groups of own stones next to p (0 when there are none).
int32_t StrongestOwnNeighbour(TPatternContext& e, int32_t p) {
    int32_t best = 0;
    for (int i = 0; i < Neighbours.Count[p]; ++i) {
        const int n = Neighbours.Index[p][i];
        if (e.Fields.Spielfeld[n] == 1)
            best = std::max(best, e.Graph->FindGroupOfStone(n).StrategieWert);
    }
    return best;
}

// ---- attributes of groups and chains

std::optional<int32_t> GroupAnzahl(const TGoal& g) {
    const TGoGroup* group = GroupOf(g);
    return group != nullptr ? std::optional<int32_t>(group->Anzahl) : std::nullopt;
}
std::optional<int32_t> GroupValue(const TGoal& g) {
    const TGoGroup* group = GroupOf(g);
    return group != nullptr ? std::optional<int32_t>(group->StrategieWert) : std::nullopt;
}
// The group value of a chain goal, 0 when its chain has no group.
std::optional<int32_t> GroupValueOrZero(const TGoal& g) {
    return GroupValue(g).value_or(0);
}
template <int32_t TGoChain::*Field>
std::optional<int32_t> ChainField(const TGoal& g) {
    const TGoChain* chain = ChainOf(g);
    return chain != nullptr ? std::optional<int32_t>(chain->*Field) : std::nullopt;
}
std::optional<double> TerritoryValue(const TGoal& g) {
    const auto& t = static_cast<const TGoalGebietszug&>(g);
    if (!IsPoint(t.Point)) return std::nullopt;
    return t.TerritoryValue;
}

// ---- the verdicts of single rules

// No. 1: for colour 1 with the current ko point; the pass is no point and so never legal here.
bool IsLegalPoint(TPatternContext& e, int32_t p) {
    if (!IsPoint(p)) return false;
    TBoard board = e.Fields.Spielfeld;
    return IsLegal(PointColumn(p), PointRow(p), 1, e.Fields.KoX, e.Fields.KoY, board);
}
int32_t LegalFirst(TGoal& a, TGoal& b) {
    TPatternContext& e = ContextOf(a);
    const bool la = IsLegalPoint(e, PointOf(a));
    const bool lb = IsLegalPoint(e, PointOf(b));
    return la == lb ? 0 : la ? 1 : -1;
}

// The largest StrategieWert of the groups of the group goals that goal serves, directly or not;
// start when there is none.
int32_t LargestServedGroupValue(TGoal& goal, int32_t start) {
    TObrinRuleManager& m = ObrinManager(goal);
    const TPooledGoalList served(m, m.CollectSuperGoals(goal));
    int32_t best = start;
    for (const TGoal* g : served)
        if (IsGroupGoal(*g))
            if (const TGoGroup* group = GroupOf(*g)) best = std::max(best, group->StrategieWert);
    return best;
}

// No. 4: what the pattern move serves plus the territory class of its point.
int32_t PatternMoveScore(TGoal& g) {
    const int32_t p = PointOf(g);
    return LargestServedGroupValue(g, 0) +
           ContextOf(g).Territory.PointClass(PointColumn(p), PointRow(p));
}
int32_t PatternMoveForChain(TGoal& a, TGoal& b) {
    if (!IsPoint(PointOf(a)) || !IsPoint(PointOf(b))) return 0;
    return Sign(PatternMoveScore(a), PatternMoveScore(b));
}

// No. 8.
int32_t MoreLibertiesBeforeFlight(TGoal& x, TGoal& y) {
    const TGoGroup* gx = GroupOf(x);
    const TGoGroup* gy = GroupOf(y);
    return gx != nullptr && gy != nullptr && gx->StrategieWert > gy->StrategieWert ? 1 : 0;
}

// No. 18: within one group by the territory value of the point, between groups by their value.
int32_t EyeMoves(TGoal& a, TGoal& b) {
    const TGoGroup* ga = GroupOf(a);
    const TGoGroup* gb = GroupOf(b);
    if (ga == nullptr || gb == nullptr) return 0;
    if (ga == gb) return ByPointValue<double, Feldbewertung>(a, b);
    return Sign(ga->StrategieWert, gb->StrategieWert);
}

// No. 23: the group goal first when both serve the capture or rescue of one group.
int32_t GroupBeforeChainOfOnePurpose(TGoal& group, TGoal& chain) {
    TObrinRuleManager& m = ObrinManager(group);
    const TPooledGoalList common(m, m.CommonSuperGoals(group, chain));
    if (common.Empty()) return 0;
    return FindGoalOfClass<TGoalFangen>(common.Head()) != nullptr ||
                   FindGoalOfClass<TGoalRetten>(common.Head()) != nullptr
               ? 1
               : 0;
}

// No. 24.
int32_t LiveGroupBeforeLostChain(TGoal& group, TGoal& chain) {
    const TGoGroup* g = GroupOf(group);
    const TGoGroup* c = GroupOf(chain);
    if (g == nullptr) return 0;
    if (g->Status != StatusDead && (c == nullptr || c->Status == StatusDead)) return 1;
    if (g->Status == StatusDead && c != nullptr && c->Status != StatusDead) return -1;
    return 0;
}

// No. 26: does the rescue capture an opponent chain in atari next to its move?
bool CapturesNextToMove(TGoal& g) {
    const int32_t p = PointOf(g);
    if (!IsPoint(p)) return false;
    TObrinRuleManager& m = ObrinManager(g);
    const TBoard& board = m.Context.Fields.Spielfeld;
    for (int i = 0; i < Neighbours.Count[p]; ++i) {
        const int n = Neighbours.Index[p][i];
        if (board[n] == -1 && GetLiberties(PointColumn(n), PointRow(n), board, m.PointList) == 1)
            return true;
    }
    return false;
}
int32_t CapturingRescueFirst(TGoal& a, TGoal& b) {
    const bool ca = CapturesNextToMove(a);
    const bool cb = CapturesNextToMove(b);
    return ca == cb ? 0 : ca ? 1 : -1;
}

// No. 27.
int32_t AtariRescueBeforeLiberties(TGoal& rescue, TGoal& liberties) {
    if (SameChainFirst(rescue, liberties) != 0) return 1;
    const TGoGroup* gr = GroupOf(rescue);
    const TGoGroup* gl = GroupOf(liberties);
    if (gr == nullptr || gl == nullptr) return 1;
    if (ChainOf(liberties)->Liberties >= 2) return 1;
    return CompareGroupValues(gr, gl);
}

// No. 30.
int32_t AtariRescueBeforePattern(TGoal& rescue, TGoal& pattern) {
    const TGoGroup* g = GroupOf(rescue);
    if (g == nullptr) return 1;
    const TGoal* purposeOfRescue = TRuleManager::SoleSuperGoal(rescue);
    const TGoal* purposeOfPattern = TRuleManager::SoleSuperGoal(pattern);
    if (purposeOfRescue == purposeOfPattern) return 1;
    if (purposeOfPattern != nullptr &&
        (Is<TGoalFormzug>(*purposeOfPattern) || Is<TGoalFluchtzug>(*purposeOfPattern)))
        return 1;
    return g->StrategieWert >= static_cast<const TGoalMusterzug&>(pattern).Value ? 1 : -1;
}

// No. 35: a chain is lost when it is in atari and no rescue is playable. Unknown without its
// record or without a stone at its point.
std::optional<bool> ChainAlive(TGoal& g) {
    const TGoChain* chain = ChainOf(g);
    const int32_t p = ChainNoOf(g);
    if (chain == nullptr || !IsPoint(p)) return std::nullopt;
    if (chain->Liberties != 1) return true;
    TPatternContext& e = ContextOf(g);
    const TBoard& board = e.Fields.Spielfeld;
    if (board[p] == 0) return std::nullopt;
    return CanEscape(e.Reader, board, PointColumn(p), PointRow(p), e.Fields.KoX, e.Fields.KoY);
}
int32_t LiveChainFirst(TGoal& a, TGoal& b) {
    const std::optional<bool> aa = ChainAlive(a);
    const std::optional<bool> ab = ChainAlive(b);
    if (!aa || !ab || *aa == *ab) return 0;
    return *aa ? 1 : -1;
}

// No. 36: compares what the two goals serve, for one pair per selection.
int32_t ByWhatTheyServe(TGoal& a, TGoal& b) {
    TObrinRuleManager& m = ObrinManager(a);
    if (m.TransitiveBusy) return 0;
    m.TransitiveBusy = true;
    Trace(m, ">>>: TRuleTransitivKette.Compare Beginn");
    Trace(m, ">>>: " + a.Name() + " " + b.Name());
    const TPooledGoalList servedA(m, m.CollectSuperGoals(a));
    const TPooledGoalList servedB(m, m.CollectSuperGoals(b));
    auto countsFor = [](const TGoal& g) { return IsGroupGoal(g) || IsChainGoal(g); };
    int32_t negative = 0;
    int32_t positive = 0;
    for (const TGoalList* na = servedA.Head(); na != nullptr; na = na->Next) {
        if (negative >= 1 && positive >= 1) break;
        if (!countsFor(*na->Goal)) continue;
        for (const TGoalList* nb = servedB.Head(); nb != nullptr; nb = nb->Next) {
            if (negative >= 1 && positive >= 1) break;
            if (!countsFor(*nb->Goal)) continue;
            int32_t r = 0;
            if (na->Goal != nb->Goal && !ContainsGoal(nb, na->Goal) &&
                !ContainsGoal(na, nb->Goal)) {
                r = m.CompareGoals(*na->Goal, *nb->Goal);
                Trace(m, "Transitiver Vergleich " + na->Goal->Name() + " " + nb->Goal->Name() +
                             " ---> " + std::to_string(r));
            }
            if (r < 0) ++negative;
            if (r > 0) ++positive;
        }
    }
    const int32_t answer = positive >= 1 && negative == 0   ? 1
                           : negative >= 1 && positive == 0 ? -1
                                                            : 0;
    Trace(m, "<<<: TRuleTransitivKette.Compare Ende");
    return answer;
}

// No. 37.
int32_t ChainBeforeEyes(TGoal& chain, TGoal& eyes) {
    const TGoGroup* g = GroupOf(chain);
    if (g == nullptr) return 0;
    return g->Status == StatusSafe && Unsettled(GroupOf(eyes)) ? -1 : 1;
}

// No. 46 and 47.
int32_t ShapeAgainstConnection(TGoal& shape, TGoal& connection) {
    return CompareGroupValues(GroupOf(shape), GroupOf(connection));
}
int32_t ShapeBeforeFlight(TGoal& shape, TGoal& flight) {
    return CompareGroupValues(GroupOf(flight), GroupOf(shape)) > 0 ? 0 : 1;
}

// No. 52: taking the last liberty of a chain next to the other goal's chain beats connecting,
// shaping and fleeing; any other liberty does not.
int32_t TakeLastLibertyOfNeighbour(TGoal& take, TGoal& other) {
    const int32_t attacked = ChainNoOf(take);
    const int32_t own = ChainNoOf(other);
    TObrinRuleManager& m = ObrinManager(take);
    const TPatternContext& e = m.Context;
    if (!IsPoint(attacked) || e.Container->Freiheitsfeld[attacked] != 1) return -1;
    NeighbourChains(PointColumn(attacked), PointRow(attacked), e.Fields.Spielfeld, m.PointList,
                    e.Fields.Namensfeld);
    const TPoint ownPoint{PointColumn(own), PointRow(own)};
    for (const TPoint& n : m.PointList)
        if (IsPoint(own) && n == ownPoint) return 1;
    return -1;
}

// No. 55.
int32_t PatternBeforeEyeMove(TGoal& pattern, TGoal& eyeMove) {
    const TGoGroup* g = GroupOf(eyeMove);
    if (g == nullptr) return 1;
    return static_cast<const TGoalMusterzug&>(pattern).Value < g->StrategieWert ? 0 : 1;
}
// No. 56 and 57.
int32_t PatternAgainstLadder(TGoal& pattern, TGoal& ladder) {
    return static_cast<const TGoalMusterzug&>(pattern).Value > *GroupValueOrZero(ladder) ? 1 : -1;
}

// No. 60.
int32_t ConnectionAgainstEyes(TGoal& connection, TGoal&) {
    const TGoGroup* g = GroupOf(connection);
    if (g == nullptr) return 0;
    return g->Status != StatusDead ? 1 : -1;
}
// No. 61.
int32_t ConnectionAgainstEyeMove(TGoal& connection, TGoal&) {
    const TGoGroup* g = GroupOf(connection);
    if (g == nullptr) return 0;
    return g->Status >= StatusAttackable ? 1 : -1;
}

// No. 64: the ladder test of the chain a goal is about.
bool CaughtInLadder(TGoal& g) {
    const int32_t p = ChainNoOf(g);
    if (!IsPoint(p)) return false;
    TPatternContext& e = ContextOf(g);
    const TBoard& board = e.Fields.Spielfeld;
    if (board[p] == 0) return false;
    return Ladder(e.Reader, PointColumn(p), PointRow(p), board, e.Fields.KoX, e.Fields.KoY) >= 0;
}
int32_t LibertiesOfChain(TGoal& g) {
    const int32_t p = ChainNoOf(g);
    if (!IsPoint(p)) return 0;
    TObrinRuleManager& m = ObrinManager(g);
    return GetLiberties(PointColumn(p), PointRow(p), m.Context.Fields.Spielfeld, m.PointList);
}
int32_t ConnectionOfLadderChainFirst(TGoal& connection, TGoal& take) {
    // The liberty count first: it is cheap, the ladders are not.
    return LibertiesOfChain(take) > 1 && CaughtInLadder(connection) && !CaughtInLadder(take) ? 1
                                                                                             : 0;
}

// A group's StrategieWert where it is weighed against a territory move. The classic engine takes
// it as it is, against the network's class (about 40 to 45 on an open point). Otherwise the class
// is the move's swing in points (about 12 on an open point in the opening), and the group's value
// (two per stone, one per liberty, and its neighbours in the fight) counts double: a group lost
// or killed changes its stones, the area they hold and the area around them.
constexpr int32_t GroupValueScale = 2;
int32_t GroupValueAgainstTerritory(const TGoal& goal, int32_t value) {
    if (ContextOf(goal).Settings.KlassischeEngine || value < 0) return value;
    return value * GroupValueScale;
}

// No. 69.
int32_t ChainAgainstTerritory(TGoal& chain, TGoal&) {
    const TGoGroup* g = GroupOf(chain);
    if (g == nullptr) return 0;
    return Sign(GroupValueAgainstTerritory(chain, g->StrategieWert),
                ContextOf(chain).Territory.MaxClass);
}

// No. 77: a territory move against anything else, by its class against the groups the other
// goal serves.
int32_t TerritoryMoveAgainstGroups(TGoal& territory, TGoal& other) {
    const int32_t value1 = static_cast<const TGoalGebietszug&>(territory).TerritoryClass;
    const int32_t value2 = GroupValueAgainstTerritory(other, LargestServedGroupValue(other, -1));
    Trace(ObrinManager(territory),
          "Value1 = " + std::to_string(value1) + " Value2 = " + std::to_string(value2));
    return Sign(value1, value2);
}

// No. 80.
int32_t LadderThreatBeforeEyes(TGoal& threat, TGoal& eyes) {
    const TGoGroup* g = GroupOf(threat);
    return g != nullptr && g == GroupOf(eyes) ? 1 : 0;
}
// No. 83.
int32_t LadderBeforeLibertyMoveOfFreeChain(TGoal&, TGoal& libertyMove) {
    const TGoChain* chain = ChainOf(libertyMove);
    return chain != nullptr && chain->Liberties >= 2 ? 1 : 0;
}
// No. 84 and 85: the ladder catches a chain of an enemy of the other chain's group.
int32_t LadderOnEnemyFirst(TGoal& ladder, TGoal& other) {
    const TGoGroup* g = GroupOf(other);
    if (g == nullptr) return 0;
    const int32_t caught = ChainNoOf(ladder);
    for (const TGoGroupLink* enemy = g->Feinde; enemy != nullptr; enemy = enemy->next)
        for (const TGoStone* s = enemy->Group->Steine; s != nullptr; s = s->next)
            if (s->Point == caught) return 1;
    return 0;
}

// ---- the table

using TKind = bool (*)(const TGoal&);
// The verdict on x (an X) against y (a Y): above 0 for x, below 0 for y, 0 without a vote.
using TVerdict = int32_t (*)(TGoal& x, TGoal& y);

struct TRuleRow {
    const char* Name;
    int32_t Level;
    TKind X;
    TKind Y;
    TVerdict Verdict;
};

// One row per registration, No. 1 first. Rules of one kind of goal (X = Y) give verdicts that
// change sign with the order of the goals.
const TRuleRow RuleTable[] = {
    {"TRuleLegal", 2, Is<TGoalBesetzen>, Is<TGoalBesetzen>, LegalFirst},  // 1
    {"TRuleNeuralVorschlag", 0, Is<TGoalBesetzen>, Is<TGoalBesetzen>,
     ByPointValue<double, Feldbewertung>},
    {"TRuleMusterzug", 0, Is<TGoalMusterzug>, Is<TGoalMusterzug>,
     ByPointValue<double, Feldbewertung>},
    {"TRuleMusterzugFuerKette", 1, Is<TGoalMusterzug>, Is<TGoalMusterzug>, PatternMoveForChain},
    {"TRuleM71_M184", 1, IsMusterzugOf<71>, IsMusterzugOf<184>, First},  // 5
    {"TRuleFreiheitenVermehren1", 0, Is<TGoalFreiheitenVermehren>, Is<TGoalFreiheitenVermehren>,
     ByPointValue<double, Feldbewertung>},
    {"TRuleFreiheitenVermehren2", 1, Is<TGoalFreiheitenVermehren>, Is<TGoalFreiheitenVermehren>,
     ByPointValue<double, Feldbewertung>},
    {"TRuleFreiheitenVermehrenFluchtzug", 0, Is<TGoalFreiheitenVermehren>, Is<TGoalFluchtzug>,
     MoreLibertiesBeforeFlight},
    {"TRuleFreiheitenWegnehmen", 1, Is<TGoalFreiheitWegnehmen>, Is<TGoalFreiheitWegnehmen>,
     ByPointValue<double, Feldbewertung>},
    {"TRuleFreiheitenWegnehmenFreiheitenVermehren", 0, Is<TGoalFreiheitWegnehmen>,  // 10
     Is<TGoalFreiheitenVermehren>, ByPointValue<double, Feldbewertung>},
    {"TRuleNeutralVerzichten", 0, Is<TGoalNeutralzug>, Is<TGoalVerzichten>, First},
    {"TRuleMusterzugAnbinden", 1, Is<TGoalAnbinden>, Is<TGoalMusterzug>, First},
    {"TRuleM16KetteEinschliessen", 0, IsMusterzugOf<16>, Is<TGoalKetteEinschliessen>, First},
    {"TRuleKetteFangenFreiheitWegnehmen", 0, Is<TGoalKetteFangen>, Is<TGoalFreiheitWegnehmen>,
     First},
    {"TRuleAugenzug1", 1, Is<TGoalAugenzug>, Is<TGoalAugenzug>,  // 15
     ByPointValue<double, Feldbewertung>},
    {"TRuleAugenzug2", 0, Is<TGoalAugenzug>, Is<TGoalAugenzug>,
     ByPointValue<int32_t, EmptyPointsAround>},
    {"TRuleAugenzug3", 0, Is<TGoalAugenzug>, Is<TGoalAugenzug>,
     ByPointValue<int32_t, EmptyNeighbourCount>},
    {"TRuleAugenzug4", 2, Is<TGoalAugenzug>, Is<TGoalAugenzug>, EyeMoves},
    {"TRuleAugenzugFreiheitwegnehmen", 0, Is<TGoalFreiheitWegnehmen>, Is<TGoalAugenzug>, First},
    {"TRuleGoalGoal1", 0, IsGroupGoal, IsGroupGoal, UnsettledFirst},  // 20
    {"TRuleRetten1", 0, Is<TGoalRetten>, Is<TGoalRetten>, ByAttribute<int32_t, GroupAnzahl>},
    {"TRuleRetten2", 1, Is<TGoalRetten>, Is<TGoalRetten>, ByAttribute<int32_t, GroupValue>},
    {"TRuleRKrFKf1", 0, IsGroupGoal, IsChainGoal, GroupBeforeChainOfOnePurpose},
    {"TRuleRKrFKf2", 0, IsGroupGoal, IsChainGoal, LiveGroupBeforeLostChain},
    {"TRuleRKrFKf3", 0, IsGroupGoal, IsChainGoal, First},  // 25
    {"TRuleAtariRetten", 0, Is<TGoalAtariRetten>, Is<TGoalAtariRetten>, CapturingRescueFirst},
    {"TRuleAtariRettenFreiheitenVermehren", 0, Is<TGoalAtariRetten>, Is<TGoalFreiheitenVermehren>,
     AtariRescueBeforeLiberties},
    {"TRuleAtariRettenKetteEinschliessen", 0, Is<TGoalAtariRetten>, Is<TGoalKetteEinschliessen>,
     First},
    {"TRuleAtariRettenAugenMachen", 0, Is<TGoalAtariRetten>, Is<TGoalAugenMachen>, First},
    {"TRuleAtariRettenMusterzug", 0, Is<TGoalAtariRetten>, Is<TGoalMusterzug>,  // 30
     AtariRescueBeforePattern},
    {"TRuleKetteKette1", 0, IsChainGoal, IsChainGoal,
     ByAttributeLower<int32_t, ChainField<&TGoChain::ResponseLiberties>>},
    {"TRuleKetteKette2", 0, IsChainGoal, IsChainGoal,
     ByAttributeLower<int32_t, ChainField<&TGoChain::Strength>>},
    {"TRuleKetteKette3", 0, IsChainGoal, IsChainGoal,
     ByAttributeLower<int32_t, ChainField<&TGoChain::FeldstaerkeLiberties>>},
    {"TRuleKetteKette4", 2, IsChainGoal, IsChainGoal, ByAttribute<int32_t, GroupValueOrZero>},
    {"TRuleKetteKette5", 3, IsChainGoal, IsChainGoal, LiveChainFirst},  // 35
    {"TRuleTransitivKette", 0, IsAny, IsAny, ByWhatTheyServe},
    {"TRuleKetteAugenMachen", 0, IsChainGoal, Is<TGoalAugenMachen>, ChainBeforeEyes},
    {"TRuleKetteKetteEinschliessen", 0, IsChainGoal, Is<TGoalKetteEinschliessen>, First},
    {"TRuleKette_Abschneiden", 0, IsChainGoal, Is<TGoalAbschneiden>, First},
    {"TRuleAbschneidenEinschliessen", 0, Is<TGoalAbschneiden>, Is<TGoalKetteEinschliessen>,
     First},  // 40
    {"TRuleAbschneidenFreiheitWegnehmen", 0, Is<TGoalAbschneiden>, Is<TGoalFreiheitWegnehmen>,
     First},
    {"TRuleKetteEinschliessen", 0, Is<TGoalKetteEinschliessen>, Is<TGoalKetteEinschliessen>,
     UnsettledFirst},
    {"TRuleKetteEinschliessenFreiheitWegnehmen", 0, Is<TGoalKetteEinschliessen>,
     Is<TGoalFreiheitWegnehmen>, First},
    {"TRuleTreppeVerhindern", 0, Is<TGoalTreppeVerhindern>, IsLadderPreventionRival, First},
    {"TRuleFormzugFreiheitenVermehren", 0, Is<TGoalFormzug>, Is<TGoalFreiheitenVermehren>,
     SameGroupFirst},  // 45
    {"TRuleFormzugAnbinden", 0, Is<TGoalFormzug>, Is<TGoalAnbinden>, ShapeAgainstConnection},
    {"TRuleFormzugFluchtzug", 0, Is<TGoalFormzug>, Is<TGoalFluchtzug>, ShapeBeforeFlight},
    {"TRuleFluchtzugAugenMachen", 0, Is<TGoalFluchtzug>, Is<TGoalAugenMachen>, SameGroupFirst},
    {"TRuleFluchtzugAugenzug", 0, Is<TGoalFluchtzug>, Is<TGoalAugenzug>, SameGroupFirst},
    {"TRuleFluchtzugFreiheitenVermehren", 0, Is<TGoalFluchtzug>, Is<TGoalFreiheitenVermehren>,
     SameGroupFirst},  // 50
    {"TRuleFreiheitWegnehmenKetteEinschliessen", 0, Is<TGoalKetteEinschliessen>,
     Is<TGoalFreiheitWegnehmen>, First},
    {"TRuleFreiheitWegnehmen", 0, Is<TGoalFreiheitWegnehmen>, IsConnectShapeOrFlee,
     TakeLastLibertyOfNeighbour},
    {"TRuleFreiheitenVermehrenAugenMachen", 0, Is<TGoalAugenMachen>, Is<TGoalFreiheitenVermehren>,
     SameGroupFirst},
    {"TRuleMusterzugAllgemein", 0, Is<TGoalMusterzug>, IsEyesOrLiberties, First},
    {"TRuleMusterzugAugenZug", 0, Is<TGoalMusterzug>, Is<TGoalAugenzug>,
     PatternBeforeEyeMove},  // 55
    {"TRuleMusterzugTreppendroher", 0, Is<TGoalMusterzug>, Is<TGoalTreppenDroher>,
     PatternAgainstLadder},
    {"TRuleMusterzugTreppenzug", 0, Is<TGoalMusterzug>, Is<TGoalTreppenZug>, PatternAgainstLadder},
    {"TRuleMusterzug", 0, Is<TGoalMusterzug>, Is<TGoalMusterzug>,
     ByPointValue<double, Feldbewertung>},
    {"TRuleAnbindenKette", 0, IsChainGoal, Is<TGoalAnbinden>, First},
    {"TRuleAnbindenAugenMachen", 0, Is<TGoalAnbinden>, Is<TGoalAugenMachen>,
     ConnectionAgainstEyes},  // 60
    {"TRuleAnbindenAugenzug", 0, Is<TGoalAnbinden>, Is<TGoalAugenzug>, ConnectionAgainstEyeMove},
    {"TRuleAnbindenFreiheitenVermehren", 0, Is<TGoalAnbinden>, Is<TGoalFreiheitenVermehren>,
     SameChainFirst},
    {"TRuleAnbindenFluchtzug", 0, Is<TGoalFluchtzug>, Is<TGoalAnbinden>, SameChainFirst},
    {"TRuleAnbindenFreiheitWegnehmen", 1, Is<TGoalAnbinden>, Is<TGoalFreiheitWegnehmen>,
     ConnectionOfLadderChainFirst},
    {"TRuleAnbindenAugenMachen", 0, Is<TGoalAnbinden>, Is<TGoalAugenMachen>,
     ConnectionAgainstEyes},  // 65
    {"TRuleBesetzenGoal", 0, Is<TGoalBesetzen>, IsNotBesetzen, First},
    {"TRuleKettenFreiheiten", 1, IsChainGoal, IsChainGoal,
     ByAttributeLower<int32_t, ChainField<&TGoChain::Liberties>>},
    {"TRuleGebietErobernNeutralzug", 0, Is<TGoalGebietErobern>, Is<TGoalNeutralzug>, First},
    {"TRuleGebietErobernKette", 0, IsChainGoal, Is<TGoalGebietErobern>, ChainAgainstTerritory},
    {"TRuleGebietszug1", 1, Is<TGoalGebietszug>, Is<TGoalGebietszug>,  // 70
     ByPointValue<double, Feldbewertung>},
    {"TRuleGebietszug2", 0, Is<TGoalGebietszug>, Is<TGoalGebietszug>,
     ByPointValue<int32_t, SteepestGradient>},
    {"TRuleGebietszug3", 0, Is<TGoalGebietszug>, Is<TGoalGebietszug>,
     ByPointValue<int32_t, EmptyNeighbourCount>},
    {"TRuleGebietszug4", 2, Is<TGoalGebietszug>, Is<TGoalGebietszug>,
     ByPointValue<int32_t, Strategiefeld>},
    {"TRuleGebietszug5", 0, Is<TGoalGebietszug>, Is<TGoalGebietszug>,
     ByPointValue<int32_t, NNFeld4>},
    {"TRuleGebietszug6", 0, Is<TGoalGebietszug>, Is<TGoalGebietszug>,  // 75
     ByPointValueLower<int32_t, Feldstaerkefeld>},
    {"TRuleGebietszug7", 3, Is<TGoalGebietszug>, Is<TGoalGebietszug>,
     ByAttribute<double, TerritoryValue>},
    {"TRuleGebietszugKette", 0, Is<TGoalGebietszug>, IsNotGebietszug, TerritoryMoveAgainstGroups},
    {"TRuleTreppendroher1", 0, Is<TGoalTreppenDroher>, Is<TGoalTreppenDroher>,
     ByPointValue<double, Feldbewertung>},
    {"TRuleTreppendroher2", 2, Is<TGoalTreppenDroher>, Is<TGoalTreppenDroher>,
     ByPointValue<int32_t, StrongestOwnNeighbour>},
    {"TRuleTreppendroherAugenMachen", 0, Is<TGoalTreppenDroher>, Is<TGoalAugenMachen>,  // 80
     LadderThreatBeforeEyes},
    {"TRuleTreppenzug1", 0, Is<TGoalTreppenZug>, Is<TGoalTreppenZug>,
     ByPointValue<double, Feldbewertung>},
    {"TRuleTreppenzug2", 1, Is<TGoalTreppenZug>, Is<TGoalTreppenZug>,
     ByPointValue<int32_t, EmptyNeighbourCount>},
    {"TRuleTreppenzugFreiheiten", 0, Is<TGoalTreppenZug>, IsLibertyMove,
     LadderBeforeLibertyMoveOfFreeChain},
    {"TRuleTreppenzugFluchtzug", 0, Is<TGoalTreppenZug>, Is<TGoalFluchtzug>, LadderOnEnemyFirst},
    {"TRuleTreppenzugFormzug", 0, Is<TGoalTreppenZug>, Is<TGoalFormzug>, LadderOnEnemyFirst},  // 85
    {"TRuleEscapeMove", 0, IsEscapeMove, IsEscapeMove, ByPointValue<double, Feldbewertung>},
    {"TRuleEscapeMoveFormzug", 0, Is<TGoalFormzug>, Is<TGoalEscapeMoveS>, SameChainFirst},
    {"TRuleEscapeMove_M355", 0, IsEscapeMove, IsMusterzugOf<355>, First},
    {"TRuleEscapeMoveKette", 0, IsChainGoal, IsEscapeMove, First},  // 89
};

// ---- the rules added to the catalogue's: they judge only goals that the classic engine never
// makes, so they leave its choices as they were

bool IsNeitherUrgentNorBesetzen(const TGoal& g) {
    return !Is<TGoalDringend>(g) && !Is<TGoalBesetzen>(g);
}
std::optional<int32_t> UrgentValue(const TGoal& g) {
    return static_cast<const TGoalDringend&>(g).Value;
}
// Above every level of the catalogue: an urgent move is decided before anything else is weighed.
constexpr int32_t UrgentLevel = 5;

bool IsNeitherUrgentPredictedNorBesetzen(const TGoal& g) {
    return IsNeitherUrgentNorBesetzen(g) && !Is<TGoalVorhersage>(g);
}
std::optional<int32_t> PredictedValue(const TGoal& g) {
    return static_cast<const TGoalVorhersage&>(g).Value;
}
// Between the urgent moves and the catalogue's levels: the predictor's points come next.
constexpr int32_t PredictedLevel = 4;

const TRuleRow AddedRuleTable[] = {
    {"TRuleDringend", UrgentLevel, Is<TGoalDringend>, IsNeitherUrgentNorBesetzen, First},
    {"TRuleDringendDringend", UrgentLevel, Is<TGoalDringend>, Is<TGoalDringend>,
     ByAttribute<int32_t, UrgentValue>},
    {"TRuleVorhersage", PredictedLevel, Is<TGoalVorhersage>, IsNeitherUrgentPredictedNorBesetzen,
     First},
    {"TRuleVorhersageVorhersage", PredictedLevel, Is<TGoalVorhersage>, Is<TGoalVorhersage>,
     ByAttribute<int32_t, PredictedValue>},
};

// A rule of the table: the verdict for X against Y, negated for the mirrored pair, no vote on
// any other pair.
class TCatalogueRule final : public TRule {
  public:
    explicit TCatalogueRule(const TRuleRow& row) : TRule(row.Name, row.Level), m_row(row) {}
    [[nodiscard]] int32_t Compare(TGoal& a, TGoal& b) override {
        if (m_row.X(a) && m_row.Y(b)) return m_row.Verdict(a, b);
        if (m_row.Y(a) && m_row.X(b)) return -m_row.Verdict(b, a);
        return 0;
    }

  private:
    const TRuleRow& m_row;
};

}  // namespace

std::vector<std::unique_ptr<TRule>> MakeRules() {
    std::vector<std::unique_ptr<TRule>> rules;
    rules.reserve(std::size(RuleTable) + std::size(AddedRuleTable));
    for (const TRuleRow& row : RuleTable) rules.push_back(std::make_unique<TCatalogueRule>(row));
    for (const TRuleRow& row : AddedRuleTable)
        rules.push_back(std::make_unique<TCatalogueRule>(row));
    return rules;
}

void RegisterRules(TObrinRuleManager& manager) {
    for (std::unique_ptr<TRule>& rule : MakeRules()) manager.AddRule(std::move(rule));
}

}  // namespace obrin
