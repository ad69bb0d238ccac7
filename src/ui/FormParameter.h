// The parameter dialog ("Parameter"): paths, board colour, trace switches, the interface language
// and font, and the tuning values of the settings file. It reads the settings into its controls
// whenever it is shown; "OK" writes them back to the file, "Abbruch" leaves the file alone.
#pragma once

#include <QDialog>
#include <functional>
#include <string>
#include <vector>

#include "ui/FormUi.h"
#include "settings/settings.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QSpinBox;

namespace obrin::gui {

class TFormParameter : public QDialog {
    Q_OBJECT
  public:
    TFormParameter(TUi& ui, TSettings& settings, QWidget* parent = nullptr);

    // Fills the controls from the settings (after reading the file, when that is wired).
    void ReadSettings();
    // Copies the controls into the settings and writes the file.
    void WriteSettings();
    void Translate();
    // A click in the language list: the language changes at once.
    void ChooseLanguage(const QString& language);

    std::function<void()> ReadFile;   // reads OBRIN.INI into the settings
    std::function<void()> WriteFile;  // writes the settings to OBRIN.INI
    std::function<std::vector<std::string>()> ListLanguages;
    // Sets the interface language and retranslates the open windows.
    std::function<void(const std::string&)> SetLanguage;

    QLineEdit* EditPartien;
    QLineEdit* EditStellungen;
    QLabel* LabelFarbe;
    QCheckBox* cbStellungSichern;
    QCheckBox* cbKettenProtokollieren;
    QCheckBox* cbZieleProtokollieren;
    QCheckBox* cbTreppenAnimieren;
    QListWidget* ListSprachen;
    QLineEdit* EditSprache;
    QLineEdit* EditFont;
    QSpinBox* SpinDenkzeit;
    QCheckBox* cbZufall;
    QCheckBox* cbKlassischeEngine;

  protected:
    void showEvent(QShowEvent* e) override;

  private:
    QWidget* BuildGeneral();
    QWidget* BuildLanguage();
    QWidget* BuildTuning();
    void ShowColour();

    TUi& m_ui;
    TSettings& m_settings;
    int32_t m_colour = 0;
};

// The settings' board colour (a 0x00BBGGRR value) for a colour chosen in the dialog.
[[nodiscard]] int32_t ColourValueOf(const QColor& c);

}  // namespace obrin::gui
