// The goal browser: the outline of goal names and the goals they serve, the tally grid beside
// it, the edit box, and the message for a line that names no goal.
#include "goals/FormBrowser.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QTreeWidget>

#include "goals/goals.h"
#include "support/gui_test.h"
#include "support/named_goal.h"

namespace obrin::gui {

namespace {

using test::TNamedGoal;

QStringList TopLines(const QTreeWidget* outline) {
    QStringList lines;
    for (int i = 0; i < outline->topLevelItemCount(); ++i)
        lines << outline->topLevelItem(i)->text(0);
    return lines;
}

QStringList Children(const QTreeWidgetItem* item) {
    QStringList lines;
    for (int i = 0; i < item->childCount(); ++i) lines << item->child(i)->text(0);
    return lines;
}

}  // namespace

class TFormBrowserTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TUi> m_ui;
    std::unique_ptr<TRuleManager> m_manager;
    std::unique_ptr<TFormBrowser> m_browser;
    QStringList m_messages;

    TGoal& Goal(const char* name) { return m_manager->CreateGoal<TNamedGoal>(name); }
    QTreeWidgetItem* Line(const char* text) {
        return m_browser->FindLine(QString::fromLatin1(text));
    }
    // The grid as the user reads it: "count name" per row, the empty last row as "".
    QStringList Grid() {
        QStringList rows;
        const QTableWidget* g = m_browser->StringGrid;
        for (int r = 0; r < g->rowCount(); ++r)
            rows << (g->item(r, 2)->text() + QLatin1Char(' ') + g->item(r, 3)->text()).trimmed();
        return rows;
    }

  private slots:
    void init() {
        m_ui = std::make_unique<TUi>();
        m_messages.clear();
        m_ui->Dialogs.Message = [this](QWidget*, const QString& text) { m_messages << text; };
        m_manager = std::make_unique<TRuleManager>();
        // One move's goals: a point that serves two purposes, which serve the game.
        TGoal& win = Goal("GEWINNEN");
        TGoal& save = Goal("RETTEN 7");
        TGoal& capture = Goal("FANGEN 3");
        TGoal& point = Goal("BESETZEN 60");
        m_manager->LinkGoal(save, win);
        m_manager->LinkGoal(capture, win);
        m_manager->LinkGoal(point, save);
        m_manager->LinkGoal(point, capture);
        m_browser = std::make_unique<TFormBrowser>(*m_ui);
        m_browser->Manager = m_manager.get();
        m_browser->show();
    }
    void cleanup() {
        m_browser.reset();
        m_manager.reset();
    }

    void showsEveryGoalAndExpandsToTheGoalsItServes() {
        QCOMPARE(TopLines(m_browser->Outline),
                 (QStringList{"BESETZEN 60", "FANGEN 3", "RETTEN 7", "GEWINNEN"}));
        QCOMPARE(Grid(), QStringList{QString()});  // the empty row for the next name
        QCOMPARE(m_browser->LabelGoals->text(), QStringLiteral("4 Ziele des letzten Computerzugs"));

        Line("BESETZEN 60")->setExpanded(true);
        QCOMPARE(Children(Line("BESETZEN 60")), (QStringList{"FANGEN 3", "RETTEN 7"}));
        QCOMPARE(Grid(), (QStringList{"1 BESETZEN 60", "1 FANGEN 3", "1 RETTEN 7", ""}));
        // Up the chain of purposes: both lead to the game, which is shown twice and so rises
        // above the point shown once.
        Line("BESETZEN 60")->child(0)->setExpanded(true);
        Line("BESETZEN 60")->child(1)->setExpanded(true);
        QCOMPARE(Children(Line("BESETZEN 60")->child(1)), QStringList{"GEWINNEN"});
        QCOMPARE(Grid(),
                 (QStringList{"2 FANGEN 3", "2 RETTEN 7", "2 GEWINNEN", "1 BESETZEN 60", ""}));

        // A goal that serves nothing: no children, but counted.
        QTreeWidgetItem* top = m_browser->Outline->topLevelItem(3);
        top->setExpanded(true);
        QCOMPARE(top->childCount(), 0);
        QCOMPARE(m_browser->Tally().CountOf("GEWINNEN"), 3);

        // Collapsed, the children go; expanded again, they come back and are counted again.
        Line("BESETZEN 60")->setExpanded(false);
        QCOMPARE(Line("BESETZEN 60")->childCount(), 0);
        Line("BESETZEN 60")->setExpanded(true);
        QCOMPARE(Children(Line("BESETZEN 60")), (QStringList{"FANGEN 3", "RETTEN 7"}));
        QCOMPARE(m_browser->Tally().CountOf("RETTEN 7"), 3);
        QCOMPARE(m_browser->Tally().CountOf("BESETZEN 60"), 2);
        QVERIFY(m_messages.isEmpty());
    }

