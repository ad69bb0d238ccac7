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

// The characters of Windows-1252's bytes 0x80 to 0x9F. The five bytes it leaves undefined read
// as the control characters of the same number, so that they survive a round trip.
constexpr std::array<char32_t, 32> kWindows1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// The length of the valid UTF-8 sequence at text[i], 0 when there is none.
size_t Utf8Length(std::string_view text, size_t i) {
    const auto b = [&](size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char b0 = b(i);
    size_t n = 0;
    char32_t min = 0;
    if (b0 < 0x80) return 1;
    if ((b0 & 0xE0) == 0xC0)
        n = 2, min = 0x80;
    else if ((b0 & 0xF0) == 0xE0)
        n = 3, min = 0x800;
    else if ((b0 & 0xF8) == 0xF0)
        n = 4, min = 0x10000;
    else
        return 0;
    if (i + n > text.size()) return 0;
    char32_t c = b0 & (0x7F >> n);
    for (size_t k = 1; k < n; ++k) {
        if ((b(i + k) & 0xC0) != 0x80) return 0;
        c = (c << 6) | (b(i + k) & 0x3F);
    }
    if (c < min || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return 0;
    return n;
}

// The code points of valid UTF-8 text.
std::u32string CodePoints(std::string_view utf8) {
    std::u32string out;
    for (size_t i = 0; i < utf8.size();) {
        const size_t n = Utf8Length(utf8, i);
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
    std::string out;
    out.reserve(raw.size() + raw.size() / 4);
    for (const char ch : raw) {
        const auto b = static_cast<unsigned char>(ch);
        AppendUtf8(out, windows && b >= 0x80 && b < 0xA0 ? kWindows1252High[b - 0x80] : b);
    }
    return out;
}

bool EncodeSingleByte(const std::string& utf8, bool windows, std::string& raw) {
    std::string out;
    for (const char32_t c : CodePoints(utf8)) {
        if (c < 0x80 || (c >= 0xA0 && c <= 0xFF) || (!windows && c <= 0xFF)) {
            out += static_cast<char>(c);
            continue;
        }
        size_t k = 0;
        while (k < kWindows1252High.size() && kWindows1252High[k] != c) ++k;
        if (!windows || k == kWindows1252High.size()) return false;
        out += static_cast<char>(0x80 + k);
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
