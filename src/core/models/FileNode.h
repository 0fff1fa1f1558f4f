#pragma once

#include "NodeId.h"

#include <QString>

#include <atomic>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace plenvo {

class FileNode;
class NodeArena;

// Owning reference to a FileNode. The count lives in the node itself (intrusive), so a
// reference is one pointer and copying it touches no separate control block.
class NodeRef {
public:
    NodeRef() = default;
    NodeRef(std::nullptr_t) {}
    explicit NodeRef(const FileNode* node);
    NodeRef(const NodeRef& other);
    NodeRef(NodeRef&& other) noexcept : m_node(other.m_node) { other.m_node = nullptr; }
    NodeRef& operator=(const NodeRef& other)
    {
        NodeRef copy(other);
        return *this = std::move(copy);
    }
    NodeRef& operator=(NodeRef&& other) noexcept
    {
        if (&other == this)
            return *this;
        // Two references become one: the one held before goes, also when both name the same
        // node (its count then still holds the reference taken over).
        FileNode* previous = m_node;
        m_node = other.m_node;
        other.m_node = nullptr;
        if (previous)
            releaseNode(previous);
        return *this;
    }
    ~NodeRef();

    FileNode* get() const { return m_node; }
    FileNode* operator->() const { return m_node; }
    FileNode& operator*() const { return *m_node; }
    explicit operator bool() const { return m_node != nullptr; }

    // Gives up ownership without releasing the reference.
    FileNode* detach()
    {
        FileNode* node = m_node;
        m_node = nullptr;
        return node;
    }
    // Takes over a reference that was detached before.
    static NodeRef adopt(FileNode* node)
    {
        NodeRef ref;
        ref.m_node = node;
        return ref;
    }

    friend bool operator==(const NodeRef& a, const NodeRef& b);
    friend bool operator==(const NodeRef& a, std::nullptr_t) { return a.m_node == nullptr; }

private:
    static void releaseNode(FileNode* node);
    FileNode* m_node = nullptr;
};

// One node of a scanned file tree: a file or a folder with its metadata and three cached
// aggregates. A parent owns its children; a child's link to its parent is weak.
//
// Memory: a node stores its name (raw bytes, as the file system gave them) inline and no path.
// Its location is derived from its parent's location and its name. Only a node without a
// parent (a root, or a node that was detached) keeps its full location itself, so a detached
// node, or one that outlives its tree, still knows where it lives. Nodes of a scan come from a
// NodeArena; nodes built without one use the general heap.
//
// A tree is read and changed by one thread at a time; the reference count itself is atomic so
// that a tree may be handed from the scanner's thread to the user-interface thread.
class FileNode {
public:
    using Timestamp = std::optional<std::int64_t>; // milliseconds since the Unix epoch

    // Builds a node. `path` is the node's absolute location as raw bytes; it may be empty for
    // a node that will be adopted by a parent. The references in `children` move into the new
    // node (the vector is left empty); each child's parent becomes the new node. Children are
    // taken with their aggregates as they stand, so trees are built bottom-up. A file takes no
    // children. Names longer than 65535 bytes are cut. A folder's `fileSize` is the space the
    // folder itself takes (the blocks that hold its entries), kept in whole 512-byte blocks
    // (rounded up, at most 2^32 - 1 of them).
    static NodeRef create(std::string_view name, std::string_view path, bool isDirectory,
                          std::int64_t fileSize, Timestamp modificationDate, Timestamp creationDate,
                          std::vector<NodeRef>&& children = {}, NodeArena* arena = nullptr);

    // The bytes of the block a node with a name of this length takes (its list of children
    // aside).
    static std::size_t allocationSize(bool isDirectory, std::size_t nameLength);
    // What a folder built with this fileSize keeps of it (whole blocks, see create()).
    static std::int64_t keptFolderSize(std::int64_t bytes);

    FileNode(const FileNode&) = delete;
    FileNode& operator=(const FileNode&) = delete;

    const NodeId& id() const { return m_id; }
    std::string_view nameBytes() const { return {nameData(), m_nameLength}; }
    QString name() const;          // for display (DisplayText): invalid UTF-8 and controls replaced
    std::string pathBytes() const; // the exact location
    QString path() const;          // for display
    // Text after the last dot of the name, empty when there is none, when the only dot
    // starts the name (".bashrc") or when the name ends with the dot.
    std::string_view extensionBytes() const;

    bool isDirectory() const { return m_flags & kDirectory; }
    // A folder whose scan was stopped before all of it was read: its aggregates count what was
    // read, at least; an ancestor of such a folder is incomplete too. Set by whoever builds the
    // tree, before it is shared.
    bool isIncomplete() const { return m_flags & kIncomplete; }
    void setIncomplete(bool incomplete)
    {
        m_flags = static_cast<std::uint8_t>(incomplete ? (m_flags | kIncomplete)
                                                       : (m_flags & ~kIncomplete));
    }
    // A file's size; for a folder, the space the folder itself takes (see create()).
    std::int64_t fileSize() const
    {
        return isDirectory() ? std::int64_t(folder()->ownBlocks) * kBlockSize : m_size;
    }
    Timestamp modificationDate() const { return toTimestamp(m_modified); }
    Timestamp creationDate() const { return toTimestamp(m_created); }
    // The entry's inode number on its device, as the scan found it; 0 when unknown (a tree read
    // from an export that does not say, an entry whose attributes could not be read). With the
    // device of its file system it tells whether a path still names the entry that was scanned.
    std::uint64_t inode() const { return m_inode; }
    // Set by whoever builds the node, before the tree is shared.
    void setInode(std::uint64_t inode) { m_inode = inode; }