    void aNameThatIsNoGoalGetsAMessageAndNoChildren() {
        // Typed names are upper case and have no blanks.
        QTest::keyClicks(m_browser->EditSymbol, QStringLiteral("fangen 9"));
        QCOMPARE(m_browser->EditSymbol->text(), QStringLiteral("FANGEN9"));
        QTest::keyClick(m_browser->EditSymbol, Qt::Key_Return);  // the default button
        QCOMPARE(TopLines(m_browser->Outline).last(), QStringLiteral("FANGEN9"));
        QVERIFY(m_browser->EditSymbol->text().isEmpty());
        QCOMPARE(Grid(), (QStringList{"1 FANGEN9", ""}));
        // Blanks alone add nothing.
        m_browser->ButtonAddClick();
        QCOMPARE(m_browser->Outline->topLevelItemCount(), 5);

        QTreeWidgetItem* typed = Line("FANGEN9");
        typed->setExpanded(true);
        QCOMPARE(m_messages, QStringList{QStringLiteral("Goal <FANGEN9> not published")});
        QCOMPARE(typed->childCount(), 0);
        QVERIFY(!typed->isExpanded());
        QCOMPARE(Grid(), (QStringList{"2 FANGEN9", ""}));  // counted all the same
        // The window goes on working.
        Line("RETTEN 7")->setExpanded(true);
        QCOMPARE(Children(Line("RETTEN 7")), QStringList{"GEWINNEN"});
    }

    void gridClicksChangeCountsAndInitEmptiesTheTally() {
        Line("BESETZEN 60")->setExpanded(true);
        QCOMPARE(Grid(), (QStringList{"1 BESETZEN 60", "1 FANGEN 3", "1 RETTEN 7", ""}));
        m_browser->StringGridClick(2, 0);
        m_browser->StringGridClick(1, 1);
        m_browser->StringGridClick(1, 1);
        m_browser->StringGridClick(1, 3);  // the name: nothing
        m_browser->StringGridClick(3, 0);  // the empty row: nothing
        QCOMPARE(Grid(), (QStringList{"1 BESETZEN 60", "-1 FANGEN 3", "2 RETTEN 7", ""}));
        // The next sort orders the clicked counts too.
        Line("RETTEN 7")->setExpanded(true);
        QCOMPARE(Grid(),
                 (QStringList{"3 RETTEN 7", "1 BESETZEN 60", "1 GEWINNEN", "-1 FANGEN 3", ""}));
        // "Init" empties the grid; "Cluster" has nothing behind it.
        m_browser->ButtonInit->click();
        QCOMPARE(Grid(), QStringList{QString()});
        QVERIFY(!m_browser->BitBtn1->isEnabled());
        m_browser->ButtonExit->click();
        QVERIFY(!m_browser->isVisible());
    }
};

}  // namespace obrin::gui

OBRIN_GUI_TEST(FormBrowser_test, obrin::gui::TFormBrowserTest);
#include "FormBrowser_test.moc"
