#include "ui/usrintfc.h"

#include <iostream>

#include "board/errors.h"
#include "game/engine.h"
#include "settings/settings.h"

namespace obrin {

TUserInterface::TUserInterface(TEngine& engine, TFileLocations where)
    : TUserInterface(std::move(where)) {
    Attach(engine);
}

TUserInterface::TUserInterface(TFileLocations where) : m_where(std::move(where)) {
    TLangSup& table = LangSup();
    table.SetBaseLanguage(BaseLanguageName);
    LoadTable();
    table.SetBaseLanguage(BaseLanguageName);
}

// The first table found that can be read and holds an entry. A broken copy in the user's folder
// (unreadable, a folder, empty) must not turn every caption into "???": the next place, in the
// end the table shipped with the program, is used instead, and the user is told.
void TUserInterface::LoadTable() {
    std::string skipped;
    for (const std::filesystem::path& file : m_where.SearchOrder(LanguageFileName)) {
        std::error_code ec;
        if (!std::filesystem::exists(std::filesystem::symlink_status(file, ec))) continue;
        try {
            TLangLoadReport report = LangSup().LoadFromFile(file);
            if (report.Entries == 0) {
                if (skipped.empty()) skipped = file.string() + ": holds no translation";
                m_problems.insert(m_problems.end(), report.Problems.begin(), report.Problems.end());
                continue;
            }
            m_problems.insert(m_problems.end(), report.Problems.begin(), report.Problems.end());
            if (!skipped.empty())
                m_notices.push_back(skipped + "; the table " + file.string() + " is used instead");
            return;
        } catch (const EObrinError& e) {
            if (m_loadError.empty()) m_loadError = e.what();
            if (skipped.empty()) skipped = e.what();
        }
    }
    if (!skipped.empty()) m_notices.push_back(skipped + "; no other table was found");
}

std::vector<std::string> TUserInterface::StartupProblems() const {
    std::vector<std::string> all;
    if (!m_loadError.empty() && m_notices.empty()) all.push_back(m_loadError);
    all.insert(all.end(), m_notices.begin(), m_notices.end());
    all.insert(all.end(), m_problems.begin(), m_problems.end());
    all.insert(all.end(), m_settingsProblems.begin(), m_settingsProblems.end());
    return all;
}

TUserInterface::~TUserInterface() {
    Detach();
    if (m_closed) return;
    try {
        Close();
    } catch (const std::exception& e) {
        std::cerr << e.what() << "\n";
    }
}

void TUserInterface::Close() {
    if (m_closed) return;
    m_closed = true;
    // Only what the user changed is worth a write; a table that could not be read is never
    // replaced (the copy in use may be the shipped one).
    if (!m_loadError.empty() || !LangSup().Modified()) return;
    LangSup().SaveToFile(m_where.PathForWrite(LanguageFileName));
}

void TUserInterface::Attach(TEngine& engine) {
    Detach();
    m_engine = &engine;
    engine.LangSup = &m_table;
}

void TUserInterface::Detach() {
    if (m_engine != nullptr && m_engine->LangSup == &m_table) m_engine->LangSup = nullptr;
    m_engine = nullptr;
}

TLangSup& TUserInterface::LangSup() {
    return m_table;
}

void TUserInterface::SelectContext(const std::string& context) {
    LangSup().SetContext(context);
}

std::string TUserInterface::Translate(const std::string& context, const std::string& text) {
    SelectContext(context);
    return LangSup().Translate(text);
}

void TUserInterface::TranslateComponent(const std::string& context, ITranslatableTexts& window) {
    SelectContext(context);
    LangSup().TranslateComponent(window);
}

void TUserInterface::ReadSettings() {
    if (m_engine == nullptr) return;
    TSettings& settings = m_engine->Settings;
    m_settingsProblems.clear();
    try {
        settings = ReadSettingsFile(m_where, &m_settingsProblems);
    } catch (const EObrinError& e) {
        m_settingsProblems.push_back(std::string(e.what()) + "; the default settings are used");
        throw;
    }
    LangSup().SetLanguage(settings.Sprache);
    SetFontName(settings.Font);
    if (settings.Zufall) m_engine->Random.Randomize();
}

void TUserInterface::WriteSettings() const {
    if (m_engine != nullptr) WriteSettingsFile(m_engine->Settings, m_where);
}

}  // namespace obrin
