// Start-up of the desktop program and its two offscreen tools.
#pragma once

#include <QApplication>
#include <QString>
#include <QStringList>
#include <functional>

namespace obrin::gui {

class TFormGoMain;
struct TUi;

// Runs the program with its command-line arguments (without the program name).
int RunObrin(QApplication& app, const QStringList& args);

// Every window and dialog of the program, built, translated and handed to visit one by one
// with a file-friendly name. The main window is built first and stays alive throughout.
void ForEachWindow(TUi& ui, TFormGoMain& main,
                   const std::function<void(const QString&, QWidget*)>& visit);

// Writes a PNG of every window into dir; false when a file could not be written.
bool WriteScreenshots(TUi& ui, TFormGoMain& main, const QString& dir);

}  // namespace obrin::gui
