#include "records/sgftoken.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>

#include "board/errors.h"

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

std::string ReadWholeFile(const std::string& fileName) {
    std::ifstream in(fileName, std::ios::binary);
    if (!in) throw EObrinError("Cannot open file " + fileName + ": " + std::strerror(errno));
    std::ostringstream data;
    data << in.rdbuf();
    if (in.bad()) throw EObrinError("Cannot read file " + fileName);
    return std::move(data).str();
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
    if (m_stream.rfind("\xEF\xBB\xBF", 0) == 0) m_position = 3;
    NextToken();
}

int TSgfTokenizer::ReadByte() {
    if (m_position >= m_stream.size()) return kEnd;
    const int c = static_cast<unsigned char>(m_stream[m_position++]);
    if (c == '\n') ++Line;
    return c;
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
                return;
            case ')':
                Kind = toCloseParenthese;
                Text.assign(1, ')');
                return;
            case ';':
                Kind = toSemicolon;
                Text.assign(1, ';');
                return;
            case '[':
                ReadValue();
                return;
            case kEnd:
                Kind = toEOF;
                Text = std::string(1, static_cast<char>(kEnd));
                return;
            default:
                if (IsWhite(c)) continue;
                Kind = toChar;
                Text.assign(1, static_cast<char>(c));
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
        Line += std::count(data + m_position, data + p, '\n');
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
    const char* format = msg::SgfExpected;
    const int n = std::snprintf(nullptr, 0, format, KindName(kind), Text.c_str(),
                                static_cast<long long>(Line), m_fileName.c_str());
    std::string line(static_cast<size_t>(std::max(n, 0)), '\0');
    std::snprintf(line.data(), line.size() + 1, format, KindName(kind), Text.c_str(),
                  static_cast<long long>(Line), m_fileName.c_str());
    Report(line);
}

void TSgfTokenizer::Expect(TSgfTokenKind kind) {
    ReportExpected(kind);
    NextToken();
}

}  // namespace obrin
