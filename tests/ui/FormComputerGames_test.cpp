// The computer's games through the windows: a human against the computer, the computer against
// itself, the stop button while it thinks, and the record of what was played.
#include <QFile>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <deque>
#include <functional>

#include "records/sgftree.h"
#include "support/gui_main.h"
#include "support/gui_test.h"
#include "ui/FormBoard.h"
#include "ui/FormControl.h"
#include "ui/FormGoMain.h"

namespace obrin::gui {

class TFormComputerGamesTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TUi> m_ui;
    std::unique_ptr<TUserInterface> m_userInterface;
    std::unique_ptr<TFormGoMain> m_main;
    QStringList m_messages;
    QTemporaryDir m_files;

    using TStep = test::TScriptStep;
    void Script(std::deque<TStep> steps) { test::RunScript(m_main.get(), std::move(steps), 2); }
    [[nodiscard]] bool HumanToMove() const { return m_main->Control().BitBtnPassen->isEnabled(); }
    void Click(TPoint p) { test::ClickPoint(*m_main, p); }
    // The first empty point of a few the human likes to play.
    [[nodiscard]] TPoint FreePoint() const {
        for (const char* t : {"Q16", "D4", "Q4", "D16", "K10", "C3", "R17"})
            if (GetPoint(m_main->Engine().Fields.Spielfeld, test::At(t).X, test::At(t).Y) == 0)
                return test::At(t);
        return PassPoint;
    }
    [[nodiscard]] QStringList RecordedMoves() const { return test::RecordedMoves(*m_main); }

  private slots:
    void init() {
        m_ui = std::make_unique<TUi>();
        m_messages.clear();
        m_ui->Dialogs.Message = [this](QWidget*, const QString& text) { m_messages << text; };
        m_ui->Dialogs.Question = [](QWidget*, const QString&) { return true; };
        m_ui->Dialogs.Exec = [](QDialog*) { return int(QDialog::Accepted); };
        m_userInterface = std::make_unique<TUserInterface>(TFileLocations::FromEnvironment());
        m_main = std::make_unique<TFormGoMain>(*m_ui, *m_userInterface, QStringList{});
        QVERIFY(test::ShowMainWindow(*m_main));
        TEngine& e = m_main->Engine();
        e.Clock.SetDeterministic(true);
        e.Random.SetFixedSeed(1);
    }
    void cleanup() { m_main.reset(); }

