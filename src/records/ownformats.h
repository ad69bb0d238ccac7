// The program's own record formats, read only: games (*.obr) and positions (*.stl). Both are
// turned into the SGF parse tree on reading, so that everything downstream sees SGF data. Board
// diagrams in both have 19 lines, top row first; "x" is a black stone, "o" a white one.
#pragma once

#include <array>
#include <string>
#include <vector>

namespace obrin {

class TSgfParser;

// The lines of a file; a line ends with CR LF, a lone CR or a lone LF.
[[nodiscard]] std::vector<std::string> ReadLines(const std::string& fileName);
[[nodiscard]] std::vector<std::string> SplitLines(const std::string& data);

// Reads a position file into one game of three nodes: FF/GM/SZ, then one AB per black stone,
// then one AW per white stone (the last two present even when empty).
class TStlParser {
  public:
    TStlParser(std::string fileName, TSgfParser& parser)
        : FileName(std::move(fileName)), Parser(parser) {}
    void Parse();

    std::string FileName;
    TSgfParser& Parser;
};

// Reads a game file: header sections become the root node's game information, an optional
// start-position diagram a node of AB/AW, and the move lines one node each. A row number that is
// not a number fails the whole read with an error naming file and line; Root then stays null.
class TObrParser {
  public:
    TObrParser(std::string fileName, TSgfParser& parser)
        : FileName(std::move(fileName)), Parser(parser) {}
    void Parse();

    std::string FileName;
    TSgfParser& Parser;
    // StartPosition[row][column], row 18 the top line of the diagram; +1 black, -1 white.
    std::array<std::array<int, 19>, 19> StartPosition{};
};

}  // namespace obrin
