// The main window's commands and a game between two humans played through the windows.
#include "ui/FormGoMain.h"

#include <QApplication>
#include <QCheckBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <algorithm>
#include <deque>
#include <filesystem>

#include "game/FormScore.h"
#include "game/FormStart.h"
#include "game/gameflow.h"
#include "records/FormSgfTree.h"
#include "support/gui_main.h"
#include "support/gui_test.h"
#include "ui/FormBoard.h"
#include "ui/FormControl.h"
#include "ui/FormRandomMoves.h"

namespace obrin::gui {

class TFormGoMainTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TUi> m_ui;
    std::unique_ptr<TUserInterface> m_userInterface;  // before the main window, gone after it
    std::unique_ptr<TFormGoMain> m_main;
    QStringList m_questions;
    bool m_answer = true;
    QStringList m_dialogs;                // the captions of the dialogs shown
    std::function<int(QDialog*)> m_exec;  // answers them; OK when not set

    // Presses the button with the given designed text, as a click of the user does.
    static void Press(QWidget* window, const char* text) {
        for (QPushButton* b : window->findChildren<QPushButton*>())
            if (b->text() == QString::fromUtf8(text)) return b->click();
        QFAIL(qPrintable(QStringLiteral("no button ") + QString::fromUtf8(text)));
    }
    static int Answer(QDialog* d, const char* button) {
        Press(d, button);
        return d->result();
    }
    [[nodiscard]] int Stones(int colour) const {
        const TBoard& b = m_main->Engine().Fields.Spielfeld;
        return static_cast<int>(std::count(b.begin(), b.end(), colour));
    }
    void Click(int x, int y) { test::ClickPoint(*m_main, {x, y}); }
    // Runs the actions one after another from the event loop of a running command.
    void Script(std::deque<test::TScriptStep> steps) {
        test::RunScript(m_main.get(), std::move(steps), 5);
    }
    [[nodiscard]] int At(const char* point) const {
        const std::string p(point);
        return GetPoint(m_main->Engine().Fields.Spielfeld, ColumnOfText(p), RowOfText(p));
    }

    QTemporaryDir m_files;
    QString WriteFile(const char* name, const QByteArray& data) {
        return test::WriteTestFile(m_files, name, data);
    }
    static QByteArray Contents(const QString& path) { return test::FileBytes(path); }

  private slots:
    void init() {
        m_ui = std::make_unique<TUi>();
        m_questions.clear();
        m_ui->Dialogs.Message = [](QWidget*, const QString&) {};
        m_ui->Dialogs.Question = [this](QWidget*, const QString& q) {
            m_questions << q;
            return m_answer;
        };
        m_dialogs.clear();
        m_exec = nullptr;
        m_ui->Dialogs.Exec = [this](QDialog* d) {
            m_dialogs << d->windowTitle();
            return m_exec ? m_exec(d) : int(QDialog::Accepted);
        };
        m_userInterface = std::make_unique<TUserInterface>(TFileLocations::FromEnvironment());
        m_main = std::make_unique<TFormGoMain>(*m_ui, *m_userInterface, QStringList{});
        QVERIFY(test::ShowMainWindow(*m_main));
    }
    void cleanup() { m_main.reset(); }

    void internaMenuNeedsTheSwitch() {
        QVERIFY(!m_main->InternaMenu()->menuAction()->isVisible());
        TUserInterface first(TFileLocations::FromEnvironment()), second(first.Locations());
        TFormGoMain withSwitch(*m_ui, first, QStringList{QStringLiteral("/qx")});
        QVERIFY(withSwitch.InternaMenu()->menuAction()->isVisible());
        TFormGoMain upperCase(*m_ui, second, QStringList{QStringLiteral("/QX")});
        QVERIFY(!upperCase.InternaMenu()->menuAction()->isVisible());
    }

