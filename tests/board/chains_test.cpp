#include "board/chains.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>
#include <vector>

#include "support/diagram.h"

namespace obrin {
namespace {

std::vector<TPoint> Points(const TPointList& list) {
    return {list.begin(), list.end()};
}

// An independent, deliberately plain rules implementation (recursive flood fill over sets) to
// check the board core against.
class ReferenceRules {
  public:
    static std::set<int> Chain(const TBoard& b, int p) {
        std::set<int> chain;
        Grow(b, p, b[p], chain);
        return chain;
    }
    static std::set<int> Liberties(const TBoard& b, int p) {
        std::set<int> libs;
        for (int q : Chain(b, p))
            for (int n : Neighbours(q))
                if (b[n] == 0) libs.insert(n);
        return libs;
    }
    // Plays without checks; returns the new ko point (-1 for none).
    static int Play(TBoard& b, int p, int colour) {
        b[p] = colour;
        std::set<int> captured;
        for (int n : Neighbours(p))
            if (b[n] == -colour && Liberties(b, n).empty())
                for (int q : Chain(b, n)) captured.insert(q);
        for (int q : captured) b[q] = 0;
        const bool ko =
            captured.size() == 1 && Chain(b, p).size() == 1 && Liberties(b, p).size() == 1;
        return ko ? *captured.begin() : -1;
    }
    static bool Legal(const TBoard& b, int p, int colour, int ko) {
        if (b[p] != 0 || p == ko) return false;
        TBoard copy = b;
        Play(copy, p, colour);
        return !Liberties(copy, p).empty();
    }

