#include "ui/FormGoMain.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDialogButtonBox>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QFontDatabase>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>
#include <QStandardPaths>
#include <QTimer>
#include <QVBoxLayout>
#include <iostream>
#include <utility>

#include "analysis/FormFeldanzeige.h"
#include "analysis/FormGebiet.h"
#include "analysis/FormKlassifizierung.h"
#include "board/board.h"
#include "game/FormScore.h"
#include "game/gameflow.h"
#include "goals/FormBrowser.h"
#include "game/analyse.h"
#include "records/sgfdata.h"
#include "tactics/FormBruteForce.h"
#include "ui/FormAbout.h"
#include "ui/FormAddLanguage.h"
#include "ui/FormBoard.h"
#include "ui/FormControl.h"
#include "ui/FormParameter.h"
#include "ui/FormRandomMoves.h"
#include "settings/textlines.h"

namespace obrin::gui {

namespace {
const QString kContext = QStringLiteral("Main");
}

QString VersionText() {
    QStringList parts = QStringLiteral(OBRIN_VERSION).split(QLatin1Char('.'));
    while (parts.size() < 4) parts << QStringLiteral("0");
    return parts.mid(0, 4).join(QLatin1Char('.'));
}

QStringList& TFormGoMain::ShutdownProblems() {
    static QStringList problems;
    return problems;
}

TFormGoMain::TFormGoMain(TUi& ui, TUserInterface& userInterface, const QStringList& args,
                         QWidget* parent)
    : QMainWindow(parent), m_ui(ui), m_host(ui), m_userInterface(userInterface) {
    setObjectName(QStringLiteral("FormGoMain"));
    MarkUntranslated(this);  // the caption is built by UpdateCaption
    BuildMenus();
    // The analysis tools are reachable only with the switch "/qx".
    m_internaAllowed = !args.isEmpty() && args.first() == QStringLiteral("/qx");
    m_interna->menuAction()->setVisible(m_internaAllowed);
    m_interna->menuAction()->setEnabled(m_internaAllowed);

    // The engine, in its fixed order: the fields and their container, the element pool. It
    // translates through the table of the user-interface object, which exists already.
    m_engine = std::make_unique<TEngine>(m_host);
    m_userInterface.Attach(*m_engine);
    m_ui.Translator.SetFunction([this](const std::string& context, const std::string& word) {
        return m_userInterface.Translate(context, word);
    });
    const TStartupSettings startup = ReadStartupSettings(m_userInterface.Locations());
    LangSup().SetLanguage(startup.Sprache);
    m_engine->Settings.Sprache = startup.Sprache;
    m_engine->Settings.Partien = startup.Partien;
    try {
        m_userInterface.ReadSettings();
    } catch (const std::exception& e) {
        std::cerr << "obrin: " << e.what() << '\n';  // the defaults stand
    }

    setAcceptDrops(true);  // a record dropped anywhere on the window is opened
    m_area = new QMdiArea(this);
    m_area->setBackground(QColor(0x52, 0x56, 0x5A));
    setCentralWidget(m_area);
    m_board = new TFormBoard(*m_engine, m_ui);
    m_control = new TFormControl(*m_engine, m_ui, *m_board);
    m_controlWindow = AddToolWindow(m_control);
    m_boardWindow = AddToolWindow(m_board);
    m_area->viewport()->installEventFilter(this);
    m_boardPosition = ReadWindowPosition(m_userInterface.Locations(), FormBoardWindow);
    m_controlPosition = ReadWindowPosition(m_userInterface.Locations(), FormCursorWindow);
    m_host.Attach(this, m_board, m_control);
    m_board->OnPassEnabled = [this](bool on) {
        m_control->BitBtnPassen->setEnabled(on);
        m_control->BitBtnResign->setEnabled(on);
    };
    m_board->OnClassify = [this](TPoint p) { PointChosen(p); };
    m_board->OnRecordStep = [this](TRecordStep step) { m_control->Step(step); };
    m_board->OnScoreClick = [this](TPoint p) { return m_score != nullptr && m_score->ToggleAt(p); };
    m_board->GroupStatus = [this](TPoint p) { return AnalysedGroupStatus(p); };
    m_control->SetAnalysisLayout(m_internaAllowed);
    m_control->OnLoad = [this] { LoadGame(); };
    m_control->OnClearAsked = [this] {
        if (!ConfirmDiscard()) return false;
        m_currentFile.clear();
        m_askBeforeOverwrite = false;
        return true;
    };
    m_control->OnSave = [this] { SaveGame(); };
    m_control->OnSaveAs = [this] { SaveGameAs(); };
    // "Stellung bewerten" in the stop question: the score once the game loop has returned.
    m_control->OnStopped = [this](bool score) {
        if (score) QTimer::singleShot(0, this, [this] { ShowScore(); });
    };
    m_scorePosition = ReadWindowPosition(m_userInterface.Locations(), FormScoreWindow);
    ApplySettings();
    FillRecentMenu();

    UpdateCaption();
    m_ui.Translator.TranslateComponent(this, kContext);
    resize(1100, 760);
}

TFormGoMain::~TFormGoMain() {
    // The windows go before the engine they show (the control window frees the record); then
    // the engine objects in reverse order. Whatever was not given back is reported.
    m_host.Attach(nullptr, nullptr, nullptr);
    // The tool windows still send events to the filter while the area destroys them: the
    // pointers are cleared first, so the filter never looks into a half-destroyed area.
    QMdiArea* area = std::exchange(m_area, nullptr);
    m_feldanzeige = nullptr;
    m_klassi = nullptr;
    m_gebiet = nullptr;
    m_bruteForce = nullptr;
    m_score = nullptr;
    area->viewport()->removeEventFilter(this);
    delete area;  // with it the tool windows
    try {
        if (SaveSettingsOnExit)
            WritePartien(m_userInterface.Locations(), m_engine->Settings.Partien);
    } catch (const std::exception& e) {
        std::cerr << "obrin: " << e.what() << '\n';
    }
    m_ui.Translator.SetFunction(nullptr);
    auto check = [](const auto& test) {
        try {
            test();
        } catch (const std::exception& e) {
            std::cerr << "obrin: " << e.what() << '\n';
            ShutdownProblems() << QString::fromStdString(e.what());
        }
    };
    // Only networks a training dialog changed in this run are written (never an untrained one).
    if (SaveSettingsOnExit) check([this] { m_engine->SaveNetworks(); });
    check([this] { m_engine->Shutdown(); });
    check([] { CheckSgfCounters(); });
    m_userInterface.Detach();
    m_engine.reset();
}

QMdiSubWindow* TFormGoMain::AddToolWindow(QWidget* w) {
    QMdiSubWindow* sub = m_area->addSubWindow(w, Qt::SubWindow | Qt::WindowTitleHint);
    sub->setWindowIcon(QIcon());
    sub->setOption(QMdiSubWindow::RubberBandResize, false);
    return sub;
}

void TFormGoMain::BuildMenus() {
    QMenuBar* bar = menuBar();
    QMenu* file = bar->addMenu(QStringLiteral("&Datei"));
    file->addAction(QStringLiteral("Partie &laden"), QKeySequence::Open, this,
                    [this] { LoadGame(); });
    m_saveAction = file->addAction(QStringLiteral("Partie &speichern"), QKeySequence::Save, this,
                                   &TFormGoMain::SaveGame);
    m_saveAsAction =
        file->addAction(QStringLiteral("Partie speichern &als"), this, [this] { SaveGameAs(); });
    m_recentMenu = file->addMenu(QStringLiteral("&Zuletzt geöffnet"));
    file->addSeparator();
    file->addAction(QStringLiteral("&Parameter"), this, &TFormGoMain::ParameterCommand);
    file->addSeparator();
    file->addAction(QStringLiteral("Programm be&enden"), this, &QWidget::close);

    QMenu* play = bar->addMenu(QStringLiteral("&Spielen"));
    play->addAction(QStringLiteral("Mensch gegen &Computer"), this,
                    &TFormGoMain::PlayHumanComputer);
    play->addAction(QStringLiteral("Mensch gegen &Mensch"), this, &TFormGoMain::PlayHumanHuman);
    play->addAction(QStringLiteral("Computer gegen sich &selbst"), this, &TFormGoMain::PlaySelf);
    // Taking back works while a game runs, when the game menus are off: the action lives on the
    // window, not in a menu.
    m_takeBackAction = new QAction(this);
    m_takeBackAction->setShortcut(QKeySequence::Undo);
    m_takeBackAction->setShortcutContext(Qt::ApplicationShortcut);
    connect(m_takeBackAction, &QAction::triggered, this, [this] {
        if (m_control->BitBtnTakeBack->isEnabled() && m_control->BitBtnTakeBack->isVisible())
            m_control->BitBtnTakeBack->click();
    });
    addAction(m_takeBackAction);

    QMenu* view = bar->addMenu(QStringLiteral("&Ansicht"));
    m_moveNumbersAction = view->addAction(QStringLiteral("&Zugnummern"));
    m_moveNumbersAction->setCheckable(true);
    connect(m_moveNumbersAction, &QAction::toggled, this,
            [this](bool on) { m_control->SetShowMoveNumbers(on); });

    QMenu* position = bar->addMenu(QStringLiteral("S&tellung"));
    position->addAction(QStringLiteral("Stellung &eingeben"), this,
                        &TFormGoMain::EnterPositionMode);
    position->addAction(QStringLiteral("Spielfeld &leeren"), this, &TFormGoMain::ClearBoardCommand);
    position->addAction(QStringLiteral("&Rotation um 90 Grad"), this, &TFormGoMain::RotateCommand);
    position->addAction(QStringLiteral("Stellung &tauschen"), this, &TFormGoMain::SwapCommand);
    position->addAction(QStringLiteral("&Zufallszuege"), this, &TFormGoMain::RandomMovesCommand);
    position->addAction(QStringLiteral("Be&werten"), this, [this] { ShowScore(); });
    QMenu* handicap = position->addMenu(QStringLiteral("&Vorgabe"));
    const char* const kFew[] = {"&Zwei",  "&Drei",   "&Vier", "&Fünf",
                                "&Sechs", "S&ieben", "&Acht", "&Neun"};
    for (int n = 2; n <= 9; ++n)
        handicap->addAction(QString::fromUtf8(kFew[n - 2]), this,
                            [this, n] { HandicapCommand(n); });
    QMenu* many = handicap->addMenu(QStringLiteral("Viel&e"));
    const std::pair<const char*, int> kMany[] = {
        {"&Sechzehn", 16}, {"S&iebzehn", 17}, {"&Neunzehn", 19}, {"&Einundzwanzig", 21}};
    for (const auto& [text, n] : kMany)
        many->addAction(QString::fromUtf8(text), this, [this, n = n] { HandicapCommand(n); });

    QMenu* windows = bar->addMenu(QStringLiteral("&Fenster"));
    windows->addAction(QStringLiteral("&Spielfeld"), this, [this] {
        m_boardWindow->show();
        m_area->setActiveSubWindow(m_boardWindow);
    });
    windows->addAction(QStringLiteral("S&teuerung"), this, [this] {
        m_controlWindow->show();
        m_area->setActiveSubWindow(m_controlWindow);
    });

    m_interna = bar->addMenu(QStringLiteral("I&nterna"));
    m_interna->addAction(QStringLiteral("Feld-&Inspektor"), this, [this] { ShowFieldDisplay(); });
    m_interna->addAction(QStringLiteral("Punkte &klassifizieren"), this,
                         [this] { ShowClassification(); });
    m_interna->addAction(QStringLiteral("&Gebietsbewertung"), this, [this] { ShowTerritory(); });
    m_interna->addAction(QStringLiteral("&Brute Force"), this, [this] { ShowBruteForce(); });
    m_interna->addAction(QStringLiteral("&Ziel-Browser"), this, &TFormGoMain::ShowGoalBrowser);
    QMenu* info = bar->addMenu(QStringLiteral("&Information"));
    auto box = [this](TInfoBox kind) {
        TFormInfo dialog(kind, m_ui, this);
        m_ui.Dialogs.Exec(&dialog);
    };
    info->addAction(QStringLiteral("&Historie"), this, [box] { box(TInfoBox::History); });
    info->addAction(QStringLiteral("&Links"), this, [box] { box(TInfoBox::Links); });
    info->addAction(QStringLiteral("Über &Obrin"), this, [box] { box(TInfoBox::About); });
    info->addSeparator();
    info->addAction(QStringLiteral("&Sprache hinzufügen"), this, &TFormGoMain::AddLanguageCommand);
    m_gameMenus = {play, position};
}

void TFormGoMain::UpdateCaption() {
    setWindowTitle(
        m_ui.Tr(kContext, QStringLiteral("Obrin – Go-Programm, Version %1")).arg(VersionText()));
}

void TFormGoMain::TranslateAll() {
    m_ui.Translator.TranslateComponent(this, kContext);
    UpdateCaption();
    m_board->Translate();
    m_control->Translate();
    if (m_feldanzeige != nullptr) m_feldanzeige->Translate();
    if (m_klassi != nullptr) m_klassi->Translate();
    if (m_gebiet != nullptr) m_gebiet->Translate();
    if (m_bruteForce != nullptr) m_bruteForce->Translate();
    if (m_score != nullptr) m_score->Translate();
}

void TFormGoMain::showEvent(QShowEvent* e) {
    QMainWindow::showEvent(e);
    if (!m_arranged) QTimer::singleShot(0, this, &TFormGoMain::ArrangeWindows);
}

bool TFormGoMain::eventFilter(QObject* watched, QEvent* e) {
    if (e->type() == QEvent::Hide &&
        (watched == m_klassi || watched == m_gebiet || watched == m_bruteForce))
        QTimer::singleShot(0, this, &TFormGoMain::ToolClosed);
    // Maximised or restored: the board grows or shrinks with the frame.
    if (m_area != nullptr && watched == m_area->viewport() && e->type() == QEvent::Resize &&
        m_arranged)
        ArrangeWindows();
    return QMainWindow::eventFilter(watched, e);
}

void TFormGoMain::ArrangeWindows() {
    constexpr int kMargin = 6;
    constexpr int kMinBoard = 300;
    constexpr int kMinControl = 330;
    constexpr int kMaxControl = 720;
    const QSize area = m_area->viewport()->size();
    // Where the windows stand: the settings' places the first time, the user's later. A place
    // off the area (a nonsense value, a smaller screen) is pulled back into it.
    const QPoint boardAt =
        m_arranged ? m_boardWindow->pos() : QPoint(m_boardPosition.Left, m_boardPosition.Top);
    const QPoint controlAt =
        m_arranged ? m_controlWindow->pos() : QPoint(m_controlPosition.Left, m_controlPosition.Top);
    m_arranged = true;
    const int left = std::clamp(boardAt.x(), 0, std::max(0, area.width() / 3));
    const int top = std::clamp(boardAt.y(), 0, std::max(0, area.height() / 3));
    const int height = std::max(kMinBoard, area.height() - top - kMargin);
    // The board window is the board and its status line: as wide as it is high without them.
    const int frame = m_boardWindow->height() - m_board->View()->height();
    const int statusAndTitle = std::clamp(frame, 24, 80);
    const int boardWidth = std::max(
        kMinBoard,
        std::min(height - statusAndTitle, area.width() - left - kMinControl - 2 * kMargin));
    m_boardWindow->setGeometry(left, top, boardWidth, height);
    // Where the user left it, unless the board now covers that place.
    const int besideBoard = left + boardWidth + kMargin;
    const int controlLeft = std::clamp(controlAt.x(), besideBoard,
                                       std::max(besideBoard, area.width() - kMinControl - kMargin));
    const int controlTop = std::clamp(controlAt.y(), 0, std::max(0, area.height() / 3));
    const int controlWidth =
        std::clamp(area.width() - controlLeft - kMargin, kMinControl, kMaxControl);
    m_controlWindow->setGeometry(controlLeft, controlTop, controlWidth,
                                 std::max(kMinBoard, area.height() - controlTop - kMargin));
    m_boardWindow->show();
    m_controlWindow->show();
}

template <typename F>
void TFormGoMain::RunGame(F&& game) {
    if (m_inCommand) return;
    m_inCommand = true;
    game();
    m_inCommand = false;
    m_control->Refresh();
    if (m_closeAfterGame) {
        QTimer::singleShot(0, this, &QWidget::close);
    } else if (m_pendingLoad) {
        const QString file = *std::exchange(m_pendingLoad, std::nullopt);
        QTimer::singleShot(0, this, [this, file] { LoadGame(file); });
    }
}

void TFormGoMain::SetPlaying(bool playing) {
    m_gameRunning = playing;
    // A count left open from before would show its position over the game's.
    if (playing && m_score != nullptr && m_score->isVisible()) CloseWindow(m_score);
    m_control->SetLayout(playing ? TControlLayout::Playing : TControlLayout::Editing);
    for (QMenu* m : m_gameMenus) m->setEnabled(!playing);
    // The tools would take the board's clicks away from the game.
    m_interna->menuAction()->setEnabled(m_internaAllowed && !playing);
    m_saveAction->setEnabled(!playing);
    m_saveAsAction->setEnabled(!playing);
}

void TFormGoMain::ApplySettings() {
    m_board->SetBoardColour(BoardColourOf(m_engine->Settings.Farbe));
    const QString font = QString::fromStdString(m_engine->Settings.Font);
    if (QFontDatabase::families().contains(font)) QApplication::setFont(QFont(font));
}

void TFormGoMain::SetLanguage(const std::string& language) {
    LangSup().SetLanguage(language);
    m_engine->Settings.Sprache = language;
    TranslateAll();
}

namespace {

// Game records that are read through another format: saving SGF into them would lose the game
// at the next load, so they are saved under a new name.
bool IsOwnFormat(const QString& file) {
    const QString suffix = QFileInfo(file).suffix().toLower();
    return suffix == QStringLiteral("obr") || suffix == QStringLiteral("stl");
}

bool IsRecordFile(const QString& file) {
    static const QStringList kSuffixes{QStringLiteral("sgf"), QStringLiteral("mgt"),
                                       QStringLiteral("obr"), QStringLiteral("stl")};
    return kSuffixes.contains(QFileInfo(file).suffix().toLower());
}

}  // namespace

QString TFormGoMain::GamesFolder() const {
    const QString folder = QString::fromStdString(m_engine->Settings.Partien);
    if (!folder.isEmpty() && QFileInfo(folder).isDir()) return folder;
    // A first start: the default folder does not exist, and nothing is created unasked.
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return QFileInfo(documents).isDir() ? documents : QDir::homePath();
}

void TFormGoMain::RememberGamesFolder(const QString& file) {
    m_engine->Settings.Partien =
        Utf8Prefix(QFileInfo(file).absolutePath().toStdString(), MaxSettingsPathChars);
}

void BuildSaveChangesDialog(QDialog& box, TUi& ui) {
    box.setObjectName(QStringLiteral("FormSaveChanges"));
    box.setWindowTitle(QStringLiteral("Obrin"));
    MarkUntranslated(&box);
    auto* layout = new QVBoxLayout(&box);
    layout->addWidget(new QLabel(QStringLiteral("Änderungen speichern?"), &box));
    auto* buttons = new QDialogButtonBox(&box);
    QPushButton* save =
        buttons->addButton(QStringLiteral("&Speichern"), QDialogButtonBox::AcceptRole);
    QPushButton* discard =
        buttons->addButton(QStringLiteral("&Verwerfen"), QDialogButtonBox::DestructiveRole);
    buttons->addButton(QStringLiteral("&Abbrechen"), QDialogButtonBox::RejectRole);
    save->setDefault(true);
    layout->addWidget(buttons);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &box, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &box, &QDialog::reject);
    QObject::connect(discard, &QPushButton::clicked, &box,
                     [&box] { box.done(SaveChangesDiscard); });
    ui.Translator.TranslateComponent(&box, kContext);
}

