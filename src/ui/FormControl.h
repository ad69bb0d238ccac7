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
#include <memory>

#include "game/engine.h"
#include "records/replay.h"
#include "records/sgfparse.h"
#include "records/sgftree.h"
#include "ui/FormUi.h"

class QLineEdit;
class QMenu;
class QTabWidget;

namespace obrin::gui {

class TFormBoard;
class TFormSgfError;
class TSgfTreeView;

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
    ~TFormControl() override;

    // Reads a record into the tree; false when the file could not be read (a message names it).
    // Syntax errors show the error window, and what could be read stays in the tree.
    bool LoadFile(const QString& fileName);
    // Whether the last load produced syntax messages (what was read may not be all of it).
    [[nodiscard]] bool LoadHadMessages() const { return m_loadHadMessages; }
    // Writes the record as SGF; false (with a message) on failure, the old file left intact.
    bool SaveFile(const QString& fileName);
    // A game starts: with nothing selected a new game record begins.
    void StartRecord();
    // Shows the panes the replay filled.
    void ShowPanes();
    // The comment pane's store button: sets C of the selected node without replaying.
    void StoreComment();
    void AddProperty();
    void ClearRecord();
    void DeleteSelected();
    void InsertVariant();
    void InsertNode();
    void AddChild();
    void AddNodeAtEnd();
    void ShowGameInfo();
    // The goal tree of the last computer move in a window of its own; a message when no
    // computer move has been made yet.
    void ShowGoalTree();
    // The reasoning pane's context menu: the pane's own entries and the goal tree. The caller
    // owns it.
    [[nodiscard]] QMenu* InferenceMenu();

    [[nodiscard]] TSgfTreeModel& Tree() { return *m_tree; }
    [[nodiscard]] TRecordReplay& Replay() { return *m_replay; }
    [[nodiscard]] TFormSgfError& ErrorWindow() { return *m_errors; }

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
    // Along the line of play, as the arrow keys left and right: the move before the selected
    // one (the game item before the first move) and the next move of the same line.
    void StepBack();
    void StepForward();

    // The main window's file commands behind the load and save buttons.
    std::function<void()> OnLoad, OnSave, OnSaveAs;
    // The game has been stopped (the board is locked again); "Stellung bewerten" asks for a score.
    std::function<void(bool score)> OnStopped;

    QLabel* LabelComputer;
    QLabel* LabelMensch;
    QLabel* LabelKo;
    QLabel* LabelSGefangene;
    QLabel* LabelWGefangene;
    TSgfTreeView* SgfTreeView;
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
    bool m_loadHadMessages = false;
    // Up and down step through the tree from anywhere in the window but the comment editor,
    // where they move the caret; Alt+Up and Alt+Down step from everywhere.
    bool StepKey(QObject* watched, QKeyEvent* key);
    // The comment pane's text as shown: decoded, with plain line feeds.
    [[nodiscard]] QString ShownComment() const;
    QWidget* BuildStatus();
    QWidget* BuildRecordBar();
    QWidget* BuildPanes();
    QWidget* BuildEditBar();
    QWidget* BuildGameBar();
    void Stop();
    void SelectItem(TSgfTreeItem* item);
    [[nodiscard]] TSgfTreeItem* MoveBefore(TSgfTreeItem* item);
    [[nodiscard]] TSgfTreeItem* MoveAfter(TSgfTreeItem* item);
    [[nodiscard]] TSgfTreeItem* Selected() const { return m_tree->Selected(); }
    // Runs a change of the record with replay switched off, then shows the panes.
    template <typename F>
    void Quietly(F&& change);

    TEngine& m_engine;
    TUi& m_ui;
    TFormBoard& m_board;
    TControlLayout m_layout = TControlLayout::Editing;
    QWidget* m_editBar = nullptr;
    QWidget* m_gameBar = nullptr;
    QWidget* m_propertyRow = nullptr;
    QTabWidget* m_panes = nullptr;
    std::unique_ptr<TSgfParser> m_parser;
    std::unique_ptr<TSgfTreeModel> m_tree;
    std::unique_ptr<TRecordReplay> m_replay;
    TFormSgfError* m_errors = nullptr;
    bool m_showingPanes = false;
};

}  // namespace obrin::gui
