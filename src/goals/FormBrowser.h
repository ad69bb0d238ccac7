// The goal browser ("Ziele-Browser"): walks the goals that the last computer move left in the
// rule manager. Every goal is a top-level line of the outline; expanding a line lists, sorted,
// the goals it serves, and those can be expanded in turn, so a chain of purposes can be followed
// up to the goals that serve nothing. The tally grid beside it counts how often each name was
// shown: names that recur in many chains rise to the top. Invariant: the last row of the grid is
// always empty, for the next name.
#pragma once

#include <QDialog>
#include <QValidator>

#include "goals/goalbrowse.h"
#include "ui/FormUi.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QSplitter;
class QTabWidget;
class QTableWidget;
class QTreeWidget;
class QTreeWidgetItem;
class QWidget;

namespace obrin {
class TRuleManager;
}

namespace obrin::gui {

// Goal names are upper case and have no blanks where they are typed: the input is upper-cased,
// a blank is refused.
class TGoalNameValidator : public QValidator {
    Q_OBJECT
  public:
    using QValidator::QValidator;
    State validate(QString& input, int& pos) const override;
};

class TFormBrowser : public QDialog {
    Q_OBJECT
  public:
    explicit TFormBrowser(TUi& ui, QWidget* parent = nullptr);

    // Expands a line: its text is counted and, when it names a goal, the goals it serves become
    // its children (counted too). A name that is no goal's gets the message "Goal <name> not
    // published" and no children.
    void OutlineExpand(QTreeWidgetItem* item);
    // Collapsing a line removes its children; expanding it again rebuilds and recounts them.
    void OutlineCollapse(QTreeWidgetItem* item);
    // "&Hinzufügen" (the default button): the typed name as a new top-level line, counted.
    void ButtonAddClick();
    // "&Init": the tally back to its empty state.
    void ButtonInitClick();
    // A click on the grid: "+" and "-" change the row's count.
    void StringGridClick(int row, int column);
    void Translate();

    // The line of the outline with that text, searched depth-first; null when there is none.
    [[nodiscard]] QTreeWidgetItem* FindLine(const QString& text) const;
    [[nodiscard]] const TGoalTally& Tally() const { return m_tally; }

    QTreeWidget* Outline;
    QSplitter* PanelSplit;
    QWidget* Panel1;
    QWidget* Panel2;
    QLineEdit* EditSymbol;
    QPushButton* ButtonAdd;
    QTabWidget* Notebook;
    QTableWidget* StringGrid;
    QPushButton* BitBtn1;
    QPushButton* ButtonInit;
    QWidget* Panel3;
    QPushButton* ButtonExit;
    QLabel* LabelGoals;  // how many goals the last move left, or that there are none yet

    bool FirstActivation = true;
    // The manager whose goals are browsed; set by the opener before the window is shown.
    TRuleManager* Manager = nullptr;

  protected:
    void showEvent(QShowEvent* e) override;
    bool event(QEvent* e) override;

  private:
    void FormShow();
    QTreeWidgetItem* AddLine(QTreeWidgetItem* parent, const QString& name);
    // Shows the tally in the grid, with the empty row last.
    void ShowTally();

    TUi& m_ui;
    TGoalTally m_tally;
};

}  // namespace obrin::gui
