#include "ui/FormControl.h"

#include <QApplication>
#include <QCheckBox>
#include <QDate>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QFontDatabase>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QRandomGenerator>
#include <QStyle>
#include <QTabWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <utility>

#include "board/board.h"
#include "board/errors.h"
#include "game/gameflow.h"
#include "records/FormGameData.h"
#include "records/FormSgfError.h"
#include "records/FormSgfTree.h"
#include "records/lineofplay.h"
#include "records/sgfdata.h"

namespace obrin::gui {

namespace {

const QString kContext = QStringLiteral("Control");

QString PointLabel(int x, int y) {
    return QString::fromStdString(PointText(x, y));
}

QLabel* ValueLabel(QWidget* parent) {
    auto* l = new QLabel(QStringLiteral("---"), parent);
    MarkUntranslated(l);
    QFont f = l->font();
    f.setBold(true);
    l->setFont(f);
    l->setMinimumWidth(36);
    return l;
}

QToolButton* IconButton(QWidget* parent, QStyle::StandardPixmap icon, const QString& text) {
    auto* b = new QToolButton(parent);
    b->setIcon(parent->style()->standardIcon(icon));
    b->setText(text);
    b->setToolButtonStyle(text.isEmpty() ? Qt::ToolButtonIconOnly : Qt::ToolButtonTextBesideIcon);
    b->setAutoRaise(true);
    return b;
}

// A small disc in the colour of a player, shown beside the prisoner counts.
QLabel* StoneIcon(QWidget* parent, bool black) {
    QPixmap pm(14, 14);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0x40, 0x40, 0x40), 1));
    p.setBrush(black ? QColor(0x10, 0x10, 0x10) : QColor(0xF4, 0xF2, 0xEC));
    p.drawEllipse(QRectF(1, 1, 12, 12));
    p.end();
    auto* l = new QLabel(parent);
    l->setPixmap(pm);
    return l;
}

// "Beenden einer Partie": true to stop; score is set when "Stellung bewerten" was ticked.
bool AskStop(TUi& ui, QWidget* parent, bool& score) {
    QDialog d(parent);
    d.setObjectName(QStringLiteral("FormEndGame"));
    d.setWindowTitle(QStringLiteral("Beenden einer Partie"));
    auto* layout = new QVBoxLayout(&d);
    layout->addWidget(new QLabel(QStringLiteral("Soll die Partie beendet werden ?"), &d));
    auto* evaluate = new QCheckBox(QStringLiteral("Stellung bewerten"), &d);
    layout->addWidget(evaluate);
    QDialogButtonBox* buttons = AddDialogButtons(&d, layout, "&Ja", "&Nein");
    QObject::connect(buttons, &QDialogButtonBox::accepted, &d, &QDialog::accept);
    ui.Translator.TranslateComponent(&d, QStringLiteral("End_Program"));
    const bool yes = ui.Dialogs.Exec(&d) == QDialog::Accepted;
    score = evaluate->isChecked();
    return yes;
}

}  // namespace

void TReadOnlyPane::focusInEvent(QFocusEvent* e) {
    QPlainTextEdit::focusInEvent(e);
    setReadOnly(true);
}

TFormControl::TFormControl(TEngine& engine, TUi& ui, TFormBoard& board, QWidget* parent)
    : QWidget(parent),
      m_engine(engine),
      m_ui(ui),
      m_board(board),
      m_parser(std::make_unique<TSgfParser>()),
      m_tree(std::make_unique<TSgfTreeModel>(engine.Board)) {
    setObjectName(QStringLiteral("FormControl"));
    m_tree->SetSgfParser(m_parser.get());
    m_tree->Translate = [this](const std::string& text) {
        return m_ui.Tr(kContext, QString::fromStdString(text)).toStdString();
    };
    m_replay = std::make_unique<TRecordReplay>(engine.Board, *m_tree);
    m_engine.Recorder = this;
    m_errors = new TFormSgfError(ui, this);
    setWindowTitle(QStringLiteral("Steuerung"));
    resize(330, 410);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->setSpacing(4);
    layout->addWidget(BuildStatus());
    layout->addWidget(BuildRecordBar());
    SgfTreeView = new TSgfTreeView(*m_tree, this);
    SgfTreeView->installEventFilter(this);
    // The view hands the selection to the record first, which replays; then the panes follow.
    connect(SgfTreeView, &QTreeWidget::currentItemChanged, this, &TFormControl::SelectionFollowed);
    layout->addWidget(SgfTreeView, 3);
    layout->addWidget(BuildPanes(), 2);
    m_editBar = BuildEditBar();
    layout->addWidget(m_editBar);
    m_gameBar = BuildGameBar();
    layout->addWidget(m_gameBar);
    SetLayout(TControlLayout::Editing);
    for (QWidget* w : findChildren<QWidget*>())
        if (w != SgfTreeView && w->window() == window()) w->installEventFilter(this);
    Refresh();
    Translate();
}