bool TFormGoMain::ConfirmDiscard() {
    if (!m_control->Modified()) return true;
    QDialog box(this);
    BuildSaveChangesDialog(box, m_ui);
    const int answer = m_ui.Dialogs.Exec(&box);
    if (answer == SaveChangesDiscard) return true;
    if (answer != QDialog::Accepted) return false;
    SaveGame();
    return !m_control->Modified();
}

bool TFormGoMain::StopGameForLoad(const QString& fileName) {
    if (!m_inCommand) return false;
    if (m_gameRunning && !m_ui.Ask(this, QStringLiteral("End_Program"),
                                   QStringLiteral("Soll die Partie beendet werden ?")))
        return true;
    // The game loop ends at its next look at the board; the load follows once it has returned.
    m_pendingLoad = fileName;
    m_board->SetState(bsLocked);
    return true;
}

void TFormGoMain::LoadGame(QString fileName) {
    if (StopGameForLoad(fileName)) return;
    if (!ConfirmDiscard()) return;
    if (fileName.isEmpty()) {
        const QString filters =
            QStringList{
                m_ui.Tr(kContext, QStringLiteral("Go-Partien (*.sgf *.mgt *.obr *.stl)")),
                m_ui.Tr(kContext, QStringLiteral("SGF-Dateien (*.sgf);;MGT-Dateien (*.mgt)")),
                m_ui.Tr(kContext, QStringLiteral("Obrin-Partien (*.obr)")),
                m_ui.Tr(kContext, QStringLiteral("Obrin-Stellungen (*.stl)")),
                m_ui.Tr(kContext, QStringLiteral("Alle Dateien (*)"))}
                .join(QStringLiteral(";;"));
        fileName = m_ui.Dialogs.OpenFileName(
            this, m_ui.Tr(kContext, QStringLiteral("Partie laden")), GamesFolder(), filters);
        if (fileName.isEmpty()) return;
    }
    // A file that could not be read does not become the file that Ctrl+S writes.
    if (!m_control->LoadFile(fileName)) return;
    m_currentFile = fileName;
    m_askBeforeOverwrite = m_control->LoadHadMessages();
    RememberGamesFolder(fileName);
    RememberRecentFile(fileName);
}

