// Positions as ASCII diagrams in tests: 'X' is +1, 'O' is -1, '.' or '+' empty, top row first.
// Blanks are ignored, so rows may be spaced out for reading.
#pragma once

#include <string>

#include "board/board.h"

namespace obrin::test {

// Rows given are the board's top rows and columns its leftmost ones, so a small diagram is the
// upper-left corner of the board.
TBoard FromDiagram(const std::string& diagram);
// Stones at named points, for sparse positions: "X K10 J10 O K11" is Black on K10 and J10 and
// White on K11.
TBoard FromPoints(const std::string& stones);
std::string ToDiagram(const TBoard& b);

// "C19" and friends as a point and as its index.
inline TPoint At(const std::string& text) {
    return TPoint{ColumnOfText(text), RowOfText(text)};
}
inline int IndexOf(const std::string& text) {
    return PointIndex(ColumnOfText(text), RowOfText(text));
}

}  // namespace obrin::test
