#include "support/diagram.h"

#include <sstream>
#include <stdexcept>
#include <vector>

namespace obrin::test {

TBoard FromDiagram(const std::string& diagram) {
    std::vector<std::string> rows;
    std::istringstream in(diagram);
    for (std::string line; std::getline(in, line);) {
        std::string row;
        for (char c : line)
            if (c != ' ' && c != '\t' && c != '\r') row += c;
        if (!row.empty()) rows.push_back(row);
    }
    if (rows.size() > BoardSize) throw std::invalid_argument("diagram has more than 19 rows");
    TBoard b{};
    for (size_t r = 0; r < rows.size(); ++r) {
        const int y = BoardSize - 1 - static_cast<int>(r);
        if (rows[r].size() > BoardSize) throw std::invalid_argument("diagram row too long");
        for (size_t x = 0; x < rows[r].size(); ++x) {
            const char c = rows[r][x];
            const int v = c == 'X' ? 1 : c == 'O' ? -1 : 0;
            if (v == 0 && c != '.' && c != '+')
                throw std::invalid_argument("bad diagram character");
            b[PointIndex(static_cast<int>(x), y)] = v;
        }
    }
    return b;
}

TBoard FromPoints(const std::string& stones) {
    TBoard b{};
    int colour = 0;
    std::istringstream in(stones);
    for (std::string word; in >> word;) {
        if (word == "X" || word == "O") {
            colour = word == "X" ? 1 : -1;
            continue;
        }
        if (colour == 0) throw std::invalid_argument("stones before their colour");
        const int x = ColumnOfText(word), y = RowOfText(word);
        if (!OnBoard(x, y)) throw std::invalid_argument("no point " + word);
        b[PointIndex(x, y)] = colour;
    }
    return b;
}

std::string ToDiagram(const TBoard& b) {
    std::string out;
    for (int y = BoardSize - 1; y >= 0; --y) {
        for (int x = 0; x < BoardSize; ++x) {
            const int v = b[PointIndex(x, y)];
            out += v > 0 ? 'X' : v < 0 ? 'O' : '.';
        }
        out += '\n';
    }
    return out;
}

}  // namespace obrin::test
