// The analysis tools of "I&nterna": each opens from the menu only with "/qx", shows what its
// engine part computes for a fixed position, takes points from the board and closes cleanly;
// training stops when asked.
#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QStatusBar>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <filesystem>

#include "analysis/FormFeldanzeige.h"
#include "analysis/FormGebiet.h"
#include "analysis/FormKlassifizierung.h"
#include "analysis/datafiles.h"
#include "analysis/graph.h"
#include "analysis/grpstat.h"
#include "analysis/klassi.h"
#include "analysis/territory.h"
#include "goals/FormBrowser.h"
#include "goals/goals.h"
#include "support/diagram.h"
#include "support/gui_main.h"
#include "support/gui_test.h"
#include "support/named_goal.h"
#include "tactics/FormBruteForce.h"
#include "tactics/reading.h"
#include "ui/FormBoard.h"
#include "ui/FormGoMain.h"
#include "ui/FormHost.h"

namespace obrin::gui {

namespace {

using test::At;

// A few stones of an opening, and a white stone in a ladder on the centre point.
const char* const kPosition = "X Q16 K11 J10 L9 D4 O D16 K10 Q4";

// The white stone B18 in a ko mouth: Black takes it at C18.
const char* const kKoMouth = R"(
    .XO.
    XO.O
    .XO.)";

}  // namespace

class TFormAnalysisTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TUi> m_ui;
    std::unique_ptr<TUserInterface> m_userInterface;
    std::unique_ptr<TFormGoMain> m_main;
    QStringList m_messages;

    TEngine& Engine() { return m_main->Engine(); }
    void Click(const char* point) { test::ClickPoint(*m_main, At(point)); }
    void Hover(const char* point) {
        QTest::mouseMove(m_main->Board().View(), test::PixelOf(*m_main, At(point)));
    }
    QAction* InternaAction(const char* text) {
        for (QAction* a : m_main->InternaMenu()->actions())
            if (a->text() == QString::fromUtf8(text)) return a;
        return nullptr;
    }
    // Clicks button after ms milliseconds, from the event loop of a running loop.
    void ClickLater(QPushButton* button, int ms) {
        QTimer::singleShot(ms, button, [button] { button->click(); });
    }

  private slots:
    void init() {
        m_ui = std::make_unique<TUi>();
        m_messages.clear();
        m_ui->Dialogs.Message = [this](QWidget*, const QString& text) { m_messages << text; };
        m_ui->Dialogs.Question = [](QWidget*, const QString&) { return true; };
        m_ui->Dialogs.Exec = [](QDialog*) { return int(QDialog::Accepted); };
        m_userInterface = std::make_unique<TUserInterface>(TFileLocations::FromEnvironment());
        m_main = std::make_unique<TFormGoMain>(*m_ui, *m_userInterface,
                                               QStringList{QStringLiteral("/qx")});
        QVERIFY(test::ShowMainWindow(*m_main, 1200, 800));
        Engine().Clock.SetDeterministic(true);
        Engine().Random.SetFixedSeed(7);
        Engine().Fields.Spielfeld = test::FromPoints(kPosition);
    }
    void cleanup() { m_main.reset(); }

    void toolsOpenFromTheMenuAndClassificationModeEndsWithTheLastOne() {
        const std::pair<const char*, const char*> tools[] = {
            {"Feld-&Inspektor", "FormFeldanzeige"},
            {"Punkte &klassifizieren", "FormKlassifizierung"},
            {"&Gebietsbewertung", "FormGebiet"},
            {"&Brute Force", "FormBruteForce"}};
        QList<QWidget*> opened;
        for (const auto& [entry, name] : tools) {
            QAction* a = InternaAction(entry);
            QVERIFY2(a != nullptr, entry);
            a->trigger();
            auto* w = m_main->findChild<QWidget*>(QString::fromLatin1(name));
            QVERIFY2(w != nullptr && w->isVisible(), name);
            QVERIFY(m_main->WindowOf(w) != nullptr);
            opened << w;
        }
        QCOMPARE(m_main->Board().GetState(), bsClassify);
        // Opening the tools analysed the position: its territory values are current.
        QVERIFY(Engine().Territory.EvaluatedFor(Engine().Fields.Spielfeld));
        // Closing through the frame's close button hides the tool; the board leaves
        // classification mode when the last tool that takes points is gone.
        for (QWidget* w : opened) {
            QVERIFY(m_main->WindowOf(w)->close());
            QVERIFY(!w->isVisible());
        }
        QTRY_COMPARE(m_main->Board().GetState(), bsLocked);
        // Opened again, the same windows come back.
        InternaAction("&Brute Force")->trigger();
        QVERIFY(opened.last()->isVisible());
        QCOMPARE(m_main->Board().GetState(), bsClassify);
    }

    void goalBrowserOpensModallyOverTheEnginesGoals() {
        Engine().RuleManager->CreateGoal<test::TNamedGoal>("RETTEN 180");
        Engine().RuleManager->CreateGoal<test::TNamedGoal>("BESETZEN 181");
        QStringList lines;
        TRuleManager* browsed = nullptr;
        m_ui->Dialogs.Exec = [&](QDialog* d) {
            auto* browser = qobject_cast<TFormBrowser*>(d);
            if (browser == nullptr) return int(QDialog::Rejected);
            browsed = browser->Manager;
            browser->show();
            for (int i = 0; i < browser->Outline->topLevelItemCount(); ++i)
                lines << browser->Outline->topLevelItem(i)->text(0);
            return int(QDialog::Accepted);
        };
        QAction* entry = InternaAction("&Ziel-Browser");
        QVERIFY(entry->isEnabled());
        entry->trigger();
        QCOMPARE(browsed, Engine().RuleManager.get());
        // The permanent goals of the engine's manager follow the two new ones.
        QCOMPARE(lines, (QStringList{"BESETZEN 181", "RETTEN 180", "GEBIET-EROBERN", "NEUTRALZUG",
                                     "VERZICHTEN"}));
        // Shown modally and gone afterwards.
        QVERIFY(m_main->findChild<TFormBrowser*>() == nullptr);
        QVERIFY(m_messages.isEmpty());
    }

    void bruteForceAsksTheReaderAndShowsKoResultsAsSuch() {
        TFormBruteForce& brute = m_main->ShowBruteForce();
        Click("K10");
        QCOMPARE(brute.EditName->text(), QStringLiteral("K10"));
        brute.ButtonFangen->click();
        TEngine& e = Engine();
        const TReadingAnswer ladder =
            ReadAttack(e.Reader, 9, 9, -1, -1, e.Fields.Spielfeld, e.Reader.NowMs() + 10000);
        QCOMPARE(ladder.Result, FightSuccess);
        QCOMPARE(brute.LabelErgebnis->text(), QStringLiteral("Ja"));
        QCOMPARE(brute.LabelOrt->text(),
                 QString::fromStdString(PointText(ladder.Move.X, ladder.Move.Y)));
        QVERIFY(brute.LabelKo->text().isEmpty());
        QVERIFY(brute.ButtonFangen->isEnabled());
        QVERIFY(!brute.ButtonStop->isEnabled());

        // The ko mouth: a success that hangs on the ko, in both kinds.
        e.Fields.Spielfeld = test::FromDiagram(kKoMouth);
        Click("B18");
        brute.ButtonFangen->click();
        QCOMPARE(brute.LabelErgebnis->text(), QStringLiteral("Ja, über Ko"));
        QCOMPARE(brute.LabelOrt->text(), QStringLiteral("C18"));
        QCOMPARE(brute.LabelKo->text(),
                 QStringLiteral("Ko: gelingt, wenn dieser Zug den Ko zuerst nimmt."));
        e.Fields.KoX = 2;  // C18 is banned: Black needs a ko threat
        e.Fields.KoY = 17;
        brute.ButtonFangen->click();
        QCOMPARE(brute.LabelErgebnis->text(), QStringLiteral("Ja, über Ko"));
        QCOMPARE(brute.LabelKo->text(),
                 QStringLiteral("Ko: gelingt nur mit einer Ko-Drohung zuvor."));
        e.Fields.KoX = e.Fields.KoY = -1;

        // A time limit that is no number is put back to the default.
        brute.EditTime->setText(QStringLiteral("viel"));
        brute.ButtonFangen->click();
        QCOMPARE(brute.EditTime->text(), QStringLiteral("10000"));
        // The position was never touched.
        QCOMPARE(GetPoint(e.Fields.Spielfeld, 0, 17), 1);
    }

    void bruteForceStopsWhenAskedAndClosesAfterItsReading() {
        TFormBruteForce& brute = m_main->ShowBruteForce();
        Click("K10");
        // The press of "Sto&p" reaches the window while it reads.
        QTimer::singleShot(0, brute.ButtonStop, [&brute] { brute.ButtonStop->click(); });
        brute.ButtonFangen->click();
        QCOMPARE(brute.LabelErgebnis->text(), QStringLiteral("Abgebrochen"));
        QVERIFY(!brute.Reading());
        QVERIFY(brute.ButtonFangen->isEnabled());
        // Closed while it reads: the reading stops, then the window goes.
        QTimer::singleShot(0, brute.ButtonEnde, [&brute] { brute.ButtonEnde->click(); });
        brute.ButtonRetten->click();
        QVERIFY(!brute.Reading());
        QVERIFY(!brute.isVisible());
        QVERIFY(!m_main->WindowOf(&brute)->isVisible());  // the frame goes with it
        QTRY_COMPARE(m_main->Board().GetState(), bsLocked);
        QVERIFY(m_main->Board().View()->ToolMarks().empty());
    }

    void bruteForceOnAnEmptyPointReadsNothing() {
        TFormBruteForce& brute = m_main->ShowBruteForce();
        const int64_t nodes = Engine().Reader.Nodes;
        Click("K12");
        brute.ButtonRetten->click();
        QCOMPARE(
            m_messages,
            QStringList{QStringLiteral("Bitte zuerst eine Kette auf dem Spielfeld anklicken.")});
        QCOMPARE(Engine().Reader.Nodes, nodes);
        QVERIFY(brute.LabelErgebnis->text().isEmpty());
    }

    void classificationShowsTheOutputsOfTheClickedPointAndAcceptsVectors() {
        TFormKlassifizierung& klassi = m_main->ShowClassification();
        TEngine& e = Engine();
        const int loaded = e.KlassiSamples->GetSampleCount();
        QCOMPARE(klassi.LabelAnzahl->text(), QStringLiteral("(%1 Trainingsmuster)").arg(loaded));
        Click("D16");
        QCOMPARE(klassi.LabelPunkt->text(), QStringLiteral("D16"));
        const auto out = TestPoint(e, 3, 15);
        for (int k = 0; k < KlassiNamedOutputs; ++k)
            QCOMPARE(klassi.sb[k]->value(), static_cast<int>(out[k] * 100));

        klassi.sb[11]->setValue(100);
        klassi.ButtonVektor->click();
        QCOMPARE(e.KlassiSamples->GetSampleCount(), loaded + 8);
        e.KlassiSamples->GetSample(loaded + 7);
        QCOMPARE(e.KlassiSamples->GetOutput(11), 1.0);

        klassi.ButtonEndfeld->click();
        QCOMPARE(m_messages, QStringList{QStringLiteral("Bitte genau eine Klasse ankreuzen")});
        klassi.cbKlasse[13]->setChecked(true);
        klassi.ButtonEndfeld->click();
        QCOMPARE(m_messages.size(), 1);
        for (const char* p : {"A1", "K10", "Q16", "T19"}) {
            const TPoint pt = At(p);
            QCOMPARE(e.Fields.Endfeld[PointIndex(pt.X, pt.Y)],
                     static_cast<int>(TestPoint(e, pt.X, pt.Y)[13] * 100));
        }
        QVERIFY(m_main->Board().View()->Overlay().has_value());
        klassi.ButtonKeine->click();
        QVERIFY(!klassi.cbKlasse[13]->isChecked());
        QVERIFY(!m_main->Board().View()->Overlay().has_value());

        // "Abbrechen" leaves the file alone; the next opening reads it again.
        klassi.ButtonAbbrechen->click();
        QVERIFY(!klassi.isVisible());
        m_main->ShowClassification();
        QCOMPARE(e.KlassiSamples->GetSampleCount(), loaded);
    }

    void classificationTrainingRunsUntilStopped() {
        TFormKlassifizierung& klassi = m_main->ShowClassification();
        TEngine& e = Engine();
        Click("K10");
        klassi.ButtonVektor->click();  // something to learn
        const auto before = TestPoint(e, 9, 9);
        QVERIFY(!e.KlassiNetTrained);
        ClickLater(klassi.ButtonTraining, 60);
        klassi.ButtonTraining->click();  // returns when the click above stopped it
        QVERIFY(!klassi.Training());
        QVERIFY(klassi.TrainingSteps() > 0);
        QVERIFY(e.KlassiNetTrained);
        QVERIFY(TestPoint(e, 9, 9) != before);
        QCOMPARE(klassi.ButtonTraining->text(), QStringLiteral("&Trainieren"));
        QVERIFY(klassi.ButtonSpeichern->isEnabled());
        // Closing while it trains stops the training and then closes.
        QTimer::singleShot(40, &klassi, [this, &klassi] { m_main->WindowOf(&klassi)->close(); });
        klassi.ButtonTraining->click();
        QVERIFY(!klassi.Training());
        QVERIFY(!klassi.isVisible());
        QVERIFY(!m_main->WindowOf(&klassi)->isVisible());
    }

    void territoryDialogRecordsTrainsAndSaves() {
        TFormGebiet& gebiet = m_main->ShowTerritory();
        TEngine& e = Engine();
        QCOMPARE(gebiet.StatusBar->currentMessage(),
                 QStringLiteral("0 Vergleiche, 0 absolute Werte"));
        // The clicks alternate between the better and the worse point; their values are shown.
        Click("F17");
        Click("K13");
        QCOMPARE(gebiet.EditOrt1->text(), QStringLiteral("F17"));
        QCOMPARE(gebiet.EditOrt2->text(), QStringLiteral("K13"));
        QVERIFY(gebiet.LabelBewertung->text().startsWith(
            QStringLiteral("F17: Gebietswert %1").arg(e.Territory.PointClass(5, 16))));

        gebiet.rbOrt->setChecked(true);
        QVERIFY(!gebiet.AppendData());
        gebiet.rbBesser->setChecked(true);
        QVERIFY(gebiet.AppendData());
        gebiet.rbWert->setChecked(true);
        gebiet.EditWert->setText(QStringLiteral("viel"));
        QVERIFY(!gebiet.AppendData());
        gebiet.EditWert->setText(QStringLiteral("20"));
        QVERIFY(gebiet.AppendData());
        gebiet.EditOrt1->setText(QStringLiteral("Z9"));
        QVERIFY(!gebiet.AppendData());
        QCOMPARE(m_messages.size(), 3);
        QCOMPARE(gebiet.Records().size(), 2 * TerritoryRecordSize);
        QCOMPARE(gebiet.StatusBar->currentMessage(),
                 QStringLiteral("1 Vergleiche, 1 absolute Werte"));
        // The comparison record holds the input records of the two points.
        const TTerritoryRecord f17 = TerritoryInputRecord(e, e.Territory.ScoreField, 5, 16);
        QVERIFY(std::equal(f17.begin(), f17.end(),
                           reinterpret_cast<const int32_t*>(gebiet.Records().data() + 2)));

        QVERIFY(!e.TerritoryNetTrained);
        ClickLater(gebiet.ButtonStop, 60);
        gebiet.ButtonTrainieren->click();
        QVERIFY(!gebiet.Training());
        QVERIFY(gebiet.Rounds() >= 1);
        QVERIFY(e.TerritoryNetTrained);
        QVERIFY(gebiet.StatusBar->currentMessage().startsWith(QStringLiteral("Fehler: ")));

        const std::vector<uint8_t> records = gebiet.Records();
        gebiet.ButtonSpeichern->click();
        QVERIFY(!gebiet.isVisible());
        QVERIFY(!m_main->WindowOf(&gebiet)->isVisible());
        const auto path = DataFilePath("dectrain.dat", true);
        QVERIFY(ReadFileBytes(path) == records);
        // Opened again, it reads what was saved.
        m_main->ShowTerritory();
        QVERIFY(gebiet.Records() == records);
        std::filesystem::remove(path);
    }

    void fieldDisplayShowsFieldsColouredBySignAndOverTheBoard() {
        TFormFeldanzeige& display = m_main->ShowFieldDisplay();
        TEngine& e = Engine();
        display.FieldAction(QStringLiteral("MinAbstand"))->trigger();
        QVERIFY(display.Grid()->Field() == e.Fields.MinAbstand);
        QVERIFY(display.StatusText().startsWith(QStringLiteral("MinAbstand   min 0   max 9")));

        display.FieldAction(QStringLiteral("Spielfeld"))->trigger();
        const int white = PointIndex(3, 15), black = PointIndex(15, 15), empty = 0;
        QCOMPARE(display.Grid()->CellColour(white), QColor(255, 255, 255));
        QCOMPARE(display.Grid()->CellColour(empty), QColor(192, 192, 192));
        QCOMPARE(display.Grid()->CellColour(black), QColor(128, 128, 128));
        display.SetColourScale(true);
        QVERIFY(display.Grid()->CellColour(black).red() > display.Grid()->CellColour(black).blue());
        QVERIFY(display.Grid()->CellColour(white).blue() > display.Grid()->CellColour(white).red());

        // The analysis fields as the engine holds them after the analysis on opening.
        display.FieldAction(QStringLiteral("NN-S-Sicher"))->trigger();
        QVERIFY(display.Grid()->Field() == e.Container->NNSSicher);
        display.FieldAction(QStringLiteral("Gebietswert"))->trigger();
        QCOMPARE(display.Grid()->Field()[empty], TerritoryClass(e.Container->Feldbewertung[0]));

        display.SetOverlay(true);
        QVERIFY(m_main->Board().View()->Overlay().has_value());
        QVERIFY(m_main->Board().View()->Overlay()->Field == display.Grid()->Field());
        QVERIFY(m_main->WindowOf(&display)->close());
        QVERIFY(!m_main->Board().View()->Overlay().has_value());
    }

    void connectionTestSearchesFromTheCentreToTheCorner() {
        TEngine& e = Engine();
        // A lone white stone on the centre point: nine diagonal steps reach A1.
        e.Fields.Spielfeld = test::FromDiagram("");
        SetPoint(e.Fields.Spielfeld, 9, 9, -1);
        TFormFeldanzeige& display = m_main->ShowFieldDisplay();
        QAction* connection = display.FieldAction(QStringLiteral("Verbindung"));
        QVERIFY(connection->isEnabled());
        connection->trigger();
        QCOMPARE(m_messages, QStringList{QStringLiteral("TRUE")});
        TBoard target{};
        target[0] = 1;
        QVERIFY(display.Grid()->Field() == target);
        QVERIFY(display.StatusText().startsWith(QStringLiteral("Verbindung   min 0   max 1")));
        // The route is marked on the board, numbered from the stone out to the corner (the
        // search itself is the connection test's).
        const std::vector<TToolMark> marks = m_main->Board().View()->ToolMarks();
        QCOMPARE(marks.size(), size_t(10));
        QCOMPARE(marks.front().Point.X, 0);
        QCOMPARE(marks.front().Point.Y, 0);
        QCOMPARE(marks.front().Text, QString::number(marks.size()));

        // Black walls in the corner: the answer is no, and no route is shown.
        const char* const walls[] = {"A2", "B2", "B1"};
        for (const char* p : walls) SetPoint(e.Fields.Spielfeld, At(p).X, At(p).Y, 1);
        connection->trigger();
        QCOMPARE(m_messages, (QStringList{"TRUE", "FALSE"}));
        QVERIFY(m_main->Board().View()->ToolMarks().empty());
        // The marks go with the window.
        for (const char* p : walls) SetPoint(e.Fields.Spielfeld, At(p).X, At(p).Y, 0);
        connection->trigger();
        QVERIFY(!m_main->Board().View()->ToolMarks().empty());
        QVERIFY(m_main->WindowOf(&display)->close());
        QVERIFY(m_main->Board().View()->ToolMarks().empty());
    }

    void statusLineShowsTheTerritoryValueOnlyForAnAnalysedPosition() {
        TFormBoard& board = m_main->Board();
        Hover("K12");
        QCOMPARE(board.StatusLine(), QStringLiteral("K12 (218) "));
        m_main->AnalyseIfChanged();
        Hover("K13");
        const int k = TerritoryClass(Engine().Container->Feldbewertung[PointIndex(9, 12)]);
        QCOMPARE(board.StatusLine(), QStringLiteral("K13 (237) Gebietswert: %1").arg(k));
        // Over a stone: the status the analysis graph gave its group.
        for (const char* stone : {"D16", "K10", "Q4"}) {
            Hover(stone);
            const TGoGroup* g = Engine().Graph->GroupAtPoint(PointIndex(At(stone).X, At(stone).Y));
            QVERIFY(g != nullptr);
            QVERIFY(board.StatusLine().endsWith(
                QStringLiteral(") Status: ") +
                QString::fromStdString(TGroupEstimator::StatusText(g->Status))));
        }
        // A changed position has neither territory values nor group status until it is analysed
        // again.
        SetPoint(Engine().Fields.Spielfeld, 0, 0, 1);
        Hover("K12");
        QCOMPARE(board.StatusLine(), QStringLiteral("K12 (218) "));
        Hover("D16");
        QCOMPARE(board.StatusLine(), QStringLiteral("D16 (288) "));
        m_main->AnalyseIfChanged();
        Hover("A1");
        QVERIFY(board.StatusLine().startsWith(QStringLiteral("A1 (0) Status: ")));
    }
};

}  // namespace obrin::gui

OBRIN_GUI_TEST(FormAnalysis_test, obrin::gui::TFormAnalysisTest);
#include "FormAnalysis_test.moc"
