#include "board/board.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "board/memory.h"
#include "support/diagram.h"
#include "support/error_text.h"

namespace obrin {
namespace {

TEST(Coordinates, PointTextAndParsing) {
    EXPECT_EQ(PointText(0, 0), "A1");
    EXPECT_EQ(PointText(8, 0), "J1");
    EXPECT_EQ(PointText(18, 18), "T19");
    EXPECT_EQ(PointText(-1, -1), "---");
    EXPECT_EQ(PointText(19, 3), "---");
    EXPECT_EQ(ColumnOfText("i5"), -1);
    EXPECT_EQ(ColumnOfText("j5"), 8);
    EXPECT_EQ(RowOfText("j5"), 4);
    EXPECT_EQ(ColumnOfText("t19"), 18);
    EXPECT_EQ(RowOfText("T19"), 18);
    EXPECT_THROW((void)RowOfText("Jx"), std::invalid_argument);
    EXPECT_THROW((void)RowOfText("J"), std::invalid_argument);
    for (int i = 0; i < PointCount; ++i) {
        const std::string t = PointText(PointColumn(i), PointRow(i));
        EXPECT_EQ(PointIndex(ColumnOfText(t), RowOfText(t)), i) << t;
    }
}

TEST(BoardOperations, OffBoardAccessIsHarmless) {
    TBoard b{};
    EXPECT_EQ(GetPoint(b, 19, 0), 0);
    SetPoint(b, -1, 3, 5);
    SetPoint(b, 3, 19, 5);
    EXPECT_TRUE(BoardIsEmpty(b));
}

TEST(BoardOperations, RotateAndNegateRestoreAfterFullCycle) {
    const TBoard start = test::FromDiagram(R"(
        X O . . X
        . X . O .
        O . . . X)");
    TBoard b = start;
    RotateBoard(b);
    EXPECT_NE(b, start);
    // The upper-left stone (0, 18) goes to (18 - 18, 0) = (0, 0).
    EXPECT_EQ(b[PointIndex(0, 0)], 1);
    for (int i = 0; i < 3; ++i) RotateBoard(b);
    EXPECT_EQ(b, start);
    NegateBoard(b);
    EXPECT_EQ(b[PointIndex(0, 18)], -1);
    NegateBoard(b);
    EXPECT_EQ(b, start);
}

TEST(BoardOperations, NeighbourhoodCountsInCorner) {
    const TBoard b = test::FromDiagram(R"(
        X O .
        . X .)");
    const TNeighbourhoodCount n = CountNeighbourhood(b, 0, 18);
    EXPECT_EQ(n.Plus, 2);
    EXPECT_EQ(n.Minus, 1);
    EXPECT_EQ(n.Empty, 1);
    EXPECT_EQ(n.Off, 5);
    EXPECT_EQ(EmptyNeighbours(2, 17, b), 3);  // all but the stone on its left
    EXPECT_EQ(EmptyNeighbours(1, 17, b), 0);  // occupied
    EXPECT_FALSE(IsOpenPoint(2, 18, b));
    EXPECT_TRUE(IsOpenPoint(9, 9, b));
}

TEST(Influence, RoundsAccumulateAndStopAtEnemyStones) {
    TBoard b{}, r{};
    b[PointIndex(9, 9)] = 1;
    SpreadInfluence(b, r, 0);
    EXPECT_TRUE(BoardIsEmpty(r));
    SpreadInfluence(b, r, 1);
    TBoard expected{};
    for (const int p : {PointIndex(9, 9), PointIndex(9, 10), PointIndex(10, 9), PointIndex(9, 8),
                        PointIndex(8, 9)})
        expected[p] = 1;
    EXPECT_EQ(r, expected);

    b[PointIndex(10, 9)] = -1;
    SpreadInfluence(b, r, 2);
    // Round 1 marks the stone and its three empty neighbours with 1. Round 2 sweeps that
    // accumulated board: the stone gets 1 from itself and 1 from each of those neighbours. The
    // enemy stone blocks the other side's spreading onto it.
    EXPECT_EQ(r[PointIndex(9, 9)], 5);
    EXPECT_EQ(r[PointIndex(10, 9)], -5);
    // The point above both stones is reached by both sides equally.
    EXPECT_EQ(r[PointIndex(9, 10)] + r[PointIndex(10, 10)], 0);
}

TEST(Influence, SpreadColourGrowsOverEmptyPointsOnly) {
    TBoard b{}, r{};
    b[PointIndex(0, 0)] = 1;
    b[PointIndex(1, 0)] = -1;
    SpreadColour(1, b, r, 1);
    EXPECT_EQ(r[PointIndex(0, 0)], 2);
    EXPECT_EQ(r[PointIndex(0, 1)], 1);
    EXPECT_EQ(r[PointIndex(1, 0)], -1);  // the enemy stone is not empty in the source
}

TEST(ElementPool, DestroyReportsTheFirstUnbalancedCounter) {
    TMemoryManager lists;
    TListElement* lent = lists.GetListElement();
    EXPECT_EQ(test::ErrorOf([&] { lists.Destroy(); }), "MemoryManager: CountListElement");
    lists.PutListElement(lent);

    TMemoryManager both;
    TBoardElement* board = both.GetBoardElement();
    TListElement* list = both.GetListElement();
    EXPECT_EQ(test::ErrorOf([&] { both.Destroy(); }), "MemoryManager: CountBoardElement");
    both.PutBoardElement(board);
    both.PutListElement(list);
}

TEST(ElementPool, ScopedBorrowersGiveElementsBack) {
    TMemoryManager pool;
    {
        TPooledBoard board(pool);
        TPooledList list(pool);
        (*board)[0] = 1;
        list->Count = 0;
        TPooledBoard second(pool);
        EXPECT_EQ(pool.CountBoardElement(), 2);
    }
    EXPECT_NO_THROW(pool.Destroy());
}

}  // namespace
}  // namespace obrin
