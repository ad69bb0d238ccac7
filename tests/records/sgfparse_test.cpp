#include "records/sgfparse.h"

#include <gtest/gtest.h>

#include "board/errors.h"
#include "records/ownformats.h"
#include "support/error_text.h"
#include "support/tempdir.h"

namespace obrin {
namespace {

struct TToken {
    TSgfTokenKind Kind;
    std::string Text;
    friend bool operator==(const TToken&, const TToken&) = default;
};

std::vector<TToken> Tokens(const std::string& data) {
    TSgfTokenizer t("t.sgf", data, nullptr);
    std::vector<TToken> tokens;
    for (int guard = 0; guard < 1000; ++guard) {
        tokens.push_back({t.Kind, t.Kind == toEOF ? std::string() : t.Text});
        if (t.Kind == toEOF) break;
        t.NextToken();
    }
    return tokens;
}

struct TParsed {
    std::unique_ptr<TSgfData> Root;
    std::vector<std::string> Messages;
};

TParsed Parse(const std::string& text) {
    TParsed p;
    p.Root = ParseSgfText("t.sgf", text, &p.Messages);
    return p;
}

const TSgfData& NodeOf(const TSgfData& tree, int i) {
    return *tree.Sequence->Nodes->Items(i);
}
const TSgfData& Game(const TParsed& p, int i) {
    return *p.Root->GameTrees->Items(i);
}

std::string Written(const TSgfData& d) {
    return WriteSgfData(d, std::string(), 0);
}

TEST(SgfTokenizer, PunctuationValuesEscapesAndTheEndOfTheData) {
    EXPECT_EQ(Tokens("(;B[aa])"), (std::vector<TToken>{{toOpenParenthese, "("},
                                                       {toSemicolon, ";"},
                                                       {toChar, "B"},
                                                       {toPropertyValue, "aa"},
                                                       {toCloseParenthese, ")"},
                                                       {toEOF, ""}}));
    EXPECT_EQ(Tokens("C[a\\]b\\\\c]"),
              (std::vector<TToken>{{toChar, "C"}, {toPropertyValue, "a]b\\c"}, {toEOF, ""}}));
    // Line breaks inside values are kept as they are, also after a backslash.
    EXPECT_EQ(Tokens("[x\\\r\ny]")[0], (TToken{toPropertyValue, "x\r\ny"}));
    EXPECT_EQ(Tokens("[]")[0], (TToken{toPropertyValue, ""}));
    // Tab, vertical tab and form feed are white space.
    const std::vector<TToken> spaced = Tokens(";\tB\v[aa]\f;");
    EXPECT_EQ(spaced.size(), 5u);
    EXPECT_EQ(spaced[2], (TToken{toPropertyValue, "aa"}));
    // The data ends inside a value.
    EXPECT_EQ(Tokens("C[open to the end"),
              (std::vector<TToken>{{toChar, "C"}, {toEOFInValue, "open to the end"}, {toEOF, ""}}));
    EXPECT_EQ(Tokens("C[x\\"),
              (std::vector<TToken>{{toChar, "C"}, {toEOFInValue, "x"}, {toEOF, ""}}));
    // A byte 26 ends the data for good: nothing after it is read.
    EXPECT_EQ(Tokens(std::string("(;\x1a;B[aa])", 10)),
              (std::vector<TToken>{{toOpenParenthese, "("}, {toSemicolon, ";"}, {toEOF, ""}}));
    EXPECT_EQ(Tokens(std::string("[a\x1a]b]", 6)),
              (std::vector<TToken>{{toEOFInValue, "a"}, {toEOF, ""}}));
}

TEST(SgfTokenizer, ExpectSaysInWordsWhatAndWhereFromLineAndColumnOne) {
    std::vector<std::string> messages;
    TSgfTokenizer t("game.sgf", "x\n  ;", &messages);
    t.Expect(toSemicolon);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], "';' expected but found 'x', line 1, column 1, file game.sgf");
    t.Expect(toOpenParenthese);
    EXPECT_EQ(messages.back(), "'(' expected but found ';', line 2, column 3, file game.sgf");
    EXPECT_EQ(t.Kind, toEOF);
    t.Expect(toEOF);
    t.Expect(toEOF);  // reading past the end is harmless
    EXPECT_EQ(messages.size(), 2u);
    EXPECT_STREQ(KindName(toEOFInValue), "???");

