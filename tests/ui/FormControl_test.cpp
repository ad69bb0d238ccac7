// The game-control window over the record tree: loading, labels, images, numbering, replay,
// comments, game information, saving, and what damaged files do.
#include "ui/FormControl.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include "records/FormGameData.h"
#include "records/FormSgfTree.h"
#include "support/gui_test.h"
#include "ui/FormBoard.h"

namespace obrin::gui {

class TFormControlTest : public QObject {
    Q_OBJECT

    IHost m_host;
    std::unique_ptr<TEngine> m_engine;
    std::unique_ptr<TUi> m_ui;
    std::unique_ptr<TFormBoard> m_board;
    std::unique_ptr<TFormControl> m_control;
    QTemporaryDir m_dir;
    QStringList m_messages;
    QList<QDialog*> m_shown;

    QString Write(const char* name, const QByteArray& sgf) {
        return test::WriteTestFile(m_dir, name, sgf);
    }
    TSgfTreeModel& Tree() { return m_control->Tree(); }
    QStringList Labels(const TSgfTreeItem* parent) {
        QStringList labels;
        const auto& items = parent != nullptr ? parent->Children() : Tree().Items();
        for (const auto& i : items) labels << QString::fromStdString(i->Label);
        return labels;
    }
    QList<int> Images(const TSgfTreeItem* parent) {
        QList<int> images;
        for (const auto& i : parent->Children()) images << Tree().ImageIndexOf(i.get());
        return images;
    }
    TSgfTreeItem* Child(const TSgfTreeItem* parent, int i) {
        return parent->Children()[size_t(i)].get();
    }
    // Selects an item as a click in the tree does.
    void Click(TSgfTreeItem* item) {
        m_control->SgfTreeView->setCurrentItem(m_control->SgfTreeView->WidgetItem(item));
    }
    int Stone(const char* sgfPoint) {
        const TPoint p = TRecordReplay::PointOfValue(sgfPoint);
        return GetPoint(m_engine->Fields.Spielfeld, p.X, p.Y);
    }

  private slots:
    void init() {
        m_engine = std::make_unique<TEngine>(m_host);
        m_ui = std::make_unique<TUi>();
        m_messages.clear();
        m_shown.clear();
        m_ui->Dialogs.Message = [this](QWidget*, const QString& t) { m_messages << t; };
        m_ui->Dialogs.Exec = [this](QDialog* d) {
            m_shown << d;
            return int(QDialog::Accepted);
        };
        m_board = std::make_unique<TFormBoard>(*m_engine, *m_ui);
        m_control = std::make_unique<TFormControl>(*m_engine, *m_ui, *m_board);
        m_control->show();
    }
    void cleanup() {
        m_control.reset();
        m_board.reset();
    }

