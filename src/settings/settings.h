// The settings record and its file "OBRIN.INI": what the parameter dialog edits, the interface
// language and font, and the positions of the tool windows.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace obrin {

struct TFileLocations;

inline constexpr const char* SettingsFileName = "OBRIN.INI";
// The system colour of button faces, the board's colour until the user picks one.
inline constexpr int32_t SystemButtonFace = static_cast<int32_t>(0x8000000F);
// Paths are cut to this many characters when copied into the record.
inline constexpr size_t MaxSettingsPathChars = 80;

// The process-wide settings. Defaults are those of a missing file.
struct TSettings {
    bool StellungSichern = false;       // save the position after each move (kept, not acted on)
    bool KettenProtokollieren = false;  // write the chain-status dump "ketten.txt"
    bool ZieleProtokollieren = false;   // DebugOutput: write the goal-selection trace "debug.txt"
    bool TreppenAnimieren = false;      // show the searches' trial moves (lookahead animation)
    std::string Stellungen;             // base folder of position files (Stellung: position)
    std::string Partien;                // base folder of game files (Partie: game)
    int32_t Farbe = SystemButtonFace;   // board colour (Farbe: colour)
    int32_t Denkzeit = 1;  // ms of thinking time per strategic point (kept, not acted on)
    bool Zufall = true;    // randomness (Zufall: chance)
    // The classic engine: the group status, the end-of-game count and the move choice exactly as
    // the engine first made them, without the later corrections for strength (off by default).
    bool KlassischeEngine = false;
    std::string Sprache = "English";  // interface language (Sprache: language)
    std::string Font = "Arial";       // interface font face
    bool operator==(const TSettings&) const = default;
};

struct TWindowPosition {
    int32_t Left = 0;
    int32_t Top = 0;
    bool operator==(const TWindowPosition&) const = default;
};

// A tool window whose position is kept in the section "Forms" under Name + "-Left" and
// Name + "-Top " (with a trailing blank, as the file has always had it).
struct TToolWindow {
    const char* Name;
    TWindowPosition Default;
};
inline constexpr TToolWindow FormBoardWindow{"FormBoard", {5, 10}};
inline constexpr TToolWindow FormScoreWindow{"FormScore", {400, 70}};
inline constexpr TToolWindow FormCursorWindow{"FormCursor", {400, 30}};

// Every setting of the file, defaults for what is missing, paths cut to 80 characters. Lines
// left out of a damaged file are appended to problems when given. Raises EObrinError naming the
// file when it exists but cannot be read.
[[nodiscard]] TSettings ReadSettingsFile(const TFileLocations& where,
                                         std::vector<std::string>* problems = nullptr);
// Writes every setting, keeping the file's other sections and keys.
void WriteSettingsFile(const TSettings& settings, const TFileLocations& where);

// What the main window reads at start: "Sprache" (default "English") and "Partien" (default
// empty), and writes back on closing: "Partien".
struct TStartupSettings {
    std::string Sprache;
    std::string Partien;
};
[[nodiscard]] TStartupSettings ReadStartupSettings(const TFileLocations& where);
void WritePartien(const TFileLocations& where, const std::string& partien);

// The records opened last, newest first, kept in the section "Recent" as "File1", "File2", ...
inline constexpr size_t MaxRecentFiles = 6;
[[nodiscard]] std::vector<std::string> ReadRecentFiles(const TFileLocations& where);
void WriteRecentFiles(const TFileLocations& where, const std::vector<std::string>& files);
// The list with file in front, an older entry of it removed, cut to MaxRecentFiles.
[[nodiscard]] std::vector<std::string> WithRecentFile(std::vector<std::string> files,
                                                      const std::string& file);

[[nodiscard]] TWindowPosition ReadWindowPosition(const TFileLocations& where,
                                                 const TToolWindow& window);
void WriteWindowPosition(const TFileLocations& where, const TToolWindow& window,
                         TWindowPosition position);

}  // namespace obrin
