#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <unordered_set>

namespace plenvo {

// The identity of one file node, unique for the run of the application: no two nodes have,
// had or will have the same one, also after a node was freed. It is made from where the node
// lives (see NodeArena::identity) and so takes no room in the node.
class NodeId {
public:
    constexpr NodeId() = default;
    constexpr explicit NodeId(std::uint64_t value) : m_value(value) {}

    constexpr std::uint64_t value() const { return m_value; }
    constexpr bool isNull() const { return m_value == 0; }

    friend constexpr bool operator==(const NodeId&, const NodeId&) = default;

private:
    std::uint64_t m_value = 0;
};

struct NodeIdHash {
    std::size_t operator()(const NodeId& id) const noexcept
    {
        // Ids of neighbouring nodes differ in a few low bits only: mix every bit into all
        // others (the finaliser of MurmurHash3), so that buckets and prefixes spread evenly.
        std::uint64_t x = id.value();
        x ^= x >> 33;
        x *= 0xFF51AFD7ED558CCDull;
        x ^= x >> 33;
        x *= 0xC4CEB9FE1A85EC53ull;
        x ^= x >> 33;
        return static_cast<std::size_t>(x);
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