void TFormGoMain::RememberRecentFile(const QString& file) {
    if (!SaveSettingsOnExit) return;  // the offscreen tools leave the settings alone
    try {
        const TFileLocations& where = m_userInterface.Locations();
        WriteRecentFiles(where, WithRecentFile(ReadRecentFiles(where),
                                               QFileInfo(file).absoluteFilePath().toStdString()));
    } catch (const std::exception& e) {
        std::cerr << "obrin: " << e.what() << '\n';
    }
    FillRecentMenu();
}

void TFormGoMain::FillRecentMenu() {
    m_recentMenu->clear();
    std::vector<std::string> files;
    try {
        files = ReadRecentFiles(m_userInterface.Locations());
    } catch (const std::exception& e) {
        std::cerr << "obrin: " << e.what() << '\n';
    }
    int n = 0;
    for (const std::string& f : files) {
        const QString file = QString::fromStdString(f);
        QAction* a = m_recentMenu->addAction(QStringLiteral("&%1 %2").arg(++n).arg(file), this,
                                             [this, file] { LoadGame(file); });
        MarkUntranslated(a);
    }
    m_recentMenu->setEnabled(!files.empty());
}

void TFormGoMain::SaveGame() {
    // A new game has no name yet; a file whose folder went away needs a new one.
    if (m_currentFile.isEmpty() || !QFileInfo(m_currentFile).absoluteDir().exists()) {
        SaveGameAs();
        return;
    }
    if (IsOwnFormat(m_currentFile)) {
        const QFileInfo info(m_currentFile);
        const QString proposed =
            info.dir().filePath(info.completeBaseName() + QStringLiteral(".sgf"));
        const QString fileName = m_ui.Dialogs.SaveFileName(
            this, m_ui.Tr(kContext, QStringLiteral("Partie speichern als")), proposed, QString());
        if (!fileName.isEmpty() && !IsOwnFormat(fileName)) SaveGameAs(fileName);
        return;
    }
    if (m_askBeforeOverwrite &&
        !m_ui.Ask(this, kContext,
                  QStringLiteral("Die Datei enthielt Fehler; nicht alles wurde gelesen. "
                                 "Trotzdem überschreiben?")))
        return;
    if (m_control->SaveFile(m_currentFile)) m_askBeforeOverwrite = false;
}

