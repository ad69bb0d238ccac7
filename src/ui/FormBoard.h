// The board window: shows Spielfeld and is the only place where the user points at the board.
// What a click means depends on the input state: position entry changes stones, the game modes
// hand the point to the waiting game loop, classification hands it to the analysis tools.
#pragma once

#include <QColor>
#include <QLabel>
#include <QWidget>
#include <array>
#include <functional>
#include <map>
#include <optional>
#include <vector>

#include "board/board.h"
#include "game/engine.h"
#include "ui/FormUi.h"

namespace obrin::gui {

enum TBoardState { bsInput, bsLocked, bsMenschMensch, bsMenschComputer, bsClassify };

// A step through the record asked for from the board window (arrow keys, Home, End, wheel).
enum class TRecordStep { Back, Forward, First, Last };

// Pixel geometry of a board drawn in a w x h area: a square grid centred, with room for the
// coordinates on all four sides. Click mapping and drawing share it, so they always agree.
struct TBoardGeometry {
    double Spacing = 0;  // distance between two lines
    double Left = 0;     // x of column 0
    double Top = 0;      // y of row 18

    static TBoardGeometry For(int width, int height);
    [[nodiscard]] double X(int column) const { return Left + column * Spacing; }
    [[nodiscard]] double Y(int row) const { return Top + (BoardSize - 1 - row) * Spacing; }
    // The nearest column and row; values outside 0..18 mean the click missed the grid.
    [[nodiscard]] TPoint PointAt(double px, double py) const;
};

// A field laid over the board by the field display: every point's value written on it, on a
// translucent square in the colour Colour gives for the value.
struct TFieldOverlay {
    TBoard Field{};
    std::function<QColor(int value)> Colour;
};

// A mark an analysis tool puts on a point: a ring in its colour, with an optional short text.
struct TToolMark {
    TPoint Point;
    QColor Colour;
    QString Text;
};

// The drawing surface. Invariant: every repaint reads the board model afresh, so the picture
// never lags behind Spielfeld.
class TBoardView : public QWidget {
    Q_OBJECT
  public:
    TBoardView(TEngine& engine, QWidget* parent);

    void SetBoardColour(const QColor& c) {
        m_colour = c;
        update();
    }
    void SetHover(TPoint p);
    // Draws board instead of Spielfeld until ShowModel: a search's trial position.
    void ShowBoard(const TBoard& board);
    void ShowModel();
    [[nodiscard]] bool ShowsTrialBoard() const { return m_trial.has_value(); }
    // The score window's territory display: a small square of the owner's colour on every point
    // of owners that is not 0 (+1 the engine's colour); nullopt removes it.
    void SetTerritory(std::optional<TBoard> owners);
    [[nodiscard]] const std::optional<TBoard>& Territory() const { return m_territory; }
    // The field display's overlay; nullopt removes it.
    void SetOverlay(std::optional<TFieldOverlay> overlay);
    [[nodiscard]] const std::optional<TFieldOverlay>& Overlay() const { return m_overlay; }
    // The move numbers written on the stones (0 for none); nullopt shows no numbers.
    void SetMoveNumbers(std::optional<std::array<int, PointCount>> numbers);
    [[nodiscard]] const std::optional<std::array<int, PointCount>>& MoveNumbers() const {
        return m_numbers;
    }
    // The marks of one tool (by name); an empty list removes them.
    void SetToolMarks(const QString& tool, std::vector<TToolMark> marks);
    [[nodiscard]] std::vector<TToolMark> ToolMarks() const;
    [[nodiscard]] TBoardGeometry Geometry() const { return TBoardGeometry::For(width(), height()); }
    [[nodiscard]] QSize sizeHint() const override { return {420, 420}; }

  signals:
    void pressed(obrin::TPoint point, Qt::MouseButton button);
    void hovered(obrin::TPoint point);

  protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void leaveEvent(QEvent*) override;

  private:
    void DrawGrid(QPainter& p, const TBoardGeometry& g) const;
    void DrawCoordinates(QPainter& p, const TBoardGeometry& g) const;
    void DrawStones(QPainter& p, const TBoardGeometry& g) const;
    void DrawMarks(QPainter& p, const TBoardGeometry& g) const;
    void DrawOverlay(QPainter& p, const TBoardGeometry& g) const;
    void DrawTerritory(QPainter& p, const TBoardGeometry& g) const;
    void DrawToolMarks(QPainter& p, const TBoardGeometry& g) const;
    void DrawMoveNumbers(QPainter& p, const TBoardGeometry& g) const;
    // Whether the number on point is drawn in the mark's colour instead of the last-move mark.
    [[nodiscard]] bool NumberMarksLastMove(int point) const;

    [[nodiscard]] const TBoard& Shown() const {
        return m_trial ? *m_trial : m_engine.Fields.Spielfeld;
    }

