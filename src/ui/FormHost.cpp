#include "ui/FormHost.h"

#include <QApplication>
#include <QEventLoop>
#include <QTimer>

#include "game/FormStart.h"
#include "game/gameflow.h"
#include "goals/goalwords.h"
#include "ui/FormBoard.h"
#include "ui/FormControl.h"
#include "ui/FormGoMain.h"

namespace obrin::gui {

void TGuiHost::ProcessEvents() {
    QCoreApplication::processEvents();
}

bool TGuiHost::IsLocked() {
    if (ToolStopRequested) {
        constexpr uint64_t kEventsEveryMs = 20;
        const uint64_t now = TickMs();
        if (now - m_lastEvents >= kEventsEveryMs) {
            m_lastEvents = now;
            ProcessEvents();
        }
        if (m_terminating || (ToolStopRequested && ToolStopRequested())) return true;
    }
    return m_board == nullptr || m_board->GetState() == bsLocked;
}

bool TGuiHost::WaitForMove(int colour, int& x, int& y) {
    x = y = -1;
    if (m_board == nullptr) return false;
    return m_board->WaitForMove(x, y, colour);
}

THumanInput TGuiHost::AwaitHumanTurn(int colour, bool canTakeBack, int& x, int& y) {
    x = y = -1;
    if (m_board == nullptr) return THumanInput::Stopped;
    if (m_control != nullptr) m_control->SetTakeBackEnabled(canTakeBack);
    const bool going = m_board->WaitForMove(x, y, colour);
    if (m_control != nullptr) m_control->SetTakeBackEnabled(false);
    if (!going) return THumanInput::Stopped;
    if (m_board->ResignRequested()) return THumanInput::Resign;
    if (m_board->TakeBackRequested()) return THumanInput::TakeBack;
    return x < 0 || y < 0 ? THumanInput::Pass : THumanInput::Move;
}

bool TGuiHost::ConfirmClear() {
    return m_board == nullptr || m_board->ConfirmClear();
}

bool TGuiHost::RunStartDialog(int page, TGameState& game) {
    bool ok = false;
    if (StartDialog) {
        ok = StartDialog(page, game);
    } else {
        TFormStart dialog(game, m_ui, m_main);
        dialog.SetPage(page);
        if (m_main != nullptr) {
            const TBoard& board = m_main->Engine().Fields.Spielfeld;
            if (page == 0 && HandicapStonesOn(board, IsDrawnBlack(game, 1) ? 1 : -1) > 0)
                dialog.SuggestHandicapGame();
        }
        ok = m_ui.Dialogs.Exec(&dialog) == QDialog::Accepted;
    }
    return ok;
}

void TGuiHost::Redraw() {
    if (m_board != nullptr) m_board->Redraw();
}

void TGuiHost::ShowIntermediate(const TBoard& board) {
    if (m_board != nullptr) m_board->ShowIntermediate(board);
    ProcessEvents();
}

void TGuiHost::SetStatus(const std::string& text) {
    if (m_board == nullptr) return;
    m_board->ShowProgress(QString::fromStdString(text));
    // While the computer plays, each stage of its thinking lets the stop button through; the
    // search ends at its next look at the board's state.
    if (!text.empty() && m_board->GetState() == bsMenschComputer) ProcessEvents();
}

void TGuiHost::ClearInference() {
    if (m_control != nullptr) m_control->MemoInference->clear();
}

void TGuiHost::AddInference(const std::string& line) {
    if (m_control == nullptr) return;
    // The goal in the interface language, its points as coordinates.
    const std::string shown = ReasoningLine(line, [this](const std::string& key) {
        return m_ui.Tr(QStringLiteral("Reasoning"), QString::fromStdString(key)).toStdString();
    });
    m_control->MemoInference->appendPlainText(QString::fromStdString(shown));
}

void TGuiHost::ShowMessage(const std::string& text) {
    m_ui.Message(m_main, QStringLiteral("Thinking"), QString::fromStdString(text));
}

void TGuiHost::SetCaption(const std::string& text) {
    if (m_main != nullptr) m_main->setWindowTitle(QString::fromStdString(text));
}

void TGuiHost::SetBusy(bool busy) {
    if (busy) {
        if (m_busy++ == 0) QApplication::setOverrideCursor(Qt::WaitCursor);
    } else if (m_busy > 0 && --m_busy == 0) {
        QApplication::restoreOverrideCursor();
    }
}

void TGuiHost::SetPlayingMode(bool playing) {
    if (m_main != nullptr) m_main->SetPlaying(playing);
}

void TGuiHost::GameStarts(TGameKind kind) {
    // The game's moves go into the record, a new one when nothing is selected.
    if (m_control != nullptr) m_control->StartRecord(kind);
}

void TGuiHost::GameEnded(const TGameEnd& end) {
    if (m_main != nullptr) m_main->GameEnded(end);
}

int64_t TGuiHost::RecordMark() {
    return m_control != nullptr ? m_control->RecordMark() : 0;
}

void TGuiHost::RewindRecord(int64_t mark) {
    if (m_control != nullptr) m_control->RewindRecord(mark);
}

void TGuiHost::RefreshControl() {
    if (m_control != nullptr) m_control->Refresh();
}

void TGuiHost::Pause(int ms) {
    Redraw();
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

}  // namespace obrin::gui