    void theComputerAnswersTheHumanAndShowsWhy() {
        // The shipped table, from a copy: the table is written back when the program ends.
        const QString table = m_files.filePath(QStringLiteral("language.dat"));
        QFile::remove(table);
        QVERIFY(QFile::copy(qEnvironmentVariable("OBRIN_DATA_DIR") + "/language.dat", table));
        (void)m_main->LangSup().LoadFromFile(table.toStdString());
        m_main->SetLanguage("English");
        m_main->Host().StartDialog = [](int page, TGameState& g) {
            [&] { QCOMPARE(page, 0); }();
            g.ComputerBeginnt = true;
            g.ComputerWeiss = false;
            return true;
        };
        TFormControl& control = m_main->Control();
        TEngine& e = m_main->Engine();
        int computerMoves = 0;
        QString paneAfterFirst;
        std::vector<TPoint> humanMoves;
        const auto humanMove = [&] {
            ++computerMoves;
            humanMoves.push_back(FreePoint());
            Click(humanMoves.back());
        };
        Script({
            {[&] { return HumanToMove(); },
             [&] {
                 paneAfterFirst = control.MemoInference->toPlainText();
                 humanMove();
             }},
            {[&] { return HumanToMove(); }, humanMove},
            {[&] { return HumanToMove(); },
             [&] {
                 ++computerMoves;
                 control.BitBtnStop->click();
             }},
        });
        m_main->PlayHumanComputer();
        QCOMPARE(computerMoves, 3);
        QCOMPARE(m_main->Board().GetState(), bsLocked);
        QCOMPARE(control.Layout(), TControlLayout::Editing);
        // After each move the pane shows the goal tree of the chosen goal.
        QVERIFY(!paneAfterFirst.isEmpty());
        // In the interface language (English here), the points as coordinates; the goal tree
        // itself keeps the engine's names.
        QVERIFY2(paneAfterFirst.startsWith(QStringLiteral("play ")), qPrintable(paneAfterFirst));
        QVERIFY(e.LastGoalTree.front().rfind("BESETZEN ", 0) == 0);
        const int point = std::stoi(e.LastGoalTree.front().substr(9));
        const QStringList pane = control.MemoInference->toPlainText().split(QLatin1Char('\n'));
        QCOMPARE(pane.size(), qsizetype(e.LastGoalTree.size()));
        QCOMPARE(pane.front(), QStringLiteral("play ") + QString::fromStdString(PointText(
                                                             PointColumn(point), PointRow(point))));
        // Three computer moves and two human ones, Black first, in the record; each computer
        // pass was announced.
        const QStringList moves = RecordedMoves();
        QCOMPARE(moves.size(), 5);
        int passes = 0;
        for (int i = 0; i < moves.size(); ++i) {
            QCOMPARE(moves[i].at(0), QLatin1Char(i % 2 == 0 ? 'B' : 'W'));
            passes += i % 2 == 0 && (moves[i] == "B[tt]" || moves[i] == "B[]");
        }
        QCOMPARE(m_messages.count(QStringLiteral("Ich verzichte")), passes);
        for (const TPoint p : humanMoves) QCOMPARE(GetPoint(e.Fields.Spielfeld, p.X, p.Y), -1);
    }

    void selfPlayStopsWhileTheEngineThinksAndTheGameCanBeSavedAndLoaded() {
        TFormControl& control = m_main->Control();
        TEngine& e = m_main->Engine();
        int ticks = 0;
        bool reasoningShown = false;
        QString statusWhenStopped;
        int movesWhenStopped = -1;
        Script({
            // Self-play never waits for a human: every tick comes while the engine thinks.
            {[&] {
                 reasoningShown = reasoningShown || !control.MemoInference->toPlainText().isEmpty();
                 return ++ticks > 40 && reasoningShown;
             },
             [&] {
                 statusWhenStopped = m_main->Board().StatusLine();
                 movesWhenStopped = static_cast<int>(RecordedMoves().size());
                 control.BitBtnStop->click();
             }},
        });
        m_main->PlaySelf();
        QCOMPARE(m_main->Board().GetState(), bsLocked);
        QCOMPARE(control.Layout(), TControlLayout::Editing);
        QCOMPARE(e.Game.SideToMove, 1);
        QVERIFY2(statusWhenStopped.endsWith(QStringLiteral(" ...")), qPrintable(statusWhenStopped));
        QCOMPARE(m_main->Board().StatusLine(), QString());  // the thinking is over
        QVERIFY(reasoningShown);                            // self-play explains its moves too
        // The move being thought about when the stop came was not played.
        const QStringList moves = RecordedMoves();
        QCOMPARE(moves.size(), movesWhenStopped);
        QVERIFY(moves.size() >= 1);
        for (int i = 0; i < moves.size(); ++i)
            QCOMPARE(moves[i].at(0), QLatin1Char(i % 2 == 0 ? 'B' : 'W'));

        const QString file = m_files.filePath(QStringLiteral("selbst.sgf"));
        m_main->SaveGameAs(file);
        m_main->Control().Tree().DeleteItem(m_main->Control().Tree().Items()[0].get());
        m_main->LoadGame(file);
        QCOMPARE(RecordedMoves(), moves);
    }
};

}  // namespace obrin::gui

OBRIN_GUI_TEST(FormComputerGames_test, obrin::gui::TFormComputerGamesTest);
#include "FormComputerGames_test.moc"
