#include "HeadlessExport.h"

#include "HeadlessScan.h"
#include "services/NcduWriter.h"

#include <ctime>

namespace plenvo {

int HeadlessExport::run(const std::string& out, const std::string& folder,
                        const std::string& programVersion)
{
    const auto fail = HeadlessScan::fail;
    NcduWriter writer;
    if (!writer.open(out)) {
        fail(writer.error());
        return 2;
    }

    const CancellationToken& token = HeadlessScan::interruption();
    const std::int64_t startedAt = std::time(nullptr);
    const DiskScanner::Outcome scan = HeadlessScan::scan(folder, token, writer.fileIdentity());
    if (scan.status == DiskScanner::Outcome::Status::cancelled) {
        fail(QStringLiteral("interrupted"));
        return 130;
    }
    if (!scan.root) {
        fail(scan.error);
        return 2;
    }

    const NcduWriter::Options options{startedAt, programVersion};
    if (!writer.write(*scan.root, scan.facts.get(), options, token) || !writer.commit()) {
        if (writer.wasCancelled()) {
            fail(QStringLiteral("interrupted"));
            return 130;
        }
        fail(writer.error());
        return 2;
    }
    return 0;
}

} // namespace plenvo
