#!/usr/bin/env bash
# Exports DIR with `plenvo --export` RUNS times with each of 1, 2 and 16 threads and checks that
# every export is the same, byte for byte, apart from the time it was made.
#   bench/check-determinism.sh DIR [RUNS] [PLENVO]
set -euo pipefail
dir=$1
runs=${2:-20}
plenvo=${3:-build-release/src/app/plenvo}
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

declare -A sums
for run in $(seq "$runs"); do
    for threads in 1 2 16; do
        "$plenvo" --threads "$threads" --export "$out/scan.json" "$dir"
        sum=$(sed -E 's/"timestamp":[0-9]+//' "$out/scan.json" | sha256sum | cut -c1-16)
        sums[$sum]+=" $threads/$run"
    done
done
echo "exports: $((runs * 3)), distinct: ${#sums[@]}"
for sum in "${!sums[@]}"; do
    echo "$sum:$(echo "${sums[$sum]}" | wc -w) exports"
done
[ "${#sums[@]}" -eq 1 ]
