#!/usr/bin/env bash
# Takes pictures of the lock window's screens as the display shows them (with a compositing
# manager, so the per-pixel alpha blends over the cover) and saves them as OUT_DIR/*.png.
# scripts/tour.sh runs it.
#
#   scripts/lock-screens.sh [BUILD_DIR] [WxH] [OUT_DIR]
#
# BUILD_DIR is a 64-bit Windows build with orvo_lock_screen_shots (default build/win64);
# OUT_DIR defaults to docs/screens. The pictures come from the Xvfb frame buffer file: `xwd -root` reads the windows' own pixmaps under a
# compositing manager and shows per-pixel alpha over black.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build/win64}
size=${2:-1366x768}
out=${3:-$root/docs/screens}
. "$root/scripts/lib/wine.sh"

exe="$build/orvo_lock_screen_shots.exe"
[ -f "$exe" ] || { echo "build $exe first" >&2; exit 1; }
work=$(mktemp -d /tmp/orvo-screens.XXXXXX)
mkdir -p "$work/fb" "$work/shots"
cleanup() {
    [ -n "${WINEPREFIX:-}" ] && wineserver -k >/dev/null 2>&1 || true
    for pid in ${xcompmgr_pid:-} ${xvfb_pid:-}; do kill "$pid" 2>/dev/null || true; done
    rm -rf "$work"
}
trap cleanup EXIT

cp -a "$(orvo_wine_template)" "$work/prefix"
export WINEPREFIX="$work/prefix"
Xvfb -displayfd 3 -screen 0 "${size}x24" -fbdir "$work/fb" -nolisten tcp 3>"$work/display" >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 1 100); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=":$(tr -d '\n' < "$work/display")"
xcompmgr >/dev/null 2>&1 &
xcompmgr_pid=$!
sleep 0.5

ORVO_SHOT_DIR="$work/shots" ORVO_FRAMEBUFFER="$work/fb/Xvfb_screen0" WINEDEBUG=-all \
    wine "$exe" --gtest_filter='Tour.*'

mkdir -p "$out"
for shot in "$work"/shots/*.xwd; do
    name=$(basename "$shot" .xwd)
    convert "xwd:$shot" "$out/$name.png"
    echo "$out/$name.png"
done
