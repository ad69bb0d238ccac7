#include "settings/langsup.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "support/error_text.h"
#include "support/tempdir.h"
#include "settings/textlines.h"

namespace obrin {
namespace {

class LangSupTest : public ::testing::Test {
  protected:
    LangSupTest() {
        Lang.SetLanguage("English");
        Lang.SetContext("Board");
    }
    TLangLoadReport Load(std::string_view text) { return Lang.LoadFromText(text, "language.dat"); }

    TLangSup Lang{"Deutsch"};
};

TEST_F(LangSupTest, ALineGivesTheTranslationInItsLanguageAndContext) {
    Load("English|Board|Eingabe|Input\r\nEnglish|Control|Eingabe|Entry\r\n");
    EXPECT_EQ(Lang.Translate("Eingabe"), "Input");
    Lang.SetContext("Control");
    EXPECT_EQ(Lang.Translate("Eingabe"), "Entry");
    EXPECT_EQ(Lang.Count(), 2);
    // The base language turns a translated text back into the designed one, adding nothing.
    Lang.SetLanguage("Deutsch");
    EXPECT_EQ(Lang.Translate("Entry"), "Eingabe");
    EXPECT_EQ(Lang.Count(), 2);
}

TEST_F(LangSupTest, FieldsAreSplitAtEveryBarAndMissingOnesAreEmpty) {
    const auto report = Load("English|Board|Weiß|White|spare|more\nEnglish|Board|Schwarz\n");
    EXPECT_EQ(report.Entries, 2);
    EXPECT_EQ(Lang.Translate("Weiß"), "White");
    // Three fields: loading stores the empty translation, which then shows as empty.
    EXPECT_EQ(Lang.Translate("Schwarz"), "");
    EXPECT_EQ(Lang.ToText(), "English|Board|Weiß|White\r\nEnglish|Board|Schwarz|\r\n");
}

TEST_F(LangSupTest, AMissingWordShowsQuestionMarksThenTheMarkedWordAndIsSaved) {
    EXPECT_EQ(Lang.Translate("Eingabe"), "???");
    EXPECT_EQ(Lang.Translate("Eingabe"), "<<<Eingabe>>>");
    EXPECT_EQ(Lang.ToText(), "English|Board|Eingabe|<<<Eingabe>>>\r\n");
    // The base language: the same two steps until a "Deutsch" entry exists.
    Lang.SetLanguage("Deutsch");
    EXPECT_EQ(Lang.Translate("Zug"), "???");
    EXPECT_EQ(Lang.Translate("Zug"), "<<<Zug>>>");
}

TEST_F(LangSupTest, ReadOnlyNoLanguageOrEntriesTheFileCannotCarryAddNothing) {
    Lang.AddEntry("a|b", "x");
    Lang.AddEntry("Zeile\neins", "x");
    Lang.AddEntry("Wort", "");
    Lang.SetContext("");
    Lang.AddEntry("Wort", "Word");
    EXPECT_EQ(Lang.Count(), 0);
    Lang.SetContext("Board");
    Lang.SetReadOnly(true);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(Lang.Translate("Eingabe"), "???");
    Lang.AddEntry("Eingabe", "Input");
    EXPECT_EQ(Lang.Count(), 0);
    // No language switches translation off; an empty word stays empty.
    Lang.SetLanguage("");
    EXPECT_EQ(Lang.Translate("Eingabe"), "Eingabe");
    Lang.SetLanguage("English");
    EXPECT_EQ(Lang.Translate(""), "");
}

TEST_F(LangSupTest, ATextOfSeveralLinesIsTranslatedLineByLine) {
    Load("English|Board|Das Brett ist nicht leer.|The board is not empty.\r\n");
    EXPECT_EQ(Lang.Translate("Das Brett ist nicht leer.\r\n\nLöschen?"),
              "The board is not empty.\n\n???");
    EXPECT_EQ(Lang.Translate("Das Brett ist nicht leer.\nLöschen?"),
              "The board is not empty.\n<<<Löschen?>>>");
    TLangSup reloaded("Deutsch");
    EXPECT_EQ(reloaded.LoadFromText(Lang.ToText(), "saved").Entries, 2);
}

TEST_F(LangSupTest, ADamagedFileIsReadAsFarAsItMakesSenseAndSavedWellFormed) {
    const std::string junk("English|Board|\x01\x02\x00\xFF|x", 20);
    const std::string text =
        "\xEF\xBB\xBF"
        "English|Board|Eingabe|Input\r"  // BOM, CR only
        "English|Board|Zur\xFC"
        "ck|Back\n"        // Windows-1252
        + junk + "\r\n" +  // binary junk
        "English|Board|" + std::string(MaxTextLineBytes, 'x') +
        "|long\r\n"
        "\r\n"
        "no bars at all\r\n"
        "English||Farbe|Colour\r\n"  // empty context: kept
        "English|Board|Zug|Move";    // no final line end
    const auto report = Load(text);
    EXPECT_EQ(report.Entries, 4);
    ASSERT_EQ(report.Problems.size(), 4u);
    EXPECT_EQ(report.Problems[0], "language.dat:2: not UTF-8, read as Windows-1252");
    EXPECT_EQ(report.Problems[1].rfind("language.dat:3: ", 0), 0u);
    EXPECT_EQ(report.Problems[2].rfind("language.dat:4: ", 0), 0u);
    EXPECT_EQ(report.Problems[3].rfind("language.dat:6: ", 0), 0u);
    EXPECT_EQ(Lang.Translate("Eingabe"), "Input");
    EXPECT_EQ(Lang.Translate("Zurück"), "Back");
    EXPECT_EQ(Lang.Translate("Zug"), "Move");

    TLangSup reloaded("Deutsch");
    const std::string saved = Lang.ToText();
    EXPECT_TRUE(IsValidUtf8(saved));
    const auto again = reloaded.LoadFromText(saved, "saved");
    EXPECT_TRUE(again.Problems.empty());
    EXPECT_EQ(again.Entries, 4);
    EXPECT_EQ(reloaded.ToText(), saved);
}

TEST_F(LangSupTest, FilesAreReadAndReplacedWholeAndErrorsNameTheFile) {
    test::TTempDir dir;
    const auto file = dir / "language.dat";
    test::WriteBytes(file, "English|Board|Eingabe|Input\r\n");
    (void)Lang.LoadFromFile(file);
    EXPECT_EQ(Lang.FileName(), file);
    (void)Lang.Translate("Zug");
    Lang.SaveToFile(file);
    const std::string saved = test::ReadBytes(file);
    EXPECT_NE(saved.find("English|Board|Eingabe|Input\r\n"), std::string::npos);
    EXPECT_NE(saved.find("English|Board|Zug|<<<Zug>>>\r\n"), std::string::npos);

    const auto folder = dir / "folder.dat";
    std::filesystem::create_directory(folder);
    const std::string error = test::ErrorOf([&] { (void)Lang.LoadFromFile(folder); });
    EXPECT_NE(error.find(folder.string()), std::string::npos) << error;
}

// The shipped table: clean, and every entry translated in both languages it holds.
TEST(ShippedLanguageTableTest, EveryEntryIsTranslatedInEveryLanguage) {
    const char* dataDir = std::getenv("OBRIN_DATA_DIR");
    if (dataDir == nullptr) GTEST_SKIP() << "OBRIN_DATA_DIR not set";
    TLangSup lang("Deutsch");
    const auto report = lang.LoadFromFile(std::filesystem::path(dataDir) / "language.dat");
    EXPECT_TRUE(report.Problems.empty()) << report.Problems.front();
    std::vector<std::string> languages, entries;
    lang.ListLanguages(languages);
    lang.ListContextsAndWords(entries);
    ASSERT_FALSE(entries.empty());
    lang.SetReadOnly(true);
    for (const std::string& language : languages) {
        lang.SetLanguage(language);
        for (const std::string& entry : entries) {
            const size_t bar = entry.find('|');
            lang.SetContext(entry.substr(0, bar));
            const std::string shown = lang.Translate(entry.substr(bar + 1));
            EXPECT_TRUE(!shown.empty() && shown != "???" && !shown.starts_with("<<<"))
                << language << "|" << entry << " shows \"" << shown << "\"";
        }
    }
    lang.SetLanguage("English");
    lang.SetContext("Thinking");
    EXPECT_EQ(lang.Translate("Ich verzichte"), "I pass");
}

}  // namespace
}  // namespace obrin
