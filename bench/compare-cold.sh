#!/usr/bin/env bash
# Scans DIR alternately with `du -s` and `plenvo-bench scan` with the page cache dropped before
# every run (needs root), RUNS times each, and prints the median wall times and their ratio.
#   bench/compare-cold.sh DIR [RUNS] [PLENVO_BENCH] [THREADS]
# THREADS: what `plenvo-bench scan` walks with (default: as the application chooses).
set -euo pipefail
dir=$1
runs=${2:-3}
bench=${3:-build-release/bench/plenvo-bench}
threads=()
[ -n "${4:-}" ] && threads=(--threads "$4")
. "$(dirname "$0")/compare-common.sh"

drop() { sync; echo 3 >/proc/sys/vm/drop_caches; }

du_times=()
plenvo_times=()
for _ in $(seq "$runs"); do
    drop
    start=$(now)
    du -s "$dir" >/dev/null
    du_times+=("$(since "$start")")
    drop
    start=$(now)
    "$bench" scan "$dir" "${threads[@]}" >/dev/null
    plenvo_times+=("$(since "$start")")
done
du_median=$(median "${du_times[@]}")
plenvo_median=$(median "${plenvo_times[@]}")
echo "du -s cold: ${du_times[*]} (median ${du_median} s)"
echo "plenvo cold: ${plenvo_times[*]} (median ${plenvo_median} s)"
echo "ratio plenvo / du: $(ratio "$plenvo_median" "$du_median")"
