#include "records/sgftree.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "board/errors.h"
#include "game/gameflow.h"
#include "gtp/gtp.h"
#include "gtp/gtp_records.h"
#include "records/replay.h"
#include "records/sgfcommands.h"
#include "records/sgfparse.h"
#include "records/sgfsynth.h"
#include "support/diagram.h"

namespace obrin {
namespace {

// Parser, record tree and replay handler on a fresh engine, as the game-control window has them.
class RecordTree : public ::testing::Test {
  protected:
    IHost host;
    TEngine engine{host};
    TSgfParser parser;
    TSgfTreeModel tree{engine};
    TRecordReplay replay{engine, tree};
    std::vector<std::string> messages;
    std::filesystem::path dir =
        std::filesystem::temp_directory_path() /
        ("obrin-tree-test-" +
         std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));

    void SetUp() override {
        std::filesystem::create_directories(dir);
        parser.SetMessageReceiver(&messages);
        tree.SetSgfParser(&parser);
    }
    void TearDown() override { std::filesystem::remove_all(dir); }

    std::string File(const std::string& name, const std::string& text) {
        const auto path = (dir / name).string();
        std::ofstream(path, std::ios::binary) << text;
        return path;
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
    EXPECT_EQ(Stone("D16"), 1);
    EXPECT_EQ(Stone("Q4"), -1);
    EXPECT_EQ(Stone("D4"), 1);
    EXPECT_EQ(Stone("Q16"), 0);
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
    EXPECT_EQ(Stone("E15"), 1);
    EXPECT_EQ(Stone("C17"), 0);  // the main line after the branch point is not replayed
    EXPECT_EQ(Stone("B18"), -1);
    tree.Select(Child(Game(), 5));
    EXPECT_EQ(Stone("E15"), 0);
    EXPECT_EQ(Stone("D16"), -1);

    // Three alternatives: the third hangs under "V1" inside the first "V".
    Load("(;B[aa](;W[bb])(;W[cc])(;W[dd]))");
    EXPECT_EQ(Labels(Game()), (std::vector<std::string>{"1", "V", "2"}));
    EXPECT_EQ(Labels(Child(Game(), 1)), (std::vector<std::string>{"V1", "2"}));
    EXPECT_EQ(Labels(Child(Child(Game(), 1), 0)), (std::vector<std::string>{"2"}));
    tree.Select(Child(Child(Child(Game(), 1), 0), 0));
    EXPECT_EQ(Stone("D16"), -1);
    EXPECT_EQ(Stone("C17"), 0);
}

TEST_F(RecordTree, SetupPropertiesPassesAndIllegalMoves) {
    Load("(;AB[dd][pp]AW[dd][aa:bc];AE[pp][ab:ab]AB[jj:kk];B[];W[tt];B[dd];W[ss])");
    TSgfTreeItem* last = Child(Game(), 5);
    EXPECT_EQ(tree.ImageIndexOf(Child(Game(), 2)), 1);  // B[] is no move to show
    tree.Select(last);
    EXPECT_EQ(Stone("D16"), 1);   // AW on an occupied point is skipped
    EXPECT_EQ(Stone("Q4"), 0);    // removed by AE
    EXPECT_EQ(Stone("A19"), -1);  // the compressed list aa:bc
    EXPECT_EQ(Stone("B17"), -1);
    EXPECT_EQ(Stone("A18"), 0);
    EXPECT_EQ(Stone("K10"), 1);
    EXPECT_EQ(Stone("L9"), 1);
    EXPECT_EQ(Stone("T1"), -1);
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
    Load(std::string(std::istreambuf_iterator<char>(*std::make_unique<std::ifstream>(saved)), {}),
         "again.sgf");
    EXPECT_EQ(Reread(tree.SaveToString()), canonical);
}

TEST_F(RecordTree, CollapsedGamesAreSavedTooAndFailedSavesKeepTheOldFile) {
    Load("(;B[aa];W[bb])(;B[cc](;W[dd])(;W[ee])(;W[ff]))");
    EXPECT_EQ(Reread(tree.SaveToString()),
              Reread("(;B[aa];W[bb])(;B[cc](;W[dd])(;W[ee])(;W[ff]))"));

    const std::string target = File("keep.sgf", "old record");
    std::filesystem::create_directory(target + ".tmp");  // the temporary file cannot be written
    EXPECT_THROW(tree.SaveToFile(target), EObrinError);
    std::ifstream in(target);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "old record");
}

TEST_F(RecordTree, FiftyThousandNestedMovesPopulateReplayAndSave) {
    const TSyntheticGame game = SyntheticGame(5, 50000, true, true);
    Load(game.Sgf);
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(ReplayMainLine(tree, replay, -1), game.Moves + 1);
    EXPECT_EQ(engine.Fields.Spielfeld, game.Final);
    const std::string saved = tree.SaveToString();
    EXPECT_EQ(saved.find("(\r\n"), std::string::npos);  // nesting without branches comes out flat
    Load(saved);
    EXPECT_EQ(ReplayMainLine(tree, replay, -1), game.Moves + 1);
    EXPECT_EQ(engine.Fields.Spielfeld, game.Final);
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

TEST_F(RecordTree, GameInformationIsWrittenBackOnce) {
    Load("(;FF[4]PB[Anna]C[root];B[aa])");
    tree.Select(Child(Game(), 1));
    TGameData edited = engine.GameData;
    edited.PB = "Carla";
    edited.DT = "2001-03-09";
    WriteGameInfo(tree, edited);
    EXPECT_EQ(tree.GetPropertyValue(Child(Game(), 0), "PB"), "Carla");
    const TSgfData& root = *Child(Game(), 0)->Data;
    int pb = 0;
    for (const auto& p : *root.Properties) pb += p->Identifier == "PB";
    EXPECT_EQ(pb, 1);
    EXPECT_EQ(root.Properties->Items(root.Properties->Count() - 1)->Identifier, "GC");
    EXPECT_EQ(engine.GameData.PB, "Carla");
    EXPECT_EQ(tree.Selected(), Child(Game(), 1));
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
    EXPECT_EQ(Ask("undo"), "? cannot undo\n\n");
    EXPECT_EQ(Ask("captures black"), "= 1\n\n");
    EXPECT_EQ(Ask("loadsgf " + file + " x"), "? syntax error\n\n");
    EXPECT_EQ(Ask("loadsgf /no/such/file.sgf"), "? cannot load file\n\n");
    EXPECT_EQ(Ask("list_stones white"), "= T1\n\n");
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
    std::ostringstream err;
    const std::string converted = (dir / "out.sgf").string();
    EXPECT_EQ(SgfConvert(File("pos.stl", "x\n.o"), converted, err), 0);
    std::ostringstream shown;
    EXPECT_EQ(SgfShow(converted, -1, shown, err), 0);
    EXPECT_NE(shown.str().find("19 X . ."), std::string::npos) << shown.str();
    EXPECT_NE(shown.str().find("18 . O ."), std::string::npos);
}

}  // namespace
}  // namespace obrin
