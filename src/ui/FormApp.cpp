#include "ui/FormApp.h"

#include <QDir>
#include <QFile>
#include <QMenu>
#include <QPixmap>
#include <QTimer>
#include <QTreeWidget>
#include <cstdio>
#include <set>
#include <string>

#include "analysis/FormFeldanzeige.h"
#include "analysis/FormGebiet.h"
#include "analysis/FormKlassifizierung.h"
#include "board/qxhash.h"
#include "game/FormScore.h"
#include "game/FormStart.h"
#include "game/gameflow.h"
#include "goals/FormBrowser.h"
#include "goals/goals.h"
#include "goals/goalwords.h"
#include "records/FormGameData.h"
#include "records/FormSgfError.h"
#include "records/FormSgfTree.h"
#include "tactics/FormBruteForce.h"
#include "ui/FormAbout.h"
#include "ui/FormAddLanguage.h"
#include "ui/FormBoard.h"
#include "ui/FormControl.h"
#include "ui/FormGoMain.h"
#include "ui/FormParameter.h"
#include "ui/FormRandomMoves.h"
#include "ui/FormUi.h"
#include "ui/usrintfc.h"

namespace obrin::gui {

namespace {

// Lets layouts settle before a window is photographed.
void Settle(QWidget* w) {
    w->show();
    for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
}

bool Save(QWidget* w, const QString& dir, const QString& name) {
    Settle(w);
    const QString file = QDir(dir).filePath(name + QStringLiteral(".png"));
    if (!w->grab().save(file)) {
        std::fprintf(stderr, "obrin: cannot write %s\n", qPrintable(file));
        return false;
    }
    return true;
}

// A position from the middle of a game, so the pictures show stones, marks and prisoners.
// A short professional-style opening with a variation and a comment.
constexpr const char* kSampleRecord =
    "(;FF[4]GM[1]SZ[19]GN[Sample game]PB[Black player]PW[White player]KM[6.5]RE[B+R]"
    ";B[pd];W[dp];B[pq];W[dd];B[fq];W[cn];B[jp];W[qf];B[nc];W[rd];B[qc];W[qi]"
    ";B[qk];W[oi];B[mk];W[ck]C[White builds on the left side.]"
    "(;B[ql];W[ld];B[jd];W[lf];B[kh];W[mh];B[ch])"
    "(;B[cf];W[fc];B[ch]))";

void LoadSampleRecord(TFormGoMain& main, const QString& dir) {
    const QString file = QDir(dir).filePath(QStringLiteral("sample.sgf"));
    QFile f(file);
    if (!f.open(QIODevice::WriteOnly)) return;
    f.write(kSampleRecord);
    f.close();
    main.LoadGame(file);
    TFormControl& control = main.Control();
    const auto& game = control.Tree().Items();
    if (game.empty() || game[0]->Children().size() < 17) return;
    control.SgfTreeView->setCurrentItem(
        control.SgfTreeView->WidgetItem(game[0]->Children()[16].get()));
    QFile::remove(file);
}

// Texts shown at run time rather than on a window: states, messages, labels of the record
// tree, the engine's progress texts and the windows of later tools.
std::vector<std::pair<QString, const char*>> RuntimeTexts() {
    std::vector<std::pair<QString, const char*>> texts;
    auto add = [&](const char* context, std::initializer_list<const char*> words) {
        for (const char* w : words) texts.emplace_back(QString::fromLatin1(context), w);
    };
    add("Board", {"Computer gegen sich selbst", "Eingabe", "Gesperrt", "Mensch gegen Mensch",
                  "Mensch gegen Computer", "Klassifizierung von Punkten",
                  "Bitte wähle zunächst einen Spielmodus", "Darf ich das Brett abräumen ?",
                  "Gebietswert", "Status", "tot", "rettbar", "angreifbar", "sicher"});
    add("Control",
        {"Information", "Start-Stellung", "Variante", "Neues Spiel",
         "Die Datei kann nicht gelesen werden:", "Die Datei kann nicht geschrieben werden:",
         "Obrin spielt nur auf 19x19 Linien:",
         "Ein Bezeichner besteht nur aus Großbuchstaben (A-Z):"});
    add("Main", {"Obrin – Go-Programm, Version %1",
                 "Partie laden",
                 "Partie speichern als",
                 "SGF-Dateien (*.sgf);;MGT-Dateien (*.mgt)",
                 "Obrin-Partien (*.obr)",
                 "Obrin-Stellungen (*.stl)",
                 "Alle Dateien (*)",
                 "Go-Partien (*.sgf *.mgt *.obr *.stl)",
                 "SGF-Dateien (*.sgf)",
                 "Mensch gegen &Computer",
                 "Computer gegen sich &selbst",
                 "Be&werten",
                 "Feld-&Inspektor",
                 "Punkte &klassifizieren",
                 "&Gebietsbewertung",
                 "&Brute Force",
                 "&Ziel-Browser",
                 "Die Datei enthielt Fehler; nicht alles wurde gelesen. Trotzdem überschreiben?",
                 "Schwarz gewinnt durch Aufgabe.",
                 "Weiß gewinnt durch Aufgabe.",
                 "Änderungen speichern?",
                 "&Speichern",
                 "&Verwerfen",
                 "&Abbrechen"});
    add("Control", {"Willst du wirklich aufgeben?"});
    for (const char* word : ReasoningKeys()) texts.emplace_back(QStringLiteral("Reasoning"), word);
    add("Thinking",
        {"Ich verzichte", "Neuronale Klassifizierung", "Schnitt-Analyse", "Graph wird erstellt",
         "Neuronale Feldbewertung", "Ziele werden generiert", "Neutrale Punkte werden ermittelt",
         "Inferenzmaschine arbeitet",
         "Vorhandene Ziele:", "Bestes Ziel:  ", "Korrektur der Verbindungs-Einschätzung",
         "Gruppen-Graph wird aufgebaut", "Mustererkennung", "Korrektur der Mustererkennung",
         "Brute-Force-Analyse", "Strategische Werte werden ermittelt"});
    add("Score", {"Bewertung", "OBRIN", "Mensch", "Gebiet", "Gefangene", "Ergebnis", "&Ok",
                  "Obrin führt mit %3.1f Punkt(en)", "Mensch führt mit %3.1f Punkt(en)",
                  "Unentschieden", "Ein Klick auf eine Gruppe macht sie tot oder lebendig."});
    add("BruteForce",
        {"Rechnend", "Ja", "Ja, über Ko", "Nein", "Timeout", "Abgebrochen",
         "Ko: gelingt, wenn dieser Zug den Ko zuerst nimmt.",
         "Ko: gelingt nur mit einer Ko-Drohung zuvor.", "%1 Stellungen gelesen in %2 ms",
         "Bitte zuerst eine Kette auf dem Spielfeld anklicken."});
    add("Klassi", {"Sto&p", "Trainingsmuster", "Fehler: %1 (%2 Schritte)",
                   "Bitte genau eine Klasse ankreuzen",
                   "Bitte zuerst einen Punkt auf dem Spielfeld anklicken.",
                   "Es gibt noch keine Trainingsmuster."});
    add("Territory", {"%1 Vergleiche, %2 absolute Werte", "Fehler: %1", "%1: ein Stein",
                      "%1: Gebietswert %2 (Netz %3)",
                      "Bitte „ist besser als Ort“ oder „hat den absoluten Wert“ wählen.",
                      "Die Punkte oder der Wert sind nicht lesbar; nichts wurde übernommen.",
                      "Es gibt noch keine Trainingsdaten."});
    add("FieldDisplay", {"Wähle ein Feld im Menü „Anzeigen“."});
    add("Browser",
        {"Goal <%1> not published", "Noch keine Ziele: erst ein Computerzug hinterlässt welche.",
         "%1 Ziele des letzten Computerzugs"});
    add("Control", {"&Zielbaum des letzten Zuges", "Zielbaum des letzten Zuges", "&OK",
                    "Noch kein Computerzug: es gibt noch keinen Zielbaum."});
    add("End_Program", {"Beenden einer Partie", "Soll die Partie beendet werden ?",
                        "Stellung bewerten", "&Ja", "&Nein"});
    return texts;
}

// A goal of the picture of the goal browser: only a name.
class TSampleGoal : public TGoal {
  public:
    explicit TSampleGoal(std::string name) : m_name(std::move(name)) {}
    [[nodiscard]] std::string GetName() const override { return m_name; }
    void Expand() override {}

