#include "goals/catalogue.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <typeinfo>

#include "analysis/graph.h"
#include "analysis/territory.h"
#include "board/chains.h"
#include "board/errors.h"
#include "board/neighbours.h"
#include "patterns/pattern_context.h"
#include "goals/obrinmanager.h"
#include "goals/pattern_goals.h"
#include "tactics/brute.h"
#include "tactics/treppe.h"

namespace obrin {

namespace {

constexpr int32_t Own = 1;
constexpr int32_t Enemy = -1;
constexpr int32_t NoPoint = -1;

bool Unsettled(const TGoGroup& group) {
    return InTheFight(group.Status);
}

// Legal for +1 with the current ko point.
bool LegalForOwn(TPatternContext& context, int point) {
    TBoardFields& f = context.Fields;
    return IsLegal(PointColumn(point), PointRow(point), Own, f.KoX, f.KoY, f.Spielfeld);
}

bool Playable(TPatternContext& context, int point, int colour) {
    const TBoardFields& f = context.Fields;
    return IsPlayable(context.Reader, PointColumn(point), PointRow(point), colour, f.KoX, f.KoY,
                      f.Spielfeld);
}

bool PlayableForBoth(TPatternContext& context, int point) {
    return Playable(context, point, Own) && Playable(context, point, Enemy);
}

// The goal named name, or a new one made by make; created tells which.
template <class G, class Make>
G& FindOrCreate(TRuleManager& manager, const std::string& name, Make make, bool& created) {
    if (TGoal* found = manager.FindGoal(name)) {
        created = false;
        return static_cast<G&>(*found);
    }
    created = true;
    return make();
}

// Creates a goal of class G under parent (always a new goal).
template <class G, class... Args>
void CreateUnder(TGoal& parent, Args&&... args) {
    TRuleManager& m = *parent.Manager;
    m.LinkGoal(m.CreateGoal<G>(std::forward<Args>(args)...), parent);
}

// Finds the goal named like a G made from args, or creates it; links it under parent always, or
// only when it was created.
enum class TRelink { Always, OnlyNew };
template <class G, class... Args>
void FindOrCreateUnder(TGoal& parent, TRelink relink, Args... args) {
    TRuleManager& m = *parent.Manager;
    const G probe(args...);
    bool created = false;
    G& goal = FindOrCreate<G>(
        m, probe.GetName(), [&]() -> G& { return m.CreateGoal<G>(args...); }, created);
    if (created || relink == TRelink::Always) m.LinkGoal(goal, parent);
}

// The chain of the stone at point (its Namensfeld number).
int32_t ChainNumberAt(TPatternContext& context, int point) {
    return context.Fields.Namensfeld[point];
}

int LibertiesOf(const TGoChain& chain, TPatternContext& context, TPointList& liberties) {
    return GetLiberties(PointColumn(chain.Name), PointRow(chain.Name), context.Fields.Spielfeld,
                        liberties);
}

int CountEscapeEntries(const TGoGroup& group) {
    int n = 0;
    for (int32_t p : group.EscapeRoute)
        if (p != NoPoint) ++n;
    return n;
}

// A chain goal's chain and group, or null after telling the user that the chain has no group.
TGoGroup* GroupOrComplain(const TChainGoal& goal, const char* message) {
    if (goal.Chain != nullptr && goal.Chain->Group != nullptr) return goal.Chain->Group;
    ContextOf(goal).Host.ShowMessage(message);
    return nullptr;
}

// Living and dead groups around an empty point, found through the neighbours that name their
// chain (only a chain's naming stone is found; neighbours off the board are ignored).
struct TNeighbourFates {
    bool Living = false;
    bool Dead = false;
};

// Outside the classic engine every neighbouring stone is asked, and only our own living stones
// make a point fill-in: a point next to a living enemy stone is where an approach is answered
// (the attach, hane and block points).
TNeighbourFates NeighbourFatesOfAllStones(TPatternContext& context, int x, int y) {
    TNeighbourFates fates;
    bool livingEnemy = false;
    const int p = PointIndex(x, y);
    for (int i = 0; i < Neighbours.Count[p]; ++i) {
        const int q = Neighbours.Index[p][i];
        const int colour = context.Fields.Spielfeld[q];
        if (colour == 0) continue;
        const TGoGroup* group = nullptr;
        try {
            group = &context.Graph->FindGroupOfStone(q);
        } catch (const EObrinError&) {
            continue;
        }
        if (group->Status == StatusDead)
            fates.Dead = true;
        else
            (colour == Own ? fates.Living : livingEnemy) = true;
    }
    if (livingEnemy) fates.Living = false;
    return fates;
}
TNeighbourFates NeighbourFates(TPatternContext& context, int x, int y) {
    static constexpr int dx[] = {1, 0, -1, 0};
    static constexpr int dy[] = {0, 1, 0, -1};
    TNeighbourFates fates;
    const TBoardFields& f = context.Fields;
    for (int i = 0; i < 4; ++i) {
        const int nx = x + dx[i], ny = y + dy[i];
        if (!OnBoard(nx, ny)) continue;
        const int q = PointIndex(nx, ny);
        if (f.Spielfeld[q] == 0 || f.Namensfeld[q] != q) continue;
        const TGoChain* chain = nullptr;
        try {
            chain = &context.Graph->FindChain(q);
        } catch (const EObrinError&) {
            continue;
        }
        if (chain->Group == nullptr) continue;
        (chain->Group->Status == StatusDead ? fates.Dead : fates.Living) = true;
    }
    return fates;
}

// The move goals: one BESETZEN at point, when the condition holds.
void OccupyUnder(TGoal& parent, int32_t point) {
    CreateUnder<TGoalBesetzen>(parent, point);
}

}  // namespace

bool IsTransientGoal(const TGoal& goal) {
    const std::type_info& t = typeid(goal);
    return t != typeid(TGoalGebietErobern) && t != typeid(TGoalNeutralzug) &&
           t != typeid(TGoalVerzichten);
}

// ---- group goals

TGroupGoal::TGroupGoal(TGoGroup& group, const char* word)
    : Group(&group), GroupNo(group.Name), m_word(word) {}

std::string TGroupGoal::GetName() const {
    return m_word + (" " + std::to_string(GroupNo));
}

namespace {

// Saving a group saves each of its chains and captures its unsettled enemies; capturing one
// captures each chain and saves the enemies it threatens. Both link found goals again.
template <class ChainGoal, class EnemyGoal>
void ExpandGroupGoal(TGoal& goal, TGoGroup& group) {
    TPatternContext& context = ContextOf(goal);
    for (const TGoStone* s = group.Steine; s != nullptr; s = s->next) {
        const int32_t n = ChainNumberAt(context, s->Point);
        TGoChain& chain = ChainOfNumber(context, n);
        FindOrCreateUnder<ChainGoal>(goal, TRelink::Always, n, &chain);
    }
    for (const TGoGroupLink* e = group.Feinde; e != nullptr; e = e->next)
        if (Unsettled(*e->Group))
            FindOrCreateUnder<EnemyGoal>(goal, TRelink::Always, std::ref(*e->Group));
}

}  // namespace

void TGoalRetten::Expand() {
    ExpandGroupGoal<TGoalKetteRetten, TGoalFangen>(*this, *Group);
    if (Unsettled(*Group) && Group->AugenBauKosten < std::numeric_limits<int32_t>::max())
        CreateUnder<TGoalAugenMachen>(*this, std::ref(*Group));
}

void TGoalFangen::Expand() {
    ExpandGroupGoal<TGoalKetteFangen, TGoalRetten>(*this, *Group);
}

void TGoalAugenMachen::Expand() {
    TPatternContext& context = ContextOf(*this);
    const TBoardFields& f = context.Fields;
    const TBoard& b = f.Spielfeld;
    // A: the group's own stones; B: them and their neighbours; then A grows by the empty points
    // of B and their neighbours.
    TBoard a{}, near{};
    auto markWithNeighbours = [](TBoard& map, int x, int y) {
        map[PointIndex(x, y)] = 1;
        for (const auto& [dx, dy] : {std::pair{1, 0}, {-1, 0}, {0, 1}, {0, -1}})
            if (OnBoard(x + dx, y + dy)) map[PointIndex(x + dx, y + dy)] = 1;
    };
    for (const TPoint& p : Group->Punkte)
        if (OnBoard(p.X, p.Y) && b[PointIndex(p.X, p.Y)] == Own) a[PointIndex(p.X, p.Y)] = 1;
    for (int p = 0; p < PointCount; ++p)
        if (a[p] == 1) markWithNeighbours(near, PointColumn(p), PointRow(p));
    for (int p = 0; p < PointCount; ++p)
        if (near[p] == 1 && b[p] == 0) markWithNeighbours(a, PointColumn(p), PointRow(p));
    for (int p = 0; p < PointCount; ++p) {
        if (a[p] != 1) continue;
        const int x = PointColumn(p), y = PointRow(p);
        if (EyePointCount(x, y, Own, f.KoX, f.KoY, b) <= 0) continue;
        if (CountNeighbourhood(b, x, y).Plus >= 7) continue;
        if (Playable(context, p, Own)) CreateUnder<TGoalAugenzug>(*this, p, std::ref(*Group));
    }
}

// ---- chain goals

std::string TChainGoal::ChainName(const char* keyword) const {
    return std::string(keyword) + " " + std::to_string(ChainNo);
}

std::string TChainMoveGoal::ChainMoveName(const char* keyword) const {
    return std::string(keyword) + " " + std::to_string(ChainNo) + " " + std::to_string(Move);
}

namespace {

TGoal& MakePatternGoal(TRuleManager& manager, TGoal& expanded, const TPattAssocEntry& entry) {
    const int32_t value = static_cast<TObrinRuleManager&>(manager).PatternValue(expanded);
    return manager.CreateGoal<TGoalMusterzug>(entry.PatternNumber, entry.Point, value);
}

}  // namespace

void TChainGoal::ExpandPatterns() {
    CreatePatternGoals(ContextOf(*this).GoalAssociation, *this, *Manager, MakePatternGoal);
}

void TGoalKetteRetten::Expand() {
    const TGoGroup* group = GroupOrComplain(*this, "KetteRetten: Gruppe ist nil");
    if (group == nullptr) return;
    TPatternContext& context = ContextOf(*this);
    const TBoardFields& f = context.Fields;
    const int x = PointColumn(Chain->Name), y = PointRow(Chain->Name);
    TPooledList liberties(context.Pool);
    const int libertyCount = LibertiesOf(*Chain, context, *liberties);
    ExpandPatterns();
    if (Unsettled(*group)) {
        CreateUnder<TGoalAnbinden>(*this, ChainNo, Chain);
        if (Chain->DefenseMove != NoPoint)
            CreateUnder<TGoalBruteForceMove>(*this, Chain->DefenseMove, ChainNo);
        TPooledList ladder(context.Pool);
        if (LadderMoves(context.Reader, x, y, f.Spielfeld, f.KoX, f.KoY, *ladder) > 0)
            CreateUnder<TGoalTreppeVerhindern>(*this, ChainNo, Chain);
        FindOrCreateUnder<TGoalFormzug>(*this, TRelink::OnlyNew, ChainNo, Chain);
        FindOrCreateUnder<TGoalFluchtzug>(*this, TRelink::OnlyNew, ChainNo, Chain);
        if (CountEscapeEntries(*group) < libertyCount)
            for (int32_t p : group->EscapeRoute)
                if (p != NoPoint) CreateUnder<TGoalEscapeMoveS>(*this, p, ChainNo, Chain);
    }
    if (libertyCount == 1) {
        TPooledList rescues(context.Pool);
        RescueCandidates(f.Spielfeld, x, y, f.KoX, f.KoY, *rescues);
        for (const TPoint& m : *rescues)
            CreateUnder<TGoalAtariRetten>(*this, ChainNo, PointIndex(m.X, m.Y), Chain);
    }
    if (Unsettled(*group)) {
        TPooledList gains(context.Pool);
        LibertyGainMoves(f.Spielfeld, x, y, f.KoX, f.KoY, *gains);
        for (const TPoint& m : *gains)
            FindOrCreateUnder<TGoalFreiheitenVermehren>(*this, TRelink::OnlyNew, ChainNo,
                                                        PointIndex(m.X, m.Y), Chain);
    }
}

void TGoalKetteFangen::Expand() {
    const TGoGroup* group = GroupOrComplain(*this, "KetteFangen: Gruppe ist nil");
    if (group == nullptr) return;
    TPatternContext& context = ContextOf(*this);
    const TBoardFields& f = context.Fields;
    const int x = PointColumn(Chain->Name), y = PointRow(Chain->Name);
    TPooledList liberties(context.Pool);
    const int libertyCount = LibertiesOf(*Chain, context, *liberties);
    ExpandPatterns();
    if (Unsettled(*group)) {
        CreateUnder<TGoalAbschneiden>(*this, ChainNo, Chain);
        if (Chain->AttackMove != NoPoint)
            CreateUnder<TGoalBruteForceMove>(*this, Chain->AttackMove, ChainNo);
        for (const TPoint& l : *liberties)
            if (LegalForOwn(context, PointIndex(l.X, l.Y)))
                CreateUnder<TGoalFreiheitWegnehmen>(*this, ChainNo, PointIndex(l.X, l.Y), Chain);
        if (libertyCount == 3)
            for (const TPoint& l : *liberties)
                if (IsLadderCapturedAfter(context.Reader, l.X, l.Y, Own, x, y, f.KoX, f.KoY, f.Spielfeld) &&
                    Playable(context, PointIndex(l.X, l.Y), Own))
                    FindOrCreateUnder<TGoalTreppenDroher>(*this, TRelink::Always, ChainNo,
                                                          PointIndex(l.X, l.Y), Chain);
        TPooledList ladder(context.Pool);
        LadderMoves(context.Reader, x, y, f.Spielfeld, f.KoX, f.KoY, *ladder);
        for (const TPoint& m : *ladder)
            CreateUnder<TGoalTreppenZug>(*this, ChainNo, PointIndex(m.X, m.Y), Chain);
        if (CountEscapeEntries(*group) < libertyCount)
            for (int32_t p : group->EscapeRoute)
                if (p != NoPoint) CreateUnder<TGoalEscapeMoveW>(*this, p, ChainNo, Chain);
    }
    FindOrCreateUnder<TGoalKetteEinschliessen>(*this, TRelink::Always, ChainNo, Chain);
}

void TGoalTreppeVerhindern::Expand() {
    FindOrCreateUnder<TGoalAnbinden>(*this, TRelink::OnlyNew, ChainNo, Chain);
    ExpandPatterns();
}

// ---- move goals

std::string TGoalEscapeMoveS::GetName() const {
    return "ESCAPEMOVE-S " + std::to_string(Point);
}
std::string TGoalEscapeMoveW::GetName() const {
    return "ESCAPEMOVE-W " + std::to_string(Point);
}
std::string TGoalBruteForceMove::GetName() const {
    return "BRUTE-FORCE-MOVE " + std::to_string(Point);
}
std::string TGoalAugenzug::GetName() const {
    return "AUGENZUG " + std::to_string(Point);
}
std::string TGoalMusterzug::GetName() const {
    return "MUSTERZUG " + std::to_string(PatternNo) + " " + std::to_string(Point);
}
std::string TGoalGebietszug::GetName() const {
    return "GEBIETSZUG " + std::to_string(Point);
}
std::string TGoalBesetzen::GetName() const {
    return "BESETZEN " + std::to_string(Point);
}
std::string TGoalDringend::GetName() const {
    return "DRINGEND " + std::to_string(Point);
}
std::string TGoalVorhersage::GetName() const {
    return "VORHERSAGE " + std::to_string(Point);
}

void TGoalAtariRetten::Expand() {
    if (Playable(ContextOf(*this), Move, Own)) OccupyUnder(*this, Move);
}
void TGoalFreiheitWegnehmen::Expand() {
    if (Playable(ContextOf(*this), Move, Own)) OccupyUnder(*this, Move);
}
void TGoalFreiheitenVermehren::Expand() {
    if (PlayableForBoth(ContextOf(*this), Move)) OccupyUnder(*this, Move);
}
void TGoalMusterzug::Expand() {
    if (PlayableForBoth(ContextOf(*this), Point)) OccupyUnder(*this, Point);
}
void TGoalGebietszug::Expand() {
    if (Playable(ContextOf(*this), Point, Own)) OccupyUnder(*this, Point);
}
void TGoalTreppenZug::Expand() {
    OccupyUnder(*this, Move);
}
void TGoalTreppenDroher::Expand() {
    OccupyUnder(*this, Move);
}
void TGoalEscapeMoveS::Expand() {
    OccupyUnder(*this, Point);
}
void TGoalEscapeMoveW::Expand() {
    OccupyUnder(*this, Point);
}
void TGoalAugenzug::Expand() {
    OccupyUnder(*this, Point);
}
void TGoalBruteForceMove::Expand() {
    OccupyUnder(*this, Point);
}
void TGoalDringend::Expand() {
    OccupyUnder(*this, Point);
}
void TGoalVorhersage::Expand() {
    OccupyUnder(*this, Point);
}

// ---- the permanent goals

void TGoalNeutralzug::Expand() {
    TPatternContext& context = ContextOf(*this);
    for (int x = 0; x < BoardSize; ++x)
        for (int y = 0; y < BoardSize; ++y) {
            const int p = PointIndex(x, y);
            if (context.Fields.Neutral[p] == 1 && Playable(context, p, Own)) OccupyUnder(*this, p);
        }
}

namespace {

// A territory move that swings less is not worth a stone: by the count of territory it costs a
// point in either side's area, and a point between settled groups gains nothing.
constexpr double SmallestSwing = 1.0;

}  // namespace

void TGoalGebietErobern::Expand() {
    TPatternContext& context = ContextOf(*this);
    auto& value = context.Container->Feldbewertung;
    // Outside the classic engine a territory move is weighed by its swing in points, as its
    // class and as its value, instead of by the network's estimate.
    const bool classic = context.Settings.KlassischeEngine;
    for (int x = 0; x < BoardSize; ++x)
        for (int y = 0; y < BoardSize; ++y) {
            const int p = PointIndex(x, y);
            int32_t territoryClass = TerritoryClass(value[p]);
            double territoryValue = value[p];
            if (!classic && context.Fields.Spielfeld[p] == 0) {
                const double swing = ObrinManager(*this).SwingAt(p);
                if (swing < SmallestSwing) continue;
                territoryClass = std::clamp(static_cast<int32_t>(std::lround(swing)), 0, 50);
                territoryValue = swing / 60.0;
            }
            if (territoryClass < 0 || !PlayableForBoth(context, p)) continue;
            // A point between own living groups only, with no dead stones to take, fills in.
            const TNeighbourFates fates = classic ? NeighbourFates(context, x, y)
                                                  : NeighbourFatesOfAllStones(context, x, y);
            if (fates.Living && !fates.Dead) {
                territoryClass = -1;
                value[p] = (-1 + 10) / 60.0;
                territoryValue = value[p];
            }
            CreateUnder<TGoalGebietszug>(*this, p, territoryClass, territoryValue);
        }
}

void TGoalVerzichten::Expand() {
    OccupyUnder(*this, NoPoint);
}

}  // namespace obrin
