#!/usr/bin/env bash
# Builds the libFuzzer target for the reader of ncdu exports into build-fuzz/ (clang, with
# AddressSanitizer and UndefinedBehaviorSanitizer).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
out="$root/build-fuzz"
mkdir -p "$out"
src="$root/src/core"
# shellcheck disable=SC2046
nice clang++ -std=c++20 -O1 -g -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
    -I"$src" $(pkg-config --cflags Qt6Core) -fPIC \
    "$root/fuzz/ncdu_reader_fuzzer.cpp" \
    "$src/services/NcduReader.cpp" "$src/services/NcduWriter.cpp" \
    "$src/models/FileNode.cpp" "$src/models/NodeArena.cpp" \
    "$src/models/ScanProgress.cpp" "$src/utils/DisplayText.cpp" \
    $(pkg-config --libs Qt6Core) -lz -o "$out/ncdu_reader_fuzzer"
echo "$out/ncdu_reader_fuzzer"