void TFormGoMain::SaveGameAs(QString fileName) {
    if (fileName.isEmpty()) {
        fileName = m_ui.Dialogs.SaveFileName(
            this, m_ui.Tr(kContext, QStringLiteral("Partie speichern als")), GamesFolder(),
            m_ui.Tr(kContext, QStringLiteral("SGF-Dateien (*.sgf)")));
        if (fileName.isEmpty()) return;
    }
    if (!m_control->SaveFile(fileName)) return;
    // From now on Save writes this file; a record read through another format keeps its name
    // only when it was saved as SGF under it.
    m_currentFile = fileName;
    m_askBeforeOverwrite = false;
    RememberGamesFolder(fileName);
}

void TFormGoMain::dragEnterEvent(QDragEnterEvent* e) {
    const QList<QUrl> urls = e->mimeData()->urls();
    if (urls.size() == 1 && urls[0].isLocalFile() && IsRecordFile(urls[0].toLocalFile()))
        e->acceptProposedAction();
}

void TFormGoMain::dropEvent(QDropEvent* e) {
    const QList<QUrl> urls = e->mimeData()->urls();
    if (urls.size() != 1 || !urls[0].isLocalFile()) return;
    e->acceptProposedAction();
    const QString file = urls[0].toLocalFile();
    // Loading may show dialogs; the drop itself has ended by then.
    QTimer::singleShot(0, this, [this, file] { LoadGame(file); });
}

