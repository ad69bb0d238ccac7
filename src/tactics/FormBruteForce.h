// The capture-search window ("Brute Force"): can the chain the user clicked be captured or
// saved? It asks the tactical reader the very question GTP attack and defend ask, under the
// time limit typed in the window, and shows the answer, the move and whether it hangs on a ko.
// Invariant: while it reads, the windows stay alive, its own buttons are off but "Sto&p", and
// the game position is never touched (the reader works on a copy).
#pragma once

#include <QWidget>
#include <functional>

#include "board/board.h"
#include "game/engine.h"
#include "tactics/reading.h"
#include "ui/FormUi.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace obrin::gui {

class TFormBoard;
class TGuiHost;

class TFormBruteForce : public QWidget {
    Q_OBJECT
  public:
    TFormBruteForce(TEngine& engine, TUi& ui, TGuiHost& host, TFormBoard& board,
                    QWidget* parent = nullptr);

    // A point clicked on the board in classification mode.
    void PointChosen(TPoint point);
    // "&Retten" (attack = false) and "&Fangen" (attack = true).
    void Read(bool attack);
    [[nodiscard]] bool Reading() const { return m_reading; }
    void Translate();

    QLineEdit* EditName;
    QLineEdit* EditTime;
    QLabel* LabelErgebnis;
    QLabel* LabelOrt;
    QLabel* LabelKo;      // how a success hangs on a ko; empty otherwise
    QLabel* LabelDetail;  // what the reading cost
    QPushButton* ButtonRetten;
    QPushButton* ButtonFangen;
    QPushButton* ButtonStop;
    QPushButton* ButtonEnde;

    // Called with true when a reading starts and false when it ends, so that the main window
    // can switch off the commands that must not run meanwhile.
    std::function<void(bool)> OnReading;

  protected:
    void closeEvent(QCloseEvent* e) override;

  private:
    [[nodiscard]] int TimeLimit();
    [[nodiscard]] bool ChosenChain(TPoint& chain);
    void ShowAnswer(const TReadingAnswer& answer, TPoint chain);
    void SetReading(bool on);

    TEngine& m_engine;
    TUi& m_ui;
    TGuiHost& m_host;
    TFormBoard& m_board;
    bool m_reading = false;
    bool m_stop = false;
    bool m_closeWhenDone = false;
};

}  // namespace obrin::gui
