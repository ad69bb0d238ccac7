#include "ui/FormBoard.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

#include "board/chains.h"
#include "game/gameflow.h"

namespace obrin::gui {

namespace {

const QString kContext = QStringLiteral("Board");
constexpr double kMarginInSpacings = 1.45;  // room for the coordinates beside the grid
const QColor kWood(0xDC, 0xB3, 0x5C);
const QColor kLine(0x2B, 0x1D, 0x0E);
const QColor kMarker(0xD0, 0x28, 0x28);

constexpr std::array<int, 3> kStarLines{3, 9, 15};

}  // namespace

QColor BoardColourOf(int64_t value) {
    if (value < 0 || (value & 0x80000000LL) != 0 || value > 0xFFFFFF) return kWood;
    return QColor(int(value & 0xFF), int((value >> 8) & 0xFF), int((value >> 16) & 0xFF));
}

QColor FieldSignColour(int value) {
    if (value < 0) return QColor(255, 255, 255);
    if (value == 0) return QColor(192, 192, 192);
    return QColor(128, 128, 128);
}

QColor FieldScaleColour(int value, int maxAbs) {
    if (value == 0 || maxAbs <= 0) return QColor(0xF4, 0xF2, 0xEE);
    // Square root: small values stay visible beside a few large ones.
    const double t = std::sqrt(std::min(1.0, std::abs(double(value)) / maxAbs));
    const QColor light(0xF4, 0xF2, 0xEE);
    const QColor deep = value > 0 ? QColor(0xC0, 0x39, 0x2B) : QColor(0x1F, 0x5F, 0xB4);
    auto mix = [t](int a, int b) { return static_cast<int>(std::lround(a + (b - a) * t)); };
    return QColor(mix(light.red(), deep.red()), mix(light.green(), deep.green()),
                  mix(light.blue(), deep.blue()));
}

QColor TextColourOn(const QColor& background) {
    return background.lightnessF() < 0.55 ? QColor(Qt::white) : QColor(0x10, 0x10, 0x10);
}

TBoardGeometry TBoardGeometry::For(int width, int height) {
    TBoardGeometry g;
    const double side = std::max(1, std::min(width, height));
    g.Spacing = side / (BoardSize - 1 + 2 * kMarginInSpacings);
    const double grid = g.Spacing * (BoardSize - 1);
    g.Left = (width - grid) / 2.0;
    g.Top = (height - grid) / 2.0;
    return g;
}

TPoint TBoardGeometry::PointAt(double px, double py) const {
    const int column = static_cast<int>(std::floor((px - Left) / Spacing + 0.5));
    const int fromTop = static_cast<int>(std::floor((py - Top) / Spacing + 0.5));
    return TPoint{column, BoardSize - 1 - fromTop};
}

TBoardView::TBoardView(TEngine& engine, QWidget* parent)
    : QWidget(parent), m_engine(engine), m_colour(kWood) {
    setMouseTracking(true);
    setMinimumSize(240, 240);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TBoardView::SetHover(TPoint p) {
    if (p == m_hover) return;
    m_hover = p;
    update();
}

void TBoardView::ShowBoard(const TBoard& board) {
    m_trial = board;
    repaint();
}

void TBoardView::ShowModel() {
    m_trial.reset();
    update();
}

void TBoardView::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.fillRect(rect(), QColor(0x3A, 0x3D, 0x40));
    const TBoardGeometry g = Geometry();
    const double m = g.Spacing * kMarginInSpacings;
    const QRectF boardRect(g.Left - m, g.Top - m, g.Spacing * (BoardSize - 1) + 2 * m,
                           g.Spacing * (BoardSize - 1) + 2 * m);
    QLinearGradient wood(boardRect.topLeft(), boardRect.bottomRight());
    wood.setColorAt(0, m_colour.lighter(108));
    wood.setColorAt(1, m_colour.darker(106));
    p.setPen(Qt::NoPen);
    p.setBrush(wood);
    p.drawRoundedRect(boardRect, 3, 3);
    DrawGrid(p, g);
    DrawCoordinates(p, g);
    DrawStones(p, g);
    DrawTerritory(p, g);
    DrawOverlay(p, g);
    DrawMoveNumbers(p, g);
    DrawMarks(p, g);
    DrawToolMarks(p, g);
}

void TBoardView::SetMoveNumbers(std::optional<std::array<int, PointCount>> numbers) {
    m_numbers = std::move(numbers);
    update();
}

bool TBoardView::NumberMarksLastMove(int point) const {
    if (!m_numbers || m_trial || (*m_numbers)[point] <= 0) return false;
    const TGameState& game = m_engine.Game;
    const auto at = [point](int x, int y) { return OnBoard(x, y) && PointIndex(x, y) == point; };
    return at(game.MenschZugX, game.MenschZugY) || at(game.ComputerZugX, game.ComputerZugY);
}

void TBoardView::DrawMoveNumbers(QPainter& p, const TBoardGeometry& g) const {
    if (!m_numbers || m_trial) return;
    const TBoard& b = Shown();
    const bool swapped = m_engine.Game.ComputerWeiss;
    QFont f = font();
    f.setBold(true);
    for (int i = 0; i < PointCount; ++i) {
        const int n = (*m_numbers)[i];
        if (n <= 0 || b[i] == 0) continue;
        const QString text = QString::number(n);
        // Three digits must fit on a stone.
        f.setPixelSize(std::max(6, static_cast<int>(g.Spacing * (text.size() > 2 ? 0.36 : 0.44))));
        p.setFont(f);
        const bool black = (b[i] == 1) != swapped;
        // The last move's number stands in for its mark.
        const bool last = NumberMarksLastMove(i);
        p.setPen(last ? kMarker : black ? QColor(0xF0, 0xF0, 0xF0) : QColor(0x10, 0x10, 0x10));
        const QPointF c(g.X(PointColumn(i)), g.Y(PointRow(i)));
        const double r = g.Spacing * 0.48;
        p.drawText(QRectF(c - QPointF(r, r), QSizeF(2 * r, 2 * r)), Qt::AlignCenter, text);
    }
}

void TBoardView::SetOverlay(std::optional<TFieldOverlay> overlay) {
    m_overlay = std::move(overlay);
    update();
}

void TBoardView::SetTerritory(std::optional<TBoard> owners) {
    m_territory = std::move(owners);
    update();
}

void TBoardView::DrawTerritory(QPainter& p, const TBoardGeometry& g) const {
    if (!m_territory) return;
    const bool swapped = m_engine.Game.ComputerWeiss;
    const double half = g.Spacing * 0.17;
    p.setPen(QPen(QColor(0x40, 0x40, 0x40), 1));
    for (int i = 0; i < PointCount; ++i) {
        const int owner = (*m_territory)[i];
        if (owner == 0) continue;
        const bool black = (owner > 0) != swapped;
        p.setBrush(black ? QColor(0x10, 0x10, 0x10) : QColor(0xF4, 0xF2, 0xEC));
        const QPointF c(g.X(PointColumn(i)), g.Y(PointRow(i)));
        p.drawRect(QRectF(c - QPointF(half, half), QSizeF(2 * half, 2 * half)));
    }
}

void TBoardView::SetToolMarks(const QString& tool, std::vector<TToolMark> marks) {
    if (marks.empty())
        m_toolMarks.erase(tool);
    else
        m_toolMarks[tool] = std::move(marks);
    update();
}

std::vector<TToolMark> TBoardView::ToolMarks() const {
    std::vector<TToolMark> all;
    for (const auto& [tool, marks] : m_toolMarks) all.insert(all.end(), marks.begin(), marks.end());
    return all;
}

void TBoardView::DrawOverlay(QPainter& p, const TBoardGeometry& g) const {
    if (!m_overlay) return;
    const TBoard& b = Shown();
    const bool swapped = m_engine.Game.ComputerWeiss;
    QFont f = font();
    f.setPixelSize(std::max(6, static_cast<int>(g.Spacing * 0.34)));
    f.setBold(true);
    p.setFont(f);
    const double half = g.Spacing * 0.4;
    for (int i = 0; i < PointCount; ++i) {
        const int value = m_overlay->Field[i];
        const QPointF c(g.X(PointColumn(i)), g.Y(PointRow(i)));
        const QRectF cell(c - QPointF(half, half), QSizeF(2 * half, 2 * half));
        const int stone = b[i];
        // Empty points get a tinted square; stones stay visible and carry only the number.
        if (stone == 0) {
            QColor fill = m_overlay->Colour ? m_overlay->Colour(value) : QColor(Qt::gray);
            fill.setAlpha(170);
            p.setPen(Qt::NoPen);
            p.setBrush(fill);
            p.drawRoundedRect(cell, 3, 3);
            if (value == 0) continue;
            p.setPen(TextColourOn(fill));
        } else {
            if (value == 0) continue;
            const bool onBlack = (stone == 1) != swapped;
            p.setPen(onBlack ? QColor(Qt::white) : QColor(0x10, 0x10, 0x10));
        }
        p.drawText(cell, Qt::AlignCenter, QString::number(value));
    }
}

void TBoardView::DrawToolMarks(QPainter& p, const TBoardGeometry& g) const {
    const double r = g.Spacing * 0.38;
    QFont f = font();
    f.setPixelSize(std::max(7, static_cast<int>(g.Spacing * 0.42)));
    f.setBold(true);
    p.setFont(f);
    for (const TToolMark& m : ToolMarks()) {
        if (!OnBoard(m.Point.X, m.Point.Y)) continue;
        const QPointF c(g.X(m.Point.X), g.Y(m.Point.Y));
        p.setPen(QPen(m.Colour, std::max(2.0, g.Spacing / 9)));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(c, r, r);
        if (m.Text.isEmpty()) continue;
        p.setPen(m.Colour);
        p.drawText(QRectF(c - QPointF(r, r), QSizeF(2 * r, 2 * r)), Qt::AlignCenter, m.Text);
    }
}

void TBoardView::DrawGrid(QPainter& p, const TBoardGeometry& g) const {
    p.setPen(QPen(kLine, std::max(1.0, g.Spacing / 24)));
    for (int i = 0; i < BoardSize; ++i) {
        p.drawLine(QPointF(g.X(i), g.Y(0)), QPointF(g.X(i), g.Y(BoardSize - 1)));
        p.drawLine(QPointF(g.X(0), g.Y(i)), QPointF(g.X(BoardSize - 1), g.Y(i)));
    }
    p.setPen(Qt::NoPen);
    p.setBrush(kLine);
    const double r = std::max(2.0, g.Spacing * 0.11);
    for (int x : kStarLines)
        for (int y : kStarLines) p.drawEllipse(QPointF(g.X(x), g.Y(y)), r, r);
}

void TBoardView::DrawCoordinates(QPainter& p, const TBoardGeometry& g) const {
    QFont f = font();
    f.setPixelSize(std::max(7, static_cast<int>(g.Spacing * 0.4)));
    const double off = g.Spacing * 0.95;  // centre of the labels from the outer lines
    const QSizeF box(g.Spacing, g.Spacing);
    auto label = [&](QPointF centre, const QString& text, bool marked) {
        QFont lf = f;
        lf.setBold(marked);
        p.setFont(lf);
        p.setPen(marked ? kMarker : kLine);
        p.drawText(QRectF(centre - QPointF(box.width() / 2, box.height() / 2), box),
                   Qt::AlignCenter, text);
    };
    for (int i = 0; i < BoardSize; ++i) {
        const QString col(QChar(ColumnLetters[i]));
        const QString row = QString::number(i + 1);
        const bool colMarked = m_hover.X == i && OnBoard(m_hover.X, m_hover.Y);
        const bool rowMarked = m_hover.Y == i && OnBoard(m_hover.X, m_hover.Y);
        label(QPointF(g.X(i), g.Y(BoardSize - 1) - off), col, false);
        label(QPointF(g.X(i), g.Y(0) + off), col, colMarked);
        label(QPointF(g.X(0) - off, g.Y(i)), row, rowMarked);
        label(QPointF(g.X(BoardSize - 1) + off, g.Y(i)), row, false);
    }
    // The coordinate markers: small triangles on the left and the lower edge that follow the mouse.
    if (!OnBoard(m_hover.X, m_hover.Y)) return;
    const double t = g.Spacing * 0.18;
    const double edge = g.Spacing * 0.45;
    p.setPen(Qt::NoPen);
    p.setBrush(kMarker);
    const QPointF left(g.X(0) - edge, g.Y(m_hover.Y));
    p.drawPolygon(
        QPolygonF({left + QPointF(-t, -t), left + QPointF(-t, t), left + QPointF(t * 0.6, 0)}));
    const QPointF low(g.X(m_hover.X), g.Y(0) + edge);
    p.drawPolygon(
        QPolygonF({low + QPointF(-t, t), low + QPointF(t, t), low + QPointF(0, -t * 0.6)}));
}

void TBoardView::DrawStones(QPainter& p, const TBoardGeometry& g) const {
    const TBoard& b = Shown();
    const bool swapped = m_engine.Game.ComputerWeiss;
    const double r = g.Spacing * 0.48;
    for (int y = 0; y < BoardSize; ++y)
        for (int x = 0; x < BoardSize; ++x) {
            const int v = GetPoint(b, x, y);
            if (v == 0) continue;
            const bool black = (v == 1) != swapped;
            const QPointF c(g.X(x), g.Y(y));
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(0, 0, 0, 60));
            p.drawEllipse(c + QPointF(r * 0.1, r * 0.12), r, r);
            QRadialGradient grad(c - QPointF(r * 0.35, r * 0.35), r * 1.3);
            if (black) {
                grad.setColorAt(0, QColor(0x6A, 0x6A, 0x6A));
                grad.setColorAt(0.45, QColor(0x1E, 0x1E, 0x1E));
                grad.setColorAt(1, QColor(0x05, 0x05, 0x05));
            } else {
                grad.setColorAt(0, QColor(0xFF, 0xFF, 0xFF));
                grad.setColorAt(0.6, QColor(0xEC, 0xEA, 0xE4));
                grad.setColorAt(1, QColor(0xB8, 0xB4, 0xAC));
                p.setPen(QPen(QColor(0x80, 0x7A, 0x70), std::max(0.6, r / 20)));
            }
            p.setBrush(grad);
            p.drawEllipse(c, r, r);
        }
}

