// Finished positions for the tests of the end count: a seki, a dead group, a group with two eyes.
#pragma once

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

// The same with a block of ten black stones inside White's area, without eye space (GNU Go
// lists them dead, and the seki as seki).
inline const TBoard DeadBlock = FromDiagram(
    ". O . X . X O . . . . . . . . . . . .\n"
    "O O O X X X O . . . . . . . . . . . .\n"
    "X X X O O O O O O O O O O O O O O O O\n"
    "X X X X X X X X X X O . . . . . . . .\n"
    ". . . . . . . . . X O . . . . . . . .\n"
    ". . . . . . . . . X O . . . . . . . .\n"
    ". . . . . . . . . X O . . . . . . . .\n"
    ". . . . . . . . . X O . . . . . . . .\n"
    ". . . . . . . . . X O . . . . . . . .\n"
    ". . . . . . . . . X O O O O O O O O O\n"
    ". . . . . . . . . X O . . . . . . . .\n"
    ". . . . . . . . . X O . X X X X X . .\n"
    ". . . . . . . . . X O . X X X X X . .\n"
    ". . . . . . . . . X O . . . . . . . .\n"
    ". . . . . . . . . X O O O O O O O O O\n"
    ". . . . . . . . . X O . . . . . . . .\n"
    ". . . . . . . . . X O . . . . . . . .\n"
    ". . . . . . . . . X O . . . . . . . .\n"
    ". . . . . . . . . X O . . . . . . . .\n");

// The same with a white group of two eyes inside Black's area.
inline const TBoard TwoEyes = FromDiagram(
    ". O . X . X O . . . . . . . . . . . .\n"
    "O O O X X X O . . . . . . . . . . . .\n"
    "X X X O O O O O O O O O O O O O O O O\n"
    "X X X X X X X X X X O . . . . . . . .\n"
    ". . . . . . . . . X O . . . . . . . .\n"
    ". . . . . . . . . X O . . . . . . . .\n"
    ". . . . . . . . . X O . . . . . . . .\n"
    ". . O O O O O . . X O . . . . . . . .\n"
    ". . O . O . O . . X O . . . . . . . .\n"
    ". . O O O O O . . X O . . . . . . . .\n"
    ". . . . . . . . . X O . . . . . . . .\n"
    ". . . . . . . . . X O . . . . . . . .\n"
    ". . . . . . . . . X O . . . . . . . .\n"
    ". . . . . . . . . X O . . . . . . . .\n"
    ". . . . . . . . . X O . . . . . . . .\n"
    ". . . . . . . . . X O . . . . . . . .\n"
    ". . . . . . . . . X O . . . . . . . .\n"
    ". . . . . . . . . X O . . . . . . . .\n"
    ". . . . . . . . . X O . . . . . . . .\n");

}  // namespace obrin::test
