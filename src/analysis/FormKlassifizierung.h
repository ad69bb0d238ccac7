// The point-classification dialog ("Klassifizierung von Brett-Punkten"): shows what the point
// classifier says about a clicked point, lets the user set the wanted outputs on 19 scroll bars
// and add them as training samples, fills "Endfeld" with one output over the whole board, and
// trains the network on the samples with the windows alive. Invariant: while training runs,
// only the training button (now "Sto&p") and closing act; closing stops the training first.
#pragma once

#include <QWidget>
#include <array>

#include "analysis/FormTraining.h"
#include "analysis/klassi.h"
#include "board/board.h"
#include "game/engine.h"
#include "ui/FormUi.h"

class QCheckBox;
class QLabel;
class QPushButton;
class QScrollBar;

namespace obrin::gui {

class TGuiHost;
class TBoardView;

class TFormKlassifizierung : public QWidget {
    Q_OBJECT
  public:
    TFormKlassifizierung(TEngine& engine, TUi& ui, TGuiHost& host, TBoardView& board,
                         QWidget* parent = nullptr);

    // A point clicked on the board in classification mode: chosen and tested.
    void PointChosen(TPoint point);
    // "Punkt &testen": the network's outputs for the chosen point onto the scroll bars.
    void TestChosenPoint();
    // "Diesen &Vektor übernehmen": eight samples of the chosen point with the wanted outputs.
    void AcceptChosenVector();
    // "&Endfeld belegen": the one ticked output over the whole board, into Endfeld.
    void FillEndfeldFromTick();
    // "&Keine Markierungen".
    void ClearTicks();
    // The training button: starts training, or stops it when it runs.
    void ToggleTraining();
    [[nodiscard]] bool Training() const { return m_run.Running(); }
    [[nodiscard]] int64_t TrainingSteps() const { return m_steps; }
    // Loads "training.dat" (when it exists) and shows the sample count.
    void LoadSamples();
    void Translate();

    std::array<QScrollBar*, KlassiNamedOutputs> sb{};
    std::array<QCheckBox*, KlassiNamedOutputs> cbKlasse{};
    std::array<QLabel*, KlassiNamedOutputs> LabelWert{};
    QLabel* LabelPunkt;
    QLabel* LabelAnzahl;  // "(<n> Trainingsmuster)"
    QLabel* LabelFehler;
    QCheckBox* cbNurLetzten;
    QPushButton* ButtonTesten;
    QPushButton* ButtonVektor;
    QPushButton* ButtonEndfeld;
    QPushButton* ButtonKeine;
    QPushButton* ButtonTraining;
    QPushButton* ButtonSpeichern;
    QPushButton* ButtonAbbrechen;

  protected:
    void showEvent(QShowEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

  private:
    [[nodiscard]] bool HasPoint();
    void ShowCount();
    void ShowValue(int k);
    void SetTrainingLayout(bool on);

    TEngine& m_engine;
    TUi& m_ui;
    TGuiHost& m_host;
    TBoardView& m_board;
    TPoint m_point = PassPoint;
    bool m_loaded = false;  // the sample file was read for this opening of the window
    TTrainingRun m_run;
    int64_t m_steps = 0;
};

}  // namespace obrin::gui
