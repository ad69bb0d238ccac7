// The engine object: owns every process-wide object of the program (boards and fields, the
// field container, the ko point, the element pool, the game state, ...). The desktop program,
// obrin-cli and each test create their own; code reaches the objects through it by reference.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "analysis/feedfwd3.h"
#include "analysis/feedfwd4.h"
#include "analysis/graph.h"
#include "analysis/grpstat.h"
#include "analysis/territory.h"
#include "analysis/testdata.h"
#include "board/board.h"
#include "board/fields.h"
#include "board/memory.h"
#include "game/gamestate.h"
#include "board/host.h"
#include "goals/goaldbg.h"
#include "goals/goals.h"
#include "goals/obrinmanager.h"
#include "patterns/assoc.h"
#include "patterns/muster.h"
#include "game/gamedt.h"
#include "tactics/reading_table.h"
#include "tactics/treppe.h"
#include "settings/langsup.h"
#include "settings/settings.h"

namespace obrin {

// Where executed moves are recorded (the record tree implements it).
class IGameRecorder {
  public:
    virtual ~IGameRecorder() = default;
    virtual void RecordMove(int x, int y, int colour) = 0;
};

// The program's random generator: clock-seeded unless a fixed seed was given, so that tests
// and benchmarks can repeat a run.
class TRandom {
  public:
    void SetFixedSeed(uint32_t seed) {
        m_fixed = true;
        m_gen.seed(seed);
    }
    // Seeds from the clock, unless a fixed seed was given.
    void Randomize();
    // Uniform in [0, 1).
    [[nodiscard]] double Real() { return std::uniform_real_distribution<double>(0.0, 1.0)(m_gen); }
    // Uniform in 0 .. n-1.
    [[nodiscard]] int Int(int n) { return std::uniform_int_distribution<int>(0, n - 1)(m_gen); }

  private:
    std::mt19937 m_gen{5489u};
    bool m_fixed = false;
};

class TEngine {
  public:
    explicit TEngine(IHost& host);
    TEngine(const TEngine&) = delete;
    TEngine& operator=(const TEngine&) = delete;
    ~TEngine();

    // Checked shutdown: raises the pools' leak messages when goal-list nodes or scratch elements
    // were not returned.
    void Shutdown();

    // The goal-selection trace on "debug.txt", opened at its first use (the first computer
    // move), so that engines that never think leave no file behind.
    [[nodiscard]] TGoalDebugger& GoalDebugger();

    // Writes the classification and territory networks back to "net.dat" and "terrnet.dat"
    // (the desktop program does this at exit), each only when a training dialog trained it in
    // this run and its weights are finite; through a temporary file. Throws EObrinError when a
    // file cannot be written.
    void SaveNetworks() const;

    // The time every search with a deadline reads, in milliseconds. Normally the host's clock; in
    // deterministic mode a virtual clock that advances one millisecond per NodesPerVirtualMs
    // reading nodes, so that answers repeat on every machine and under any load.
    [[nodiscard]] uint64_t NowMs();
    void SetDeterministicClock(bool on) { m_deterministicClock = on; }
    [[nodiscard]] bool DeterministicClock() const { return m_deterministicClock; }
    // Chosen so that one virtual millisecond is about one real millisecond of reading here.
    static constexpr int64_t NodesPerVirtualMs = 500;

    // Draws b as a search's trial position when lookahead animation is on.
    void ShowIntermediate(const TBoard& b) {
        if (Settings.TreppenAnimieren) Host.ShowIntermediate(b);
    }

    IHost& Host;
    TBoardFields Fields;                         // Spielfeld, Namensfeld, ..., KoX, KoY
    std::unique_ptr<TFieldContainer> Container;  // the fifteen analysis arrays
    TMemoryManager Pool;                         // scratch boards and lists
    TPatterns Patterns;  // the pattern library "muster.txt", its handlers and last firings
    TGoalAssociation GoalAssociation;  // what the pattern handlers suggested in the last run
    TTreppe Treppe;                    // the ladder reader's frame stack
    TReadingTable ReadingTable;        // the bounded reader's transposition table
    int64_t ReadingNodes = 0;  // trial moves played by the tactical searches (benchmarks read it)
    TGameState Game;
    TGameData GameData;  // game information last seen in the record
    TRandom Random;
    // The networks and samples, created in this order at start-up: the point classifier
    // (50-50-50, loaded from "net.dat" when present), its training samples (27 inputs, 50
    // outputs; "training.dat" is loaded by the training dialog), the territory network
    // (80-320-320-1, loaded from "terrnet.dat" when present, then trained at rate 0.01).
    std::unique_ptr<TFeedFwd3> KlassiNet;
    std::unique_ptr<TTestData> KlassiSamples;
    std::unique_ptr<TFeedFwd4> TerritoryNet;
    // Set when a training dialog has changed a network's weights in this run, so that the
    // network is worth writing back at exit.
    bool KlassiNetTrained = false;
    bool TerritoryNetTrained = false;
    TTerritoryEvaluator Territory{*this};
    // The rule manager: every goal and rule of the move engine.
    std::unique_ptr<TObrinRuleManager> RuleManager = std::make_unique<TObrinRuleManager>(*this);
    TGroupEstimator Estimator;  // group status from the 96 rules
    // The analysis graph (groups, chains, areas); built per move decision, after Territory.
    std::unique_ptr<TGoGraph> Graph = std::make_unique<TGoGraph>(*this);
    IGameRecorder* Recorder = nullptr;  // not owned; null records nothing
    // The computer's choice for +1, (-1, -1) to pass: the move driver, unless a test sets its own.
    std::function<TPoint()> ComputerMove;
    std::vector<std::string> LastGoalTree;  // goal tree of the last computer move, one line per goal
    TSettings Settings;  // the settings of OBRIN.INI
    // The translation table; it belongs to the user-interface object, which outlives the engine
    // and attaches it. Null when there is none (obrin-cli, most tests).
    TLangSup* LangSup = nullptr;

  private:
    std::unique_ptr<TGoalDebugger> m_goalDebugger;
    bool m_deterministicClock = false;
};

}  // namespace obrin
