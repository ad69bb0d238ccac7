#include "records/gameinfo.h"
#include "records/sgftree.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <initializer_list>
#include <sstream>

#include "board/errors.h"
#include "game/gameflow.h"
#include "gtp/gtp.h"
#include "gtp/gtp_records.h"
#include "records/recordtext.h"
#include "records/replay.h"
#include "tools/sgfcommands.h"
#include "records/sgfparse.h"
#include "tools/sgfsynth.h"
#include "settings/textlines.h"
#include "support/diagram.h"
#include "support/error_text.h"
#include "support/tempdir.h"

namespace obrin {
namespace {

// Parser, record tree and replay handler on a fresh engine, as the game-control window has them.
class RecordTree : public ::testing::Test {
  protected:
    IHost host;
    TEngine engine{host};
    TSgfParser parser;
    TSgfTreeModel tree{engine.Board};
    TRecordReplay replay{engine.Board, tree};
    std::vector<std::string> messages;
    test::TTempDir dir;

    void SetUp() override {
        parser.SetMessageReceiver(&messages);
        tree.SetSgfParser(&parser);
    }

    std::string File(const std::string& name, const std::string& text) {
        test::WriteBytes(dir / name, text);
        return (dir / name).string();
    }
    void Load(const std::string& text, const std::string& name = "t.sgf") {
        parser.SetActive(false);
        parser.SetFilename(File(name, text));
        parser.SetActive(true);
    }
    TSgfTreeItem* Child(TSgfTreeItem* item, size_t i) { return item->Children()[i].get(); }
    TSgfTreeItem* Game(size_t i = 0) { return tree.Items()[i].get(); }
    std::vector<std::string> Labels(TSgfTreeItem* item) {
        std::vector<std::string> labels;
        for (const auto& c : item->Children()) labels.push_back(c->Label);
        return labels;
    }
    int Stone(const char* point) {
        return GetPoint(engine.Fields.Spielfeld, ColumnOfText(point), RowOfText(point));
    }
    // The points as the board shows them: X black, O white, . empty.
    std::string Stones(std::initializer_list<const char*> points) {
        std::string shown;
        for (const char* p : points) shown += ".XO"[(Stone(p) + 3) % 3];
        return shown;
    }
    std::string Reread(const std::string& text) {
        std::vector<std::string> again;
        auto root = ParseSgfText("r.sgf", text, &again);
        EXPECT_TRUE(again.empty()) << text;
        return WriteSgfData(*root, std::string(), 0);
    }
};

TEST_F(RecordTree, GamesLabelsAndExpansion) {
    Load("(;FF[4]GN[Final];B[pd])");
    ASSERT_EQ(tree.Items().size(), 1u);
    EXPECT_TRUE(Game()->Expanded);
    EXPECT_EQ(Game()->Label, "Final");
    EXPECT_EQ(Labels(Game()), (std::vector<std::string>{"Information", "1"}));
    EXPECT_EQ(engine.GameData.GN, "Final");

    Load("(;B[aa])(;AB[dd];W[pp]C[x])");
    ASSERT_EQ(tree.Items().size(), 2u);
    EXPECT_EQ(Game(0)->Label, "Game 1");
    EXPECT_EQ(Game(1)->Label, "Game 2");
    EXPECT_FALSE(Game(0)->Expanded);
    EXPECT_TRUE(Game(1)->Children().empty());
    EXPECT_EQ(tree.ImageIndexOf(Game(1)), 0);
    tree.Expand(Game(1));
    EXPECT_EQ(Labels(Game(1)), (std::vector<std::string>{"Start-Stellung", "1"}));
    EXPECT_EQ(tree.ImageIndexOf(Child(Game(1), 1)), 3);
    EXPECT_EQ(tree.GameItemOf(Child(Game(1), 1)), Game(1));
}

TEST_F(RecordTree, SelectingAnItemReplaysTheLineToIt) {
    Load("(;FF[4]PB[Anna]PW[Bert];B[dd];W[pp];B[dp]C[third];W[pd])");
    std::vector<std::pair<std::string, TNodeInformationPurpose>> seen;
    tree.OnExecProperty = [&](TSgfTreeModel&, TSgfTreeItem*, const std::string& id,
                              const std::string& v, TNodeInformationPurpose p) {
        seen.push_back({id + "[" + v + "]", p});
        replay.Handle(tree.Selected(), id, v, p);
    };
    tree.Select(Child(Game(), 3));
    const std::vector<std::pair<std::string, TNodeInformationPurpose>> expected = {
        {"[]", nipFirst},        {"FF[4]", nipMiddle}, {"PB[Anna]", nipMiddle},
        {"PW[Bert]", nipMiddle}, {"B[dd]", nipMiddle}, {"W[pp]", nipMiddle},
        {"B[dp]", nipLast},      {"C[third]", nipLast}};
    EXPECT_EQ(seen, expected);
    EXPECT_EQ(Stones({"D16", "Q4", "D4", "Q16"}), "XOX.");
    EXPECT_EQ(replay.LastMove, (TPoint{3, 3}));
    EXPECT_EQ(replay.CommentPane, "third");
    EXPECT_EQ(replay.MoveCount, 2);
    EXPECT_EQ(engine.GameData.PB, "Anna");

    // A game or variation item holds no node: the board is cleared and nothing replayed.
    tree.Select(Game());
    EXPECT_TRUE(BoardIsEmpty(engine.Fields.Spielfeld));
}

TEST_F(RecordTree, VariationsPopulateNumberAndReplay) {
    Load("(;FF[4];B[aa];W[bb](;B[cc];W[dd])(;B[ee]C[alt]))");
    EXPECT_EQ(Labels(Game()), (std::vector<std::string>{"Information", "1", "2", "V", "3", "4"}));
    TSgfTreeItem* v = Child(Game(), 3);
    EXPECT_EQ(Labels(v), (std::vector<std::string>{"3"}));
    tree.Select(Child(v, 0));
    // The main line after the branch point (C17) is not replayed.
    EXPECT_EQ(Stones({"E15", "C17", "B18"}), "X.O");
    tree.Select(Child(Game(), 5));
    EXPECT_EQ(Stones({"E15", "D16"}), ".O");

    // Three alternatives: the third hangs under "V1" inside the first "V".
    Load("(;B[aa](;W[bb])(;W[cc])(;W[dd]))");
    EXPECT_EQ(Labels(Game()), (std::vector<std::string>{"1", "V", "2"}));
    EXPECT_EQ(Labels(Child(Game(), 1)), (std::vector<std::string>{"V1", "2"}));
    EXPECT_EQ(Labels(Child(Child(Game(), 1), 0)), (std::vector<std::string>{"2"}));
    tree.Select(Child(Child(Child(Game(), 1), 0), 0));
    EXPECT_EQ(Stones({"D16", "C17"}), "O.");
}

TEST_F(RecordTree, SetupPropertiesPassesAndIllegalMoves) {
    Load("(;AB[dd][pp]AW[dd][aa:bc];AE[pp][ab:ab]AB[jj:kk];B[];W[tt];B[dd];W[ss])");
    TSgfTreeItem* last = Child(Game(), 5);
    EXPECT_EQ(tree.ImageIndexOf(Child(Game(), 2)), 1);  // B[] is no move to show
    tree.Select(last);
    // AW on the occupied D16 is skipped, AE removes Q4, aa:bc and jj:kk are compressed lists.
    EXPECT_EQ(Stones({"D16", "Q4", "A19", "B17", "A18", "K10", "L9", "T1"}), "X.OO.XXO");
    EXPECT_EQ(engine.Game.SideToMove, -1);
}

TEST_F(RecordTree, SavingWritesTheRecordAsItWasAlwaysWritten) {
    Load("(;FF[4];B[pd])");
    EXPECT_EQ(tree.WriteItem(Game(), "", 1), "( ;FF[4]\r\n ;B[pd]\r\n)\r\n");
    Load("(;B[aa];W[bb](;B[cc])(;B[dd];W[ee]))");
    EXPECT_EQ(
        tree.WriteItem(Game(), "", 1),
        "( ;B[aa]\r\n ;W[bb]\r\n(\r\n ;B[cc]\r\n)\r\n(  ;B[dd]\r\n  ;W[ee]\r\n)\r\n)\r\n\r\n");
    // Each branch point adds an empty line at the end, and alternatives stay in their place.
    Load("(;B[aa](;W[bb](;B[cc])(;B[dd]))(;W[ee]))");
    const std::string w = tree.WriteItem(Game(), "", 1);
    EXPECT_EQ(w,
              "( ;B[aa]\r\n(\r\n ;W[bb]\r\n(\r\n ;B[cc]\r\n)\r\n(  ;B[dd]\r\n)\r\n)\r\n(  "
              ";W[ee]\r\n)\r\n)\r\n\r\n\r\n");
    EXPECT_EQ(Reread(w),
              "(\r\n ;B[aa]\r\n(\r\n ;W[bb]\r\n(\r\n ;B[cc]\r\n)\r\n(\r\n "
              ";B[dd]\r\n)\r\n)\r\n(\r\n ;W[ee]\r\n)\r\n)\r\n");
}

TEST_F(RecordTree, AnyNumberOfAlternativesIsWrittenAsValidSgf) {
    const std::string text =
        "(;B[aa](;W[bb];B[ff])(;W[cc](;B[gg])(;B[hh])(;B[ii]))(;W[dd])(;W[ee]C[x\\]]))";
    Load(text);
    const std::string canonical = Reread(text);
    EXPECT_EQ(Reread(tree.SaveToString()), canonical);
    // Saved twice over: still the same record.
    const std::string saved = File("saved.sgf", "");
    tree.SaveToFile(saved);
    Load(test::ReadBytes(saved), "again.sgf");
    EXPECT_EQ(Reread(tree.SaveToString()), canonical);
}

TEST_F(RecordTree, CollapsedGamesAreSavedToo) {
    Load("(;B[aa];W[bb])(;B[cc](;W[dd])(;W[ee])(;W[ff]))");
    EXPECT_EQ(Reread(tree.SaveToString()),
              Reread("(;B[aa];W[bb])(;B[cc](;W[dd])(;W[ee])(;W[ff]))"));
}

TEST_F(RecordTree, FiftyThousandNestedAlternativesPopulateReplayAndSave) {
    // Each second alternative holds the next branch point, so the items nest as deep as the file.
    const int depth = 50000;
    std::string text;
    for (int i = 0; i < depth; ++i) text += i % 2 ? "(;B[cc](;W[dd])" : "(;B[aa](;W[bb])";
    text += "(;W[ee])" + std::string(depth, ')');
    Load(text);
    TSgfTreeItem* item = Game();
    int levels = 0;
    while (item->Children().size() == 3) {
        item = Child(item, 1);
        ++levels;
    }
    EXPECT_EQ(levels, depth);
    tree.Select(Child(item, 0));
    EXPECT_EQ(Stones({"A19", "C17", "E15", "B18"}), "XXO.");
    const std::string saved = tree.SaveToString();
    EXPECT_LT(saved.size(), 200u * depth);       // the indent stops growing
    EXPECT_TRUE(Reread(saved) == Reread(text));  // (no diff of megabytes on failure)
}

TEST_F(RecordTree, PropertyValuesAsTheHandlerSeesThem) {
    Load("(;C[first]AB[aa]C[line one\nline two\r\nthree\rfour][second];b[zz]KoMi[6.5])");
    TSgfTreeItem* root = Child(Game(), 0);
    EXPECT_EQ(tree.GetPropertyValue(root, "C"), "second");
    EXPECT_EQ(tree.GetPropertyValue(root, "c"), "");
    EXPECT_EQ(tree.GetPropertyValue(Game(), "C"), "");
    std::vector<std::string> seen;
    tree.OnExecProperty = [&seen](TSgfTreeModel&, TSgfTreeItem*, const std::string& id,
                                  const std::string& v,
                                  TNodeInformationPurpose) { seen.push_back(id + "=" + v); };
    tree.ExecuteNode(root, root->Data, nipLast);
    EXPECT_EQ(seen[2], "C=line one\r\nline two\r\nthree\r\nfour");
    seen.clear();
    tree.ExecuteNode(Child(Game(), 1), Child(Game(), 1)->Data, nipLast);
    // "b" leaves no identifier; the handler ignores such events.
    EXPECT_EQ(seen, (std::vector<std::string>{"=zz", "KM=6.5"}));
}

TEST_F(RecordTree, ParserAndRecordTreeForgetEachOther) {
    Load("(;B[aa])");
    {
        TSgfParser other;
        tree.SetSgfParser(&other);
        EXPECT_EQ(parser.TreeView(), nullptr);
        EXPECT_EQ(other.TreeView(), &tree);
    }
    EXPECT_EQ(tree.SgfParser(), nullptr);
    EXPECT_EQ(tree.WriteItem(tree.AddGame("empty"), "x", 1), "x");  // nothing to write
    EXPECT_EQ(test::ErrorOf([&] { (void)tree.WriteItem(Game(), "", 1); }),
              "SgfTreeView has no valid SgfParser");
    {
        TSgfTreeModel second(engine.Board);
        second.SetSgfParser(&parser);
        EXPECT_EQ(parser.TreeView(), &second);
    }
    EXPECT_EQ(parser.TreeView(), nullptr);
    parser.SetActive(false);
    parser.SetActive(true);  // no record tree attached: nothing to rebuild
    EXPECT_EQ(tree.Items().size(), 2u);
}

TEST_F(RecordTree, RandomGamesReplayToTheirFinalPosition) {
    for (uint32_t seed = 1; seed <= 20; ++seed) {
        const TSyntheticGame game = SyntheticGame(seed, 400, seed % 2 == 0, seed % 3 == 0);
        Load(game.Sgf);
        ReplayMainLine(tree, replay, -1);
        ASSERT_EQ(engine.Fields.Spielfeld, game.Final) << game.Sgf;
    }
}

TEST_F(RecordTree, PlayedMovesAreRecorded) {
    engine.Recorder = &tree;
    engine.Fields.Spielfeld = test::FromDiagram("X.O\n...");
    engine.Game.ComputerWeiss = true;
    tree.NewGameRecord();
    ASSERT_EQ(tree.Items().size(), 1u);
    EXPECT_EQ(Labels(Game()), (std::vector<std::string>{"Information", "Start-Stellung"}));
    EXPECT_EQ(tree.Selected(), Child(Game(), 1));
    ExecuteMove(engine, 3, 3, 1);
    ExecuteMove(engine, -1, -1, -1);
    EXPECT_EQ(Labels(Game()),
              (std::vector<std::string>{"Information", "Start-Stellung", "D4", "-"}));
    EXPECT_EQ(
        tree.SaveToString(),
        "( ;FF[4]\r\n GM[1]\r\n SZ[19]\r\n RU[Japanese]\r\n AP[Obrin:6]\r\n GN[Neues Spiel]\r\n"
        " ;AW[aa]\r\n AB[ca]\r\n ;W[dp]\r\n ;B[tt]\r\n)\r\n\r\n");

    // With a variation item selected the move goes inside it.
    TSgfTreeItem* v = Child(Game(), 1);
    tree.SetReplayEnabled(false);
    tree.Select(Game());
    tree.SetReplayEnabled(true);
    EXPECT_EQ(tree.LastSibling(), Game());
    tree.DeleteItem(v);
    EXPECT_EQ(Labels(Game()), (std::vector<std::string>{"Information", "D4", "-"}));
}

// Plays colour at an SGF point through the engine, as a click in a game does; the engine hands
// the move to the record tree.
void PlayAt(TEngine& engine, const char* sgfPoint, int colour) {
    const TPoint p = TRecordReplay::PointOfValue(sgfPoint);
    ExecuteMove(engine, p.X, p.Y, colour);
}

TEST_F(RecordTree, AMoveFromTheMiddleStartsAVariationAndKnownMovesAreSelected) {
    engine.Recorder = &tree;
    Load("(;FF[4];B[aa];W[bb];B[cc];W[dd])");
    TSgfTreeItem* first = Child(Game(), 1);
    tree.Select(first);
    PlayAt(engine, "jj", -1);
    EXPECT_EQ(Reread(tree.SaveToString()), Reread("(;FF[4];B[aa](;W[bb];B[cc];W[dd])(;W[jj]))"));
    EXPECT_EQ(Stones({"K10", "B18"}), "O.");  // the old continuation is not on the board
    // Two more alternatives at the same branch point, then the known ones again: selected,
    // not added a second time.
    for (const char* point : {"kk", "ll", "bb", "kk", "jj"}) {
        tree.Select(first);
        PlayAt(engine, point, -1);
        EXPECT_EQ(tree.GetPropertyValue(tree.Selected(), "W"), point);
    }
    const std::string expected = "(;FF[4];B[aa](;W[bb];B[cc];W[dd])(;W[jj])(;W[kk])(;W[ll]))";
    EXPECT_EQ(Reread(tree.SaveToString()), Reread(expected));
    // Playing on from an alternative continues that alternative.
    PlayAt(engine, "mm", 1);
    EXPECT_EQ(Reread(tree.SaveToString()),
              Reread("(;FF[4];B[aa](;W[bb];B[cc];W[dd])(;W[jj];B[mm])(;W[kk])(;W[ll]))"));
    // What is saved reads back as the same record, and so does its saved copy.
    const std::string saved = File("saved.sgf", "");
    tree.SaveToFile(saved);
    const std::string once = tree.SaveToString();
    Load(test::ReadBytes(saved), "again.sgf");
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(tree.SaveToString(), once);
}

TEST_F(RecordTree, AMoveAtTheGameItemFollowsTheRootNode) {
    engine.Recorder = &tree;
    Load("(;FF[4]AB[aa];B[cc])");
    tree.Select(Game());  // the empty board
    PlayAt(engine, "ee", -1);
    ASSERT_EQ(tree.Items().size(), 1u);
    EXPECT_EQ(Reread(tree.SaveToString()), Reread("(;FF[4]AB[aa](;B[cc])(;W[ee]))"));
    // The board follows the record: the root's setup, then the move.
    EXPECT_EQ(Stones({"A19", "E15"}), "XO");
    EXPECT_EQ(tree.GetPropertyValue(tree.Selected(), "W"), "ee");

    Load("(;FF[4]AB[aa])", "root.sgf");
    tree.Select(Game());
    PlayAt(engine, "dd", 1);
    EXPECT_EQ(Reread(tree.SaveToString()), Reread("(;FF[4]AB[aa];B[dd])"));
}

TEST_F(RecordTree, GamesOnOtherBoardSizesAreShownButNeverReplayed) {
    const std::string text = "(;FF[4]SZ[9]AB[aa];B[ii];W[hh])(;SZ[19:19];B[aa])(;SZ[13:19])";
    Load(text, "small.sgf");
    tree.Expand(Game());
    tree.Select(Child(Game(), 2));
    EXPECT_TRUE(BoardIsEmpty(engine.Fields.Spielfeld));
    EXPECT_EQ(Reread(tree.SaveToString()), Reread(text));
    const std::vector<std::string> refused = tree.UnplayableGames("small.sgf");
    ASSERT_EQ(refused.size(), 2u);
    EXPECT_EQ(refused[0], "small.sgf: game 1 has board size 9; only 19x19 games can be replayed");
    EXPECT_EQ(refused[1],
              "small.sgf: game 3 has board size 13:19; only 19x19 games can be replayed");
    tree.Expand(Game(1));
    tree.Select(Child(Game(1), 1));
    EXPECT_EQ(Stone("A19"), 1);
}

TEST_F(RecordTree, TextKeepsItsEncodingUntilACharacterDoesNotFit) {
    Load("(;FF[4]CA[ISO-8859-1]PB[M\xFCller]C[gr\xFC\xDF];B[aa])");
    TSgfTreeItem* root = Child(Game(), 0);
    tree.Select(root);
    EXPECT_EQ(tree.DecodeText(root, engine.GameData.PB), "M\xC3\xBCller");
    // The dialog's OK with nothing touched: every value keeps its bytes.
    TGameData shown;
    for (const char* id : {"PB", "PW", "RU", "GC", "DT"})
        *shown.Field(id) = tree.DecodeText(root, *engine.GameData.Field(id));
    WriteGameInfo(tree, shown);
    std::string saved = tree.SaveToString();
    EXPECT_NE(saved.find("PB[M\xFCller]"), std::string::npos) << saved;
    EXPECT_NE(saved.find("C[gr\xFC\xDF]"), std::string::npos);
    EXPECT_EQ(saved.find("RU["), std::string::npos);  // none there, none typed: none added
    EXPECT_EQ(saved.find("SZ["), std::string::npos);
    // A character Latin-1 has is stored in Latin-1.
    EXPECT_EQ(tree.EncodeText(root, "\xC3\xA9t\xC3\xA9"), "\xE9t\xE9");
    EXPECT_EQ(tree.EncodeText(root, "M\xC3\xBCller", "M\xFCller"), "M\xFCller");
    // The euro sign is not in Latin-1: the game becomes UTF-8, nothing is replaced.
    shown.PB = "M\xC3\xBCller \xE2\x82\xAC";
    WriteGameInfo(tree, shown);
    saved = tree.SaveToString();
    EXPECT_NE(saved.find("PB[M\xC3\xBCller \xE2\x82\xAC]"), std::string::npos) << saved;
    EXPECT_NE(saved.find("C[gr\xC3\xBC\xC3\x9F]"), std::string::npos);
    EXPECT_NE(saved.find("CA[UTF-8]"), std::string::npos);
    EXPECT_EQ(saved.find("ISO-8859-1"), std::string::npos);

    // Valid UTF-8 without CA gets CA[UTF-8] when the user adds text beyond ASCII.
    Load("(;PB[Anna];B[aa])", "new.sgf");
    EXPECT_EQ(tree.EncodeText(Child(Game(), 0), "\xC3\xA9"), "\xC3\xA9");
    EXPECT_EQ(tree.GetPropertyValue(Child(Game(), 0), "CA"), "UTF-8");
}

// The edited player is stored once, at the end with the new fields; rules, size and the
// untouched values stay where they were.
TEST_F(RecordTree, GameInformationIsWrittenBackOnceAndKeepsTheRecordsRulesAndSize) {
    Load("(;FF[4]SZ[19]RU[Chinese]KM[7.5]PB[Anna]C[root];B[aa])");
    tree.Select(Child(Game(), 1));
    TGameData edited = engine.GameData;
    edited.PB = "Carla";
    edited.PW = "Bert";
    WriteGameInfo(tree, edited);
    EXPECT_EQ(engine.GameData.PB, "Carla");
    EXPECT_EQ(tree.Selected(), Child(Game(), 1));
    EXPECT_EQ(
        Reread(tree.SaveToString()),
        Reread("(;FF[4]SZ[19]RU[Chinese]KM[7.5]C[root]AP[Obrin:6]GM[1]PW[Bert]PB[Carla];B[aa])"));
}

class RecordGtp : public RecordTree {
  protected:
    TGtpEngine gtp{engine};
    void SetUp() override {
        RecordTree::SetUp();
        RegisterRecordsCommands(gtp);
    }
    std::string Ask(const std::string& line) {
        bool quit = false;
        return gtp.HandleLine(line, quit);
    }
};

TEST_F(RecordGtp, LoadsgfMakesTheRecordTheCurrentGame) {
    const std::string file = File("g.sgf", "(;FF[4]AB[aa];W[ba];B[ca];W[ss];B[bb]C[takes B19])");
    EXPECT_EQ(Ask("loadsgf " + file + " 3"), "= \n\n");
    EXPECT_EQ(Ask("list_stones black"), "= A19 C19\n\n");
    EXPECT_EQ(Ask("list_stones white"), "= B19\n\n");
    EXPECT_EQ(Ask("loadsgf " + file), "= \n\n");
    EXPECT_EQ(Ask("list_stones black"), "= B18 A19 C19\n\n");
    EXPECT_EQ(Ask("captures black"), "= 1\n\n");
    EXPECT_EQ(Ask("is_legal w B19"), "= 0\n\n");
    EXPECT_EQ(Ask("play w A18"), "= \n\n");
    EXPECT_EQ(Ask("undo"), "= \n\n");
    EXPECT_EQ(Ask("list_stones white"), "= T1\n\n");
    EXPECT_EQ(Ask("captures black"), "= 1\n\n");
    // The loaded moves are moves: undo steps back into them, down to the setup.
    EXPECT_EQ(Ask("undo"), "= \n\n");
    EXPECT_EQ(Ask("list_stones white"), "= T1 B19\n\n");
    EXPECT_EQ(Ask("captures black"), "= 0\n\n");
    for (int i = 0; i < 3; ++i) EXPECT_EQ(Ask("undo"), "= \n\n");
    EXPECT_EQ(Ask("list_stones black"), "= A19\n\n");
    EXPECT_EQ(Ask("undo"), "? cannot undo\n\n");
    EXPECT_EQ(Ask("loadsgf " + file + " x"), "? syntax error\n\n");
    EXPECT_EQ(Ask("loadsgf /no/such/file.sgf"),
              "? cannot load file: /no/such/file.sgf: cannot be read: No such file or directory\n\n");
    EXPECT_EQ(Ask("list_stones black"), "= A19\n\n");
}

// The answers name the file layer's refusals; which files it refuses is tested with that layer.
TEST_F(RecordGtp, LoadsgfAndPrintsgfRefuseWhatIsNoRegularFile) {
    const std::string zero = (dir / "zero.sgf").string();
    std::filesystem::create_symlink("/dev/zero", zero);  // would be read until memory runs out
    EXPECT_EQ(Ask("loadsgf " + zero),
              "? cannot load file: " + zero + ": is a device, not a regular file\n\n");
    const std::string folder = (dir / "games.sgf").string();
    std::filesystem::create_directory(folder);
    const std::string refused = ": is a folder, not a regular file; nothing written\n\n";
    EXPECT_EQ(Ask("printsgf " + folder), "? cannot save file: " + folder + refused);
}

TEST_F(RecordGtp, LoadsgfTakesKomiKeepsMovesAndRefusesOtherSizes) {
    const std::string file = File("k.sgf", "(;FF[4]KM[6.5]AB[dd][pp];W[qd];B[dq])");
    EXPECT_EQ(Ask("loadsgf " + file), "= \n\n");
    EXPECT_EQ(gtp.Komi(), 6.5);
    const std::string printed = Ask("printsgf");
    EXPECT_NE(printed.find(";W[qd]"), std::string::npos) << printed;
    EXPECT_NE(printed.find(";B[dq]"), std::string::npos) << printed;

    EXPECT_EQ(Ask("loadsgf " + File("nine.sgf", "(;SZ[9];B[ee])")), "? unacceptable size\n\n");
    EXPECT_EQ(Ask("list_stones b"), "= D3 Q4 D16\n\n");  // the game is left alone
}

TEST_F(RecordGtp, PrintsgfGivesTheGameBack) {
    Ask("komi 6.5");
    Ask("fixed_handicap 2");
    Ask("play w C3");
    Ask("play b pass");
    Ask("play w D5");
    Ask("undo");
    const std::string reply = Ask("printsgf");
    EXPECT_EQ(reply.substr(0, 3), "= \n");
    EXPECT_NE(reply.find("KM[6.5]"), std::string::npos);
    EXPECT_NE(reply.find(";AB[dp][pd]"), std::string::npos);
    EXPECT_EQ(reply.find("\n\n"), reply.size() - 2);
    const std::string file = File("p.sgf", "");
    EXPECT_EQ(Ask("printsgf " + file), "= \n\n");
    Ask("clear_board");
    EXPECT_EQ(Ask("loadsgf " + file), "= \n\n");
    EXPECT_EQ(Ask("list_stones b"), "= D4 Q16\n\n");
    EXPECT_EQ(Ask("list_stones w"), "= C3\n\n");
}

TEST_F(RecordTree, CommandLineCheckStatuses) {
    const std::string good = File("good.sgf", "(;B[aa])");
    const std::string bad = File("bad.sgf", "(;B[aa]");
    std::ostringstream out;
    EXPECT_EQ(SgfCheck({good}, out), 0);
    EXPECT_EQ(out.str(), good + ": 1 game, 1 node, 0 messages\n");
    EXPECT_EQ(SgfCheck({good, bad}, out), 1);
    EXPECT_EQ(SgfCheck({bad, (dir / "missing.sgf").string()}, out), 2);
    EXPECT_EQ(SgfCheck({File("notes.txt", "")}, out), 2);

    // Nothing to check is an error, not "0 games": an empty file, a folder, a device.
    std::ostringstream none;
    EXPECT_EQ(SgfCheck({File("empty.sgf", "")}, none), 2);
    EXPECT_EQ(none.str(), (dir / "empty.sgf").string() + ": holds no game\n");
    std::filesystem::create_directory(dir / "x.sgf");
    std::filesystem::create_symlink("/dev/zero", dir / "zero.sgf");
    for (const char* name : {"x.sgf", "zero.sgf"}) {
        std::ostringstream refused;
        EXPECT_EQ(SgfCheck({(dir / name).string()}, refused), 2);
        EXPECT_EQ(refused.str().find((dir / name).string() + ": is a "), 0u) << refused.str();
        EXPECT_NE(refused.str().find(", not a regular file\n"), std::string::npos);
    }
    std::ostringstream err;
    const std::string converted = (dir / "out.sgf").string();
    EXPECT_EQ(SgfConvert(File("pos.stl", "x\n.o"), converted, err), 0);
    std::ostringstream shown;
    EXPECT_EQ(SgfShow(converted, -1, shown, err), 0);
    EXPECT_NE(shown.str().find("19 X . ."), std::string::npos) << shown.str();
    EXPECT_NE(shown.str().find("18 . O ."), std::string::npos);
}

TEST(RecordText, EveryByteOfTheSingleByteEncodingsComesBack) {
    std::string all;
    for (int b = 1; b < 256; ++b) all += static_cast<char>(b);
    for (const char* charset : {"ISO-8859-1", "latin1", "Windows-1252", "CP1252", "UTF-8", ""}) {
        const std::string text = DecodeRecordText(all, charset);
        EXPECT_TRUE(IsValidUtf8(text)) << charset;
        std::string raw;
        // A record declared UTF-8 whose bytes are not is read as Windows-1252; encoding such
        // text again as UTF-8 gives UTF-8, which is what the windows then store.
        if (CharsetOfCa(charset) == Utf8Charset) continue;
        ASSERT_TRUE(EncodeRecordText(text, charset, raw)) << charset;
        EXPECT_EQ(raw, all) << charset;
    }
}

TEST(RecordText, DecodingByCaAndByFallback) {
    EXPECT_EQ(DecodeRecordText("M\xFCller", "ISO-8859-1"), "M\xC3\xBCller");
    EXPECT_EQ(DecodeRecordText("\x80 5", "windows-1252"), "\xE2\x82\xAC 5");
    EXPECT_EQ(DecodeRecordText("\x80 5", "ISO-8859-1"), "\xC2\x80 5");
    // Without CA: UTF-8 when valid, else Windows-1252.
    EXPECT_EQ(DecodeRecordText("gr\xC3\xBC\xC3\x9F", ""), "gr\xC3\xBC\xC3\x9F");
    EXPECT_EQ(DecodeRecordText("gr\xFC\xDF", ""), "gr\xC3\xBC\xC3\x9F");
    // Another encoding through the C library; bytes it cannot read fall back.
    EXPECT_EQ(DecodeRecordText("\xB0\xA1", "GB2312"), "\xE5\x95\x8A");
    EXPECT_EQ(DecodeRecordText("\xFC", "no-such-charset"), "\xC3\xBC");
}

TEST(RecordText, EncodingRefusesWhatTheEncodingLacks) {
    std::string raw = "kept";
    EXPECT_FALSE(EncodeRecordText("\xE2\x82\xAC", "ISO-8859-1", raw));  // the euro sign
    EXPECT_EQ(raw, "kept");
    EXPECT_TRUE(EncodeRecordText("\xE2\x82\xAC", "Windows-1252", raw));
    EXPECT_EQ(raw, "\x80");
    EXPECT_FALSE(EncodeRecordText("\xE6\x97\xA5", "Windows-1252", raw));
    EXPECT_TRUE(EncodeRecordText("\xE6\x97\xA5", "UTF-8", raw));
    EXPECT_EQ(raw, "\xE6\x97\xA5");
    EXPECT_FALSE(EncodeRecordText("\xFF", "UTF-8", raw));  // not text at all
}

}  // namespace
}  // namespace obrin
