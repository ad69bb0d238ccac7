// The goal-selection trace "debug.txt": the goals a computer move started with, every comparison
// of the rules with their votes, and every goal the search chose. The file holds the last move
// only; it is emptied when the banner of a new move is written. Lines end with CR LF.
#pragma once

#include <filesystem>
#include <fstream>
#include <string_view>

namespace obrin {

inline constexpr const char* GoalTraceFileName = "debug.txt";

// Writes the trace while the switch (the setting "ZieleProtokollieren") is on; with the switch
// off every write does nothing. The file is opened when the debugger is created, whether the
// switch is on or not.
class TGoalDebugger {
  public:
    // Opens the existing file for reading and writing, or creates it empty. A file that may not
    // be written (no regular file, read-only) is left alone; every write then raises the
    // reason. debugOutput is the switch, read at every write; it must outlive the debugger.
    TGoalDebugger(std::filesystem::path fileName, const bool& debugOutput);
    TGoalDebugger(const TGoalDebugger&) = delete;
    TGoalDebugger& operator=(const TGoalDebugger&) = delete;

    [[nodiscard]] bool Enabled() const { return m_debugOutput; }
    [[nodiscard]] const std::filesystem::path& FileName() const { return m_fileName; }

    // Closes the file and creates it anew, empty.
    void Restart();
    // Appends text as it is (no line end).
    void Write(std::string_view text);
    // Appends text and CR LF.
    void WriteLine(std::string_view text);
    // Empties the file and writes the banner that opens the trace of a new move.
    void WriteBanner();

  private:
    // Raises EObrinError naming the file when the stream cannot be written.
    void CheckStream(const char* what);

    std::filesystem::path m_fileName;
    std::string m_refused;  // why the file may not be written (a folder, read-only); else empty
    std::fstream m_stream;
    const bool& m_debugOutput;
};

}  // namespace obrin