void TFormGoMain::ParameterCommand() {
    TFormParameter dialog(m_ui, m_engine->Settings, this);
    dialog.ReadFile = [this] { m_userInterface.ReadSettings(); };
    dialog.WriteFile = [this] {
        try {
            m_userInterface.WriteSettings();
        } catch (const std::exception& e) {
            m_ui.Dialogs.Message(this, QString::fromStdString(e.what()));
        }
    };
    dialog.ListLanguages = [this] {
        std::vector<std::string> languages;
        LangSup().ListLanguages(languages);
        return languages;
    };
    dialog.SetLanguage = [this](const std::string& language) { SetLanguage(language); };
    m_ui.Dialogs.Exec(&dialog);
    ApplySettings();
    SetLanguage(m_engine->Settings.Sprache);
    m_board->Redraw();
    m_control->Refresh();
}

void TFormGoMain::AddLanguageCommand() {
    TFormAddLanguage dialog(LangSup(), m_ui, this);
    m_ui.Dialogs.Exec(&dialog);
}

void TFormGoMain::SaveWindowPositions() {
    const TFileLocations& where = m_userInterface.Locations();
    try {
        WriteWindowPosition(where, FormBoardWindow, {m_boardWindow->x(), m_boardWindow->y()});
        WriteWindowPosition(where, FormCursorWindow, {m_controlWindow->x(), m_controlWindow->y()});
        if (QMdiSubWindow* sub = WindowOf(m_score)) m_scorePosition = {sub->x(), sub->y()};
        WriteWindowPosition(where, FormScoreWindow, m_scorePosition);
    } catch (const std::exception& e) {
        std::cerr << "obrin: " << e.what() << '\n';
    }
}

