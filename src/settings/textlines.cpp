#include "settings/textlines.h"

#include <array>
#include <cstdint>

namespace obrin {

namespace {

// Windows-1252 bytes 0x80 .. 0x9F; 0xFFFD where the code page leaves a byte undefined.
constexpr std::array<char32_t, 32> kCp1252High = {
    0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0xFFFD, 0x017D, 0xFFFD, 0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0xFFFD, 0x017E, 0x0178};

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

std::string Cp1252ToUtf8(std::string_view text) {
    std::string out;
    out.reserve(text.size() * 2);
    for (const char ch : text) {
        const auto b = static_cast<unsigned char>(ch);
        AppendUtf8(out, b >= 0x80 && b < 0xA0 ? kCp1252High[b - 0x80] : char32_t(b));
    }
    return out;
}

bool HasControlCharacters(std::string_view text) {
    for (const char ch : text) {
        const auto b = static_cast<unsigned char>(ch);
        if ((b < 0x20 && b != '\t') || b == 0x7F) return true;
    }
    return false;
}

// Length of the UTF-8 sequence starting at text[i], or 0 when it is not a valid one.
size_t SequenceLength(std::string_view text, size_t i) {
    const auto b0 = static_cast<unsigned char>(text[i]);
    if (b0 < 0x80) return 1;
    size_t length = 0;
    uint32_t c = 0;
    if (b0 >= 0xC2 && b0 <= 0xDF) {
        length = 2;
        c = b0 & 0x1F;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
        length = 3;
        c = b0 & 0x0F;
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        length = 4;
        c = b0 & 0x07;
    } else {
        return 0;
    }
    if (i + length > text.size()) return 0;
    for (size_t k = 1; k < length; ++k) {
        const auto b = static_cast<unsigned char>(text[i + k]);
        if ((b & 0xC0) != 0x80) return 0;
        c = (c << 6) | (b & 0x3F);
    }
    const bool overlong = (length == 3 && c < 0x800) || (length == 4 && c < 0x10000);
    const bool surrogate = c >= 0xD800 && c <= 0xDFFF;
    if (overlong || surrogate || c > 0x10FFFF) return 0;
    return length;
}

}  // namespace

bool IsValidUtf8(std::string_view text) {
    for (size_t i = 0; i < text.size();) {
        const size_t length = SequenceLength(text, i);
        if (length == 0) return false;
        i += length;
    }
    return true;
}

std::string Utf8Prefix(std::string_view text, size_t maxChars) {
    size_t i = 0;
    for (size_t chars = 0; i < text.size() && chars < maxChars; ++chars) {
        const size_t length = SequenceLength(text, i);
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
            result.Lines.push_back({number, Cp1252ToUtf8(raw)});
        }
    }
    return result;
}

}  // namespace obrin
