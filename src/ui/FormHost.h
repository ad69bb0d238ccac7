// The desktop program's side of the engine's host interface: events, the board window's state,
// human moves, dialogs, the reasoning pane and the caption all go to the Qt windows.
#pragma once

#include <functional>

#include "context/host.h"
#include "ui/FormUi.h"

namespace obrin::gui {

class TFormBoard;
class TFormControl;
class TFormGoMain;

class TGuiHost : public IHost {
  public:
    explicit TGuiHost(TUi& ui) : m_ui(ui) {}

    // The windows exist after the engine; until they are attached the host stays quiet.
    void Attach(TFormGoMain* main, TFormBoard* board, TFormControl* control) {
        m_main = main;
        m_board = board;
        m_control = control;
    }
    void SetTerminating() { m_terminating = true; }

    void ProcessEvents() override;
    [[nodiscard]] bool IsLocked() override;
    [[nodiscard]] bool Terminating() override { return m_terminating; }
    [[nodiscard]] bool WaitForMove(int colour, int& x, int& y) override;
    [[nodiscard]] THumanInput AwaitHumanTurn(int colour, bool canTakeBack, int& x, int& y) override;
    [[nodiscard]] bool ConfirmClear() override;
    [[nodiscard]] bool RunStartDialog(int page, TGameState& game) override;
    void Redraw() override;
    void ShowIntermediate(const TBoard& board) override;
    void SetStatus(const std::string& text) override;
    void ClearInference() override;
    void AddInference(const std::string& line) override;
    void ShowMessage(const std::string& text) override;
    void SetCaption(const std::string& text) override;
    void SetBusy(bool busy) override;
    void SetPlayingMode(bool playing) override;
    void RefreshControl() override;
    void GameStarts(TGameKind kind) override;
    void GameEnded(const TGameEnd& end) override;
    [[nodiscard]] int64_t RecordMark() override;
    void RewindRecord(int64_t mark) override;
    void Pause(int ms) override;

    // While a tool window reads or trains, the searches' polls of IsLocked keep the windows
    // alive: pending events are handled every few milliseconds, and the search ends as soon as
    // this returns true (the tool's stop button) or the program is closing. Unset otherwise.
    std::function<bool()> ToolStopRequested;

    // The start dialog; tests replace it to answer without a modal window.
    std::function<bool(int page, TGameState& game)> StartDialog;

  private:
    TUi& m_ui;
    TFormGoMain* m_main = nullptr;
    TFormBoard* m_board = nullptr;
    TFormControl* m_control = nullptr;
    bool m_terminating = false;
    int m_busy = 0;
    uint64_t m_lastEvents = 0;  // when a tool's reading last let events through
};

}  // namespace obrin::gui
