#!/usr/bin/env bash
# Figures of the lock service under Wine on Xvfb (1366x768), printed, never failing because
# something is slow: the time from the hot key until the restrictions are in force, with the
# service and without it (the program's own writes), the median of five locks each; and the
# service's working set and CPU while no session is locked and while one is.
#
#   scripts/bench-service.sh                  builds build/win64 (setup included) and measures
#   ORVO_BENCH_CPU_SECONDS=10 scripts/bench-service.sh   shorter CPU windows (default 30 s)
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/scripts/lib/deps.sh"
orvo_install_packages "${ORVO_BUILD_PACKAGES[@]}" xcompmgr x11-apps imagemagick
cpu_seconds=${ORVO_BENCH_CPU_SECONDS:-30}
build=${ORVO_BUILD_ROOT:-$root/build}/win64
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" >/dev/null || exit 1
cmake --build "$build" -j "$(nproc)" --target OrvoPCLock orvo_driver installer >/dev/null || exit 1

export ORVO_BUILD_DIR=$build ORVO_SOURCE_DIR=$root WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
E2E_TIME_BOUND=900
E2E_DESKTOP=Default
. "$root/tests/e2e/lib.sh"

median() { sort -n | awk '{ v[NR] = $1 } END { if (NR) print v[int((NR + 1) / 2)]; else print "-" }'; }
# Five locks, each unlocked by the pattern before the next; the median time to the policies.
policy_times() {
    local path
    read -r -a path <<< "$(e2e_pattern_path)"
    for _ in 1 2 3 4 5; do
        e2e_field policies_after_ms hotkey-policy-time win+a 15000
        e2e_discover_lock_windows "$(e2e_field pid window-info "$E2E_LOCK_CLASS" -)" >/dev/null
        e2e_driver drag "${path[@]}" >/dev/null
        e2e_driver wait-no-window "$E2E_LOCK_CLASS" - 15000 visible >/dev/null
        sleep 1
    done | median
}
service_pid() { pgrep -f 'OrvoPCLockService\.exe' | head -n 1; }
# CPU of a Linux process over the window, in % of one core (user + system ticks from /proc).
cpu_percent() {
    local pid=$1 before after ticks
    ticks=$(getconf CLK_TCK)
    before=$(awk '{ print $14 + $15 }' "/proc/$pid/stat")
    sleep "$cpu_seconds"
    after=$(awk '{ print $14 + $15 }' "/proc/$pid/stat")
    awk -v d=$((after - before)) -v t="$ticks" -v s="$cpu_seconds" 'BEGIN { printf "%.3f %%\n", 100 * d / t / s }'
}
rss_mb() { awk '/VmRSS/ { printf "%.1f MB\n", $2 / 1024 }' "/proc/$1/status"; }

e2e_begin bench-service 1366x768 >/dev/null
e2e_hold_desktop
e2e_write_config --grid 0 --pattern 1,2 --effect 0
E2E_LOCKER='C:\Program Files\Orvo PC Lock\OrvoPCLock.exe'
wine "$(ls "$build"/OrvoPCLock-Setup-*.exe | head -n 1)" /S >/dev/null 2>&1
sleep 2
pid=$(service_pid)
echo "=== Lock service at 1366x768 (Wine $(wine --version 2>/dev/null), $(nproc) cores)"
e2e_start_locker || { echo "the installed program did not start"; exit 1; }
echo "hot key -> policies set, with the service: $(policy_times) ms (median of 5)"
echo "service, no session locked: RSS $(rss_mb "$pid"), CPU $(cpu_percent "$pid")"
e2e_driver hotkey win+a >/dev/null
e2e_wait_policies "1 1 1" 15000
echo "service, a session locked: RSS $(rss_mb "$pid"), CPU $(cpu_percent "$pid")"
read -r -a path <<< "$(e2e_pattern_path)"
e2e_discover_lock_windows "$(e2e_field pid window-info "$E2E_LOCK_CLASS" -)" >/dev/null
e2e_driver drag "${path[@]}" >/dev/null
e2e_driver wait-no-window "$E2E_LOCK_CLASS" - 15000 visible >/dev/null
sleep 1
wine sc stop OrvoPCLockService >/dev/null 2>&1
sleep 2
echo "hot key -> policies set, without the service: $(policy_times) ms (median of 5)"
e2e_end_session