    void windowsStandWhereTheSettingsSayAndTheBoardGrowsWithTheFrame() {
        m_main.reset();
        const TFileLocations where = m_userInterface->Locations();
        WriteWindowPosition(where, FormBoardWindow, {40, 50});
        WriteWindowPosition(where, FormCursorWindow, {900, -20});  // nonsense: pulled back
        WriteWindowPosition(where, FormScoreWindow, {30, 40});
        {
            TFormGoMain main(*m_ui, *m_userInterface, {});
            QVERIFY(test::ShowMainWindow(main));
            QCOMPARE(main.BoardWindow()->pos(), QPoint(40, 50));
            QCOMPARE(main.ControlWindow()->y(), 0);
            QVERIFY(main.ControlWindow()->x() >= main.BoardWindow()->geometry().right());
            const int small = main.Board().View()->width();
            main.resize(1600, 1100);  // maximised: the board takes the new room by itself
            QTRY_VERIFY(main.Board().View()->width() > small + 200);
            QVERIFY(main.ControlWindow()->geometry().right() <= main.centralWidget()->width());
            main.BoardWindow()->move(12, 14);
            main.Engine().Clock.SetDeterministic(true);
            QCOMPARE(main.WindowOf(&main.ShowScore())->pos(), QPoint(30, 40));
            main.WindowOf(&main.ShowScore())->move(50, 60);
            QVERIFY(main.close());
        }
        QCOMPARE(ReadWindowPosition(where, FormBoardWindow), (TWindowPosition{12, 14}));
        QCOMPARE(ReadWindowPosition(where, FormScoreWindow), (TWindowPosition{50, 60}));
        QCOMPARE(ReadWindowPosition(where, FormCursorWindow).Top, 0);
        {
            // A restart puts the control window back where it was, left edge included, when
            // the board leaves it room there.
            WriteWindowPosition(where, FormCursorWindow, {1100, 10});
            TFormGoMain again(*m_ui, *m_userInterface, {});
            again.SaveSettingsOnExit = false;
            QVERIFY(test::ShowMainWindow(again, 1600, 1100));
            QCOMPARE(again.ControlWindow()->pos(), QPoint(1100, 10));
        }
        // Nothing was left behind by the engine or the record.
        QVERIFY2(TFormGoMain::ShutdownProblems().isEmpty(),
                 qPrintable(TFormGoMain::ShutdownProblems().join(QLatin1Char('\n'))));
        std::filesystem::remove(where.PathForWrite(SettingsFileName));
        init();
    }

    void stopAsksDuringAGameAndPlayGoesOnWhenRefused() {
        m_main->Host().StartDialog = [](int, TGameState& g) {
            g.SchwarzBeginnt = true;
            return true;
        };
        TFormControl& control = m_main->Control();
        const char* answer = "&Nein";
        m_exec = [&](QDialog* d) {
            d->findChild<QCheckBox*>()->setChecked(true);  // "Stellung bewerten"
            return Answer(d, answer);
        };
        m_main->Engine().Clock.SetDeterministic(true);
        TBoardState afterNo = bsLocked;
        Script({
            {{}, [&] { Click(3, 3); }},  // Black D4
            {{}, [&] { control.BitBtnStop->click(); }},
            {{}, [&] { afterNo = m_main->Board().GetState(); }},
            {{}, [&] { Click(15, 15); }},  // the game went on: White Q16
            {{}, [&] { answer = "&Ja"; }},
            {{}, [&] { control.BitBtnStop->click(); }},
        });
        m_main->PlayHumanHuman();
        QCOMPARE(m_dialogs, QStringList(2, QStringLiteral("Beenden einer Partie")));
        QCOMPARE(afterNo, bsMenschMensch);
        QCOMPARE(At("D4"), 1);
        QCOMPARE(At("Q16"), -1);
        QCOMPARE(m_main->Board().GetState(), bsLocked);
        QCOMPARE(control.Layout(), TControlLayout::Editing);
        // Only the "yes" stopped, with the score asked for: the score window shows the end.
        QTRY_VERIFY(m_main->findChild<TFormScore*>() != nullptr &&
                    m_main->findChild<TFormScore*>()->isVisible());
        QVERIFY(!m_main->findChild<TFormScore*>()->LabelBilanz->text().isEmpty());
    }