void TFormGoMain::PlayHumanComputer() {
    m_board->SetState(bsMenschComputer);
    RunGame([this] { PlayHumanVsComputer(*m_engine); });
}

void TFormGoMain::PlaySelf() {
    m_board->SetState(bsMenschComputer, "Computer gegen sich selbst");
    RunGame([this] { PlaySelfPlay(*m_engine); });
    m_engine->Game.SideToMove = 1;
}

void TFormGoMain::PlayHumanHuman() {
    m_board->SetState(bsMenschMensch);
    RunGame([this] { PlayHumanVsHuman(*m_engine); });
    m_engine->Game.SideToMove = 1;
}

void TFormGoMain::EnterPositionMode() {
    // The left button places Black, the right White: +1 is drawn black while entering.
    SetColourSwap(*m_engine, false);
    m_board->Redraw();
    m_control->SetLayout(TControlLayout::Input);
    m_board->SetState(bsInput);
}

void TFormGoMain::ClearBoardCommand() {
    if (!ConfirmDiscard()) return;
    // A new record too: the next game must not go on inside the old one.
    m_control->ClearRecord();
    m_currentFile.clear();
    m_askBeforeOverwrite = false;
    ClearPosition(*m_engine);
    TGameState& g = m_engine->Game;
    g.ComputerWeiss = false;
    g.ComputerZugX = g.ComputerZugY = g.MenschZugX = g.MenschZugY = -1;
    m_engine->Fields.KoX = m_engine->Fields.KoY = -1;
    m_control->Refresh();
    m_board->Redraw();
}

