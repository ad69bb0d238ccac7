#include "settings/settings.h"

#include <functional>

#include "board/errors.h"
#include "settings/filelocations.h"
#include "settings/inifile.h"
#include "settings/textlines.h"

namespace obrin {

namespace {

constexpr const char* kAllgemein = "Allgemein";  // general
constexpr const char* kPaths = "Paths";
constexpr const char* kBrett = "Brett";      // board
constexpr const char* kStaerke = "Staerke";  // strength
constexpr const char* kLanguage = "Language Support";
constexpr const char* kForms = "Forms";
constexpr const char* kRecent = "Recent";

std::string RecentKey(size_t i) {
    return "File" + std::to_string(i + 1);
}

TIniFile LoadSettingsIni(const TFileLocations& where) {
    const auto file = where.FindForRead(SettingsFileName);
    return file ? LoadIniFile(*file) : TIniFile();
}

// The file for the readers that fall back to defaults (window positions, recent files, the
// start-up values): a file that cannot be read at all counts as empty. ReadSettingsFile, which
// the start-up and the parameter dialog call first, reports it.
TIniFile LoadSettingsIniOrEmpty(const TFileLocations& where) {
    try {
        return LoadSettingsIni(where);
    } catch (const EObrinError&) {
        return {};
    }
}

// Reads the file, lets change set keys, and writes it back whole; other keys stay as they were.
// Nothing is written when nothing changed, and never over a file with lines the reader could
// not take (too long, binary, malformed): writing it back would lose them.
void UpdateSettingsIni(const TFileLocations& where, const std::function<void(TIniFile&)>& change) {
    TIniFile ini = LoadSettingsIni(where);
    const std::string before = ini.ToText();
    change(ini);
    const std::string after = ini.ToText();
    if (after == before) return;
    if (!ini.Problems().empty())
        throw EObrinError(ini.Problems().front() + "; the file is not written, so that no line "
                                                   "of it is lost");
    WriteFileAtomically(where.PathForWrite(SettingsFileName), after);
}

std::string CutPath(const std::string& path) {
    return Utf8Prefix(path, MaxSettingsPathChars);
}

// A folder is shown cut to 80 characters; writing the cut value back unchanged would shorten
// the stored one, so an unchanged folder keeps what the file holds.
void WritePath(TIniFile& ini, const char* section, const char* key, const std::string& path) {
    constexpr const char* missing = "\x01";
    const std::string stored = ini.ReadString(section, key, missing);
    if (stored != missing && CutPath(stored) == path) return;
    ini.WriteString(section, key, path);
}

std::string LeftKey(const TToolWindow& window) {
    return std::string(window.Name) + "-Left";
}
std::string TopKey(const TToolWindow& window) {
    return std::string(window.Name) + "-Top ";
}

}  // namespace

TSettings ReadSettingsFile(const TFileLocations& where, std::vector<std::string>* problems) {
    const TIniFile ini = LoadSettingsIni(where);
    if (problems != nullptr)
        problems->insert(problems->end(), ini.Problems().begin(), ini.Problems().end());
    TSettings s;
    s.StellungSichern = ini.ReadBool(kAllgemein, "StellungSichern", s.StellungSichern);
    s.KettenProtokollieren =
        ini.ReadBool(kAllgemein, "KettenProtokollieren", s.KettenProtokollieren);
    s.ZieleProtokollieren = ini.ReadBool(kAllgemein, "ZieleProtokollieren", s.ZieleProtokollieren);
    s.TreppenAnimieren = ini.ReadBool(kAllgemein, "TreppenAnimieren", s.TreppenAnimieren);
    s.Stellungen =
        CutPath(ini.ReadString(kPaths, "Stellungen", (where.ProgramDir / "STELLUNG").string()));
    s.Partien = CutPath(ini.ReadString(kPaths, "Partien", (where.ProgramDir / "PARTIEN").string()));
    s.Farbe = ini.ReadInteger(kBrett, "Farbe", s.Farbe);
    s.Denkzeit = ini.ReadInteger(kStaerke, "Denkzeit", s.Denkzeit);
    s.Zufall = ini.ReadBool(kStaerke, "Zufall", s.Zufall);
    s.KlassischeEngine = ini.ReadBool(kStaerke, "KlassischeEngine", s.KlassischeEngine);
    s.Sprache = ini.ReadString(kLanguage, "Sprache", s.Sprache);
    s.Font = ini.ReadString(kLanguage, "Font", s.Font);
    return s;
}

void WriteSettingsFile(const TSettings& s, const TFileLocations& where) {
    UpdateSettingsIni(where, [&](TIniFile& ini) {
        ini.WriteBool(kAllgemein, "StellungSichern", s.StellungSichern);
        ini.WriteBool(kAllgemein, "KettenProtokollieren", s.KettenProtokollieren);
        ini.WriteBool(kAllgemein, "ZieleProtokollieren", s.ZieleProtokollieren);
        ini.WriteBool(kAllgemein, "TreppenAnimieren", s.TreppenAnimieren);
        WritePath(ini, kPaths, "Stellungen", s.Stellungen);
        WritePath(ini, kPaths, "Partien", s.Partien);
        ini.WriteInteger(kBrett, "Farbe", s.Farbe);
        ini.WriteInteger(kStaerke, "Denkzeit", s.Denkzeit);
        ini.WriteBool(kStaerke, "Zufall", s.Zufall);
        ini.WriteBool(kStaerke, "KlassischeEngine", s.KlassischeEngine);
        ini.WriteString(kLanguage, "Sprache", s.Sprache);
        ini.WriteString(kLanguage, "Font", s.Font);
    });
}

TStartupSettings ReadStartupSettings(const TFileLocations& where) {
    const TIniFile ini = LoadSettingsIniOrEmpty(where);
    return {ini.ReadString(kLanguage, "Sprache", "English"),
            CutPath(ini.ReadString(kPaths, "Partien", ""))};
}

void WritePartien(const TFileLocations& where, const std::string& partien) {
    UpdateSettingsIni(where, [&](TIniFile& ini) { WritePath(ini, kPaths, "Partien", partien); });
}

std::vector<std::string> ReadRecentFiles(const TFileLocations& where) {
    const TIniFile ini = LoadSettingsIniOrEmpty(where);
    std::vector<std::string> files;
    for (size_t i = 0; i < MaxRecentFiles; ++i)
        if (std::string f = ini.ReadString(kRecent, RecentKey(i), ""); !f.empty())
            files.push_back(std::move(f));
    return files;
}

void WriteRecentFiles(const TFileLocations& where, const std::vector<std::string>& files) {
    UpdateSettingsIni(where, [&](TIniFile& ini) {
        // Every slot is written, so that a shorter list leaves no old names behind.
        for (size_t i = 0; i < MaxRecentFiles; ++i)
            ini.WriteString(kRecent, RecentKey(i), i < files.size() ? files[i] : std::string());
    });
}

std::vector<std::string> WithRecentFile(std::vector<std::string> files, const std::string& file) {
    std::erase(files, file);
    files.insert(files.begin(), file);
    if (files.size() > MaxRecentFiles) files.resize(MaxRecentFiles);
    return files;
}

TWindowPosition ReadWindowPosition(const TFileLocations& where, const TToolWindow& window) {
    const TIniFile ini = LoadSettingsIniOrEmpty(where);
    return {ini.ReadInteger(kForms, LeftKey(window), window.Default.Left),
            ini.ReadInteger(kForms, TopKey(window), window.Default.Top)};
}

void WriteWindowPosition(const TFileLocations& where, const TToolWindow& window,
                         TWindowPosition position) {
    UpdateSettingsIni(where, [&](TIniFile& ini) {
        ini.WriteInteger(kForms, LeftKey(window), position.Left);
        ini.WriteInteger(kForms, TopKey(window), position.Top);
    });
}

}  // namespace obrin
