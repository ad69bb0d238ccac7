// Finished positions for the tests of the end count: a seki, a dead group, a group with two eyes.
#pragma once

#include <string>

#include "board/board.h"
#include "support/diagram.h"

namespace obrin::test {

// A finished game: Black's area on the left below row 16, White's on the right and along the
// top, and in the top left corner a seki: White's four stones (eye A19) and Black's five (eye
// E19) share the liberty C19, which neither may fill without being left in atari.
inline const TBoard Seki = FromDiagram(
    ". O . X . X O . . . . . . . . . . . .\n"
    "O O O X X X O . . . . . . . . . . . .\n"
    "X X X O O O O O O O O O O O O O O O O\n"
    "X X X X X X X X X X O . . . . . . . .\n"
    ". . . . . . . . . X O . . . . . . . .\n"
    ". . . . . . . . . X O . . . . . . . .\n"
    ". . . . . . . . . X O . . . . . . . .\n"
    ". . . . . . . . . X O . . . . . . . .\n"
    ". . . . . . . . . X O . . . . . . . .\n"
    ". . . . . . . . . X O . . . . . . . .\n"
    ". . . . . . . . . X O . . . . . . . .\n"
    ". . . . . . . . . X O . . . . . . . .\n"
    ". . . . . . . . . X O . . . . . . . .\n"
    ". . . . . . . . . X O . . . . . . . .\n"
    ". . . . . . . . . X O . . . . . . . .\n"
    ". . . . . . . . . X O . . . . . . . .\n"
    ". . . . . . . . . X O . . . . . . . .\n"
    ". . . . . . . . . X O . . . . . . . .\n"
    ". . . . . . . . . X O . . . . . . . .\n");

// A position with the stones given (as FromPoints takes them) put on it.
inline TBoard WithStones(TBoard board, const std::string& stones) {
    const TBoard more = FromPoints(stones);
    for (int p = 0; p < PointCount; ++p)
        if (more[p] != 0) board[p] = more[p];
    return board;
}

// The same with a block of ten black stones inside White's area between two white walls,
// without eye space (GNU Go lists them dead, and the seki as seki).
inline const TBoard DeadBlock = WithStones(Seki,
                                           "O L10 M10 N10 O10 P10 Q10 R10 S10 T10 "
                                           "L5 M5 N5 O5 P5 Q5 R5 S5 T5 "
                                           "X N8 O8 P8 Q8 R8 N7 O7 P7 Q7 R7");

// The same with a white group of two eyes (D11 and F11) inside Black's area.
inline const TBoard TwoEyes =
    WithStones(Seki, "O C12 D12 E12 F12 G12 C11 E11 G11 C10 D10 E10 F10 G10");

}  // namespace obrin::test
