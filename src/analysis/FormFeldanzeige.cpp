#include "analysis/FormFeldanzeige.h"

#include <QAction>
#include <QCloseEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "analysis/graph.h"
#include "analysis/territory.h"
#include "board/chains.h"
#include "game/analysis_fields.h"
#include "ui/FormBoard.h"

namespace obrin::gui {

namespace {

const QString kContext = QStringLiteral("FieldDisplay");
const QString kVerbindung = QStringLiteral("Verbindung");
constexpr double kDesignCell = 30;
constexpr double kDesignOrigin = 40;
constexpr int kConnectionStart = 180;  // the chain named by the centre point
const QColor kRouteColour(0xD0, 0x30, 0x30);

QString Plain(const QString& menuText) {
    return QString(menuText).remove(QLatin1Char('&'));
}

}  // namespace

// The shared field table's window entries in its order, with the connection search's view after
// the diagnostic spread.
const std::vector<QString>& FieldDisplayNames() {
    static const std::vector<QString> names = [] {
        std::vector<QString> captions;
        for (const TAnalysisFieldName& field : AnalysisFieldNames()) {
            if (field.WindowCaption.empty()) continue;
            captions.push_back(QString::fromStdString(field.WindowCaption));
            if (field.Name == "Diagnosefeld") captions.push_back(kVerbindung);
        }
        return captions;
    }();
    return names;
}

// ---------------------------------------------------------------------------------------------

TFieldGrid::TFieldGrid(QWidget* parent) : QWidget(parent) {
    setMouseTracking(true);
    setMinimumSize(300, 300);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void TFieldGrid::SetField(const TBoard& field) {
    m_field = field;
    m_maxAbs = 0;
    for (const int v : field) m_maxAbs = std::max(m_maxAbs, std::abs(v));
    update();
}

void TFieldGrid::SetStones(std::optional<TBoard> stones) {
    m_stones = std::move(stones);
    update();
}

void TFieldGrid::SetColourScale(bool on) {
    m_scale = on;
    update();
}

QColor TFieldGrid::CellColour(int i) const {
    return m_scale ? FieldScaleColour(m_field[i], m_maxAbs) : FieldSignColour(m_field[i]);
}

double TFieldGrid::CellSize() const {
    // The designed 30-pixel cells need 19 * 30 + 2 * 40 pixels; smaller or larger windows scale.
    const double room = std::min(width(), height());
    return std::max(10.0, room / (BoardSize + 2 * kDesignOrigin / kDesignCell));
}

TPoint TFieldGrid::PointAt(QPointF pos) const {
    const double cell = CellSize();
    const double origin = cell * kDesignOrigin / kDesignCell;
    const int column = static_cast<int>(std::floor((pos.x() - origin) / cell));
    const int fromTop = static_cast<int>(std::floor((pos.y() - origin) / cell));
    const TPoint p{column, BoardSize - 1 - fromTop};
    return OnBoard(p.X, p.Y) ? p : PassPoint;
}

void TFieldGrid::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), palette().window());
    const double cell = CellSize();
    const double origin = cell * kDesignOrigin / kDesignCell;
    QFont coordinates = font();
    coordinates.setPixelSize(std::max(8, static_cast<int>(cell * 0.42)));
    p.setFont(coordinates);
    p.setPen(palette().color(QPalette::WindowText));
    for (int i = 0; i < BoardSize; ++i) {
        const QString column(QChar(ColumnLetters[i]));
        const QRectF top(origin + i * cell, origin - cell, cell, cell);
        const QRectF bottom(origin + i * cell, origin + BoardSize * cell, cell, cell);
        p.drawText(top, Qt::AlignCenter, column);
        p.drawText(bottom, Qt::AlignCenter, column);
        const QString row = QString::number(BoardSize - i);
        const QRectF left(origin - cell - 2, origin + i * cell, cell, cell);
        const QRectF right(origin + BoardSize * cell + 2, origin + i * cell, cell, cell);
        p.drawText(left, Qt::AlignRight | Qt::AlignVCenter, row);
        p.drawText(right, Qt::AlignLeft | Qt::AlignVCenter, row);
    }
    QFont values = font();
    values.setPixelSize(std::max(7, static_cast<int>(cell * 0.36)));
    const TBoard* stones = m_stones ? &*m_stones : nullptr;
    for (int i = 0; i < PointCount; ++i) {
        const QRectF r(origin + PointColumn(i) * cell,
                       origin + (BoardSize - 1 - PointRow(i)) * cell, cell, cell);
        const QColor fill = CellColour(i);
        p.fillRect(r, fill);
        p.setPen(QColor(0x70, 0x70, 0x70));
        p.setBrush(Qt::NoBrush);
        p.drawRect(r);
        // Long numbers get a smaller font rather than spilling into the next cell.
        const QString text = QString::number(m_field[i]);
        QFont f = values;
        while (f.pixelSize() > 6 && QFontMetricsF(f).horizontalAdvance(text) > cell - 3)
            f.setPixelSize(f.pixelSize() - 1);
        p.setFont(f);
        p.setPen(TextColourOn(fill));
        p.drawText(r, Qt::AlignCenter, text);
        DrawStone(p, r, stones ? (*stones)[i] : 0);
    }
}

