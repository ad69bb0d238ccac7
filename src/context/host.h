// The host interface: everything the engine needs from whoever shows it to a user. The desktop
// program implements it with Qt windows; obrin-cli and the tests use the quiet defaults below or
// a scripted host. The engine never includes a GUI header.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>

#include "board/board.h"

namespace obrin {

struct TGameState;

// What the human did at a turn of a game against the computer or another human.
enum class THumanInput { Move, Pass, TakeBack, Resign, Stopped };

// The three kinds of game the game loops play.
enum class TGameKind { HumanHuman, HumanComputer, SelfPlay };

// How a game ended: by two passes in a row (the position is to be counted) or because a player
// resigned. Result is the record's RE for a resignation ("B+R", "W+R"); a counted game gets its
// result once the count has been agreed. A self-played game that was stopped is counted too,
// but it has no result (Finished is false).
struct TGameEnd {
    bool Resigned = false;
    std::string Result;
    bool Finished = true;
};

class IHost {
  public:
    virtual ~IHost() = default;

    // Let the user interface handle pending events from inside a running command.
    virtual void ProcessEvents() {}
    // The board window's input state became locked (the stop button), so loops and searches end.
    [[nodiscard]] virtual bool IsLocked() { return false; }
    // The application is shutting down.
    [[nodiscard]] virtual bool Terminating() { return false; }

    // Waits for a human move of colour: true with a legal point or with (-1, -1) for a pass;
    // false when the board became locked.
    [[nodiscard]] virtual bool WaitForMove(int colour, int& x, int& y) {
        (void)colour;
        x = y = -1;
        return false;
    }
    // The human's turn: a legal move in (x, y), a pass, a request to take back the last moves
    // (offered only when canTakeBack), a resignation, or Stopped when the board became locked.
    // Hosts without those buttons answer through WaitForMove.
    [[nodiscard]] virtual THumanInput AwaitHumanTurn(int colour, bool canTakeBack, int& x, int& y) {
        (void)canTakeBack;
        if (!WaitForMove(colour, x, y)) return THumanInput::Stopped;
        return x < 0 || y < 0 ? THumanInput::Pass : THumanInput::Move;
    }
    // Asks before clearing a non-empty board; true to go ahead.
    [[nodiscard]] virtual bool ConfirmClear() { return true; }
    // The start dialog ("Modalitäten") on the given page; writes its choices into game and
    // returns false on cancel.
    [[nodiscard]] virtual bool RunStartDialog(int page, TGameState& game) {
        (void)page;
        (void)game;
        return true;
    }

    virtual void Redraw() {}
    // A board the searches are trying; shown only when lookahead animation is on.
    virtual void ShowIntermediate(const TBoard& board) { (void)board; }
    virtual void SetStatus(const std::string& text) { (void)text; }
    virtual void ClearInference() {}
    virtual void AddInference(const std::string& line) { (void)line; }
    // A message box with a German design text; the host translates it in the current context.
    virtual void ShowMessage(const std::string& text) { (void)text; }
    virtual void SetCaption(const std::string& text) { (void)text; }
    virtual void SetBusy(bool busy) { (void)busy; }
    // Switches the game-control window's buttons between playing and editing.
    virtual void SetPlayingMode(bool playing) { (void)playing; }
    // The game-control window shows the new move, prisoners and ko.
    virtual void RefreshControl() {}
    // The game is set up (colours, prisoners, who begins) and its first move comes next: the
    // record of the game begins here.
    virtual void GameStarts(TGameKind kind) { (void)kind; }
    // A game ended by passes or by resignation; the desktop program counts a passed-out game in
    // the score window and writes the result into the record.
    virtual void GameEnded(const TGameEnd& end) { (void)end; }
    // A mark of the record as it stands before a turn, and going back to such a mark when the
    // moves after it are taken back.
    [[nodiscard]] virtual int64_t RecordMark() { return 0; }
    virtual void RewindRecord(int64_t mark) { (void)mark; }

    // Milliseconds on a steady clock, for search deadlines and pauses.
    [[nodiscard]] virtual uint64_t TickMs() {
        using namespace std::chrono;
        return static_cast<uint64_t>(
            duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
    }
    // Waits ms milliseconds while letting the user interface work.
    virtual void Pause(int ms) { (void)ms; }
};

}  // namespace obrin
