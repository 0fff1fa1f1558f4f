#pragma once

#include "models/DeviceInode.h"
#include "services/CancellationToken.h"
#include "services/DiskScanner.h"

#include <QString>

#include <optional>
#include <string>

namespace plenvo {

// What the commands that run without a display share: a scan of a folder on the calling thread,
// with the number of files met shown on standard error when that is a terminal; Ctrl-C (SIGINT)
// and SIGTERM cancel it and whatever follows; messages and exit statuses in one form.
class HeadlessScan {
public:
    HeadlessScan() = delete;

    static constexpr int kFailed = 2;
    static constexpr int kInterrupted = 130;

    // The request that SIGINT and SIGTERM cancel (the handlers are installed on first use).
    static const CancellationToken& interruption();
    // Scans `folder`, cancelled by `token`. `leftOut` (an export being written inside the
    // folder) is not part of the scan.
    static DiskScanner::Outcome scan(const std::string& folder, const CancellationToken& token,
                                     std::optional<DeviceInode> leftOut = std::nullopt);
    // Scans `folder`, cancelled by an interruption. When it ends without a tree, says why and
    // sets `exitCode`.
    static DiskScanner::Outcome scan(const std::string& folder, int& exitCode,
                                     std::optional<DeviceInode> leftOut = std::nullopt);
    // Whether standard error is a terminal, to show progress on.
    static bool showsProgress();
    // "plenvo: MESSAGE" on standard error.
    static void fail(const QString& message);
};

} // namespace plenvo