void TBoardView::DrawMarks(QPainter& p, const TBoardGeometry& g) const {
    const TBoard& b = Shown();
    const TGameState& game = m_engine.Game;
    const bool swapped = game.ComputerWeiss;
    // The mark's colour contrasts with the stone under it.
    auto contrast = [&](int x, int y) {
        const int v = GetPoint(b, x, y);
        if (v == 0) return kMarker;
        return ((v == 1) != swapped) ? QColor(Qt::white) : QColor(Qt::black);
    };
    const double s = g.Spacing;
    if (OnBoard(game.MenschZugX, game.MenschZugY) &&
        !NumberMarksLastMove(PointIndex(game.MenschZugX, game.MenschZugY))) {
        p.setPen(QPen(contrast(game.MenschZugX, game.MenschZugY), std::max(1.5, s / 12)));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QPointF(g.X(game.MenschZugX), g.Y(game.MenschZugY)), s * 0.22, s * 0.22);
    }
    if (OnBoard(game.ComputerZugX, game.ComputerZugY) &&
        !NumberMarksLastMove(PointIndex(game.ComputerZugX, game.ComputerZugY))) {
        p.setPen(Qt::NoPen);
        p.setBrush(kMarker);
        const QPointF c(g.X(game.ComputerZugX), g.Y(game.ComputerZugY));
        p.drawRect(QRectF(c - QPointF(s * 0.15, s * 0.15), QSizeF(s * 0.3, s * 0.3)));
    }
    if (OnBoard(m_hover.X, m_hover.Y)) {
        const QPointF c(g.X(m_hover.X), g.Y(m_hover.Y));
        p.setPen(QPen(QColor(0x20, 0x60, 0xD0, 200), std::max(1.5, s / 14)));
        p.setBrush(QColor(0x40, 0x80, 0xF0, 50));
        p.drawEllipse(c, s * 0.46, s * 0.46);
    }
}

