// The SGF tokenizer: turns the bytes of an SGF or MGT file into the token stream that the
// parser consumes. It knows only the punctuation of SGF, not property identifiers or values.
// Syntax errors never stop it: they become message lines and reading moves on, so a damaged
// file still yields a tree.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace obrin {

enum TSgfTokenKind : uint8_t {
    toOpenParenthese,   // "("
    toCloseParenthese,  // ")"
    toPropertyValue,    // the text of a bracketed value, escapes removed
    toSemicolon,        // ";"
    toChar,             // any other byte that is not white space
    toEOFInValue,       // the data ended inside a value; printed as "???"
    toEOF,
};

// The internal name of a kind; "???" for toEOFInValue and unknown values.
[[nodiscard]] const char* KindName(TSgfTokenKind kind);
// A kind in words, as messages to the user say what was expected: "')'", "a property value".
[[nodiscard]] std::string ExpectedText(TSgfTokenKind kind);

// Invariant: Kind and Text describe the current token; Position never passes the end of the
// data. A byte 26 (Ctrl-Z) ends the data for good.
class TSgfTokenizer {
  public:
    // Loads the whole file and reads the first token; raises EObrinError naming the file when
    // it cannot be read. messages (not owned) receives the error lines.
    TSgfTokenizer(std::string fileName, std::vector<std::string>* messages);
    // The same on data already in memory; fileName is only printed in messages.
    TSgfTokenizer(std::string fileName, std::string data, std::vector<std::string>* messages);

    void NextToken();
    // Reports a line unless the current token has the given kind, then reads the next token.
    void Expect(TSgfTokenKind kind);
    // The error line of Expect, without moving on.
    void ReportExpected(TSgfTokenKind kind);
    void Report(const std::string& line);

    // The next byte after white space, or 26 at the end of the data.
    [[nodiscard]] unsigned char PeekAfterWhite() const;
    // Whether a property (an upper-case identifier and "[") comes next, after white space.
    [[nodiscard]] bool PropertyFollows() const;
    [[nodiscard]] const std::string& FileName() const { return m_fileName; }

    TSgfTokenKind Kind = toEOF;
    std::string Text;
    int64_t Line = 0;  // line feeds read so far
    // Where the current token starts, both counted from 1 as an editor shows them.
    int64_t TokenLine = 1;
    int64_t TokenColumn = 1;

  private:
    [[nodiscard]] int ReadByte();
    void ReadValue();
    void MarkTokenStart();

    std::string m_fileName;
    std::string m_stream;
    size_t m_position = 0;
    size_t m_lineStart = 0;  // position of the first byte of the current line
    std::vector<std::string>* m_messages;
};

// Reads a whole file into memory; raises EObrinError naming the file when it cannot, when it
// is no regular file or when it is larger than the limit of board/safefile.h.
[[nodiscard]] std::string ReadWholeFile(const std::string& fileName);

}  // namespace obrin
