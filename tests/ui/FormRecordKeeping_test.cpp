// The record in the desktop program: nothing the user did is lost (the unsaved-changes
// question, saving a new game, a comment left by moving on, a load during a game, a cleared
// board), and reviewing a record from the board window (keys, wheel, variation items, the first
// node at load, the last-move mark, move numbers).
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>
#include <deque>
#include <functional>

#include "game/gameflow.h"
#include "records/FormSgfTree.h"
#include "records/lineofplay.h"
#include "records/sgftree.h"
#include "support/gui_main.h"
#include "support/gui_test.h"
#include "ui/FormBoard.h"
#include "ui/FormControl.h"
#include "ui/FormGoMain.h"

namespace obrin::gui {

using test::At;

class TFormRecordKeepingTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TUi> m_ui;
    std::unique_ptr<TUserInterface> m_userInterface;
    std::unique_ptr<TFormGoMain> m_main;
    QTemporaryDir m_files;
    int m_saveQuestions = 0;
    int m_saveAnswer = SaveChangesDiscard;
    QString m_saveAsName;  // what the save dialog answers; empty cancels it
    int m_saveDialogs = 0;

    QString Write(const char* name, const char* text) {
        return test::WriteTestFile(m_files, name, text);
    }
    static QByteArray Contents(const QString& path) { return test::FileBytes(path); }
    TFormControl& Control() { return m_main->Control(); }
    TSgfTreeModel& Tree() { return Control().Tree(); }
    TEngine& Engine() { return m_main->Engine(); }
    int Stone(const char* point) {
        const TPoint p = At(point);
        return GetPoint(Engine().Fields.Spielfeld, p.X, p.Y);
    }
    // The points as the board shows them: X black, O white, . empty.
    QString Stones(std::initializer_list<const char*> points) {
        QString shown;
        for (const char* p : points) shown += QLatin1Char(".XO"[(Stone(p) + 3) % 3]);
        return shown;
    }
    // Selects the first variation item of the game, as a click in the tree does.
    void SelectFirstVariation(const TSgfTreeItem* game) {
        TSgfTreeItem* variation = nullptr;
        for (const auto& child : game->Children())
            if (child->Data == nullptr && variation == nullptr) variation = child.get();
        QVERIFY(variation != nullptr);
        Control().SgfTreeView->setCurrentItem(Control().SgfTreeView->WidgetItem(variation));
    }
    void Key(Qt::Key key) { QTest::keyClick(&m_main->Board(), key); }
    void Wheel(int delta) {
        QWheelEvent e(QPointF(50, 50), QPointF(50, 50), QPoint(), QPoint(0, delta), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(&m_main->Board(), &e);
    }
    std::string SelectedMove() {
        TSgfTreeItem* s = Tree().Selected();
        if (s == nullptr) return "none";
        const std::string b = Tree().GetPropertyValue(s, "B");
        return b.empty() ? Tree().GetPropertyValue(s, "W") : b;
    }
    // A human move played in a game between two humans, which then stops.
    void PlayOneMove(const char* point) {
        m_main->Host().StartDialog = [](int, TGameState&) { return true; };
        const auto humanToMove = [this] { return Control().BitBtnPassen->isEnabled(); };
        test::RunScript(m_main.get(),
                        {{humanToMove, [this, point] { test::ClickPoint(*m_main, At(point)); }},
                         {humanToMove, [this] { m_main->Board().SetState(bsLocked); }}},
                        1);
        m_main->PlayHumanHuman();
    }

  private slots:
    void init() {
        m_ui = std::make_unique<TUi>();
        m_saveQuestions = 0;
        m_saveDialogs = 0;
        m_saveAnswer = SaveChangesDiscard;
        m_saveAsName.clear();
        m_ui->Dialogs.Message = [](QWidget*, const QString&) {};
        m_ui->Dialogs.Question = [](QWidget*, const QString&) { return true; };
        m_ui->Dialogs.Exec = [this](QDialog* d) {
            if (d->objectName() != "FormSaveChanges") return int(QDialog::Accepted);
            ++m_saveQuestions;
            return m_saveAnswer;
        };
        m_ui->Dialogs.SaveFileName = [this](QWidget*, const QString&, const QString&,
                                            const QString&) {
            ++m_saveDialogs;
            return m_saveAsName;
        };
        m_userInterface = std::make_unique<TUserInterface>(TFileLocations::FromEnvironment());
        m_main = std::make_unique<TFormGoMain>(*m_ui, *m_userInterface, QStringList{});
        m_main->SaveSettingsOnExit = false;
        QVERIFY(test::ShowMainWindow(*m_main));
    }
    void cleanup() { m_main.reset(); }

    // Open, Clear board and Exit ask before unsaved changes go: cancel keeps everything,
    // discard goes on, save writes first. Nothing is asked about a record as it was loaded.
    void unsavedChangesAreAskedAboutFirst() {
        const QString first = Write("first.sgf", "(;FF[4];B[pd])");
        const QString second = Write("second.sgf", "(;FF[4];B[dd];W[pp])");
        m_main->LoadGame(first);
        m_main->LoadGame(second);
        QCOMPARE(m_saveQuestions, 0);
        QCOMPARE(m_main->CurrentFile(), second);

        PlayOneMove("K10");
        QVERIFY(Control().Modified());
        m_saveAnswer = QDialog::Rejected;
        m_main->LoadGame(first);
        m_main->ClearBoardCommand();
        QCOMPARE(m_saveQuestions, 2);
        QCOMPARE(m_main->CurrentFile(), second);  // nothing replaced
        QCOMPARE(Stone("K10"), 1);
        m_main->close();
        QVERIFY(m_main->isVisible());

        m_saveAnswer = QDialog::Accepted;  // save: written to the file it came from
        m_main->LoadGame(first);
        QVERIFY(Contents(second).contains("[jj]"));
        QCOMPARE(m_main->CurrentFile(), first);

        PlayOneMove("C3");
        m_saveAnswer = SaveChangesDiscard;
        m_main->LoadGame(second);
        QVERIFY(!Contents(first).contains("[cq]"));
        QCOMPARE(m_main->CurrentFile(), second);
    }

    // Ctrl+S on a game that has no file opens "Save as"; afterwards Save writes that file. A
    // file deleted meanwhile is written again at its place.
    void savingANewGameAsksForAName() {
        PlayOneMove("D4");
        m_saveAsName = m_files.filePath("new.sgf");
        QTest::keySequence(m_main.get(), QKeySequence::Save);
        QCOMPARE(m_saveDialogs, 1);
        QVERIFY(Contents(m_saveAsName).contains(";B[dp]"));
        QCOMPARE(m_main->CurrentFile(), m_saveAsName);
        QVERIFY(!Control().Modified());

        QFile::remove(m_saveAsName);
        PlayOneMove("Q16");
        m_main->SaveGame();
        QCOMPARE(m_saveDialogs, 1);
        QVERIFY(Contents(m_saveAsName).contains("[pd]"));
    }

    // A comment typed for one node is kept when the user moves on to another one.
    void aTypedCommentIsKeptWhenMovingOn() {
        m_main->LoadGame(Write("c.sgf", "(;FF[4];B[pd];W[dd])"));
        Control().StepForward();
        QCOMPARE(SelectedMove(), std::string("pd"));
        TSgfTreeItem* commented = Tree().Selected();
        Control().MemoComments->setPlainText(QStringLiteral("a good move"));
        Control().StepForward();
        QCOMPARE(SelectedMove(), std::string("dd"));
        QCOMPARE(Tree().GetPropertyValue(commented, "C"), std::string("a good move"));
        QVERIFY(Control().Modified());
        QCOMPARE(Stones({"Q16", "D16"}), QStringLiteral("XO"));  // storing replayed nothing
        Control().StepBack();
        QCOMPARE(Control().MemoComments->toPlainText(), QStringLiteral("a good move"));
    }

    // Opening a record while a game runs ends the game first, then opens the record.
    void openingDuringAGameStopsItFirst() {
        const QString file = Write("during.sgf", "(;FF[4]AB[aa])");
        m_main->Host().StartDialog = [](int, TGameState&) { return true; };
        bool asked = false;
        QTimer::singleShot(20, m_main.get(), [&] {
            asked = Control().BitBtnPassen->isEnabled();
            m_main->LoadGame(file);
        });
        m_main->PlayHumanHuman();
        QVERIFY(asked);
        QCOMPARE(m_main->Board().GetState(), bsLocked);
        QTRY_COMPARE(m_main->CurrentFile(), file);
        QCOMPARE(Stone("A19"), 1);
        QCOMPARE(Control().Layout(), TControlLayout::Editing);
    }

    // After Clear board the next game is a record of its own, not a variation of the last.
    void clearBoardStartsANewRecord() {
        m_main->LoadGame(Write("old.sgf", "(;FF[4];B[pd];W[dd])"));
        Control().SelectLast();
        m_main->ClearBoardCommand();
        QVERIFY(m_main->CurrentFile().isEmpty());
        QVERIFY(Tree().Items().empty());
        PlayOneMove("K10");
        QCOMPARE(test::RecordedMoves(*m_main), QStringList{"B[jj]"});
        QCOMPARE(Tree().Items().size(), size_t(1));
        QVERIFY(Tree().SaveToString().find("[pd]") == std::string::npos);
    }

    // A game started at a variation item goes on from the position the item shows.
    void aGameStartedAtAVariationItemGoesOnFromItsBranch() {
        m_main->LoadGame(Write("v.sgf", "(;FF[4];B[pd](;W[dd])(;W[dp]))"));
        SelectFirstVariation(Tree().Items()[0].get());
        QCOMPARE(Stone("Q16"), 1);
        PlayOneMove("K10");
        QCOMPARE(Stones({"Q16", "K10"}), QStringLiteral("XX"));
        QStringList line;
        for (TSgfTreeItem* node : LineOfPlay(Tree().Selected()))
            for (const char* id : {"B", "W"})
                if (!Tree().GetPropertyValue(node, id).empty())
                    line << QString::fromStdString(Tree().GetPropertyValue(node, id));
        QCOMPARE(line, (QStringList{"pd", "jj"}));
    }

    // The board window steps through the record with the keys and the wheel; loading shows
    // the first node at once; a variation item shows the position it branches from; the mark
    // is on the last move only when the node holds one.
    void reviewingFromTheBoardWindow() {
        TEngine& e = Engine();
        e.Game.MenschZugX = e.Game.MenschZugY = 5;  // a mark left from before
        Control().MemoInference->setPlainText(QStringLiteral("play K10"));
        m_main->LoadGame(Write("r.sgf", "(;FF[4]AB[jj];B[pd];W[dd](;B[pp];W[dp])(;B[qq]))"));
        QCOMPARE(Stone("K10"), 1);  // the root's setup stone, at once
        QCOMPARE(e.Game.MenschZugX, -1);
        QVERIFY(Control().MemoInference->toPlainText().isEmpty());
        Key(Qt::Key_Right);
        QCOMPARE(SelectedMove(), std::string("pd"));
        QCOMPARE((TPoint{e.Game.MenschZugX, e.Game.MenschZugY}), At("Q16"));
        Wheel(-120);  // towards the user: forward
        QCOMPARE(SelectedMove(), std::string("dd"));
        Key(Qt::Key_End);
        QCOMPARE(SelectedMove(), std::string("dp"));
        Wheel(120);
        QCOMPARE(SelectedMove(), std::string("pp"));
        Key(Qt::Key_Home);
        QCOMPARE(Tree().GetPropertyValue(Tree().Selected(), "AB"), std::string("jj"));
        QCOMPARE(Stone("Q16"), 0);
        QCOMPARE(e.Game.MenschZugX, -1);

        // The variation item of B[qq]: the position after W[dd].
        TSgfTreeItem* game = Tree().Items()[0].get();
        SelectFirstVariation(game);
        QCOMPARE(Stones({"K10", "Q16", "D16", "Q4"}), QStringLiteral("XXO."));

        // Move numbers from the View menu, on the stones of the line shown.
        Key(Qt::Key_Home);
        Key(Qt::Key_End);
        m_main->MoveNumbersAction()->setChecked(true);
        const auto& numbers = m_main->Board().View()->MoveNumbers();
        QVERIFY(numbers.has_value());
        QCOMPARE((*numbers)[PointIndex(At("Q16").X, At("Q16").Y)], 1);
        QCOMPARE((*numbers)[PointIndex(At("D4").X, At("D4").Y)], 4);
        QCOMPARE((*numbers)[PointIndex(At("K10").X, At("K10").Y)], 0);  // a setup stone
        m_main->MoveNumbersAction()->setChecked(false);
        QVERIFY(!m_main->Board().View()->MoveNumbers().has_value());

        // Rotating leaves no mark on a point that now means something else.
        m_main->RotateCommand();
        QCOMPARE(e.Game.MenschZugX, -1);
    }
};

}  // namespace obrin::gui

OBRIN_GUI_TEST(FormRecordKeeping_test, obrin::gui::TFormRecordKeepingTest);
#include "FormRecordKeeping_test.moc"
