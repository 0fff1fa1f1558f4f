#pragma once

#include <cstddef>
#include <cstdint>

namespace plenvo {

// Bump allocator for the nodes of one scan. Memory comes in 256 KiB chunks aligned to their
// size, so a node finds its chunk by masking its own address and needs no back pointer.
// Each chunk counts the blocks that are still alive in it; a chunk is returned to the system
// when its last block is released and the arena has moved past it (or has been destroyed).
// Blocks may outlive the arena: a node kept by a selection keeps only its own chunk.
//
// An arena is used by one thread at a time; releasing blocks is thread-safe.
class NodeArena {
public:
    static constexpr std::size_t kChunkSize = 256 * 1024;

    NodeArena() = default;
    ~NodeArena();
    NodeArena(const NodeArena&) = delete;
    NodeArena& operator=(const NodeArena&) = delete;

    // 8-byte aligned storage of at least `bytes` (at most kMaxBlock) bytes.
    void* allocate(std::size_t bytes);

    // Releases a block that allocate() returned, from any thread.
    static void release(void* block);

    static constexpr std::size_t kMaxBlock = kChunkSize / 2;

    // Bytes of chunks currently mapped by all arenas of the process.
    static std::int64_t mappedBytes();

private:
    struct Chunk;
    static Chunk* mapChunk();
    static void retire(Chunk* chunk);

    Chunk* m_current = nullptr;
    char* m_next = nullptr;
    char* m_end = nullptr;
};

} // namespace plenvo
