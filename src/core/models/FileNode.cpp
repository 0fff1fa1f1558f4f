#include "FileNode.h"

#include "NumberPool.h"
#include "utils/DisplayText.h"

#include <algorithm>
#include <cstddef>
#include <cstdlib>
#include <memory>
#include <new>

namespace plenvo {

namespace {

constexpr std::size_t kNameOffset = 30;
constexpr std::size_t kMaxNameLength = UINT16_MAX;
// A folder's list of children holds at least this many handles in the folder's block: room
// for the pointer to the list once it moves to the heap.
constexpr std::size_t kMinSlots = sizeof(void*) / sizeof(NodeArena::Handle);
// Dates are whole seconds in 33 bits; the smallest value means none.
constexpr std::int64_t kNoDate = -(std::int64_t(1) << 32);
constexpr std::int64_t kLastDate = (std::int64_t(1) << 32) - 1;
constexpr std::int64_t kSizeLimit = std::int64_t(1) << 48;

std::size_t roundUp(std::size_t bytes)
{
    return (bytes + NodeArena::kGranule - 1) & ~(NodeArena::kGranule - 1);
}

std::size_t nameFootprint(std::size_t nameLength)
{
    return nameLength + (nameLength >= UINT8_MAX ? sizeof(std::uint16_t) : 0);
}

// A list of children moved to the heap: its capacity, then the handles.
NodeArena::Handle* heapList(std::size_t capacity)
{
    auto* list =
        static_cast<NodeArena::Handle*>(std::malloc((capacity + 1) * sizeof(NodeArena::Handle)));
    if (!list)
        throw std::bad_alloc();
    list[0] = NodeArena::Handle(capacity);
    return list;
}

// The locations of nodes without a parent, each under a 32-bit number that the node keeps
// instead of its parent's handle. Numbers are taken and given back under a lock (when a node is
// made with a location, is detached or outlives its tree); reading a location takes none.
class Locations {
public:
    std::uint32_t add(std::string path)
    {
        auto text = std::make_unique<std::string>(std::move(path));
        const std::uint32_t number = m_numbers.take();
        std::atomic<std::string**>& page = m_pages[number / kPageSize];
        if (!page.load(std::memory_order_acquire)) {
            // The first number of a page: another thread may be making the page as well.
            auto fresh = std::make_unique<std::string*[]>(kPageSize);
            std::string** none = nullptr;
            if (page.compare_exchange_strong(none, fresh.get(), std::memory_order_acq_rel))
                fresh.release();
        }
        slot(number) = text.release();
        return number;
    }
    std::string& at(std::uint32_t number) const { return *slot(number); }
    void remove(std::uint32_t number)
    {
        delete std::exchange(slot(number), nullptr);
        m_numbers.give(number);
    }

private:
    // Room for 67 million locations (the table of pages takes 128 KiB).
    static constexpr std::size_t kPageSize = 4096;
    static constexpr std::size_t kPages = 16384;

    std::string*& slot(std::uint32_t number) const
    {
        return m_pages[number / kPageSize].load(std::memory_order_acquire)[number % kPageSize];
    }

