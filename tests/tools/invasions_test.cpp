// Invasions of the teacher games: the chosen point is a lone stone in the opponent's framework,
// a legal one, and a game without invasions draws nothing from its generator.
#include "tools/invasions.h"

#include <gtest/gtest.h>

#include <set>
#include <utility>

#include "support/diagram.h"

namespace obrin::train {
namespace {

using test::FromPoints;

constexpr int Black = 1, White = -1;

std::set<std::pair<int, int>> ChosenOverSeeds(const TBoard& board, int colour, int seeds) {
    std::set<std::pair<int, int>> chosen;
    for (int s = 0; s < seeds; ++s) {
        std::mt19937 rng(static_cast<uint32_t>(s));
        if (const auto p = ChooseInvasionPoint(board, colour, -1, -1, rng)) chosen.insert({p->X, p->Y});
    }
    return chosen;
}

TEST(Invasions, TheRuleOfAnInvasionPoint) {
    // White stones on C3 and F3 near the lower edge, a black stone on P16 far away.
    const TBoard b = FromPoints("O C3 F3 X P16");
    EXPECT_TRUE(IsInvasionPoint(b, 3, 2, Black, -1, -1));   // D3: the 3rd line is allowed
    EXPECT_TRUE(IsInvasionPoint(b, 4, 4, Black, -1, -1));   // E5
    EXPECT_FALSE(IsInvasionPoint(b, 3, 1, Black, -1, -1));  // D2: the 2nd line is too low
    EXPECT_FALSE(IsInvasionPoint(b, 2, 2, Black, -1, -1));  // C3 is taken
    EXPECT_FALSE(IsInvasionPoint(b, 8, 2, Black, -1, -1));  // J3 reaches only F3
    EXPECT_FALSE(IsInvasionPoint(b, 3, 2, White, -1, -1));  // White's own framework
    EXPECT_FALSE(IsInvasionPoint(b, 3, 2, Black, 3, 2));    // the ko point is not legal
    // An own stone two lines away forbids the point, three lines away it does not.
    const TBoard near = FromPoints("O C3 F3 X D7");
    EXPECT_TRUE(IsInvasionPoint(near, 3, 2, Black, -1, -1));   // D3, D7 four rows up
    EXPECT_FALSE(IsInvasionPoint(near, 4, 4, Black, -1, -1));  // E5, D7 within two
    EXPECT_TRUE(IsInvasionPoint(near, 4, 3, Black, -1, -1));   // E4, D7 three rows up
    // K10 inside four white stones is suicide for Black; M12 beside the shape is legal.
    const TBoard shape = FromPoints("O K11 L10 K9 J10");
    EXPECT_FALSE(IsInvasionPoint(shape, 9, 9, Black, -1, -1));
    EXPECT_TRUE(IsInvasionPoint(shape, 11, 11, Black, -1, -1));
}

TEST(Invasions, TheChoiceIsRandomAmongTheInvasionPoints) {
    const TBoard b = FromPoints("X D4 Q4 D16 C10 R10 O K10 L11 Q16");
    std::set<std::pair<int, int>> all;
    for (int y = 0; y < BoardSize; ++y)
        for (int x = 0; x < BoardSize; ++x)
            if (IsInvasionPoint(b, x, y, White, -1, -1)) all.insert({x, y});
    ASSERT_GT(all.size(), 3u);
    EXPECT_EQ(ChosenOverSeeds(b, White, 2000), all);
    // The same generator state chooses the same point.
    std::mt19937 a(7), c(7);
    EXPECT_EQ(ChooseInvasionPoint(b, White, -1, -1, a), ChooseInvasionPoint(b, White, -1, -1, c));
    // No framework, no point: an empty board, or one stone only.
    EXPECT_TRUE(ChosenOverSeeds(TBoard{}, Black, 20).empty());
    EXPECT_TRUE(ChosenOverSeeds(FromPoints("O K10 X A1"), Black, 20).empty());
}

TEST(Invasions, TheMoveNumbers) {
    std::mt19937 rng(5);
    const std::vector<int> moves = DrawInvasionMoves(3, 30, 150, rng);
    ASSERT_EQ(moves.size(), 3u);
    for (size_t i = 0; i < moves.size(); ++i) {
        EXPECT_GE(moves[i], 30);
        EXPECT_LE(moves[i], 150);
        if (i > 0) {
            EXPECT_LT(moves[i - 1], moves[i]);  // ascending and different
        }
    }
    EXPECT_EQ(DrawInvasionMoves(5, 10, 14, rng), (std::vector<int>{10, 11, 12, 13, 14}));
    // No invasions draw nothing: the games without them stay the games they were.
    std::mt19937 drawn(1234), untouched(1234);
    EXPECT_TRUE(DrawInvasionMoves(0, 30, 150, drawn).empty());
    EXPECT_EQ(drawn(), untouched());
}

}  // namespace
}  // namespace obrin::train
