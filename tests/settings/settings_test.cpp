#include "settings/settings.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdlib>
#include <optional>
#include <string>

#include "board/errors.h"
#include "game/engine.h"
#include "support/error_text.h"
#include "support/tempdir.h"
#include "settings/filelocations.h"
#include "ui/usrintfc.h"

namespace obrin {
namespace {

// A program folder and a per-user folder of their own for each test.
class SettingsTest : public ::testing::Test {
  protected:
    SettingsTest() {
        Where.ProgramDir = Dir / "bin";
        Where.UserDir = Dir / "config" / "obrin";
        std::filesystem::create_directories(Where.ProgramDir);
    }
    void Ini(std::string_view text) { test::WriteBytes(Where.ProgramDir / "OBRIN.INI", text); }

    test::TTempDir Dir;
    TFileLocations Where;
};

TEST_F(SettingsTest, FoldersLieNextToTheProgramAndValuesAreReadAsStoredWithPathsCut) {
    const TSettings defaults = ReadSettingsFile(Where);  // no file
    EXPECT_EQ(defaults.Stellungen, (Where.ProgramDir / "STELLUNG").string());
    EXPECT_EQ(defaults.Partien, (Where.ProgramDir / "PARTIEN").string());
    EXPECT_EQ(ReadStartupSettings(Where).Partien, "");
    // Paths are cut to eighty characters.
    const std::string longPath = "/home/spieler/" + std::string(70, 'x') + "/Partien-äöü";
    Ini("[Staerke]\r\nDenkzeit=0\r\nZufall=0\r\n[Paths]\r\nPartien=" + longPath +
        "\r\n[Brett]\r\nFarbe=12632256\r\n[Allgemein]\r\nTreppenAnimieren=1\r\n");
    const TSettings s = ReadSettingsFile(Where);
    EXPECT_EQ(s.Denkzeit, 0);  // the dialog raises it to 1, the file reader does not
    EXPECT_FALSE(s.Zufall);
    EXPECT_TRUE(s.TreppenAnimieren);
    EXPECT_EQ(s.Farbe, 12632256);
    EXPECT_EQ(s.Partien, longPath.substr(0, 80));
    const std::string umlauts = "/" + std::string(77, 'p') + "äöüß";
    Ini("[Paths]\r\nStellungen=" + umlauts + "\r\n");
    EXPECT_EQ(ReadSettingsFile(Where).Stellungen, "/" + std::string(77, 'p') + "äö");
}

TEST_F(SettingsTest, WrittenSettingsReadBackAndOtherKeysSurvive) {
    Ini("[Forms]\r\nFormBoard-Left=7\r\nFormBoard-Top =8\r\n[Eigenes]\r\nX=1\r\n");
    TSettings s;
    s.StellungSichern = s.KettenProtokollieren = s.ZieleProtokollieren = s.TreppenAnimieren = true;
    s.Zufall = false;
    s.KlassischeEngine = true;
    s.Stellungen = "/tmp/Stellungen";
    s.Partien = "/tmp/Partien";
    s.Farbe = static_cast<int32_t>(0x8000000F);
    s.Denkzeit = 250;
    s.Sprache = "Français";
    s.Font = "DejaVu Sans";
    WriteSettingsFile(s, Where);
    EXPECT_TRUE(ReadSettingsFile(Where) == s);
    EXPECT_EQ(ReadWindowPosition(Where, FormBoardWindow), (TWindowPosition{7, 8}));

    WriteWindowPosition(Where, FormScoreWindow, {-20, 300});
    WritePartien(Where, "/srv/partien");
    EXPECT_EQ(ReadWindowPosition(Where, FormScoreWindow), (TWindowPosition{-20, 300}));
    EXPECT_EQ(ReadStartupSettings(Where).Partien, "/srv/partien");
    const std::string text = test::ReadBytes(Where.ProgramDir / "OBRIN.INI");
    EXPECT_NE(text.find("\r\nFormScore-Top =300\r\n"), std::string::npos);
    EXPECT_NE(text.find("[Eigenes]\r\nX=1\r\n"), std::string::npos);
    EXPECT_NE(text.find("Zufall=0\r\n"), std::string::npos);
    EXPECT_NE(text.find("KlassischeEngine=1\r\n"), std::string::npos);
}

TEST_F(SettingsTest, RecentFilesAreKeptNewestFirstWithoutDuplicates) {
    Ini("[Eigenes]\r\nX=1\r\n");
    EXPECT_TRUE(ReadRecentFiles(Where).empty());
    std::vector<std::string> files;
    for (const char* f : {"/a.sgf", "/b.sgf", "/c.sgf", "/a.sgf"}) files = WithRecentFile(files, f);
    EXPECT_EQ(files, (std::vector<std::string>{"/a.sgf", "/c.sgf", "/b.sgf"}));
    for (int i = 0; i < 10; ++i) files = WithRecentFile(files, "/" + std::to_string(i) + ".sgf");
    EXPECT_EQ(files.size(), MaxRecentFiles);
    EXPECT_EQ(files.front(), "/9.sgf");
    WriteRecentFiles(Where, files);
    EXPECT_EQ(ReadRecentFiles(Where), files);
    // A shorter list leaves no old names behind; other sections stay.
    WriteRecentFiles(Where, {"/M\xC3\xBCller/g.sgf"});
    EXPECT_EQ(ReadRecentFiles(Where), (std::vector<std::string>{"/M\xC3\xBCller/g.sgf"}));
    EXPECT_NE(test::ReadBytes(Where.ProgramDir / "OBRIN.INI").find("[Eigenes]\r\nX=1\r\n"),
              std::string::npos);
}

// A folder in the file's place: reading the settings names it, the start-up readers take the
// defaults, and nothing is written over it.
TEST_F(SettingsTest, AnUnreadableFileIsNamedAndNeverOverwritten) {
    std::filesystem::create_directory(Where.ProgramDir / "OBRIN.INI");
    const std::string error = test::ErrorOf([&] { (void)ReadSettingsFile(Where); });
    EXPECT_NE(error.find("OBRIN.INI"), std::string::npos) << error;
    EXPECT_THROW(WriteSettingsFile(TSettings{}, Where), EObrinError);
    EXPECT_EQ(ReadStartupSettings(Where).Sprache, "English");
    EXPECT_EQ(ReadWindowPosition(Where, FormBoardWindow), FormBoardWindow.Default);
    EXPECT_TRUE(ReadRecentFiles(Where).empty());
    EXPECT_THROW(WritePartien(Where, "/srv"), EObrinError);
    EXPECT_TRUE(std::filesystem::is_directory(Where.ProgramDir / "OBRIN.INI"));
}

TEST_F(SettingsTest, NothingIsWrittenBackThatWasNotReadOrDidNotChange) {
    // Lines the reader cannot take: too long, with a control character, malformed.
    const std::string text = "[Paths]\r\nPartien=/p\r\n[Eigenes]\r\nLang=" +
                             std::string(9000, 'x') + "\r\nBinary=\x01\x02\r\nno key here\r\n";
    Ini(text);
    std::vector<std::string> problems;
    (void)ReadSettingsFile(Where, &problems);
    EXPECT_EQ(problems.size(), 3u);
    const std::string error =
        test::ErrorOf([&] { WriteWindowPosition(Where, FormBoardWindow, {1, 2}); });
    EXPECT_NE(error.find("OBRIN.INI:4"), std::string::npos) << error;
    EXPECT_NE(error.find("the file is not written"), std::string::npos) << error;
    EXPECT_EQ(test::ReadBytes(Where.ProgramDir / "OBRIN.INI"), text);

    // A setting written as it stands leaves the file alone: same inode, same bytes. A games
    // folder longer than the 80 characters shown keeps its full length.
    const std::string longPath = "/" + std::string(120, 'g');
    Ini("[Paths]\r\nPartien=" + longPath + "\r\n");
    struct stat before {};
    ::stat((Where.ProgramDir / "OBRIN.INI").c_str(), &before);
    WritePartien(Where, ReadStartupSettings(Where).Partien);
    struct stat after {};
    ::stat((Where.ProgramDir / "OBRIN.INI").c_str(), &after);
    EXPECT_EQ(before.st_ino, after.st_ino);
    EXPECT_NE(test::ReadBytes(Where.ProgramDir / "OBRIN.INI").find(longPath), std::string::npos);
    WritePartien(Where, "/neu");
    EXPECT_EQ(ReadStartupSettings(Where).Partien, "/neu");
}

TEST_F(SettingsTest, FilesLiveNextToTheProgramOrInTheUserFolderOrInObrinHome) {
    // A writable program folder: read and written there, a user copy only as a fallback.
    EXPECT_EQ(Where.PathForWrite("OBRIN.INI"), Where.ProgramDir / "OBRIN.INI");
    EXPECT_FALSE(Where.FindForRead("OBRIN.INI"));
    test::WriteBytes(Where.UserDir / "OBRIN.INI", "[Staerke]\r\nDenkzeit=2\r\n");
    EXPECT_EQ(Where.FindForRead("OBRIN.INI"), Where.UserDir / "OBRIN.INI");
    Ini("[Staerke]\r\nDenkzeit=3\r\n");
    EXPECT_EQ(ReadSettingsFile(Where).Denkzeit, 3);

    // An installed program: the user's copy first, the shipped one when there is none; writes
    // go to the user folder, which is created when needed.
    Where.ProgramDirWritable = false;
    EXPECT_EQ(ReadSettingsFile(Where).Denkzeit, 2);
    std::filesystem::remove_all(Where.UserDir.parent_path());
    EXPECT_EQ(ReadSettingsFile(Where).Denkzeit, 3);
    WriteWindowPosition(Where, FormBoardWindow, {1, 2});
    EXPECT_EQ(ReadSettingsFile(Where).Denkzeit, 3);  // the shipped values came along
    EXPECT_EQ(ReadWindowPosition(Where, FormBoardWindow), (TWindowPosition{1, 2}));
    EXPECT_TRUE(std::filesystem::exists(Where.UserDir / "OBRIN.INI"));

    // OBRIN_HOME replaces the user folder and takes every write; what it does not hold yet is
    // read next to the program, so the shipped files are found with an empty OBRIN_HOME.
    Where.Home = Dir / "home";
    EXPECT_EQ(ReadSettingsFile(Where).Denkzeit, 3);
    test::WriteBytes(Where.ProgramDir / "language.dat", "English|Board|Eingabe|Input\r\n");
    EXPECT_EQ(Where.FindForRead("language.dat"), Where.ProgramDir / "language.dat");
    EXPECT_EQ(Where.PathForWrite("language.dat"), Dir / "home" / "language.dat");
    WriteWindowPosition(Where, FormBoardWindow, {7, 8});
    EXPECT_EQ(ReadWindowPosition(Where, FormBoardWindow), (TWindowPosition{7, 8}));
    EXPECT_EQ(ReadSettingsFile(Where).Denkzeit, 3);  // the copy in OBRIN_HOME took the values
    EXPECT_TRUE(std::filesystem::exists(Dir / "home" / "OBRIN.INI"));
    Where.ProgramDir.clear();
    EXPECT_FALSE(Where.FindForRead("language.dat"));
}

// Sets an environment variable for one scope and puts the old value back.
class TScopedEnv {
  public:
    TScopedEnv(const char* name, const char* value) : m_name(name) {
        if (const char* old = std::getenv(name)) m_old = old;
        value ? ::setenv(name, value, 1) : ::unsetenv(name);
    }
    ~TScopedEnv() { m_old ? ::setenv(m_name, m_old->c_str(), 1) : ::unsetenv(m_name); }

