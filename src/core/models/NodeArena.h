#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>

namespace plenvo {

// Bump allocator for file nodes. Memory comes in 256 KiB chunks aligned to their size, so a
// block finds its chunk by masking its own address. Each chunk counts the blocks still alive in
// it; a chunk is returned to the system when its last block is released and the arena has moved
// past it (or has been destroyed). Blocks may outlive the arena: a node kept by a selection
// keeps only its own chunk.
//
// Handles. Every chunk mapped by any arena of the process has a slot in one process-wide table,
// so a block is also named by 32 bits: its chunk's slot (16 bits) and its offset in the chunk in
// 4-byte units (16 bits). The table has 65,536 slots: at most 16 GiB of chunks are mapped at
// once, which limits the process to some 280 million file nodes alive at a time (at 58 bytes a
// node); past that, allocate() throws std::bad_alloc (a scan then fails for want of memory).
// Handle 0 names no block (a chunk begins with its header).
//
// Identities. Every chunk gets a serial number never given again during the run of the process;
// with a block's offset it makes a 64-bit identity that no other block has, had or will have
// during the run, also after the block was freed, because an offset is never handed out twice
// in a chunk.
//
// An arena is used by one thread at a time (each thread may have its own); releasing blocks and
// resolving handles are thread-safe.
class NodeArena {
public:
    using Handle = std::uint32_t;

    static constexpr std::size_t kChunkSize = 256 * 1024;
    static constexpr std::size_t kGranule = 4; // blocks are aligned to, and sized in, 4 bytes
    static constexpr std::size_t kMaxBlock = kChunkSize / 2;
    static constexpr unsigned kOffsetBits = 16;
    static constexpr std::size_t kMaxChunks = std::size_t(1) << (32 - kOffsetBits);
    static_assert(kChunkSize / kGranule == std::size_t(1) << kOffsetBits);

    NodeArena() = default;
    ~NodeArena();
    NodeArena(const NodeArena&) = delete;
    NodeArena& operator=(const NodeArena&) = delete;

    // kGranule-aligned storage of at least `bytes` (at most kMaxBlock) bytes.
    void* allocate(std::size_t bytes);

    // Releases a block of `bytes` bytes that allocate() returned, from any thread.
    static void release(void* block, std::size_t bytes);

    // The arena of the calling thread, for blocks made without one; made on first use and
    // destroyed with the thread (its blocks live on).
    static NodeArena& forThisThread();

    static Handle handleOf(const void* block)
    {
        const auto address = reinterpret_cast<std::uintptr_t>(block);
        const Chunk* chunk = chunkOf(block);
        return Handle(chunk->slot << kOffsetBits) |
               Handle((address - reinterpret_cast<std::uintptr_t>(chunk)) / kGranule);
    }
    static void* resolve(Handle handle)
    {
        char* base = s_chunks[handle >> kOffsetBits].load(std::memory_order_relaxed);
        return base + std::size_t(handle & ((Handle(1) << kOffsetBits) - 1)) * kGranule;
    }
    // The block's identity (see above); never 0.
    static std::uint64_t identity(const void* block)
    {
        const auto address = reinterpret_cast<std::uintptr_t>(block);
        const Chunk* chunk = chunkOf(block);
        return (chunk->serial << kOffsetBits) |
               ((address - reinterpret_cast<std::uintptr_t>(chunk)) / kGranule);
    }

    // Bytes of chunks currently mapped by all arenas of the process.
    static std::int64_t mappedBytes();

private:
    // Lives at the start of every chunk. `live` counts the blocks in use plus one while the
    // owning arena still allocates from the chunk.
    struct Chunk {
        std::atomic<std::int32_t> live;
        std::uint32_t slot;
        std::uint64_t serial;
    };
    static_assert(sizeof(Chunk) == 16);

    static const Chunk* chunkOf(const void* block)
    {
        return reinterpret_cast<const Chunk*>(reinterpret_cast<std::uintptr_t>(block) &
                                              ~(std::uintptr_t(kChunkSize) - 1));
    }
    static Chunk* mapChunk();
    static void retire(Chunk* chunk);

    // The base address of the chunk in each slot; null for a free slot.
    static std::atomic<char*> s_chunks[kMaxChunks];

    Chunk* m_current = nullptr;
    char* m_next = nullptr;
    char* m_end = nullptr;
};

} // namespace plenvo