    void scoreWindowCountsTheBoardAndRestoresItWhenClosed() {
        TEngine& e = m_main->Engine();
        e.Clock.SetDeterministic(true);
        e.Game.GefangeneWeiss = 5.5;  // standard komi on an empty board
        TFormScore& score = m_main->ShowScore();
        QVERIFY(score.isVisible());
        QCOMPARE(score.LabelBilanz->text(), QStringLiteral("Mensch führt mit 5.5 Punkt(en)"));
        QCOMPARE(score.LblGefangeneWeiss->text(), QStringLiteral("5.5"));
        e.Game.GefangeneWeiss = 0;
        // Shown already: the command counts afresh.
        QCOMPARE(&m_main->ShowScore(), &score);
        QCOMPARE(score.LabelBilanz->text(), QStringLiteral("Unentschieden"));

        // A black group with two eyes in the corner; the rest of the board is its influence.
        TBoard& b = e.Fields.Spielfeld;
        for (const char* p : {"A3", "B3", "C3", "D3", "D2", "D1", "B1", "B2"}) {
            SetPoint(b, ColumnOfText(p), RowOfText(p), 1);
        }
        m_main->ShowScore();
        TBoardView* view = m_main->Board().View();
        QVERIFY(view->Territory().has_value());
        QVERIFY(view->ShowsTrialBoard());
        QVERIFY(score.LabelBilanz->text().startsWith(QStringLiteral("Obrin führt mit")));
        Press(&score, "&Ok");
        QVERIFY(!score.isVisible());
        QVERIFY(!view->Territory().has_value());
        QVERIFY(!view->ShowsTrialBoard());
    }

    void randomMovesOkPlaysTheChosenMovesAndClearsFirstWhenTicked() {
        TEngine& e = m_main->Engine();
        SetPoint(e.Fields.Spielfeld, 9, 9, 1);
        e.Game.GefangeneWeiss = 4;
        auto choose = [this](bool clear, int white, int tries) {
            m_exec = [=](QDialog* d) {
                auto* r = qobject_cast<TFormRandomMoves*>(d);
                r->cbLeeren->setChecked(clear);
                r->sbFarbe->setValue(white);
                r->sbVersuche->setValue(tries);
                return Answer(d, "&OK");
            };
        };
        // "Abbruch" plays nothing.
        m_exec = [](QDialog* d) { return Answer(d, "&Abbruch"); };
        m_main->RandomMovesCommand();
        QCOMPARE(m_dialogs, QStringList{QStringLiteral("Zufallszüge")});
        QCOMPARE(Stones(1) + Stones(-1), 1);
        // Not cleared: onto the board as it stands.
        choose(false, 100, 40);
        m_main->RandomMovesCommand();
        QCOMPARE(At("K10"), 1);
        QVERIFY(Stones(-1) > 20);
        // Cleared first, then even odds: the very position a fresh engine with the same seed
        // plays on an empty board, prisoners counted from nought.
        e.Random.SetFixedSeed(12345);
        choose(true, 50, 300);
        m_main->RandomMovesCommand();
        IHost quiet;
        TEngine fresh(quiet);
        fresh.Random.SetFixedSeed(12345);
        RandomMoves(fresh, {false, 50, 300});
        QVERIFY(Stones(1) > 20 && Stones(-1) > 20);
        QVERIFY(e.Fields.Spielfeld == fresh.Fields.Spielfeld);
        QCOMPARE(e.Game.GefangeneSchwarz, fresh.Game.GefangeneSchwarz);
        QCOMPARE(e.Game.GefangeneWeiss, fresh.Game.GefangeneWeiss);
        QCOMPARE(m_main->Control().LabelWGefangene->text(),
                 QString::number(fresh.Game.GefangeneWeiss));
    }

    void positionCommands() {
        TEngine& e = m_main->Engine();
        m_main->EnterPositionMode();
        QCOMPARE(m_main->Board().GetState(), bsInput);
        QCOMPARE(m_main->Control().Layout(), TControlLayout::Input);
        Click(0, 0);
        m_main->RotateCommand();  // (x, y) -> (18 - y, x)
        QCOMPARE(At("T1"), 1);
        m_main->SwapCommand();
        QCOMPARE(At("T1"), -1);
        // Stopping position entry asks nothing (a "no" would leave the board in entry).
        m_exec = [](QDialog*) { return int(QDialog::Rejected); };
        m_main->Control().BitBtnStop->click();
        QVERIFY(m_questions.isEmpty());
        QVERIFY(m_dialogs.isEmpty());
        QCOMPARE(m_main->Control().Layout(), TControlLayout::Editing);
        QCOMPARE(m_main->Board().GetState(), bsLocked);
        e.Game.GefangeneWeiss = 3;
        m_main->ClearBoardCommand();
        QVERIFY(BoardIsEmpty(e.Fields.Spielfeld));
        QCOMPARE(e.Game.GefangeneWeiss, 0.0);
    }