    std::atomic<std::string**> m_pages[kPages] = {};
    NumberPool m_numbers{kPages * kPageSize};
};

Locations& locations()
{
    // Never destroyed: nodes may be freed while the process exits.
    static Locations* instance = new Locations;
    return *instance;
}

} // namespace

std::size_t FileNode::nodeBytes(bool isDirectory, std::size_t nameLength, std::size_t handleCount)
{
    static_assert(offsetof(FileNode, m_name) == kNameOffset);
    const std::size_t node = kNameOffset + nameFootprint(nameLength);
    if (!isDirectory)
        return node;
    return sizeof(Folder) + roundUp(node) +
           std::max(handleCount, kMinSlots) * sizeof(NodeArena::Handle);
}

NodeArena::Handle* FileNode::inlineHandles() const
{
    const std::size_t node = roundUp(kNameOffset + nameFootprint(nameBytes().size()));
    return reinterpret_cast<NodeArena::Handle*>(
        const_cast<char*>(reinterpret_cast<const char*>(this)) + node);
}

NodeArena::Handle* FileNode::handles() const
{
    NodeArena::Handle* list = inlineHandles();
    if (!(m_flags & kHeapChildren))
        return list;
    NodeArena::Handle* heap;
    std::memcpy(&heap, list, sizeof heap);
    return heap + 1;
}

NodeRef FileNode::create(std::string_view name, std::string_view path, bool isDirectory,
                         std::int64_t fileSize, Timestamp modificationDate, Timestamp creationDate,
                         std::vector<NodeRef>&& children, NodeArena* arena)
{
    const std::size_t nameLength = std::min(name.size(), kMaxNameLength);
    if (!isDirectory)
        children.clear(); // a file has no children
    // A list too long for a block goes to the heap at once. What may fail is done first, so
    // that a failure leaves the children with the caller and loses nothing.
    std::size_t bytes = nodeBytes(isDirectory, nameLength, children.size());
    NodeArena::Handle* heap = nullptr;
    if (bytes > NodeArena::kMaxBlock) {
        heap = heapList(children.size());
        bytes = nodeBytes(true, nameLength, kMinSlots);
    }
    std::optional<std::uint32_t> location;
    void* block;
    try {
        if (!path.empty())
            location = locations().add(std::string(path));
        block = (arena ? *arena : NodeArena::forThisThread()).allocate(bytes);
    } catch (...) {
        std::free(heap);
        if (location)
            locations().remove(*location);
        throw;
    }

    char* start = static_cast<char*>(block);
    if (isDirectory)
        new (start) Folder;
    auto* node = new (start + (isDirectory ? sizeof(Folder) : 0)) FileNode;
    node->m_flags = isDirectory ? kDirectory : 0;
    if (nameLength >= kLongName) {
        node->m_nameLength = kLongName;
        const auto length = std::uint16_t(nameLength);
        std::memcpy(node->nameArea(), &length, sizeof length);
        std::memcpy(node->nameArea() + sizeof length, name.data(), nameLength);
    } else {
        node->m_nameLength = std::uint8_t(nameLength);
        if (nameLength)
            std::memcpy(node->nameArea(), name.data(), nameLength);
    }
    node->setDate(modificationDate, node->m_modified, kModifiedHigh);
    node->setDate(creationDate, node->m_created, kCreatedHigh);
    if (location) {
        node->m_up = *location;
        node->m_flags |= kOwnPath;
    }

    if (!isDirectory) {
        node->setSize(fileSize);
        return NodeRef::adopt(node);
    }

    const std::int64_t ownBlocks = keptFolderSize(fileSize) / kBlockSize;
    node->m_sizeLow = std::uint32_t(ownBlocks);
    node->m_sizeHigh = 0;
    NodeArena::Handle* list = node->inlineHandles();
    if (heap) {
        std::memcpy(list, &heap, sizeof heap);
        node->m_flags |= kHeapChildren;
        list = heap + 1;
    }
    Folder* data = node->folder();
    for (NodeRef& child : children) {
        FileNode* raw = child.detach();
        list[data->count++] = NodeArena::handleOf(raw);
        raw->setParent(node);
    }
    children.clear();
    node->applyAggregateRule();
    return NodeRef::adopt(node);
}

std::size_t FileNode::allocationSize(bool isDirectory, std::size_t nameLength)
{
    return roundUp(nodeBytes(isDirectory, std::min(nameLength, kMaxNameLength), 0));
}

std::int64_t FileNode::keptFolderSize(std::int64_t bytes)
{
    const std::int64_t blocks = bytes <= 0 ? 0 : (bytes - 1) / kBlockSize + 1;
    return std::min<std::int64_t>(blocks, UINT32_MAX) * kBlockSize;
}

QString FileNode::name() const
{
    return DisplayText::fromBytes(nameBytes());
}

std::string FileNode::pathBytes() const
{
    // Walk up to the nearest node that knows its own location, then append the names.
    std::vector<const FileNode*> chain;
    const FileNode* node = this;
    while (const FileNode* up = node->parent()) {
        chain.push_back(node);
        node = up;
    }
    std::string result;
    if (const std::string* own = node->ownPath())
        result = *own;
    else
        result.assign(node->nameBytes());
    std::size_t length = result.size();
    for (const FileNode* link : chain)
        length += link->nameBytes().size() + 1;
    result.reserve(length);
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
        if (result.empty() || result.back() != '/')
            result.push_back('/');
        result.append((*it)->nameBytes());
    }
    return result;
}

