#include "game/FormScore.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "analysis/graph.h"
#include "game/gameflow.h"
#include "ui/FormBoard.h"
#include "ui/FormHost.h"

namespace obrin::gui {
namespace {

const QString kContext = QStringLiteral("Score");

// A side's group: "Gebiet" and "Gefangene" with their values.
QGroupBox* SideGroup(const QString& title, QLabel*& territory, QLabel*& prisoners,
                     QWidget* parent) {
    auto* box = new QGroupBox(title, parent);
    auto* grid = new QGridLayout(box);
    territory = new QLabel(box);
    prisoners = new QLabel(box);
    for (QLabel* value : {territory, prisoners}) {
        MarkUntranslated(value);
        value->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        value->setMinimumWidth(value->fontMetrics().horizontalAdvance(QStringLiteral("0000.0")));
    }
    grid->addWidget(new QLabel(QStringLiteral("Gebiet"), box), 0, 0);
    grid->addWidget(territory, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("Gefangene"), box), 1, 0);
    grid->addWidget(prisoners, 1, 1);
    return box;
}

QString Number(double v) {
    return QString::number(v, 'f', v == static_cast<int64_t>(v) ? 0 : 1);
}

}  // namespace

TFormScore::TFormScore(TEngine& engine, TUi& ui, TGuiHost& host, TBoardView& board, QWidget* parent)
    : QWidget(parent), m_engine(engine), m_ui(ui), m_host(host), m_board(board) {
    setObjectName(QStringLiteral("FormScore"));
    setWindowTitle(QStringLiteral("Bewertung"));
    auto* layout = new QVBoxLayout(this);
    auto* sides = new QHBoxLayout;
    sides->addWidget(
        SideGroup(QStringLiteral("OBRIN"), LblGebietSchwarz, LblGefangeneSchwarz, this));
    sides->addWidget(SideGroup(QStringLiteral("Mensch"), LblGebietWeiss, LblGefangeneWeiss, this));
    layout->addLayout(sides);
    LabelBilanz = new QLabel(QStringLiteral("Ergebnis"), this);
    LabelBilanz->setAlignment(Qt::AlignCenter);
    QFont bold = LabelBilanz->font();
    bold.setBold(true);
    LabelBilanz->setFont(bold);
    layout->addWidget(LabelBilanz);
    LabelErgebnis = new QLabel(this);
    LabelErgebnis->setAlignment(Qt::AlignCenter);
    MarkUntranslated(LabelErgebnis);
    layout->addWidget(LabelErgebnis);
    auto* hint =
        new QLabel(QStringLiteral("Ein Klick auf eine Gruppe macht sie tot oder lebendig."), this);
    hint->setWordWrap(true);
    hint->setAlignment(Qt::AlignCenter);
    layout->addWidget(hint);
    ButtonOk = new QPushButton(QStringLiteral("&Ok"), this);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ButtonOk);
    layout->addLayout(buttons);
    connect(ButtonOk, &QPushButton::clicked, this, [this] {
        if (OnAccepted && m_counted) OnAccepted();
        CloseWindow(this);
    });
    Translate();
}

void TFormScore::Translate() {
    m_ui.Translator.TranslateComponent(this, kContext);
    if (isVisible()) ShowResult();
}

void TFormScore::Evaluate() {
    m_host.SetBusy(true);
    TFinalCount count;
    try {
        count = CountFinalPosition(m_engine);
        m_score = count.Score;
    } catch (const std::exception& e) {
        // Nothing may leave an event handler: the failure is reported and the last count stays.
        m_host.SetBusy(false);
        m_host.ShowMessage(e.what());
        return;
    }
    m_living = count.Living;
    m_territory = count.Territory;
    m_neutral = count.Neutral;
    m_counted = true;
    ShowCount();
    m_host.SetStatus("");  // the analysis' last stage is over
    m_host.SetBusy(false);
}

bool TFormScore::ToggleAt(TPoint point) {
    if (!m_counted || !isVisible() || !OnBoard(point.X, point.Y)) return false;
    const TBoard& position = m_engine.Fields.Spielfeld;
    const int p = PointIndex(point.X, point.Y);
    if (position[p] == 0) return false;
    ToggleLife(position, m_living, p);
    m_score = CountWithLiving(position, m_living, m_engine.Game.GefangeneSchwarz,
                              m_engine.Game.GefangeneWeiss, m_territory, m_neutral);
    ShowCount();
    return true;
}

// The board shows the count: the living stones as the position, so dead stones disappear, and
// the territory of each side on the points the living stones leave.
void TFormScore::ShowCount() {
    TBoard owners{};
    for (int i = 0; i < PointCount; ++i)
        if (m_living[i] == 0) owners[i] = (m_territory[i] > 0) - (m_territory[i] < 0);
    m_board.ShowBoard(m_living);
    m_board.SetTerritory(owners);
    ShowResult();
}

std::string TFormScore::Result() const {
    return CountedResult(m_engine.Game, m_score.Balance());
}

void TFormScore::ShowResult() {
    LblGebietSchwarz->setText(Number(m_score.TerrPlus));
    LblGebietWeiss->setText(Number(m_score.TerrMinus));
    LblGefangeneSchwarz->setText(Number(m_score.PrisonersPlus()));
    LblGefangeneWeiss->setText(Number(m_score.PrisonersMinus()));
    const TScoreLine line = ScoreLine(m_score.Balance());
    const QString translated = m_ui.Tr(kContext, QString::fromStdString(line.Template));
    LabelBilanz->setText(
        QString::fromStdString(FormatScoreLine(translated.toStdString(), line.Points)));
    LabelErgebnis->setText(m_ui.Tr(kContext, QStringLiteral("Ergebnis")) + QStringLiteral(": ") +
                           QString::fromStdString(Result()));
}

void TFormScore::showEvent(QShowEvent* e) {
    QWidget::showEvent(e);
    Evaluate();
}

void TFormScore::hideEvent(QHideEvent* e) {
    m_counted = false;
    m_board.SetTerritory(std::nullopt);
    m_board.ShowModel();
    QWidget::hideEvent(e);
}

}  // namespace obrin::gui
