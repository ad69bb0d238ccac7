// Text coding shared by the program's text files and the records: UTF-8 sequences and the old
// Windows code page (Windows-1252), which earlier versions and many records were written in.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace obrin {

// Appends c as UTF-8 (one to four bytes).
void AppendUtf8(std::string& out, char32_t c);
// The length of the valid UTF-8 sequence at text[i]; 0 when none starts there (a stray byte, an
// overlong form, a surrogate, a code point beyond U+10FFFF, a sequence cut off at the end).
[[nodiscard]] size_t Utf8SequenceLength(std::string_view text, size_t i);
[[nodiscard]] bool IsValidUtf8(std::string_view text);

// What the five bytes become that Windows-1252 leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D):
// the control characters of the same number, so that a record survives a round trip; or U+FFFD,
// so that a settings or language line shows what could not be read instead of a control
// character.
enum class TUndefinedBytes { AsControls, AsReplacement };

[[nodiscard]] std::string Windows1252ToUtf8(std::string_view text, TUndefinedBytes undefined);
// The Windows-1252 byte of c, or -1 when the code page has none (the undefined bytes encode
// their control characters).
[[nodiscard]] int Windows1252Byte(char32_t c);

}  // namespace obrin
