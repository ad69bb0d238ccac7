#include "settings/inifile.h"

#include <gtest/gtest.h>

#include "settings/textlines.h"

namespace obrin {
namespace {

using namespace std::string_literals;

TEST(IniFileTest, KeysAreMatchedWithoutCaseAndSurroundingBlanks) {
    const TIniFile ini(
        "; Obrin\r\n[Forms]\r\nFormBoard-Left=5\r\n  FormBoard-Top = 10 \r\n[language support]\r\n"
        "Sprache=Français\r\nSprache=Deutsch\r\n[Forms]\r\nFormScore-Left=1\r\n",
        "OBRIN.INI");
    EXPECT_EQ(ini.ReadInteger("Forms", "FormBoard-Top ", -1), 10);
    EXPECT_EQ(ini.ReadInteger("FORMS", "formboard-left", -1), 5);
    EXPECT_EQ(ini.ReadString("Language Support", "Sprache", ""), "Français");  // the first wins
    EXPECT_EQ(ini.ReadInteger("Forms", "FormScore-Left", -1), -1);  // only the first section counts
    EXPECT_EQ(ini.ReadString("Forms", "Missing", "def"), "def");
    EXPECT_TRUE(ini.Problems().empty());
}

TEST(IniFileTest, WritingUpdatesInPlaceAndAppendsNewKeysAndSections) {
    TIniFile ini("; kept comment\r\n[Allgemein]\r\nStellungSichern=0\r\nUnknown=kept\r\n",
                 "OBRIN.INI");
    ini.WriteBool("Allgemein", "StellungSichern", true);
    ini.WriteBool("Allgemein", "TreppenAnimieren", false);
    ini.WriteInteger("Forms", "FormBoard-Top ", 10);
    ini.WriteString("Paths", "Partien", " /home/spieler/Partien\n");
    EXPECT_EQ(ini.ToText(),
              "; kept comment\r\n"
              "\r\n[Allgemein]\r\nStellungSichern=1\r\nUnknown=kept\r\nTreppenAnimieren=0\r\n"
              "\r\n[Forms]\r\nFormBoard-Top =10\r\n"
              "\r\n[Paths]\r\nPartien=/home/spieler/Partien\r\n");
    // What is written reads back, and writing again changes nothing.
    const TIniFile again(ini.ToText(), "OBRIN.INI");
    EXPECT_EQ(again.ReadInteger("Forms", "FormBoard-Top ", -1), 10);
    EXPECT_EQ(again.ToText(), ini.ToText());
}

TEST(IniFileTest, NumbersAndBooleansInTheFormsUsersWrite) {
    const TIniFile ini(
        "[N]\r\ndec=-42\r\nhex=$8000000F\r\nchex=0x8000000f\r\nbig=2147483648\r\nmin=-"
        "2147483648\r\n"
        "junk=12abc\r\nempty=\r\nyes=true\r\nno=No\r\none=1\r\nzero=0\r\nwhat=vielleicht\r\n",
        "x.ini");
    EXPECT_EQ(ini.ReadInteger("N", "dec", 0), -42);
    EXPECT_EQ(ini.ReadInteger("N", "hex", 0), static_cast<int32_t>(0x8000000F));
    EXPECT_EQ(ini.ReadInteger("N", "chex", 0), static_cast<int32_t>(0x8000000F));
    EXPECT_EQ(ini.ReadInteger("N", "big", 7), 7);
    EXPECT_EQ(ini.ReadInteger("N", "min", 7), INT32_MIN);
    EXPECT_EQ(ini.ReadInteger("N", "junk", 7), 7);
    EXPECT_EQ(ini.ReadInteger("N", "empty", 7), 7);
    EXPECT_TRUE(ini.ReadBool("N", "yes", false));
    EXPECT_FALSE(ini.ReadBool("N", "no", true));
    EXPECT_TRUE(ini.ReadBool("N", "one", false));
    EXPECT_FALSE(ini.ReadBool("N", "zero", true));
    EXPECT_TRUE(ini.ReadBool("N", "what", true));
}

TEST(IniFileTest, ADamagedFileKeepsItsGoodLinesAndSavesWellFormed) {
    const std::string text = "[Staerke]\rDenkzeit=5\nbinary\x00junk=1\r\n"s +
                             "just words\r\n=no key\r\n" + std::string(MaxTextLineBytes + 1, 'k') +
                             "=1\r\n[Language Support]\r\nSprache=Fran\xE7"
                             "ais";  // Windows-1252, no line end
    const TIniFile ini(text, "OBRIN.INI");
    EXPECT_EQ(ini.ReadInteger("Staerke", "Denkzeit", 1), 5);
    EXPECT_EQ(ini.ReadString("Language Support", "Sprache", ""), "Français");
    ASSERT_EQ(ini.Problems().size(), 5u);
    EXPECT_EQ(ini.Problems()[0].rfind("OBRIN.INI:3: ", 0), 0u);
    EXPECT_EQ(ini.ToText(),
              "[Staerke]\r\nDenkzeit=5\r\n\r\n[Language Support]\r\nSprache=Français\r\n");
}

TEST(TextLinesTest, LineEndsOfEveryKindAndNumbersThatMatchTheFile) {
    const auto lines = SplitTextLines("a\rb\nc\r\n\r\nd", "f");
    std::vector<std::pair<int, std::string>> got;
    for (const auto& line : lines.Lines) got.emplace_back(line.Number, line.Text);
    EXPECT_EQ(got, (std::vector<std::pair<int, std::string>>{
                       {1, "a"}, {2, "b"}, {3, "c"}, {4, ""}, {5, "d"}}));
    EXPECT_TRUE(SplitTextLines("", "f").Lines.empty());
}

TEST(TextLinesTest, Utf8IsCheckedStrictlyAndCutByCharacters) {
    EXPECT_TRUE(IsValidUtf8("Zielwahl-Prozeß mitschreiben"));
    EXPECT_FALSE(IsValidUtf8("\xC0\xAF"));          // overlong "/"
    EXPECT_FALSE(IsValidUtf8("\xED\xA0\x80"));      // surrogate
    EXPECT_FALSE(IsValidUtf8("\xF4\x90\x80\x80"));  // beyond U+10FFFF
    EXPECT_FALSE(IsValidUtf8("\xE2\x82"));          // cut short
    EXPECT_EQ(Utf8Prefix("äöü", 2), "äö");
    EXPECT_EQ(Utf8Prefix("ab", 80), "ab");
}

}  // namespace
}  // namespace obrin
