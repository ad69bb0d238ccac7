// The pattern library reader and the matcher: orientations, records and their numbers,
// rejections of damaged files, the shipped library against its diagrams, and matching that
// agrees with a brute-force reading of every cell through CellPoint.
#include "patterns/muster.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <random>
#include <sstream>

#include "game/engine.h"
#include "patterns/handlers.h"
#include "support/diagram.h"
#include "support/error_text.h"
#include "support/tempdir.h"

namespace obrin {
namespace {

TPatternLoadReport Read(TPatternTree& tree, const std::string& text) {
    std::istringstream in(text);
    return ReadPatterns(tree, in, "lib.txt");
}

std::vector<TPatternFiring> Firings(const TPatternTree& tree, const TBoard& board) {
    std::vector<TPatternFiring> firings;
    CollectFirings(tree, board, firings);
    return firings;
}

// A board of random stones and empty points.
TBoard RandomBoard(std::mt19937& rng, int stonesPercent) {
    TBoard b{};
    for (int32_t& v : b) {
        const int r = static_cast<int>(rng() % 100);
        v = r < stonesPercent / 2 ? 1 : r < stonesPercent ? -1 : 0;
    }
    return b;
}

TEST(PatternSpiral, CellPointTurnsTheOffsetAndGivesMinusOneOffTheBoard) {
    const int anchor = PointIndex(9, 9);
    // Cell 13 is (2, 1) from the anchor.
    const std::vector<std::pair<int, int>> turned = {{2, 1}, {-2, 1}, {2, -1}, {-2, -1},
                                                     {1, 2}, {-1, 2}, {1, -2}, {-1, -2}};
    for (int sym = 0; sym < 8; ++sym)
        EXPECT_EQ(CellPoint(anchor, sym, 13),
                  PointIndex(9 + turned[sym].first, 9 + turned[sym].second))
            << sym;
    // Near the edge a cell off the board is -1, never a wrapped point of the next row.
    EXPECT_EQ(CellPoint(PointIndex(18, 5), 0, 3), -1);  // (1, 0) past the right edge
    EXPECT_EQ(CellPoint(PointIndex(0, 5), 1, 3), -1);   // (-1, 0) past the left edge
    EXPECT_EQ(CellPoint(PointIndex(4, 18), 0, 1), -1);  // above the top row
    EXPECT_EQ(CellPoint(PointIndex(4, 0), 2, 1), -1);   // below the bottom row
    EXPECT_EQ(CellPoint(PointIndex(4, 0), 0, 1), PointIndex(4, 1));
    EXPECT_EQ(CellPoint(anchor, 8, 1), -1);
    EXPECT_EQ(CellPoint(anchor, -1, 1), -1);
    EXPECT_EQ(CellPoint(anchor, 0, 256), -1);
    EXPECT_EQ(CellPoint(-1, 0, 0), -1);
    EXPECT_EQ(OrientOffset(9, 3, 4), (TPoint{-1, -1}));
}

TEST(PatternMatch, ShorterPatternsFireBeforeTheLongerOnesThatExtendThem) {
    TPatternTree tree;
    ASSERT_EQ(Read(tree, "[x.] 5\n[x.o] 6\n[x] 7\n").Records, 3);
    TBoard b{};
    b[PointIndex(9, 9)] = 1;
    b[PointIndex(10, 10)] = -1;  // cell 2 under symmetry 0
    const auto firings = Firings(tree, b);
    ASSERT_GE(firings.size(), 3u);
    EXPECT_EQ(firings[0], (TPatternFiring{7, static_cast<int16_t>(PointIndex(9, 9)), 0}));
    EXPECT_EQ(firings[1], (TPatternFiring{5, static_cast<int16_t>(PointIndex(9, 9)), 0}));
    EXPECT_EQ(firings[2], (TPatternFiring{6, static_cast<int16_t>(PointIndex(9, 9)), 0}));
}

TEST(PatternLibrary, ARecordOverThreeLinesIsItsOneLineFormAndALaterOneReplacesIt) {
    TPatternTree one, three;
    ASSERT_EQ(Read(one, "[xo.x.oo.a] 12\n").Records, 1);
    ASSERT_EQ(Read(three, "comment\n[xo.\n   x.o 9 #\no.a] 12\n").Records, 1);
    ASSERT_EQ(one.NodeCount(), three.NodeCount());
    for (int32_t i = 0; i < static_cast<int32_t>(one.NodeCount()); ++i) {
        EXPECT_EQ(one.Node(i).PatternNumber, three.Node(i).PatternNumber);
        EXPECT_EQ(one.Node(i).Child, three.Node(i).Child);
    }
    // A later record replaces an earlier one, and the number 0 clears it.
    TPatternTree tree;
    ASSERT_EQ(Read(tree, "[x.] 7\n[x.] 9\n[xo] 11\n[xo] 0\n[oo] 0\n").Records, 5);
    TBoard b{};
    b[PointIndex(5, 5)] = 1;
    b[PointIndex(6, 5)] = -1;
    for (const auto& f : Firings(tree, b)) EXPECT_EQ(f.Number, 9);
    EXPECT_EQ(tree.RecordsPerNumber()[7], 0);
    EXPECT_EQ(tree.RecordsPerNumber()[9], 1);
    EXPECT_EQ(tree.RecordsPerNumber()[11], 0);
    EXPECT_EQ(tree.NodeCount(), 4u) << "root, x, x., xo; the clearing of oo creates nothing";
}

TEST(PatternLibrary, NumberIgnoresAllWhiteSpaceAndCellsBeforeTheBracketCount) {
    TPatternTree tree;
    const auto report = Read(tree, "[x.]\t 1 2 \r\no[.] 8\r\n");
    EXPECT_EQ(report.Rejected, 0) << report.Messages[0];
    EXPECT_EQ(tree.RecordsPerNumber()[12], 1) << "tab, blanks and CR are stripped";
    EXPECT_EQ(tree.RecordsPerNumber()[8], 1);
    TBoard b{};
    b[PointIndex(5, 5)] = 1;
    b[PointIndex(12, 12)] = -1;
    EXPECT_EQ(Firings(tree, b).size(), 16u) << "o[.] is the same shape as [o.]";
}

TEST(PatternLibrary, DamagedRecordsAreRejectedNamingFileAndLine) {
    TPatternTree tree;
    const std::string text =
        "good\n[x.] 1\n"  // line 2: fine
        "[x.] 371\n"      // 3: number too large
        "[x.] -4\n"       // 4: negative
        "[x.] 5x\n"       // 5: not a number
        "[x.]\n"          // 6: no number
        "[] 5\n"          // 7: no cells
        "[" +
        std::string(257, '.') +
        "] 6\n"  // 8: 257 cells
        "[" +
        std::string(256, '.') +
        "] 6\n"        // 9: 256 cells are fine
        "[x.. 7\n\n";  // 10: never closed
    const auto report = Read(tree, text);
    EXPECT_EQ(report.Records, 2);
    EXPECT_EQ(report.Rejected, 7);
    const std::vector<std::string> expected = {"lib.txt:3: pattern number 371 is outside 1..370",
                                               "lib.txt:4: pattern number -4 is outside 1..370",
                                               "lib.txt:5: pattern number \"5x\" is not a number",
                                               "lib.txt:6: pattern number \"\" is not a number",
                                               "lib.txt:7: record has no cells",
                                               "lib.txt:8: record has more than 256 cells",
                                               "lib.txt:10: record has no closing \"]\""};
    EXPECT_EQ(report.Messages, expected);
    EXPECT_EQ(tree.RecordsPerNumber()[1], 1);
    EXPECT_EQ(tree.RecordsPerNumber()[6], 1);
}

TEST(PatternLibrary, HostileFilesLoadInBoundedMemory) {
    std::mt19937 rng(11);
    {  // binary junk
        std::string junk(1 << 20, '\0');
        for (char& c : junk) c = static_cast<char>(rng());
        TPatternTree tree;
        const auto report = Read(tree, junk);
        EXPECT_LE(report.Messages.size(), TPatternLoadReport::MaxMessages);
        EXPECT_LE(tree.NodeCount(), TPatternTree::MaxNodes);
    }
    {  // deep random records overflow the tree: the rest is rejected, the tree stays bounded
        std::string text;
        for (int r = 0; r < 4500; ++r) {
            text += '[';
            for (int k = 0; k < 256; ++k) text += CellSymbolChars[rng() % 4];
            text += "] " + std::to_string(1 + r % 370) + "\n";
        }
        TPatternTree tree;
        const auto report = Read(tree, text);
        EXPECT_GT(report.Rejected, 0);
        EXPECT_EQ(report.Records + report.Rejected, 4500);
        EXPECT_LE(tree.NodeCount(), TPatternTree::MaxNodes);
        EXPECT_NE(report.Messages[0].find("the pattern tree is full"), std::string::npos);
    }
    {  // one line of ten million cells, never closed
        TPatternTree tree;
        std::string text = "[" + std::string(10'000'000, 'x');
        const auto report = Read(tree, text);
        EXPECT_EQ(report.Rejected, 1);
        EXPECT_EQ(tree.NodeCount(), 1u);
    }
}

TEST(PatternLibrary, RecordsAreHeldAgainstTheirHandlers) {
    TPatternTree tree;
    std::istringstream in(
        "[o..x.xxxo] 26\n"    // 26 reads chains at cells 6 and 0 and moves at cell 1: fits
        "[o..x.x.xo] 26\n"    // cell 6 holds no stone
        "[o..x.] 26\n"        // too short for cell 6
        "[ox.x.xxxo] 26\n");  // the move at cell 1 is on a stone
    const auto report = ReadPatterns(tree, in, "m.txt", CheckRecordAgainstHandler);
    EXPECT_EQ(report.Records, 1);
    ASSERT_EQ(report.Messages.size(), 3u);
    EXPECT_EQ(report.Messages[0],
              "m.txt:2: pattern 26: its handler reads a chain at cell 6, which holds no stone");
    EXPECT_EQ(report.Messages[1],
              "m.txt:3: pattern 26: its handler reads cell 6, the record has 5 cells");
    EXPECT_EQ(report.Messages[2],
              "m.txt:4: pattern 26: its handler suggests a move at cell 1, which is not empty");
}

// The matcher against a brute-force reading of every cell through CellPoint: on random boards
// each firing fits cell by cell (and so never looks off the board as a point), and each fitting
// record fires.
TEST(PatternMatch, AgreesWithBruteForceOnRandomBoards) {
    std::mt19937 rng(3);
    std::vector<std::string> records;
    std::string text;
    for (int r = 0; r < 40; ++r) {
        std::string cells;
        const int length = 1 + static_cast<int>(rng() % 12);
        for (int k = 0; k < length; ++k) cells += ".xo.xoa"[rng() % 7];
        records.push_back(cells);
        text += "[" + cells + "] " + std::to_string(r + 1) + "\n";
    }
    TPatternTree tree;
    ASSERT_EQ(Read(tree, text).Rejected, 0);
    const auto numbers = tree.RecordsPerNumber();
    for (int position = 0; position < 30; ++position) {
        const TBoard b = RandomBoard(rng, 20 + position * 2);
        std::vector<TPatternFiring> expected;
        for (int anchor = 0; anchor < PointCount; ++anchor)
            for (int sym = 0; sym < 8; ++sym)
                for (size_t r = 0; r < records.size(); ++r) {
                    const int number = static_cast<int>(r) + 1;
                    if (numbers[number] == 0) continue;  // replaced by a later equal record
                    bool fits = true;
                    for (size_t k = 0; k < records[r].size() && fits; ++k) {
                        const int p = CellPoint(anchor, sym, static_cast<int>(k));
                        const char want = records[r][k];
                        const char have = p < 0 ? 'a' : b[p] > 0 ? 'x' : b[p] < 0 ? 'o' : '.';
                        fits = want == have;
                    }
                    if (fits)
                        expected.push_back({static_cast<int16_t>(number),
                                            static_cast<int16_t>(anchor),
                                            static_cast<int8_t>(sym)});
                }
        auto firings = Firings(tree, b);
        const auto byKey = [](const TPatternFiring& a, const TPatternFiring& c) {
            return std::tie(a.Anchor, a.Symmetry, a.Number) <
                   std::tie(c.Anchor, c.Symmetry, c.Number);
        };
        std::sort(firings.begin(), firings.end(), byKey);
        std::sort(expected.begin(), expected.end(), byKey);
        ASSERT_EQ(firings, expected) << "position " << position;
    }
}

class CountingHost : public IHost {
  public:
    void ShowMessage(const std::string& text) override { Messages.push_back(text); }
    std::vector<std::string> Messages;
};

class PatternStartUp : public ::testing::Test {
  protected:
    test::TTempHome home;
};

TEST(PatternLibrary, MissingFileIsAnErrorNamingItAndLeavesTheTreeAlone) {
    TPatternTree tree;
    std::istringstream in("[xo] 14\n");
    ASSERT_EQ(ReadPatterns(tree, in, "lib").Records, 1);
    EXPECT_EQ(test::ErrorOf([&] { (void)LoadPatternFile(tree, "/nonexistent/muster.txt"); }),
              "/nonexistent/muster.txt: cannot open the pattern library");
    EXPECT_EQ(tree.RecordsPerNumber()[14], 1);
}

TEST_F(PatternStartUp, DamagedLibraryIsReportedOnceAndTheGoodRecordsAreUsed) {
    test::WriteBytes(home / PatternFileName, "[xo] 14\n[x.] 999\n[x.\n");
    CountingHost host;
    TEngine engine(host);
    ASSERT_EQ(host.Messages.size(), 1u);
    EXPECT_NE(host.Messages[0].find("muster.txt: 2 pattern records rejected"), std::string::npos);
    EXPECT_NE(host.Messages[0].find("muster.txt:2: pattern number 999"), std::string::npos);
    EXPECT_EQ(engine.Patterns.Tree.RecordsPerNumber()[14], 1);
}

// The record a diagram of the library stands for: the diagram's points in spiral order around
// its anchor (x, o or +), up to the last point that is not "?".
std::string RecordOfDiagram(const std::vector<std::string>& rows) {
    std::vector<std::vector<char>> grid;
    int ax = -1, ay = -1;
    for (const std::string& row : rows) {
        grid.emplace_back();
        for (const char c : row)
            if (c != ' ') grid.back().push_back(c);
        for (size_t c = 0; c < grid.back().size(); ++c)
            if (std::string_view("xo+").find(grid.back()[c]) != std::string_view::npos) {
                ax = static_cast<int>(c);
                ay = static_cast<int>(grid.size()) - 1;
            }
    }
    std::string cells;
    for (int k = 0; k < SpiralCellCount; ++k) {
        const int r = ay - Spiral().DY[k], c = ax + Spiral().DX[k];
        const bool inside = r >= 0 && r < static_cast<int>(grid.size()) && c >= 0 &&
                            c < static_cast<int>(grid[r].size());
        const char t = inside ? grid[r][c] : '?';
        const bool named = t >= 'a' && t <= 'h';  // an empty point the handler names
        cells += t == 'X' ? 'x' : t == 'O' ? 'o' : t == '#' ? 'a' : t == '+' || named ? '.' : t;
    }
    return cells.substr(0, cells.find_last_not_of('?') + 1);
}

TEST(PatternShippedLibrary, EveryRecordIsTheShapeOfTheDiagramAboveIt) {
    const char* dataDir = std::getenv("OBRIN_DATA_DIR");
    if (dataDir == nullptr) GTEST_SKIP() << "OBRIN_DATA_DIR not set";
    std::istringstream in(test::ReadBytes(std::filesystem::path(dataDir) / PatternFileName));
    std::vector<std::string> diagram;
    int line = 0, records = 0;
    for (std::string text; std::getline(in, text);) {
        ++line;
        if (text.rfind("#|", 0) == 0) {
            diagram.push_back(text.substr(2));
        } else if (text.find('[') != std::string::npos) {
            ASSERT_FALSE(diagram.empty()) << "line " << line << ": a record without a diagram";
            const std::string cells = text.substr(1, text.find(']') - 1);
            EXPECT_EQ(cells, RecordOfDiagram(diagram)) << "line " << line;
            diagram.clear();
            ++records;
        }
    }
    EXPECT_GT(records, 0);
}

}  // namespace
}  // namespace obrin
