#include "goals/goaldbg.h"

#include <string>

#include "board/errors.h"
#include "board/safefile.h"

namespace obrin {

namespace {

constexpr std::string_view LineEnd = "\r\n";
constexpr std::string_view BannerStars =
    "*************************************************************";
constexpr std::string_view BannerTitle =
    "* Neues Ziel                                                *";
static_assert(BannerStars.size() == 61 && BannerTitle.size() == 61);

constexpr auto ReadWrite = std::ios::in | std::ios::out | std::ios::binary;

}  // namespace

TGoalDebugger::TGoalDebugger(std::filesystem::path fileName, const bool& debugOutput)
    : m_fileName(std::move(fileName)), m_debugOutput(debugOutput) {
    try {
        (void)CheckWriteTarget(m_fileName);
    } catch (const EObrinError& e) {
        m_refused = e.what();
        return;
    }
    m_stream.open(m_fileName, ReadWrite);
    if (!m_stream.is_open()) Restart();
}

void TGoalDebugger::Restart() {
    if (!m_refused.empty()) return;
    m_stream.close();
    m_stream.clear();
    // Truncating and reopening for reading and writing keeps Write's seek to the end working.
    m_stream.open(m_fileName, ReadWrite | std::ios::trunc);
}

void TGoalDebugger::Write(std::string_view text) {
    if (!Enabled()) return;
    CheckStream("cannot open the goal trace");
    m_stream.seekp(0, std::ios::end);
    if (!text.empty()) m_stream.write(text.data(), static_cast<std::streamsize>(text.size()));
    // The trace is read while the program runs, and after a crash: keep the file current.
    m_stream.flush();
    CheckStream("cannot write the goal trace");
}

void TGoalDebugger::WriteLine(std::string_view text) {
    if (!Enabled()) return;
    std::string line(text);
    line += LineEnd;
    Write(line);
}

void TGoalDebugger::WriteBanner() {
    if (!Enabled()) return;
    Restart();
    WriteLine("");
    WriteLine(BannerStars);
    WriteLine(BannerTitle);
    WriteLine(BannerStars);
    WriteLine("");
}

void TGoalDebugger::CheckStream(const char* what) {
    if (!m_refused.empty()) throw EObrinError(m_refused);
    if (m_stream.is_open() && m_stream.good()) return;
    throw EObrinError(m_fileName.string() + ": " + what);
}

}  // namespace obrin
