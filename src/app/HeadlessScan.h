#pragma once

#include "services/CancellationToken.h"
#include "services/DiskScanner.h"

#include <QString>

#include <optional>
#include <string>

namespace plenvo {

// What the commands that run without a display share: an interruption by Ctrl-C (SIGINT) or
// SIGTERM, a scan on the calling thread that shows its progress on a terminal, and messages.
class HeadlessScan {
public:
    HeadlessScan() = delete;

    // A token that SIGINT and SIGTERM cancel (the handlers are installed on the first call).
    static const CancellationToken& interruption();
    // Scans `folder` on the calling thread; the number of files met is shown on standard error
    // while it runs, when that is a terminal. `leftOut` (an export being written inside the
    // folder) is not part of the scan.
    static DiskScanner::Outcome scan(const std::string& folder, const CancellationToken& token,
                                     std::optional<DeviceInode> leftOut = std::nullopt);
    // "plenvo: MESSAGE" on standard error.
    static void fail(const QString& message);
};

} // namespace plenvo
