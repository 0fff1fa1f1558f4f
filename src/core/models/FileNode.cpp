#include "FileNode.h"

#include "NodeArena.h"
#include "utils/DisplayText.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>

namespace plenvo {

NodeRef FileNode::create(std::string_view name, std::string_view path, bool isDirectory,
                         std::int64_t fileSize, Timestamp modificationDate, Timestamp creationDate,
                         std::vector<NodeRef>&& children, NodeArena* arena)
{
    const std::size_t nameLength = std::min<std::size_t>(name.size(), UINT16_MAX);
    const std::size_t bytes = allocationSize(isDirectory, nameLength);
    void* block = arena ? arena->allocate(bytes) : ::operator new(bytes);

    auto* node = new (block) FileNode;
    node->m_flags =
        static_cast<std::uint8_t>((isDirectory ? kDirectory : 0) | (arena ? 0 : kHeapBlock));
    node->m_nameLength = static_cast<std::uint16_t>(nameLength);
    node->m_id = NodeId::generate();
    node->m_modified = modificationDate.value_or(kNoDate);
    node->m_created = creationDate.value_or(kNoDate);
    if (nameLength)
        std::memcpy(node->nameData(), name.data(), nameLength);
    if (!path.empty())
        node->keepOwnPath(std::string(path));

    if (!isDirectory) {
        node->m_size = fileSize;
        children.clear(); // a file has no children
        return NodeRef::adopt(node);
    }

    Folder* folder = new (node->folder()) Folder{};
    folder->ownBlocks = std::uint32_t(keptFolderSize(fileSize) / kBlockSize);
    if (!children.empty()) {
        // A failed allocation leaves the node childless; the references are then released
        // with the vector.
        void* storage = std::malloc(children.size() * sizeof(NodeRef));
        if (!storage) {
            freeNode(node);
            throw std::bad_alloc();
        }
        folder->children = static_cast<NodeRef*>(storage);
        for (NodeRef& child : children) {
            FileNode* raw = child.detach();
            new (&folder->children[folder->count++]) NodeRef(NodeRef::adopt(raw));
            raw->setParent(node);
        }
        children.clear();
    }
    node->applyAggregateRule();
    return NodeRef::adopt(node);
}

std::size_t FileNode::allocationSize(bool isDirectory, std::size_t nameLength)
{
    return sizeof(FileNode) + (isDirectory ? sizeof(Folder) : 0) +
           std::min<std::size_t>(nameLength, UINT16_MAX);
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
    while (node->parent()) {
        chain.push_back(node);
        node = node->parent();
    }
    std::string result;
    if (const std::string* own = node->ownPath())
        result = *own;
    else
        result.assign(node->nameBytes());
    std::size_t length = result.size();
    for (const FileNode* link : chain)
        length += link->m_nameLength + 1;
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

void FileNode::applyAggregateRule()
{
    if (!isDirectory())
        return; // a file's aggregates follow from its own size
    Folder* data = folder();
    std::int64_t size = 0;
    std::int64_t files = 0;
    std::int64_t dirs = 1;
    std::int64_t own = fileSize();
    for (std::uint32_t i = 0; i < data->count; ++i) {
        const FileNode* child = data->children[i].get();
        size += child->cachedSize();
        files += child->cachedFileCount();
        dirs += child->cachedDirCount();
        own += child->cachedFoldersOwnSize();
    }
    m_size = size;
    data->fileCount = files;
    data->dirCount = dirs;
    data->foldersOwnSize = own;
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
    std::vector<NodeRef> removed;
    std::uint32_t kept = 0;
    for (std::uint32_t i = 0; i < data->count; ++i) {
        NodeRef& child = data->children[i];
        if (removed.size() < ids.size() && ids.count(child->id())) {
            removed.push_back(std::move(child));
            continue;
        }
        if (kept != i)
            data->children[kept] = std::move(child);
        ++kept;
    }
    for (std::uint32_t i = kept; i < data->count; ++i)
        data->children[i].~NodeRef();
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
    for (FileNode* node = this; node; node = node->parent()) {
        node->m_size -= size;
        node->folder()->fileCount -= files;
        node->folder()->dirCount -= dirs;
        node->folder()->foldersOwnSize -= own;
    }
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
    void* storage = std::realloc(static_cast<void*>(data->children),
                                 (std::size_t(data->count) + 1) * sizeof(NodeRef));
    if (!storage)
        throw std::bad_alloc();
    // A reference is a plain pointer: the bytes moved by realloc are the references.
    data->children = static_cast<NodeRef*>(storage);
    FileNode* raw = child.detach();
    new (&data->children[data->count++]) NodeRef(NodeRef::adopt(raw));
    raw->setParent(this);
    const std::int64_t size = raw->cachedSize();
    const std::int64_t files = raw->cachedFileCount();
    const std::int64_t dirs = raw->cachedDirCount();
    const std::int64_t own = raw->cachedFoldersOwnSize();
    for (FileNode* node = this; node; node = node->parent()) {
        node->m_size += size;
        node->folder()->fileCount += files;
        node->folder()->dirCount += dirs;
        node->folder()->foldersOwnSize += own;
    }
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
    const std::int64_t delta = size - m_size;
    m_size = size;
    for (FileNode* node = parent(); node; node = node->parent())
        node->m_size += delta;
}

void FileNode::keepOwnPath(std::string path)
{
    if (auto* own = const_cast<std::string*>(ownPath()))
        *own = std::move(path);
    else
        m_up = reinterpret_cast<std::uintptr_t>(new std::string(std::move(path))) | kOwnPathTag;
}

void FileNode::setParent(FileNode* parent)
{
    delete ownPath();
    m_up = reinterpret_cast<std::uintptr_t>(parent);
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
        Folder* data = node->folder();
        for (std::uint32_t i = 0; i < data->count; ++i) {
            FileNode* child = data->children[i].detach();
            if (child->useCount() == 1) {
                dying.push_back(child);
            } else {
                child->keepOwnPath(child->pathBytes());
                child->m_refs.fetch_sub(1, std::memory_order_acq_rel);
            }
        }
    }
    for (FileNode* node : dying)
        freeNode(node);
}

void FileNode::freeNode(FileNode* node)
{
    delete node->ownPath();
    if (node->isDirectory()) {
        Folder* data = node->folder();
        for (std::uint32_t i = 0; i < data->count; ++i)
            data->children[i].~NodeRef(); // null unless the node dies outside destroyTree
        std::free(data->children);
        data->~Folder();
    }
    const bool heap = node->m_flags & kHeapBlock;
    node->~FileNode();
    if (heap)
        ::operator delete(node);
    else
        NodeArena::release(node);
}

} // namespace plenvo
