// Self-play without windows: the games end soundly, their records hold the game that was
// played with the goal tree of every move, and a seed repeats its game.
#include "tools/selfplay.h"

#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <vector>

#include "board/chains.h"
#include "support/tempdir.h"

namespace obrin {
namespace {

struct TRecordedMove {
    char Colour;  // 'B' or 'W'
    int X, Y;     // -1, -1 for a pass
    std::string Comment;
};

// The moves of a record as the record tree writes them: ";B[pd]" with an optional C[...].
std::vector<TRecordedMove> MovesOf(const std::string& sgf) {
    static const std::regex move(R"(;([BW])\[([a-t]{0,2})\]\s*(C\[([^\]]*)\])?)");
    std::vector<TRecordedMove> moves;
    for (auto it = std::sregex_iterator(sgf.begin(), sgf.end(), move); it != std::sregex_iterator();
         ++it) {
        const std::string point = (*it)[2];
        const bool pass = point.empty() || point == "tt";
        // Columns from the left, rows from the top: the program's row 0 is the bottom line.
        moves.push_back(
            {(*it)[1].str()[0], pass ? -1 : point[0] - 'a', pass ? -1 : 's' - point[1], (*it)[4]});
    }
    return moves;
}

class SelfPlay : public ::testing::Test {
  protected:
    test::TTempHome m_home;
};

TEST_F(SelfPlay, AGameIsRecordedMoveByMoveWithItsGoalTreesAndMatchesTheBoard) {
    TSelfPlayer player(8);
    const std::string sgf = player.PlayGame(5);
    const TSelfPlayTotals& t = player.Totals();
    EXPECT_EQ(t.Games, 1);
    EXPECT_EQ(t.Illegal, 0);
    EXPECT_EQ(t.Exceptions, 0) << (t.Errors.empty() ? "" : t.Errors.front());
    EXPECT_EQ(t.MoveMs.size(), static_cast<size_t>(t.Moves));
    EXPECT_EQ(t.Capped + (t.Passes >= 2 ? 1 : 0), 1) << "ends by the cap or two passes";

    const std::vector<TRecordedMove> moves = MovesOf(sgf);
    ASSERT_EQ(moves.size(), static_cast<size_t>(t.Moves));
    TBoard replay{};
    int32_t koX = -1, koY = -1;
    for (size_t i = 0; i < moves.size(); ++i) {
        const TRecordedMove& m = moves[i];
        SCOPED_TRACE("move " + std::to_string(i + 1));
        EXPECT_EQ(m.Colour, i % 2 == 0 ? 'B' : 'W') << "the real colours, Black first";
        EXPECT_FALSE(m.Comment.empty()) << "the goal tree of the move";
        const int colour = m.Colour == 'B' ? 1 : -1;
        if (m.X >= 0) {
            EXPECT_TRUE(IsLegal(m.X, m.Y, colour, koX, koY, replay));
            EXPECT_EQ(m.Comment.rfind("BESETZEN " + std::to_string(PointIndex(m.X, m.Y)), 0), 0u)
                << m.Comment;
        }
        PlayMove(m.X, m.Y, colour, replay, koX, koY);
    }
    // The engine's board shows the side to move as +1; Black's view is the record's.
    TBoard board = player.Engine().Fields.Spielfeld;
    if (player.Engine().Game.ComputerWeiss) NegateBoard(board);
    EXPECT_EQ(board, replay);
    EXPECT_NO_THROW(player.Engine().Shutdown());
}

TEST_F(SelfPlay, TheSameSeedPlaysTheSameGameAndTheCapEndsIt) {
    TSelfPlayer first(6), second(6);
    const std::string game = first.PlayGame(11);
    EXPECT_EQ(second.PlayGame(11), game);
    EXPECT_EQ(MovesOf(game).size(), 6u);
    EXPECT_EQ(first.Totals().Capped, 1);
    // A game played after others starts afresh: the same seed gives the same game again.
    (void)first.PlayGame(12);
    EXPECT_EQ(first.PlayGame(11), game);
    EXPECT_EQ(first.Totals().Games, 3);
    EXPECT_EQ(first.Totals().Moves, 18);
}

}  // namespace
}  // namespace obrin
