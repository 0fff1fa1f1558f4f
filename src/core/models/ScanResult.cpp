#include "ScanResult.h"

#include <algorithm>
#include <bit>

namespace plenvo {

namespace {

// Membership test for a small set of ids against every file of a large list: an open-
// addressing table keyed by the (already random) low half of the id, so that a probe is
// a multiply and usually one comparison.
class IdFilter {
public:
    explicit IdFilter(const NodeIdSet& ids)
    {
        const std::size_t size = std::bit_ceil(std::max<std::size_t>(16, ids.size() * 2));
        m_mask = size - 1;
        m_slots.assign(size, NodeId());
        for (const NodeId& id : ids) {
            if (id.isNull())
                continue;
            std::size_t i = slot(id);
            while (!m_slots[i].isNull() && m_slots[i] != id)
                i = (i + 1) & m_mask;
            m_slots[i] = id;
        }
    }

    bool contains(const NodeId& id) const
    {
        for (std::size_t i = slot(id);; i = (i + 1) & m_mask) {
            if (m_slots[i] == id)
                return !id.isNull();
            if (m_slots[i].isNull())
                return false;
        }
    }

private:
    std::size_t slot(const NodeId& id) const
    {
        return std::size_t((id.low() * 0x9E3779B97F4A7C15ull) >> 32) & m_mask;
    }

    std::vector<NodeId> m_slots;
    std::size_t m_mask = 0;
};

const std::vector<NodeRef>& emptyList()
{
    static const std::vector<NodeRef> empty;
    return empty;
}

} // namespace

ScanResult::ScanResult(NodeRef rootNode, std::int64_t scanDate, std::string rootPath)
    : m_rootNode(std::move(rootNode)), m_scanDate(scanDate), m_rootPath(std::move(rootPath))
{
    readTotals();
    collectFiles();
    m_topFiles = m_order.first(m_allFiles, kTopFileCount);

    // One pass for the categories, then each list is filled at its exact size, in allFiles
    // order, and sorted.
    std::vector<std::uint8_t> categoryOf(m_allFiles.size());
    std::array<std::size_t, FileCategory::kCount> counts{};
    std::array<std::int64_t, FileCategory::kCount> sizes{};
    for (std::size_t i = 0; i < m_allFiles.size(); ++i) {
        const FileCategory category = FileCategory::of(*m_allFiles[i]);
        categoryOf[i] = category.value();
        ++counts[category.index()];
        sizes[category.index()] += m_allFiles[i]->fileSize();
    }
    for (FileCategory category : FileCategory::allCases()) {
        if (counts[category.index()] == 0)
            continue;
        m_hasEntry[category.index()] = true;
        m_filesByCategory[category.index()].reserve(counts[category.index()]);
        m_categoryStat.push_back(
            {category, sizes[category.index()], std::int64_t(counts[category.index()])});
    }
    for (std::size_t i = 0; i < m_allFiles.size(); ++i)
        m_filesByCategory[categoryOf[i]].push_back(m_allFiles[i]);
    for (std::vector<NodeRef>& list : m_filesByCategory)
        m_order.sort(list);
    sortCategoryStat();
}

ScanResult::~ScanResult()
{
    // Let go of the lists before the tree, so that the tree is freed in one pass without
    // every file looking like a node kept alive elsewhere.
    m_topFiles.clear();
    for (std::vector<NodeRef>& list : m_filesByCategory)
        list.clear();
    m_allFiles.clear();
    m_rootNode = NodeRef();
}

QString ScanResult::rootPathDisplay() const
{
    return QString::fromUtf8(m_rootPath.data(), qsizetype(m_rootPath.size()));
}

QString ScanResult::rootName() const
{
    std::string_view path = m_rootPath;
    while (path.size() > 1 && path.back() == '/')
        path.remove_suffix(1);
    if (path == "/")
        return QStringLiteral("/");
    const std::size_t slash = path.rfind('/');
    const std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
    return QString::fromUtf8(name.data(), qsizetype(name.size()));
}

const std::vector<NodeRef>& ScanResult::files(FileCategory category) const
{
    return m_hasEntry[category.index()] ? m_filesByCategory[category.index()] : emptyList();
}

void ScanResult::readTotals()
{
    m_totalSize = m_rootNode->cachedSize();
    m_totalFiles = m_rootNode->cachedFileCount();
    m_totalDirectories = m_rootNode->cachedDirCount();
}

void ScanResult::collectFiles()
{
    // Depth first, pre-order, with an explicit stack: trees may be deeper than the call stack.
    m_allFiles.reserve(std::size_t(m_rootNode->cachedFileCount()));
    struct Position {
        const FileNode* folder;
        std::size_t next;
    };
    if (!m_rootNode->isDirectory()) {
        m_allFiles.push_back(m_rootNode);
        return;
    }
    std::vector<Position> stack{{m_rootNode.get(), 0}};
    while (!stack.empty()) {
        Position& top = stack.back();
        const std::span<const NodeRef> children = top.folder->children();
        if (top.next == children.size()) {
            stack.pop_back();
            continue;
        }
        const NodeRef& child = children[top.next++];
        if (child->isDirectory())
            stack.push_back({child.get(), 0});
        else
            m_allFiles.push_back(child);
    }
}

void ScanResult::sortCategoryStat()
{
    std::stable_sort(m_categoryStat.begin(), m_categoryStat.end(),
                     [](const CategoryStat& a, const CategoryStat& b) {
                         return a.totalSize > b.totalSize;
                     });
}

void ScanResult::removeNodes(const NodeIdSet& ids)
{
    std::vector<NodeRef> removed;
    if (!ids.empty()) {
        const IdFilter filter(ids);
        auto keep = m_allFiles.begin();
        for (auto it = m_allFiles.begin(); it != m_allFiles.end(); ++it) {
            if (filter.contains((*it)->id()))
                removed.push_back(std::move(*it));
            else if (keep != it)
                *keep++ = std::move(*it);
            else
                ++keep;
        }
        m_allFiles.erase(keep, m_allFiles.end());

        // The largest files change only when one of them went: the others keep their places
        // and the next ones in file order move up.
        const bool topChanged = std::any_of(m_topFiles.begin(), m_topFiles.end(),
                                            [&](const NodeRef& n) { return filter.contains(n->id()); });
        if (topChanged)
            m_topFiles = m_order.first(m_allFiles, kTopFileCount);

        std::array<bool, FileCategory::kCount> touched{};
        for (const NodeRef& node : removed) {
            const FileCategory category = FileCategory::of(*node);
            touched[category.index()] = true;
            auto stat = std::find_if(m_categoryStat.begin(), m_categoryStat.end(),
                                     [&](const CategoryStat& s) { return s.category == category; });
            if (stat != m_categoryStat.end()) {
                stat->totalSize -= node->fileSize();
                stat->fileCount -= 1;
            }
        }
        for (FileCategory category : FileCategory::allCases())
            if (touched[category.index()])
                std::erase_if(m_filesByCategory[category.index()],
                              [&](const NodeRef& n) { return filter.contains(n->id()); });
        std::erase_if(m_categoryStat, [](const CategoryStat& s) { return s.fileCount <= 0; });
    }
    sortCategoryStat();
    readTotals();
}

} // namespace plenvo
