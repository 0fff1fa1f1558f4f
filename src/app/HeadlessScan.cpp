#include "HeadlessScan.h"

#include <signal.h>
#include <unistd.h>

#include <cstdio>

namespace plenvo {

namespace {

// Set once, before the handlers are installed; cancelling only stores to an atomic flag.
const CancellationToken* g_interrupt = nullptr;

void interrupt(int)
{
    if (g_interrupt)
        g_interrupt->cancel();
}

} // namespace

const CancellationToken& HeadlessScan::interruption()
{
    static const CancellationToken token = CancellationToken::create();
    static const bool installed = [] {
        g_interrupt = &token;
        struct sigaction action = {};
        action.sa_handler = interrupt;
        sigemptyset(&action.sa_mask);
        sigaction(SIGINT, &action, nullptr);
        sigaction(SIGTERM, &action, nullptr);
        return true;
    }();
    (void)installed;
    return token;
}

bool HeadlessScan::showsProgress()
{
    return ::isatty(STDERR_FILENO);
}

void HeadlessScan::fail(const QString& message)
{
    std::fprintf(stderr, "plenvo: %s\n", message.toLocal8Bit().constData());
}

DiskScanner::Outcome HeadlessScan::scan(const std::string& folder, const CancellationToken& token,
                                        std::optional<DeviceInode> leftOut)
{
    const bool showProgress = showsProgress();
    const auto progress = [&](const ScanProgress& p) {
        std::fprintf(stderr, "\r%lld files", static_cast<long long>(p.filesScanned()));
    };
    DiskScanner scanner;
    scanner.setLeftOut(leftOut);
    DiskScanner::Outcome outcome = scanner.scanNow(
        folder, showProgress ? DiskScanner::ProgressHandler(progress) : nullptr, token);
    if (showProgress)
        std::fputs("\r\033[K", stderr);
    return outcome;
}

DiskScanner::Outcome HeadlessScan::scan(const std::string& folder, int& exitCode,
                                        std::optional<DeviceInode> leftOut)
{
    DiskScanner::Outcome outcome = scan(folder, interruption(), leftOut);
    if (outcome.status == DiskScanner::Outcome::Status::cancelled) {
        fail(QStringLiteral("interrupted"));
        exitCode = kInterrupted;
    } else if (!outcome.root) {
        fail(outcome.error);
        exitCode = kFailed;
    }
    return outcome;
}

} // namespace plenvo
