// The text encodings of game records. Records keep their property values as the bytes of the
// file; only the windows need characters. A record names its encoding with CA; without CA its
// text is UTF-8 when every value is valid UTF-8, else Windows-1252 (which reads every byte, so
// old Latin-1 records without CA show their umlauts). Decoding and encoding again give back
// the same bytes for every value, so text that nobody edited is saved unchanged.
#pragma once

#include <string>
#include <string_view>

namespace obrin {

inline constexpr const char* Utf8Charset = "UTF-8";
inline constexpr const char* FallbackCharset = "Windows-1252";

[[nodiscard]] bool IsAscii(std::string_view text);

// The value of a record's CA as the encoding to use: "" or UTF-8 spelt any way gives UTF-8.
[[nodiscard]] std::string CharsetOfCa(const std::string& ca);

// Record bytes as UTF-8. Bytes the encoding cannot read (a wrong CA) are read as
// Windows-1252 instead, so decoding never fails and never drops a byte.
[[nodiscard]] std::string DecodeRecordText(const std::string& raw, const std::string& charset);
// UTF-8 text as record bytes; false when a character does not exist in the encoding.
[[nodiscard]] bool EncodeRecordText(const std::string& utf8, const std::string& charset,
                                    std::string& raw);

}  // namespace obrin
