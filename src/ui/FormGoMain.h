// The main window: the frame of the program. It owns the engine and its host, builds them in
// a fixed order when it is created and tears them down in reverse when it goes; its menu
// reaches every command. The board and the game-control window live inside it. The
// user-interface object with the translation table exists before it and outlives it.
#pragma once

#include <QMainWindow>
#include <QStringList>
#include <memory>
#include <optional>

#include "game/engine.h"
#include "ui/FormHost.h"
#include "ui/FormUi.h"
#include "ui/usrintfc.h"

class QMdiArea;
class QMdiSubWindow;
class QMenu;

namespace obrin::gui {

class TFormBoard;
class TFormBruteForce;
class TFormControl;
class TFormFeldanzeige;
class TFormGebiet;
class TFormKlassifizierung;
class TFormScore;

class TFormGoMain : public QMainWindow {
    Q_OBJECT
  public:
    // args are the command-line arguments after the program name; "/qx" first shows "I&nterna".
    TFormGoMain(TUi& ui, TUserInterface& userInterface, const QStringList& args,
                QWidget* parent = nullptr);
    ~TFormGoMain() override;

    [[nodiscard]] TEngine& Engine() { return *m_engine; }
    [[nodiscard]] TUserInterface& UserInterface() { return m_userInterface; }
    [[nodiscard]] TLangSup& LangSup() { return m_userInterface.LangSup(); }
    [[nodiscard]] const QString& CurrentFile() const { return m_currentFile; }
    [[nodiscard]] TGuiHost& Host() { return m_host; }
    [[nodiscard]] TFormBoard& Board() { return *m_board; }
    [[nodiscard]] TFormControl& Control() { return *m_control; }
    [[nodiscard]] QMenu* InternaMenu() const { return m_interna; }

    // The caption: the translated title template with the version filled in.
    void UpdateCaption();
    // Retranslates the main window and every window it holds.
    void TranslateAll();
    // Puts the board and the control window side by side in the visible area: each where it
    // stands (at first where the settings keep it), the board as large as the height allows,
    // the control window in the rest of the width. Runs again whenever the area is resized.
    void ArrangeWindows();
    [[nodiscard]] QMdiSubWindow* BoardWindow() const { return m_boardWindow; }
    [[nodiscard]] QMdiSubWindow* ControlWindow() const { return m_controlWindow; }
    // The leaks the checks at shutdown found, for the exit status; empty when all was returned.
    static QStringList& ShutdownProblems();
    // Off for the offscreen tools, which must leave the settings file alone.
    bool SaveSettingsOnExit = true;

    // The commands of the menu, callable from the buttons and the tests.
    void PlayHumanComputer();
    void PlayHumanHuman();
    void PlaySelf();
    void EnterPositionMode();
    void ClearBoardCommand();
    void RotateCommand();
    void SwapCommand();
    void RandomMovesCommand();
    void HandicapCommand(int stones);
    void SetPlaying(bool playing);
    // The file commands; the dialogs are skipped when a name is given.
    void LoadGame(QString fileName = QString());
    void SaveGame();
    void SaveGameAs(QString fileName = QString());
    void ParameterCommand();
    void AddLanguageCommand();
    // The analysis tools of "I&nterna". The three that take points from the board put it into
    // classification mode; all analyse the position first when it changed since the last time.
    TFormFeldanzeige& ShowFieldDisplay();
    TFormKlassifizierung& ShowClassification();
    TFormGebiet& ShowTerritory();
    TFormBruteForce& ShowBruteForce();
    // "&Ziel-Browser": the goals the last computer move left in the rule manager, modally.
    void ShowGoalBrowser();
    // The status of the group at point as the analysis graph judged it, when the graph was built
    // for the position on the board; nullopt otherwise.
    [[nodiscard]] std::optional<int> AnalysedGroupStatus(TPoint point) const;
    // "Be&werten": the score window beside the board, counting the position afresh. At the end
    // of a game its OK writes the agreed result into the record.
    TFormScore& ShowScore(bool endOfGame = false);
    // A game ended by passes (the score window opens) or by resignation (the result is said).
    void GameEnded(const TGameEnd& end);
    // Before the record is closed or replaced: true when it has no unsaved changes or the
    // user saved or discarded them; false when the user cancelled (or saving failed).
    bool ConfirmDiscard();
    // "&Zugnummern" in the View menu.
    [[nodiscard]] QAction* MoveNumbersAction() const { return m_moveNumbersAction; }
    // Runs the analysis of the current position unless its territory values are current.
    void AnalyseIfChanged();
    [[nodiscard]] QMdiSubWindow* WindowOf(QWidget* tool) const;
    // Sets the interface language and retranslates every open window.
    void SetLanguage(const std::string& language);

