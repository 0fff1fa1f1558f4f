#pragma once

#include "CategoryStat.h"
#include "FileCategory.h"
#include "FileNode.h"
#include "FileOrder.h"
#include "NodeFacts.h"

#include <QString>

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace plenvo {

// One finished (or stopped) scan: the tree and the statistics the views show without walking it
// again. Built once from a scanned root, on any thread (and told where it came from before
// anyone else sees it); afterwards changed only by removeNodes(), addFiles() and resizeFile(),
// and used on one thread (the user interface's), files() included.
class ScanResult {
public:
    static constexpr std::size_t kTopFileCount = 200;

    // `scanDate` in milliseconds since the Unix epoch; `rootPath` is the scanned location.
    ScanResult(NodeRef rootNode, std::int64_t scanDate, std::string rootPath);
    ~ScanResult();
    ScanResult(const ScanResult&) = delete;
    ScanResult& operator=(const ScanResult&) = delete;

    const NodeRef& rootNode() const { return m_rootNode; }
    std::int64_t scanDate() const { return m_scanDate; }
    const std::string& rootPath() const { return m_rootPath; }
    // For display (DisplayText): the root path, and its last component ("/" for the root).
    QString rootPathDisplay() const;
    QString rootName() const;

    // Where the tree came from: a scan made on this machine, or an export read from a file
    // (its location, raw bytes). The files of an opened result are not on this machine, or no
    // longer as they were: nothing may be done to them on its strength.
    bool isOpenedFromFile() const { return m_openedFrom.has_value(); }
    const std::optional<std::string>& openedFrom() const { return m_openedFrom; }
    void setOpenedFrom(std::string exportPath) { m_openedFrom = std::move(exportPath); }
    // The file name of openedFrom(), for display; empty for a scan made here.
    QString openedFromName() const;

    // Whether the scan was stopped before it read everything: its folders not read to the end
    // are marked (FileNode::isIncomplete()) and count what was read, at least.
    bool wasStopped() const { return m_stopped; }
    void setStopped(bool stopped) { m_stopped = stopped; }

    // What the tree does not keep (hard links, folders not entered ...), from the scan or the
    // export that built it, for writing the result out again; null when nothing is known.
    const std::shared_ptr<const NodeFacts>& facts() const { return m_facts; }
    void setFacts(std::shared_ptr<const NodeFacts> facts) { m_facts = std::move(facts); }

    // Every file of the tree (never folders), depth first, a folder's own files before those
    // of its subfolders.
    const std::vector<NodeRef>& allFiles() const { return m_allFiles; }
    std::int64_t totalSize() const { return m_totalSize; }
    std::int64_t totalFiles() const { return m_totalFiles; }
    std::int64_t totalDirectories() const { return m_totalDirectories; }
    // What the folders take themselves, beside totalSize(), which counts files only: with it,
    // what du counts.
    std::int64_t foldersOwnSize() const { return m_foldersOwnSize; }
    // One record per category with files, largest total first.
    const std::vector<CategoryStat>& categoryStat() const { return m_categoryStat; }
    // The largest files, at most kTopFileCount, in file order.
    const std::vector<NodeRef>& topFiles() const { return m_topFiles; }
    // The files of a category in file order; empty when the category had no files. A list is
    // put in order when it is first asked for (sorting every list would hold up the result
    // while only one is shown at a time), so the first call for a long list takes a moment.
    const std::vector<NodeRef>& files(FileCategory category) const;
    // Whether the category had files when the result was built (its list may be empty now).
    bool hasFilesEntry(FileCategory category) const { return m_hasEntry[category.index()]; }

    // Drops the files with these ids from every list and statistic, and re-reads the totals
    // from the root. The nodes must already be out of the tree. Ids of folders, or of nodes
    // that are not in the lists, match nothing.
    void removeNodes(const NodeIdSet& ids);
    // Counts again files that are back in the tree (put back from the Trash): they join every
    // list and statistic, after the files they tie with, and the totals are re-read.
    void addFiles(const std::vector<NodeRef>& files);
    // A file of the tree now counts `size` bytes (its space moved to it from another name of
    // the same file): its folders, the lists' order and the statistics follow.
    void resizeFile(const NodeRef& file, std::int64_t size);

    // The files of these subtrees (a file stands for itself), depth first.
    static std::vector<NodeRef> filesWithin(const std::vector<NodeRef>& nodes);

private:
    void readTotals();
    void collectFiles();
    void sortCategoryStat();
    void removeFromCategory(FileCategory category, const std::vector<const FileNode*>& nodes);
    void mergeIntoCategory(FileCategory category, std::vector<NodeRef> files);
    void addToStat(FileCategory category, std::int64_t size, std::int64_t count);
    bool wouldEnterTop(const std::vector<NodeRef>& files) const;

    NodeRef m_rootNode;
    std::int64_t m_scanDate;
    std::string m_rootPath;
    std::optional<std::string> m_openedFrom;
    bool m_stopped = false;
    std::shared_ptr<const NodeFacts> m_facts;
    FileOrder m_order;
    std::vector<NodeRef> m_allFiles;
    // The high half of each file's id, beside allFiles: removals find their files by scanning
    // this small array instead of visiting every node.
    std::vector<std::uint32_t> m_idPrefixes;
    std::int64_t m_totalSize = 0;
    std::int64_t m_totalFiles = 0;
    std::int64_t m_totalDirectories = 0;
    std::int64_t m_foldersOwnSize = 0;
    std::vector<CategoryStat> m_categoryStat;
    std::vector<NodeRef> m_topFiles;
    // Each category's files; in file order once m_sorted says so, before that in the order
    // of m_allFiles with files added since at the end (a stable sort then gives the order the
    // sorted list would have had: files added after the files they tie with).
    mutable std::array<std::vector<NodeRef>, FileCategory::kCount> m_filesByCategory;
    mutable std::array<bool, FileCategory::kCount> m_sorted{};
    std::array<bool, FileCategory::kCount> m_hasEntry{};
};

} // namespace plenvo