void TBoardView::mousePressEvent(QMouseEvent* e) {
    emit pressed(Geometry().PointAt(e->position().x(), e->position().y()), e->button());
}

void TBoardView::mouseMoveEvent(QMouseEvent* e) {
    emit hovered(Geometry().PointAt(e->position().x(), e->position().y()));
}

void TBoardView::leaveEvent(QEvent*) {
    SetHover(TPoint{-1, -1});
}

TFormBoard::TFormBoard(TEngine& engine, TUi& ui, QWidget* parent)
    : QWidget(parent), m_engine(engine), m_ui(ui) {
    setObjectName(QStringLiteral("FormBoard"));
    setWindowTitle(QStringLiteral("Spielfeld"));
    resize(360, 405);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    m_view = new TBoardView(engine, this);
    m_view->setFocusPolicy(Qt::ClickFocus);  // keys the view leaves reach the window
    setFocusPolicy(Qt::StrongFocus);
    layout->addWidget(m_view, 1);
    auto* status = new QWidget(this);
    auto* statusLayout = new QHBoxLayout(status);
    statusLayout->setContentsMargins(6, 2, 6, 2);
    m_stateLabel = new QLabel(status);
    m_pointLabel = new QLabel(status);
    MarkUntranslated(m_stateLabel);
    MarkUntranslated(m_pointLabel);
    m_stateLabel->setFrameShape(QFrame::StyledPanel);
    m_stateLabel->setMinimumWidth(150);
    statusLayout->addWidget(m_stateLabel);
    statusLayout->addWidget(m_pointLabel, 1);
    layout->addWidget(status);
    connect(m_view, &TBoardView::pressed, this, &TFormBoard::Pressed);
    connect(m_view, &TBoardView::hovered, this, &TFormBoard::Hovered);
    Translate();
}