  protected:
    void closeEvent(QCloseEvent* e) override;
    void dragEnterEvent(QDragEnterEvent* e) override;
    void dropEvent(QDropEvent* e) override;
    void showEvent(QShowEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

  private:
    void BuildMenus();
    QMdiSubWindow* AddToolWindow(QWidget* w);
    // An analysis tool beside the board: closable, kept (hidden) when closed.
    void ShowAnalysisWindow(QWidget* w);
    void PointChosen(TPoint point);
    // Leaves classification mode when the last tool that takes points has been closed.
    void ToolClosed();
    void SaveWindowPositions();
    void ApplySettings();
    // Runs one game command; the window closes afterwards if that was asked for meanwhile.
    template <typename F>
    void RunGame(F&& game);

    TUi& m_ui;
    TGuiHost m_host;
    TUserInterface& m_userInterface;
    std::unique_ptr<TEngine> m_engine;
    QString m_currentFile;  // the game file last loaded
    // Set after a load with syntax messages: the first save over that file asks first.
    bool m_askBeforeOverwrite = false;
    // The folder the open and save dialogs start in.
    [[nodiscard]] QString GamesFolder() const;
    void RememberGamesFolder(const QString& file);
    void RememberRecentFile(const QString& file);
    void FillRecentMenu();
    QMenu* m_recentMenu = nullptr;
    QMdiArea* m_area = nullptr;
    TFormBoard* m_board = nullptr;
    TFormControl* m_control = nullptr;
    QMdiSubWindow* m_boardWindow = nullptr;
    QMdiSubWindow* m_controlWindow = nullptr;
    QMenu* m_interna = nullptr;
    bool m_internaAllowed = false;  // started with "/qx"
    // The analysis tools, made when first asked for.
    TFormFeldanzeige* m_feldanzeige = nullptr;
    TFormKlassifizierung* m_klassi = nullptr;
    TFormGebiet* m_gebiet = nullptr;
    TFormBruteForce* m_bruteForce = nullptr;
    TFormScore* m_score = nullptr;
    TWindowPosition m_scorePosition = FormScoreWindow.Default;
    // Loads fileName after asking to stop the running game; the load waits for the game loop.
    bool StopGameForLoad(const QString& fileName);
    QAction* m_saveAction = nullptr;
    QAction* m_moveNumbersAction = nullptr;
    QAction* m_takeBackAction = nullptr;
    bool m_scoreEndsGame = false;          // the score window counts a game that just ended
    bool m_discardConfirmed = false;       // the user answered the question for closing already
    std::optional<QString> m_pendingLoad;  // a load asked for while a game ran
    QAction* m_saveAsAction = nullptr;
    QList<QMenu*> m_gameMenus;  // switched off while a game runs
    bool m_gameRunning = false;
    bool m_inCommand = false;  // a game or the handicap placement is running
    bool m_closeAfterGame = false;
    bool m_arranged = false;
    // Where the settings keep the two windows; used for the first arrangement.
    TWindowPosition m_boardPosition = FormBoardWindow.Default;
    TWindowPosition m_controlPosition = FormCursorWindow.Default;
};

// The answer of the "Save changes?" question that discards; accepted saves, rejected cancels.
inline constexpr int SaveChangesDiscard = 2;

// The "Save changes?" question with its three buttons, translated.
void BuildSaveChangesDialog(QDialog& box, TUi& ui);

// The version text of the caption: four numbers joined by ".".
[[nodiscard]] QString VersionText();

}  // namespace obrin::gui
