// The position set of the tactics benchmark: named positions with the questions to ask about
// them. Text format, one item a line ('#' starts a comment):
//   position NAME       starts a position
//   19 rows of . X O +  the board, top row first (X = +1, O = -1)
//   ko VERTEX           the point where the side to move may not play
//   attack VERTEX | defend VERTEX | ladder VERTEX   a question about the chain at VERTEX,
//       optionally followed by "= ANSWER", the expected answer in GTP form ("0", "1 C10", ...)
#pragma once

#include <cstdint>
#include <iosfwd>
#include <random>
#include <string>
#include <vector>

#include "board/board.h"

namespace obrin {

enum class TTacticsQuestionKind { Attack, Defend, Ladder };

struct TTacticsQuestion {
    TTacticsQuestionKind Kind = TTacticsQuestionKind::Attack;
    TPoint Chain;
    std::string Expected;  // the expected GTP answer; empty when the set gives none
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

// A dense random position for robustness runs: stones of alternating colour on random legal
// points (captures are taken off) until the board holds about stones stones, then an attack and
// a defend question about a random chain. Repeatable from the generator's state.
[[nodiscard]] TTacticsPosition RandomDensePosition(std::mt19937& random, int stones);

}  // namespace obrin
