#pragma once

#include "NodeArena.h"
#include "NodeId.h"

#include <QString>

#include <atomic>
#include <compare>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace plenvo {

class FileNode;

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
// node, or one that outlives its tree, still knows where it lives. Every node lives in a
// NodeArena (the calling thread's when create() is given none), which names it by a 32-bit
// handle and gives it its identity; parents and children refer to each other by handles.
//
// Layout. Blocks are 4-byte aligned and sized in whole 4-byte units; the 64-bit fields are
// kept at 4-byte alignment.
//   file node: 30 bytes, then the name                      (a 20-byte name: 52 bytes)
//       0  reference count      16 bits, saturating: a node held 65,535 times is never freed
//       2  name length           8 bits (255: the length is in the name's first 2 bytes)
//       3  flags                 8 bits: folder, incomplete, size in blocks, own location,
//                                bit 32 of each date, list of children on the heap
//       4  parent                handle; without a parent, the number of the own location
//       8  modification date     whole seconds in 33 bits (32 here, one flag): 1834 to 2106
//      12  creation date         the same
//      16  inode                 64 bits
//      24  size                  48 bits: a file's size, exact below 256 TiB and in 512-byte
//                                blocks above; a folder's own space in 512-byte blocks
//      30  name
//   folder node: 28 bytes of aggregates just before the node, the node (30 bytes and the name)
//   and, from the next 4-byte boundary, its list of children (4 bytes each, at least 8: room
//   for the pointer to the list once it moves to the heap)
//                                              (a 20-byte name, 3 children: 80 + 12 = 92 bytes)
//     -28  number of children   32 bits       -16  cached size (files only)   64 bits
//     -24  files below          32 bits        -8  folders' own space         64 bits
//     -20  folders below        32 bits (counts fit: no more nodes can live than handles)
//   per child: its 4-byte handle in its folder's list
// With names of 20.2 bytes on average, a tree of 93.5 % files takes 58 bytes per entry.
//
// A tree is read and changed by one thread at a time; the reference count itself is atomic so
// that a tree may be handed from the scanner's threads to the user-interface thread, and a node
// may be released on any thread.
class FileNode {
public:
    using Timestamp = std::optional<std::int64_t>; // milliseconds since the Unix epoch

    // The children of a folder, in order: a view of the folder's list of handles. Reading a
    // child takes no reference. Valid until the children of the folder change.
    class Children {
    public:
        class Iterator {
        public:
            using iterator_concept = std::random_access_iterator_tag;
            using iterator_category = std::input_iterator_tag;
            using value_type = FileNode*;
            using difference_type = std::ptrdiff_t;
            using reference = FileNode*;
            using pointer = void;

            Iterator() = default;
            explicit Iterator(const NodeArena::Handle* at) : m_at(at) {}
            FileNode* operator*() const { return FileNode::at(*m_at); }
            FileNode* operator[](difference_type n) const { return FileNode::at(m_at[n]); }
            Iterator& operator++()
            {
                ++m_at;
                return *this;
            }
            Iterator operator++(int)
            {
                Iterator was = *this;
                ++m_at;
                return was;
            }
            Iterator& operator--()
            {
                --m_at;
                return *this;
            }
            Iterator operator--(int)
            {
                Iterator was = *this;
                --m_at;
                return was;
            }
            Iterator& operator+=(difference_type n)
            {
                m_at += n;
                return *this;
            }
            Iterator& operator-=(difference_type n)
            {
                m_at -= n;
                return *this;
            }
            friend Iterator operator+(Iterator it, difference_type n) { return it += n; }
            friend Iterator operator+(difference_type n, Iterator it) { return it += n; }
            friend Iterator operator-(Iterator it, difference_type n) { return it -= n; }
            friend difference_type operator-(Iterator a, Iterator b) { return a.m_at - b.m_at; }
            friend auto operator<=>(Iterator a, Iterator b) = default;

        private:
            const NodeArena::Handle* m_at = nullptr;
        };