void TFormGoMain::RotateCommand() {
    RotateBoard(m_engine->Fields.Spielfeld);
    // The marks and the ko point named points of the old orientation.
    TGameState& g = m_engine->Game;
    g.ComputerZugX = g.ComputerZugY = g.MenschZugX = g.MenschZugY = -1;
    m_engine->Fields.KoX = m_engine->Fields.KoY = -1;
    m_control->Refresh();
    m_board->Redraw();
}

void TFormGoMain::SwapCommand() {
    NegateBoard(m_engine->Fields.Spielfeld);
    m_board->Redraw();
}

void TFormGoMain::RandomMovesCommand() {
    TFormRandomMoves dialog(m_ui, this);
    if (m_ui.Dialogs.Exec(&dialog) != QDialog::Accepted) return;
    RandomMoves(*m_engine, dialog.Options());
    m_control->Refresh();
}

void TFormGoMain::HandicapCommand(int stones) {
    if (!ConfirmDiscard()) return;
    RunGame([this, stones] { PlaceHandicap(*m_engine, stones); });
    // The stones stand: a new game begins, in a record of its own.
    if (HandicapStonesOn(m_engine->Fields.Spielfeld, 1) != stones) return;
    m_control->ClearRecord();
    m_currentFile.clear();
    m_askBeforeOverwrite = false;
    TGameState& g = m_engine->Game;
    g.ComputerZugX = g.ComputerZugY = g.MenschZugX = g.MenschZugY = -1;
    m_control->Refresh();
    m_board->Redraw();
}

QMdiSubWindow* TFormGoMain::WindowOf(QWidget* tool) const {
    for (QMdiSubWindow* sub : m_area->subWindowList())
        if (sub->widget() == tool) return sub;
    return nullptr;
}

