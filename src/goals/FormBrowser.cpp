#include "goals/FormBrowser.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSplitter>
#include <QTabWidget>
#include <QTableWidget>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "goals/goals.h"

namespace obrin::gui {

namespace {

const QString kContext = QStringLiteral("Browser");
constexpr int kColumnWidths[] = {20, 20, 30, 200};
constexpr int kRowHeight = 16;

// The hourglass while the outline is rebuilt; the normal cursor again however it ends.
class TWaitCursor {
  public:
    TWaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~TWaitCursor() { QApplication::restoreOverrideCursor(); }
    TWaitCursor(const TWaitCursor&) = delete;
    TWaitCursor& operator=(const TWaitCursor&) = delete;
};

QTableWidgetItem* Cell(const QString& text, Qt::Alignment alignment) {
    auto* cell = new QTableWidgetItem(text);
    cell->setTextAlignment(alignment | Qt::AlignVCenter);
    cell->setFlags(Qt::ItemIsEnabled);
    return cell;
}

QTreeWidgetItem* FindIn(QTreeWidgetItem* item, const QString& text) {
    if (item->text(0) == text) return item;
    for (int i = 0; i < item->childCount(); ++i)
        if (QTreeWidgetItem* found = FindIn(item->child(i), text)) return found;
    return nullptr;
}

}  // namespace

QValidator::State TGoalNameValidator::validate(QString& input, int& pos) const {
    (void)pos;
    if (input.contains(QLatin1Char(' '))) return Invalid;
    input = input.toUpper();
    return Acceptable;
}

TFormBrowser::TFormBrowser(TUi& ui, QWidget* parent) : QDialog(parent), m_ui(ui) {
    setObjectName(QStringLiteral("FormBrowser"));
    setWindowTitle(QStringLiteral("Ziele-Browser"));
    auto* layout = new QVBoxLayout(this);

    Panel1 = new QWidget(this);
    auto* top = new QHBoxLayout(Panel1);
    top->setContentsMargins(0, 0, 0, 0);
    EditSymbol = new QLineEdit(Panel1);
    EditSymbol->setValidator(new TGoalNameValidator(EditSymbol));
    ButtonAdd = new QPushButton(QStringLiteral("&Hinzufügen"), Panel1);
    ButtonAdd->setDefault(true);
    top->addWidget(EditSymbol, 1);
    top->addWidget(ButtonAdd);
    layout->addWidget(Panel1);

    PanelSplit = new QSplitter(Qt::Horizontal, this);
    PanelSplit->setHandleWidth(8);
    PanelSplit->setChildrenCollapsible(false);
    Outline = new QTreeWidget(PanelSplit);
    Outline->setHeaderHidden(true);
    Outline->setColumnCount(1);
    Outline->setUniformRowHeights(true);
    Notebook = new QTabWidget(PanelSplit);
    StringGrid = new QTableWidget(1, 4, Notebook);
    StringGrid->setHorizontalHeaderLabels({QString(), QString(), QString(), QString()});
    StringGrid->verticalHeader()->hide();
    StringGrid->verticalHeader()->setDefaultSectionSize(
        std::max(kRowHeight, StringGrid->fontMetrics().height() + 4));
    StringGrid->horizontalHeader()->setFixedHeight(kRowHeight);
    for (int c = 0; c < 4; ++c) StringGrid->setColumnWidth(c, kColumnWidths[c]);
    StringGrid->horizontalHeader()->setStretchLastSection(true);
    StringGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    StringGrid->setSelectionMode(QAbstractItemView::NoSelection);
    Notebook->addTab(StringGrid, QStringLiteral("Vorgabe"));
    PanelSplit->addWidget(Outline);
    PanelSplit->addWidget(Notebook);
    PanelSplit->setSizes({300, 300});
    layout->addWidget(PanelSplit, 1);

    Panel2 = new QWidget(this);
    auto* bottom = new QHBoxLayout(Panel2);
    bottom->setContentsMargins(0, 0, 0, 0);
    BitBtn1 = new QPushButton(QStringLiteral("&Cluster"), Panel2);
    BitBtn1->setEnabled(false);  // the clustering of names has no action behind it
    ButtonInit = new QPushButton(QStringLiteral("&Init"), Panel2);
    Panel3 = new QWidget(Panel2);
    auto* exitBar = new QHBoxLayout(Panel3);
    exitBar->setContentsMargins(0, 0, 0, 0);
    ButtonExit = new QPushButton(QStringLiteral("Be&enden"), Panel3);
    exitBar->addWidget(ButtonExit);
    LabelGoals = new QLabel(Panel2);
    MarkUntranslated(LabelGoals);  // filled when shown
    bottom->addWidget(BitBtn1);
    bottom->addWidget(ButtonInit);
    bottom->addSpacing(12);
    bottom->addWidget(LabelGoals);
    bottom->addStretch(1);
    bottom->addWidget(Panel3);
    layout->addWidget(Panel2);
    // Enter in the edit box adds the name: only "Hinzufügen" is a default button.
    for (QPushButton* b : {BitBtn1, ButtonInit, ButtonExit}) b->setAutoDefault(false);

    connect(Outline, &QTreeWidget::itemExpanded, this, &TFormBrowser::OutlineExpand);
    connect(Outline, &QTreeWidget::itemCollapsed, this, &TFormBrowser::OutlineCollapse);
    connect(ButtonAdd, &QPushButton::clicked, this, &TFormBrowser::ButtonAddClick);
    connect(ButtonInit, &QPushButton::clicked, this, &TFormBrowser::ButtonInitClick);
    connect(ButtonExit, &QPushButton::clicked, this, &QDialog::accept);
    connect(StringGrid, &QTableWidget::cellClicked, this, &TFormBrowser::StringGridClick);
    ShowTally();
    Translate();
    resize(680, 480);
}

void TFormBrowser::Translate() {
    m_ui.Translator.TranslateComponent(this, kContext);
}

void TFormBrowser::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    FormShow();
}

