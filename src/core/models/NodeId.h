#pragma once

#include <QString>
#include <QUuid>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <unordered_set>

namespace plenvo {

// A random RFC 4122 version 4 UUID, the identity of one file node for its whole life.
// Generated from a per-thread xoshiro256** stream seeded once from the kernel's entropy
// pool, so making an id costs a few arithmetic instructions and no system call.
class NodeId {
public:
    constexpr NodeId() = default;
    constexpr NodeId(std::uint64_t high, std::uint64_t low) : m_high(high), m_low(low) {}

    static NodeId generate();

    constexpr std::uint64_t high() const { return m_high; }
    constexpr std::uint64_t low() const { return m_low; }
    constexpr bool isNull() const { return m_high == 0 && m_low == 0; }

    int version() const { return static_cast<int>((m_high >> 12) & 0xF); }
    QUuid toUuid() const;
    QString toString() const; // canonical 8-4-4-4-12 lowercase form

    friend constexpr bool operator==(const NodeId&, const NodeId&) = default;

private:
    std::uint64_t m_high = 0; // bytes 0..7 of the UUID, big-endian
    std::uint64_t m_low = 0;  // bytes 8..15
};

struct NodeIdHash {
    std::size_t operator()(const NodeId& id) const noexcept
    {
        // Both halves are uniformly random already; folding them is enough.
        return static_cast<std::size_t>(id.low() ^ (id.high() * 0x9E3779B97F4A7C15ull));
    }
};

inline std::size_t qHash(const NodeId& id, std::size_t seed = 0) noexcept
{
    return NodeIdHash{}(id) ^ seed;
}

using NodeIdSet = std::unordered_set<NodeId, NodeIdHash>;

} // namespace plenvo

template <> struct std::hash<plenvo::NodeId> : plenvo::NodeIdHash {
};
