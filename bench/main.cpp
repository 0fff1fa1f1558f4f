// plenvo-bench: reproducible measurements of the scan engine.
//
//   plenvo-bench scan DIR [--threads N]
//                             scan DIR once on the scanner's thread, with N threads (else as
//                             the application chooses)
//   plenvo-bench result DIR   build the statistics of a scan of DIR, then remove 200 files
//   plenvo-bench state DIR [--real-trash]
//                             user-interface time of a batch of 200 moves to the Trash, of
//                             putting them back, and of a refresh that finds 200 files gone
//                             (nothing on disk is changed; with --real-trash the 200 files go to
//                             a private Trash beside DIR and come back)
//   plenvo-bench check DIR    time and peak memory of one look for files deleted since a scan
//                             of DIR (nothing on disk is changed)
//   plenvo-bench views DIR    user-interface time of building and drawing the views of a scan
//                             of DIR, and of their rebuild after 200 files are moved (nothing on
//                             disk is changed)
//   plenvo-bench import FILE  time and peak memory of reading an export in ncdu's JSON format
//   plenvo-bench diff OLD NEW time and extra peak memory of comparing an earlier scan (an export,
//                             read as it streams by, or a folder) with a current tree (an export
//                             or a folder, loaded first and not counted)
//   plenvo-bench history SCAN time on the user-interface thread and on the worker, and size on
//                             disk, of keeping a scan (an export or a folder) in the history (a
//                             temporary one)
//   plenvo-bench duplicates-view PAIRS BIG
//                             user-interface time of the Duplicates view over PAIRS groups of
//                             two copies and one group of BIG copies made in memory: building and
//                             drawing it, opening the large group, scrolling to the end, marking
//                             all copies but the newest, and its rows following 200 moves
//                             temporary one), alone and through the application's state
//   plenvo-bench changes OLD NEW
//                             the Changes view of NEW (an export or a folder) since OLD (an
//                             export): comparing, building the view, opening a folder, and
//                             following 200 moves to the Trash (nothing on disk is changed)
//   plenvo-bench stop DIR [--after MS] [--runs N]
//                             Stop pressed MS (1000) after a scan of DIR started, in a main window
//                             drawn off screen: the time until the partial result is the current
//                             one and drawn (median of N runs, 5), and what deriving its
//                             statistics alone takes
//   plenvo-bench duplicates DIR [--cache] [--readers N] [--disks spinning|solid]
//                             time, reads and peak memory of a search for duplicates in a scan
//                             of DIR (the search alone; nothing on disk is changed)

#include "BenchModes.h"

#include <QApplication>
#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>
#include <algorithm>
#include <cstdlib>
#include <cstring>

int main(int argc, char** argv)
{
    // Settings and kept scans of a folder of its own: the user's are never read or changed.
    QTemporaryDir home;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.path() + QStringLiteral("/config")));
    qputenv("XDG_STATE_HOME", QFile::encodeName(home.path() + QStringLiteral("/state")));
    const bool dupsView = argc == 4 && std::strcmp(argv[1], "duplicates-view") == 0;
    const bool changes = argc == 4 && std::strcmp(argv[1], "changes") == 0;
    const bool stop = argc >= 3 && std::strcmp(argv[1], "stop") == 0;
    if ((argc == 3 && std::strcmp(argv[1], "views") == 0) || dupsView || changes || stop) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        // The offscreen platform's notes on what it cannot do would bury the result line.
        qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
            if (type == QtCriticalMsg || type == QtFatalMsg)
                std::fprintf(stderr, "%s\n", qPrintable(text));
        });
        QApplication app(argc, argv);
        if (dupsView)
            return plenvo::bench::duplicatesViewMode(std::atoi(argv[2]), std::atoi(argv[3]));
        if (stop)
            return plenvo::bench::stopMode(argv[2], {argv + 3, argv + argc});
        return changes ? plenvo::bench::changesMode(argv[2], argv[3])
                       : plenvo::bench::viewsMode(argv[2]);
    }
    QCoreApplication app(argc, argv);
    if (argc == 3 && std::strcmp(argv[1], "scan") == 0)
        return plenvo::bench::scanMode(argv[2], 0);
    if (argc == 5 && std::strcmp(argv[1], "scan") == 0 && std::strcmp(argv[3], "--threads") == 0)
        return plenvo::bench::scanMode(argv[2], std::max(1, std::atoi(argv[4])));
    if (argc == 3 && std::strcmp(argv[1], "result") == 0)
        return plenvo::bench::resultMode(argv[2]);
    if ((argc == 3 || (argc == 4 && std::strcmp(argv[3], "--real-trash") == 0)) &&
        std::strcmp(argv[1], "state") == 0)
        return plenvo::bench::stateMode(argv[2], argc == 4);
    if (argc == 3 && std::strcmp(argv[1], "check") == 0)
        return plenvo::bench::checkMode(argv[2]);
    if (argc == 3 && std::strcmp(argv[1], "import") == 0)
        return plenvo::bench::importMode(argv[2]);
    if (argc == 4 && std::strcmp(argv[1], "diff") == 0)
        return plenvo::bench::diffMode(argv[2], argv[3]);
    if (argc == 3 && std::strcmp(argv[1], "history") == 0)
        return plenvo::bench::historyMode(argv[2]);
    if (argc >= 3 && std::strcmp(argv[1], "duplicates") == 0)
        return plenvo::bench::duplicatesMode(argv[2], {argv + 3, argv + argc});
    std::fprintf(stderr, "usage: plenvo-bench scan|result|state|check|views DIR, import FILE, "
                         "diff OLD NEW, history SCAN, duplicates-view PAIRS BIG, changes OLD "
                         "NEW, stop DIR [--after MS] [--runs N], or duplicates DIR [--cache] "
                         "[--readers N] [--disks spinning|solid]\n");
    return 2;
}
