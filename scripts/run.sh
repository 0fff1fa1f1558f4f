#!/usr/bin/env bash
# Installs what is needed, builds a Release build and starts Plenvo. Arguments go to plenvo
# (for example a folder to scan at once).
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh run
cmake -S . -B build-release -DCMAKE_BUILD_TYPE=Release -DPLENVO_BUILD_TESTS=OFF >/dev/null
cmake --build build-release -j"$(nproc)"

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "Built build-release/src/app/plenvo, but there is no display to show it on." >&2
    echo "Run it from a graphical session." >&2
    exit 1
fi
exec build-release/src/app/plenvo "$@"
