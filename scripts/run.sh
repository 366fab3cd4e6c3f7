#!/usr/bin/env bash
# Builds Orvo PC Lock and starts it under Wine inside a Wine virtual desktop with a taskbar, so
# the notification-area icon is there to click. Uses the X display in DISPLAY when set,
# otherwise starts a private Xvfb display. The prefix is kept between runs, so the settings
# persist (override with ORVO_RUN_PREFIX).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/scripts/lib/deps.sh"
orvo_install_packages "${ORVO_BUILD_PACKAGES[@]}"
. "$root/scripts/lib/wine.sh"

build=${ORVO_BUILD_ROOT:-$root/build}/run
cmake -S "$root" -B "$build" -G Ninja -DORVO_BUILD_TESTS=OFF \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" >/dev/null
cmake --build "$build" -j "$(nproc)"

size=${ORVO_RUN_SIZE:-1366x768}
export WINEPREFIX=${ORVO_RUN_PREFIX:-${XDG_DATA_HOME:-$HOME/.local/share}/orvo-pc-lock/prefix}
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    mkdir -p "$(dirname "$WINEPREFIX")"
    cp -a "$(orvo_wine_template)" "$WINEPREFIX"
fi
xvfb_pid=""
if [ -z "${DISPLAY:-}" ]; then
    fd_file=$(mktemp)
    Xvfb -displayfd 3 -screen 0 "${size}x24" -nolisten tcp 3>"$fd_file" >/dev/null 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 1 100); do [ -s "$fd_file" ] && break; sleep 0.1; done
    export DISPLAY=":$(tr -d '\n' < "$fd_file")"
    rm -f "$fd_file"
    echo "No DISPLAY set: running headless on Xvfb $DISPLAY (screenshot: xwd -root -display $DISPLAY)"
fi
trap '[ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null; true' EXIT

wineserver -k 2>/dev/null || true
appdata="$WINEPREFIX/drive_c/users/$(whoami)/AppData/Roaming"
echo "Wine prefix:        $WINEPREFIX"
echo "Configuration file: $appdata/OrvoSoft/Orvo PC Lock/OrvoPLS.cfg"
echo "Program:            $build/OrvoPCLock.exe"
echo "Lock with Win+A or a click on the tray icon; exit from the tray icon's menu."

wine explorer "/desktop=shell,$size" "$(winepath -w "$build/OrvoPCLock.exe")" "$@"
wineserver -w