    void savingAPositionFileAsksForAnSgfNameAndLeavesItAlone() {
        m_main->SaveSettingsOnExit = false;
        const QString stl = WriteFile("pos.stl", "x\n.o\n");
        m_main->LoadGame(stl);
        QCOMPARE(m_main->CurrentFile(), stl);
        QString proposed;
        m_ui->Dialogs.SaveFileName = [&](QWidget*, const QString&, const QString& start,
                                         const QString&) {
            proposed = start;
            return start;
        };
        m_main->SaveGame();
        QCOMPARE(proposed, m_files.filePath(QStringLiteral("pos.sgf")));
        QCOMPARE(Contents(stl), QByteArray("x\n.o\n"));
        QVERIFY(Contents(proposed).contains("AB[aa]"));
        // Save goes on writing the SGF file; the position file is never written over.
        QCOMPARE(m_main->CurrentFile(), proposed);
    }

    void aFailedLoadKeepsTheFileAndADamagedOneAsksBeforeOverwriting() {
        m_main->SaveSettingsOnExit = false;
        const QString good = WriteFile("good.sgf", "(;B[aa])");
        m_main->LoadGame(good);
        m_main->LoadGame(m_files.filePath(QStringLiteral("missing.sgf")));
        QCOMPARE(m_main->CurrentFile(), good);
        const QByteArray damaged = "(;B[aa];W[bb]";
        const QString bad = WriteFile("bad.sgf", damaged);
        m_main->LoadGame(bad);
        QCOMPARE(m_dialogs.size(), 1);  // the syntax errors
        m_answer = false;
        m_main->SaveGame();
        QCOMPARE(m_questions.size(), 1);
        QCOMPARE(Contents(bad), damaged);
        m_answer = true;
        m_main->SaveGame();
        QCOMPARE(m_questions.size(), 2);
        QVERIFY(Contents(bad).contains("W[bb]"));
        m_main->SaveGame();  // asked once only
        QCOMPARE(m_questions.size(), 2);
    }

    void theOpenDialogStartsInAFolderThatExists() {
        m_main->SaveSettingsOnExit = false;
        m_main->Engine().Settings.Partien = "PARTIEN-that-does-not-exist";
        QString start;
        m_ui->Dialogs.OpenFileName = [&](QWidget*, const QString&, const QString& s,
                                         const QString&) {
            start = s;
            return QString();
        };
        m_main->LoadGame();
        QVERIFY(QFileInfo(start).isDir());
        QVERIFY(!QFileInfo::exists(QStringLiteral("PARTIEN-that-does-not-exist")));
        m_main->Engine().Settings.Partien = m_files.path().toStdString();
        m_main->LoadGame();
        QCOMPARE(start, m_files.path());
    }

    void openedRecordsAreOfferedAgainInTheFileMenu() {
        const QString first = WriteFile("first.sgf", "(;B[aa])");
        const QString second = WriteFile("second.sgf", "(;B[bb])");
        m_main->LoadGame(first);
        m_main->LoadGame(second);
        m_main->LoadGame(first);
        QMenu* recent = nullptr;
        for (QMenu* m : m_main->findChildren<QMenu*>())
            if (m->title() == QString::fromUtf8("&Zuletzt ge\u00f6ffnet")) recent = m;
        QVERIFY(recent != nullptr);
        const QList<QAction*> actions = recent->actions();
        QVERIFY(actions.size() >= 2);
        QVERIFY(actions[0]->text().endsWith(first));
        QVERIFY(actions[1]->text().endsWith(second));
        actions[1]->trigger();
        QCOMPARE(m_main->CurrentFile(), second);
        std::filesystem::remove(m_userInterface->Locations().PathForWrite(SettingsFileName));
    }

