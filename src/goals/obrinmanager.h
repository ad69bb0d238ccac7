// The engine's rule manager: the goal framework bound to one engine, with the rules that rank
// its goals, the goals that survive from move to move, the group goals the analysis proposes and
// the best-first search that expands goals until one names the point to play.
//
// There is no numeric priority on goals: which goal is expanded next is decided only by the
// rules' vote; numbers (group values, territory values, liberties) enter inside single rules.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "board/board.h"
#include "goals/goals.h"

namespace obrin {

class TPatternContext;
class TSwingEvaluator;
struct TGoGroup;
struct TGoChain;

class TObrinRuleManager : public TRuleManager {
  public:
    // Registers the engine's rules (RegisterRules) and creates the three permanent goals.
    explicit TObrinRuleManager(TPatternContext& context);
    ~TObrinRuleManager() override;

    // Destroys every goal of the last move; the permanent goals GEBIET-EROBERN, NEUTRALZUG and
    // VERZICHTEN survive (created when missing), active again and in reversed order, so that the
    // order that decides ties between them flips at every reset.
    void ResetGoals();
    // RETTEN for every own unsettled group, FANGEN for every enemy one, in the graph's order; a
    // group with a goal already keeps it. Outside the classic engine also a DRINGEND for every
    // urgent move, and a VORHERSAGE for each predicted point unless the opponent passed; and
    // whether the game looks decided, which the move check then treats as finished.
    void CreateGroupGoals();

    // One step of the search: selects the best active goal, expands it and traces it. Null when
    // no goal is active.
    TGoal* SearchStep();
    // The whole search: steps until the selected goal is a BESETZEN (or nothing is left), with
    // poll called before every step (the message loop; it may throw to stop). Returns the last
    // selected goal.
    TGoal* Search(const std::function<void(const TGoal*)>& poll);
    // Steps the last Search took (goals selected and expanded), and the goal comparisons they made.
    [[nodiscard]] int SearchSteps() const { return m_searchSteps; }
    [[nodiscard]] int64_t SearchComparisons() const { return Comparisons() - m_comparisonsBefore; }

    // The goal's tree of purposes: its name, then every goal it serves, each once, indented by
    // one blank per level.
    [[nodiscard]] std::vector<std::string> GoalTree(TGoal& goal);

    // The value a pattern-move goal under goal gets: the StrategieWert of the group of a RETTEN
    // or FANGEN, else the largest among the RETTEN and FANGEN goals it serves (at least 0).
    [[nodiscard]] int32_t PatternValue(TGoal& goal);

    // Does the selected goal end the search? A pass does, and a BESETZEN on a point +1 may play
    // now. A BESETZEN on an occupied, ko or suicide point does not (several goal kinds name
    // points without asking whether they are playable; passing for them would end games with
    // good moves left): the search goes on with the next best goal. Outside the classic engine
    // the move must also pass CheckMove.
    [[nodiscard]] bool EndsSearch(const TGoal& goal);

    // The opponent's last move was a pass (or there was none): set by the move driver before
    // each search, read by the move check.
    bool OpponentPassed = false;
    // The territory swing of an empty point in the position of this search (see
    // TSwingEvaluator), worked out once per point and search.
    [[nodiscard]] double SwingAt(int32_t point);
    // The largest swing of an empty point (0 on a full board).
    [[nodiscard]] double BiggestSwing();

    // The point list the rules hand to the liberty count.
    TPointList PointList;
    // Set by the transitive chain rule while it works; cleared before every selection.
    bool TransitiveBusy = false;

    TPatternContext& Context;

  private:
    std::unique_ptr<TSwingEvaluator> m_swing;  // prepared for the search, or null
    std::array<double, PointCount> m_swingAt{};
    std::array<bool, PointCount> m_swingKnown{};
    int m_searchSteps = 0;
    bool m_decided = false;  // the game of this search looks decided (GameLooksDecided)
    int64_t m_comparisonsBefore = 0;
};

// 1 when a's StrategieWert is greater, -1 when b's is, 0 when equal or either is missing.
[[nodiscard]] int32_t CompareGroupValues(const TGoGroup* a, const TGoGroup* b);

// The manager of a goal made by an engine's rule manager.
[[nodiscard]] TObrinRuleManager& ObrinManager(const TGoal& goal);
// The context the goal's manager works on.
[[nodiscard]] TPatternContext& ContextOf(const TGoal& goal);
// The graph chain named chainNo; raises the graph's chain-not-found error when it has none.
[[nodiscard]] TGoChain& ChainOfNumber(TPatternContext& context, int32_t chainNo);

}  // namespace obrin