        Children() = default;
        Children(const NodeArena::Handle* handles, std::size_t count)
            : m_handles(handles), m_count(count)
        {
        }
        Iterator begin() const { return Iterator(m_handles); }
        Iterator end() const { return Iterator(m_handles + m_count); }
        std::size_t size() const { return m_count; }
        bool empty() const { return m_count == 0; }
        FileNode* operator[](std::size_t i) const { return FileNode::at(m_handles[i]); }
        FileNode* front() const { return (*this)[0]; }
        FileNode* back() const { return (*this)[m_count - 1]; }

    private:
        const NodeArena::Handle* m_handles = nullptr;
        std::size_t m_count = 0;
    };

    // Builds a node. `path` is the node's absolute location as raw bytes; it may be empty for
    // a node that will be adopted by a parent. The references in `children` move into the new
    // node (the vector is left empty); each child's parent becomes the new node. Children are
    // taken with their aggregates as they stand, so trees are built bottom-up. A file takes no
    // children. Names longer than 65535 bytes are cut. A folder's `fileSize` is the space the
    // folder itself takes (the blocks that hold its entries), kept in whole 512-byte blocks
    // (rounded up, at most 2^32 - 1 of them). A file's size is kept exactly below 2^48 bytes
    // (256 TiB), in whole 512-byte blocks (rounded up) above; a negative size counts as 0. Dates
    // are kept in whole seconds (rounded down) from 1834 to 2106; one outside is kept as the
    // nearest of the two.
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

    NodeId id() const { return NodeId(NodeArena::identity(this)); }
    std::string_view nameBytes() const
    {
        const char* area = nameArea();
        if (m_nameLength != kLongName)
            return {area, m_nameLength};
        std::uint16_t length;
        std::memcpy(&length, area, sizeof length);
        return {area + sizeof length, length};
    }
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
    void setIncomplete(bool incomplete) { setFlag(kIncomplete, incomplete); }
    // A file's size; for a folder, the space the folder itself takes (see create()).
    std::int64_t fileSize() const
    {
        const std::int64_t kept = std::int64_t(m_sizeLow) | (std::int64_t(m_sizeHigh) << 32);
        return (m_flags & (kDirectory | kSizeInBlocks)) ? kept * kBlockSize : kept;
    }
    Timestamp modificationDate() const { return date(m_modified, kModifiedHigh); }
    Timestamp creationDate() const { return date(m_created, kCreatedHigh); }
    // The entry's inode number on its device, as the scan found it; 0 when unknown (a tree read
    // from an export that does not say, an entry whose attributes could not be read). With the
    // device of its file system it tells whether a path still names the entry that was scanned.
    std::uint64_t inode() const { return read64(m_inode); }
    // Set by whoever builds the node, before the tree is shared.
    void setInode(std::uint64_t inode) { write64(m_inode, inode); }

    Children children() const
    {
        return isDirectory() ? Children(handles(), folder()->count) : Children();
    }
    std::size_t childCount() const { return isDirectory() ? folder()->count : 0; }
    FileNode* parent() const { return (m_flags & kOwnPath) || !m_up ? nullptr : at(m_up); }

