// The score window "Bewertung": counts the position on the board as a finished game (see
// game/scoring.h) and shows territory and prisoners of both sides and who leads. While it is
// shown the board displays the count: dead stones taken off, territory marked. A click on a
// stone group marks it dead or alive again and the count follows, as the analysis' judgement
// of dead stones is the computer's guess and the players have the last word.
#pragma once

#include <QWidget>
#include <functional>

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
    // The stones counted alive (seki stones among them), as the board shows them.
    [[nodiscard]] const TBoard& Living() const { return m_living; }
    // The record's result of the count shown ("B+5.5", "W+3", "0").
    [[nodiscard]] std::string Result() const;
    // A click on the board while the count is shown: the group at point changes between dead
    // and alive. False when there is no stone there or no count is shown.
    bool ToggleAt(TPoint point);
    void Translate();

    // "&Ok": the count is agreed (the window closes with its frame).
    std::function<void()> OnAccepted;

    QLabel* LblGebietSchwarz;     // territory of OBRIN (+1)
    QLabel* LblGefangeneSchwarz;  // prisoners of OBRIN
    QLabel* LblGebietWeiss;       // territory of the human (-1)
    QLabel* LblGefangeneWeiss;    // prisoners of the human
    QLabel* LabelBilanz;          // the result line
    QLabel* LabelErgebnis;        // the result in the record's terms, with the colours
    QPushButton* ButtonOk;

  protected:
    void showEvent(QShowEvent* e) override;
    void hideEvent(QHideEvent* e) override;

  private:
    void ShowResult();
    void ShowCount();

    TEngine& m_engine;
    TUi& m_ui;
    TGuiHost& m_host;
    TBoardView& m_board;
    TScore m_score;
    bool m_counted = false;  // the maps below hold the count shown
    TBoard m_living{};       // the living stones, as the analysis judged and the user corrected
    TBoard m_territory{};    // the territory they imply
    TBoard m_neutral{};      // the liberties seki groups share: nobody's territory
};

}  // namespace obrin::gui