bool TFormBrowser::event(QEvent* e) {
    if (e->type() == QEvent::WindowActivate && FirstActivation) {
        FirstActivation = false;
        TWaitCursor wait;
    }
    return QDialog::event(e);
}

void TFormBrowser::FormShow() {
    Outline->clear();
    const std::vector<std::string> names =
        Manager != nullptr ? GoalNames(*Manager) : std::vector<std::string>();
    LabelGoals->setText(
        names.empty()
            ? m_ui.Tr(kContext,
                      QStringLiteral("Noch keine Ziele: erst ein Computerzug hinterlässt welche."))
            : m_ui.Tr(kContext, QStringLiteral("%1 Ziele des letzten Computerzugs"))
                  .arg(names.size()));
    for (const std::string& name : names) {
        AddLine(nullptr, QString::fromStdString(name));
        // A long goal list appears line by line rather than after a frozen pause.
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
}

QTreeWidgetItem* TFormBrowser::AddLine(QTreeWidgetItem* parent, const QString& name) {
    auto* item = parent != nullptr ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(Outline);
    item->setText(0, name);
    // Whether a goal serves anything shows only when it is expanded.
    item->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
    return item;
}

void TFormBrowser::OutlineExpand(QTreeWidgetItem* item) {
    if (item == nullptr) return;
    TWaitCursor wait;
    const QString name = item->text(0);
    m_tally.Count(name.toStdString());
    const auto supers = Manager != nullptr ? SuperGoalNames(*Manager, name.toStdString())
                                           : std::optional<std::vector<std::string>>();
    if (!supers) {
        // The line stays as it was: closed, without children.
        const QSignalBlocker quiet(Outline);
        item->setExpanded(false);
        ShowTally();
        m_ui.Dialogs.Message(
            this, m_ui.Tr(kContext, QStringLiteral("Goal <%1> not published")).arg(name));
        return;
    }
    for (const std::string& super : *supers) {
        AddLine(item, QString::fromStdString(super));
        m_tally.Count(super);
    }
    // A goal that serves nothing keeps no expander.
    if (supers->empty())
        item->setChildIndicatorPolicy(QTreeWidgetItem::DontShowIndicatorWhenChildless);
    m_tally.Sort();
    ShowTally();
}

void TFormBrowser::OutlineCollapse(QTreeWidgetItem* item) {
    if (item == nullptr) return;
    while (item->childCount() > 0) delete item->takeChild(0);
}

void TFormBrowser::ButtonAddClick() {
    const QString name = EditSymbol->text().trimmed();
    if (name.isEmpty()) return;
    AddLine(nullptr, name);
    m_tally.Count(name.toStdString());
    m_tally.Sort();
    ShowTally();
    EditSymbol->clear();
}

void TFormBrowser::ButtonInitClick() {
    m_tally.Clear();
    ShowTally();
}

void TFormBrowser::StringGridClick(int row, int column) {
    if (column == 0)
        m_tally.Plus(row);
    else if (column == 1)
        m_tally.Minus(row);
    else
        return;
    ShowTally();
}

void TFormBrowser::ShowTally() {
    const auto& rows = m_tally.Rows();
    StringGrid->setRowCount(static_cast<int>(rows.size()) + 1);
    for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
        const TGoalTally::TRow& row = rows[static_cast<size_t>(r)];
        StringGrid->setItem(r, 0, Cell(QStringLiteral("+"), Qt::AlignHCenter));
        StringGrid->setItem(r, 1, Cell(QStringLiteral("-"), Qt::AlignHCenter));
        StringGrid->setItem(r, 2, Cell(QString::number(row.Count), Qt::AlignRight));
        StringGrid->setItem(r, 3, Cell(QString::fromStdString(row.Name), Qt::AlignLeft));
    }
    const int last = static_cast<int>(rows.size());
    for (int c = 0; c < 4; ++c) StringGrid->setItem(last, c, Cell(QString(), Qt::AlignLeft));
}

QTreeWidgetItem* TFormBrowser::FindLine(const QString& text) const {
    for (int i = 0; i < Outline->topLevelItemCount(); ++i)
        if (QTreeWidgetItem* found = FindIn(Outline->topLevelItem(i), text)) return found;
    return nullptr;
}

}  // namespace obrin::gui
