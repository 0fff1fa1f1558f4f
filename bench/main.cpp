// plenvo-bench: reproducible measurements of the scan engine.
//
//   plenvo-bench scan DIR     scan DIR once on the scanner's thread

#include "BenchModes.h"

#include <QCoreApplication>

#include <cstdio>
#include <cstring>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc == 3 && std::strcmp(argv[1], "scan") == 0)
        return plenvo::bench::scanMode(argv[2]);
    std::fprintf(stderr, "usage: plenvo-bench scan DIR\n");
    return 2;
}