QWidget* TFormControl::BuildStatus() {
    auto* box = new QWidget(this);
    auto* grid = new QGridLayout(box);
    grid->setContentsMargins(2, 2, 2, 2);
    grid->setHorizontalSpacing(8);
    LabelComputer = ValueLabel(box);
    LabelMensch = ValueLabel(box);
    LabelKo = ValueLabel(box);
    LabelSGefangene = ValueLabel(box);
    LabelWGefangene = ValueLabel(box);
    grid->addWidget(new QLabel(QStringLiteral("Computer"), box), 0, 0);
    grid->addWidget(LabelComputer, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("Mensch"), box), 0, 2);
    grid->addWidget(LabelMensch, 0, 3);
    grid->addWidget(new QLabel(QStringLiteral("Ko"), box), 0, 4);
    grid->addWidget(LabelKo, 0, 5);
    grid->addWidget(new QLabel(QStringLiteral("Gefangene"), box), 1, 0);
    auto* prisoners = new QHBoxLayout;
    prisoners->addWidget(StoneIcon(box, true));
    prisoners->addWidget(LabelSGefangene);
    prisoners->addWidget(StoneIcon(box, false));
    prisoners->addWidget(LabelWGefangene);
    prisoners->addStretch();
    grid->addLayout(prisoners, 1, 1, 1, 5);
    grid->setColumnStretch(5, 1);
    return box;
}

QWidget* TFormControl::BuildRecordBar() {
    auto* bar = new QWidget(this);
    auto* row = new QHBoxLayout(bar);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(1);
    BitBtnLoad = IconButton(bar, QStyle::SP_DialogOpenButton, QString());
    BitBtnSave = IconButton(bar, QStyle::SP_DialogSaveButton, QString());
    BitBtnSaveAs = IconButton(bar, QStyle::SP_DriveFDIcon, QString());
    BitBtnInfo = IconButton(bar, QStyle::SP_FileDialogInfoView, QStringLiteral("Info"));
    ButtonFirst = IconButton(bar, QStyle::SP_MediaSkipBackward, QString());
    ButtonPrev = IconButton(bar, QStyle::SP_MediaSeekBackward, QString());
    ButtonNext = IconButton(bar, QStyle::SP_MediaSeekForward, QString());
    ButtonLast = IconButton(bar, QStyle::SP_MediaSkipForward, QString());
    for (QToolButton* b : {BitBtnLoad, BitBtnSave, BitBtnSaveAs, BitBtnInfo}) row->addWidget(b);
    row->addStretch();
    for (QToolButton* b : {ButtonFirst, ButtonPrev, ButtonNext, ButtonLast}) row->addWidget(b);
    connect(BitBtnLoad, &QToolButton::clicked, this, [this] {
        if (OnLoad) OnLoad();
    });
    connect(BitBtnSave, &QToolButton::clicked, this, [this] {
        if (OnSave) OnSave();
    });
    connect(BitBtnSaveAs, &QToolButton::clicked, this, [this] {
        if (OnSaveAs) OnSaveAs();
    });
    connect(BitBtnInfo, &QToolButton::clicked, this, &TFormControl::ShowGameInfo);
    connect(ButtonFirst, &QToolButton::clicked, this, &TFormControl::SelectFirst);
    connect(ButtonPrev, &QToolButton::clicked, this, &TFormControl::SelectPrevious);
    connect(ButtonNext, &QToolButton::clicked, this, &TFormControl::SelectNext);
    connect(ButtonLast, &QToolButton::clicked, this, &TFormControl::SelectLast);
    return bar;
}

