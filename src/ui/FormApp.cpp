#include "ui/FormApp.h"

#include <QDir>
#include <QPixmap>
#include <QTimer>
#include <cstdio>
#include <set>
#include <string>

#include "game/FormStart.h"
#include "game/gameflow.h"
#include "records/FormSgfError.h"
#include "ui/FormAbout.h"
#include "ui/FormBoard.h"
#include "ui/FormControl.h"
#include "ui/FormGoMain.h"
#include "ui/FormRandomMoves.h"
#include "ui/FormUi.h"

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
void SetUpSamplePosition(TEngine& engine) {
    TRandomMovesOptions o;
    o.SpielfeldLeeren = true;
    o.ZugVersuche = 140;
    engine.Random.SetFixedSeed(7);
    RandomMoves(engine, o);
    engine.Game.MenschZugX = 15;
    engine.Game.MenschZugY = 3;
    engine.Game.ComputerZugX = 3;
    engine.Game.ComputerZugY = 15;
}

}  // namespace

void ForEachWindow(TUi& ui, TFormGoMain& main,
                   const std::function<void(const QString&, QWidget*)>& visit) {
    visit(QStringLiteral("main"), &main);
    visit(QStringLiteral("board"), &main.Board());
    visit(QStringLiteral("control"), &main.Control());
    {
        TFormStart start(main.Engine().Game, ui, &main);
        start.SetPage(0);
        visit(QStringLiteral("start-computer"), &start);
        start.SetPage(1);
        visit(QStringLiteral("start-humans"), &start);
    }
    {
        TFormRandomMoves random(ui, &main);
        visit(QStringLiteral("random-moves"), &random);
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
}

bool WriteScreenshots(TUi& ui, TFormGoMain& main, const QString& dir) {
    if (!QDir().mkpath(dir)) {
        std::fprintf(stderr, "obrin: cannot create the directory %s\n", qPrintable(dir));
        return false;
    }
    SetUpSamplePosition(main.Engine());
    main.Control().Refresh();
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

int RunObrin(QApplication& app, const QStringList& args) {
    QApplication::setApplicationName(QStringLiteral("OBRIN"));
    TUi ui;
    const int shot = args.indexOf(QStringLiteral("--screenshot"));
    const bool check = args.contains(QStringLiteral("--check-translations"));

    std::set<std::string> missing;
    if (check) {
        TTranslator::TFunction inner = ui.Translator.Function();
        ui.Translator.SetFunction(
            [&missing, inner](const std::string& context, const std::string& word) {
                const std::string shown = inner ? inner(context, word) : word;
                if (shown == "???" || shown.rfind("<<<", 0) == 0)
                    missing.insert(context + "|" + word);
                return shown;
            });
    }
    if (shot >= 0 || check) {
        // Nothing may wait for a click here.
        ui.Dialogs.Message = [](QWidget*, const QString&) {};
        ui.Dialogs.Question = [](QWidget*, const QString&) { return false; };
        ui.Dialogs.Exec = [](QDialog*) { return int(QDialog::Rejected); };
    }

    TFormGoMain main(ui, args);
    if (shot >= 0) {
        if (shot + 1 >= args.size()) {
            std::fprintf(stderr, "obrin: --screenshot needs a directory\n");
            return 2;
        }
        return WriteScreenshots(ui, main, args[shot + 1]) ? 0 : 1;
    }
    if (check) {
        ForEachWindow(ui, main, [](const QString&, QWidget*) {});
        for (const std::string& m : missing) std::printf("%s\n", m.c_str());
        return missing.empty() ? 0 : 1;
    }
    main.showMaximized();
    return app.exec();
}

}  // namespace obrin::gui
