#include "ScanResult.h"

#include "utils/DisplayText.h"

#include <algorithm>
#include <bit>

namespace plenvo {

namespace {

std::uint32_t idPrefix(const NodeId& id)
{
    return std::uint32_t(NodeIdHash{}(id) >> 32);
}

// A quick first test of whether an id may be among a few: one bit per 16-bit value of the
// random id prefix, 8 KiB, small enough to stay in the processor's closest cache. Nearly all
// files of a large list fail it at once, with a branch the processor predicts.
class PrefixFilter {
public:
    explicit PrefixFilter(const NodeIdSet& ids) : m_bits(kWords, 0)
    {
        for (const NodeId& id : ids) {
            const std::uint32_t bit = idPrefix(id) & 0xFFFF;
            m_bits[bit >> 6] |= std::uint64_t(1) << (bit & 63);
        }
    }
    bool mayContain(std::uint32_t prefix) const
    {
        const std::uint32_t bit = prefix & 0xFFFF;
        return (m_bits[bit >> 6] >> (bit & 63)) & 1;
    }

private:
    static constexpr std::size_t kWords = 65536 / 64;
    std::vector<std::uint64_t> m_bits;
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

    // One pass for the categories, their totals and their lists (put in order when first
    // asked for, see files()).
    std::vector<std::uint8_t> categoryOf(m_allFiles.size());
    std::array<std::int64_t, FileCategory::kCount> counts{};
    std::array<std::int64_t, FileCategory::kCount> sizes{};
    for (std::size_t i = 0; i < m_allFiles.size(); ++i) {
        const FileCategory category = FileCategory::of(*m_allFiles[i]);
        categoryOf[i] = std::uint8_t(category.index());
        ++counts[category.index()];
        sizes[category.index()] += m_allFiles[i]->fileSize();
    }
    for (FileCategory category : FileCategory::allCases())
        m_filesByCategory[category.index()].reserve(std::size_t(counts[category.index()]));
    for (std::size_t i = 0; i < m_allFiles.size(); ++i)
        m_filesByCategory[categoryOf[i]].push_back(m_allFiles[i]);
    for (FileCategory category : FileCategory::allCases()) {
        if (counts[category.index()] == 0)
            continue;
        m_hasEntry[category.index()] = true;
        m_categoryStat.push_back({category, sizes[category.index()], counts[category.index()]});
    }
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
    return DisplayText::fromBytes(m_rootPath);
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
    return DisplayText::fromBytes(name);
}

QString ScanResult::openedFromName() const
{
    if (!m_openedFrom)
        return {};
    const std::string_view path = *m_openedFrom;
    const std::size_t slash = path.rfind('/');
    return DisplayText::fromBytes(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

const std::vector<NodeRef>& ScanResult::files(FileCategory category) const
{
    if (!m_hasEntry[category.index()])
        return emptyList();
    std::vector<NodeRef>& list = m_filesByCategory[category.index()];
    if (!m_sorted[category.index()]) {
        m_order.sort(list);
        m_sorted[category.index()] = true;
    }
    return list;
}

void ScanResult::readTotals()
{
    m_totalSize = m_rootNode->cachedSize();
    m_totalFiles = m_rootNode->cachedFileCount();
    m_totalDirectories = m_rootNode->cachedDirCount();
    m_foldersOwnSize = m_rootNode->cachedFoldersOwnSize();
}

void ScanResult::collectFiles()
{
    // Depth first, pre-order, with an explicit stack: trees may be deeper than the call stack.
    m_allFiles.reserve(std::size_t(m_rootNode->cachedFileCount()));
    m_idPrefixes.reserve(std::size_t(m_rootNode->cachedFileCount()));
    struct Position {
        const FileNode* folder;
        std::size_t next;
    };
    if (!m_rootNode->isDirectory()) {
        m_allFiles.push_back(m_rootNode);
        m_idPrefixes.push_back(idPrefix(m_rootNode->id()));
        return;
    }
    std::vector<Position> stack{{m_rootNode.get(), 0}};
    while (!stack.empty()) {
        Position& top = stack.back();
        const FileNode::Children children = top.folder->children();
        if (top.next == children.size()) {
            stack.pop_back();
            continue;
        }
        const FileNode* child = children[top.next++];
        if (child->isDirectory())
            stack.push_back({child, 0});
        else {
            m_allFiles.emplace_back(child);
            m_idPrefixes.push_back(idPrefix(child->id()));
        }
    }
}

void ScanResult::sortCategoryStat()
{
    std::stable_sort(
        m_categoryStat.begin(), m_categoryStat.end(),
        [](const CategoryStat& a, const CategoryStat& b) { return a.totalSize > b.totalSize; });
}

void ScanResult::removeFromCategory(FileCategory category,
                                    const std::vector<const FileNode*>& nodes)
{
    std::vector<NodeRef>& list = m_filesByCategory[category.index()];
    if (!m_sorted[category.index()]) {
        // Not in order yet: one pass, keeping the order of the rest.
        std::vector<const FileNode*> gone = nodes;
        std::sort(gone.begin(), gone.end());
        std::erase_if(list, [&](const NodeRef& n) {
            return std::binary_search(gone.begin(), gone.end(), n.get());
        });
        return;
    }
    // The list is in file order: each node is found by binary search among the files that
    // tie with it, then all are removed in one pass.
    const auto before = [this](const NodeRef& a, const FileNode* b) {
        return m_order.before(*a, *b);
    };
    const auto after = [this](const FileNode* a, const NodeRef& b) {
        return m_order.before(*a, *b);
    };
    std::vector<std::size_t> positions;
    for (const FileNode* node : nodes) {
        auto first = std::lower_bound(list.begin(), list.end(), node, before);
        auto last = std::upper_bound(first, list.end(), node, after);
        auto found = std::find_if(first, last, [&](const NodeRef& n) { return n.get() == node; });
        if (found != last)
            positions.push_back(std::size_t(found - list.begin()));
    }
    std::sort(positions.begin(), positions.end());
    std::size_t keep = positions.empty() ? list.size() : positions.front();
    for (std::size_t i = keep, next = 0; i < list.size(); ++i) {
        if (next < positions.size() && positions[next] == i) {
            ++next;
            continue;
        }
        list[keep++] = std::move(list[i]);
    }
    list.erase(list.begin() + std::ptrdiff_t(keep), list.end());
}

void ScanResult::removeNodes(const NodeIdSet& ids)
{
    std::vector<NodeRef> removed;
    if (!ids.empty()) {
        const PrefixFilter filter(ids);
        std::size_t keep = 0;
        for (std::size_t i = 0; i < m_allFiles.size(); ++i) {
            if (filter.mayContain(m_idPrefixes[i]) && ids.count(m_allFiles[i]->id())) {
                removed.push_back(std::move(m_allFiles[i]));
                continue;
            }
            if (keep != i) {
                m_allFiles[keep] = std::move(m_allFiles[i]);
                m_idPrefixes[keep] = m_idPrefixes[i];
            }
            ++keep;
        }
        m_allFiles.erase(m_allFiles.begin() + std::ptrdiff_t(keep), m_allFiles.end());
        m_idPrefixes.erase(m_idPrefixes.begin() + std::ptrdiff_t(keep), m_idPrefixes.end());
    }
    if (!removed.empty()) {
        // The largest files change only when one of them went: the others keep their places
        // and the next ones in file order move up.
        const bool topChanged =
            std::any_of(m_topFiles.begin(), m_topFiles.end(), [&](const NodeRef& n) {
                return std::any_of(removed.begin(), removed.end(),
                                   [&](const NodeRef& r) { return r == n; });
            });
        if (topChanged)
            m_topFiles = m_order.first(m_allFiles, kTopFileCount);

        std::array<std::vector<const FileNode*>, FileCategory::kCount> byCategory;
        for (const NodeRef& node : removed) {
            const FileCategory category = FileCategory::of(*node);
            byCategory[category.index()].push_back(node.get());
            auto stat = std::find_if(m_categoryStat.begin(), m_categoryStat.end(),
                                     [&](const CategoryStat& s) { return s.category == category; });
            if (stat != m_categoryStat.end()) {
                stat->totalSize -= node->fileSize();
                stat->fileCount -= 1;
            }
        }
        for (FileCategory category : FileCategory::allCases())
            if (!byCategory[category.index()].empty())
                removeFromCategory(category, byCategory[category.index()]);
        std::erase_if(m_categoryStat, [](const CategoryStat& s) { return s.fileCount <= 0; });
    }
    sortCategoryStat();
    readTotals();
}

std::vector<NodeRef> ScanResult::filesWithin(const std::vector<NodeRef>& nodes)
{
    std::vector<NodeRef> files;
    std::vector<const FileNode*> stack;
    for (const NodeRef& node : nodes) {
        if (!node->isDirectory()) {
            files.push_back(node);
            continue;
        }
        stack.push_back(node.get());
        while (!stack.empty()) {
            const FileNode* folder = stack.back();
            stack.pop_back();
            const FileNode::Children children = folder->children();
            // Pushed in reverse, so that folders are visited in order.
            for (std::size_t i = children.size(); i-- > 0;)
                if (children[i]->isDirectory())
                    stack.push_back(children[i]);
            for (const FileNode* child : children)
                if (!child->isDirectory())
                    files.emplace_back(child);
        }
    }
    return files;
}

void ScanResult::mergeIntoCategory(FileCategory category, std::vector<NodeRef> files)
{
    // Each new file goes after the files it ties with, found by binary search; then the list is
    // rebuilt in one pass of moves, without comparing the files in between.
    m_order.sort(files);
    std::vector<NodeRef>& list = m_filesByCategory[category.index()];
    m_hasEntry[category.index()] = true;
    if (!m_sorted[category.index()]) {
        // Not in order yet: at the end, after every file they may tie with.
        std::move(files.begin(), files.end(), std::back_inserter(list));
        return;
    }
    const auto after = [this](const NodeRef& a, const NodeRef& b) { return m_order.before(*a, *b); };
    std::vector<std::size_t> positions;
    positions.reserve(files.size());
    for (const NodeRef& file : files)
        positions.push_back(
            std::size_t(std::upper_bound(list.begin(), list.end(), file, after) - list.begin()));
    std::vector<NodeRef> merged;
    merged.reserve(list.size() + files.size());
    std::size_t from = 0;
    for (std::size_t i = 0; i < files.size(); ++i) {
        std::move(list.begin() + std::ptrdiff_t(from), list.begin() + std::ptrdiff_t(positions[i]),
                  std::back_inserter(merged));
        from = positions[i];
        merged.push_back(std::move(files[i]));
    }
    std::move(list.begin() + std::ptrdiff_t(from), list.end(), std::back_inserter(merged));
    list = std::move(merged);
}

void ScanResult::addToStat(FileCategory category, std::int64_t size, std::int64_t count)
{
    auto stat = std::find_if(m_categoryStat.begin(), m_categoryStat.end(),
                             [&](const CategoryStat& s) { return s.category == category; });
    if (stat == m_categoryStat.end())
        m_categoryStat.push_back({category, size, count});
    else {
        stat->totalSize += size;
        stat->fileCount += count;
    }
}

bool ScanResult::wouldEnterTop(const std::vector<NodeRef>& files) const
{
    if (m_topFiles.size() < kTopFileCount)
        return !files.empty();
    const FileNode& last = *m_topFiles.back();
    return std::any_of(files.begin(), files.end(),
                       [&](const NodeRef& file) { return m_order.before(*file, last); });
}

void ScanResult::addFiles(const std::vector<NodeRef>& files)
{
    std::array<std::vector<NodeRef>, FileCategory::kCount> byCategory;
    for (const NodeRef& file : files) {
        m_allFiles.push_back(file);
        m_idPrefixes.push_back(idPrefix(file->id()));
        const FileCategory category = FileCategory::of(*file);
        addToStat(category, file->fileSize(), 1);
        byCategory[category.index()].push_back(file);
    }
    for (FileCategory category : FileCategory::allCases())
        if (!byCategory[category.index()].empty())
            mergeIntoCategory(category, std::move(byCategory[category.index()]));
    if (wouldEnterTop(files))
        m_topFiles = m_order.first(m_allFiles, kTopFileCount);
    sortCategoryStat();
    readTotals();
}

void ScanResult::resizeFile(const NodeRef& file, std::int64_t size)
{
    if (file->isDirectory() || file->fileSize() == size)
        return;
    const FileCategory category = FileCategory::of(*file);
    const bool listed = m_hasEntry[category.index()] &&
                        std::find(m_filesByCategory[category.index()].begin(),
                                  m_filesByCategory[category.index()].end(),
                                  file) != m_filesByCategory[category.index()].end();
    const bool wasTop = std::find(m_topFiles.begin(), m_topFiles.end(), file) != m_topFiles.end();
    if (listed) {
        removeFromCategory(category, {file.get()});
        addToStat(category, size - file->fileSize(), 0);
    }
    file->setFileSize(size);
    if (listed)
        mergeIntoCategory(category, {file});
    if (wasTop || wouldEnterTop({file}))
        m_topFiles = m_order.first(m_allFiles, kTopFileCount);
    sortCategoryStat();
    readTotals();
}

} // namespace plenvo
