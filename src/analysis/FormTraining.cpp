#include "analysis/FormTraining.h"

#include <QCloseEvent>
#include <exception>

namespace obrin::gui {

void TTrainingRun::End(QWidget* window) {
    m_running = false;
    if (!m_closeWhenStopped) return;
    m_closeWhenStopped = false;
    CloseWindow(window);
}

bool TTrainingRun::PutOffClose(QCloseEvent* e) {
    if (!m_running) return false;
    m_stop = true;
    m_closeWhenStopped = true;
    e->ignore();
    return true;
}

void SaveAndClose(QWidget* window, TUi& ui, const std::function<void()>& save) {
    try {
        save();
    } catch (const std::exception& e) {
        ui.Dialogs.Message(window, QString::fromStdString(e.what()));
        return;
    }
    CloseWindow(window);
}

}  // namespace obrin::gui
