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
    if (const auto file = m_where.FindForRead(LanguageFileName)) {
        try {
            TLangLoadReport report = table.LoadFromFile(*file);
            m_problems = std::move(report.Problems);
        } catch (const EObrinError& e) {
            m_loadError = e.what();
        }
    }
    table.SetBaseLanguage(BaseLanguageName);
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
    if (!m_loadError.empty()) return;
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
    settings = ReadSettingsFile(m_where, &m_settingsProblems);
    LangSup().SetLanguage(settings.Sprache);
    SetFontName(settings.Font);
    if (settings.Zufall) m_engine->Random.Randomize();
}

void TUserInterface::WriteSettings() const {
    if (m_engine != nullptr) WriteSettingsFile(m_engine->Settings, m_where);
}

}  // namespace obrin