    // The aggregates. A folder's size counts its files only, as every view and statistic
    // does; what the folders themselves take is counted apart, by cachedFoldersOwnSize().
    std::int64_t cachedSize() const
    {
        return isDirectory() ? std::int64_t(read64(folder()->size)) : fileSize();
    }
    std::int64_t cachedFileCount() const { return isDirectory() ? folder()->fileCount : 1; }
    std::int64_t cachedDirCount() const { return isDirectory() ? folder()->dirCount : 0; }
    // The space the folders of this subtree take themselves (their fileSize()), this folder's
    // included; 0 for a file. With cachedSize() it makes what du counts for the subtree.
    std::int64_t cachedFoldersOwnSize() const
    {
        return isDirectory() ? std::int64_t(read64(folder()->foldersOwnSize)) : 0;
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
    // ancestor count the new size (kept as create() keeps it). Nothing happens for a folder.
    void setFileSize(std::int64_t size);
    void setModificationDate(Timestamp date) { setDate(date, m_modified, kModifiedHigh); }

    // Ids are made from where nodes live: two nodes have the same id exactly when they are
    // the same node.
    friend bool operator==(const FileNode& a, const FileNode& b) { return &a == &b; }

    void retain() const
    {
        std::uint16_t count = m_refs.load(std::memory_order_relaxed);
        while (count != kStuck && !m_refs.compare_exchange_weak(count, std::uint16_t(count + 1),
                                                                std::memory_order_relaxed)) {
        }
    }
    void release() const
    {
        if (dropReference())
            destroyTree(const_cast<FileNode*>(this));
    }
    std::uint32_t useCount() const { return m_refs.load(std::memory_order_relaxed); }

private:
    // Lies just before a folder node.
    struct Folder {
        std::uint32_t count = 0; // of children
        std::uint32_t fileCount = 0;
        std::uint32_t dirCount = 0;
        std::uint32_t size[2] = {};
        std::uint32_t foldersOwnSize[2] = {};
    };
    static_assert(sizeof(Folder) == 28);

    enum Flag : std::uint8_t {
        kDirectory = 1,
        kIncomplete = 2,
        kSizeInBlocks = 4,
        kOwnPath = 8,
        kModifiedHigh = 16,
        kCreatedHigh = 32,
        kHeapChildren = 64,
    };
    static constexpr std::uint16_t kStuck = UINT16_MAX;
    static constexpr std::uint8_t kLongName = UINT8_MAX;
    static constexpr std::int64_t kBlockSize = 512;

    FileNode() = default;
    ~FileNode() = default;

    char* nameArea() const
    {
        return const_cast<char*>(reinterpret_cast<const char*>(this)) + offsetof(FileNode, m_name);
    }
    static FileNode* at(NodeArena::Handle handle)
    {
        return static_cast<FileNode*>(NodeArena::resolve(handle));
    }
    static std::uint64_t read64(const std::uint32_t (&words)[2])
    {
        std::uint64_t value;
        std::memcpy(&value, words, sizeof value);
        return value;
    }
    static void write64(std::uint32_t (&words)[2], std::uint64_t value)
    {
        std::memcpy(words, &value, sizeof value);
    }
    void setFlag(Flag flag, bool on)
    {
        m_flags = static_cast<std::uint8_t>(on ? (m_flags | flag) : (m_flags & ~flag));
    }
    Folder* folder() const
    {
        return reinterpret_cast<Folder*>(const_cast<char*>(reinterpret_cast<const char*>(this)) -
                                         sizeof(Folder));
    }
    // Where a folder's list of children is kept in its block (or, when the list is on the
    // heap, the pointer to it).
    NodeArena::Handle* inlineHandles() const;
    NodeArena::Handle* handles() const;
    static std::size_t nodeBytes(bool isDirectory, std::size_t nameLength, std::size_t handleCount);
    Timestamp date(std::uint32_t low, Flag high) const;
    void setDate(Timestamp date, std::uint32_t& low, Flag high);
    void setSize(std::int64_t size);
    void addToAncestors(std::int64_t size, std::int64_t files, std::int64_t dirs, std::int64_t own);
    // Drops one reference; true when it was the last.
    bool dropReference() const
    {
        std::uint16_t count = m_refs.load(std::memory_order_relaxed);
        while (count != kStuck) {
            if (m_refs.compare_exchange_weak(count, std::uint16_t(count - 1),
                                             std::memory_order_acq_rel, std::memory_order_relaxed))
                return count == 1;
        }
        return false;
    }

    const std::string* ownPath() const;
    void keepOwnPath(std::string path);
    void dropOwnPath();
    void applyAggregateRule();
    void setParent(FileNode* parent);
    static void destroyTree(FileNode* top);
    static void freeNode(FileNode* node);

    mutable std::atomic<std::uint16_t> m_refs{1};
    std::uint8_t m_nameLength = 0;
    std::uint8_t m_flags = 0;
    NodeArena::Handle m_up = 0;
    std::uint32_t m_modified = 0;
    std::uint32_t m_created = 0;
    std::uint32_t m_inode[2] = {};
    std::uint32_t m_sizeLow = 0;
    std::uint16_t m_sizeHigh = 0;
    // The name begins here and runs on past the end of the object; it is reached from the
    // node's address (nameArea()), never through this member, whose size would limit it.
    char m_name[2] = {};
};

static_assert(sizeof(FileNode) == 32);

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
    return a.m_node == b.m_node;
}

} // namespace plenvo
