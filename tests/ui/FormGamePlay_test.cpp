// Playing a game against the computer through the windows as a Go player does: colours, komi
// and handicap with the computer as Black and as White, taking back, resigning, counting at the
// end, and the record that comes out of it. The computer's moves are scripted, so every game
// is the same.
#include <QLabel>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <deque>
#include <functional>

#include "game/FormScore.h"
#include "game/FormStart.h"
#include "game/gameflow.h"
#include "records/sgftree.h"
#include "support/gui_main.h"
#include "support/gui_test.h"
#include "ui/FormBoard.h"
#include "ui/FormControl.h"
#include "ui/FormGoMain.h"

namespace obrin::gui {

using test::At;

class TFormGamePlayTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TUi> m_ui;
    std::unique_ptr<TUserInterface> m_userInterface;
    std::unique_ptr<TFormGoMain> m_main;
    QStringList m_messages;
    std::deque<TPoint> m_computer;  // the computer's moves in order; a pass when used up
    QTemporaryDir m_files;

    using TStep = test::TScriptStep;
    void Script(std::deque<TStep> steps) { test::RunScript(m_main.get(), std::move(steps), 1); }
    [[nodiscard]] bool HumanToMove() const { return m_main->Control().BitBtnPassen->isEnabled(); }
    TStep Human(const char* point) {
        return {[this] { return HumanToMove(); },
                [this, point] { test::ClickPoint(*m_main, At(point)); }};
    }
    TStep Press(QPushButton* button) {
        return {[this] { return HumanToMove(); }, [button] { button->click(); }};
    }
    // The start dialog itself, answered as a user would: the computer's colour, who begins,
    // standard komi or none.
    void StartWith(bool computerWhite, bool computerBegins, bool komi) {
        m_main->Host().StartDialog = [=, this](int page, TGameState& g) {
            TFormStart d(g, *m_ui);
            d.SetPage(page);
            for (QPushButton* b : d.findChildren<QPushButton*>())
                if (b->text() == (komi ? "Standard-&Komi" : "k&eine Komi")) b->click();
            if (computerWhite) d.rbComputerWeiss->setChecked(true);  // Black is the default
            (computerBegins ? d.rbComputerBeginnt : d.m_mensch)->setChecked(true);
            for (QPushButton* b : d.findChildren<QPushButton*>())
                if (b->text() == "&OK") b->click();
            return d.result() == QDialog::Accepted;
        };
    }
    TSgfTreeModel& Tree() { return m_main->Control().Tree(); }
    TSgfTreeItem* Root() { return Tree().Items()[0]->Children()[0].get(); }
    std::string RootValue(const char* id) { return Tree().GetPropertyValue(Root(), id); }
    int Stone(const char* point) {
        const TPoint p = At(point);
        return GetPoint(m_main->Engine().Fields.Spielfeld, p.X, p.Y);
    }
    bool DrawnBlack(const char* point) { return IsDrawnBlack(m_main->Engine().Game, Stone(point)); }
    QString Write(const char* name, const char* text) {
        return test::WriteTestFile(m_files, name, text);
    }
    // The score window's frame in the main window (it is made when first shown).
    QMdiSubWindow* ScoreFrame() {
        for (QMdiSubWindow* sub : m_main->findChildren<QMdiSubWindow*>())
            if (qobject_cast<TFormScore*>(sub->widget()) != nullptr) return sub;
        return nullptr;
    }

  private slots:
    void init() {
        m_ui = std::make_unique<TUi>();
        m_messages.clear();
        m_computer.clear();
        m_ui->Dialogs.Message = [this](QWidget*, const QString& text) { m_messages << text; };
        m_ui->Dialogs.Question = [](QWidget*, const QString&) { return true; };
        // The unsaved-changes question is discarded here; the tests that care answer it.
        m_ui->Dialogs.Exec = [](QDialog* d) {
            return d->objectName() == "FormSaveChanges" ? SaveChangesDiscard
                                                        : int(QDialog::Accepted);
        };
        m_userInterface = std::make_unique<TUserInterface>(TFileLocations::FromEnvironment());
        m_main = std::make_unique<TFormGoMain>(*m_ui, *m_userInterface, QStringList{});
        m_main->SaveSettingsOnExit = false;
        QVERIFY(test::ShowMainWindow(*m_main));
        TEngine& e = m_main->Engine();
        e.ComputerMove = [this] {
            if (m_computer.empty()) return PassPoint;
            const TPoint p = m_computer.front();
            m_computer.pop_front();
            return p;
        };
    }
    void cleanup() { m_main.reset(); }