QWidget* TFormControl::BuildPanes() {
    m_panes = new QTabWidget(this);
    auto* comment = new QWidget(m_panes);
    auto* commentLayout = new QVBoxLayout(comment);
    commentLayout->setContentsMargins(2, 2, 2, 2);
    MemoComments = new QPlainTextEdit(comment);
    commentLayout->addWidget(MemoComments);
    auto* commentButtons = new QHBoxLayout;
    commentButtons->addStretch();
    ButtonMemoStore = new QPushButton(QStringLiteral("Übernehmen"), comment);
    ButtonMemoCancel = new QPushButton(QStringLiteral("Verwerfen"), comment);
    commentButtons->addWidget(ButtonMemoStore);
    commentButtons->addWidget(ButtonMemoCancel);
    commentLayout->addLayout(commentButtons);
    ButtonMemoStore->setEnabled(false);
    ButtonMemoCancel->setEnabled(false);

    auto* props = new QWidget(m_panes);
    auto* propsLayout = new QVBoxLayout(props);
    propsLayout->setContentsMargins(2, 2, 2, 2);
    Memo2 = new QPlainTextEdit(props);
    Memo2->setReadOnly(true);
    propsLayout->addWidget(Memo2);
    m_propertyRow = new QWidget(props);
    auto* propRow = new QHBoxLayout(m_propertyRow);
    propRow->setContentsMargins(0, 0, 0, 0);
    EditPropertyName = new QLineEdit(QStringLiteral("Comment"), m_propertyRow);
    EditPropertyValue = new QLineEdit(QStringLiteral("Test"), m_propertyRow);
    ButtonAddProperty = new QPushButton(QStringLiteral("Add Property"), m_propertyRow);
    propRow->addWidget(EditPropertyName, 1);
    propRow->addWidget(EditPropertyValue, 2);
    propRow->addWidget(ButtonAddProperty);
    propsLayout->addWidget(m_propertyRow);

    MemoInference = new TReadOnlyPane(m_panes);
    MemoInference->setReadOnly(true);
    m_panes->addTab(comment, QStringLiteral("Kommentar"));
    m_panes->addTab(props, QStringLiteral("Eigenschaften"));
    m_panes->addTab(MemoInference, QStringLiteral("Überlegungen"));
    MemoInference->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(MemoInference, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        std::unique_ptr<QMenu> menu(InferenceMenu());
        menu->exec(MemoInference->mapToGlobal(at));
    });

    connect(MemoComments, &QPlainTextEdit::textChanged, this, [this] {
        if (m_showingPanes) return;  // filled by the replay, not edited
        ButtonMemoStore->setEnabled(true);
        ButtonMemoCancel->setEnabled(true);
    });
    connect(ButtonMemoCancel, &QPushButton::clicked, this, [this] {
        ButtonMemoStore->setEnabled(false);
        ButtonMemoCancel->setEnabled(false);
        ShowPanes();
    });
    connect(ButtonMemoStore, &QPushButton::clicked, this, &TFormControl::StoreComment);
    connect(ButtonAddProperty, &QPushButton::clicked, this, &TFormControl::AddProperty);
    return m_panes;
}

QWidget* TFormControl::BuildEditBar() {
    auto* bar = new QWidget(this);
    auto* grid = new QGridLayout(bar);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setSpacing(3);
    ButtonVariant = new QPushButton(QStringLiteral("Variante"), bar);
    ButtonInsertNode = new QPushButton(QStringLiteral("Insert node"), bar);
    ButtonAddChild = new QPushButton(QStringLiteral("Add Child"), bar);
    ButtonAddAtEnd = new QPushButton(QStringLiteral("Add node at end"), bar);
    ButtonDelete = new QPushButton(QStringLiteral("Löschen"), bar);
    ButtonClear = new QPushButton(QStringLiteral("Clear"), bar);
    ButtonDelete->setIcon(style()->standardIcon(QStyle::SP_TrashIcon));
    connect(ButtonVariant, &QPushButton::clicked, this, &TFormControl::InsertVariant);
    connect(ButtonInsertNode, &QPushButton::clicked, this, &TFormControl::InsertNode);
    connect(ButtonAddChild, &QPushButton::clicked, this, &TFormControl::AddChild);
    connect(ButtonAddAtEnd, &QPushButton::clicked, this, &TFormControl::AddNodeAtEnd);
    connect(ButtonDelete, &QPushButton::clicked, this, &TFormControl::DeleteSelected);
    connect(ButtonClear, &QPushButton::clicked, this, [this] {
        if (!OnClearAsked || OnClearAsked()) ClearRecord();
    });
    grid->addWidget(ButtonVariant, 0, 0);
    grid->addWidget(ButtonInsertNode, 0, 1);
    grid->addWidget(ButtonDelete, 0, 2);
    grid->addWidget(ButtonAddChild, 1, 0);
    grid->addWidget(ButtonAddAtEnd, 1, 1);
    grid->addWidget(ButtonClear, 1, 2);
    return bar;
}

QWidget* TFormControl::BuildGameBar() {
    auto* bar = new QWidget(this);
    auto* row = new QHBoxLayout(bar);
    row->setContentsMargins(0, 0, 0, 0);
    BitBtnPassen = new QPushButton(QStringLiteral("&Passen"), bar);
    BitBtnTakeBack = new QPushButton(QStringLiteral("&Zurücknehmen"), bar);
    BitBtnResign = new QPushButton(QStringLiteral("&Aufgeben"), bar);
    BitBtnStop = new QPushButton(QStringLiteral("&Stop"), bar);
    BitBtnPassen->setIcon(style()->standardIcon(QStyle::SP_MediaSkipForward));
    BitBtnTakeBack->setIcon(style()->standardIcon(QStyle::SP_ArrowBack));
    BitBtnResign->setIcon(style()->standardIcon(QStyle::SP_DialogCancelButton));
    BitBtnStop->setIcon(style()->standardIcon(QStyle::SP_MediaStop));
    for (QPushButton* b : {BitBtnPassen, BitBtnTakeBack, BitBtnResign, BitBtnStop}) {
        b->setMinimumHeight(32);
        row->addWidget(b);
    }
    BitBtnPassen->setEnabled(false);
    BitBtnTakeBack->setEnabled(false);
    BitBtnResign->setEnabled(false);
    BitBtnTakeBack->setToolTip(QStringLiteral("Ctrl+Z"));
    connect(BitBtnPassen, &QPushButton::clicked, this, [this] { m_board.RequestPass(); });
    connect(BitBtnTakeBack, &QPushButton::clicked, this, [this] { m_board.RequestTakeBack(); });
    connect(BitBtnResign, &QPushButton::clicked, this, [this] {
        if (m_ui.Ask(this, kContext, QStringLiteral("Willst du wirklich aufgeben?")))
            m_board.RequestResign();
    });
    connect(BitBtnStop, &QPushButton::clicked, this, &TFormControl::Stop);
    return bar;
}

