#include "game/movedriver.h"

#include <cstdlib>

#include "analysis/graph.h"
#include "analysis/grpstat.h"
#include "analysis/klassi.h"
#include "board/chains.h"
#include "board/errors.h"
#include "game/analyse.h"
#include "game/engine.h"
#include "goals/catalogue.h"
#include "tactics/treppe.h"

namespace obrin {

namespace {

// Thrown through the goal search when the move's budget is spent.
struct TBudgetSpent {};

void Status(TEngine& engine, const char* word) {
    engine.Host.SetStatus(ThinkingText(engine, word));
}

// The point the search settled on, or (-1, -1) for a pass: no goal, the pass goal, or a point
// that is not a legal move for +1 now.
TPoint MoveOf(TEngine& engine, const TGoal* best) {
    const auto* occupy = dynamic_cast<const TGoalBesetzen*>(best);
    if (occupy == nullptr || occupy->Point < 0 || occupy->Point >= PointCount) return PassPoint;
    const int x = PointColumn(occupy->Point), y = PointRow(occupy->Point);
    TBoardFields& f = engine.Fields;
    if (!IsLegal(x, y, 1, f.KoX, f.KoY, f.Spielfeld)) return PassPoint;
    return TPoint{x, y};
}

// Does +1 at p leave its own chain at least two liberties (after what it captures)?
bool SafeForUs(const TBoardFields& f, int p) {
    TBoard after = f.Spielfeld;
    int32_t koX = f.KoX, koY = f.KoY;
    const int x = PointColumn(p), y = PointRow(p);
    PlayMove(x, y, 1, after, koX, koY);
    TPointList liberties;
    return GetLiberties(x, y, after, liberties) >= 2;
}

struct TCleanupChoice {
    int Point = -1;
    int Liberties = 0;
    int Stones = 0;
    bool Capture = false;

    // Captures before liberties, then the chain nearest capture, then the larger one; equal
    // choices keep the first found, so the choice repeats.
    [[nodiscard]] bool BetterThan(const TCleanupChoice& other) const {
        if (other.Point < 0) return true;
        if (Capture != other.Capture) return Capture;
        if (Liberties != other.Liberties) return Liberties < other.Liberties;
        return Stones > other.Stones;
    }
};

void ConsiderCleanup(TBoardFields& f, TCleanupChoice candidate, TCleanupChoice& best) {
    const int p = candidate.Point;
    if (p < 0 || !candidate.BetterThan(best)) return;
    if (!IsLegal(PointColumn(p), PointRow(p), 1, f.KoX, f.KoY, f.Spielfeld)) return;
    if (SafeForUs(f, p)) best = candidate;
}

}  // namespace

TPoint CleanupMove(TEngine& engine) {
    TBoardFields& f = engine.Fields;
    TCleanupChoice best;
    for (const TGoChain* c = engine.Graph->Chains(); c != nullptr; c = c->next) {
        if (c->Group == nullptr || c->Group->Typ != -1 || c->Group->Status != StatusDead) continue;
        const int x = PointColumn(c->Name), y = PointRow(c->Name);
        TPointList stones, liberties;
        const int size = GetChain(x, y, f.Spielfeld, stones);
        const int count = GetLiberties(x, y, f.Spielfeld, liberties);
        ConsiderCleanup(f, {c->AttackMove, count, size, true}, best);
        for (const TPoint& l : liberties)
            ConsiderCleanup(f, {PointIndex(l.X, l.Y), count, size, false}, best);
    }
    return best.Point < 0 ? PassPoint : TPoint{PointColumn(best.Point), PointRow(best.Point)};
}

void ShowGoalTree(TEngine& engine, TGoal& goal) {
    engine.LastGoalTree = engine.RuleManager->GoalTree(goal);
    engine.Host.ClearInference();
    for (const std::string& line : engine.LastGoalTree) engine.Host.AddInference(line);
}

TPoint ComputerMove(TEngine& engine) {
    TObrinRuleManager& manager = *engine.RuleManager;
    engine.Host.ClearInference();
    engine.LastGoalTree.clear();
    manager.Debugger = &engine.GoalDebugger();
    manager.Debugger->WriteBanner();
    Analyse(engine, TAnalysisStage::All,
            engine.Settings.Zufall ? TTerritoryNoise::On : TTerritoryNoise::Off);
    manager.TraceGoalList();
    Status(engine, "Inferenzmaschine arbeitet");
    const uint64_t startMs = engine.Host.TickMs();
    const int64_t comparisonsAtStart = manager.Comparisons();
    const auto budgetSpent = [&] {
        if (manager.Comparisons() - comparisonsAtStart >= engine.MoveBudget.Comparisons) return true;
        return !engine.Clock.Deterministic() && engine.Host.TickMs() - startMs >= engine.MoveBudget.Ms;
    };
    TGoal* best = nullptr;
    try {
        best = manager.Search([&](const TGoal*) {
            engine.Host.ProcessEvents();
            if (engine.Host.IsLocked() || engine.Host.Terminating()) throw EObrinStopped();
            if (budgetSpent()) throw TBudgetSpent{};
        });
    } catch (const TBudgetSpent&) {
        best = nullptr;  // out of time: pass
    }
    engine.Host.SetStatus("");
    if (best != nullptr) ShowGoalTree(engine, *best);
    return MoveOf(engine, best);
}

TPoint ChooseComputerMove(TEngine& engine, bool opponentPassed,
                          std::optional<bool> lastMoveWasPass) {
    if (!engine.ComputerMove) return PassPoint;
    engine.RuleManager->OpponentPassed = lastMoveWasPass.value_or(opponentPassed);
    const TPoint move = engine.ComputerMove();
    if (OnBoard(move.X, move.Y) || opponentPassed) return move;
    return CleanupMove(engine);
}

}  // namespace obrin
