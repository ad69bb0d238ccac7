#include "records/sgftoken.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

#include "board/errors.h"
#include "board/safefile.h"

namespace obrin {
namespace {

constexpr int kEnd = 26;  // Ctrl-Z: the reader's end-of-data byte

bool IsWhite(int c) {
    return c == ' ' || c == '\n' || c == '\r' || c == '\t' || c == '\v' || c == '\f';
}

}  // namespace

const char* KindName(TSgfTokenKind kind) {
    switch (kind) {
        case toOpenParenthese:
            return "toOpenParenthese";
        case toCloseParenthese:
            return "toCloseParenthese";
        case toPropertyValue:
            return "toPropertyValue";
        case toSemicolon:
            return "toSemicolon";
        case toChar:
            return "toChar";
        case toEOF:
            return "toEOF";
        default:
            return "???";
    }
}

std::string ExpectedText(TSgfTokenKind kind) {
    switch (kind) {
        case toOpenParenthese:
            return "'('";
        case toCloseParenthese:
            return "')'";
        case toPropertyValue:
            return "a property value in [ ]";
        case toSemicolon:
            return "';'";
        case toChar:
            return "a property name";
        case toEOF:
            return "the end of the file";
        default:
            return "???";
    }
}

namespace {

// What the current token is, as the second half of an "expected" message.
std::string FoundText(TSgfTokenKind kind, const std::string& text) {
    if (kind == toEOF) return "at the end of the file";
    if (kind == toEOFInValue) return "but the file ends inside a property value";
    if (kind == toPropertyValue) {
        std::string shown = text.substr(0, 20);
        for (char& c : shown)
            if (static_cast<unsigned char>(c) < 32) c = ' ';
        return "but found the value [" + shown + (text.size() > 20 ? "...]" : "]");
    }
    const auto c = static_cast<unsigned char>(text.empty() ? 0 : text[0]);
    if (c >= 32 && c < 127) return std::string("but found '") + static_cast<char>(c) + "'";
    char code[8];
    std::snprintf(code, sizeof code, "0x%02X", c);
    return std::string("but found the byte ") + code;
}

}  // namespace

std::string ReadWholeFile(const std::string& fileName) {
    return ReadRegularFile(fileName);
}

TSgfTokenizer::TSgfTokenizer(std::string fileName, std::vector<std::string>* messages)
    : TSgfTokenizer(fileName, ReadWholeFile(fileName), messages) {}

TSgfTokenizer::TSgfTokenizer(std::string fileName, std::string data,
                             std::vector<std::string>* messages)
    : m_fileName(std::move(fileName)), m_stream(std::move(data)), m_messages(messages) {
    // Everything after a byte 26 is gone for good, as if the file ended there.
    if (const size_t end = m_stream.find(static_cast<char>(kEnd)); end != std::string::npos)
        m_stream.resize(end);
    // Editors on Windows put a UTF-8 byte-order mark before the record; it is no text.
    if (m_stream.rfind("\xEF\xBB\xBF", 0) == 0) m_position = m_lineStart = 3;
    NextToken();
}

int TSgfTokenizer::ReadByte() {
    if (m_position >= m_stream.size()) return kEnd;
    const int c = static_cast<unsigned char>(m_stream[m_position++]);
    if (c == '\n') {
        ++Line;
        m_lineStart = m_position;
    }
    return c;
}

void TSgfTokenizer::MarkTokenStart() {
    // Called after the token's first byte was read; the end of the data has no byte of its own.
    const size_t first = m_position > 0 ? m_position - 1 : 0;
    const bool atEnd = Kind == toEOF;
    TokenLine = Line + 1;
    TokenColumn = atEnd ? static_cast<int64_t>(m_position - m_lineStart) + 1
                        : static_cast<int64_t>(first - m_lineStart) + 1;
}

unsigned char TSgfTokenizer::PeekAfterWhite() const {
    for (size_t p = m_position; p < m_stream.size(); ++p) {
        const auto c = static_cast<unsigned char>(m_stream[p]);
        if (!IsWhite(c)) return c;
    }
    return kEnd;
}

bool TSgfTokenizer::PropertyFollows() const {
    size_t p = m_position;
    const auto at = [this](size_t i) {
        return i < m_stream.size() ? static_cast<unsigned char>(m_stream[i]) : kEnd;
    };
    while (IsWhite(at(p))) ++p;
    if (at(p) < 'A' || at(p) > 'Z') return false;
    while (std::isalpha(at(p))) ++p;
    while (IsWhite(at(p))) ++p;
    return at(p) == '[';
}

void TSgfTokenizer::NextToken() {
    // Single characters are assigned as characters: assigning the literals trips GCC 12's
    // false -Wrestrict warning in optimised builds.
    Text.clear();
    for (;;) {
        const int c = ReadByte();
        switch (c) {
            case '(':
                Kind = toOpenParenthese;
                Text.assign(1, '(');
                MarkTokenStart();
                return;
            case ')':
                Kind = toCloseParenthese;
                Text.assign(1, ')');
                MarkTokenStart();
                return;
            case ';':
                Kind = toSemicolon;
                Text.assign(1, ';');
                MarkTokenStart();
                return;
            case '[':
                Kind = toPropertyValue;
                MarkTokenStart();
                ReadValue();
                return;
            case kEnd:
                Kind = toEOF;
                Text = std::string(1, static_cast<char>(kEnd));
                MarkTokenStart();
                return;
            default:
                if (IsWhite(c)) continue;
                Kind = toChar;
                Text.assign(1, static_cast<char>(c));
                MarkTokenStart();
                return;
        }
    }
}

void TSgfTokenizer::ReadValue() {
    // Copies runs of plain bytes at once; only "]", "\" and the end need a look of their own.
    const char* data = m_stream.data();
    const size_t size = m_stream.size();
    for (;;) {
        size_t p = m_position;
        while (p < size && data[p] != ']' && data[p] != '\\') ++p;
        if (const auto breaks = std::count(data + m_position, data + p, '\n'); breaks > 0) {
            Line += breaks;
            m_lineStart = static_cast<size_t>(
                std::find(std::make_reverse_iterator(data + p),
                          std::make_reverse_iterator(data + m_position), '\n').base() - data);
        }
        Text.append(data + m_position, p - m_position);
        m_position = p;
        const int c = ReadByte();
        if (c == ']') {
            Kind = toPropertyValue;
            return;
        }
        if (c == kEnd) {
            Kind = toEOFInValue;
            return;
        }
        // A backslash: the next byte is taken as it is.
        const int escaped = ReadByte();
        if (escaped == kEnd) {
            Kind = toEOFInValue;
            return;
        }
        Text += static_cast<char>(escaped);
    }
}

void TSgfTokenizer::Report(const std::string& line) {
    if (m_messages != nullptr) m_messages->push_back(line);
}

void TSgfTokenizer::ReportExpected(TSgfTokenKind kind) {
    if (Kind == kind) return;
    std::string line = ExpectedText(kind) + " expected " + FoundText(Kind, Text) + ", line " +
                       std::to_string(TokenLine);
    if (Kind != toEOF) line += ", column " + std::to_string(TokenColumn);
    Report(line + ", file " + m_fileName);
}

void TSgfTokenizer::Expect(TSgfTokenKind kind) {
    ReportExpected(kind);
    NextToken();
}

}  // namespace obrin
