// What the two training dialogs share: the state of a training loop that runs with the windows
// alive, and saving before closing. A window closed while it trains does not go at once: the
// training is stopped, and the window closes when the loop has ended.
#pragma once

#include <functional>

#include "context/host.h"
#include "ui/FormUi.h"

class QCloseEvent;

namespace obrin::gui {

class TTrainingRun {
  public:
    [[nodiscard]] bool Running() const { return m_running; }
    // Whether the loop goes on: neither stopped nor the program closing.
    [[nodiscard]] bool Continues(IHost& host) const { return !m_stop && !host.Terminating(); }
    void Begin() {
        m_running = true;
        m_stop = false;
    }
    void Stop() { m_stop = true; }
    // The loop has ended; window closes now when a close waited for it.
    void End(QWidget* window);
    // For the window's closeEvent: while the loop runs, the close is put off (e ignored, the
    // loop stopped) and true is returned.
    bool PutOffClose(QCloseEvent* e);

  private:
    bool m_running = false;
    bool m_stop = false;
    bool m_closeWhenStopped = false;
};

// "&Speichern": writes with save and closes window; when save throws, its message is shown and
// the window stays open with nothing lost.
void SaveAndClose(QWidget* window, TUi& ui, const std::function<void()>& save);

}  // namespace obrin::gui