    // Four handicap stones, then the computer as White with komi: the stones stay Black's (the
    // human's), White moves first, Black's capture goes to Black's counter, and the record
    // says so.
    void theComputerAsWhiteGivesAHandicapAndGetsTheKomi() {
        m_main->HandicapCommand(4);
        for (const char* p : {"D4", "Q16", "D16", "Q4"}) QVERIFY(DrawnBlack(p));
        StartWith(true, true, true);
        m_computer = {At("B1"), At("T19"), At("S19")};
        TFormControl& control = m_main->Control();
        Script({Human("C1"), Human("B2"), Human("A1"), Press(control.BitBtnPassen)});
        m_main->PlayHumanComputer();
        TEngine& e = m_main->Engine();
        QVERIFY(e.Game.ComputerWeiss);
        for (const char* p : {"D4", "Q16", "D16", "Q4", "C1"}) {
            QCOMPARE(Stone(p), -1);  // the human's
            QVERIFY(DrawnBlack(p));
        }
        QCOMPARE(Stone("B1"), 0);  // White's stone, captured by Black
        QVERIFY(!DrawnBlack("T19"));
        QCOMPARE(PrisonersOf(e.Game, true), 1.0);
        QCOMPARE(PrisonersOf(e.Game, false), 5.5);
        QCOMPARE(control.LabelSGefangene->text(), QStringLiteral("1"));
        QCOMPARE(control.LabelWGefangene->text(), QStringLiteral("5.5"));

        QCOMPARE(RootValue("KM"), std::string("5.5"));
        QCOMPARE(RootValue("HA"), std::string("4"));
        QCOMPARE(RootValue("PB"), std::string("Human"));
        QCOMPARE(RootValue("PW"), std::string("Obrin"));
        QCOMPARE(RootValue("RU"), std::string("Japanese"));
        QCOMPARE(RootValue("DT").size(), size_t(10));
        const std::string saved = Tree().SaveToString();
        QVERIFY2(saved.find("AB[dp][dd][pp][pd]") != std::string::npos, saved.c_str());
        QVERIFY2(saved.find("AW[") == std::string::npos, saved.c_str());
        const QStringList moves = test::RecordedMoves(*m_main);
        QCOMPARE(moves.mid(0, 6),
                 (QStringList{"W[bs]", "B[cs]", "W[sa]", "B[br]", "W[ra]", "B[as]"}));

        // Two passes end the game: the score window counts, OK writes the result and closes
        // the window with its frame.
        QVERIFY(ScoreFrame() != nullptr && ScoreFrame()->isVisible());
        TFormScore& score = *qobject_cast<TFormScore*>(ScoreFrame()->widget());
        QVERIFY(score.LabelErgebnis->text().contains(QString::fromStdString(score.Result())));
        score.ButtonOk->click();
        QVERIFY(!ScoreFrame()->isVisible());
        QCOMPARE(RootValue("RE"), score.Result());
        QVERIFY(!m_main->Board().View()->ShowsTrialBoard());

        // A record opened afterwards is drawn in its own colours.
        m_main->LoadGame(Write("b.sgf", "(;FF[4];B[pd];W[dp])"));
        QVERIFY(!e.Game.ComputerWeiss);
        QCOMPARE(Tree().Items().size(), size_t(1));
    }

    // A human taking a handicap from the computer playing Black: the stones are the computer's.
    void theComputerAsBlackTakesTheHandicap() {
        m_main->HandicapCommand(2);
        StartWith(false, false, false);
        Script({Human("K10"),
                {[this] { return HumanToMove(); },
                 [this] { m_main->Control().BitBtnStop->click(); }}});
        m_main->PlayHumanComputer();
        QCOMPARE(Stone("D4"), 1);
        QVERIFY(DrawnBlack("D4"));
        QVERIFY(!DrawnBlack("K10"));
        QCOMPARE(RootValue("HA"), std::string("2"));
        QCOMPARE(RootValue("KM"), std::string("0"));
        QCOMPARE(test::RecordedMoves(*m_main).first(), QStringLiteral("W[jj]"));
    }