    const auto firstMessage = [](const std::string& text) {
        std::vector<std::string> lines;
        TSgfTokenizer t("t.sgf", text, &lines);
        while (t.Kind != toEOF && t.Kind != toEOFInValue) t.NextToken();
        t.Expect(toCloseParenthese);
        return lines.at(0);
    };
    // The end of the file counts as the line after the last line feed.
    EXPECT_EQ(firstMessage("(;B[aa]\n;W[bb]\n"),
              "')' expected at the end of the file, line 3, file t.sgf");
    EXPECT_EQ(firstMessage("(;C[two\nlines"),
              "')' expected but the file ends inside a property value, line 1, column 4, "
              "file t.sgf");
    // Bytes that do not print are named by their code; lines and columns count across values.
    std::vector<std::string> lines;
    TSgfTokenizer u("t.sgf", "(;C[a\nbc]\x01", &lines);
    for (int i = 0; i < 4; ++i) u.NextToken();
    u.Expect(toSemicolon);
    EXPECT_EQ(lines.at(0), "';' expected but found the byte 0x01, line 2, column 4, file t.sgf");
}

TEST(SgfParser, TreeShapeOfWellFormedRecords) {
    TParsed empty = Parse("");
    EXPECT_EQ(empty.Root->GameTrees->Count(), 0);
    EXPECT_TRUE(empty.Messages.empty());

    TParsed p = Parse("(;B[aa](;W[bb])(;W[cc]))\n(;AddBlack[dd][ee]KoMi[6.5])");
    ASSERT_TRUE(p.Messages.empty());
    ASSERT_EQ(p.Root->GameTrees->Count(), 2);
    const TSgfData& g = Game(p, 0);
    EXPECT_EQ(g.Sequence->Nodes->Count(), 1);
    ASSERT_EQ(g.Variations->Count(), 2);
    EXPECT_EQ(NodeOf(*g.Variations->Items(1), 0).Properties->Items(0)->Values->Items(0)->Value,
              "cc");
    const TSgfData& ab = *NodeOf(Game(p, 1), 0).Properties->Items(0);
    EXPECT_EQ(ab.Identifier, "AB");
    EXPECT_EQ(ab.Values->Count(), 2);
    EXPECT_EQ(NodeOf(Game(p, 1), 0).Properties->Items(1)->Identifier, "KM");
    EXPECT_EQ(p.Root->ConsistencyCode(), 0);
}

