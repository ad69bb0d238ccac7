// The dialogs and the language: the add-language dialog's browse and edit modes, the parameter
// dialog's immediate changes, and the main window translated by a table read from a file.
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <fstream>

#include "support/gui_test.h"
#include "ui/FormAddLanguage.h"
#include "ui/FormBoard.h"
#include "ui/FormControl.h"
#include "ui/FormGoMain.h"
#include "ui/FormParameter.h"

namespace obrin::gui {

class TFormDialogsTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

    std::filesystem::path Table(const char* lines) {
        const std::filesystem::path file =
            m_dir.filePath(QStringLiteral("language.dat")).toStdString();
        std::ofstream(file, std::ios::binary) << lines;
        return file;
    }

  private slots:
    void addLanguageBrowsesEditsAndStores() {
        TLangSup table("Deutsch");
        (void)table.LoadFromFile(
            Table("English|Board|Eingabe|Input\r\n"
                  "English|Board|Gesperrt|Locked\r\n"
                  "Français|Board|Eingabe|Saisie\r\n"));
        TUi ui;
        TFormAddLanguage dialog(table, ui);
        dialog.Fill();
        dialog.cbSource->setCurrentText(QStringLiteral("English"));
        dialog.cbTarget->setCurrentText(QStringLiteral("Français"));
        // Find the entry of "Eingabe" whatever order the table keeps.
        int eingabe = -1;
        for (int i = 0; i < dialog.Count(); ++i) {
            dialog.ShowEntry(i);
            if (dialog.EditContext->text() == QStringLiteral("Board") &&
                dialog.EditSource->text() == QStringLiteral("Input"))
                eingabe = i;
        }
        QVERIFY(eingabe >= 0);
        dialog.ShowEntry(eingabe);
        QCOMPARE(dialog.EditTarget->text(), QStringLiteral("Saisie"));
        // Next stops at the last entry, previous at the first.
        for (int i = 0; i < dialog.Count() + 2; ++i) dialog.ButtonNext->click();
        QCOMPARE(dialog.Index(), dialog.Count() - 1);
        for (int i = 0; i < dialog.Count() + 2; ++i) dialog.ButtonPrev->click();
        QCOMPARE(dialog.Index(), 0);
        dialog.ShowEntry(eingabe);
        // Editing locks the navigation until store or cancel.
        QTest::keyClicks(dialog.EditTarget, QStringLiteral("!"));
        QVERIFY(!dialog.ButtonNext->isEnabled());
        QVERIFY(dialog.ButtonStore->isEnabled());
        dialog.ButtonCancel->click();
        QCOMPARE(dialog.EditTarget->text(), QStringLiteral("Saisie"));
        QVERIFY(dialog.ButtonNext->isEnabled());
        dialog.EditTarget->setText(QStringLiteral("Entrée"));
        QTest::keyClicks(dialog.EditTarget, QStringLiteral("s"));
        dialog.ButtonStore->click();
        table.SetLanguage("Français");
        table.SetContext("Board");
        QCOMPARE(QString::fromStdString(table.Translate("Eingabe")), QStringLiteral("Entrées"));
        QVERIFY(!table.ReadOnly());  // the look-ups of the dialog added nothing for good
    }

    void parameterChangesTakeEffectAtOnce() {
        TUi ui;
        TSettings settings;
        settings.Denkzeit = 0;
        TFormParameter dialog(ui, settings);
        std::string chosen;
        dialog.ListLanguages = [] { return std::vector<std::string>{"English", "Deutsch"}; };
        dialog.SetLanguage = [&](const std::string& language) { chosen = language; };
        dialog.ReadSettings();
        // A time of 0 stays 0 until the first change; every change goes to the settings at once.
        QCOMPARE(settings.Denkzeit, 0);
        QCOMPARE(dialog.SpinDenkzeit->value(), 1);
        dialog.SpinDenkzeit->setValue(250);
        QCOMPARE(settings.Denkzeit, 250);
        dialog.cbKlassischeEngine->setChecked(true);
        QVERIFY(settings.KlassischeEngine);
        dialog.ChooseLanguage(QStringLiteral("Deutsch"));
        QCOMPARE(chosen, std::string("Deutsch"));
        QCOMPARE(dialog.EditSprache->text(), QStringLiteral("Deutsch"));
        // OK writes the file; Abbruch does not.
        int written = 0;
        dialog.WriteFile = [&] { ++written; };
        dialog.cbTreppenAnimieren->setChecked(true);
        dialog.reject();
        QCOMPARE(written, 0);
        dialog.WriteSettings();
        QCOMPARE(written, 1);
        QVERIFY(settings.TreppenAnimieren);
    }

    void mainWindowTranslatesThroughTheTableAndSwitchesLanguage() {
        TUi ui;
        ui.Dialogs.Message = [](QWidget*, const QString&) {};
        TUserInterface userInterface(TFileLocations::FromEnvironment());
        (void)userInterface.LangSup().LoadFromFile(
            Table("English|Main|&Datei|&File\r\nEnglish|Board|Gesperrt|Locked\r\n"
                  "Deutsch|Main|&Datei|&Datei\r\nDeutsch|Board|Gesperrt|Gesperrt\r\n"));
        TFormGoMain main(ui, userInterface, {});
        main.SaveSettingsOnExit = false;
        main.SetLanguage("English");
        QCOMPARE(main.menuBar()->actions().first()->text(), QStringLiteral("&File"));
        QCOMPARE(main.Board().StateText(), QStringLiteral("Locked"));
        main.SetLanguage("Deutsch");
        QCOMPARE(main.menuBar()->actions().first()->text(), QStringLiteral("&Datei"));
        QCOMPARE(main.Board().StateText(), QStringLiteral("Gesperrt"));
    }
};

}  // namespace obrin::gui

OBRIN_GUI_TEST(FormDialogs_test, obrin::gui::TFormDialogsTest);
#include "FormDialogs_test.moc"