    std::span<const NodeRef> children() const
    {
        return isDirectory() ? std::span<const NodeRef>(folder()->children, folder()->count)
                             : std::span<const NodeRef>();
    }
    std::size_t childCount() const { return isDirectory() ? folder()->count : 0; }
    FileNode* parent() const
    {
        return (m_up & kOwnPathTag) ? nullptr : reinterpret_cast<FileNode*>(m_up);
    }

    // The aggregates. A folder's size counts its files only, as every view and statistic
    // does; what the folders themselves take is counted apart, by cachedFoldersOwnSize().
    std::int64_t cachedSize() const { return m_size; }
    std::int64_t cachedFileCount() const { return isDirectory() ? folder()->fileCount : 1; }
    std::int64_t cachedDirCount() const { return isDirectory() ? folder()->dirCount : 0; }
    // The space the folders of this subtree take themselves (their fileSize()), this folder's
    // included; 0 for a file. With cachedSize() it makes what du counts for the subtree.
    std::int64_t cachedFoldersOwnSize() const
    {
        return isDirectory() ? folder()->foldersOwnSize : 0;
    }

    // Removes the first child whose id equals node's id; the others keep their order. The
    // removed node keeps its location, loses its parent, and the aggregates of this node and
    // of every ancestor no longer count it. Returns false, changing nothing, when no child
    // matches.
    bool removeChild(const FileNode& node);
    // Removes every child whose id is in `ids`, as removeChild() does for one, in one pass over
    // the children. Returns how many were removed.
    std::size_t removeChildren(const NodeIdSet& ids);
    // Puts a node without a parent (one removed before) back as the last child of this folder;
    // the aggregates of this folder and of every ancestor count it again. False, changing
    // nothing, for a file, or a node that has a parent.
    bool addChild(NodeRef child);
    // Whether `ancestor` is this node or one of its ancestors.
    bool isWithin(const FileNode& ancestor) const;

    // A file's size changed (its space now counted here, or no longer): this node and every
    // ancestor count the new size. Nothing happens for a folder.
    void setFileSize(std::int64_t size);
    void setModificationDate(Timestamp date) { m_modified = date.value_or(kNoDate); }

    friend bool operator==(const FileNode& a, const FileNode& b) { return a.m_id == b.m_id; }

    void retain() const { m_refs.fetch_add(1, std::memory_order_relaxed); }
    void release() const
    {
        if (m_refs.fetch_sub(1, std::memory_order_acq_rel) == 1)
            destroyTree(const_cast<FileNode*>(this));
    }
    std::uint32_t useCount() const { return m_refs.load(std::memory_order_relaxed); }

private:
    struct Folder {
        NodeRef* children;
        std::uint32_t count;
        std::uint32_t ownBlocks; // the folder's own space, in kBlockSize units
        std::int64_t foldersOwnSize;
        std::int64_t fileCount;
        std::int64_t dirCount;
    };

    enum Flag : std::uint8_t { kDirectory = 1, kHeapBlock = 2, kIncomplete = 4 };
    static constexpr std::uintptr_t kOwnPathTag = 1;
    static constexpr std::int64_t kNoDate = INT64_MIN;
    static constexpr std::int64_t kBlockSize = 512;

    FileNode() = default;
    ~FileNode() = default;

    Folder* folder() const
    {
        return reinterpret_cast<Folder*>(const_cast<char*>(reinterpret_cast<const char*>(this)) +
                                         sizeof(FileNode));
    }
    char* nameData() const
    {
        return const_cast<char*>(reinterpret_cast<const char*>(this)) + sizeof(FileNode) +
               (isDirectory() ? sizeof(Folder) : 0);
    }
    const std::string* ownPath() const
    {
        return (m_up & kOwnPathTag) ? reinterpret_cast<const std::string*>(m_up & ~kOwnPathTag)
                                    : nullptr;
    }
    static Timestamp toTimestamp(std::int64_t value)
    {
        return value == kNoDate ? Timestamp() : Timestamp(value);
    }

    void applyAggregateRule();
    void keepOwnPath(std::string path);
    void setParent(FileNode* parent);
    static void destroyTree(FileNode* top);
    static void freeNode(FileNode* node);

    mutable std::atomic<std::uint32_t> m_refs{1};
    std::uint16_t m_nameLength = 0;
    std::uint8_t m_flags = 0;
    std::uint8_t m_reserved = 0;
    NodeId m_id;
    std::uintptr_t m_up = 0; // parent, or the node's own location (tagged) when it has none
    std::int64_t m_size = 0; // a file's size, or a folder's cached size
    std::int64_t m_modified = kNoDate;
    std::int64_t m_created = kNoDate;
    std::uint64_t m_inode = 0;
};

inline NodeRef::NodeRef(const FileNode* node) : m_node(const_cast<FileNode*>(node))
{
    if (m_node)
        m_node->retain();
}
inline NodeRef::NodeRef(const NodeRef& other) : m_node(other.m_node)
{
    if (m_node)
        m_node->retain();
}
inline void NodeRef::releaseNode(FileNode* node)
{
    node->release();
}
inline NodeRef::~NodeRef()
{
    if (m_node)
        m_node->release();
}
inline bool operator==(const NodeRef& a, const NodeRef& b)
{
    if (!a.m_node || !b.m_node)
        return a.m_node == b.m_node;
    return *a.m_node == *b.m_node;
}

} // namespace plenvo