void TFormBoard::Translate() {
    m_ui.Translator.TranslateComponent(this, kContext);
    m_stateLabel->setText(StateText());
}

QString TFormBoard::StateText() const {
    static const char* const kTexts[] = {"Eingabe", "Gesperrt", "Mensch gegen Mensch",
                                         "Mensch gegen Computer", "Klassifizierung von Punkten"};
    return m_ui.Tr(kContext,
                   QString::fromUtf8(m_stateText != nullptr ? m_stateText : kTexts[m_state]));
}

void TFormBoard::SetState(TBoardState s, const char* text) {
    m_state = s;
    m_stateText = text;
    m_stateLabel->setText(StateText());
}

void TFormBoard::Redraw() {
    m_view->ShowModel();
}

void TFormBoard::ShowIntermediate(const TBoard& board) {
    m_view->ShowBoard(board);
}

bool TFormBoard::WaitForMove(int& column, int& row, int colour) {
    m_clicked = TPoint{-1, -1};
    if (OnPassEnabled) OnPassEnabled(true);
    m_passRequested = m_takeBackRequested = m_resignRequested = false;
    TBoardFields& f = m_engine.Fields;
    for (;;) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents | QEventLoop::AllEvents);
        column = m_clicked.X;
        row = m_clicked.Y;
        if (m_passRequested || m_takeBackRequested || m_resignRequested) {
            // An earlier click on an illegal point must not turn the pass into that point.
            column = row = -1;
            break;
        }
        if (column >= 0 && row >= 0 && IsLegal(column, row, colour, f.KoX, f.KoY, f.Spielfeld))
            break;
        if (m_state == bsLocked) break;
    }
    if (OnPassEnabled) OnPassEnabled(false);
    return m_state != bsLocked;
}

