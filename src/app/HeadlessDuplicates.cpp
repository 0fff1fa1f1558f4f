#include "HeadlessDuplicates.h"

#include "HeadlessScan.h"
#include "services/DuplicateFinder.h"
#include "services/HashCache.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace plenvo {

int HeadlessDuplicates::run(const std::string& folder)
{
    int exitCode = 0;
    const DiskScanner::Outcome scan = HeadlessScan::scan(folder, exitCode);
    if (!scan.root)
        return exitCode;

    DuplicateFinder finder(1024, 1048576);
    finder.setHashCacheFile(HashCache::defaultFile());
    const DuplicateCandidates files = finder.candidates(*scan.root, scan.facts.get());
    const bool showProgress = HeadlessScan::showsProgress();
    const auto progress = [](const DuplicateFinder::Progress& p) {
        if (p.kind() == DuplicateFinder::Progress::Kind::groupingBySize)
            std::fprintf(stderr, "\r\033[Kcomparing lengths: %lld files",
                         static_cast<long long>(p.filesProcessed()));
        else if (p.kind() == DuplicateFinder::Progress::Kind::hashing)
            std::fprintf(stderr, "\r\033[Kreading: %lld of %lld files",
                         static_cast<long long>(p.filesHashed()),
                         static_cast<long long>(p.totalToHash()));
    };
    const DuplicateFinder::Outcome outcome =
        finder.find(files, HeadlessScan::interruption(),
                    showProgress ? DuplicateFinder::ProgressHandler(progress) : nullptr);
    if (showProgress)
        std::fputs("\r\033[K", stderr);
    if (outcome.status == DuplicateFinder::Outcome::Status::cancelled) {
        HeadlessScan::fail(QStringLiteral("interrupted"));
        return HeadlessScan::kInterrupted;
    }

    for (const DuplicateFinder::ContentGroup& group : outcome.groups) {
        for (const DuplicateFinder::Member& member : group.members) {
            const std::string path = files.path(member.file);
            std::fwrite(path.data(), 1, path.size(), stdout);
            std::fputc('\n', stdout);
        }
        std::fputc('\n', stdout);
    }
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        HeadlessScan::fail(QStringLiteral("cannot write the groups: %1")
                               .arg(QString::fromLocal8Bit(std::strerror(errno))));
        return HeadlessScan::kFailed;
    }
    if (outcome.unreadable > 0)
        HeadlessScan::fail(
            QStringLiteral("%1 files could not be read and were left out").arg(outcome.unreadable));
    return 0;
}

} // namespace plenvo