  private:
    static std::vector<int> Neighbours(int p) {
        std::vector<int> n;
        const int x = PointColumn(p), y = PointRow(p);
        for (int d = 0; d < 4; ++d)
            if (OnBoard(x + NeighbourDX[d], y + NeighbourDY[d]))
                n.push_back(PointIndex(x + NeighbourDX[d], y + NeighbourDY[d]));
        return n;
    }
    static void Grow(const TBoard& b, int p, int v, std::set<int>& chain) {
        if (b[p] != v || !chain.insert(p).second) return;
        for (int n : Neighbours(p)) Grow(b, n, v, chain);
    }
};

// The order of the lists is the flood fill's: the search and the goals take them as they come.
TEST(Chains, ChainAndLibertyListsInFloodFillOrder) {
    // A plus shape: the centre is first, then the arms in reverse push order.
    TPointList list;
    ASSERT_EQ(GetChain(9, 9, test::FromPoints("X K11 J10 K10 L10 K9"), list), 5);
    EXPECT_EQ(Points(list), (std::vector<TPoint>{{9, 9}, {8, 9}, {9, 8}, {10, 9}, {9, 10}}));
    // Liberties take the chain's points from the last to the first.
    const TBoard line = test::FromPoints("X A1 B1 C1");
    ASSERT_EQ(GetChain(0, 0, line, list), 3);
    EXPECT_EQ(Points(list), (std::vector<TPoint>{{0, 0}, {1, 0}, {2, 0}}));
    ASSERT_EQ(GetLiberties(0, 0, line, list), 4);
    EXPECT_EQ(Points(list), (std::vector<TPoint>{{2, 1}, {3, 0}, {1, 1}, {0, 1}}));
    // An empty point gives its region; a corner stone without liberties is a chain of one.
    const TBoard corner = test::FromDiagram("X O\nO .");
    EXPECT_EQ(GetChain(0, 18, corner, list), 1);
    EXPECT_EQ(list[0], (TPoint{0, 18}));
    EXPECT_EQ(GetChain(1, 17, corner, list), PointCount - 4 + 1);
    EXPECT_EQ(list[0], (TPoint{1, 17}));
    EXPECT_EQ(GetLiberties(0, 18, corner, list), 0);
}

TEST(Legality, SuicideIsIllegalUnlessItCaptures) {
    TBoard b = test::FromDiagram(R"(
        . O . X
        O . X O
        . . . X)");
    EXPECT_FALSE(IsLegal(0, 18, 1, -1, -1, b));  // no liberty, captures nothing
    EXPECT_TRUE(IsLegal(0, 18, -1, -1, -1, b));  // own stones around: connects with liberties
    EXPECT_TRUE(IsLegal(2, 18, 1, -1, -1, b));   // joins its own stones, which have liberties
    EXPECT_TRUE(IsLegal(-1, -1, 1, 5, 5, b));    // a pass is always legal, ko or not
    EXPECT_FALSE(IsLegal(19, 0, 1, -1, -1, b));
    EXPECT_FALSE(IsLegal(1, 18, 1, -1, -1, b));  // occupied
    EXPECT_EQ(b, test::FromDiagram(R"(
        . O . X
        O . X O
        . . . X)"));                             // the test leaves the board as it was
    // The ko point is refused whatever the colour.
    TBoard empty{};
    EXPECT_FALSE(IsLegal(4, 4, 1, 4, 4, empty));
    EXPECT_FALSE(IsLegal(4, 4, -1, 4, 4, empty));
    EXPECT_TRUE(IsLegal(4, 5, 1, 4, 4, empty));
}

TEST(Moves, CaptureOfALoneStoneInAKoSetsTheKoPointAndAnyOtherMoveClearsIt) {
    TBoard b = test::FromDiagram(R"(
        . X O .
        X O . O
        . X O .)");
    int32_t koX = -1, koY = -1;
    PlayMove(2, 17, 1, b, koX, koY);
    EXPECT_EQ(b[PointIndex(1, 17)], 0);
    EXPECT_EQ(koX, 1);
    EXPECT_EQ(koY, 17);
    EXPECT_FALSE(IsLegal(1, 17, -1, koX, koY, b));  // the immediate retake
    PlayMove(10, 10, -1, b, koX, koY);              // a move elsewhere clears it
    EXPECT_EQ(koX, -1);
    PlayMove(10, 11, 1, b, koX, koY);
    EXPECT_TRUE(IsLegal(1, 17, -1, koX, koY, b));
    // So does a pass, which changes nothing else.
    const TBoard before = b;
    koX = koY = 3;
    PlayMove(-1, -1, 1, b, koX, koY);
    EXPECT_EQ(koX, -1);
    EXPECT_EQ(b, before);
}

TEST(Moves, ALoneCaptureWithSeveralLibertiesTwoLoneCapturesOrAJoiningStoneSetNoKo) {
    // X takes the edge stone at (5,18) and keeps three liberties: no ko, so X may even play on
    // the captured point at once (as a record with two moves of one colour does).
    TBoard a = test::FromDiagram(". . . . X O X");
    int32_t koX = 7, koY = 7;
    PlayMove(5, 17, 1, a, koX, koY);
    EXPECT_EQ(a[PointIndex(5, 18)], 0);
    EXPECT_EQ(koX, -1);
    EXPECT_EQ(koY, -1);
    EXPECT_TRUE(IsLegal(5, 18, 1, koX, koY, a));

    TBoard b = test::FromDiagram(R"(
        X O . O X
        . X O X .)");
    PlayMove(2, 18, 1, b, koX, koY);  // takes (1,18) and (3,18)
    EXPECT_EQ(b[PointIndex(1, 18)], 0);
    EXPECT_EQ(b[PointIndex(3, 18)], 0);
    EXPECT_EQ(koX, -1);

    TBoard c = test::FromDiagram(R"(
        X O X
        X . O
        . O .)");
    PlayMove(1, 17, 1, c, koX, koY);  // takes (1,18) but joins the stones on the left
    EXPECT_EQ(c[PointIndex(1, 18)], 0);
    EXPECT_EQ(koX, -1);
}

TEST(Fields, NamensfeldNamesEachChainByItsLowestIndex) {
    TBoardFields f;
    f.Spielfeld = test::FromDiagram(R"(
        X X . O
        . X . O
        . X X O)");
    ComputeNamensfeld(f);
    const int name = PointIndex(1, 16);  // lowest index of the X chain
    for (const TPoint p :
         {TPoint{0, 18}, TPoint{1, 18}, TPoint{1, 17}, TPoint{1, 16}, TPoint{2, 16}})
        EXPECT_EQ(f.Namensfeld[PointIndex(p.X, p.Y)], name);
    EXPECT_EQ(f.Namensfeld[PointIndex(3, 18)], PointIndex(3, 16));
    EXPECT_EQ(f.Namensfeld[PointIndex(2, 18)], PointIndex(2, 18));  // empty: its own index
}

TEST(Fields, FreiheitsfeldHoldsChainLibertiesOnStonesOnly) {
    const TBoard b = test::FromDiagram(R"(
        X X . O
        . X . O)");
    TBoard field{};
    ComputeFreiheitsfeld(b, field, b);
    EXPECT_EQ(field[PointIndex(0, 18)], 4);
    EXPECT_EQ(field[PointIndex(1, 17)], 4);
    EXPECT_EQ(field[PointIndex(3, 18)], 5);
    EXPECT_EQ(field[PointIndex(2, 18)], 0);
}

TEST(Fields, NeighbourChainsListsEachAdjacentChainOrRegionOnce) {
    TBoardFields f;
    f.Spielfeld[PointIndex(9, 9)] = 1;
    f.Spielfeld[PointIndex(10, 9)] = 1;
    f.Spielfeld[PointIndex(9, 10)] = -1;
    f.Spielfeld[PointIndex(10, 10)] = -1;
    ComputeNamensfeld(f);
    TPointList list;
    NeighbourChains(9, 9, f.Spielfeld, list, f.Namensfeld);
    // The adjacent points in liberty order start with (10,10): the O chain, named by its
    // lowest point (9,10); then (11,9), one empty region that covers all the other sides.
    EXPECT_EQ(Points(list), (std::vector<TPoint>{{9, 10}, {11, 9}}));
}

// Long random games against the reference rules: every position, and the legality verdicts of
// every empty point (of every point on every tenth move) for every other move.
TEST(Rules, RandomGamesAgreeWithReferenceRules) {
    std::mt19937 rng(12345);
    for (int game = 0; game < 3; ++game) {
        TBoard b{}, ref{};
        int32_t koX = -1, koY = -1;
        int refKo = -1, colour = 1;
        for (int move = 0; move < 400; ++move) {
            std::vector<int> legal;
            const bool checkAll = move % 10 == 0;
            const bool checkEmpty = move % 2 == 0;
            for (int p = 0; p < PointCount; ++p) {
                if (!checkAll && b[p] != 0) continue;
                const bool mine = IsLegal(PointColumn(p), PointRow(p), colour, koX, koY, b);
                if (checkEmpty) {
                    ASSERT_EQ(mine, ReferenceRules::Legal(ref, p, colour, refKo))
                        << "game " << game << " move " << move << " at "
                        << PointText(PointColumn(p), PointRow(p)) << " colour " << colour << "\n"
                        << test::ToDiagram(b);
                }
                if (mine) legal.push_back(p);
            }
            if (legal.empty()) break;
            const int p = legal[rng() % legal.size()];
            PlayMove(PointColumn(p), PointRow(p), colour, b, koX, koY);
            refKo = ReferenceRules::Play(ref, p, colour);
            ASSERT_EQ(b, ref) << test::ToDiagram(b);
            ASSERT_EQ(refKo < 0 ? -1 : PointIndex(koX, koY), refKo);
            // Chain and liberty lists hold the same points as the reference, first point first.
            TPointList chain, libs;
            GetChain(PointColumn(p), PointRow(p), b, chain);
            GetLiberties(PointColumn(p), PointRow(p), b, libs);
            std::set<int> chainSet, libSet;
            for (const TPoint q : chain) chainSet.insert(PointIndex(q.X, q.Y));
            for (const TPoint q : libs) libSet.insert(PointIndex(q.X, q.Y));
            EXPECT_EQ(chain[0], (TPoint{PointColumn(p), PointRow(p)}));
            EXPECT_EQ(chainSet, ReferenceRules::Chain(ref, p));
            EXPECT_EQ(libSet, ReferenceRules::Liberties(ref, p));
            EXPECT_EQ(static_cast<int>(chainSet.size()), chain.Count);
            EXPECT_EQ(static_cast<int>(libSet.size()), libs.Count);
            colour = -colour;
        }
    }
}

}  // namespace
}  // namespace obrin
