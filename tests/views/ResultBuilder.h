#pragma once

// Scan results built in memory, for view tests that need no folder on disk.

#include "models/FileNode.h"
#include "models/ScanResult.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace plenvo::test {

struct Entry {
    // Relative to the root, "/"-separated; a path ending in "/" is a folder (empty unless other
    // entries are below it), whose size is the space it takes itself.
    std::string path;
    std::int64_t size = 0;
    std::optional<std::int64_t> modified = std::nullopt; // ms since the epoch
    std::optional<std::int64_t> created = std::nullopt;
};

// 2026-03-14 12:00 UTC: a fixed scan date, so that pictures and texts do not change.
constexpr std::int64_t kScanDate = 1773489600000;

namespace detail {

struct Draft {
    std::string name;
    bool isDirectory = true;
    Entry entry;
    std::int64_t ownSize = 0; // of a folder
    std::vector<std::unique_ptr<Draft>> children; // in the order first met
};

inline Draft& childNamed(Draft& parent, std::string_view name, bool isDirectory)
{
    for (auto& child : parent.children)
        if (child->name == name)
            return *child;
    auto child = std::make_unique<Draft>();
    child->name = std::string(name);
    child->isDirectory = isDirectory;
    parent.children.push_back(std::move(child));
    return *parent.children.back();
}

inline NodeRef build(const Draft& draft, std::string_view path)
{
    std::vector<NodeRef> children;
    // A folder made for its entries is as recent as the latest of them, as on disk.
    std::optional<std::int64_t> modified = draft.entry.modified;
    std::optional<std::int64_t> created = draft.entry.created;
    for (const auto& child : draft.children) {
        children.push_back(build(*child, {}));
        if (draft.entry.path.empty() && children.back()->modificationDate() > modified) {
            modified = children.back()->modificationDate();
            created = children.back()->creationDate();
        }
    }
    return FileNode::create(draft.name, path, draft.isDirectory,
                            draft.isDirectory ? draft.ownSize : draft.entry.size, modified, created,
                            std::move(children));
}

} // namespace detail

// The tree of `entries` under a root folder at `rootPath` (absolute; its last component names
// the root). Folders are made as paths need them; children keep the order they are first met.
inline NodeRef makeTree(const std::string& rootPath, const std::vector<Entry>& entries)
{
    detail::Draft root;
    const std::size_t slash = rootPath.find_last_of('/');
    root.name = rootPath.size() > 1 ? rootPath.substr(slash + 1) : rootPath;
    for (const Entry& entry : entries) {
        detail::Draft* folder = &root;
        std::string_view rest = entry.path;
        while (!rest.empty()) {
            const std::size_t cut = rest.find('/');
            if (cut == std::string_view::npos) {
                detail::childNamed(*folder, rest, false).entry = entry;
                break;
            }
            folder = &detail::childNamed(*folder, rest.substr(0, cut), true);
            rest.remove_prefix(cut + 1);
            if (rest.empty())
                folder->ownSize = entry.size;
        }
    }
    return detail::build(root, rootPath);
}

inline std::shared_ptr<ScanResult> makeResult(const std::string& rootPath,
                                              const std::vector<Entry>& entries,
                                              std::int64_t scanDate = kScanDate)
{
    return std::make_shared<ScanResult>(makeTree(rootPath, entries), scanDate, rootPath);
}

// Makes `result` that of a stopped scan that did not finish the folders at these paths (below
// the root, "/"-separated), nor therefore the folders above them.
inline void markStopped(ScanResult& result, const std::vector<std::string>& unfinished)
{
    result.setStopped(true);
    result.rootNode()->setIncomplete(true);
    for (std::string_view rest : unfinished) {
        FileNode* node = result.rootNode().get();
        while (node && !rest.empty()) {
            const std::string_view name = rest.substr(0, rest.find('/'));
            rest.remove_prefix(std::min(rest.size(), name.size() + 1));
            FileNode* parent = std::exchange(node, nullptr);
            for (FileNode* child : parent->children())
                if (child->nameBytes() == name)
                    node = child;
            if (node)
                node->setIncomplete(true);
        }
    }
}

} // namespace plenvo::test