bool TFormBoard::ConfirmClear() {
    if (BoardIsEmpty(m_engine.Fields.Spielfeld)) return true;
    return m_ui.Ask(this, kContext, QStringLiteral("Darf ich das Brett abräumen ?"));
}

void TFormBoard::Pressed(TPoint point, Qt::MouseButton button) {
    if (OnScoreClick && OnBoard(point.X, point.Y) && OnScoreClick(point)) return;
    if (m_state == bsLocked) {
        m_ui.Message(this, kContext, QStringLiteral("Bitte wähle zunächst einen Spielmodus"));
        return;
    }
    m_clicked = point;
    m_view->SetHover(point);
    if (!OnBoard(point.X, point.Y)) return;
    if (m_state == bsInput) {
        if (button == Qt::LeftButton || button == Qt::RightButton)
            EnterPosition(m_engine, point.X, point.Y, button == Qt::LeftButton);
        Redraw();
    } else if (m_state == bsClassify && OnClassify) {
        OnClassify(point);
    }
}

void TFormBoard::keyPressEvent(QKeyEvent* e) {
    const Qt::KeyboardModifiers modifiers = e->modifiers() & ~Qt::KeypadModifier;
    std::optional<TRecordStep> step;
    if (modifiers == Qt::NoModifier) switch (e->key()) {
            case Qt::Key_Left:
                step = TRecordStep::Back;
                break;
            case Qt::Key_Right:
                step = TRecordStep::Forward;
                break;
            case Qt::Key_Home:
                step = TRecordStep::First;
                break;
            case Qt::Key_End:
                step = TRecordStep::Last;
                break;
            default:
                break;
        }
    if (!step || !OnRecordStep) {
        QWidget::keyPressEvent(e);
        return;
    }
    OnRecordStep(*step);
    e->accept();
}

