// The field display ("Feld-Anzeige"): any per-point field of the engine as a 19x19 grid of
// numbers, chosen by its display name from the menu "&Anzeigen". Cells are coloured by the sign
// of their value (white, silver, grey) or, as an option, on a colour scale by value; the field
// can also be laid over the board window. Invariant: the window shows a copy of the field as it
// was when chosen (or refreshed), never a live reference into the engine.
#pragma once

#include <QWidget>
#include <functional>
#include <optional>
#include <vector>

#include "board/board.h"
#include "game/engine.h"
#include "ui/FormUi.h"

class QAction;
class QLabel;
class QMenuBar;
class QPainter;

namespace obrin::gui {

class TBoardView;

// The grid itself: cells, coordinates, values.
class TFieldGrid : public QWidget {
    Q_OBJECT
  public:
    explicit TFieldGrid(QWidget* parent);

    void SetField(const TBoard& field);
    // The position whose stones are marked in the cells' corners; nullopt marks none.
    void SetStones(std::optional<TBoard> stones);
    void SetColourScale(bool on);
    [[nodiscard]] const TBoard& Field() const { return m_field; }
    // The fill of the cell of point index i, as painted.
    [[nodiscard]] QColor CellColour(int i) const;
    // Cell size and the origin of the grid for the widget's size: 30-pixel cells 40 pixels from
    // the left and top at the designed size, scaled to fit otherwise.
    [[nodiscard]] double CellSize() const;
    [[nodiscard]] TPoint PointAt(QPointF pos) const;
    [[nodiscard]] QSize sizeHint() const override { return {640, 640}; }

  signals:
    void hovered(obrin::TPoint point);

  protected:
    void paintEvent(QPaintEvent*) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void leaveEvent(QEvent*) override;

  private:
    void DrawStone(QPainter& p, const QRectF& cell, int stone) const;

    TBoard m_field{};
    std::optional<TBoard> m_stones;
    int m_maxAbs = 0;
    bool m_scale = false;
};

class TFormFeldanzeige : public QWidget {
    Q_OBJECT
  public:
    TFormFeldanzeige(TEngine& engine, TUi& ui, TBoardView& board, QWidget* parent = nullptr);

    // Shows the field of that display name (as in the menu, without the "&"); false for a name
    // the engine does not know.
    bool ShowField(const QString& name);
    [[nodiscard]] const QString& FieldName() const { return m_name; }
    // Copies the chosen field from the engine again (after an analysis, say).
    void Refresh();
    void SetColourScale(bool on);
    void SetOverlay(bool on);
    // The "Verbindung" test: a target map with only point index 0, searched for from the chain
    // named 180 (the centre point) in that stone's colour (Black on an empty centre); the answer
    // in a message, the target map on display and the route found marked on the board.
    void RunConnectionTest();
    void Translate();

    [[nodiscard]] TFieldGrid* Grid() const { return m_grid; }
    [[nodiscard]] QAction* FieldAction(const QString& name) const;
    [[nodiscard]] QString StatusText() const;

    // Analyses the current position (classification, liberties, territory).
    std::function<void()> Analyse;

  protected:
    void closeEvent(QCloseEvent* e) override;
    void showEvent(QShowEvent* e) override;

  private:
    void BuildMenu();
    void ShowStatus(TPoint hover);
    void UpdateOverlay();
    [[nodiscard]] bool FetchField(const QString& name, TBoard& field);

    TEngine& m_engine;
    TUi& m_ui;
    TBoardView& m_board;
    QMenuBar* m_menu;
    TFieldGrid* m_grid;
    QLabel* m_status;
    QAction* m_scaleAction = nullptr;
    QAction* m_overlayAction = nullptr;
    std::vector<QAction*> m_fieldActions;
    QString m_name;
};

// The display names of the fields the window offers, in menu order, with their accelerators.
[[nodiscard]] const std::vector<QString>& FieldDisplayNames();

}  // namespace obrin::gui
