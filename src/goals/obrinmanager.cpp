#include "goals/obrinmanager.h"

#include <algorithm>
#include <typeinfo>

#include "analysis/graph.h"
#include "analysis/swing.h"
#include "board/chains.h"
#include "goals/catalogue.h"
#include "goals/move_check.h"
#include "goals/rules.h"
#include "patterns/pattern_context.h"

namespace obrin {

namespace {

// A game is decided when no point outside the settled areas swings this many points.
constexpr double DecidedSwing = 4.0;

// Creates the goal named like a G made from args unless a goal of that name exists.
template <class G, class... Args>
void EnsureGoal(TRuleManager& manager, Args&&... args) {
    const G probe(args...);
    if (manager.FindGoal(probe.GetName()) == nullptr)
        manager.CreateGoal<G>(std::forward<Args>(args)...);
}

bool ServesEyeMove(const TGoal& goal) {
    return FindGoalOfClass<TGoalAugenzug>(goal.SuperGoals) != nullptr;
}

}  // namespace

bool TObrinRuleManager::EndsSearch(const TGoal& goal) {
    if (typeid(goal) != typeid(TGoalBesetzen)) return false;
    const int32_t point = static_cast<const TGoalBesetzen&>(goal).Point;
    if (point < 0 || point >= PointCount) return true;
    TBoardFields& f = Context.Fields;
    if (!IsLegal(PointColumn(point), PointRow(point), 1, f.KoX, f.KoY, f.Spielfeld)) return false;
    if (Context.Settings.KlassischeEngine) return true;
    const bool finished = OpponentPassed || m_decided;
    return CheckMove(Context, point, finished, ServesEyeMove(goal)) == TMoveFault::None;
}

namespace {

void ListTree(TGoal& goal, int depth, std::vector<std::string>& lines) {
    lines.push_back(std::string(static_cast<size_t>(depth), ' ') + goal.Name());
    for (TGoal* super : GoalsOf(goal.SuperGoals))
        if (super->Mark == 0) {
            super->Mark = 1;
            ListTree(*super, depth + 1, lines);
        }
}

// RETTEN and FANGEN; AUGEN-MACHEN, the third group goal, carries no value of its own.
bool IsGroupGoal(const TGoal& goal) {
    return typeid(goal) == typeid(TGoalRetten) || typeid(goal) == typeid(TGoalFangen);
}

int32_t GroupValueOf(const TGoal& goal) {
    return IsGroupGoal(goal) ? static_cast<const TGroupGoal&>(goal).Group->StrategieWert : 0;
}

}  // namespace

TObrinRuleManager::TObrinRuleManager(TPatternContext& context) : Context(context) {
    RegisterRules(*this);
    ResetGoals();
}

TObrinRuleManager::~TObrinRuleManager() = default;

double TObrinRuleManager::SwingAt(int32_t point) {
    if (!m_swing) {
        m_swing = std::make_unique<TSwingEvaluator>();
        PrepareSwing(*m_swing, Context);
        m_swingKnown.fill(false);
    }
    if (!m_swingKnown[point]) {
        m_swingAt[point] = m_swing->Swing(point);
        m_swingKnown[point] = true;
    }
    return m_swingAt[point];
}

double TObrinRuleManager::BiggestSwing() {
    double biggest = 0;
    for (int p = 0; p < PointCount; ++p)
        if (Context.Fields.Spielfeld[p] == 0) biggest = std::max(biggest, SwingAt(p));
    return biggest;
}

void TObrinRuleManager::ResetGoals() {
    m_swing.reset();
    m_decided = false;
    EnsureGoal<TGoalGebietErobern>(*this);
    EnsureGoal<TGoalNeutralzug>(*this);
    EnsureGoal<TGoalVerzichten>(*this);
    RetainGoals([](const TGoal& goal) { return !IsTransientGoal(goal); });
}

void TObrinRuleManager::CreateGroupGoals() {
    for (TGoGroup* g = Context.Graph->Groups(); g != nullptr; g = g->next) {
        if (g->Status != StatusSaveable && g->Status != StatusAttackable) continue;
        if (g->Typ != 1)
            EnsureGoal<TGoalFangen>(*this, *g);
        else
            EnsureGoal<TGoalRetten>(*this, *g);
    }
    if (Context.Settings.KlassischeEngine) return;
    for (const TUrgentMove& move : UrgentMoves(Context, BiggestSwing()))
        EnsureGoal<TGoalDringend>(*this, move.Point, move.Value);
    // A game that looks decided is checked as after the opponent's pass: no move inside either
    // side's area passes, so the engine passes once only such moves are left.
    m_decided =
        !OpponentPassed && GameLooksDecided(
                               Context, [this](int32_t p) { return SwingAt(p); }, DecidedSwing);
    // After the opponent's pass the game may be over: the predictor knows no end, the search's
    // own goals and the move check decide whether a stone still gains anything.
    if (OpponentPassed) return;
    for (const TPredictedMove& move : PredictedMoves(Context))
        EnsureGoal<TGoalVorhersage>(*this, move.Point, move.Millionths);
}

TGoal* TObrinRuleManager::SearchStep() {
    TransitiveBusy = false;
    TGoal* best = SelectBest();
    if (best == nullptr) return nullptr;
    best->Expand();
    Context.Host.AddInference(best->Name());
    TraceBest(*best);
    return best;
}

TGoal* TObrinRuleManager::Search(const std::function<void(const TGoal*)>& poll) {
    TGoal* best = nullptr;
    m_searchSteps = 0;
    m_comparisonsBefore = Comparisons();
    do {
        if (poll) poll(best);
        ++m_searchSteps;
        best = SearchStep();
    } while (best != nullptr && !EndsSearch(*best));
    return best;
}

std::vector<std::string> TObrinRuleManager::GoalTree(TGoal& goal) {
    ClearMarks();
    std::vector<std::string> lines;
    ListTree(goal, 0, lines);
    return lines;
}

int32_t TObrinRuleManager::PatternValue(TGoal& goal) {
    if (IsGroupGoal(goal)) return GroupValueOf(goal);
    int32_t best = 0;
    const TPooledGoalList supers(*this, CollectSuperGoals(goal));
    for (const TGoal* g : supers)
        if (IsGroupGoal(*g)) best = std::max(best, GroupValueOf(*g));
    return best;
}

int32_t CompareGroupValues(const TGoGroup* a, const TGoGroup* b) {
    if (a == nullptr || b == nullptr) return 0;
    if (a->StrategieWert > b->StrategieWert) return 1;
    if (a->StrategieWert < b->StrategieWert) return -1;
    return 0;
}

TObrinRuleManager& ObrinManager(const TGoal& goal) {
    return static_cast<TObrinRuleManager&>(*goal.Manager);
}

TPatternContext& ContextOf(const TGoal& goal) {
    return ObrinManager(goal).Context;
}

TGoChain& ChainOfNumber(TPatternContext& context, int32_t chainNo) {
    return context.Graph->FindChain(chainNo);
}

}  // namespace obrin
