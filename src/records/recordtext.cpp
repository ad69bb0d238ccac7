#include "records/recordtext.h"

#include <iconv.h>

#include <array>
#include <cctype>
#include <cerrno>
#include <cstdint>

#include "settings/textlines.h"

namespace obrin {
namespace {

enum class TKnown { Utf8, Latin1, Windows1252, Other };

TKnown KnownCharset(const std::string& charset) {
    std::string key;
    for (const char c : charset)
        if (std::isalnum(static_cast<unsigned char>(c)))
            key += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (key.empty() || key == "UTF8") return TKnown::Utf8;
    if (key == "ISO88591" || key == "LATIN1" || key == "L1" || key == "ISOLATIN1")
        return TKnown::Latin1;
    if (key == "WINDOWS1252" || key == "CP1252" || key == "WIN1252") return TKnown::Windows1252;
    return TKnown::Other;
}

// The code points of valid UTF-8 text.
std::u32string CodePoints(std::string_view utf8) {
    std::u32string out;
    for (size_t i = 0; i < utf8.size();) {
        const size_t n = Utf8SequenceLength(utf8, i);
        const auto b0 = static_cast<unsigned char>(utf8[i]);
        char32_t c = n == 1 ? b0 : b0 & (0x7F >> n);
        for (size_t k = 1; k < n; ++k)
            c = (c << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
        out += c;
        i += n;
    }
    return out;
}

std::string DecodeSingleByte(const std::string& raw, bool windows) {
    if (windows) return Windows1252ToUtf8(raw, TUndefinedBytes::AsControls);
    std::string out;
    out.reserve(raw.size() + raw.size() / 4);
    for (const char ch : raw) AppendUtf8(out, static_cast<unsigned char>(ch));
    return out;
}

bool EncodeSingleByte(const std::string& utf8, bool windows, std::string& raw) {
    std::string out;
    for (const char32_t c : CodePoints(utf8)) {
        const int b = windows ? Windows1252Byte(c) : (c <= 0xFF ? static_cast<int>(c) : -1);
        if (b < 0) return false;
        out += static_cast<char>(b);
    }
    raw = std::move(out);
    return true;
}

// Any other encoding goes through the C library; false when it does not know the encoding or
// the text has a character it cannot convert.
bool Iconv(const std::string& to, const std::string& from, const std::string& in,
           std::string& out) {
    const iconv_t cd = iconv_open(to.c_str(), from.c_str());
    if (cd == reinterpret_cast<iconv_t>(-1)) return false;
    std::string result(in.size() * 4 + 16, '\0');
    char* inPtr = const_cast<char*>(in.data());
    size_t inLeft = in.size();
    char* outPtr = result.data();
    size_t outLeft = result.size();
    const size_t done = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
    const bool flushed = iconv(cd, nullptr, nullptr, &outPtr, &outLeft) != static_cast<size_t>(-1);
    iconv_close(cd);
    if (done == static_cast<size_t>(-1) || !flushed || inLeft != 0) return false;
    result.resize(result.size() - outLeft);
    out = std::move(result);
    return true;
}

}  // namespace

bool IsAscii(std::string_view text) {
    for (const char c : text)
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    return true;
}

std::string CharsetOfCa(const std::string& ca) {
    return KnownCharset(ca) == TKnown::Utf8 ? Utf8Charset : ca;
}

std::string DecodeRecordText(const std::string& raw, const std::string& charset) {
    if (IsAscii(raw)) return raw;
    switch (KnownCharset(charset)) {
        case TKnown::Utf8:
            if (IsValidUtf8(raw)) return raw;
            break;
        case TKnown::Latin1:
            return DecodeSingleByte(raw, false);
        case TKnown::Windows1252:
            break;
        case TKnown::Other:
            if (std::string out; Iconv(Utf8Charset, charset, raw, out) && IsValidUtf8(out))
                return out;
            break;
    }
    return DecodeSingleByte(raw, true);
}

bool EncodeRecordText(const std::string& utf8, const std::string& charset, std::string& raw) {
    if (!IsValidUtf8(utf8)) return false;
    if (IsAscii(utf8)) {
        raw = utf8;
        return true;
    }
    switch (KnownCharset(charset)) {
        case TKnown::Utf8:
            raw = utf8;
            return true;
        case TKnown::Latin1:
            return EncodeSingleByte(utf8, false, raw);
        case TKnown::Windows1252:
            return EncodeSingleByte(utf8, true, raw);
        case TKnown::Other:
            return Iconv(charset, Utf8Charset, utf8, raw);
    }
    return false;
}

}  // namespace obrin