    TEngine& m_engine;
    QColor m_colour;
    TPoint m_hover{-1, -1};
    std::optional<TBoard> m_trial;  // a copy: the searches' boards are borrowed and short-lived
    std::optional<TFieldOverlay> m_overlay;
    std::optional<TBoard> m_territory;
    std::map<QString, std::vector<TToolMark>> m_toolMarks;
    std::optional<std::array<int, PointCount>> m_numbers;
};

class TFormBoard : public QWidget {
    Q_OBJECT
  public:
    TFormBoard(TEngine& engine, TUi& ui, QWidget* parent = nullptr);

    // The state; text, when given, is the designed status text to show instead of the state's
    // own (self-play runs in the human-against-computer state but is no such game).
    void SetState(TBoardState s, const char* text = nullptr);
    [[nodiscard]] TBoardState GetState() const { return m_state; }
    // Waits for a legal move of colour, a pass (true, coordinates -1) or the lock (false).
    [[nodiscard]] bool WaitForMove(int& column, int& row, int colour);
    // True when the board is empty or the user agrees to clear it.
    [[nodiscard]] bool ConfirmClear();
    // Draws the board model afresh (and ends the display of a trial position).
    void Redraw();
    // Draws board, a trial position of a search, at once: the searches do not return to the
    // event loop while they read.
    void ShowIntermediate(const TBoard& board);
    void Translate();
    void SetBoardColour(const QColor& c) { m_view->SetBoardColour(c); }

    void RequestPass() { m_passRequested = true; }
    // The take-back and resign buttons: like the pass, they end the wait for a move.
    void RequestTakeBack() { m_takeBackRequested = true; }
    void RequestResign() { m_resignRequested = true; }
    [[nodiscard]] bool TakeBackRequested() const { return m_takeBackRequested; }
    [[nodiscard]] bool ResignRequested() const { return m_resignRequested; }
    [[nodiscard]] int ClickedColumn() const { return m_clicked.X; }
    [[nodiscard]] int ClickedRow() const { return m_clicked.Y; }
    [[nodiscard]] TBoardView* View() const { return m_view; }
    [[nodiscard]] QString StatusLine() const;
    // A stage of the computer's thinking in the status line, painted at once: the engine does
    // not return to the event loop while it thinks.
    void ShowProgress(const QString& text);
    [[nodiscard]] QString StateText() const;

    // Switches the pass button of the game-control window on while a move is awaited.
    std::function<void(bool)> OnPassEnabled;
    // A point chosen in classification mode, for the analysis tools.
    std::function<void(TPoint)> OnClassify;
    // A click while the score window counts: true when it took the click (a group marked dead
    // or alive again). Set only while the count is shown.
    std::function<bool(TPoint)> OnScoreClick;
    // Stepping through the record with the keys and the wheel over the board.
    std::function<void(TRecordStep)> OnRecordStep;
    // The status of the group a stone belongs to, 0 "tot" .. 3 "sicher", once the analysis graph
    // has judged it; nullopt when it has not (no graph yet, or not built for this position).
    std::function<std::optional<int>(TPoint)> GroupStatus;
    // The analysis detail of a point for the status line: the group status over a stone, the
    // territory value over an empty point of an evaluated position; empty when there is none.
    [[nodiscard]] QString PointDetail(TPoint point) const;

  protected:
    void keyPressEvent(QKeyEvent* e) override;
    void wheelEvent(QWheelEvent* e) override;

  private:
    void Pressed(TPoint point, Qt::MouseButton button);
    void Hovered(TPoint point);

    TEngine& m_engine;
    TUi& m_ui;
    TBoardView* m_view;
    QLabel* m_stateLabel;
    QLabel* m_pointLabel;
    TBoardState m_state = bsLocked;
    const char* m_stateText = nullptr;
    TPoint m_clicked{-1, -1};
    bool m_passRequested = false;
    bool m_takeBackRequested = false;
    bool m_resignRequested = false;
    int m_wheelDelta = 0;  // the wheel's turn not yet stepped (touchpads send small parts)
};

// The colours of a field's cells. By sign: white for a negative value, silver for 0, grey for a
// positive one. On a scale: the further from 0 relative to the largest magnitude maxAbs, the
// deeper the colour, warm for positive values (towards Black) and cool for negative ones.
[[nodiscard]] QColor FieldSignColour(int value);
[[nodiscard]] QColor FieldScaleColour(int value, int maxAbs);
// A colour for text on a cell of colour background.
[[nodiscard]] QColor TextColourOn(const QColor& background);

// The board colour of the settings as a colour to paint: a COLORREF (0x00BBGGRR), or, for a
// system colour (high bit set), the board's wood tone.
[[nodiscard]] QColor BoardColourOf(int64_t value);

}  // namespace obrin::gui
