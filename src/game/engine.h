// The engine object: the top of the engine's layers and the owner of everything the program
// computes. It is the pattern context (which is the analysis context, which is the position
// context: boards and fields, pool, reader, networks, graph, pattern library) plus the goal engine,
// the game state and what the front ends need around a move decision. The desktop program,
// obrin-cli and each test create their own; lower layers get the context of their own layer.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "game/gameboard.h"
#include "goals/goaldbg.h"
#include "goals/obrinmanager.h"
#include "patterns/pattern_context.h"

namespace obrin {

// How long a move decision may take. The goal search stops when either limit is reached and the
// computer passes: a controller with a clock gets an answer in time even from a position that
// makes the search run on. The time counts only on the host's real clock; the goal comparisons
// count on every clock (and so also in deterministic mode, where they are the same on every
// machine). GTP's time_settings and time_left shorten the time.
struct TMoveBudget {
    static constexpr uint64_t DefaultMs = 5000;
    // Six times the most any move of the teacher-game positions needs (47,552); a position whose
    // goals are very many (a board full of stones without liberties) reaches it in a few seconds.
    static constexpr int64_t DefaultComparisons = 300'000;
    uint64_t Ms = DefaultMs;
    int64_t Comparisons = DefaultComparisons;
};

class TEngine : public TPatternContext {
  public:
    explicit TEngine(IHost& host);
    ~TEngine();

    // Checked shutdown: raises the pools' leak messages when goal-list nodes or scratch elements
    // were not returned.
    void Shutdown();

    // The goal-selection trace on "debug.txt", opened at its first use (the first computer
    // move), so that engines that never think leave no file behind.
    [[nodiscard]] TGoalDebugger& GoalDebugger();

    TGameState Game;
    TGameData GameData;  // game information last seen in the record
    TGameBoard Board{*this, Game, GameData};  // what the record tree replays onto
    // The rule manager: every goal and rule of the move engine.
    std::unique_ptr<TObrinRuleManager> RuleManager = std::make_unique<TObrinRuleManager>(*this);
    IGameRecorder* Recorder = nullptr;  // not owned; null records nothing
    // The computer's choice for +1, (-1, -1) to pass: the move driver, unless a test sets its own.
    std::function<TPoint()> ComputerMove;
    std::vector<std::string> LastGoalTree;  // goal tree of the last computer move, one line per goal
    TMoveBudget MoveBudget;

  private:
    std::unique_ptr<TGoalDebugger> m_goalDebugger;
};

}  // namespace obrin
