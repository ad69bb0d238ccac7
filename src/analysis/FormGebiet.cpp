#include "analysis/FormGebiet.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QStatusBar>
#include <QVBoxLayout>

#include "analysis/territory.h"
#include "ui/FormBoard.h"
#include "ui/FormHost.h"

namespace obrin::gui {

namespace {

const QString kContext = QStringLiteral("Territory");
const QColor kFirstMark(0x10, 0x90, 0x30);
const QColor kSecondMark(0xC0, 0x39, 0x2B);

}  // namespace

TFormGebiet::TFormGebiet(TEngine& engine, TUi& ui, TGuiHost& host, TBoardView& board,
                         QWidget* parent)
    : QWidget(parent), m_engine(engine), m_ui(ui), m_host(host), m_board(board) {
    setObjectName(QStringLiteral("FormGebiet"));
    setWindowTitle(QStringLiteral("Gebietsbewertung"));
    auto* layout = new QVBoxLayout(this);

    // The record reads as a sentence: "Ort D4 ist besser als Ort C3" or "Ort D4 hat den
    // absoluten Wert 20".
    auto* data = new QGroupBox(QStringLiteral("Daten"), this);
    auto* grid = new QGridLayout(data);
    rbOrt = new QRadioButton(QStringLiteral("Ort "), data);
    rbBesser = new QRadioButton(QStringLiteral("ist besser als Ort"), data);
    rbWert = new QRadioButton(QStringLiteral("hat den absoluten Wert"), data);
    rbBesser->setChecked(true);
    EditOrt1 = new QLineEdit(data);
    EditOrt2 = new QLineEdit(data);
    EditWert = new QLineEdit(data);
    for (QLineEdit* e : {EditOrt1, EditOrt2, EditWert}) e->setMaximumWidth(64);
    EditOrt1->setPlaceholderText(QStringLiteral("D4"));
    EditOrt2->setPlaceholderText(QStringLiteral("C3"));
    EditWert->setPlaceholderText(QStringLiteral("-10..50"));
    grid->addWidget(rbOrt, 0, 0);
    grid->addWidget(EditOrt1, 0, 1);
    grid->addWidget(rbBesser, 1, 0);
    grid->addWidget(EditOrt2, 1, 1);
    grid->addWidget(rbWert, 2, 0);
    grid->addWidget(EditWert, 2, 1);
    grid->setColumnStretch(2, 1);
    LabelBewertung = new QLabel(data);
    MarkUntranslated(LabelBewertung);
    LabelBewertung->setMinimumHeight(2 * LabelBewertung->fontMetrics().lineSpacing() + 4);
    LabelBewertung->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    grid->addWidget(LabelBewertung, 3, 0, 1, 3);
    ButtonUebernehmen = new QPushButton(QStringLiteral("Daten &übernehmen"), data);
    grid->addWidget(ButtonUebernehmen, 4, 0, 1, 2);
    layout->addWidget(data);

    auto* training = new QGroupBox(QStringLiteral("Training"), this);
    auto* trainingLayout = new QGridLayout(training);
    trainingLayout->addWidget(new QLabel(QStringLiteral("Vergleiche gedreht:"), training), 0, 0);
    TrackBar = new QSlider(Qt::Horizontal, training);
    TrackBar->setRange(0, 100);
    TrackBar->setValue(0);
    TrackBar->setTickPosition(QSlider::TicksBelow);
    TrackBar->setTickInterval(10);
    lblRel = new QLabel(training);
    MarkUntranslated(lblRel);
    lblRel->setMinimumWidth(44);
    lblRel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    trainingLayout->addWidget(TrackBar, 0, 1);
    trainingLayout->addWidget(lblRel, 0, 2);
    auto* trainButtons = new QHBoxLayout;
    ButtonTrainieren = new QPushButton(QStringLiteral("&Trainieren"), training);
    ButtonStop = new QPushButton(QStringLiteral("Sto&p"), training);
    ButtonStop->setEnabled(false);
    trainButtons->addWidget(ButtonTrainieren);
    trainButtons->addWidget(ButtonStop);
    trainButtons->addStretch(1);
    trainingLayout->addLayout(trainButtons, 1, 0, 1, 3);
    trainingLayout->setColumnStretch(1, 1);
    layout->addWidget(training);
    layout->addStretch(1);

    auto* buttons = new QHBoxLayout;
    ButtonSpeichern = new QPushButton(QStringLiteral("&Speichern"), this);
    ButtonAbbruch = new QPushButton(QStringLiteral("&Abbruch"), this);
    buttons->addStretch(1);
    buttons->addWidget(ButtonSpeichern);
    buttons->addWidget(ButtonAbbruch);
    layout->addLayout(buttons);
    StatusBar = new QStatusBar(this);
    StatusBar->setSizeGripEnabled(false);
    layout->addWidget(StatusBar);

    connect(ButtonUebernehmen, &QPushButton::clicked, this, [this] { (void)AppendData(); });
    connect(ButtonTrainieren, &QPushButton::clicked, this, &TFormGebiet::Train);
    connect(ButtonStop, &QPushButton::clicked, this, &TFormGebiet::Stop);
    connect(ButtonSpeichern, &QPushButton::clicked, this,
            [this] { SaveAndClose(this, m_ui, [this] { SaveTerritoryRecords(m_records); }); });
    connect(ButtonAbbruch, &QPushButton::clicked, this, [this] { CloseWindow(this); });
    connect(TrackBar, &QSlider::valueChanged, this, &TFormGebiet::ShowRelation);
    for (QLineEdit* e : {EditOrt1, EditOrt2})
        connect(e, &QLineEdit::editingFinished, this, &TFormGebiet::ShowValues);
    ShowRelation();
    Translate();
    setMinimumWidth(400);
    resize(400, 440);
}

void TFormGebiet::Translate() {
    m_ui.Translator.TranslateComponent(this, kContext);
    ShowCounts();
}

double TFormGebiet::Relation() const {
    return (100 - TrackBar->value()) * 0.01;
}

void TFormGebiet::ShowRelation() {
    lblRel->setText(QString::number(100 - TrackBar->value()) + QStringLiteral(" %"));
}

void TFormGebiet::ShowCounts() {
    const TTerritoryRecordCounts counts = CountTerritoryRecords(m_records);
    StatusBar->showMessage(m_ui.Tr(kContext, QStringLiteral("%1 Vergleiche, %2 absolute Werte"))
                               .arg(counts.Comparisons)
                               .arg(counts.Absolutes));
}

void TFormGebiet::LoadRecords() {
    try {
        m_records = LoadTerritoryRecords();
    } catch (const std::exception& e) {
        m_records.clear();
        m_ui.Dialogs.Message(this, QString::fromStdString(e.what()));
    }
    ShowCounts();
}

void TFormGebiet::showEvent(QShowEvent* e) {
    QWidget::showEvent(e);
    if (m_loaded) return;
    m_loaded = true;
    LoadRecords();
}

QString TFormGebiet::ValueText(const QString& pointText) {
    const std::string text = pointText.trimmed().toUpper().toStdString();
    TPoint p = PassPoint;
    try {
        if (text.size() >= 2) p = TPoint{ColumnOfText(text), RowOfText(text)};
    } catch (const std::exception&) {
        p = PassPoint;
    }
    if (!OnBoard(p.X, p.Y)) return {};
    const QString name = QString::fromStdString(PointText(p.X, p.Y));
    if (m_engine.Fields.Spielfeld[PointIndex(p.X, p.Y)] != 0)
        return m_ui.Tr(kContext, QStringLiteral("%1: ein Stein")).arg(name);
    const double o = m_engine.Territory.EvaluatePoint(p.X, p.Y);
    return m_ui.Tr(kContext, QStringLiteral("%1: Gebietswert %2 (Netz %3)"))
        .arg(name)
        .arg(TerritoryClass(o))
        .arg(o, 0, 'f', 3);
}

void TFormGebiet::ShowValues() {
    if (Analyse) Analyse();
    QStringList lines;
    for (QLineEdit* e : {EditOrt1, EditOrt2}) {
        const QString line = ValueText(e->text());
        if (!line.isEmpty()) lines << line;
    }
    LabelBewertung->setText(lines.join(QLatin1Char('\n')));
    std::vector<TToolMark> marks;
    for (auto [edit, colour] :
         {std::pair{EditOrt1, kFirstMark}, std::pair{EditOrt2, kSecondMark}}) {
        const std::string text = edit->text().trimmed().toUpper().toStdString();
        try {
            const TPoint p{ColumnOfText(text), text.size() >= 2 ? RowOfText(text) : -1};
            if (OnBoard(p.X, p.Y)) marks.push_back({p, colour, QString()});
        } catch (const std::exception&) {
        }
    }
    m_board.SetToolMarks(kContext, std::move(marks));
}

void TFormGebiet::PointChosen(TPoint point) {
    if (!OnBoard(point.X, point.Y)) return;
    const QString text = QString::fromStdString(PointText(point.X, point.Y));
    // With a comparison the clicks alternate: the better point, then the worse one.
    if (rbBesser->isChecked() && m_nextIntoSecond) {
        EditOrt2->setText(text);
        m_nextIntoSecond = false;
    } else {
        EditOrt1->setText(text);
        m_nextIntoSecond = true;
    }
    ShowValues();
}

bool TFormGebiet::AppendData() {
    if (rbOrt->isChecked()) {
        m_ui.Message(this, kContext,
                     QStringLiteral("Bitte „ist besser als Ort“ oder „hat den absoluten Wert“ "
                                    "wählen."));
        return false;
    }
    if (Analyse) Analyse();
    const std::string first = EditOrt1->text().trimmed().toUpper().toStdString();
    const bool added =
        rbBesser->isChecked()
            ? m_engine.Territory.AppendComparison(
                  m_records, first, EditOrt2->text().trimmed().toUpper().toStdString())
            : m_engine.Territory.AppendAbsolute(m_records, first,
                                                EditWert->text().trimmed().toStdString());
    if (!added) {
        m_ui.Message(this, kContext,
                     QStringLiteral("Die Punkte oder der Wert sind nicht lesbar; nichts wurde "
                                    "übernommen."));
        return false;
    }
    ShowCounts();
    return true;
}

void TFormGebiet::SetTrainingLayout(bool on) {
    ButtonTrainieren->setEnabled(!on);
    ButtonStop->setEnabled(on);
    ButtonUebernehmen->setEnabled(!on);
    ButtonSpeichern->setEnabled(!on);
}

void TFormGebiet::Train() {
    if (m_run.Running()) return;
    if (m_records.size() < TerritoryRecordSize) {
        m_ui.Message(this, kContext, QStringLiteral("Es gibt noch keine Trainingsdaten."));
        return;
    }
    m_rounds = 0;
    m_errorSum = 0;
    m_run.Begin();
    SetTrainingLayout(true);
    // One round is a hundred records; between rounds the windows get their events, among them
    // the press of "Sto&p".
    while (m_run.Continues(m_host)) {
        try {
            m_errorSum += m_engine.Territory.TrainTerritoryRound(m_records, Relation());
        } catch (const std::exception& e) {
            m_ui.Dialogs.Message(this, QString::fromStdString(e.what()));
            break;
        }
        m_engine.TerritoryNetTrained = true;
        ++m_rounds;
        StatusBar->showMessage(
            m_ui.Tr(kContext, QStringLiteral("Fehler: %1")).arg(m_errorSum / m_rounds, 10, 'f', 5));
        m_host.ProcessEvents();
    }
    SetTrainingLayout(false);
    m_run.End(this);
}

void TFormGebiet::closeEvent(QCloseEvent* e) {
    if (m_run.PutOffClose(e)) return;
    m_loaded = false;  // the next opening reads the file again
    m_nextIntoSecond = false;
    m_board.SetToolMarks(kContext, {});
    QWidget::closeEvent(e);
}

}  // namespace obrin::gui
