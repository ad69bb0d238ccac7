#include "board/memory.h"

#include "board/errors.h"

namespace obrin {

TMemoryManager::~TMemoryManager() {
    FreePooled();
}

TBoardElement* TMemoryManager::GetBoardElement() {
    if (m_freeBoards == nullptr) {
        ++m_countBoard;
        return std::make_unique<TBoardElement>().release();
    }
    TBoardElement* e = m_freeBoards;
    m_freeBoards = e->Next;
    return e;
}

void TMemoryManager::PutBoardElement(TBoardElement* element) {
    element->Next = m_freeBoards;
    m_freeBoards = element;
}

TListElement* TMemoryManager::GetListElement() {
    if (m_freeLists == nullptr) {
        ++m_countList;
        return std::make_unique<TListElement>().release();
    }
    TListElement* e = m_freeLists;
    m_freeLists = e->Next;
    return e;
}

void TMemoryManager::PutListElement(TListElement* element) {
    element->Next = m_freeLists;
    m_freeLists = element;
}

void TMemoryManager::FreePooled() {
    while (m_freeBoards != nullptr) {
        std::unique_ptr<TBoardElement> e(m_freeBoards);
        m_freeBoards = e->Next;
        --m_countBoard;
    }
    while (m_freeLists != nullptr) {
        std::unique_ptr<TListElement> e(m_freeLists);
        m_freeLists = e->Next;
        --m_countList;
    }
}

void TMemoryManager::Destroy() {
    FreePooled();
    if (m_countBoard != 0) throw EObrinError(msg::PoolBoardLeak);
    if (m_countList != 0) throw EObrinError(msg::PoolListLeak);
    if (m_countFight != 0) throw EObrinError(msg::PoolFightLeak);
}

}  // namespace obrin
