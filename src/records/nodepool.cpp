#include "records/nodepool.h"

#include <cstdlib>
#include <new>

#ifdef __linux__
#include <sys/mman.h>
#endif

namespace obrin {
namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kPooled = false;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kPooled = false;
#else
constexpr bool kPooled = true;
#endif
#else
constexpr bool kPooled = true;
#endif

constexpr size_t kHugePage = size_t{2} << 20;
constexpr size_t kChunk = 2 * kHugePage;

}  // namespace

TNodePool::~TNodePool() = default;

void TNodePool::TChunkFree::operator()(std::byte* chunk) const {
    std::free(chunk);
}

void TNodePool::NewChunk() {
    auto* chunk = static_cast<std::byte*>(std::aligned_alloc(kHugePage, kChunk));
    if (chunk == nullptr) throw std::bad_alloc();
#ifdef __linux__
    madvise(chunk, kChunk, MADV_HUGEPAGE);  // only a hint; fine when refused
#endif
    m_chunks.emplace_back(chunk);
    m_next = chunk;
    m_end = chunk + kChunk / m_size * m_size;
}

void* TNodePool::Allocate() {
    if constexpr (!kPooled) return ::operator new(m_size);
    if (m_free != nullptr) {
        TFree* block = m_free;
        m_free = block->Next;
        return block;
    }
    if (m_next == m_end) NewChunk();
    void* block = m_next;
    m_next += m_size;
    return block;
}

void TNodePool::Release(void* block) {
    if (block == nullptr) return;
    if constexpr (!kPooled) {
        ::operator delete(block);
        return;
    }
    auto* free = static_cast<TFree*>(block);
    free->Next = m_free;
    m_free = free;
}

}  // namespace obrin
