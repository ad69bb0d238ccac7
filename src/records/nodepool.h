// Fixed-size blocks for the parse tree's nodes and lists. A parsed collection is a million small
// objects for a few megabytes of SGF; taking them from large chunks (backed by huge pages where
// the system offers them) instead of one heap call each makes reading several times faster and
// keeps a tree's objects together in memory. Freed blocks are reused, chunks live until exit.
// Under AddressSanitizer every block comes from the heap, so the sanitizer still sees misuse.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace obrin {

// Invariant: every block handed out is Size bytes, aligned to 8 (enough for the tree's
// objects, which hold pointers and strings), and either in use
// or on the free list.
class TNodePool {
  public:
    static constexpr size_t kAlign = alignof(std::max_align_t) > 8 ? 8 : alignof(std::max_align_t);
    explicit constexpr TNodePool(size_t size) : m_size((size + kAlign - 1) / kAlign * kAlign) {}
    TNodePool(const TNodePool&) = delete;
    TNodePool& operator=(const TNodePool&) = delete;
    ~TNodePool();

    [[nodiscard]] void* Allocate();
    void Release(void* block);

  private:
    struct TFree {
        TFree* Next;
    };
    struct TChunkFree {
        void operator()(std::byte* chunk) const;
    };
    void NewChunk();

    size_t m_size;
    TFree* m_free = nullptr;
    std::byte* m_next = nullptr;
    std::byte* m_end = nullptr;
    std::vector<std::unique_ptr<std::byte, TChunkFree>> m_chunks;
};

}  // namespace obrin
