// Self-play without windows: the desktop program's self-play loop, run by obrin-cli and the
// tests. Every game is recorded as SGF with the goal tree of each move in that move's comment,
// and the player counts what shows whether the engine plays soundly: moves, passes, moves the
// rules forbid, exceptions, and the processor time of each move split into analysis and search.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "game/engine.h"

namespace obrin {

struct TSelfPlayTotals {
    int Games = 0;
    int Moves = 0;  // board moves and passes
    int Passes = 0;
    int Illegal = 0;  // answers of the driver that the rules forbid (played as passes)
    int Exceptions = 0;
    int Capped = 0;  // games ended by the move cap, not by two passes
    std::vector<double> MoveMs, AnalysisMs, SearchMs;  // processor time of each computer move
    std::vector<std::string> Errors;                   // what the exceptions said
};

// Plays games of the engine against itself. One engine serves every game, as in the desktop
// program, so its pools and tables are reused and the leak checks at Shutdown cover all games.
// The engine runs on the deterministic clock: a game depends on its seed only.
class TSelfPlayer {
  public:
    explicit TSelfPlayer(int maxMoves = 400);
    TSelfPlayer(const TSelfPlayer&) = delete;
    TSelfPlayer& operator=(const TSelfPlayer&) = delete;
    ~TSelfPlayer();

    // Plays one game from the empty board, the random generator seeded with seed; it ends by
    // two passes in a row, the move cap or an exception. Returns the game's record as SGF.
    [[nodiscard]] std::string PlayGame(uint32_t seed);

    [[nodiscard]] const TSelfPlayTotals& Totals() const { return m_totals; }
    [[nodiscard]] TEngine& Engine() { return *m_engine; }

  private:
    class THost;
    class TRecorder;
    [[nodiscard]] TPoint TimedComputerMove();

    int m_maxMoves;
    std::unique_ptr<THost> m_host;  // made before the engine, which keeps a reference to it
    std::unique_ptr<TEngine> m_engine;
    TSelfPlayTotals m_totals;
    std::vector<std::string> m_pendingComment;  // the goal tree of the move about to be recorded
    int m_gameMoves = 0;
};

// The median of values (0 when empty); values are reordered.
[[nodiscard]] double MedianOf(std::vector<double> values);

}  // namespace obrin
