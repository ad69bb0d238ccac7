// The user-interface object: one for the whole run, created before the first window and destroyed
// after the last. It loads the translation table at start and saves it at the end, reads and
// writes the settings, and is what the windows translate their texts through. It holds no
// widgets: the windows adapt their widgets to ITranslatableTexts.
#pragma once

#include <string>
#include <vector>

#include "settings/filelocations.h"
#include "settings/langsup.h"

namespace obrin {

class TEngine;

inline constexpr const char* LanguageFileName = "language.dat";
inline constexpr const char* BaseLanguageName = "Deutsch";
inline constexpr const char* DefaultLanguageName = "English";

// Invariant: the table is saved at most once, only when the user changed a translation, and
// never when a table could not be read (so a file that could not be read is never replaced). The settings go to and come from
// the attached engine; without one ReadSettings and WriteSettings do nothing.
class TUserInterface {
  public:
    // Loads "language.dat" into its translation table and sets the base language "Deutsch".
    // A file that cannot be read leaves the table empty and its error in LoadError.
    explicit TUserInterface(TFileLocations where);
    // The same, attached to engine at once.
    TUserInterface(TEngine& engine, TFileLocations where);
    TUserInterface(const TUserInterface&) = delete;
    TUserInterface& operator=(const TUserInterface&) = delete;
    // Saves the table unless Close did; a failure is written to standard error.
    ~TUserInterface();

    // Hands the table to engine and keeps its settings from now on; the engine goes first.
    void Attach(TEngine& engine);
    void Detach();

    // Saves the table to "language.dat" when the user changed it. Raises EObrinError naming the
    // file on failure.
    void Close();

    void SelectContext(const std::string& context);
    // text translated in context; the context stays selected.
    [[nodiscard]] std::string Translate(const std::string& context, const std::string& text);
    // Every text of a window translated in context (the window's own name).
    void TranslateComponent(const std::string& context, ITranslatableTexts& window);

    // Reads "OBRIN.INI" into the engine's settings, sets the interface language and font, and
    // seeds the random generator when "Zufall" is set. A file that cannot be read raises
    // EObrinError naming it and leaves the settings as they were.
    void ReadSettings();
    // Writes the engine's settings (as the parameter dialog left them) to "OBRIN.INI".
    void WriteSettings() const;

    void SetFontName(std::string name) { m_fontName = std::move(name); }
    [[nodiscard]] const std::string& FontName() const { return m_fontName; }
    [[nodiscard]] TLangSup& LangSup();
    [[nodiscard]] const TFileLocations& Locations() const { return m_where; }
    // Why the table could not be read; empty when it could (or did not exist).
    [[nodiscard]] const std::string& LoadError() const { return m_loadError; }
    // Lines of the table that were left out or repaired when it was loaded.
    [[nodiscard]] const std::vector<std::string>& Problems() const { return m_problems; }
    // The same for the settings file, as the last ReadSettings found it.
    [[nodiscard]] const std::vector<std::string>& SettingsProblems() const {
        return m_settingsProblems;
    }
    // Everything the user should hear about at start: a table that could not be used (and
    // which one is used instead), lines left out of the table and of the settings file.
    [[nodiscard]] std::vector<std::string> StartupProblems() const;

  private:
    void LoadTable();

    TLangSup m_table{"Deutsch"};
    TEngine* m_engine = nullptr;
    TFileLocations m_where;
    std::string m_fontName = "Arial";
    std::string m_loadError;
    std::vector<std::string> m_problems;
    std::vector<std::string> m_notices;  // a table skipped, and the one used instead
    std::vector<std::string> m_settingsProblems;
    bool m_closed = false;
};

}  // namespace obrin