QString FileNode::path() const
{
    return DisplayText::fromBytes(pathBytes());
}

std::string_view FileNode::extensionBytes() const
{
    const std::string_view name = nameBytes();
    const std::size_t dot = name.rfind('.');
    if (dot == std::string_view::npos || dot == 0)
        return {};
    return name.substr(dot + 1);
}

FileNode::Timestamp FileNode::date(std::uint32_t low, Flag high) const
{
    // Sign-extend the 33 bits.
    const std::uint64_t bits = (std::uint64_t((m_flags & high) != 0) << 32) | low;
    const std::int64_t seconds = std::int64_t(bits << 31) >> 31;
    if (seconds == kNoDate)
        return {};
    return seconds * 1000;
}

void FileNode::setDate(Timestamp date, std::uint32_t& low, Flag high)
{
    std::int64_t seconds = kNoDate;
    if (date) {
        seconds = *date / 1000;
        if (*date % 1000 < 0)
            --seconds; // rounded down, also before 1970
        seconds = std::clamp(seconds, kNoDate + 1, kLastDate);
    }
    const auto bits = std::uint64_t(seconds);
    low = std::uint32_t(bits);
    setFlag(high, (bits >> 32) & 1);
}

void FileNode::setSize(std::int64_t size)
{
    size = std::max<std::int64_t>(size, 0);
    const bool inBlocks = size >= kSizeLimit;
    if (inBlocks)
        size = std::min((size - 1) / kBlockSize + 1, kSizeLimit - 1);
    setFlag(kSizeInBlocks, inBlocks);
    m_sizeLow = std::uint32_t(size);
    m_sizeHigh = std::uint16_t(size >> 32);
}

void FileNode::applyAggregateRule()
{
    if (!isDirectory())
        return; // a file's aggregates follow from its own size
    Folder* data = folder();
    std::int64_t size = 0;
    std::int64_t files = 0;
    std::int64_t dirs = 1;
    std::int64_t own = fileSize();
    for (const FileNode* child : children()) {
        size += child->cachedSize();
        files += child->cachedFileCount();
        dirs += child->cachedDirCount();
        own += child->cachedFoldersOwnSize();
    }
    write64(data->size, std::uint64_t(size));
    data->fileCount = std::uint32_t(files);
    data->dirCount = std::uint32_t(dirs);
    write64(data->foldersOwnSize, std::uint64_t(own));
}

void FileNode::addToAncestors(std::int64_t size, std::int64_t files, std::int64_t dirs,
                              std::int64_t own)
{
    for (FileNode* node = this; node; node = node->parent()) {
        Folder* data = node->folder();
        write64(data->size, read64(data->size) + std::uint64_t(size));
        data->fileCount = std::uint32_t(data->fileCount + files);
        data->dirCount = std::uint32_t(data->dirCount + dirs);
        write64(data->foldersOwnSize, read64(data->foldersOwnSize) + std::uint64_t(own));
    }
}

bool FileNode::removeChild(const FileNode& target)
{
    return removeChildren(NodeIdSet{target.id()}) > 0;
}

std::size_t FileNode::removeChildren(const NodeIdSet& ids)
{
    if (!isDirectory() || ids.empty())
        return 0;
    Folder* data = folder();
    NodeArena::Handle* list = handles();
    std::vector<NodeRef> removed;
    std::uint32_t kept = 0;
    for (std::uint32_t i = 0; i < data->count; ++i) {
        FileNode* child = at(list[i]);
        if (removed.size() < ids.size() && ids.count(child->id())) {
            removed.push_back(NodeRef::adopt(child)); // the list's reference
            continue;
        }
        list[kept++] = list[i];
    }
    data->count = kept;

    // The aggregates are sums over the children: taking the removed children's share off this
    // folder and each ancestor gives what recomputing them would, without visiting every
    // sibling on the way up (a folder may hold hundreds of thousands).
    std::int64_t size = 0, files = 0, dirs = 0, own = 0;
    for (const NodeRef& node : removed) {
        size += node->cachedSize();
        files += node->cachedFileCount();
        dirs += node->cachedDirCount();
        own += node->cachedFoldersOwnSize();
    }
    addToAncestors(-size, -files, -dirs, -own);
    // The removed nodes keep their location; they let go of this folder's reference here.
    for (NodeRef& node : removed)
        node->keepOwnPath(node->pathBytes());
    return removed.size();
}