void TFormBoard::wheelEvent(QWheelEvent* e) {
    if (!OnRecordStep) {
        QWidget::wheelEvent(e);
        return;
    }
    // One notch (120) is one move: turning the wheel towards the user goes forward.
    m_wheelDelta += e->angleDelta().y();
    while (m_wheelDelta >= 120) {
        m_wheelDelta -= 120;
        OnRecordStep(TRecordStep::Back);
    }
    while (m_wheelDelta <= -120) {
        m_wheelDelta += 120;
        OnRecordStep(TRecordStep::Forward);
    }
    e->accept();
}

QString TFormBoard::PointDetail(TPoint point) const {
    if (!OnBoard(point.X, point.Y)) return {};
    const int i = PointIndex(point.X, point.Y);
    if (m_engine.Fields.Spielfeld[i] != 0) {
        static const char* const kStatusNames[] = {"tot", "rettbar", "angreifbar", "sicher"};
        const std::optional<int> status = GroupStatus ? GroupStatus(point) : std::nullopt;
        if (!status || *status < 0 || *status > 3) return {};
        return m_ui.Tr(kContext, QStringLiteral("Status")) + QStringLiteral(": ") +
               m_ui.Tr(kContext, QString::fromLatin1(kStatusNames[*status]));
    }
    // The territory value is that of the last evaluation, and only while the position stands.
    if (!m_engine.Territory.EvaluatedFor(m_engine.Fields.Spielfeld)) return {};
    return m_ui.Tr(kContext, QStringLiteral("Gebietswert")) + QStringLiteral(": ") +
           QString::number(TerritoryClass(m_engine.Container->Feldbewertung[i]));
}

QString TFormBoard::StatusLine() const {
    return m_pointLabel->text();
}

void TFormBoard::ShowProgress(const QString& text) {
    m_pointLabel->setText(text);
    m_pointLabel->repaint();
}

void TFormBoard::Hovered(TPoint point) {
    m_view->SetHover(point);
    QString line = QString::fromStdString(PointText(point.X, point.Y));
    if (OnBoard(point.X, point.Y)) {
        line += QStringLiteral(" (") + QString::number(PointIndex(point.X, point.Y)) +
                QStringLiteral(") ");
        line += PointDetail(point);
    }
    m_pointLabel->setText(line);
}

}  // namespace obrin::gui
