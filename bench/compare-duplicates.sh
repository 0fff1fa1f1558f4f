#!/usr/bin/env bash
# Searches DIR for duplicates alternately with `jdupes -r -q` (wall time of the whole run) and
# `plenvo-bench duplicates` (the search alone, after its scan), RUNS times each, and prints the
# median times and their ratio. MODE: warm (default), cold (the page cache dropped before every
# run; needs root) or cache (plenvo with its hash cache, after one run that fills it; the cache
# lives in a scratch XDG_CACHE_HOME). It also checks that both find the same groups and wasted
# bytes as `jdupes -r -m` reports them.
#   bench/compare-duplicates.sh DIR [MODE] [RUNS] [PLENVO_BENCH]
set -euo pipefail
dir=$1
mode=${2:-warm}
runs=${3:-5}
bench=${4:-build-release/bench/plenvo-bench}
. "$(dirname "$0")/compare-common.sh"

drop() { if [ "$mode" = cold ]; then sync; echo 3 >/proc/sys/vm/drop_caches; fi; }
field() { sed -n "s/.*\"$1\":\([0-9.]*\).*/\1/p"; }

options=()
if [ "$mode" = cache ]; then
    XDG_CACHE_HOME=$(mktemp -d)
    export XDG_CACHE_HOME
    trap 'rm -rf "$XDG_CACHE_HOME"' EXIT
    options=(--cache)
    "$bench" duplicates "$dir" "${options[@]}" >/dev/null
    sleep 2.1 # files changed in the last 2 s are hashed again next time; let the tree settle
    "$bench" duplicates "$dir" "${options[@]}" >/dev/null
fi

jdupes_times=()
plenvo_times=()
line=
for _ in $(seq "$runs"); do
    drop
    start=$(now)
    jdupes -r -q "$dir" >/dev/null
    jdupes_times+=("$(since "$start")")
    drop
    line=$("$bench" duplicates "$dir" "${options[@]}")
    plenvo_times+=("$(echo "$line" | field seconds)")
done
jdupes_median=$(median "${jdupes_times[@]}")
plenvo_median=$(median "${plenvo_times[@]}")
echo "last plenvo run: $line"
echo "jdupes -r -m: $(jdupes -r -m "$dir" | tail -1)"
echo "jdupes -r -q $mode: ${jdupes_times[*]} (median ${jdupes_median} s)"
echo "plenvo search $mode: ${plenvo_times[*]} (median ${plenvo_median} s)"
echo "ratio plenvo / jdupes: $(ratio "$plenvo_median" "$jdupes_median")"