bool FileNode::addChild(NodeRef child)
{
    if (!isDirectory() || !child || child->parent() || child.get() == this)
        return false;
    Folder* data = folder();
    NodeArena::Handle* inBlock = inlineHandles();
    NodeArena::Handle* heap = nullptr;
    if (m_flags & kHeapChildren)
        std::memcpy(&heap, inBlock, sizeof heap);
    if (!heap || heap[0] == data->count) {
        // The list moves to the heap (the block's list has no room to spare), or grows there.
        const std::size_t capacity = std::max<std::size_t>(8, std::size_t(data->count) * 3 / 2 + 1);
        NodeArena::Handle* grown = heapList(capacity);
        std::memcpy(grown + 1, handles(), data->count * sizeof(NodeArena::Handle));
        std::free(heap);
        heap = grown;
        std::memcpy(inBlock, &heap, sizeof heap);
        m_flags |= kHeapChildren;
    }
    FileNode* raw = child.detach();
    heap[1 + data->count++] = NodeArena::handleOf(raw);
    raw->setParent(this);
    addToAncestors(raw->cachedSize(), raw->cachedFileCount(), raw->cachedDirCount(),
                   raw->cachedFoldersOwnSize());
    return true;
}

bool FileNode::isWithin(const FileNode& ancestor) const
{
    for (const FileNode* node = this; node; node = node->parent())
        if (node == &ancestor)
            return true;
    return false;
}

void FileNode::setFileSize(std::int64_t size)
{
    if (isDirectory())
        return;
    const std::int64_t before = fileSize();
    setSize(size);
    if (FileNode* up = parent())
        up->addToAncestors(fileSize() - before, 0, 0, 0);
}

const std::string* FileNode::ownPath() const
{
    return (m_flags & kOwnPath) ? &locations().at(m_up) : nullptr;
}

void FileNode::keepOwnPath(std::string path)
{
    if (m_flags & kOwnPath) {
        locations().at(m_up) = std::move(path);
        return;
    }
    m_up = locations().add(std::move(path));
    m_flags |= kOwnPath;
}

void FileNode::dropOwnPath()
{
    if (!(m_flags & kOwnPath))
        return;
    locations().remove(m_up);
    m_flags &= std::uint8_t(~kOwnPath);
    m_up = 0;
}

void FileNode::setParent(FileNode* parent)
{
    dropOwnPath();
    m_up = NodeArena::handleOf(parent);
}

void FileNode::destroyTree(FileNode* top)
{
    // Iterative, so that the depth of a tree never reaches the call stack. Nothing is freed
    // until every node that survives (held elsewhere, say by a selection) has stored its own
    // location, which it derives from ancestors that are still intact at that point.
    std::vector<FileNode*> dying{top};
    for (std::size_t next = 0; next < dying.size(); ++next) {
        FileNode* node = dying[next];
        if (!node->isDirectory())
            continue;
        for (FileNode* child : node->children()) {
            if (child->useCount() == 1) {
                dying.push_back(child);
                continue;
            }
            child->keepOwnPath(child->pathBytes());
            if (child->dropReference()) // its other holder let go meanwhile
                dying.push_back(child);
        }
        node->folder()->count = 0; // the references are given up
    }
    for (FileNode* node : dying)
        freeNode(node);
}

void FileNode::freeNode(FileNode* node)
{
    node->dropOwnPath();
    const std::size_t nameLength = node->nameBytes().size();
    char* block = reinterpret_cast<char*>(node);
    std::size_t bytes = nodeBytes(false, nameLength, 0);
    if (node->isDirectory()) {
        if (node->m_flags & kHeapChildren) {
            NodeArena::Handle* heap;
            std::memcpy(&heap, node->inlineHandles(), sizeof heap);
            std::free(heap);
        }
        // The list in the block held at least what it holds now.
        bytes = nodeBytes(true, nameLength, node->folder()->count);
        block -= sizeof(Folder);
        node->folder()->~Folder();
    }
    node->~FileNode();
    NodeArena::release(block, bytes);
}

} // namespace plenvo