void TFormGoMain::ShowAnalysisWindow(QWidget* w) {
    QMdiSubWindow* sub = WindowOf(w);
    if (sub == nullptr) {
        sub = m_area->addSubWindow(w, Qt::SubWindow | Qt::WindowTitleHint |
                                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
        sub->setAttribute(Qt::WA_DeleteOnClose, false);
        sub->setWindowIcon(QIcon());
        w->installEventFilter(this);
        sub->adjustSize();
        // Beside the board, over the game-control window, a little down for each tool.
        const int tools = static_cast<int>(m_area->subWindowList().size()) - 2;
        const QPoint at = m_controlWindow->pos() + QPoint(12, 12) * std::max(0, tools - 1);
        sub->move(std::clamp(at.x(), 0, std::max(0, m_area->width() - sub->width())),
                  std::clamp(at.y(), 0, std::max(0, m_area->height() - sub->height())));
    }
    w->show();
    sub->show();
    m_area->setActiveSubWindow(sub);
}

void TFormGoMain::AnalyseIfChanged() {
    if (m_engine->Territory.EvaluatedFor(m_engine->Fields.Spielfeld)) return;
    m_host.SetBusy(true);
    Analyse(*m_engine, TAnalysisStage::All);
    m_host.SetBusy(false);
}

TFormFeldanzeige& TFormGoMain::ShowFieldDisplay() {
    if (m_feldanzeige == nullptr) {
        m_feldanzeige = new TFormFeldanzeige(*m_engine, m_ui, *m_board->View());
        m_feldanzeige->Analyse = [this] { AnalyseIfChanged(); };
    }
    AnalyseIfChanged();
    m_feldanzeige->Refresh();
    ShowAnalysisWindow(m_feldanzeige);
    return *m_feldanzeige;
}

TFormKlassifizierung& TFormGoMain::ShowClassification() {
    if (m_klassi == nullptr)
        m_klassi = new TFormKlassifizierung(*m_engine, m_ui, m_host, *m_board->View());
    AnalyseIfChanged();
    m_board->SetState(bsClassify);
    ShowAnalysisWindow(m_klassi);
    return *m_klassi;
}

TFormGebiet& TFormGoMain::ShowTerritory() {
    if (m_gebiet == nullptr) {
        m_gebiet = new TFormGebiet(*m_engine, m_ui, m_host, *m_board->View());
        m_gebiet->Analyse = [this] { AnalyseIfChanged(); };
    }
    AnalyseIfChanged();
    m_board->SetState(bsClassify);
    ShowAnalysisWindow(m_gebiet);
    return *m_gebiet;
}

TFormBruteForce& TFormGoMain::ShowBruteForce() {
    if (m_bruteForce == nullptr) {
        m_bruteForce = new TFormBruteForce(*m_engine, m_ui, m_host, *m_board);
        // While it reads, nothing may start a game or change the position under it.
        m_bruteForce->OnReading = [this](bool on) {
            for (QMenu* m : m_gameMenus) m->setEnabled(!on);
        };
    }
    m_board->SetState(bsClassify);
    ShowAnalysisWindow(m_bruteForce);
    return *m_bruteForce;
}

void TFormGoMain::ShowGoalBrowser() {
    TFormBrowser browser(m_ui, this);
    browser.Manager = m_engine->RuleManager.get();
    m_ui.Dialogs.Exec(&browser);
}

std::optional<int> TFormGoMain::AnalysedGroupStatus(TPoint point) const {
    const TGoGraph& graph = *m_engine->Graph;
    if (!OnBoard(point.X, point.Y) || !graph.BuiltFor(m_engine->Fields.Spielfeld))
        return std::nullopt;
    const TGoGroup* group = graph.GroupAtPoint(PointIndex(point.X, point.Y));
    if (group == nullptr) return std::nullopt;
    return group->Status;
}

void TFormGoMain::GameEnded(const TGameEnd& end) {
    if (!end.Resigned) {
        ShowScore(end.Finished);
        return;
    }
    m_control->SetResult(end.Result);
    m_ui.Message(this, kContext,
                 end.Result.front() == 'B' ? QStringLiteral("Schwarz gewinnt durch Aufgabe.")
                                           : QStringLiteral("Weiß gewinnt durch Aufgabe."));
}

TFormScore& TFormGoMain::ShowScore(bool endOfGame) {
    m_scoreEndsGame = endOfGame;
    const bool first = m_score == nullptr;
    if (first) {
        m_score = new TFormScore(*m_engine, m_ui, m_host, *m_board->View());
        m_score->OnAccepted = [this] {
            if (std::exchange(m_scoreEndsGame, false)) m_control->SetResult(m_score->Result());
        };
    }
    if (m_score->isVisible()) {
        m_score->Evaluate();  // shown already: no show event, so count here
    }
    ShowAnalysisWindow(m_score);
    // Where the user left it last time; at first beside the board like the other tools (the
    // default place of the settings lies over a board arranged to fill the height).
    if (first && m_scorePosition != FormScoreWindow.Default) {
        QMdiSubWindow* sub = WindowOf(m_score);
        sub->move(
            std::clamp(m_scorePosition.Left, 0, std::max(0, m_area->width() - sub->width())),
            std::clamp(m_scorePosition.Top, 0, std::max(0, m_area->height() - sub->height())));
    }
    return *m_score;
}

void TFormGoMain::PointChosen(TPoint point) {
    if (m_klassi != nullptr && m_klassi->isVisible()) m_klassi->PointChosen(point);
    if (m_gebiet != nullptr && m_gebiet->isVisible()) m_gebiet->PointChosen(point);
    if (m_bruteForce != nullptr && m_bruteForce->isVisible()) m_bruteForce->PointChosen(point);
}

void TFormGoMain::ToolClosed() {
    const auto open = [](const QWidget* w) { return w != nullptr && w->isVisible(); };
    if (open(m_klassi) || open(m_gebiet) || open(m_bruteForce)) return;
    if (m_board->GetState() == bsClassify) m_board->SetState(bsLocked);
}

void TFormGoMain::closeEvent(QCloseEvent* e) {
    if (!m_discardConfirmed && !ConfirmDiscard()) {
        e->ignore();
        return;
    }
    m_discardConfirmed = true;
    // A game runs inside its menu command: stop it first, close when it has returned.
    m_host.SetTerminating();
    if (m_inCommand) {
        m_board->SetState(bsLocked);
        m_closeAfterGame = true;
        e->ignore();
        return;
    }
    if (SaveSettingsOnExit) SaveWindowPositions();
    e->accept();
}

}  // namespace obrin::gui
