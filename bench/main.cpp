// plenvo-bench: reproducible measurements of the scan engine.
//
//   plenvo-bench scan DIR     scan DIR once on the scanner's thread
//   plenvo-bench result DIR   build the statistics of a scan of DIR, then remove 200 files
//   plenvo-bench state DIR    user-interface time of a batch of 200 moves to the Trash and of a
//                             refresh that finds 200 files gone (nothing on disk is changed)

#include "BenchModes.h"

#include <QCoreApplication>

#include <cstdio>
#include <cstring>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc == 3 && std::strcmp(argv[1], "scan") == 0)
        return plenvo::bench::scanMode(argv[2]);
    if (argc == 3 && std::strcmp(argv[1], "result") == 0)
        return plenvo::bench::resultMode(argv[2]);
    if (argc == 3 && std::strcmp(argv[1], "state") == 0)
        return plenvo::bench::stateMode(argv[2]);
    std::fprintf(stderr, "usage: plenvo-bench scan|result|state DIR\n");
    return 2;
}