// Damaged records: what is kept (as written back), how many lines it costs, and the first line.
TEST(SgfParser, DamagedRecordsKeepWhatCanBeReadAndSayWhere) {
    const struct {
        const char* Name;
        std::string Text;
        std::string Written;
        size_t Messages;
        std::string First;
    } cases[] = {
        {"missing opening parenthesis", ";B[aa])", "(\r\n ;B[aa]\r\n)\r\n", 1,
         "'(' expected but found ';', line 1, column 1, file t.sgf"},
        // B without a value is kept with an empty one, and the ";" still starts W's node.
        {"missing value", "(;B;W[aa](;B\t;W[bb]))",
         "(\r\n ;B[]\r\n ;W[aa]\r\n(\r\n ;B[]\r\n ;W[bb]\r\n)\r\n)\r\n", 2,
         "a property value in [ ] expected but found ';', line 1, column 4, file t.sgf"},
        {"text outside the game trees",
         "\xEF\xBB\xBF"
         "From: a@b.c\nSubject: our game [1]\n\n(;B[aa])\nsee you (soon)\n(;W[bb]) -- \n",
         "(\r\n ;B[aa]\r\n)\r\n(\r\n ;W[bb]\r\n)\r\n", 3,
         "Skipped text outside the game trees, line 1, column 1, file t.sgf"},
        {"byte order mark", "\xEF\xBB\xBF(;FF[4]C[gr\xC3\xBC\xC3\x9F])",
         "(\r\n ;FF[4]\r\n C[gr\xC3\xBC\xC3\x9F]\r\n)\r\n", 0, ""},
        {"missing semicolon", "(B[aa];W[bb])\n(\n  AB[cc][dd] ;W[ee])",
         "(\r\n ;B[aa]\r\n ;W[bb]\r\n)\r\n(\r\n ;AB[cc][dd]\r\n ;W[ee]\r\n)\r\n", 2,
         "';' expected but found 'B', line 1, column 2, file t.sgf"},
        {"unclosed value", "(;B[aa]C[a comment that never ends",
         "(\r\n ;B[aa]\r\n C[a comment that never ends]\r\n)\r\n", 2, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        TParsed p = Parse(c.Text);
        EXPECT_EQ(Written(*p.Root), c.Written);
        ASSERT_EQ(p.Messages.size(), c.Messages);
        if (!c.First.empty()) {
            EXPECT_EQ(p.Messages[0], c.First);
        }
    }
}

TEST(SgfParser, DamagedInputAlwaysEnds) {
    for (const std::string& text : std::vector<std::string>{
             "(", ")", "((((", "))))", "[", "]]]", ";;;", "(;[x][y]B[", "(;B[aa](", "\x1a",
             "(;B[aa]\x1a", std::string(3, '\0'), "(;B[aa];W[bb](;B[cc]))))((;"}) {
        TParsed p = Parse(text);
        EXPECT_EQ(p.Root->ConsistencyCode(), 0) << text;
        const std::string w = Written(*p.Root);
        std::vector<std::string> again;
        EXPECT_NE(ParseSgfText("w.sgf", w, &again), nullptr);
        EXPECT_TRUE(again.empty()) << text << " wrote " << w;
    }
}

TEST(SgfWriter, EscapesAndLayout) {
    TParsed p = Parse("(;FF[4]SZ[19]C[rank [13k\\] and a \\\\ path];B[pd])");
    const std::string w = Written(*p.Root);
    EXPECT_EQ(w, "(\r\n ;FF[4]\r\n SZ[19]\r\n C[rank [13k\\] and a \\\\ path]\r\n ;B[pd]\r\n)\r\n");
    TParsed again = Parse(w);
    EXPECT_TRUE(again.Messages.empty());
    EXPECT_EQ(NodeOf(Game(again, 0), 0).Properties->Items(2)->Values->Items(0)->Value,
              "rank [13k] and a \\ path");
    EXPECT_EQ(WriteSgfData(NodeOf(Game(p, 0), 0), "(", 1),
              "( ;FF[4]\r\n SZ[19]\r\n C[rank [13k\\] and a \\\\ path]\r\n");
}

TEST(SgfTree, FiftyThousandNestedNodesParseCloneWriteAndFree) {
    const int depth = 50000;
    std::string text;
    for (int i = 0; i < depth; ++i) text += i % 2 ? "(;W[bb]" : "(;B[aa]";
    text += std::string(depth, ')');
    const int64_t before = CountSgfData();
    {
        TParsed p = Parse(text);
        EXPECT_TRUE(p.Messages.empty());
        auto copy = p.Root->Clone();
        int levels = 0;
        for (const TSgfData* g = copy->GameTrees->Items(0); g != nullptr;
             g = g->Variations->Count() ? g->Variations->Items(0) : nullptr)
            ++levels;
        EXPECT_EQ(levels, depth);
        EXPECT_EQ(Written(*copy), Written(*p.Root));
    }
    EXPECT_EQ(CountSgfData(), before);
}

class RecordFiles : public ::testing::Test {
  protected:
    test::TTempDir dir;
    std::string File(const std::string& name, const std::string& text) {
        test::WriteBytes(dir / name, text);
        return (dir / name).string();
    }
    const TSgfData* Open(TSgfParser& parser, const std::string& file) {
        parser.SetActive(false);
        parser.SetFilename(file);
        parser.SetActive(true);
        return parser.Root();
    }
};

TEST_F(RecordFiles, DispatchByExtensionAndActiveRules) {
    TSgfParser parser("Parser1");
    EXPECT_NE(Open(parser, File("game.Sgf", "(;B[aa])")), nullptr);
    EXPECT_NE(Open(parser, File("game.MGT", "(;B[aa])")), nullptr);
    EXPECT_EQ(Open(parser, File("game.txt", "(;B[aa])")), nullptr);
    EXPECT_TRUE(parser.Messages().empty());
    EXPECT_EQ(test::ErrorOf([&] { parser.SetFilename("other.sgf"); }), "Parser1 is active!");
    parser.SetActive(false);
    parser.SetFilename((dir / "missing.sgf").string());
    EXPECT_THROW(parser.SetActive(true), EObrinError);
    EXPECT_EQ(parser.Root(), nullptr);
}

TEST_F(RecordFiles, PositionFileGivesThreeNodes) {
    TSgfParser parser;
    const TSgfData* root =
        Open(parser, File("p.stl", "x.x\r\n\r\n..o\n" + std::string(18, '.') + "o"));
    const TSgfData& g = *root->GameTrees->Items(0);
    ASSERT_EQ(g.Sequence->Nodes->Count(), 3);
    EXPECT_EQ(
        Written(g),
        "(\r\n ;FF[4]\r\n GM[1]\r\n SZ[19]\r\n ;AB[aa]\r\n AB[ca]\r\n ;AW[cc]\r\n AW[sd]\r\n)\r\n");
    const TSgfData* empty = Open(parser, File("e.stl", ""));
    EXPECT_EQ(empty->GameTrees->Items(0)->Sequence->Nodes->Count(), 3);
}

TEST_F(RecordFiles, OwnGameFormat) {
    TSgfParser parser;
    const TSgfData* bare =
        Open(parser, File("bare.obr", "[BLACK] Anna \n[WHITE]Bert\n[BLACK]Carla\n"));
    const TSgfData& root = NodeOf(*bare->GameTrees->Items(0), 0);
    ASSERT_EQ(root.Properties->Count(), 14);
    EXPECT_EQ(root.Properties->Items(5)->Identifier, "PB");
    EXPECT_EQ(root.Properties->Items(5)->Values->Items(0)->Value, "Carla");
    EXPECT_EQ(root.Properties->Items(6)->Values->Items(0)->Value, "Bert");

    std::string diagram = "x" + std::string(18, '.') + "\n";
    for (int i = 0; i < 17; ++i) diagram += std::string(19, '.') + "\n";
    diagram += std::string(18, '.') + "o\n";
    const TSgfData* game =
        Open(parser,
             File("g.obr",
                  "[EVENT]Cup\n[START-POSITION]\n" + diagram +
                      "[MOVES]\n1 B D4\n 12  W   Q16 extra\n13 b ---\n14 W\n15 B i5\n16 X A1\n"));
    const TSgfData& g = *game->GameTrees->Items(0);
    ASSERT_EQ(g.Sequence->Nodes->Count(), 7);
    EXPECT_EQ(Written(NodeOf(g, 1)), ";AB[aa]\r\nAW[ss]\r\n");
    std::string moves;
    for (int i = 2; i < 7; ++i) moves += Written(NodeOf(g, i));
    EXPECT_EQ(moves, ";B[dp]\r\n;W[pd]\r\n;B[tt]\r\n;W[]\r\n;B[o]\r\n");

    EXPECT_THROW(Open(parser, File("bad.obr", "[MOVES]\n1 B Dx\n")), EObrinError);
    EXPECT_EQ(parser.Root(), nullptr);
}

}  // namespace
}  // namespace obrin
