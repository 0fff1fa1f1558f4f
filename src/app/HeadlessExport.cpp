#include "HeadlessExport.h"

#include "HeadlessScan.h"
#include "services/NcduWriter.h"

#include <ctime>

namespace plenvo {

int HeadlessExport::run(const std::string& out, const std::string& folder,
                        const std::string& programVersion)
{
    NcduWriter writer;
    if (!writer.open(out)) {
        HeadlessScan::fail(writer.error());
        return HeadlessScan::kFailed;
    }

    const std::int64_t startedAt = std::time(nullptr);
    int exitCode = 0;
    // The export's own unfinished file may lie in the scanned folder: it is not part of it.
    const DiskScanner::Outcome scan = HeadlessScan::scan(folder, exitCode, writer.fileIdentity());
    if (!scan.root)
        return exitCode;

    const NcduWriter::Options options{startedAt, programVersion};
    if (!writer.write(*scan.root, scan.facts.get(), options, HeadlessScan::interruption()) ||
        !writer.commit()) {
        if (writer.wasCancelled()) {
            HeadlessScan::fail(QStringLiteral("interrupted"));
            return HeadlessScan::kInterrupted;
        }
        HeadlessScan::fail(writer.error());
        return HeadlessScan::kFailed;
    }
    return 0;
}

} // namespace plenvo
