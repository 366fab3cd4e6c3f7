#!/usr/bin/env bash
# The guided tour: builds the programs, runs the real locker headless under Wine and saves a
# picture of every screen into docs/tour/ (the README shows them).
#
#   bash scripts/tour.sh [OUT_DIR]
#
# Installs the Debian packages it needs, like the run and test commands. Takes a few minutes.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/scripts/lib/deps.sh"
orvo_install_packages "${ORVO_BUILD_PACKAGES[@]}" "${ORVO_TEST_PACKAGES[@]}"

build=${ORVO_BUILD_ROOT:-$root/build}/win64
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" >/dev/null
cmake --build "$build" -j "$(nproc)" --target OrvoPCLock.exe OrvoPCLockTool.exe orvo_driver.exe

out=${1:-$root/docs/tour}
mkdir -p "$out"
ORVO_SOURCE_DIR=$root ORVO_BUILD_DIR=$build TOUR_OUT=$(cd "$out" && pwd) \
    bash "$root/scripts/lib/tour-shots.sh"
echo "The tour's pictures are in $out"
