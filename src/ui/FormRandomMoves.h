// The "Zufallszüge" dialog: fills the board with random legal moves. It only collects the
// options; the caller runs the moves when the dialog is confirmed.
#pragma once

#include <QDialog>

#include "game/gameflow.h"
#include "ui/FormUi.h"

class QCheckBox;
class QLabel;
class QScrollBar;

namespace obrin::gui {

class TFormRandomMoves : public QDialog {
    Q_OBJECT
  public:
    explicit TFormRandomMoves(TUi& ui, QWidget* parent = nullptr);

    [[nodiscard]] TRandomMovesOptions Options() const;
    void Translate();

    QCheckBox* cbLeeren;
    QScrollBar* sbFarbe;
    QScrollBar* sbVersuche;
    // The values beside the scroll bars: Black's and White's share in percent, the tries.
    QLabel* LabelSchwarz;
    QLabel* LabelWeiss;
    QLabel* LabelVersuche;

  private:
    void ShowValues();

    TUi& m_ui;
};

}  // namespace obrin::gui