QMenu* TFormControl::InferenceMenu() {
    QMenu* menu = MemoInference->createStandardContextMenu();
    menu->addSeparator();
    menu->addAction(m_ui.Tr(kContext, QStringLiteral("&Zielbaum des letzten Zuges")), this,
                    &TFormControl::ShowGoalTree);
    return menu;
}

void TFormControl::ShowGoalTree() {
    const std::vector<std::string>& tree = m_engine.LastGoalTree;
    if (tree.empty()) {
        m_ui.Message(this, kContext,
                     QStringLiteral("Noch kein Computerzug: es gibt noch keinen Zielbaum."));
        return;
    }
    QDialog dialog(this);
    dialog.setObjectName(QStringLiteral("FormGoalTree"));
    dialog.setWindowTitle(QStringLiteral("Zielbaum des letzten Zuges"));
    auto* layout = new QVBoxLayout(&dialog);
    auto* pane = new TReadOnlyPane(&dialog);
    pane->setReadOnly(true);
    pane->setLineWrapMode(QPlainTextEdit::NoWrap);
    pane->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    QStringList lines;
    for (const std::string& line : tree) lines << QString::fromStdString(line);
    pane->setPlainText(lines.join(QLatin1Char('\n')));
    layout->addWidget(pane);
    QDialogButtonBox* buttons = AddDialogButtons(&dialog, layout, "&OK");
    connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    m_ui.Translator.TranslateComponent(&dialog, kContext);
    dialog.resize(520, 420);
    m_ui.Dialogs.Exec(&dialog);
}

TFormControl::~TFormControl() {
    if (m_engine.Recorder == this) m_engine.Recorder = nullptr;
    // The view follows the record tree, so it goes first.
    m_replay.reset();
    delete SgfTreeView;
}

void TFormControl::Translate() {
    m_ui.Translator.TranslateComponent(this, kContext);
}

void TFormControl::SetLayout(TControlLayout layout) {
    m_layout = layout;
    const bool editing = layout == TControlLayout::Editing;
    m_editBar->setVisible(editing);
    m_propertyRow->setVisible(editing);
    m_gameBar->setVisible(!editing);
    BitBtnPassen->setVisible(layout == TControlLayout::Playing);
    BitBtnSave->setEnabled(layout != TControlLayout::Playing);
    BitBtnSaveAs->setEnabled(layout != TControlLayout::Playing);
    BitBtnLoad->setEnabled(editing);
    BitBtnTakeBack->setVisible(layout == TControlLayout::Playing);
    BitBtnResign->setVisible(layout == TControlLayout::Playing);
    // The record follows the game while it runs: a click elsewhere in it would leave the game
    // detached from its record.
    const bool playing = layout == TControlLayout::Playing;
    SgfTreeView->setEnabled(!playing);
    for (QToolButton* b : {ButtonFirst, ButtonPrev, ButtonNext, ButtonLast})
        b->setEnabled(!playing);
    if (playing) m_panes->setCurrentWidget(MemoInference);
}

void TFormControl::SetAnalysisLayout(bool on) {
    ButtonAddChild->setVisible(on);
    ButtonAddAtEnd->setVisible(on);
}

void TFormControl::SetTakeBackEnabled(bool on) {
    BitBtnTakeBack->setEnabled(on);
}

void TFormControl::Refresh() {
    const TGameState& g = m_engine.Game;
    LabelComputer->setText(PointLabel(g.ComputerZugX, g.ComputerZugY));
    LabelMensch->setText(PointLabel(g.MenschZugX, g.MenschZugY));
    LabelKo->setText(PointLabel(m_engine.Fields.KoX, m_engine.Fields.KoY));
    // Beside the black stone Black's prisoners, whichever player has Black.
    LabelSGefangene->setText(QString::number(PrisonersOf(g, true)));
    LabelWGefangene->setText(QString::number(PrisonersOf(g, false)));
    UpdateMoveNumbers();
}

void TFormControl::Stop() {
    bool score = false;
    if (m_board.GetState() != bsInput && !AskStop(m_ui, this, score)) return;
    m_board.SetState(bsLocked);
    SetLayout(TControlLayout::Editing);
    if (OnStopped) OnStopped(score);
}

void TFormControl::ShowPanes() {
    m_showingPanes = true;
    QStringList lines;
    TSgfTreeItem* item = Selected();
    for (const std::string& l : m_replay->PropertyPane)
        lines << QString::fromStdString(m_tree->DecodeText(item, l));
    Memo2->setPlainText(lines.join(QLatin1Char('\n')));
    MemoComments->setPlainText(ShownComment());
    m_showingPanes = false;
    m_commentItem = item;
    ButtonMemoStore->setEnabled(false);
    ButtonMemoCancel->setEnabled(false);
}

