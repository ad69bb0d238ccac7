// The score window "Bewertung": counts the position on the board as a finished game (see
// game/scoring.h) and shows territory and prisoners of both sides and who leads. While it is
// shown the board displays the count: dead stones taken off, territory marked.
#pragma once

#include <QWidget>

#include "game/engine.h"
#include "game/scoring.h"
#include "ui/FormUi.h"

class QLabel;
class QPushButton;

namespace obrin::gui {

class TBoardView;
class TGuiHost;

class TFormScore : public QWidget {
    Q_OBJECT
  public:
    TFormScore(TEngine& engine, TUi& ui, TGuiHost& host, TBoardView& board,
               QWidget* parent = nullptr);

    // Analyses and counts the current position and shows the result (each showing does this).
    void Evaluate();
    [[nodiscard]] const TScore& Score() const { return m_score; }
    void Translate();

    QLabel* LblGebietSchwarz;     // territory of OBRIN (+1)
    QLabel* LblGefangeneSchwarz;  // prisoners of OBRIN
    QLabel* LblGebietWeiss;       // territory of the human (-1)
    QLabel* LblGefangeneWeiss;    // prisoners of the human
    QLabel* LabelBilanz;          // the result line
    QPushButton* ButtonOk;

  protected:
    void showEvent(QShowEvent* e) override;
    void hideEvent(QHideEvent* e) override;

  private:
    void ShowResult();

    TEngine& m_engine;
    TUi& m_ui;
    TGuiHost& m_host;
    TBoardView& m_board;
    TScore m_score;
};

}  // namespace obrin::gui
