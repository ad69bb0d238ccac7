// Training data for the point classifier from games with a teacher's verdicts. A teacher file
// holds games as text: the moves, and at sampled moves the teacher's dead and seki stones and
// its dragons (groups of chains that live or die together); "final" marks the verdict on the
// last position. Labels for the 19 named outputs come from these verdicts, from what happened
// later in the game, and from exact rules (see LabelPosition).
#pragma once

#include <array>
#include <string>
#include <vector>

#include "analysis/klassi.h"
#include "board/board.h"

namespace obrin {

struct TTeacherVerdict {
    int MoveNumber = 0;  // the position after this many moves
    bool Final = false;
    std::vector<TPoint> Dead, Seki;
    std::vector<TPoint> Critical;  // from dragon_status: the side to move decides their fate
    bool FromDragons = false;      // the verdict came from dragon_status, not final_status_list
    std::vector<std::vector<TPoint>> Dragons;
};

struct TTeacherMove {
    TPoint Point;  // PassPoint for a pass
    int Colour = 0;
};

struct TTeacherGame {
    int Id = 0;
    std::vector<TTeacherMove> Moves;
    std::vector<TTeacherVerdict> Verdicts;  // the final verdict last
};

// Reads a teacher file; throws EObrinError naming the file and line on bad input.
[[nodiscard]] std::vector<TTeacherGame> ReadTeacherGames(const std::string& fileName);
// The games of comma-separated teacher files, in order.
[[nodiscard]] std::vector<TTeacherGame> ReadTeacherGameFiles(const std::string& fileNames);
[[nodiscard]] std::vector<TTeacherGame> ParseTeacherGames(const std::string& text,
                                                          const std::string& fileName);

// The position after the first n moves (captures applied).
[[nodiscard]] TBoard PositionAfter(const TTeacherGame& game, int n);

// Wanted values 0..1 of the named outputs for every point of a sampled position.
using TPointLabels = std::array<double, KlassiNamedOutputs>;
// Where the sure-stone labels (outputs 11 and 12) of a dragon_status verdict come from: what
// happens to the stones later in the game (they stay on the board and live at the end), or the
// teacher's dragon_status itself (dead is not sure, critical is left open at 0.5).
enum class TSureLabels { Survival, DragonStatus };
[[nodiscard]] std::array<TPointLabels, PointCount> LabelPosition(
    const TTeacherGame& game, const TTeacherVerdict& verdict,
    TSureLabels sureLabels = TSureLabels::Survival);

// 1 at every stone of the position after from moves that stays on the board to the end of the
// game and is not dead there.
[[nodiscard]] TBoard Survivors(const TTeacherGame& game, int from);

// Every point's area at the end of the game: +1 or -1 for living stones and the empty regions
// only they border, 0 for dame (dead stones are removed first).
[[nodiscard]] TBoard FinalArea(const TTeacherGame& game);

}  // namespace obrin
