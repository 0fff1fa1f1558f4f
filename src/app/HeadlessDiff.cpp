#include "HeadlessDiff.h"

#include "HeadlessScan.h"
#include "services/NcduReader.h"
#include "services/NcduWriter.h"
#include "services/ScanComparer.h"
#include "utils/DisplayText.h"
#include "utils/FormatUtils.h"

#include <QDateTime>

#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <optional>

namespace plenvo {

namespace {

using Kind = ScanComparison::Kind;
constexpr int kInterrupted = 130;
constexpr int kFailed = 2;

const char* kindName(Kind kind)
{
    switch (kind) {
    case Kind::grown:
        return "grown";
    case Kind::shrunk:
        return "shrunk";
    case Kind::unchanged:
        return "unchanged";
    case Kind::appeared:
        return "new";
    case Kind::gone:
        return "gone";
    case Kind::moved:
        return "moved";
    }
    return "";
}

bool isFolder(const std::string& path)
{
    struct stat info;
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

std::string bytes(std::int64_t size)
{
    return FormatUtils::formatBytesCompact(size).toStdString();
}

std::string signedBytes(std::int64_t change)
{
    if (change == 0)
        return "0 B";
    const std::string magnitude =
        bytes(change < 0 ? (change == INT64_MIN ? INT64_MAX : -change) : change);
    return (change < 0 ? "-" : "+") + magnitude;
}

std::string dateText(std::optional<std::int64_t> milliseconds)
{
    if (!milliseconds)
        return "date unknown";
    return QDateTime::fromMSecsSinceEpoch(*milliseconds)
        .toString(QStringLiteral("yyyy-MM-dd HH:mm"))
        .toStdString();
}

std::string json(std::string_view text)
{
    std::string out;
    NcduWriter::appendJsonString(out, text);
    return out;
}

void print(const std::string& text)
{
    std::fwrite(text.data(), 1, text.size(), stdout);
}

// A scan to compare: a folder scanned now or a saved scan read whole. 0, or the exit status.
int load(const std::string& path, const CancellationToken& token, ScanTree& tree)
{
    if (isFolder(path)) {
        const DiskScanner::Outcome scan = HeadlessScan::scan(path, token);
        if (scan.status == DiskScanner::Outcome::Status::cancelled)
            return kInterrupted;
        if (!scan.root) {
            HeadlessScan::fail(scan.error);
            return kFailed;
        }
        tree = {scan.root, scan.facts, path, QDateTime::currentMSecsSinceEpoch()};
        return 0;
    }
    const NcduReader::Outcome read = NcduReader::readFile(path, {}, token);
    if (read.status == NcduReader::Outcome::Status::cancelled)
        return kInterrupted;
    if (!read.root) {
        HeadlessScan::fail(
            QStringLiteral("%1: %2").arg(DisplayText::fromBytes(path), read.error.message()));
        return kFailed;
    }
    // An export that does not say when it was made was made by the time it was written.
    struct stat info;
    const std::int64_t written =
        ::stat(path.c_str(), &info) == 0 ? std::int64_t(info.st_mtime) * 1000 : 0;
    tree = {read.root, read.facts, read.rootPath, read.scanDate.value_or(written)};
    return 0;
}

std::string tallyText(const char* what, const ScanComparison::Tally& tally)
{
    return std::string(what) + ' ' + bytes(tally.bytes) + " in " + std::to_string(tally.files) +
           (tally.files == 1 ? " file" : " files");
}

void printTable(const ScanComparison& comparison, const std::vector<ScanComparison::Index>& shown,
                std::size_t total)
{
    const ScanComparison::Summary& s = comparison.summary();
    std::string out;
    out += "Earlier: " + s.oldRootPath + ", " + dateText(s.oldScanDate) + ", " + bytes(s.oldTotal) +
           " in " + std::to_string(s.oldFiles) + " files\n";
    out += "Now:     " + s.newRootPath + ", " + dateText(s.newScanDate) + ", " + bytes(s.newTotal) +
           " in " + std::to_string(s.newFiles) + " files\n";
    out += "Change:  " + signedBytes(s.netChange()) + ": " + tallyText("grown", s.grown) + ", " +
           tallyText("shrunk", s.shrunk) + ", " + tallyText("new", s.appeared) + ", " +
           tallyText("gone", s.gone) + "; " + std::to_string(s.movedFolders) +
           (s.movedFolders == 1 ? " folder moved\n" : " folders moved\n");
    if (!shown.empty()) {
        std::vector<std::string> changes;
        std::size_t width = 6; // "CHANGE"
        for (const ScanComparison::Index i : shown) {
            changes.push_back(signedBytes(comparison.item(i).change));
            width = std::max(width, changes.back().size());
        }
        out += '\n' + std::string(width - 6, ' ') + "CHANGE  KIND    PATH\n";
        for (std::size_t n = 0; n < shown.size(); ++n) {
            const ScanComparison::Item& item = comparison.item(shown[n]);
            std::string kind = kindName(item.kind);
            kind.resize(6, ' ');
            out += std::string(width - changes[n].size(), ' ') + changes[n] + "  " + kind + "  " +
                   comparison.path(shown[n]);
            if (item.kind == Kind::moved)
                out += " (from " + comparison.oldPath(shown[n]) + ')';
            out += '\n';
        }
    }
    if (shown.size() < total)
        out += "... and " + std::to_string(total - shown.size()) +
               " more (--limit 0 shows them all)\n";
    print(out);
}

void printJson(const ScanComparison& comparison, const std::vector<ScanComparison::Index>& shown,
               std::size_t total)
{
    const ScanComparison::Summary& s = comparison.summary();
    const auto tally = [](const ScanComparison::Tally& t) {
        return "{\"bytes\":" + std::to_string(t.bytes) + ",\"files\":" + std::to_string(t.files) +
               '}';
    };
    std::string out =
        "{\"kind\":\"summary\",\"old_path\":" + json(s.oldRootPath) +
        ",\"old_date\":" + (s.oldScanDate ? std::to_string(*s.oldScanDate) : std::string("null")) +
        ",\"old_size\":" + std::to_string(s.oldTotal) +
        ",\"old_files\":" + std::to_string(s.oldFiles) + ",\"new_path\":" + json(s.newRootPath) +
        ",\"new_date\":" + std::to_string(s.newScanDate) +
        ",\"new_size\":" + std::to_string(s.newTotal) +
        ",\"new_files\":" + std::to_string(s.newFiles) +
        ",\"change\":" + std::to_string(s.netChange()) + ",\"grown\":" + tally(s.grown) +
        ",\"shrunk\":" + tally(s.shrunk) + ",\"new\":" + tally(s.appeared) +
        ",\"gone\":" + tally(s.gone) + ",\"moved\":" + std::to_string(s.movedFolders) +
        ",\"changes\":" + std::to_string(total) + "}\n";
    for (const ScanComparison::Index i : shown) {
        const ScanComparison::Item& item = comparison.item(i);
        out += "{\"change\":" + std::to_string(item.change) + ",\"kind\":\"" + kindName(item.kind) +
               "\",\"path\":" + json(comparison.path(i));
        if (item.kind == Kind::moved)
            out += ",\"old_path\":" + json(comparison.oldPath(i));
        out += ",\"old_size\":" + std::to_string(item.oldSize) +
               ",\"new_size\":" + std::to_string(item.newSize) +
               ",\"folder\":" + (item.isDirectory ? "true" : "false") + "}\n";
    }
    print(out);
}

} // namespace

int HeadlessDiff::run(const std::string& earlier, const std::string& current, std::size_t limit,
                      bool asJson)
{
    const CancellationToken& token = HeadlessScan::interruption();
    ScanTree now;
    if (const int status = load(current, token, now)) {
        if (status == kInterrupted)
            HeadlessScan::fail(QStringLiteral("interrupted"));
        return status;
    }
    ScanComparer::Outcome outcome;
    if (isFolder(earlier)) {
        ScanTree before;
        if (const int status = load(earlier, token, before)) {
            if (status == kInterrupted)
                HeadlessScan::fail(QStringLiteral("interrupted"));
            return status;
        }
        outcome = ScanComparer::compareTrees(before, now, token);
    } else {
        outcome = ScanComparer::compareWithExport(earlier, now, {}, token);
    }
    if (outcome.status == ScanComparer::Outcome::Status::cancelled) {
        HeadlessScan::fail(QStringLiteral("interrupted"));
        return kInterrupted;
    }
    if (!outcome.comparison) {
        HeadlessScan::fail(
            QStringLiteral("%1: %2").arg(DisplayText::fromBytes(earlier), outcome.error.message()));
        return kFailed;
    }
    const ScanComparison& comparison = *outcome.comparison;
    const std::vector<ScanComparison::Index> all = comparison.largestChanges();
    const std::vector<ScanComparison::Index> shown(
        all.begin(),
        all.begin() + std::ptrdiff_t(limit == 0 ? all.size() : std::min(limit, all.size())));
    if (asJson)
        printJson(comparison, shown, all.size());
    else
        printTable(comparison, shown, all.size());
    return std::fflush(stdout) == 0 ? 0 : kFailed;
}

} // namespace plenvo