  private:
    std::string m_name;
};

// The goal browser over a small goal set of the kind a move leaves behind: saving a group and
// capturing a chain served by liberties and points, with one chain of purposes opened.
void VisitGoalBrowser(TUi& ui, TFormGoMain& main,
                      const std::function<void(const QString&, QWidget*)>& visit) {
    TRuleManager manager;
    auto goal = [&manager](const char* name) -> TGoal& {
        return manager.CreateGoal<TSampleGoal>(name);
    };
    TGoal& win = goal("GEWINNEN");
    TGoal& save = goal("RETTEN 180");
    TGoal& capture = goal("FANGEN 72");
    TGoal& liberties = goal("FREIHEITEN 180");
    TGoal& k11 = goal("BESETZEN 199");
    TGoal& l10 = goal("BESETZEN 181");
    TGoal& d4 = goal("BESETZEN 60");
    manager.LinkGoal(save, win);
    manager.LinkGoal(capture, win);
    manager.LinkGoal(liberties, save);
    manager.LinkGoal(k11, liberties);
    manager.LinkGoal(l10, liberties);
    manager.LinkGoal(l10, capture);
    manager.LinkGoal(d4, capture);
    TFormBrowser browser(ui, &main);
    browser.Manager = &manager;
    Settle(&browser);
    for (const char* line : {"BESETZEN 181", "FREIHEITEN 180", "RETTEN 180"})
        if (QTreeWidgetItem* item = browser.FindLine(QString::fromLatin1(line)))
            item->setExpanded(true);
    if (QTreeWidgetItem* item = browser.FindLine(QStringLiteral("BESETZEN 60")))
        item->setExpanded(true);
    visit(QStringLiteral("goal-browser"), &browser);
}

// The analysis tools on the position on the board, each showing what it computes for a point of
// it; closed again afterwards.
void VisitAnalysisTools(TUi& ui, TFormGoMain& main,
                        const std::function<void(const QString&, QWidget*)>& visit) {
    auto at = [](const char* text) { return TPoint{ColumnOfText(text), RowOfText(text)}; };
    // A white stone on the centre point that Black can catch in a ladder.
    TBoard& b = main.Engine().Fields.Spielfeld;
    for (const char* black : {"K11", "J10", "L9"}) SetPoint(b, at(black).X, at(black).Y, 1);
    SetPoint(b, at("K10").X, at("K10").Y, -1);
    main.Board().Redraw();
    TFormFeldanzeige& fields = main.ShowFieldDisplay();
    fields.ShowField(QStringLiteral("Feldstaerkefeld"));
    fields.SetColourScale(true);
    visit(QStringLiteral("field-display"), &fields);
    fields.SetOverlay(true);
    visit(QStringLiteral("board-field-overlay"), &main.Board());
    fields.close();

    TFormKlassifizierung& klassi = main.ShowClassification();
    klassi.PointChosen(at("R14"));
    visit(QStringLiteral("classification"), &klassi);
    klassi.close();

    TFormGebiet& gebiet = main.ShowTerritory();
    gebiet.PointChosen(at("F17"));
    gebiet.PointChosen(at("K13"));
    visit(QStringLiteral("territory"), &gebiet);
    gebiet.close();

    TFormBruteForce& brute = main.ShowBruteForce();
    main.Engine().Clock.SetDeterministic(true);
    brute.PointChosen(at("K10"));
    brute.Read(true);
    visit(QStringLiteral("brute-force"), &brute);
    brute.close();

    VisitGoalBrowser(ui, main, visit);
}

}  // namespace

void ForEachWindow(TUi& ui, TFormGoMain& main,
                   const std::function<void(const QString&, QWidget*)>& visit) {
    visit(QStringLiteral("main"), &main);
    visit(QStringLiteral("board"), &main.Board());
    visit(QStringLiteral("control"), &main.Control());
    {
        // A game in progress: the buttons of the human's turn, the numbers on the stones.
        TFormControl& control = main.Control();
        control.SetLayout(TControlLayout::Playing);
        control.BitBtnPassen->setEnabled(true);
        control.BitBtnResign->setEnabled(true);
        control.SetTakeBackEnabled(true);
        visit(QStringLiteral("control-playing"), &control);
        control.SetTakeBackEnabled(false);
        control.BitBtnPassen->setEnabled(false);
        control.BitBtnResign->setEnabled(false);
        control.SetLayout(TControlLayout::Editing);
        control.SetShowMoveNumbers(true);
        visit(QStringLiteral("board-numbers"), &main.Board());
        control.SetShowMoveNumbers(false);
    }
    {
        // The count of the position on the board, and the board showing it.
        TFormScore& score = main.ShowScore();
        visit(QStringLiteral("score"), &score);
        visit(QStringLiteral("board-score"), &main.Board());
        CloseWindow(&score);
    }
    {
        TFormStart start(main.Engine().Game, ui, &main);
        start.SetPage(0);
        visit(QStringLiteral("start-computer"), &start);
        start.SetPage(1);
        visit(QStringLiteral("start-humans"), &start);
    }
    {
        QDialog question(&main);
        BuildSaveChangesDialog(question, ui);
        visit(QStringLiteral("save-changes"), &question);
    }
    {
        TFormRandomMoves random(ui, &main);
        visit(QStringLiteral("random-moves"), &random);
    }
    {
        TFormGameData info(main.Engine().GameData, main.Control().Tree(), ui, &main);
        visit(QStringLiteral("game-information"), &info);
    }
    {
        TFormParameter parameters(ui, main.Engine().Settings, &main);
        std::vector<std::string> languages;
        main.LangSup().ListLanguages(languages);
        parameters.ListLanguages = [languages] { return languages; };
        parameters.ReadSettings();
        visit(QStringLiteral("parameters"), &parameters);
    }
    {
        TFormAddLanguage addLanguage(main.LangSup(), ui, &main);
        addLanguage.Fill();
        visit(QStringLiteral("add-language"), &addLanguage);
    }
    {
        TFormSgfError errors(ui, &main);
        errors.AddLine(QStringLiteral("Line 3, column 12: ']' expected"));
        visit(QStringLiteral("sgf-error"), &errors);
    }
    for (const auto& [kind, name] :
         {std::pair{TInfoBox::About, "about"}, std::pair{TInfoBox::History, "history"},
          std::pair{TInfoBox::Links, "links"}}) {
        TFormInfo box(kind, ui, &main);
        visit(QString::fromLatin1(name), &box);
    }
    if (main.InternaMenu()->menuAction()->isVisible()) VisitAnalysisTools(ui, main, visit);
}

bool WriteScreenshots(TUi& ui, TFormGoMain& main, const QString& dir) {
    if (!QDir().mkpath(dir)) {
        std::fprintf(stderr, "obrin: cannot create the directory %s\n", qPrintable(dir));
        return false;
    }
    LoadSampleRecord(main, dir);
    main.resize(1100, 760);
    Settle(&main);
    main.ArrangeWindows();
    bool ok = true;
    ForEachWindow(ui, main,
                  [&](const QString& name, QWidget* w) { ok = Save(w, dir, name) && ok; });
    main.resize(1680, 1020);
    Settle(&main);
    main.ArrangeWindows();
    ok = Save(&main, dir, QStringLiteral("main-maximised")) && ok;
    return ok;
}

namespace {

// The record named on the command line: the first argument that is no switch and no switch's
// value.
QString RecordArgument(const QStringList& args) {
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        if (a == QStringLiteral("--screenshot") || a == QStringLiteral("--check-translations")) {
            ++i;
            continue;
        }
        if (a == QStringLiteral("/qx") || a.startsWith(QStringLiteral("--"))) continue;
        return a;
    }
    return {};
}

// What the readers of the translation table and the settings could not use, in one message once
// the window is up: the program runs on with the defaults or the shipped table.
void ShowStartupProblems(TUi& ui, TFormGoMain& main, const TUserInterface& userInterface) {
    const std::vector<std::string> problems = userInterface.StartupProblems();
    if (problems.empty()) return;
    QString text;
    for (size_t i = 0; i < problems.size() && i < 12; ++i) {
        std::fprintf(stderr, "obrin: %s\n", problems[i].c_str());
        text += QString::fromStdString(problems[i]) + QStringLiteral("\n");
    }
    if (problems.size() > 12)
        text += QStringLiteral("... (%1 more)\n").arg(problems.size() - 12);
    QTimer::singleShot(0, &main, [&ui, &main, text] { ui.Dialogs.Message(&main, text.trimmed()); });
}

// The program between the user-interface object and the end: the main window and what it runs.
int RunMainWindow(QApplication& app, TUi& ui, TUserInterface& userInterface,
                  const QStringList& args) {
    const int shot = args.indexOf(QStringLiteral("--screenshot"));
    const bool check = args.contains(QStringLiteral("--check-translations"));

    if (shot >= 0 || check) {
        // Nothing may wait for a click here.
        ui.Dialogs.Message = [](QWidget*, const QString&) {};
        ui.Dialogs.Question = [](QWidget*, const QString&) { return false; };
        ui.Dialogs.Exec = [](QDialog*) { return int(QDialog::Rejected); };
    }

    TFormGoMain main(ui, userInterface, args);
    // The tools look, they do not add untranslated words to the table.
    if (shot >= 0 || check) {
        main.LangSup().SetReadOnly(true);
        main.SaveSettingsOnExit = false;
    }
    std::set<std::string> missing;
    if (check) {
        // Every text on its way through the table is watched for a missing translation.
        TTranslator::TFunction inner = ui.Translator.Function();
        ui.Translator.SetFunction(
            [&missing, inner](const std::string& context, const std::string& word) {
                const std::string shown = inner ? inner(context, word) : word;
                if (shown == "???" || shown.rfind("<<<", 0) == 0)
                    missing.insert(context + "|" + word);
                return shown;
            });
    }

    if (shot >= 0) {
        if (shot + 1 >= args.size()) {
            std::fprintf(stderr, "obrin: --screenshot needs a directory\n");
            return 2;
        }
        return WriteScreenshots(ui, main, args[shot + 1]) ? 0 : 1;
    }
    if (check) {
        if (args.indexOf(QStringLiteral("--check-translations")) + 1 < args.size()) {
            const QString language = args[args.indexOf(QStringLiteral("--check-translations")) + 1];
            if (!language.startsWith(QStringLiteral("-"))) main.SetLanguage(language.toStdString());
        }
        main.LangSup().SetReadOnly(true);
        main.TranslateAll();
        ForEachWindow(ui, main, [](const QString&, QWidget*) {});
        for (const auto& [context, word] : RuntimeTexts())
            (void)ui.Tr(context, QString::fromUtf8(word));
        for (const std::string& m : missing) std::printf("%s\n", m.c_str());
        return missing.empty() ? 0 : 1;
    }
    main.showMaximized();
    ShowStartupProblems(ui, main, userInterface);
    if (const QString record = RecordArgument(args); !record.isEmpty())
        QTimer::singleShot(0, &main, [&main, record] { main.LoadGame(record); });
    return app.exec();
}

}  // namespace

int RunObrin(QApplication& app, const QStringList& args) {
    int status = 0;
    {
        // The user-interface object and its translation table come first and go last; its
        // destruction saves the table.
        TUserInterface userInterface(TFileLocations::FromEnvironment());
        QApplication::setApplicationName(QStringLiteral("OBRIN"));
        TUi ui;
        status = RunMainWindow(app, ui, userInterface, args);
    }
    // Every table and record has been freed by now: what is left is a leak.
    try {
        TQXHashTable::CheckBalanced();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "obrin: %s\n", e.what());
        TFormGoMain::ShutdownProblems() << QString::fromStdString(e.what());
    }
    return TFormGoMain::ShutdownProblems().isEmpty() || status != 0 ? status : 3;
}

}  // namespace obrin::gui
