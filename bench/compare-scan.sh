#!/usr/bin/env bash
# Scans DIR alternately with `du -s` and `plenvo-bench scan`, warm cache, RUNS times each, and
# prints the median wall times and their ratio.
#   bench/compare-scan.sh DIR [RUNS] [PLENVO_BENCH] [THREADS]
# THREADS: what `plenvo-bench scan` walks with (default: as the application chooses).
set -euo pipefail
dir=$1
runs=${2:-5}
bench=${3:-build-release/bench/plenvo-bench}
threads=()
[ -n "${4:-}" ] && threads=(--threads "$4")
. "$(dirname "$0")/compare-common.sh"

du -s "$dir" >/dev/null # warm the cache
du_times=()
plenvo_times=()
for _ in $(seq "$runs"); do
    start=$(now)
    du -s "$dir" >/dev/null
    du_times+=("$(since "$start")")
    plenvo_times+=("$("$bench" scan "$dir" "${threads[@]}" | sed -E 's/.*"seconds":([0-9.]+).*/\1/')")
done
du_median=$(median "${du_times[@]}")
plenvo_median=$(median "${plenvo_times[@]}")
echo "du -s median: ${du_median} s"
echo "plenvo median: ${plenvo_median} s"
echo "ratio plenvo / du: $(ratio "$plenvo_median" "$du_median")"
"$bench" scan "$dir" "${threads[@]}"
