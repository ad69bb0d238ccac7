// The territory dialog ("Gebietsbewertung"): shows the territory evaluator's value of clicked
// points, records what the user says about them ("this point is better than that one", "this
// point has that value") as "dectrain.dat" records, and trains the territory network on them
// with the windows alive. Invariant: the records live in memory until "&Speichern" writes them
// (atomically); opening the dialog reads the file afresh, so "&Abbruch" drops what was added.
#pragma once

#include <QWidget>
#include <cstdint>
#include <functional>
#include <vector>

#include "analysis/FormTraining.h"
#include "board/board.h"
#include "game/engine.h"
#include "ui/FormUi.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSlider;
class QStatusBar;

namespace obrin::gui {

class TGuiHost;
class TBoardView;

class TFormGebiet : public QWidget {
    Q_OBJECT
  public:
    TFormGebiet(TEngine& engine, TUi& ui, TGuiHost& host, TBoardView& board,
                QWidget* parent = nullptr);

    // A point clicked on the board: into "Ort" (and, for a comparison, every other click into
    // the second "Ort"), with its territory value shown.
    void PointChosen(TPoint point);
    // "Daten &übernehmen": one record of the chosen kind; false (with a message) when none was
    // added.
    bool AppendData();
    // "&Trainieren": training rounds until "Sto&p".
    void Train();
    void Stop() { m_run.Stop(); }
    [[nodiscard]] bool Training() const { return m_run.Running(); }
    [[nodiscard]] int Rounds() const { return m_rounds; }
    // Reads "dectrain.dat" afresh and shows the counts.
    void LoadRecords();
    [[nodiscard]] const std::vector<uint8_t>& Records() const { return m_records; }
    // The share of comparisons turned by a random symmetry, from the track bar.
    [[nodiscard]] double Relation() const;
    void Translate();

    // Analyses the current position, so that values and records are those of the board.
    std::function<void()> Analyse;

    QRadioButton* rbOrt;
    QRadioButton* rbBesser;
    QRadioButton* rbWert;
    QLineEdit* EditOrt1;
    QLineEdit* EditOrt2;
    QLineEdit* EditWert;
    QLabel* LabelBewertung;  // the territory values of the points typed or clicked
    QSlider* TrackBar;
    QLabel* lblRel;
    QPushButton* ButtonUebernehmen;
    QPushButton* ButtonTrainieren;
    QPushButton* ButtonStop;
    QPushButton* ButtonSpeichern;
    QPushButton* ButtonAbbruch;
    QStatusBar* StatusBar;

  protected:
    void showEvent(QShowEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

  private:
    void ShowCounts();
    void ShowRelation();
    void ShowValues();
    void SetTrainingLayout(bool on);
    [[nodiscard]] QString ValueText(const QString& pointText);

    TEngine& m_engine;
    TUi& m_ui;
    TGuiHost& m_host;
    TBoardView& m_board;
    std::vector<uint8_t> m_records;
    bool m_loaded = false;
    TTrainingRun m_run;
    bool m_nextIntoSecond = false;  // the next click goes into the second point
    int m_rounds = 0;
    double m_errorSum = 0;
};

}  // namespace obrin::gui
