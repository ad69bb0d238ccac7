// Lenient reading of the program's hand-editable text files (the language table and the settings
// file): any line ends, no final line end, a UTF-8 byte-order mark, lines in the old Windows
// code page, over-long lines and binary junk. What can be read is read; what cannot is reported
// with the file name and line number and left out, so that the next save is well-formed.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "settings/textcoding.h"

namespace obrin {

inline constexpr size_t MaxTextLineBytes = 8192;

struct TTextLine {
    int Number = 0;    // 1-based line number in the file
    std::string Text;  // valid UTF-8, without line end
};

struct TTextLines {
    std::vector<TTextLine> Lines;
    std::vector<std::string> Problems;  // "file:line: what", one per line left out or repaired
};

// Splits contents at CR, LF or CR LF. Lines that are not valid UTF-8 are read as Windows-1252;
// lines longer than MaxTextLineBytes or holding control characters (other than tab) are left
// out. fileName only serves the problem texts.
[[nodiscard]] TTextLines SplitTextLines(std::string_view contents, const std::string& fileName);

// The first maxChars characters (code points) of UTF-8 text.
[[nodiscard]] std::string Utf8Prefix(std::string_view text, size_t maxChars);

}  // namespace obrin
