#include "DuplicateCandidates.h"

#include <algorithm>

namespace plenvo {

std::uint64_t DuplicateCandidates::addName(std::string_view name)
{
    const std::uint64_t offset = m_names.size();
    m_names.append(name);
    return offset;
}

DuplicateCandidates DuplicateCandidates::fromTree(const FileNode& root, const NodeFacts* facts,
                                                  std::int64_t minAllocatedSize)
{
    DuplicateCandidates out;
    const auto deviceOf = [&](const FileNode& folder, std::uint64_t inherited) {
        const NodeFacts::Facts* f = facts ? facts->find(folder.id()) : nullptr;
        return f && f->hasDevice ? f->device : inherited;
    };
    // The scan's further names of one file carry no size, so the size test leaves them out too.
    const auto addFile = [&](const FileNode& file, std::string_view name, std::uint32_t folder) {
        ++out.m_filesInTree;
        if (file.fileSize() < minAllocatedSize)
            return;
        out.m_files.push_back(
            {file.id(), file.inode(), out.addName(name), std::uint32_t(name.size()), folder});
    };

    const std::string rootPath = root.pathBytes();
    if (!root.isDirectory()) {
        const std::size_t slash = rootPath.rfind('/');
        const std::string_view folder =
            slash == std::string::npos ? "." : std::string_view(rootPath).substr(0, slash);
        out.m_folders.push_back({out.addName(folder.empty() ? "/" : folder),
                                 std::uint32_t(folder.empty() ? 1 : folder.size()), kNoParent,
                                 deviceOf(root, 0)});
        addFile(root, root.nameBytes(), 0);
        return out;
    }

    // Depth first without recursion (trees can be far deeper than the call stack allows).
    struct Level {
        const FileNode* folder;
        std::size_t next;
        std::uint32_t index;
    };
    out.m_folders.push_back(
        {out.addName(rootPath), std::uint32_t(rootPath.size()), kNoParent, deviceOf(root, 0)});
    std::vector<Level> stack{{&root, 0, 0}};
    while (!stack.empty()) {
        Level& level = stack.back();
        const auto children = level.folder->children();
        if (level.next == children.size()) {
            stack.pop_back();
            continue;
        }
        const FileNode& child = *children[level.next++];
        if (!child.isDirectory()) {
            addFile(child, child.nameBytes(), level.index);
            continue;
        }
        const std::string_view name = child.nameBytes();
        const std::uint32_t index = std::uint32_t(out.m_folders.size());
        out.m_folders.push_back({out.addName(name), std::uint32_t(name.size()), level.index,
                                 deviceOf(child, out.m_folders[level.index].device)});
        stack.push_back({&child, 0, index});
    }
    out.m_files.shrink_to_fit();
    out.m_folders.shrink_to_fit();
    out.m_names.shrink_to_fit();
    return out;
}

std::string DuplicateCandidates::folderPath(std::uint32_t folder) const
{
    std::vector<std::uint32_t> chain;
    for (; folder != kNoParent; folder = m_folders[folder].parent)
        chain.push_back(folder);
    std::string path;
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
        if (!path.empty() && path.back() != '/')
            path += '/';
        path.append(m_names, m_folders[*it].nameOffset, m_folders[*it].nameLength);
    }
    return path;
}

std::string DuplicateCandidates::path(std::size_t index) const
{
    std::string path = folderPath(m_files[index].folder);
    if (path.back() != '/')
        path += '/';
    path += name(index);
    return path;
}

std::size_t DuplicateCandidates::memoryUse() const
{
    return m_files.capacity() * sizeof(File) + m_folders.capacity() * sizeof(Folder) +
           m_names.capacity();
}

} // namespace plenvo
