#!/usr/bin/env bash
# The guided tour: builds the programs, runs the real locker headless under Wine and saves a
# picture of every screen into docs/tour/ (the README shows them), then the lock window's
# screens one by one, taken inside one process (scripts/lock-screens.sh), into docs/screens/.
#
#   bash scripts/tour.sh [OUT_DIR]      pictures in OUT_DIR and OUT_DIR/screens instead
#
# Installs the Debian packages it needs, like the run and test commands. Takes a few minutes.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/scripts/lib/deps.sh"
orvo_install_packages "${ORVO_BUILD_PACKAGES[@]}" "${ORVO_TEST_PACKAGES[@]}"

build=${ORVO_BUILD_ROOT:-$root/build}/win64
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" >/dev/null
cmake --build "$build" -j "$(nproc)" --target OrvoPCLock.exe OrvoPCLockTool.exe orvo_driver.exe \
    orvo_lock_screen_shots.exe

out=${1:-$root/docs/tour}
mkdir -p "$out"
ORVO_SOURCE_DIR=$root ORVO_BUILD_DIR=$build TOUR_OUT=$(cd "$out" && pwd) \
    bash "$root/scripts/lib/tour-shots.sh"
screens=$([ $# -ge 1 ] && echo "$out/screens" || echo "$root/docs/screens")
bash "$root/scripts/lock-screens.sh" "$build" 1366x768 "$screens"
echo "The tour's pictures are in $out and $screens"