    void leftAndRightStepAlongTheLineOfPlay() {
        QVERIFY(m_control->LoadFile(
            Write("keys.sgf", "(;FF[4]GN[Keys];B[pd];W[dp](;B[pp];W[dd])(;B[dc];W[cc]))")));
        TSgfTreeItem* game = Tree().Items()[0].get();
        TSgfTreeItem* variation = Child(game, 3);
        QCOMPARE(Labels(game), (QStringList{"Information", "1", "2", "V", "3", "4"}));
        QCOMPARE(Images(game), (QList<int>{1, 2, 3, 1, 2, 3}));
        QCOMPARE(m_control->SgfTreeView->WidgetItem(game)->child(4)->text(0), QStringLiteral("3"));
        auto key = [this](Qt::Key k) { QTest::keyClick(m_control->SgfTreeView, k); };
        Click(Child(game, 2));
        key(Qt::Key_Right);  // over the variation item to the main line's next move
        QCOMPARE(Tree().Selected(), Child(game, 4));
        QCOMPARE(Stone("pp"), 1);
        key(Qt::Key_Right);
        key(Qt::Key_Right);  // the end of the line: nothing further
        QCOMPARE(Tree().Selected(), Child(game, 5));
        QCOMPARE(Stone("dd"), -1);
        key(Qt::Key_Left);
        key(Qt::Key_Left);  // back over the variation item as well
        QCOMPARE(Tree().Selected(), Child(game, 2));
        QCOMPARE(Stone("pp"), 0);
        QCOMPARE(Stone("dp"), -1);
        // Inside a variation: back leaves it at the move it branches from, forward stays in it.
        Click(Child(variation, 0));
        QCOMPARE(Stone("dc"), 1);
        key(Qt::Key_Right);
        QCOMPARE(Tree().Selected(), Child(variation, 1));
        QCOMPARE(Stone("cc"), -1);
        key(Qt::Key_Left);
        key(Qt::Key_Left);
        QCOMPARE(Tree().Selected(), Child(game, 2));
        QCOMPARE(Stone("dc"), 0);
        // Before the first move lies the empty board of the game item; from there right starts.
        key(Qt::Key_Left);
        key(Qt::Key_Left);
        key(Qt::Key_Left);
        QCOMPARE(Tree().Selected(), game);
        QVERIFY(BoardIsEmpty(m_engine->Fields.Spielfeld));
        key(Qt::Key_Right);
        QCOMPARE(Tree().Selected(), Child(game, 0));
        key(Qt::Key_End);  // Home and End still go to the first and last item shown
        key(Qt::Key_Home);
        QCOMPARE(Tree().Selected(), game);
    }

