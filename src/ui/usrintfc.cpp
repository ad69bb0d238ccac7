#include "ui/usrintfc.h"

#include <iostream>

#include "board/errors.h"
#include "game/engine.h"
#include "ui/settings.h"

namespace obrin {

TUserInterface::TUserInterface(TEngine& engine, TFileLocations where)
    : m_engine(engine), m_where(std::move(where)) {
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

TLangSup& TUserInterface::LangSup() {
    return m_engine.LangSup;
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
    TSettings& settings = m_engine.Settings;
    m_settingsProblems.clear();
    settings = ReadSettingsFile(m_where, &m_settingsProblems);
    LangSup().SetLanguage(settings.Sprache);
    SetFontName(settings.Font);
    if (settings.Zufall) m_engine.Random.Randomize();
}

void TUserInterface::WriteSettings() const {
    WriteSettingsFile(m_engine.Settings, m_where);
}

}  // namespace obrin
