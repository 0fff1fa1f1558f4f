// plenvo-bench: reproducible measurements of the scan engine.
//
//   plenvo-bench scan DIR     scan DIR once on the scanner's thread
//   plenvo-bench result DIR   build the statistics of a scan of DIR, then remove 200 files

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
    std::fprintf(stderr, "usage: plenvo-bench scan|result DIR\n");
    return 2;
}
