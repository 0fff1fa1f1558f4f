#include "BenchModes.h"
#include "BenchSupport.h"

#include "models/ScanResult.h"
#include "services/DiskScanner.h"

#include <QDateTime>

#include <cstdio>

namespace plenvo::bench {

NodeRef scanTree(const std::string& dir)
{
    DiskScanner scanner;
    return scanner.scanNow(dir, {}).root;
}

std::vector<NodeRef> spreadFiles(const std::vector<NodeRef>& files, std::size_t count)
{
    std::vector<NodeRef> picked;
    if (files.empty())
        return picked;
    const std::size_t step = std::max<std::size_t>(1, files.size() / count);
    for (std::size_t i = step / 2; i < files.size() && picked.size() < count; i += step)
        picked.push_back(files[i]);
    return picked;
}

int resultMode(const std::string& dir)
{
    NodeRef root = scanTree(dir);
    if (!root)
        return 1;
    const std::int64_t heapBefore = heapBytes();
    auto start = std::chrono::steady_clock::now();
    ScanResult result(root, QDateTime::currentMSecsSinceEpoch(), dir);
    const double buildSeconds = secondsSince(start);
    const std::int64_t resultBytes = heapBytes() - heapBefore;
    const std::size_t files = result.allFiles().size();

    // A category's list is put in order when first asked for (the Categories view): the longest.
    FileCategory longest = FileCategory::other;
    std::int64_t most = 0;
    for (const CategoryStat& stat : result.categoryStat())
        if (stat.fileCount > most) {
            most = stat.fileCount;
            longest = stat.category;
        }
    start = std::chrono::steady_clock::now();
    result.files(longest);
    const double firstListSeconds = secondsSince(start);

    // Remove 200 files spread over the tree, detached first as a deletion does.
    const std::vector<NodeRef> victims = spreadFiles(result.allFiles(), 200);
    NodeIdSet ids;
    for (const NodeRef& node : victims) {
        if (FileNode* parent = node->parent())
            parent->removeChild(*node);
        ids.insert(node->id());
    }
    start = std::chrono::steady_clock::now();
    result.removeNodes(ids);
    const double removeSeconds = secondsSince(start);

    std::printf("{\"files\":%zu,\"build_seconds\":%.4f,\"longest_category_files\":%lld,"
                "\"longest_category_first_ask_seconds\":%.4f,\"remove200_seconds\":%.4f,"
                "\"result_bytes_per_file\":%.1f}\n",
                files, buildSeconds, static_cast<long long>(most), firstListSeconds,
                removeSeconds, files ? double(resultBytes) / double(files) : 0.0);
    return 0;
}

} // namespace plenvo::bench
