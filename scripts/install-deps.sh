#!/usr/bin/env bash
# Installs the Debian 12 packages Plenvo needs, skipping those already installed.
#   scripts/install-deps.sh run    to build and run the application
#   scripts/install-deps.sh test   to build and run the tests as well
set -euo pipefail

build=(cmake make g++ pkg-config qt6-base-dev qt6-svg-dev qt6-tools-dev qt6-l10n-tools
       libglib2.0-dev zlib1g-dev libxxhash-dev)
# A font with CJK glyphs: the Chinese texts render as empty boxes without one.
run=(fonts-wqy-microhei)
# A real X server for the end-to-end test, the validators of the desktop files, the programs
# whose export files are read and written (round trips), and a D-Bus daemon for the buses the
# tests start of their own (a desktop portal faked on one).
test=(xvfb xauth x11-utils desktop-file-utils appstream ncdu gdu dbus-daemon)

packages=("${build[@]}" "${run[@]}")
if [ "${1:-run}" = test ]; then
    packages+=("${test[@]}")
fi

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done
if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi

sudo=()
if [ "$(id -u)" -ne 0 ]; then
    sudo=(sudo)
fi
echo "Installing: ${missing[*]}"
"${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -qq
"${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
