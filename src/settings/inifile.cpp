#include "settings/inifile.h"

#include <algorithm>
#include <charconv>
#include <system_error>

#include "settings/filelocations.h"
#include "settings/textlines.h"

namespace obrin {

namespace {

std::string_view Trim(std::string_view text) {
    const size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    const size_t last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

char AsciiLower(char ch) {
    return ch >= 'A' && ch <= 'Z' ? static_cast<char>(ch - 'A' + 'a') : ch;
}

bool SameName(std::string_view a, std::string_view b) {
    a = Trim(a);
    b = Trim(b);
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
    return true;
}

std::string OneLine(std::string_view text) {
    std::string line(text);
    for (char& ch : line)
        if (ch == '\r' || ch == '\n') ch = ' ';
    return line;
}

bool ParseInt32(std::string_view text, int32_t& value) {
    text = Trim(text);
    int base = 10;
    bool negative = false;
    if (text.starts_with("$")) {
        base = 16;
        text.remove_prefix(1);
    } else if (text.starts_with("0x") || text.starts_with("0X")) {
        base = 16;
        text.remove_prefix(2);
    } else if (text.starts_with("-")) {
        negative = true;
        text.remove_prefix(1);
    } else if (text.starts_with("+")) {
        text.remove_prefix(1);
    }
    if (text.empty()) return false;
    uint64_t magnitude = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), magnitude, base);
    if (ec != std::errc() || end != text.data() + text.size()) return false;
    if (base == 16) {
        if (magnitude > 0xFFFFFFFFu) return false;
        value = static_cast<int32_t>(static_cast<uint32_t>(magnitude));
        return true;
    }
    if (magnitude > (negative ? 2147483648u : 2147483647u)) return false;
    value = static_cast<int32_t>(negative ? -static_cast<int64_t>(magnitude)
                                          : static_cast<int64_t>(magnitude));
    return true;
}

}  // namespace

TIniFile::TIniFile(std::string_view text, const std::string& fileName) {
    TTextLines lines = SplitTextLines(text, fileName);
    m_problems = std::move(lines.Problems);
    m_sections.push_back({});
    for (const TTextLine& line : lines.Lines) {
        const std::string_view content = Trim(line.Text);
        if (content.empty()) continue;
        if (content.front() == ';' || content.front() == '#') {
            m_sections.back().Lines.push_back({"", "", std::string(content)});
        } else if (content.front() == '[' && content.back() == ']') {
            m_sections.push_back({std::string(Trim(content.substr(1, content.size() - 2))), {}});
        } else if (const size_t eq = line.Text.find('=');
                   eq != std::string::npos &&
                   !Trim(std::string_view(line.Text).substr(0, eq)).empty()) {
            // The key keeps a trailing blank ("FormBoard-Top "); only leading blanks go.
            std::string_view key = std::string_view(line.Text).substr(0, eq);
            key.remove_prefix(std::min(key.size(), key.find_first_not_of(" \t")));
            m_sections.back().Lines.push_back(
                {std::string(key), std::string(Trim(std::string_view(line.Text).substr(eq + 1))),
                 ""});
        } else {
            m_problems.push_back(fileName + ":" + std::to_string(line.Number) +
                                 ": neither [Section] nor Key=Value, line left out");
        }
    }
}

template <class TSections>
auto* TIniFile::FindIn(TSections& sections, std::string_view section, std::string_view key) {
    for (auto& s : sections) {
        if (!SameName(s.Name, section)) continue;
        for (auto& line : s.Lines)
            if (!line.Key.empty() && SameName(line.Key, key)) return &line;
        break;
    }
    return static_cast<decltype(&sections.front().Lines.front())>(nullptr);
}

const TIniFile::TLine* TIniFile::Find(std::string_view section, std::string_view key) const {
    return FindIn(m_sections, section, key);
}

std::string TIniFile::ReadString(std::string_view section, std::string_view key,
                                 const std::string& def) const {
    const TLine* line = Find(section, key);
    return line != nullptr ? line->Value : def;
}

int32_t TIniFile::ReadInteger(std::string_view section, std::string_view key, int32_t def) const {
    const TLine* line = Find(section, key);
    int32_t value = 0;
    return line != nullptr && ParseInt32(line->Value, value) ? value : def;
}

bool TIniFile::ReadBool(std::string_view section, std::string_view key, bool def) const {
    const TLine* line = Find(section, key);
    if (line == nullptr) return def;
    int32_t value = 0;
    if (ParseInt32(line->Value, value)) return value != 0;
    if (SameName(line->Value, "true") || SameName(line->Value, "yes")) return true;
    if (SameName(line->Value, "false") || SameName(line->Value, "no")) return false;
    return def;
}

void TIniFile::WriteString(std::string_view section, std::string_view key, std::string_view value) {
    if (TLine* found = FindIn(m_sections, section, key); found != nullptr) {
        found->Value = std::string(Trim(OneLine(value)));
        return;
    }
    TSection* target = nullptr;
    for (TSection& s : m_sections)
        if (SameName(s.Name, section)) {
            target = &s;
            break;
        }
    if (target == nullptr) target = &m_sections.emplace_back(TSection{OneLine(section), {}});
    target->Lines.push_back({OneLine(key), std::string(Trim(OneLine(value))), ""});
}

void TIniFile::WriteInteger(std::string_view section, std::string_view key, int32_t value) {
    WriteString(section, key, std::to_string(value));
}

void TIniFile::WriteBool(std::string_view section, std::string_view key, bool value) {
    WriteString(section, key, value ? "1" : "0");
}

std::string TIniFile::ToText() const {
    std::string text;
    for (const TSection& s : m_sections) {
        // The lines before the first header have no header of their own.
        if (&s != &m_sections.front() || !s.Name.empty()) {
            if (!text.empty()) text += "\r\n";
            text.append("[").append(s.Name).append("]\r\n");
        }
        for (const TLine& line : s.Lines) {
            if (line.Key.empty())
                text.append(line.Comment);
            else
                text.append(line.Key).append("=").append(line.Value);
            text += "\r\n";
        }
    }
    return text;
}

TIniFile LoadIniFile(const std::filesystem::path& file) {
    std::error_code ec;
    if (!std::filesystem::exists(file, ec)) return {};
    return TIniFile(ReadWholeFile(file), file.string());
}

}  // namespace obrin
