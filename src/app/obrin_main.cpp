// obrin: the desktop program. Besides the normal start it offers two tools that need no
// display: "--screenshot DIR" writes a picture of every window, "--check-translations" lists
// every designed text that has no translation.
#include <QApplication>
#include <QStringList>
#include <cstdio>
#include <cstdlib>

#include "ui/FormApp.h"

int main(int argc, char** argv) {
    QStringList args;
    for (int i = 1; i < argc; ++i) args << QString::fromLocal8Bit(argv[i]);
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
