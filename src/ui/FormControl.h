// The game-control window ("Steuerung"): everything about the game except the board. The record
// tree with its navigation and editing, the comment and property panes, the engine's reasoning,
// the last moves, ko and prisoners, and the pass and stop buttons of a running game.
#pragma once

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QToolButton>
#include <QTreeView>
#include <QWidget>
#include <functional>

#include "game/engine.h"
#include "ui/FormUi.h"

class QLineEdit;
class QTabWidget;

namespace obrin::gui {

class TFormBoard;

// The three arrangements of the window.
enum class TControlLayout { Editing, Playing, Input };

// A text pane that can be read and scrolled but never edited: it switches itself off while it
// has the focus, as the reasoning pane and the error list do.
class TReadOnlyPane : public QPlainTextEdit {
    Q_OBJECT
  public:
    using QPlainTextEdit::QPlainTextEdit;

  protected:
    void focusInEvent(QFocusEvent* e) override;
};

class TFormControl : public QWidget {
    Q_OBJECT
  public:
    TFormControl(TEngine& engine, TUi& ui, TFormBoard& board, QWidget* parent = nullptr);

    void SetLayout(TControlLayout layout);
    [[nodiscard]] TControlLayout Layout() const { return m_layout; }
    // Shows the last moves, the ko point and the prisoners afresh.
    void Refresh();
    void Translate();

    // Selection in display order.
    void SelectFirst();
    void SelectPrevious();
    void SelectNext();
    void SelectLast();

    // The main window's file commands behind the load and save buttons.
    std::function<void()> OnLoad, OnSave, OnSaveAs;
    // The game has been stopped (the board is locked again); "Stellung bewerten" asks for a score.
    std::function<void(bool score)> OnStopped;

    QLabel* LabelComputer;
    QLabel* LabelMensch;
    QLabel* LabelKo;
    QLabel* LabelSGefangene;
    QLabel* LabelWGefangene;
    QTreeView* SgfTreeView;
    QPlainTextEdit* Memo2;
    QPlainTextEdit* MemoComments;
    TReadOnlyPane* MemoInference;
    QLineEdit* EditPropertyName;
    QLineEdit* EditPropertyValue;
    QToolButton* ButtonFirst;
    QToolButton* ButtonPrev;
    QToolButton* ButtonNext;
    QToolButton* ButtonLast;
    QPushButton* ButtonDelete;
    QPushButton* ButtonVariant;
    QPushButton* ButtonInsertNode;
    QPushButton* ButtonAddChild;
    QPushButton* ButtonAddAtEnd;
    QPushButton* ButtonAddProperty;
    QPushButton* ButtonClear;
    QPushButton* ButtonMemoStore;
    QPushButton* ButtonMemoCancel;
    QToolButton* BitBtnInfo;
    QToolButton* BitBtnLoad;
    QToolButton* BitBtnSave;
    QToolButton* BitBtnSaveAs;
    QPushButton* BitBtnPassen;
    QPushButton* BitBtnStop;

  protected:
    void keyPressEvent(QKeyEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

  private:
    QWidget* BuildStatus();
    QWidget* BuildRecordBar();
    QWidget* BuildPanes();
    QWidget* BuildEditBar();
    QWidget* BuildGameBar();
    void Stop();

    TEngine& m_engine;
    TUi& m_ui;
    TFormBoard& m_board;
    TControlLayout m_layout = TControlLayout::Editing;
    QWidget* m_editBar = nullptr;
    QWidget* m_gameBar = nullptr;
    QWidget* m_propertyRow = nullptr;
    QTabWidget* m_panes = nullptr;
};

}  // namespace obrin::gui