void TFormControl::SelectionFollowed() {
    KeepTypedComment();
    TSgfTreeItem* item = Selected();
    if (m_tree->ReplayEnabled() && m_layout != TControlLayout::Playing) {
        // A replay drew the line in the record's own colours, with the move of the selected
        // node marked; a node without a move (setup, information) marks nothing.
        m_engine.Game.ComputerWeiss = false;
        TGameState& g = m_engine.Game;
        g.ComputerZugX = g.ComputerZugY = -1;
        const bool move = item != nullptr && item->IsNodeItem() &&
                          (!m_tree->GetPropertyValue(item, "B").empty() ||
                           !m_tree->GetPropertyValue(item, "W").empty());
        const TPoint last = move ? m_replay->LastMove : PassPoint;
        g.MenschZugX = last.X;
        g.MenschZugY = last.Y;
        // A variation item stands for the position where its line branches off.
        if (item != nullptr && item->Parent() != nullptr && item->Data == nullptr) {
            if (TSgfTreeItem* before = MoveBefore(item);
                before != nullptr && before->IsNodeItem()) {
                m_tree->ReplayPath(before);
                m_replay->CommentPane.clear();
                m_replay->PropertyPane.clear();
            }
        }
    }
    m_board.Redraw();
    ShowPanes();
    Refresh();
}

void TFormControl::KeepTypedComment() {
    TSgfTreeItem* item = std::exchange(m_commentItem, nullptr);
    if (item == nullptr || !ButtonMemoStore->isEnabled()) return;
    ButtonMemoStore->setEnabled(false);
    ButtonMemoCancel->setEnabled(false);
    const std::string text = MemoComments->toPlainText().toStdString();
    // The pane already shows another item's line: the store must not replay anything.
    const TSgfPropertyEvent handler = std::exchange(m_tree->OnExecProperty, nullptr);
    const bool was = m_tree->ReplayEnabled();
    m_tree->SetReplayEnabled(false);
    m_tree->SetPropertyOfItem(item, "C", m_tree->EncodeText(item, text));
    m_tree->SetReplayEnabled(was);
    m_tree->OnExecProperty = handler;
    m_modified = true;
}

void TFormControl::SetShowMoveNumbers(bool on) {
    m_showMoveNumbers = on;
    UpdateMoveNumbers();
}

void TFormControl::UpdateMoveNumbers() {
    if (!m_showMoveNumbers) {
        m_board.View()->SetMoveNumbers(std::nullopt);
        return;
    }
    m_board.View()->SetMoveNumbers(MoveNumbersTo(Selected()));
}

template <typename F>
void TFormControl::Quietly(F&& change) {
    const bool was = m_tree->ReplayEnabled();
    m_tree->SetReplayEnabled(false);
    change();
    m_tree->SetReplayEnabled(was);
    ShowPanes();
    Refresh();
}