    // Take back: the computer's last move and the human's before it, with the board,
    // prisoners, ko, marks and record as they were; then the game goes on from there.
    void takingBackRestoresTheTurnBefore() {
        StartWith(false, true, false);
        m_computer = {At("A1"), At("T19"), At("S19"), At("R19")};
        TFormControl& control = m_main->Control();
        TEngine& e = m_main->Engine();
        TBoard before{};
        QStringList movesBefore;
        double prisonersBefore = -1;
        TPoint markBefore{};
        Script({Human("B1"),
                {[this] { return HumanToMove(); },
                 [&] {
                     before = e.Fields.Spielfeld;
                     movesBefore = test::RecordedMoves(*m_main);
                     prisonersBefore = e.Game.GefangeneWeiss;
                     markBefore = {e.Game.ComputerZugX, e.Game.ComputerZugY};
                     QVERIFY(control.BitBtnTakeBack->isEnabled());
                     test::ClickPoint(*m_main, At("A2"));  // captures A1
                 }},
                {[this] { return HumanToMove(); },  // Ctrl+Z does what the button does
                 [this] { QTest::keySequence(m_main.get(), QKeySequence::Undo); }},
                {[this] { return HumanToMove(); },
                 [&] {
                     QCOMPARE(e.Fields.Spielfeld, before);
                     QCOMPARE(e.Game.GefangeneWeiss, prisonersBefore);
                     QCOMPARE(test::RecordedMoves(*m_main), movesBefore);
                     QCOMPARE((TPoint{e.Game.ComputerZugX, e.Game.ComputerZugY}), markBefore);
                     test::ClickPoint(*m_main, At("C3"));
                 }},
                Press(control.BitBtnStop)});
        m_main->PlayHumanComputer();
        // The computer answered C3 with the move it had not played yet; A2 is gone for good.
        QCOMPARE(test::RecordedMoves(*m_main),
                 (QStringList{"B[as]", "W[bs]", "B[sa]", "W[cq]", "B[qa]"}));
        QCOMPARE(Stone("A1"), 1);
        QCOMPARE(e.Game.GefangeneWeiss, 0.0);
        QCOMPARE(Tree().Items().size(), size_t(1));
    }

    void resigningEndsTheGameWithTheResult() {
        StartWith(true, false, true);
        Script({Human("Q16"), Press(m_main->Control().BitBtnResign)});
        m_main->PlayHumanComputer();
        QCOMPARE(RootValue("RE"), std::string("W+R"));
        QVERIFY(m_messages.contains(QStringLiteral("Weiß gewinnt durch Aufgabe.")));
        QCOMPARE(m_main->Control().Layout(), TControlLayout::Editing);
    }

    // In the score window a click on a stone marks its group dead or alive again; the count
    // follows and the board shows the stones as counted.
    void clickingAGroupInTheScoreWindowChangesTheCount() {
        TEngine& e = m_main->Engine();
        for (const char* p : {"C3", "C4", "D3", "Q16", "R16", "Q17"})
            EnterPosition(e, At(p).X, At(p).Y, p[0] != 'Q' && p[0] != 'R');
        TFormScore& score = m_main->ShowScore();
        const TScore first = score.Score();
        const QString line = score.LabelBilanz->text();
        test::ClickPoint(*m_main, At("C3"));
        QCOMPARE(std::abs(score.Score().DeadPlus - first.DeadPlus), 3);
        QVERIFY(score.LabelBilanz->text() != line);
        QVERIFY(m_main->Board().View()->ShowsTrialBoard());
        test::ClickPoint(*m_main, At("D3"));  // the same group as it was judged
        QCOMPARE(score.Score().DeadPlus, first.DeadPlus);
        QCOMPARE(score.Score().Balance(), first.Balance());
        test::ClickPoint(*m_main, At("K10"));  // an empty point changes nothing
        QCOMPARE(score.Score().Balance(), first.Balance());
        score.ButtonOk->click();
        QVERIFY(!ScoreFrame()->isVisible());
        QVERIFY(Tree().Items().empty());  // no game ended: no result written anywhere
    }
};

}  // namespace obrin::gui

OBRIN_GUI_TEST(FormGamePlay_test, obrin::gui::TFormGamePlayTest);
#include "FormGamePlay_test.moc"
