// A small reader and writer of initialisation files: "[Section]" headers and "Key=Value" lines,
// with comment lines (";" or "#") kept as they stand.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace obrin {

// The contents of one initialisation file, in file order.
//
// Section names and keys are matched without regard to ASCII case or surrounding blanks, so a
// key written as "FormBoard-Top " (with its trailing blank) is found again however a user types
// it; a written key keeps the spelling it was first given. The first of several equal sections
// or keys wins, as with the platform's own reader. Lines that are neither a header, a comment
// nor a "Key=Value" line are dropped with a problem naming the file and line, so a save always
// gives a well-formed file.
class TIniFile {
  public:
    TIniFile() = default;
    // Parses text; fileName only serves the problem texts.
    TIniFile(std::string_view text, const std::string& fileName);

    [[nodiscard]] std::string ReadString(std::string_view section, std::string_view key,
                                         const std::string& def) const;
    // Decimal, or hexadecimal after "$" or "0x", in the signed 32-bit range; a negative decimal
    // and a hexadecimal above 0x7FFFFFFF name the same 32-bit value. Anything else gives def.
    [[nodiscard]] int32_t ReadInteger(std::string_view section, std::string_view key,
                                      int32_t def) const;
    // An integer, true when not 0; also "true"/"false", "yes"/"no". Anything else gives def.
    [[nodiscard]] bool ReadBool(std::string_view section, std::string_view key, bool def) const;

    // Sets a value, adding the key at the end of its section, and the section at the end of the
    // file, when they are new. Line breaks in value are replaced by blanks.
    void WriteString(std::string_view section, std::string_view key, std::string_view value);
    void WriteInteger(std::string_view section, std::string_view key, int32_t value);
    void WriteBool(std::string_view section, std::string_view key, bool value);

    // The file text, CR LF ended.
    [[nodiscard]] std::string ToText() const;
    [[nodiscard]] const std::vector<std::string>& Problems() const { return m_problems; }

  private:
    struct TLine {
        std::string Key;  // empty for a comment
        std::string Value;
        std::string Comment;
    };
    struct TSection {
        std::string Name;  // empty for the lines before the first header
        std::vector<TLine> Lines;
    };

    // The line of key in the first section named section, or null; const or not with sections.
    template <class TSections>
    static auto* FindIn(TSections& sections, std::string_view section, std::string_view key);
    [[nodiscard]] const TLine* Find(std::string_view section, std::string_view key) const;

    std::vector<TSection> m_sections;
    std::vector<std::string> m_problems;
};

// The file's contents; an empty TIniFile when the file does not exist. Raises EObrinError
// naming the file when it exists but cannot be read.
[[nodiscard]] TIniFile LoadIniFile(const std::filesystem::path& file);

}  // namespace obrin