    void gameInformationTodayFillsTheDateAndCancelWritesNothing() {
        QVERIFY(m_control->LoadFile(Write("t.sgf", "(;PB[Old]DT[1999-01-02];B[aa])")));
        const TSgfTreeItem* game = Tree().Items()[0].get();
        Click(Child(game, 1));
        const std::string before = Tree().SaveToString();
        QString shownDate;
        m_ui->Dialogs.Exec = [&](QDialog* d) {
            auto* dialog = qobject_cast<TFormGameData*>(d);
            d->show();
            for (QPushButton* b : d->findChildren<QPushButton*>())
                if (b->text() == QStringLiteral("Heute")) b->click();
            shownDate = dialog->Edit(QStringLiteral("DT"))->text();
            QLineEdit* black = dialog->Edit(QStringLiteral("PB"));
            black->setFocus();
            black->setText(QStringLiteral("New"));
            dialog->Comment()->setPlainText(QStringLiteral("changed"));
            QTest::keyClick(black, Qt::Key_Escape);  // the dialog's cancel
            return d->result();
        };
        m_control->MemoComments->setPlainText(QStringLiteral("typed, not stored yet"));
        const QDate day = QDate::currentDate();
        m_control->BitBtnInfo->click();
        QVERIFY(shownDate == day.toString(QStringLiteral("yyyy-MM-dd")) ||
                shownDate == QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd")));
        QCOMPARE(Tree().SaveToString(), before);
        QCOMPARE(m_engine->GameData.PB, std::string("Old"));
        QCOMPARE(m_engine->GameData.DT, std::string("1999-01-02"));
        QCOMPARE(Tree().Selected(), Child(game, 1));
        QCOMPARE(m_control->MemoComments->toPlainText(), QStringLiteral("typed, not stored yet"));
        QVERIFY(m_control->ButtonMemoStore->isEnabled());
    }

    void unreadableFileIsNamedInAMessage() {
        const QString missing = m_dir.filePath(QStringLiteral("missing.sgf"));
        QVERIFY(!m_control->LoadFile(missing));
        QCOMPARE(m_messages.size(), 1);
        QVERIFY(m_messages[0].contains(QStringLiteral("missing.sgf")));
    }

    void editingButtonsAddAndRemoveItems() {
        QVERIFY(m_control->LoadFile(Write("e.sgf", "(;B[aa];W[bb])")));
        TSgfTreeItem* game = Tree().Items()[0].get();
        Click(Child(game, 1));
        m_control->InsertVariant();
        QCOMPARE(Labels(game), (QStringList{"1", "Variante", "2"}));
        QCOMPARE(Tree().Selected(), Child(game, 1));
        m_control->InsertNode();
        QCOMPARE(Labels(game), (QStringList{"1", "V", "Variante", "2"}));
        m_control->DeleteSelected();
        QCOMPARE(Labels(game), (QStringList{"1", "V", "2"}));
        Click(Child(game, 0));
        m_control->AddChild();
        QVERIFY(Labels(Child(game, 0)).first().startsWith(QStringLiteral("Test ")));
        m_control->ClearRecord();
        QVERIFY(Tree().Items().empty());
    }

    // The record's bytes as saved now.
    QByteArray Saved() {
        const QString copy = m_dir.filePath(QStringLiteral("saved-now.sgf"));
        [&] { QVERIFY(m_control->SaveFile(copy)); }();
        QFile f(copy);
        [&] { QVERIFY(f.open(QIODevice::ReadOnly)); }();
        return f.readAll();
    }
    // The game-information dialog answered with its OK button.
    void PressOkInGameInformation() {
        m_ui->Dialogs.Exec = [](QDialog* d) {
            for (QPushButton* b : d->findChildren<QPushButton*>())
                if (b->text() == QStringLiteral("OK")) b->click();
            return d->result();
        };
        m_control->BitBtnInfo->click();
    }

    void latin1RecordsAreShownAsTextAndKeepTheirBytes() {
        QVERIFY(m_control->LoadFile(
            Write("l.sgf", "(;FF[4]CA[ISO-8859-1]PB[M\xfcller]C[Gr\xfc\xdf];B[aa])")));
        TSgfTreeItem* game = Tree().Items()[0].get();
        Click(Child(game, 0));
        QCOMPARE(m_control->MemoComments->toPlainText(), QString::fromUtf8("Gr\u00fc\u00df"));
        QVERIFY(m_control->Memo2->toPlainText().contains(QString::fromUtf8("PB: M\u00fcller")));
        TFormGameData dialog(m_engine->GameData, Tree(), *m_ui);
        QCOMPARE(dialog.Edit(QStringLiteral("PB"))->text(), QString::fromUtf8("M\u00fcller"));
        PressOkInGameInformation();
        QVERIFY(Saved().contains("PB[M\xfcller]"));
        // A stored comment with a character Latin-1 lacks turns the record into UTF-8.
        m_control->MemoComments->setPlainText(QString::fromUtf8("5 \u20ac"));
        m_control->ButtonMemoStore->click();
        const QByteArray saved = Saved();
        QVERIFY2(saved.contains("C[5 \xe2\x82\xac]"), saved.constData());
        QVERIFY(saved.contains("PB[M\xc3\xbcller]"));
        QVERIFY(saved.contains("CA[UTF-8]"));
        QVERIFY(!saved.contains("\xef\xbf\xbd"));  // no replacement character anywhere
    }

    void aLoadForgetsThePreviousGameInformation() {
        QVERIFY(m_control->LoadFile(Write("a.sgf", "(;PB[Alice]PW[Bob]RE[B+R];B[aa])")));
        Click(Child(Tree().Items()[0].get(), 1));
        QVERIFY(m_control->LoadFile(Write("b.sgf", "(;FF[4];B[cc])")));
        Click(Child(Tree().Items()[0].get(), 1));
        PressOkInGameInformation();
        const QByteArray saved = Saved();
        QVERIFY2(!saved.contains("Alice") && !saved.contains("Bob") && !saved.contains("RE["),
                 saved.constData());
    }

    void addPropertyTakesOnlyCapitalLetters() {
        QVERIFY(m_control->LoadFile(Write("p.sgf", "(;B[aa])")));
        Click(Child(Tree().Items()[0].get(), 0));
        const QByteArray before = Saved();
        for (const char* bad : {"XX)(;", "Comment", "", "B1", "C[x]"}) {
            m_messages.clear();
            m_control->EditPropertyName->setText(QString::fromLatin1(bad));
            m_control->ButtonAddProperty->click();
            QCOMPARE(m_messages.size(), 1);
            QCOMPARE(Saved(), before);
        }
        m_control->EditPropertyName->setText(QStringLiteral("GC"));
        m_control->ButtonAddProperty->click();
        QVERIFY(Saved().contains("GC[Test]"));
    }

    void arrowKeysStepTheTreeButMoveTheCaretInTheComment() {
        QVERIFY(m_control->LoadFile(Write("k.sgf", "(;B[aa];W[bb];B[cc];W[dd])")));
        TSgfTreeItem* game = Tree().Items()[0].get();
        Click(Child(game, 1));
        m_control->MemoComments->setPlainText(QStringLiteral("one\ntwo"));
        m_control->MemoComments->setFocus();
        QTest::keyClick(m_control->MemoComments, Qt::Key_Up);
        QCOMPARE(Tree().Selected(), Child(game, 1));
        QTest::keyClick(m_control->MemoComments, Qt::Key_Down, Qt::AltModifier);
        QCOMPARE(Tree().Selected(), Child(game, 2));
        QTest::keyClick(m_control->Memo2, Qt::Key_Down);
        QCOMPARE(Tree().Selected(), Child(game, 3));
        QTest::keyClick(m_control->ButtonDelete, Qt::Key_Up);
        QCOMPARE(Tree().Selected(), Child(game, 2));
    }

    void aGameStartedOnANineByNineRecordIsRecordedAsANewGame() {
        QVERIFY(m_control->LoadFile(Write("nine.sgf", "(;FF[4]SZ[9];B[ii])")));
        Click(Child(Tree().Items()[0].get(), 1));
        m_control->StartRecord(TGameKind::HumanHuman);
        Tree().RecordMove(3, 3, 1);
        QCOMPARE(Tree().Items().size(), size_t(2));
        const QByteArray saved = Saved();
        const qsizetype second = saved.indexOf("SZ[19]");  // the new game's
        QVERIFY2(second > 0, saved.constData());
        QVERIFY2(!saved.left(second).contains("dp"), saved.constData());  // the 9x9 game as it was
        QVERIFY2(saved.mid(second).contains(";B[dp]"), saved.constData());
    }

    void theReasoningPaneOffersTheGoalTreeOfTheLastMove() {
        std::unique_ptr<QMenu> menu(m_control->InferenceMenu());
        QAction* goalTree = nullptr;
        for (QAction* a : menu->actions())
            if (a->text() == QStringLiteral("&Zielbaum des letzten Zuges")) goalTree = a;
        QVERIFY(goalTree != nullptr);
        QVERIFY(menu->actions().size() > 2);  // the pane's own entries stay
        goalTree->trigger();
        QCOMPARE(
            m_messages,
            QStringList{QStringLiteral("Noch kein Computerzug: es gibt noch keinen Zielbaum.")});
        QVERIFY(m_shown.isEmpty());

        m_engine->LastGoalTree = {"BESETZEN 60", "  FANGEN 3", "    GEWINNEN"};
        QString shown;
        m_ui->Dialogs.Exec = [&shown](QDialog* d) {
            shown = d->findChild<QPlainTextEdit*>()->toPlainText();
            return int(QDialog::Accepted);
        };
        goalTree->trigger();
        QCOMPARE(shown, QStringLiteral("BESETZEN 60\n  FANGEN 3\n    GEWINNEN"));
        QCOMPARE(m_messages.size(), 1);
    }
};

}  // namespace obrin::gui

OBRIN_GUI_TEST(FormControl_test, obrin::gui::TFormControlTest);
#include "FormControl_test.moc"
