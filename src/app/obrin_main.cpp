// obrin: the desktop program. Besides the normal start it offers two tools that need no
// display: "--screenshot DIR" writes a picture of every window, "--check-translations" lists
// every designed text that has no translation. A record named on the command line (as a file
// manager passes it) is opened at start.
#include <QApplication>
#include <QStringList>
#include <cstdio>
#include <cstdlib>

#include "ui/FormApp.h"
#include "ui/FormGoMain.h"

namespace {

constexpr const char* kHelp =
    "usage: obrin [/qx] [FILE]\n"
    "       obrin --screenshot DIR | --check-translations [LANGUAGE] | --version | --help\n"
    "\n"
    "  FILE                  a game record (.sgf, .mgt, .obr, .stl) to open at start\n"
    "  /qx                   (first) shows the Internals menu with the analysis tools\n"
    "  --screenshot DIR      writes a picture of every window to DIR, without a display\n"
    "  --check-translations  lists every designed text without a translation\n"
    "  --version             prints the version\n"
    "  --help                prints this text\n";

}  // namespace

int main(int argc, char** argv) {
    QStringList args;
    for (int i = 1; i < argc; ++i) args << QString::fromLocal8Bit(argv[i]);
    // These answer at once, with or without a display.
    if (args.contains(QStringLiteral("--version"))) {
        // The same four numbers as the caption and the about box.
        std::printf("obrin %s\n", qPrintable(obrin::gui::VersionText()));
        return 0;
    }
    if (args.contains(QStringLiteral("--help")) || args.contains(QStringLiteral("-h"))) {
        std::fputs(kHelp, stdout);
        return 0;
    }
    const bool tool = args.contains(QStringLiteral("--screenshot")) ||
                      args.contains(QStringLiteral("--check-translations"));
    if (tool && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (!tool && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") &&
        qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) {
        std::fprintf(
            stderr,
            "obrin: no display found. Obrin is a desktop program and needs a graphical "
            "session (set DISPLAY, or run it under xvfb-run to try it without a screen).\n");
        return 1;
    }
    QApplication app(argc, argv);
    return obrin::gui::RunObrin(app, args);
}
