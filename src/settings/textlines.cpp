#include "settings/textlines.h"

#include <array>
#include <cstdint>

namespace obrin {

namespace {

bool HasControlCharacters(std::string_view text) {
    for (const char ch : text) {
        const auto b = static_cast<unsigned char>(ch);
        if ((b < 0x20 && b != '\t') || b == 0x7F) return true;
    }
    return false;
}

}  // namespace

std::string Utf8Prefix(std::string_view text, size_t maxChars) {
    size_t i = 0;
    for (size_t chars = 0; i < text.size() && chars < maxChars; ++chars) {
        const size_t length = Utf8SequenceLength(text, i);
        i += length == 0 ? 1 : length;
    }
    return std::string(text.substr(0, i));
}

TTextLines SplitTextLines(std::string_view contents, const std::string& fileName) {
    TTextLines result;
    if (contents.starts_with("\xEF\xBB\xBF")) contents.remove_prefix(3);
    const auto problem = [&](int number, const char* what) {
        result.Problems.push_back(fileName + ":" + std::to_string(number) + ": " + what);
    };
    int number = 0;
    size_t start = 0;
    while (start < contents.size()) {
        size_t end = contents.find_first_of("\r\n", start);
        if (end == std::string_view::npos) end = contents.size();
        const std::string_view raw = contents.substr(start, end - start);
        start = end;
        if (start < contents.size() && contents[start] == '\r') ++start;
        if (start < contents.size() && contents[start] == '\n') ++start;
        ++number;
        if (raw.size() > MaxTextLineBytes) {
            problem(number, "line too long, left out");
        } else if (HasControlCharacters(raw)) {
            problem(number, "control characters (binary data?), line left out");
        } else if (IsValidUtf8(raw)) {
            result.Lines.push_back({number, std::string(raw)});
        } else {
            problem(number, "not UTF-8, read as Windows-1252");
            result.Lines.push_back({number, Windows1252ToUtf8(raw, TUndefinedBytes::AsReplacement)});
        }
    }
    return result;
}

}  // namespace obrin
