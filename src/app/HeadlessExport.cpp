#include "HeadlessExport.h"

#include "services/DiskScanner.h"
#include "services/NcduWriter.h"

#include <signal.h>
#include <unistd.h>

#include <cstdio>
#include <ctime>

namespace plenvo {

namespace {

// Set once, before the handlers are installed; cancelling only stores to an atomic flag.
const CancellationToken* g_interrupt = nullptr;

void interrupt(int)
{
    if (g_interrupt)
        g_interrupt->cancel();
}

void fail(const QString& message)
{
    std::fprintf(stderr, "plenvo: %s\n", message.toLocal8Bit().constData());
}

} // namespace

int HeadlessExport::run(const std::string& out, const std::string& folder,
                        const std::string& programVersion)
{
    NcduWriter writer;
    if (!writer.open(out)) {
        fail(writer.error());
        return 2;
    }

    static const CancellationToken token = CancellationToken::create();
    g_interrupt = &token;
    struct sigaction action = {};
    action.sa_handler = interrupt;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);

    const bool showProgress = ::isatty(STDERR_FILENO);
    const auto progress = [&](const ScanProgress& p) {
        std::fprintf(stderr, "\r%lld files", static_cast<long long>(p.filesScanned()));
    };
    const std::int64_t startedAt = std::time(nullptr);
    DiskScanner scanner;
    // The export's own unfinished file may lie in the scanned folder: it is not part of it.
    scanner.setLeftOut(writer.fileIdentity());
    const DiskScanner::Outcome scan = scanner.scanNow(
        folder, showProgress ? DiskScanner::ProgressHandler(progress) : nullptr, token);
    if (showProgress)
        std::fputs("\r\033[K", stderr);
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
