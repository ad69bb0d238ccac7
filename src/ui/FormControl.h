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
#include "ui/FormBoard.h"
#include "ui/FormUi.h"

class QLineEdit;
class QMenu;
class QTabWidget;

namespace obrin::gui {

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

// Invariant: while alive it is the engine's game recorder; every move played goes through it
// into the record tree, so it knows what changed since the last load or save.
class TFormControl : public QWidget, public IGameRecorder {
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
    // A game starts: with nothing selected a new game record begins, and its root node gets
    // the game's properties (komi, handicap, players, date).
    void StartRecord(TGameKind kind);
    // A played move, recorded in the tree.
    void RecordMove(int x, int y, int colour) override;
    // A mark of the record before a turn, and going back to it when moves are taken back: the
    // items recorded since are deleted and the item selected then is selected again.
    [[nodiscard]] int64_t RecordMark();
    void RewindRecord(int64_t mark);
    // Writes the result into the root node of the game the last game started as a new record;
    // false when there is no such game (the game went on in a record loaded before).
    bool SetResult(const std::string& result);
    // Whether the record changed since it was loaded, saved or cleared.
    [[nodiscard]] bool Modified() const { return m_modified; }
    void SetModified(bool modified) { m_modified = modified; }
    // The take-back button, offered while the game loop can take back.
    void SetTakeBackEnabled(bool on);
    // Whether the board writes move numbers on the stones; they follow every change.
    void SetShowMoveNumbers(bool on);
    [[nodiscard]] bool ShowsMoveNumbers() const { return m_showMoveNumbers; }
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
    // The editing buttons that make placeholder items belong to the analysis layout ("/qx").
    void SetAnalysisLayout(bool on);
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
    // The keys and the wheel over the board: a move back or on, the game's start, the end of
    // the line of play. Nothing while a game runs.
    void Step(TRecordStep step);

    // "Clear" asks here first (unsaved changes, the file name); false keeps the record.
    std::function<bool()> OnClearAsked;
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
    QPushButton* BitBtnTakeBack;
    QPushButton* BitBtnResign;
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
    // The record shows a new item: after a replay the marks and the board follow it.
    void SelectionFollowed();
    // A comment typed for the item the pane showed is stored before the pane shows another.
    void KeepTypedComment();
    void UpdateMoveNumbers();
    void WriteGameProperties(TSgfTreeItem* root, TGameKind kind);
    void ForgetRecordItems();
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
    bool m_modified = false;
    bool m_showMoveNumbers = false;
    TSgfTreeItem* m_commentItem = nullptr;  // the item whose comment the pane shows
    TSgfTreeItem* m_gameItem = nullptr;     // the game item the last game started
    // The items the running game recorded, oldest first, and the marks handed out for it:
    // how many of those items there were and which item was selected.
    std::vector<TSgfTreeItem*> m_recorded;
    struct TRecordMarkState {
        size_t Recorded;
        TSgfTreeItem* Selected;
    };
    std::vector<TRecordMarkState> m_marks;
};

}  // namespace obrin::gui
