// The position set of the tactics benchmark: named positions with the questions to ask about
// them. Text format, one item a line ('#' starts a comment):
//   position NAME       starts a position
//   19 rows of . X O +  the board, top row first (X = +1, O = -1)
//   ko VERTEX           the point where the side to move may not play
//   attack VERTEX | defend VERTEX | ladder VERTEX   a question about the chain at VERTEX
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "board/board.h"

namespace obrin {

enum class TTacticsQuestionKind { Attack, Defend, Ladder };

struct TTacticsQuestion {
    TTacticsQuestionKind Kind = TTacticsQuestionKind::Attack;
    TPoint Chain;
};

struct TTacticsPosition {
    std::string Name;
    TBoard Board{};
    int KoX = -1, KoY = -1;
    std::vector<TTacticsQuestion> Questions;
};

// Reads a position set; bad input raises EObrinError naming the file and line.
[[nodiscard]] std::vector<TTacticsPosition> ReadTacticsPositions(std::istream& in,
                                                                 const std::string& fileName);

[[nodiscard]] const char* QuestionName(TTacticsQuestionKind kind);

}  // namespace obrin