    void aRecordDroppedOnTheWindowIsOpened() {
        m_main->SaveSettingsOnExit = false;
        const QString file = WriteFile("dropped.sgf", "(;B[aa])");
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(file)});
        const QPoint at = m_main->Board().mapTo(m_main.get(), QPoint(20, 20));
        QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(m_main.get(), &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(m_main.get(), &drop);
        QTRY_COMPARE(m_main->CurrentFile(), file);
        // Anything else is not taken.
        QMimeData text;
        text.setUrls({QUrl::fromLocalFile(WriteFile("notes.txt", "x"))});
        QDragEnterEvent other(at, Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
        other.ignore();
        QApplication::sendEvent(m_main.get(), &other);
        QVERIFY(!other.isAccepted());
    }

    // In both shipped languages every entry of a menu has a mnemonic of its own, so Alt and the
    // letter always reach one command.
    void menuMnemonicsAreDistinctInEachLanguage() {
        const QString table = m_files.filePath(QStringLiteral("language.dat"));
        QFile::remove(table);
        QVERIFY(QFile::copy(qEnvironmentVariable("OBRIN_DATA_DIR") + "/language.dat", table));
        (void)m_main->LangSup().LoadFromFile(table.toStdString());
        for (const char* language : {"English", "Deutsch"}) {
            m_main->SetLanguage(language);
            for (QMenu* menu : m_main->findChildren<QMenu*>()) {
                QSet<QChar> seen;
                for (QAction* a : menu->actions()) {
                    const QString text = a->text();
                    const qsizetype at = text.indexOf(QLatin1Char('&'));
                    if (a->isSeparator() || at < 0 || at + 1 >= text.size() || !a->isVisible())
                        continue;
                    const QChar key = text.at(at + 1).toLower();
                    QVERIFY2(!seen.contains(key), qPrintable(QString::fromLatin1(language) + ": " +
                                                             menu->title() + " / " + text));
                    seen.insert(key);
                }
            }
        }
    }

    // The start dialog: its komi buttons, numbers typed wrongly, and the komi always White's.
    void startDialogKomiButtonsBadNumbersAndTheKomiOfWhite() {
        TGameState g;
        g.GefangeneSchwarz = 2;
        TFormStart d(g, *m_ui);
        d.show();
        QCOMPARE(d.EditSGefangene->text(), QStringLiteral("2"));
        Press(&d, "Standard-&Komi");
        QCOMPARE(d.EditSGefangene->text(), QStringLiteral("0"));
        QCOMPARE(d.EditWGefangene->text(), QStringLiteral("5.5"));
        d.EditWGefangene->setText(QStringLiteral("viel"));
        emit d.EditWGefangene->editingFinished();
        QCOMPARE(d.EditWGefangene->text(), QStringLiteral("5.5"));
        d.EditSGefangene->setText(QStringLiteral("1,5"));
        emit d.EditSGefangene->editingFinished();
        QCOMPARE(d.EditSGefangene->text(), QStringLiteral("1.5"));
        d.rbWeissBeginnt->setChecked(true);
        Press(&d, "&OK");
        QCOMPARE(d.result(), int(QDialog::Accepted));
        // The computer plays Black (+1): Black's 1.5, White's komi 5.5 with the human (-1).
        QVERIFY(!g.ComputerWeiss);
        QCOMPARE(g.GefangeneSchwarz, 1.5);
        QCOMPARE(g.GefangeneWeiss, 5.5);
        QVERIFY(g.ComputerBeginnt);
        QVERIFY(!g.SchwarzBeginnt);

        // With the computer as White (+1 drawn white) the komi is in the computer's count: shown
        // again, the fields read Black 0, White 5.5; no komi empties both.
        g.ComputerWeiss = true;
        g.GefangeneSchwarz = 5.5;
        g.GefangeneWeiss = 0;
        TFormStart again(g, *m_ui);
        again.show();
        QCOMPARE(again.EditSGefangene->text(), QStringLiteral("0"));
        QCOMPARE(again.EditWGefangene->text(), QStringLiteral("5.5"));
        Press(&again, "k&eine Komi");
        Press(&again, "&OK");
        QCOMPARE(g.GefangeneSchwarz + g.GefangeneWeiss, 0.0);
        QVERIFY(!g.ComputerWeiss);  // the computer's colour is Black unless chosen again
    }
};

}  // namespace obrin::gui

OBRIN_GUI_TEST(FormGoMain_test, obrin::gui::TFormGoMainTest);
#include "FormGoMain_test.moc"
