#include "NodeArena.h"

#include <sys/mman.h>

#include <atomic>
#include <cstdint>
#include <new>

namespace plenvo {

namespace {
std::atomic<std::int64_t> g_mappedBytes{0};
}

// Lives at the start of every chunk. `live` counts the blocks in use plus one while the
// owning arena still allocates from the chunk.
struct NodeArena::Chunk {
    std::atomic<std::int64_t> live;
    std::uint64_t reserved;
};

static_assert(sizeof(std::atomic<std::int64_t>) == 8);

NodeArena::~NodeArena()
{
    if (m_current)
        retire(m_current);
}

NodeArena::Chunk* NodeArena::mapChunk()
{
    // Map twice the size, then trim to an aligned chunk.
    const std::size_t span = 2 * kChunkSize;
    void* raw = mmap(nullptr, span, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (raw == MAP_FAILED)
        throw std::bad_alloc();
    auto base = reinterpret_cast<std::uintptr_t>(raw);
    std::uintptr_t aligned = (base + kChunkSize - 1) & ~(std::uintptr_t(kChunkSize) - 1);
    if (aligned > base)
        munmap(raw, aligned - base);
    std::uintptr_t tail = aligned + kChunkSize;
    if (base + span > tail)
        munmap(reinterpret_cast<void*>(tail), base + span - tail);
    g_mappedBytes.fetch_add(kChunkSize, std::memory_order_relaxed);
    auto* chunk = new (reinterpret_cast<void*>(aligned)) Chunk;
    chunk->live.store(1, std::memory_order_relaxed);
    return chunk;
}

void NodeArena::retire(Chunk* chunk)
{
    if (chunk->live.fetch_sub(1, std::memory_order_acq_rel) == 1) {
        chunk->~Chunk();
        munmap(chunk, kChunkSize);
        g_mappedBytes.fetch_sub(kChunkSize, std::memory_order_relaxed);
    }
}

void* NodeArena::allocate(std::size_t bytes)
{
    bytes = (bytes + 7) & ~std::size_t(7);
    if (bytes > kMaxBlock)
        throw std::bad_alloc();
    if (!m_current || static_cast<std::size_t>(m_end - m_next) < bytes) {
        Chunk* fresh = mapChunk();
        if (m_current)
            retire(m_current);
        m_current = fresh;
        m_next = reinterpret_cast<char*>(fresh) + sizeof(Chunk);
        m_end = reinterpret_cast<char*>(fresh) + kChunkSize;
    }
    void* block = m_next;
    m_next += bytes;
    m_current->live.fetch_add(1, std::memory_order_relaxed);
    return block;
}

void NodeArena::release(void* block)
{
    auto address = reinterpret_cast<std::uintptr_t>(block);
    retire(reinterpret_cast<Chunk*>(address & ~(std::uintptr_t(kChunkSize) - 1)));
}

std::int64_t NodeArena::mappedBytes()
{
    return g_mappedBytes.load(std::memory_order_relaxed);
}

} // namespace plenvo