void TFieldGrid::DrawStone(QPainter& p, const QRectF& cell, int stone) const {
    // The stones of the position, small in the cell's corner, so that a player finds his way.
    if (stone == 0) return;
    const double r = cell.width() * 0.13;
    const QPointF c = cell.topLeft() + QPointF(r + 2, r + 2);
    p.setPen(QPen(QColor(0x30, 0x30, 0x30), 1));
    p.setBrush(stone > 0 ? QColor(0x10, 0x10, 0x10) : QColor(0xFA, 0xFA, 0xFA));
    p.drawEllipse(c, r, r);
}

void TFieldGrid::mouseMoveEvent(QMouseEvent* e) {
    emit hovered(PointAt(e->position()));
}

void TFieldGrid::leaveEvent(QEvent*) {
    emit hovered(PassPoint);
}

// ---------------------------------------------------------------------------------------------

TFormFeldanzeige::TFormFeldanzeige(TEngine& engine, TUi& ui, TBoardView& board, QWidget* parent)
    : QWidget(parent), m_engine(engine), m_ui(ui), m_board(board) {
    setObjectName(QStringLiteral("FormFeldanzeige"));
    setWindowTitle(QStringLiteral("Feld-Anzeige"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_menu = new QMenuBar(this);
    layout->setMenuBar(m_menu);
    m_grid = new TFieldGrid(this);
    layout->addWidget(m_grid, 1);
    m_status = new QLabel(this);
    MarkUntranslated(m_status);
    m_status->setContentsMargins(8, 3, 8, 4);
    m_status->setFrameShape(QFrame::StyledPanel);
    layout->addWidget(m_status);
    BuildMenu();
    connect(m_grid, &TFieldGrid::hovered, this, &TFormFeldanzeige::ShowStatus);
    Translate();
    resize(680, 720);
}

void TFormFeldanzeige::BuildMenu() {
    QMenu* show = m_menu->addMenu(QStringLiteral("&Anzeigen"));
    for (const QString& name : FieldDisplayNames()) {
        if (name == QStringLiteral("NNFeld1")) show->addSeparator();
        QAction* a = show->addAction(name);
        MarkUntranslated(a);  // the fields' own names
        a->setData(Plain(name));
        if (Plain(name) == kVerbindung) {
            connect(a, &QAction::triggered, this, &TFormFeldanzeige::RunConnectionTest);
        } else {
            a->setCheckable(true);
            connect(a, &QAction::triggered, this, [this, a] { ShowField(a->data().toString()); });
        }
        m_fieldActions.push_back(a);
    }
    show->addSeparator();
    show->addAction(QStringLiteral("Be&enden"), this, [this] { CloseWindow(this); });

    QMenu* options = m_menu->addMenu(QStringLiteral("&Optionen"));
    m_scaleAction = options->addAction(QStringLiteral("&Farbskala nach Wert"));
    m_scaleAction->setCheckable(true);
    connect(m_scaleAction, &QAction::toggled, this, &TFormFeldanzeige::SetColourScale);
    m_overlayAction = options->addAction(QStringLiteral("Auf dem &Spielfeld zeigen"));
    m_overlayAction->setCheckable(true);
    connect(m_overlayAction, &QAction::toggled, this, &TFormFeldanzeige::SetOverlay);
    options->addSeparator();
    options->addAction(QStringLiteral("Stellung &analysieren"), this, [this] {
        if (Analyse) Analyse();
        Refresh();
    });
}

void TFormFeldanzeige::Translate() {
    m_ui.Translator.TranslateComponent(this, kContext);
    ShowStatus(PassPoint);
}

QAction* TFormFeldanzeige::FieldAction(const QString& name) const {
    for (QAction* a : m_fieldActions)
        if (a->data().toString() == name) return a;
    return nullptr;
}

bool TFormFeldanzeige::FetchField(const QString& name, TBoard& field) {
    return AnalysisField(m_engine, name.toStdString(), field);
}

bool TFormFeldanzeige::ShowField(const QString& name) {
    TBoard field{};
    if (!FetchField(name, field)) return false;
    m_name = name;
    for (QAction* a : m_fieldActions)
        if (a->isCheckable()) a->setChecked(a->data().toString() == name);
    m_grid->SetField(field);
    m_grid->SetStones(m_engine.Fields.Spielfeld);
    ShowStatus(PassPoint);
    UpdateOverlay();
    return true;
}

void TFormFeldanzeige::Refresh() {
    if (!m_name.isEmpty()) ShowField(m_name);
}

void TFormFeldanzeige::SetColourScale(bool on) {
    if (m_scaleAction->isChecked() != on) m_scaleAction->setChecked(on);
    m_grid->SetColourScale(on);
    UpdateOverlay();
}

void TFormFeldanzeige::SetOverlay(bool on) {
    if (m_overlayAction->isChecked() != on) m_overlayAction->setChecked(on);
    UpdateOverlay();
}

void TFormFeldanzeige::UpdateOverlay() {
    if (!m_overlayAction->isChecked() || !isVisible()) {
        m_board.SetOverlay(std::nullopt);
        return;
    }
    const TBoard field = m_grid->Field();
    int maxAbs = 0;
    for (const int v : field) maxAbs = std::max(maxAbs, std::abs(v));
    TFieldOverlay overlay;
    overlay.Field = field;
    if (m_scaleAction->isChecked())
        overlay.Colour = [maxAbs](int v) { return FieldScaleColour(v, maxAbs); };
    else
        overlay.Colour = FieldSignColour;
    m_board.SetOverlay(std::move(overlay));
}

void TFormFeldanzeige::RunConnectionTest() {
    if (Analyse) Analyse();
    // Chain names and liberties of the position on the board, whatever ran since the analysis.
    ComputeNamensfeld(m_engine.Fields);
    ComputeFreiheitsfeld(m_engine.Fields.Spielfeld, m_engine.Container->Freiheitsfeld,
                         m_engine.Fields.Spielfeld);
    TBoard target{};
    target[0] = 1;
    const int stone = m_engine.Fields.Spielfeld[kConnectionStart];
    TConnectionSearch& search = m_engine.Graph->Connection;
    const bool reached = search.Search(m_engine, kConnectionStart, stone != 0 ? stone : 1, target);
    std::vector<TToolMark> route;
    // The route runs from the target back to the chain; numbered from the chain outwards.
    const int steps = reached ? search.Route().Count : 0;
    for (int i = 0; i < steps; ++i)
        route.push_back({search.Route()[i], kRouteColour, QString::number(steps - i)});
    m_board.SetToolMarks(kContext, std::move(route));
    m_name = kVerbindung;
    for (QAction* a : m_fieldActions)
        if (a->isCheckable()) a->setChecked(false);
    m_grid->SetField(target);
    ShowStatus(PassPoint);
    UpdateOverlay();
    // The answer comes when the target and the route are on display.
    m_ui.Dialogs.Message(this, reached ? QStringLiteral("TRUE") : QStringLiteral("FALSE"));
}

QString TFormFeldanzeige::StatusText() const {
    return m_status->text();
}

void TFormFeldanzeige::ShowStatus(TPoint hover) {
    if (m_name.isEmpty()) {
        m_status->setText(m_ui.Tr(kContext, QStringLiteral("Wähle ein Feld im Menü „Anzeigen“.")));
        return;
    }
    const TBoard& f = m_grid->Field();
    const auto [lo, hi] = std::minmax_element(f.begin(), f.end());
    QString text = QStringLiteral("%1   min %2   max %3").arg(m_name).arg(*lo).arg(*hi);
    if (OnBoard(hover.X, hover.Y)) {
        const int i = PointIndex(hover.X, hover.Y);
        text += QStringLiteral("   —   %1 (%2): %3")
                    .arg(QString::fromStdString(PointText(hover.X, hover.Y)))
                    .arg(i)
                    .arg(f[i]);
    }
    m_status->setText(text);
}

void TFormFeldanzeige::showEvent(QShowEvent* e) {
    QWidget::showEvent(e);
    UpdateOverlay();
}

void TFormFeldanzeige::closeEvent(QCloseEvent* e) {
    m_board.SetOverlay(std::nullopt);
    m_board.SetToolMarks(kContext, {});
    QWidget::closeEvent(e);
}

}  // namespace obrin::gui