  private:
    const char* m_name;
    std::optional<std::string> m_old;
};

TEST(FileLocationsTest, TheEnvironmentNamesTheFolders) {
    const TScopedEnv home("HOME", "/home/spieler"), xdg("XDG_CONFIG_HOME", nullptr),
        obrin("OBRIN_HOME", nullptr);
    TFileLocations where = TFileLocations::FromEnvironment();
    EXPECT_EQ(where.UserDir, "/home/spieler/.config/obrin");
    EXPECT_TRUE(where.Home.empty());
    EXPECT_TRUE(std::filesystem::exists(where.ProgramDir / "obrin_tests"));
    {
        const TScopedEnv relative("XDG_CONFIG_HOME", "relative/config");  // not absolute: ignored
        EXPECT_EQ(TFileLocations::FromEnvironment().UserDir, "/home/spieler/.config/obrin");
    }
    const TScopedEnv config("XDG_CONFIG_HOME", "/srv/config"), set("OBRIN_HOME", "/srv/obrin");
    where = TFileLocations::FromEnvironment();
    EXPECT_EQ(where.UserDir, "/srv/config/obrin");
    EXPECT_EQ(where.PathForWrite("OBRIN.INI"), "/srv/obrin/OBRIN.INI");
}

TEST_F(SettingsTest, TheUserInterfaceLoadsTranslatesAndSavesTheTableOnlyWhenTheUserChangedIt) {
    Where.Home = Dir / "home";
    const std::string table = "English|Board|Eingabe|Input\r\n";
    test::WriteBytes(Where.Home / "language.dat", table);
    IHost host;
    TEngine engine(host);
    {
        TUserInterface ui(engine, Where);
        EXPECT_TRUE(ui.LoadError().empty());
        ui.ReadSettings();
        EXPECT_EQ(ui.Translate("Board", "Eingabe"), "Input");
        EXPECT_EQ(ui.Translate("Main", "Datei"), "???");
        EXPECT_EQ(engine.LangSup->Context(), "Main");
    }
    EXPECT_EQ(test::ReadBytes(Where.Home / "language.dat"), table);  // nothing changed
    {
        TUserInterface ui(engine, Where);
        ui.ReadSettings();
        EXPECT_EQ(ui.Translate("Main", "Datei"), "???");
        ui.LangSup().SetContext("Board");
        ui.LangSup().AddEntry("Brett", "Board");
    }
    const std::string saved = test::ReadBytes(Where.Home / "language.dat");
    EXPECT_NE(saved.find("English|Board|Eingabe|Input\r\n"), std::string::npos);
    EXPECT_NE(saved.find("English|Board|Brett|Board\r\n"), std::string::npos);
    EXPECT_NE(saved.find("English|Main|Datei|<<<Datei>>>\r\n"), std::string::npos);
}

TEST_F(SettingsTest, ABrokenTableInTheUserFolderFallsBackToTheShippedOne) {
    test::WriteBytes(Where.ProgramDir / "language.dat", "English|Board|Eingabe|Input\r\n");
    Where.ProgramDirWritable = false;  // installed: the user's copy is read first
    IHost host;
    TEngine engine(host);
    const auto captionWith = [&](const auto& makeBroken) {
        std::filesystem::remove_all(Where.UserDir);
        makeBroken(Where.UserDir / "language.dat");
        TUserInterface ui(engine, Where);
        ui.LangSup().SetLanguage("English");
        const std::string caption = ui.Translate("Board", "Eingabe");
        const auto problems = ui.StartupProblems();
        ui.Close();
        return caption + "\n" + (problems.empty() ? std::string("no message") : problems[0]);
    };
    const std::string shipped = (Where.ProgramDir / "language.dat").string();
    const std::string user = (Where.UserDir / "language.dat").string();
    EXPECT_EQ(captionWith([](const auto& f) { test::WriteBytes(f, ""); }),
              "Input\n" + user + ": holds no translation; the table " + shipped +
                  " is used instead");
    EXPECT_EQ(std::filesystem::file_size(user), 0u);  // and no placeholders were written into it
    EXPECT_EQ(captionWith([](const auto& f) { std::filesystem::create_directories(f); }),
              "Input\n" + user + ": is a folder, not a regular file; the table " + shipped +
                  " is used instead");
    EXPECT_TRUE(std::filesystem::is_directory(user));
}

TEST_F(SettingsTest, ReadingTheSettingsSetsLanguageFontAnimationAndRandomness) {
    Ini("[Language Support]\r\nSprache=Français\r\nFont=Liberation Sans\r\n"
        "[Allgemein]\r\nTreppenAnimieren=1\r\n[Staerke]\r\nZufall=0\r\n");
    IHost host;
    TEngine engine(host), fresh(host), seeded(host);
    TUserInterface ui(engine, Where);
    ui.ReadSettings();
    EXPECT_EQ(engine.LangSup->Language(), "Français");
    EXPECT_EQ(ui.FontName(), "Liberation Sans");
    EXPECT_TRUE(engine.Settings.TreppenAnimieren);
    // Randomness off leaves the generator as it was; on, it is seeded from the clock.
    const auto draws = [](TEngine& e) {
        std::vector<int> v;
        for (int i = 0; i < 8; ++i) v.push_back(e.Random.Int(1 << 30));
        return v;
    };
    EXPECT_EQ(draws(engine), draws(fresh));
    Ini("[Staerke]\r\nZufall=1\r\n");
    TUserInterface other(seeded, Where);
    other.ReadSettings();
    EXPECT_NE(draws(seeded), draws(fresh));
    EXPECT_EQ(seeded.LangSup->Language(), "English");
}

}  // namespace
}  // namespace obrin
