// The start dialog ("Modalitäten") shown before a game: prisoners and komi, who begins and the
// computer's colour. The prisoner fields are Black's and White's, whichever player has that
// colour; komi is White's. OK writes the choices into the game state, the prisoners in the
// engine's terms (+1 is the computer, drawn white when it plays White).
#pragma once

#include <QDialog>

#include "game/gamestate.h"
#include "ui/FormUi.h"

class QLineEdit;
class QRadioButton;
class QTabWidget;

namespace obrin::gui {

class TFormStart : public QDialog {
    Q_OBJECT
  public:
    TFormStart(TGameState& game, TUi& ui, QWidget* parent = nullptr);
    // A prisoner field that loses the focus while the dialog goes would reach a half-destroyed
    // dialog: its connections are cut first.
    ~TFormStart() override;

    // Page 0: human against computer; page 1: two humans.
    void SetPage(int page);
    // Handicap stones stand on the board: the usual choice is the human taking them as Black,
    // so the computer plays White and moves first. The user may still choose otherwise.
    void SuggestHandicapGame();
    void Translate();

    // The controls, for the tests and the screenshots.
    QLineEdit* EditSGefangene;
    QLineEdit* EditWGefangene;
    QRadioButton* rbComputerBeginnt;
    QRadioButton* rbComputerWeiss;
    QRadioButton* rbSchwarzBeginnt;
    QRadioButton* rbWeissBeginnt;
    QRadioButton* m_mensch = nullptr;

  private:
    void ReadPrisoners();
    void ShowPrisoners();
    void Accept();

    TGameState& m_game;
    double m_black = 0.0;  // the prisoners of Black and of White as the fields show them
    double m_white = 0.0;
    TUi& m_ui;
    QTabWidget* m_pages;
};

}  // namespace obrin::gui
