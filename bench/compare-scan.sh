#!/usr/bin/env bash
# Scans DIR alternately with `du -s` and `plenvo-bench scan`, warm cache, RUNS times each, and
# prints the median wall times and their ratio.
#   bench/compare-scan.sh DIR [RUNS] [PLENVO_BENCH]
set -euo pipefail
dir=$1
runs=${2:-5}
bench=${3:-build-release/bench/plenvo-bench}

du -s "$dir" >/dev/null # warm the cache
du_times=()
plenvo_times=()
for _ in $(seq "$runs"); do
    start=$(date +%s.%N)
    du -s "$dir" >/dev/null
    du_times+=("$(awk -v a="$(date +%s.%N)" -v b="$start" 'BEGIN {printf "%.3f", a - b}')")
    plenvo_times+=("$("$bench" scan "$dir" | sed -E 's/.*"seconds":([0-9.]+).*/\1/')")
done
median() { printf '%s\n' "$@" | sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }
du_median=$(median "${du_times[@]}")
plenvo_median=$(median "${plenvo_times[@]}")
echo "du -s median: ${du_median} s"
echo "plenvo median: ${plenvo_median} s"
echo "ratio plenvo / du: $(awk -v a="$plenvo_median" -v b="$du_median" 'BEGIN {printf "%.3f", a / b}')"
"$bench" scan "$dir"
