#include "settings/langsup.h"

#include <array>
#include <unordered_set>

#include "settings/filelocations.h"
#include "settings/textlines.h"

namespace obrin {

namespace {

constexpr char kSeparator = '|';
constexpr const char* kUnknown = "???";

std::string Join(std::string_view a, std::string_view b, std::string_view c) {
    std::string key;
    key.reserve(a.size() + b.size() + c.size() + 2);
    key.append(a).append(1, kSeparator).append(b).append(1, kSeparator).append(c);
    return key;
}

// A text that the file format can carry as one field.
bool Storable(std::string_view text) {
    return !text.empty() && text.find_first_of("|\r\n") == std::string_view::npos;
}

// Language, Context, Word and Translation of one line: each "|" moves to the next field, text
// after a fourth "|" is dropped, missing fields stay empty.
std::array<std::string, 4> SplitFields(std::string_view line) {
    std::array<std::string, 4> fields;
    size_t field = 0;
    for (const char ch : line) {
        if (ch == kSeparator) {
            if (++field == fields.size()) break;
        } else {
            fields[field] += ch;
        }
    }
    return fields;
}

std::string_view AfterFirstSeparator(std::string_view key) {
    const size_t bar = key.find(kSeparator);
    return bar == std::string_view::npos ? std::string_view() : key.substr(bar + 1);
}

}  // namespace

int32_t TLangHashTable::Hash(std::string_view key, int32_t size) const {
    // FNV-1a over every byte.
    uint64_t h = 1469598103934665603ull;
    for (const char c : key) {
        h ^= static_cast<unsigned char>(c);
        h *= 1099511628211ull;
    }
    return static_cast<int32_t>(h % static_cast<uint64_t>(size));
}

TLangSup::TLangSup(std::string baseLanguage) : m_baseLanguage(std::move(baseLanguage)) {}

TLangLoadReport TLangSup::LoadFromFile(const std::filesystem::path& fileName) {
    m_fileName = fileName;
    return LoadFromText(ReadWholeFile(fileName), fileName.string());
}

TLangLoadReport TLangSup::LoadFromText(std::string_view text, const std::string& fileName) {
    TTextLines lines = SplitTextLines(text, fileName);
    TLangLoadReport report;
    report.Problems = std::move(lines.Problems);
    for (const TTextLine& line : lines.Lines) {
        if (line.Text.empty()) continue;
        const auto& [language, context, word, translation] = SplitFields(line.Text);
        // Translate never looks up an empty language or word, so such a line could never be used.
        if (language.empty() || word.empty()) {
            report.Problems.push_back(fileName + ":" + std::to_string(line.Number) +
                                      ": no language or no word, line left out");
            continue;
        }
        m_forward.Put(Join(language, context, word), translation);
        m_reverse.Put(Join(m_baseLanguage, context, translation), word);
        ++report.Entries;
    }
    return report;
}

std::string TLangSup::ToText() const {
    std::string text;
    m_forward.ForEachEntry([&](const std::string& key, const std::string& value) {
        text.append(key).append(1, kSeparator).append(value).append("\r\n");
    });
    return text;
}

void TLangSup::SaveToFile(const std::filesystem::path& fileName) const {
    WriteFileAtomically(fileName, ToText());
}

void TLangSup::TranslateComponent(ITranslatableTexts& component) {
    component.VisitTexts([this](const std::string& text) { return Translate(text); });
}

std::string TLangSup::ForwardKey(const std::string& word) const {
    return Join(m_language, m_context, word);
}

void TLangSup::AddMissing(const std::string& word) {
    (void)Store(word, "<<<" + word + ">>>");
}

// 1. No language: translation is off. 2. An empty word stays empty. 3. A forward entry answers.
// 4. Otherwise a reverse entry gives the base-language word (this turns a translated text back
// into German); without one the word is new: it shows "???" and is added as "<<<word>>>", which
// it shows from then on. 5. The base-language word is the answer in the base language; in any
// other language it is looked up forward once more.
std::string TLangSup::Translate(const std::string& word) {
    if (m_language.empty()) return word;
    if (word.empty()) return {};
    if (word.find_first_of("\r\n") != std::string::npos) return TranslateLines(word);
    const std::string key = ForwardKey(word);
    std::string result;
    if (m_forward.TryGet(key, result)) return result;
    if (!m_reverse.TryGet(key, result)) {
        result = kUnknown;
        AddMissing(word);
    }
    if (m_language == m_baseLanguage) return result;
    std::string translated;
    if (m_forward.TryGet(ForwardKey(result), translated)) return translated;
    AddMissing(word);
    return kUnknown;
}

// The file holds one entry per line, so a text of several lines (a message) is translated line
// by line, each line with an entry of its own; line ends come back as LF.
std::string TLangSup::TranslateLines(std::string_view text) {
    std::string result;
    for (size_t start = 0;;) {
        const size_t end = text.find('\n', start);
        std::string_view line =
            text.substr(start, end == std::string_view::npos ? end : end - start);
        while (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        result += Translate(std::string(line));
        if (end == std::string_view::npos) return result;
        result += '\n';
        start = end + 1;
    }
}

bool TLangSup::Store(const std::string& word, const std::string& translation) {
    if (m_readOnly) return false;
    if (!Storable(word) || !Storable(translation) || !Storable(m_language) || !Storable(m_context))
        return false;
    m_forward.Put(ForwardKey(word), translation);
    return true;
}

void TLangSup::AddEntry(const std::string& word, const std::string& translation) {
    if (Store(word, translation)) m_modified = true;
}

void TLangSup::RemoveEntry(const std::string& word) {
    const std::string key = ForwardKey(word);
    if (m_forward.IndexOf(key) < 0) return;
    m_forward.Remove(key);
    m_modified = true;
}

void TLangSup::ListLanguages(std::vector<std::string>& languages) {
    m_sorted = false;
    languages.clear();
    std::vector<std::string> keys;
    m_forward.GetKeys(keys);
    std::unordered_set<std::string_view> seen;
    for (const std::string& key : keys) {
        std::string_view language = std::string_view(key).substr(0, key.find(kSeparator));
        if (seen.insert(language).second) languages.emplace_back(language);
    }
}

void TLangSup::ListContextsAndWords(std::vector<std::string>& entries) const {
    std::vector<std::string> keys;
    m_forward.GetKeys(keys);
    std::unordered_set<std::string_view> seen;
    for (const std::string& key : keys) {
        const std::string_view entry = AfterFirstSeparator(key);
        if (seen.insert(entry).second) entries.emplace_back(entry);
    }
}

}  // namespace obrin
