#include "analysis/FormKlassifizierung.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QElapsedTimer>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>

#include "analysis/testdata.h"
#include "ui/FormBoard.h"
#include "ui/FormHost.h"

namespace obrin::gui {

namespace {

const QString kContext = QStringLiteral("Klassi");
constexpr int kEventsEveryMs = 20;

}  // namespace

TFormKlassifizierung::TFormKlassifizierung(TEngine& engine, TUi& ui, TGuiHost& host,
                                           TBoardView& board, QWidget* parent)
    : QWidget(parent), m_engine(engine), m_ui(ui), m_host(host), m_board(board) {
    setObjectName(QStringLiteral("FormKlassifizierung"));
    setWindowTitle(QStringLiteral("Klassifizierung von Brett-Punkten"));
    auto* layout = new QHBoxLayout(this);

    auto* outputs = new QGroupBox(QStringLiteral("Gewünschte Ausgaben"), this);
    auto* grid = new QGridLayout(outputs);
    grid->setVerticalSpacing(2);
    grid->setColumnStretch(1, 1);
    for (int k = 0; k < KlassiNamedOutputs; ++k) {
        cbKlasse[k] = new QCheckBox(QString::fromUtf8(KlassiOutputLabels[k]), outputs);
        sb[k] = new QScrollBar(Qt::Horizontal, outputs);
        sb[k]->setRange(0, 100);
        sb[k]->setValue(50);
        sb[k]->setMinimumWidth(140);
        LabelWert[k] = new QLabel(outputs);
        MarkUntranslated(LabelWert[k]);
        LabelWert[k]->setMinimumWidth(34);
        LabelWert[k]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        grid->addWidget(cbKlasse[k], k, 0);
        grid->addWidget(sb[k], k, 1);
        grid->addWidget(LabelWert[k], k, 2);
        connect(sb[k], &QScrollBar::valueChanged, this, [this, k] { ShowValue(k); });
        ShowValue(k);
    }
    layout->addWidget(outputs, 1);

    auto* side = new QVBoxLayout;
    auto* pointCaption = new QLabel(QStringLiteral("Punkt"), this);
    LabelPunkt = new QLabel(QStringLiteral("---"), this);
    MarkUntranslated(LabelPunkt);
    QFont big = LabelPunkt->font();
    big.setBold(true);
    big.setPointSizeF(big.pointSizeF() * 1.6);
    LabelPunkt->setFont(big);
    side->addWidget(pointCaption);
    side->addWidget(LabelPunkt);
    ButtonTesten = new QPushButton(QStringLiteral("Punkt &testen"), this);
    ButtonVektor = new QPushButton(QStringLiteral("Diesen &Vektor übernehmen"), this);
    ButtonEndfeld = new QPushButton(QStringLiteral("&Endfeld belegen"), this);
    ButtonKeine = new QPushButton(QStringLiteral("&Keine Markierungen"), this);
    for (QPushButton* b : {ButtonTesten, ButtonVektor, ButtonEndfeld, ButtonKeine})
        side->addWidget(b);
    side->addSpacing(10);

    auto* training = new QGroupBox(QStringLiteral("Training"), this);
    auto* trainingLayout = new QVBoxLayout(training);
    LabelAnzahl = new QLabel(training);
    MarkUntranslated(LabelAnzahl);
    cbNurLetzten = new QCheckBox(QStringLiteral("Nur letzten Vektor"), training);
    ButtonTraining = new QPushButton(QStringLiteral("&Trainieren"), training);
    LabelFehler = new QLabel(training);
    MarkUntranslated(LabelFehler);
    LabelFehler->setMinimumWidth(180);
    trainingLayout->addWidget(LabelAnzahl);
    trainingLayout->addWidget(cbNurLetzten);
    trainingLayout->addWidget(ButtonTraining);
    trainingLayout->addWidget(LabelFehler);
    side->addWidget(training);
    side->addStretch(1);
    ButtonSpeichern = new QPushButton(QStringLiteral("&Speichern und Beenden"), this);
    ButtonAbbrechen = new QPushButton(QStringLiteral("&Abbrechen"), this);
    side->addWidget(ButtonSpeichern);
    side->addWidget(ButtonAbbrechen);
    layout->addLayout(side);

    connect(ButtonTesten, &QPushButton::clicked, this, &TFormKlassifizierung::TestChosenPoint);
    connect(ButtonVektor, &QPushButton::clicked, this, &TFormKlassifizierung::AcceptChosenVector);
    connect(ButtonEndfeld, &QPushButton::clicked, this, &TFormKlassifizierung::FillEndfeldFromTick);
    connect(ButtonKeine, &QPushButton::clicked, this, &TFormKlassifizierung::ClearTicks);
    connect(ButtonTraining, &QPushButton::clicked, this, &TFormKlassifizierung::ToggleTraining);
    connect(ButtonSpeichern, &QPushButton::clicked, this,
            [this] { SaveAndClose(this, m_ui, [this] { SaveKlassiSamples(m_engine); }); });
    connect(ButtonAbbrechen, &QPushButton::clicked, this, [this] { CloseWindow(this); });
    ShowCount();
    Translate();
}

void TFormKlassifizierung::Translate() {
    m_ui.Translator.TranslateComponent(this, kContext);
    if (m_run.Running()) ButtonTraining->setText(m_ui.Tr(kContext, QStringLiteral("Sto&p")));
}

void TFormKlassifizierung::ShowValue(int k) {
    LabelWert[k]->setText(QString::number(sb[k]->value() / 100.0, 'f', 2));
}

void TFormKlassifizierung::ShowCount() {
    LabelAnzahl->setText(QStringLiteral("(%1 %2)")
                             .arg(m_engine.KlassiSamples->GetSampleCount())
                             .arg(m_ui.Tr(kContext, QStringLiteral("Trainingsmuster"))));
}

void TFormKlassifizierung::LoadSamples() {
    try {
        LoadKlassiSamples(m_engine);
    } catch (const std::exception& e) {
        m_ui.Dialogs.Message(this, QString::fromStdString(e.what()));
    }
    ShowCount();
}

void TFormKlassifizierung::showEvent(QShowEvent* e) {
    QWidget::showEvent(e);
    if (m_loaded) return;
    m_loaded = true;
    LoadSamples();
}

bool TFormKlassifizierung::HasPoint() {
    if (OnBoard(m_point.X, m_point.Y)) return true;
    m_ui.Message(this, kContext,
                 QStringLiteral("Bitte zuerst einen Punkt auf dem Spielfeld anklicken."));
    return false;
}

void TFormKlassifizierung::PointChosen(TPoint point) {
    if (!OnBoard(point.X, point.Y) || m_run.Running()) return;
    m_point = point;
    LabelPunkt->setText(QString::fromStdString(PointText(point.X, point.Y)));
    m_board.SetToolMarks(kContext, {{point, QColor(0xE0, 0x8A, 0x00), QString()}});
    TestChosenPoint();
}

void TFormKlassifizierung::TestChosenPoint() {
    if (!HasPoint()) return;
    // The inputs of the position as it stands now.
    SpreadInfluence(m_engine.Fields.Spielfeld, m_engine.Fields.Feldstaerkefeld, 50);
    const std::array<double, KlassiNetSize> out = TestPoint(m_engine, m_point.X, m_point.Y);
    for (int k = 0; k < KlassiNamedOutputs; ++k) sb[k]->setValue(static_cast<int>(out[k] * 100));
}

void TFormKlassifizierung::AcceptChosenVector() {
    if (!HasPoint()) return;
    SpreadInfluence(m_engine.Fields.Spielfeld, m_engine.Fields.Feldstaerkefeld, 50);
    std::array<double, KlassiNamedOutputs> wanted{};
    for (int k = 0; k < KlassiNamedOutputs; ++k) wanted[k] = sb[k]->value() / 100.0;
    AcceptVector(m_engine, m_point.X, m_point.Y, wanted);
    ShowCount();
}

void TFormKlassifizierung::FillEndfeldFromTick() {
    int ticked = -1, count = 0;
    for (int k = 0; k < KlassiNamedOutputs; ++k)
        if (cbKlasse[k]->isChecked()) {
            ticked = k;
            ++count;
        }
    if (count != 1) {
        m_ui.Message(this, kContext, QStringLiteral("Bitte genau eine Klasse ankreuzen"));
        return;
    }
    FillEndfeld(m_engine, ticked);
    TFieldOverlay overlay;
    overlay.Field = m_engine.Fields.Endfeld;
    overlay.Colour = [](int v) { return FieldScaleColour(v - 50, 50); };
    m_board.SetOverlay(std::move(overlay));
}

void TFormKlassifizierung::ClearTicks() {
    for (QCheckBox* c : cbKlasse) c->setChecked(false);
    m_board.SetOverlay(std::nullopt);
}

void TFormKlassifizierung::SetTrainingLayout(bool on) {
    ButtonTraining->setText(
        m_ui.Tr(kContext, on ? QStringLiteral("Sto&p") : QStringLiteral("&Trainieren")));
    for (QPushButton* b : {ButtonTesten, ButtonVektor, ButtonEndfeld, ButtonSpeichern})
        b->setEnabled(!on);
    cbNurLetzten->setEnabled(!on);
}

void TFormKlassifizierung::ToggleTraining() {
    if (m_run.Running()) {
        m_run.Stop();
        return;
    }
    if (m_engine.KlassiSamples->GetSampleCount() == 0) {
        m_ui.Message(this, kContext, QStringLiteral("Es gibt noch keine Trainingsmuster."));
        return;
    }
    m_run.Begin();
    SetTrainingLayout(true);
    const bool onlyLast = cbNurLetzten->isChecked();
    double sum = 0;
    int64_t sinceShown = 0;
    QElapsedTimer clock;
    clock.start();
    // The steps are short; between them, every few milliseconds, the windows get their events,
    // among them the press of "Sto&p".
    while (m_run.Continues(m_host)) {
        sum += TrainKlassiStep(m_engine, onlyLast);
        m_engine.KlassiNetTrained = true;
        ++m_steps;
        ++sinceShown;
        if (clock.elapsed() >= kEventsEveryMs) {
            LabelFehler->setText(m_ui.Tr(kContext, QStringLiteral("Fehler: %1 (%2 Schritte)"))
                                     .arg(sum / sinceShown, 10, 'f', 5)
                                     .arg(m_steps));
            sum = 0;
            sinceShown = 0;
            QCoreApplication::processEvents();
            clock.restart();
        }
    }
    SetTrainingLayout(false);
    m_run.End(this);
}

void TFormKlassifizierung::closeEvent(QCloseEvent* e) {
    if (m_run.PutOffClose(e)) return;
    m_loaded = false;  // the next opening reads the file again
    m_board.SetToolMarks(kContext, {});
    QWidget::closeEvent(e);
}

}  // namespace obrin::gui
