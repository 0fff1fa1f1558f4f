#!/usr/bin/env bash
# Installs what is needed, builds everything and runs the whole test suite twice: once in a
# normal build and once built with AddressSanitizer and UndefinedBehaviorSanitizer; then the
# suites whose work crosses threads (the scanner, the application state, exports) once more,
# built with ThreadSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh test
jobs=$(nproc)

cmake -S . -B build-test -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build-test -j"$jobs"
(cd build-test && ctest --output-on-failure -j"$jobs")

cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DPLENVO_SANITIZE=ON -DPLENVO_BUILD_BENCH=OFF >/dev/null
cmake --build build-asan -j"$jobs"
(cd build-asan && ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
    UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 ctest --output-on-failure -j"$jobs")

cmake -S . -B build-tsan -DCMAKE_BUILD_TYPE=Debug -DPLENVO_SANITIZE_THREADS=ON -DPLENVO_BUILD_BENCH=OFF >/dev/null
cmake --build build-tsan -j"$jobs" --target tst_diskscanner tst_appstate tst_ncduexport
(cd build-tsan && TSAN_OPTIONS="die_after_fork=0 halt_on_error=1 suppressions=$PWD/../scripts/tsan.supp" \
    ctest --output-on-failure -j"$jobs" -R '^(tst_diskscanner|tst_appstate|tst_ncduexport)$')
