// Language support: every text a window or the engine shows is designed in German (the base
// language "Deutsch") and passed through a translation table into the chosen language. Words
// without a translation are added to the table, marked "<<<word>>>", so that a user can fill
// them in later; the table lives in the text file "language.dat".
#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "board/qxhash.h"

namespace obrin {

// A window seen as the texts it shows. The adapter over real widgets implements it: it visits
// the window's caption and then what the window owns, in ownership order (labels, buttons, bitmap
// buttons, panels, check boxes, radio groups with their items, group boxes, menus with their
// items and sub-items, notebook page names), and stores back what the visitor returns at once.
class ITranslatableTexts {
  public:
    virtual ~ITranslatableTexts() = default;
    virtual void VisitTexts(const std::function<std::string(const std::string&)>& translate) = 0;
};

// The table's own hash tables. The program-wide hash looks only at the first four bytes of a
// key, and every key here starts with its language ("Engl..."), so all keys of a language
// would share one home slot and loading would take time in the square of the entries. This
// one hashes the whole key and doubles at half full, which keeps loading linear; lookups and
// the file format are unchanged (the order of the lines written follows the slots).
class TLangHashTable : public TQXHashTable {
  public:
    using TQXHashTable::TQXHashTable;
    [[nodiscard]] int32_t Hash(std::string_view key, int32_t size) const override;

  protected:
    [[nodiscard]] int32_t MaxLoadPercent() const override { return 50; }
};

// What a load found: the number of lines stored, and the lines left out or repaired, each
// naming the file and line.
struct TLangLoadReport {
    int Entries = 0;
    std::vector<std::string> Problems;
};

// The translation table.
//
// ForwardTable: "Language|Context|Word" -> translation of Word into Language in Context.
// ReverseTable: "BaseLanguage|Context|Translation" -> the base-language Word (filled on load).
// Invariant: no key part contains "|", CR or LF, so every entry survives a save and a load.
class TLangSup {
  public:
    explicit TLangSup(std::string baseLanguage);
    virtual ~TLangSup() = default;
    TLangSup(const TLangSup&) = delete;
    TLangSup& operator=(const TLangSup&) = delete;

    // Reads the table from fileName and remembers the name. Lines add to what is already
    // stored; a later line with the same key replaces an earlier one. Raises EObrinError naming
    // the file when it cannot be read.
    virtual TLangLoadReport LoadFromFile(const std::filesystem::path& fileName);
    // Replaces fileName as a whole by the table, one "Language|Context|Word|Translation" line
    // per forward entry, CR LF ended. Raises EObrinError naming the file on failure.
    virtual void SaveToFile(const std::filesystem::path& fileName) const;
    // Translates every text of a window in the current context.
    virtual void TranslateComponent(ITranslatableTexts& component);

    // The text to show for word in the current language and context (see the .cpp). A text of
    // several lines is translated line by line.
    [[nodiscard]] std::string Translate(const std::string& word);
    // Stores translation for word under the current language and context, unless ReadOnly is set
    // or any of the four is empty (or holds "|" or a line break, which the file cannot keep).
    void AddEntry(const std::string& word, const std::string& translation);
    void RemoveEntry(const std::string& word);
    // Whether AddEntry or RemoveEntry changed the table since it was created: only then is
    // there something of the user's to save. The "<<<word>>>" entries Translate adds for
    // missing words do not count.
    [[nodiscard]] bool Modified() const { return m_modified; }

    // The languages of the table, each once, in table order. Clears languages first.
    void ListLanguages(std::vector<std::string>& languages);
    // Appends "Context|Word" of every entry, each once, in table order.
    void ListContextsAndWords(std::vector<std::string>& entries) const;

    void SetLanguage(std::string language) { m_language = std::move(language); }
    [[nodiscard]] const std::string& Language() const { return m_language; }
    void SetContext(std::string context) { m_context = std::move(context); }
    [[nodiscard]] const std::string& Context() const { return m_context; }
    void SetBaseLanguage(std::string language) { m_baseLanguage = std::move(language); }
    [[nodiscard]] const std::string& BaseLanguage() const { return m_baseLanguage; }
    void SetReadOnly(bool readOnly) { m_readOnly = readOnly; }
    [[nodiscard]] bool ReadOnly() const { return m_readOnly; }
    [[nodiscard]] bool Sorted() const { return m_sorted; }
    [[nodiscard]] const std::filesystem::path& FileName() const { return m_fileName; }
    [[nodiscard]] int32_t Count() const { return m_forward.Count(); }

    // The table as the file holds it, without the file.
    [[nodiscard]] std::string ToText() const;
    TLangLoadReport LoadFromText(std::string_view text, const std::string& fileName);

  private:
    [[nodiscard]] std::string ForwardKey(const std::string& word) const;
    void AddMissing(const std::string& word);
    // AddEntry without marking the table modified; false when nothing was stored.
    bool Store(const std::string& word, const std::string& translation);
    [[nodiscard]] std::string TranslateLines(std::string_view text);

    TLangHashTable m_forward;
    TLangHashTable m_reverse;
    std::filesystem::path m_fileName;
    std::string m_language;
    std::string m_context;
    std::string m_baseLanguage;
    bool m_readOnly = false;
    bool m_sorted = false;
    bool m_modified = false;
};

}  // namespace obrin
