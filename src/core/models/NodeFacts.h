#pragma once

#include "NodeId.h"

#include <cstddef>
#include <cstdint>
#include <unordered_map>

namespace plenvo {

// What is known of a few nodes of a tree beyond what the nodes themselves keep, so that the
// tree can be written out again as it was found: the device of the scanned folder and of the
// folders where another file system begins, the identity of files with several names (hard
// links), the folders that were not entered and why, the entries that could not be read, and
// the entries that are neither regular files nor folders (symbolic links, devices, sockets).
//
// Kept beside the tree, by node id, for the few nodes it concerns only, so that the nodes do not
// grow. Filled once by a scan or an import; read-only afterwards, from any thread. Facts of nodes
// that have left the tree since do no harm: nothing looks them up.
class NodeFacts {
public:
    enum class Exclusion : std::uint8_t {
        none,
        pattern,          // left out on purpose
        otherFileSystem,  // on another file system, or a folder met before (a bind mount)
        kernelFileSystem, // a kernel pseudo file system (/proc, /sys ...)
        firmlink,         // a firmlink (written by peers on other systems)
    };

    struct Facts {
        std::uint64_t device = 0;
        std::uint64_t inode = 0;
        std::uint32_t linkCount = 0; // the number of names, 0 when unknown
        bool hasDevice = false;
        bool hardLinked = false; // one of several names of a file (`inode` is set)
        bool readError = false;
        bool notRegular = false;
        Exclusion exclusion = Exclusion::none;
    };

    // The facts of a node, created empty on first use.
    Facts& edit(const NodeId& id) { return m_facts[id]; }
    // The facts of a node, or null when none were recorded.
    const Facts* find(const NodeId& id) const
    {
        const auto it = m_facts.find(id);
        return it == m_facts.end() ? nullptr : &it->second;
    }
    std::size_t size() const { return m_facts.size(); }

    // Bytes held, for measurements (an estimate of the hash table's nodes and buckets).
    std::size_t memoryUse() const
    {
        return m_facts.size() * (sizeof(NodeId) + sizeof(Facts) + 2 * sizeof(void*)) +
               m_facts.bucket_count() * sizeof(void*);
    }

private:
    std::unordered_map<NodeId, Facts, NodeIdHash> m_facts;
};

} // namespace plenvo
