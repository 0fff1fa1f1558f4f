#include "NodeArena.h"

#include "NumberPool.h"

#include <sys/mman.h>

#include <new>

#if defined(__SANITIZE_ADDRESS__)
#define PLENVO_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define PLENVO_ASAN 1
#endif
#endif

#if defined(PLENVO_ASAN)
#include <sanitizer/asan_interface.h>
// Freed blocks and the unused rest of a chunk are poisoned, so that the address sanitizer
// reports a node used after it was freed as it would for the heap.
#define PLENVO_POISON(address, size) ASAN_POISON_MEMORY_REGION(address, size)
#define PLENVO_UNPOISON(address, size) ASAN_UNPOISON_MEMORY_REGION(address, size)
#else
#define PLENVO_POISON(address, size) ((void)(address), (void)(size))
#define PLENVO_UNPOISON(address, size) ((void)(address), (void)(size))
#endif

namespace plenvo {

std::atomic<char*> NodeArena::s_chunks[NodeArena::kMaxChunks];

namespace {

std::atomic<std::int64_t> g_mappedBytes{0};
std::atomic<std::uint64_t> g_nextSerial{1};

// The slots of the chunk table: taken when a chunk is mapped, given back when it is unmapped
// (once per 256 KiB).
NumberPool& slots()
{
    // Never destroyed: chunks may be released while the process exits.
    static NumberPool* instance = new NumberPool(NodeArena::kMaxChunks);
    return *instance;
}

// The arena of a thread is made on first use and destroyed with the thread. A block made
// after that (by a destructor that runs later at exit) comes from an arena that is left to the
// end of the process.
thread_local NodeArena* t_arena = nullptr;
thread_local bool t_cleanupRegistered = false;
struct ThreadArenaCleanup {
    ~ThreadArenaCleanup()
    {
        delete t_arena;
        t_arena = nullptr;
    }
};

} // namespace

NodeArena::~NodeArena()
{
    if (m_current) {
        PLENVO_POISON(m_next, std::size_t(m_end - m_next));
        retire(m_current);
    }
}

NodeArena& NodeArena::forThisThread()
{
    if (!t_arena) {
        t_arena = new NodeArena;
        if (!t_cleanupRegistered) {
            t_cleanupRegistered = true;
            thread_local ThreadArenaCleanup cleanup;
            (void)cleanup;
        }
    }
    return *t_arena;
}

NodeArena::Chunk* NodeArena::mapChunk()
{
    const std::uint32_t slot = slots().take();
    // Map twice the size, then trim to an aligned chunk.
    const std::size_t span = 2 * kChunkSize;
    void* raw = mmap(nullptr, span, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (raw == MAP_FAILED) {
        slots().give(slot);
        throw std::bad_alloc();
    }
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
    chunk->slot = slot;
    chunk->serial = g_nextSerial.fetch_add(1, std::memory_order_relaxed);
    PLENVO_POISON(reinterpret_cast<char*>(chunk) + sizeof(Chunk), kChunkSize - sizeof(Chunk));
    s_chunks[slot].store(reinterpret_cast<char*>(chunk), std::memory_order_release);
    return chunk;
}

void NodeArena::retire(Chunk* chunk)
{
    if (chunk->live.fetch_sub(1, std::memory_order_acq_rel) != 1)
        return;
    const std::uint32_t slot = chunk->slot;
    s_chunks[slot].store(nullptr, std::memory_order_relaxed);
    PLENVO_UNPOISON(chunk, kChunkSize);
    chunk->~Chunk();
    munmap(chunk, kChunkSize);
    g_mappedBytes.fetch_sub(kChunkSize, std::memory_order_relaxed);
    slots().give(slot);
}

void* NodeArena::allocate(std::size_t bytes)
{
    bytes = (bytes + kGranule - 1) & ~(kGranule - 1);
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
    PLENVO_UNPOISON(block, bytes);
    return block;
}

void NodeArena::release(void* block, std::size_t bytes)
{
    PLENVO_POISON(block, (bytes + kGranule - 1) & ~(kGranule - 1));
    retire(const_cast<Chunk*>(chunkOf(block)));
}

std::int64_t NodeArena::mappedBytes()
{
    return g_mappedBytes.load(std::memory_order_relaxed);
}

} // namespace plenvo
