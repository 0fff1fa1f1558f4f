#!/usr/bin/env bash
# Fuzzes the reader for SECONDS (default 600) in one low-priority process, starting from
# fuzz/corpus. Inputs that crash go to fuzz/regressions/; new inputs collect in
# build-fuzz/corpus; at the end those that add coverage are merged into fuzz/corpus, where
# tst_ncduexport reads them (with fuzz/regressions) as regression inputs.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
seconds="${1:-600}"
fuzzer="$root/build-fuzz/ncdu_reader_fuzzer"
[ -x "$fuzzer" ] || "$root/fuzz/build.sh"
mkdir -p "$root/build-fuzz/corpus" "$root/fuzz/regressions"
nice -n 10 "$fuzzer" -max_total_time="$seconds" -dict="$root/fuzz/ncdu.dict" \
    -artifact_prefix="$root/fuzz/regressions/" -print_final_stats=1 \
    "$root/build-fuzz/corpus" "$root/fuzz/corpus" || true
# Adds to fuzz/corpus only the new inputs that reach code its inputs do not.
nice -n 10 "$fuzzer" -merge=1 "$root/fuzz/corpus" "$root/build-fuzz/corpus"