QString TFormControl::ShownComment() const {
    return QString::fromStdString(m_tree->DecodeText(Selected(), m_replay->CommentPane))
        .replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

bool TFormControl::LoadFile(const QString& fileName) {
    m_errors->Clear();
    // The game information of the previous record must not leak into this one.
    m_engine.GameData = TGameData();
    ForgetRecordItems();
    MemoInference->clear();  // the reasoning was about another position
    std::vector<std::string> messages;
    m_parser->SetMessageReceiver(&messages);
    bool ok = true;
    try {
        m_parser->SetActive(false);
        m_parser->SetFilename(fileName.toStdString());
        m_parser->SetActive(true);
    } catch (const std::exception& e) {
        ok = false;
        m_ui.Dialogs.Message(
            this, m_ui.Tr(kContext, QStringLiteral("Die Datei kann nicht gelesen werden:")) +
                      QLatin1Char('\n') + QString::fromStdString(e.what()));
    }
    m_parser->SetMessageReceiver(nullptr);
    m_loadHadMessages = !messages.empty();
    for (const std::string& m : messages) m_errors->AddLine(QString::fromStdString(m));
    if (!m_errors->IsEmpty()) m_ui.Dialogs.Exec(m_errors);
    if (ok) {
        const std::vector<std::string> refused = m_tree->UnplayableGames(fileName.toStdString());
        QStringList lines;
        for (const std::string& l : refused) lines << QString::fromStdString(l);
        if (!lines.isEmpty())
            m_ui.Dialogs.Message(
                this, m_ui.Tr(kContext, QStringLiteral("Obrin spielt nur auf 19x19 Linien:")) +
                          QLatin1Char('\n') + lines.join(QLatin1Char('\n')));
        m_modified = false;
    }
    // The board shows the record's first node at once, in the record's own colours.
    m_engine.Game.ComputerWeiss = false;
    TSgfTreeItem* first = nullptr;
    if (!m_tree->Items().empty()) {
        TSgfTreeItem* game = m_tree->Items().front().get();
        m_tree->Expand(game);
        first = game->Children().empty() ? game : game->Children().front().get();
    }
    if (first != nullptr) {
        SelectItem(first);
    } else {
        m_replay->ClearForReplay();
        TGameState& g = m_engine.Game;
        g.ComputerZugX = g.ComputerZugY = g.MenschZugX = g.MenschZugY = -1;
        SelectionFollowed();
    }
    return ok;
}

bool TFormControl::SaveFile(const QString& fileName) {
    KeepTypedComment();
    m_commentItem = Selected();
    try {
        m_tree->SaveToFile(fileName.toStdString());
        m_modified = false;
        return true;
    } catch (const std::exception& e) {
        m_ui.Dialogs.Message(
            this, m_ui.Tr(kContext, QStringLiteral("Die Datei kann nicht geschrieben werden:")) +
                      QLatin1Char('\n') + QString::fromStdString(e.what()));
        return false;
    }
}

// A game is recorded into the selected game, or into a new game record when nothing is selected
// or the selected record is of a board size the program does not play (its moves could not be
// replayed, and the played moves would not fit it).
void TFormControl::StartRecord(TGameKind kind) {
    m_recorded.clear();
    m_marks.clear();
    // The game goes on from the node the board shows: a variation item stands for the node it
    // branches from; a game item shows no node's position, so the game gets a record of its own.
    TSgfTreeItem* at = Selected();
    if (at != nullptr && !at->IsNodeItem()) {
        TSgfTreeItem* before = at->Parent() != nullptr ? MoveBefore(at) : nullptr;
        at = before != nullptr && before->IsNodeItem() ? before : nullptr;
        Quietly([&] { m_tree->Select(at); });
    }
    if (at != nullptr && m_tree->IsPlayable(at)) return;
    Quietly([&] {
        m_tree->NewGameRecord();
        m_gameItem = m_tree->Items().empty() ? nullptr : m_tree->Items().back().get();
        if (m_gameItem != nullptr && !m_gameItem->Children().empty())
            WriteGameProperties(m_gameItem->Children().front().get(), kind);
    });
}

// What a record reader expects of a game: the komi (White's start over Black's), the handicap
// when the black stones stand on a handicap row, the players and the date. The rules are
// written with the record.
void TFormControl::WriteGameProperties(TSgfTreeItem* root, TGameKind kind) {
    const TGameState& g = m_engine.Game;
    const double komi = PrisonersOf(g, false) - PrisonersOf(g, true);
    m_tree->SetPropertyOfItem(root, "KM", QString::number(komi).toStdString());
    const int blackColour = IsDrawnBlack(g, 1) ? 1 : -1;
    if (const int n = HandicapStonesOn(m_engine.Fields.Spielfeld, blackColour); n > 0)
        m_tree->SetPropertyOfItem(root, "HA", std::to_string(n));
    const std::string obrin = "Obrin", human = "Human";
    std::string black = human, white = human;
    if (kind == TGameKind::SelfPlay) black = white = obrin;
    if (kind == TGameKind::HumanComputer) (g.ComputerWeiss ? white : black) = obrin;
    m_tree->SetPropertyOfItem(root, "PB", black);
    m_tree->SetPropertyOfItem(root, "PW", white);
    m_tree->SetPropertyOfItem(
        root, "DT", QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd")).toStdString());
}

void TFormControl::RecordMove(int x, int y, int colour) {
    m_tree->RecordMove(x, y, colour);
    if (m_tree->LastRecorded != nullptr) m_recorded.push_back(m_tree->LastRecorded);
    m_modified = true;
}

int64_t TFormControl::RecordMark() {
    m_marks.push_back({m_recorded.size(), Selected()});
    return static_cast<int64_t>(m_marks.size()) - 1;
}

void TFormControl::RewindRecord(int64_t mark) {
    if (mark < 0 || mark >= static_cast<int64_t>(m_marks.size())) return;
    const TRecordMarkState state = m_marks[static_cast<size_t>(mark)];
    m_marks.resize(static_cast<size_t>(mark));
    KeepTypedComment();
    Quietly([&] {
        while (m_recorded.size() > state.Recorded) {
            m_tree->DeleteItem(m_recorded.back());
            m_recorded.pop_back();
        }
        m_tree->Select(state.Selected);
    });
}

bool TFormControl::SetResult(const std::string& result) {
    const auto& games = m_tree->Items();
    const bool known = std::any_of(games.begin(), games.end(),
                                   [this](const auto& g) { return g.get() == m_gameItem; });
    if (!known || m_gameItem->Children().empty()) return false;
    TSgfTreeItem* root = m_gameItem->Children().front().get();
    Quietly([&] { m_tree->SetPropertyOfItem(root, "RE", result); });
    m_modified = true;
    return true;
}

void TFormControl::ForgetRecordItems() {
    m_commentItem = nullptr;
    m_gameItem = nullptr;
    m_recorded.clear();
    m_marks.clear();
}

void TFormControl::StoreComment() {
    ButtonMemoStore->setEnabled(false);
    ButtonMemoCancel->setEnabled(false);
    const QString typed = MemoComments->toPlainText();
    // Text that reads as before is no edit: the comment keeps its bytes.
    if (typed == ShownComment()) return;
    const std::string text = typed.toStdString();
    m_modified = true;
    Quietly([&] {
        m_replay->CommentPane.clear();
        TSgfTreeItem* item = Selected();
        m_tree->SetPropertyOfItem(item, "C", m_tree->EncodeText(item, text));
    });
}

void TFormControl::AddProperty() {
    const std::string identifier = EditPropertyName->text().toStdString();
    if (!IsValidIdentifier(identifier)) {
        m_ui.Dialogs.Message(
            this, m_ui.Tr(kContext,
                          QStringLiteral("Ein Bezeichner besteht nur aus Großbuchstaben (A-Z):")) +
                      QLatin1Char('\n') + EditPropertyName->text());
        return;
    }
    m_modified = true;
    Quietly([&] {
        m_replay->PropertyPane.clear();
        TSgfTreeItem* item = Selected();
        m_tree->AddPropertyToItem(
            item, identifier, m_tree->EncodeText(item, EditPropertyValue->text().toStdString()));
    });
}

void TFormControl::ClearRecord() {
    ForgetRecordItems();
    try {
        m_parser->SetActive(false);
        m_parser->SetFilename(std::string());
        m_parser->SetActive(true);
    } catch (const std::exception& e) {
        m_ui.Dialogs.Message(this, QString::fromStdString(e.what()));
    }
    m_modified = false;
    ShowPanes();
}

void TFormControl::DeleteSelected() {
    TSgfTreeItem* item = Selected();
    if (item == nullptr) return;
    // The items the game recorded may go with it; a take-back is over once the game is.
    m_commentItem = nullptr;
    m_recorded.clear();
    m_marks.clear();
    m_modified = true;
    Quietly([&] { m_tree->DeleteItem(item); });
}

void TFormControl::InsertVariant() {
    TSgfTreeItem* item = Selected();
    if (item == nullptr) return;
    m_modified = true;
    Quietly([&] {
        TSgfTreeItem* v = m_tree->InsertItemBefore(
            item, m_ui.Tr(kContext, QStringLiteral("Variante")).toStdString());
        m_tree->Select(v);
    });
}

void TFormControl::InsertNode() {
    TSgfTreeItem* item = Selected();
    if (item == nullptr) return;
    m_modified = true;
    Quietly([&] { (void)m_tree->InsertItemBefore(item, "V"); });
}

void TFormControl::AddChild() {
    TSgfTreeItem* item = Selected();
    if (item == nullptr) return;
    const int n = QRandomGenerator::global()->bounded(1000);
    m_modified = true;
    Quietly([&] { (void)m_tree->AppendChildItem(item, "Test " + std::to_string(n)); });
}

void TFormControl::AddNodeAtEnd() {
    TSgfTreeItem* item = Selected();
    if (item == nullptr) return;
    const int n = QRandomGenerator::global()->bounded(1000);
    m_modified = true;
    Quietly([&] { (void)m_tree->AppendChildItem(item->Parent(), "Test" + std::to_string(n)); });
}

void TFormControl::ShowGameInfo() {
    TFormGameData dialog(m_engine.GameData, *m_tree, m_ui, this);
    // Only "OK" changes the record; a cancelled dialog leaves the panes, and a comment being
    // typed there, as they are.
    if (m_ui.Dialogs.Exec(&dialog) == QDialog::Accepted) {
        m_modified = true;
        ShowPanes();
    }
}

void TFormControl::SelectFirst() {
    QAbstractItemModel* model = SgfTreeView->model();
    if (model == nullptr || model->rowCount() == 0) return;
    SgfTreeView->setCurrentIndex(model->index(0, 0));
}

void TFormControl::SelectLast() {
    QAbstractItemModel* model = SgfTreeView->model();
    if (model == nullptr || model->rowCount() == 0) return;
    // The last item in display order: the deepest last child among the expanded items.
    QModelIndex i = model->index(model->rowCount() - 1, 0);
    while (SgfTreeView->isExpanded(i) && model->rowCount(i) > 0)
        i = model->index(model->rowCount(i) - 1, 0, i);
    SgfTreeView->setCurrentIndex(i);
}

void TFormControl::SelectPrevious() {
    const QModelIndex current = SgfTreeView->currentIndex();
    if (!current.isValid()) return;
    const QModelIndex above = SgfTreeView->indexAbove(current);
    if (above.isValid()) SgfTreeView->setCurrentIndex(above);
}

void TFormControl::SelectNext() {
    const QModelIndex current = SgfTreeView->currentIndex();
    if (!current.isValid()) return;
    const QModelIndex below = SgfTreeView->indexBelow(current);
    if (below.isValid()) SgfTreeView->setCurrentIndex(below);
}

namespace {

// The node item before or after child among its siblings, skipping variation items: the main
// line goes on after a variation item in the same parent.
TSgfTreeItem* NodeSibling(TSgfTreeItem* item, int step) {
    TSgfTreeItem* parent = item->Parent();
    if (parent == nullptr) return nullptr;
    const auto& siblings = parent->Children();
    int i = 0;
    while (siblings[i].get() != item) ++i;
    for (i += step; i >= 0 && i < static_cast<int>(siblings.size()); i += step)
        if (siblings[i]->IsNodeItem()) return siblings[i].get();
    return nullptr;
}

TSgfTreeItem* FirstNodeChild(const TSgfTreeItem* item) {
    for (const auto& child : item->Children())
        if (child->IsNodeItem()) return child.get();
    return nullptr;
}

}  // namespace

TSgfTreeItem* TFormControl::MoveBefore(TSgfTreeItem* item) {
    // Up through the variation items to the node the line left the level at; the game item
    // (the empty board) before the first move.
    for (TSgfTreeItem* at = item; at->Parent() != nullptr; at = at->Parent()) {
        if (TSgfTreeItem* before = NodeSibling(at, -1)) return before;
        if (at->Parent()->Parent() == nullptr) return at->Parent();
    }
    return nullptr;
}

TSgfTreeItem* TFormControl::MoveAfter(TSgfTreeItem* item) {
    if (!item->IsNodeItem()) {
        // A game or variation item: its line starts with its first node.
        m_tree->Expand(item);
        return FirstNodeChild(item);
    }
    return NodeSibling(item, +1);
}

void TFormControl::StepBack() {
    TSgfTreeItem* item = Selected();
    if (item == nullptr) return;
    if (TSgfTreeItem* before = MoveBefore(item)) SelectItem(before);
}

void TFormControl::StepForward() {
    TSgfTreeItem* item = Selected();
    if (item == nullptr) return;
    if (TSgfTreeItem* after = MoveAfter(item)) SelectItem(after);
}

void TFormControl::Step(TRecordStep step) {
    TSgfTreeItem* item = Selected();
    if (m_layout == TControlLayout::Playing || item == nullptr) return;
    switch (step) {
        case TRecordStep::Back:
            StepBack();
            return;
        case TRecordStep::Forward:
            StepForward();
            return;
        case TRecordStep::First: {
            // The game's root node: its setup stones are the start of the game.
            TSgfTreeItem* game = m_tree->TopItemOf(item);
            TSgfTreeItem* root = FirstNodeChild(game);
            SelectItem(root != nullptr ? root : game);
            return;
        }
        case TRecordStep::Last: {
            // Along the line to its end, then one replay of the whole line.
            TSgfTreeItem* end = item;
            while (TSgfTreeItem* after = MoveAfter(end)) end = after;
            if (end != item) SelectItem(end);
            return;
        }
    }
}

void TFormControl::SelectItem(TSgfTreeItem* item) {
    if (QTreeWidgetItem* w = SgfTreeView->WidgetItem(item)) SgfTreeView->setCurrentItem(w);
}

void TFormControl::keyPressEvent(QKeyEvent* e) {
    // A key the comment editor passed on (the caret at its first or last line) stays there.
    QObject* from = focusWidget() == MemoComments ? MemoComments : static_cast<QObject*>(this);
    if (!StepKey(from, e)) QWidget::keyPressEvent(e);
}

bool TFormControl::StepKey(QObject* watched, QKeyEvent* key) {
    if (key->key() != Qt::Key_Up && key->key() != Qt::Key_Down) return false;
    const Qt::KeyboardModifiers modifiers = key->modifiers() & ~Qt::KeypadModifier;
    const bool alt = modifiers == Qt::AltModifier;
    if (!alt && (modifiers != Qt::NoModifier || watched == MemoComments)) return false;
    if (!alt && watched == SgfTreeView) return false;  // the tree steps by itself
    SgfTreeView->setFocus();
    key->key() == Qt::Key_Up ? SelectPrevious() : SelectNext();
    return true;
}

bool TFormControl::eventFilter(QObject* watched, QEvent* e) {
    if (e->type() != QEvent::KeyPress) return QWidget::eventFilter(watched, e);
    auto* key = static_cast<QKeyEvent*>(e);
    if (StepKey(watched, key)) return true;
    if (watched != SgfTreeView) return QWidget::eventFilter(watched, e);
    const QModelIndex current = SgfTreeView->currentIndex();
    switch (key->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if (current.isValid())
                SgfTreeView->setExpanded(current, !SgfTreeView->isExpanded(current));
            return true;
        case Qt::Key_Left:
            StepBack();
            return true;
        case Qt::Key_Right:
            StepForward();
            return true;
        case Qt::Key_Home:
            SelectFirst();
            return true;
        case Qt::Key_End:
            SelectLast();
            return true;
        default:
            return QWidget::eventFilter(watched, e);
    }
}

}  // namespace obrin::gui
