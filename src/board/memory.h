// The element pool (TMemoryManager): recycled scratch boards and point lists for the recursive
// searches, so that no search node allocates. Free lists are LIFO; the counters count elements in
// existence and only grow until Destroy, which reports elements that were never given back.
#pragma once

#include <cstdint>
#include <memory>

#include "board/board.h"

namespace obrin {

struct TBoardElement {
    TBoard Board{};
    TBoardElement* Next = nullptr;  // next free element, only while in the pool
};

struct TListElement {
    TPointList List{};
    TListElement* Next = nullptr;
};

class TMemoryManager {
  public:
    TMemoryManager() = default;
    TMemoryManager(const TMemoryManager&) = delete;
    TMemoryManager& operator=(const TMemoryManager&) = delete;
    // Frees what is left without reporting; Destroy is the checked shutdown.
    ~TMemoryManager();

    [[nodiscard]] TBoardElement* GetBoardElement();
    void PutBoardElement(TBoardElement* element);
    [[nodiscard]] TListElement* GetListElement();
    void PutListElement(TListElement* element);

    // Frees the pooled elements and raises "MemoryManager: CountBoardElement" (or the list or
    // fight counterpart) when an element was borrowed and never returned.
    void Destroy();

    [[nodiscard]] int32_t CountBoardElement() const { return m_countBoard; }
    [[nodiscard]] int32_t CountListElement() const { return m_countList; }
    [[nodiscard]] int32_t CountFightElement() const { return m_countFight; }

  private:
    void FreePooled();

    TBoardElement* m_freeBoards = nullptr;
    TListElement* m_freeLists = nullptr;
    int32_t m_countBoard = 0;
    int32_t m_countList = 0;
    int32_t m_countFight = 0;  // no fight elements exist; kept for the shutdown check
};

// Borrows a board element for one scope and gives it back on every path out of it.
class TPooledBoard {
  public:
    explicit TPooledBoard(TMemoryManager& pool) : m_pool(pool), m_element(pool.GetBoardElement()) {}
    ~TPooledBoard() { m_pool.PutBoardElement(m_element); }
    TPooledBoard(const TPooledBoard&) = delete;
    TPooledBoard& operator=(const TPooledBoard&) = delete;
    TBoard& operator*() { return m_element->Board; }
    TBoard* operator->() { return &m_element->Board; }

  private:
    TMemoryManager& m_pool;
    TBoardElement* m_element;
};

// Borrows a list element for one scope.
class TPooledList {
  public:
    explicit TPooledList(TMemoryManager& pool) : m_pool(pool), m_element(pool.GetListElement()) {}
    ~TPooledList() { m_pool.PutListElement(m_element); }
    TPooledList(const TPooledList&) = delete;
    TPooledList& operator=(const TPooledList&) = delete;
    TPointList& operator*() { return m_element->List; }
    TPointList* operator->() { return &m_element->List; }

  private:
    TMemoryManager& m_pool;
    TListElement* m_element;
};

}  // namespace obrin
