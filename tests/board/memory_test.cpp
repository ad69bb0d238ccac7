#include "board/memory.h"

#include <gtest/gtest.h>

#include "support/error_text.h"

namespace obrin {
namespace {

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
