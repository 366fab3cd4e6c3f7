#!/usr/bin/env bash
# Measures Orvo PC Lock under Wine on Xvfb at 1366x768, 1920x1080 and 3840x2160 and prints the
# figures, each time in milliseconds also as a multiple of F (one full-screen present, measured
# at the same size in the same run);
# never fails because something is slow. Writes them, with a description of the machine, to
# docs/performance.md (ORVO_BENCH_DOC=path to write elsewhere, or "" not to write).
#
#   scripts/bench.sh                 everything (about 45 minutes, most of it the soak)
#   ORVO_BENCH_CYCLES=20 scripts/bench.sh   a shorter soak at 1920x1080 (default 100 cycles)
#   ORVO_BENCH_SOAK_CYCLES=200 ...   a shorter soak at 1366x768 (default 1000 cycles)
#   ORVO_BENCH_CPU_SECONDS=10 ...    shorter CPU windows (default 60 s unlocked and 60 s locked)
#   ORVO_BENCH_BUILD=build/win64 ... bench that cross build instead of making build/bench
#   ORVO_BENCH_ONLY=foreground ...   only the CPU while locked at 1920x1080, idle and while another
#                                    process takes the foreground every 100 ms (no document written)
#   ORVO_BENCH_ONLY=memory ...       only memory after start, while locked and after an unlock, the
#                                    CPU unlocked and hot key to cover, at every size (no document)
#   ORVO_BENCH_ONLY=startup ...      only the start-up times, the lock program's and an empty
#                                    program's, at every size (no document written)
#   ORVO_BENCH_QUICK=1 ...           only the presents, the drawing bench and hot key to covered
#                                    screen, at every size (a few minutes; no document written)
#   ORVO_BENCH_SIZES="1920x1080" ... other screen sizes
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/scripts/lib/deps.sh"
orvo_install_packages "${ORVO_BUILD_PACKAGES[@]}" xcompmgr x11-apps imagemagick

build=${ORVO_BENCH_BUILD:-${ORVO_BUILD_ROOT:-$root/build}/bench}   # an existing cross build also does
cycles=${ORVO_BENCH_CYCLES:-100}
soak_cycles=${ORVO_BENCH_SOAK_CYCLES:-1000}
cpu_seconds=${ORVO_BENCH_CPU_SECONDS:-60}
doc=${ORVO_BENCH_DOC-$root/docs/performance.md}
only=${ORVO_BENCH_ONLY:-}
quick=${ORVO_BENCH_QUICK:-}
sizes=${ORVO_BENCH_SIZES:-1366x768 1920x1080 3840x2160}
[ -n "$quick" ] && doc=""
targets=(OrvoPCLock orvo_driver orvo_ulw_bench orvo_empty_program win_SoakTest)
if [ -n "$only" ]; then targets=(OrvoPCLock orvo_driver orvo_empty_program); doc=""; fi
if [ -n "$quick" ]; then targets=(OrvoPCLock orvo_driver orvo_ulw_bench); fi

echo "=== Build ($build)"
cmake -S "$root" -B "$build" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" >/dev/null || exit 1
cmake --build "$build" -j "$(nproc)" --target "${targets[@]}" || exit 1
if [ -z "$only" ] && cmake --build "$build" --target help 2>/dev/null | grep -q orvo_draw_bench; then
    cmake --build "$build" -j "$(nproc)" --target orvo_draw_bench || exit 1
fi

# The scenario helpers give the session, the desktop, the driver and the locker; no time bound.
export E2E_BOUNDED=1 ORVO_BUILD_DIR=$build ORVO_SOURCE_DIR=$root
. "$root/tests/e2e/lib.sh"
trap - TERM INT

results=$build/bench-results.txt
: > "$results"
F=""
figure() {   # figure SIZE NAME VALUE [NOTE]; a value in ms is also given as a multiple of F
    local ratio=""
    case $3 in
        *" ms") [ -n "$F" ] && [ "$2" != "UpdateLayeredWindow of a full frame (F)" ] &&
            ratio=$(awk -v v="${3% ms}" -v f="$F" 'BEGIN { if (f > 0 && v + 0 == v) printf " = %.2f F", v / f }') ;;
    esac
    printf '%-10s %-48s %s\n' "$1" "$2" "$3$ratio${4:+  ($4)}" | tee -a "$results"
}

# CPU seconds (user + system) of a Unix process so far.
cpu_seconds_of() {
    awk -v hz="$(getconf CLK_TCK)" '{ printf "%.2f", ($14 + $15) / hz }' "/proc/$1/stat" 2>/dev/null || echo 0
}

median() { sort -n | awk '{ v[NR] = $1 } END { if (NR) print v[int((NR + 1) / 2)]; else print "n/a" }'; }

# Wine answers 0 for the handle and GDI counts of GetProcessHandleCount and GetGuiResources;
# the driver's resource-counts takes them from the system handle list and the process's GDI
# table instead, and the committed private memory from PagefileUsage (see ProcessCounts.h).
mb() { awk -v b="$1" 'BEGIN { if (b > 0) printf "%.1f MB", b / 1048576; else print "n/a" }'; }

resources() {   # resources SIZE WHEN
    local stats counts private
    stats=$(e2e_driver process-stats "$(e2e_locker_winpid)" 2>&1)
    counts=$(e2e_driver resource-counts "$(e2e_locker_winpid)" 2>&1)
    private=$(awk '/^Private_(Clean|Dirty):/ { kb += $2 } END { if (kb) printf "%.1f MB", kb / 1024 }' \
        "/proc/$E2E_LOCKER_PID/smaps_rollup" 2>/dev/null)
    figure "$1" "private memory of the Wine process, $2" "${private:-n/a}" "/proc smaps_rollup"
    figure "$1" "committed private bytes, $2" "$(mb "$(echo "$counts" | sed -n 's/^private_bytes=//p')")"
    figure "$1" "working set, $2" "$(echo "$stats" | sed -n 's/^working_set=//p' | awk '{ printf "%.1f MB", $1 / 1048576 }')"
    figure "$1" "handles, $2" "$(echo "$counts" | sed -n 's/^handles=//p')"
    figure "$1" "GDI objects, $2" "$(echo "$counts" | sed -n 's/^gdi_objects=//p')"
}

# Start-up: from CreateProcess of OrvoPCLock.exe (by the driver, inside Wine) until its ready
# window exists (the hidden tray owner window, "Orvo PC Lock Tray"), and the same for the
# smallest Win32 program with a window (tests/bench/EmptyProgram.cpp), started the same way.
startup_time() {   # startup_time SIZE
    local out empty locker
    out=$(e2e_driver start-time "$(winepath -w "$E2E_LOCKER")" "$E2E_READY_CLASS" "$E2E_READY_TITLE" 30000 7 2>&1)
    locker=$(echo "$out" | sed -n 's/^median_ms=\([0-9]*\).*/\1/p')
    figure "$1" "start-up to the ready window ($E2E_READY_CLASS/$E2E_READY_TITLE)" "$locker ms" \
        "median of 7, $(echo "$out" | sed -n 's/^median_ms=[0-9]* \(.*\)/\1/p'); wineserver running"
    [ -f "$build/orvo_empty_program.exe" ] || return 0
    out=$(e2e_driver start-time "$(winepath -w "$build/orvo_empty_program.exe")" OrvoEmptyProgram - 30000 7 2>&1)
    empty=$(echo "$out" | sed -n 's/^median_ms=\([0-9]*\).*/\1/p')
    figure "$1" "start-up of an empty Win32 program, the same way" "$empty ms" \
        "median of 7, $(echo "$out" | sed -n 's/^median_ms=[0-9]* \(.*\)/\1/p'); the lock program takes $((${locker:-0} - ${empty:-0})) ms more"
}

# The soak: lock cycles through the real pattern entry, with the counts at cycle 0, 100 and
# the last. The first three cycles are left out of the base: what they create lives on.
soak() {   # soak SIZE CYCLES PATTERN-POINTS...
    local size=$1 count=$2 out line n
    shift 2
    E2E_STEP_TIMEOUT=60 e2e_driver soak 3 "$(e2e_locker_winpid)" "$E2E_LOCK_CLASS" "$E2E_COVER_CLASS" 15000 0 "$@" >/dev/null
    out=$(E2E_STEP_TIMEOUT=$((count * 15 + 60)) e2e_driver soak "$count" "$(e2e_locker_winpid)" \
        "$E2E_LOCK_CLASS" "$E2E_COVER_CLASS" 15000 "0,100,$count" "$@" 2>&1)
    for n in $(printf '%s\n' 0 100 "$count" | sort -nu); do
        line=$(echo "$out" | grep "^cycle=$n ")
        [ -n "$line" ] || continue
        figure "$size" "soak, cycle $n: handles / GDI objects / private" \
            "$(echo "$line" | sed -n 's/.*handles=\([0-9-]*\).*/\1/p') / $(echo "$line" | sed -n 's/.*gdi_objects=\([0-9-]*\).*/\1/p') / $(mb "$(echo "$line" | sed -n 's/.*private_bytes=\([0-9-]*\).*/\1/p')")" \
            "after $(echo "$line" | sed -n 's/.*elapsed_s=\([0-9.]*\).*/\1/p') s"
    done
    line=$(echo "$out" | tail -n 1)
    figure "$size" "soak of $count lock/unlock cycles" "$line" \
        "$(echo "$line" | awk -F'[= ]' '/^cycles=/ { printf "%.2f s a cycle, ", $4 / $2 }')Effect 0, pattern of 2 points"
}

# The same cycles without the pattern entry: LockComputer both ways in one process with the
# program's windows (tests/win/SoakTest.cpp), counted from inside.
inprocess_soak() {   # inprocess_soak SIZE
    local out
    out=$(ORVO_SOAK_CYCLES=$soak_cycles timeout 1800 wine "$build/win_SoakTest.exe" 2>&1)
    echo "$out" | sed -n 's/^soak cycle=\([0-9]*\) handles=\([0-9-]*\) gdi_objects=\([0-9-]*\) private_bytes=\([0-9-]*\).*/\1 \2 \3 \4/p' |
        while read -r n h g p; do
            case $n in 10|100|"$soak_cycles") figure "$1" "in-process LockComputer soak, cycle $n: handles / GDI / private" "$h / $g / $(mb "$p")" ;; esac
        done
    figure "$1" "in-process LockComputer soak" "$(echo "$out" | sed -n 's/^soak \([0-9]* cycles in .*\)/\1/p')" \
        "$(echo "$out" | grep -q '^\[  PASSED' && echo "test passed" || echo "test FAILED")"
}

cpu_window() {   # cpu_window SIZE WHAT
    local before after server_before server_after server
    server=$(pgrep -n -f "wineserver" || true)
    before=$(cpu_seconds_of "$E2E_LOCKER_PID")
    server_before=$([ -n "$server" ] && cpu_seconds_of "$server" || echo 0)
    sleep "$cpu_seconds"
    after=$(cpu_seconds_of "$E2E_LOCKER_PID")
    server_after=$([ -n "$server" ] && cpu_seconds_of "$server" || echo 0)
    figure "$1" "CPU of the program, $2" \
        "$(awk -v a="$before" -v b="$after" -v s="$cpu_seconds" 'BEGIN { printf "%.2f %% of one core", (b - a) * 100 / s }')" \
        "over $cpu_seconds s; wineserver $(awk -v a="$server_before" -v b="$server_after" -v s="$cpu_seconds" \
            'BEGIN { printf "%.2f %%", (b - a) * 100 / s }')"
}

# Locked, while another process takes the foreground every 100 ms: the watchdog takes it back
# each time, without repainting the screen.
cpu_under_theft() {   # cpu_under_theft SIZE
    e2e_driver steal-foreground-loop $((cpu_seconds * 1000 + 2000)) 100 > "$E2E_DIR/theft.out" &
    local thief=$!
    sleep 1
    cpu_window "$1" "locked, the foreground taken every 100 ms"
    wait "$thief"
    figure "$1" "foreground taken by the other process" \
        "$(sed -n 's/^taken=//p' "$E2E_DIR/theft.out" | tr -d '\r') of $(sed -n 's/^tries=//p' "$E2E_DIR/theft.out" | tr -d '\r') tries"
}

# Only the locked CPU figures (ORVO_BENCH_ONLY=foreground).
bench_locked_cpu() {
    local size=$1
    e2e_begin "bench-$size" "$size" >/dev/null
    echo "=== $size"
    e2e_write_config --grid 0 --pattern 1,2 --effect 0
    e2e_start_locker || { figure "$size" "program start" "failed"; e2e_end_session; return; }
    e2e_driver hotkey win+a >/dev/null
    e2e_wait_policies "1 1 1" 15000
    sleep 2
    cpu_window "$size" "locked"
    cpu_under_theft "$size"
    e2e_end_session
}

# A lock request 100 ms after the unlock took the cover away, three times: taken or dropped.
relock_after_unlock() {   # relock_after_unlock SIZE; unlocked before and after
    local taken=0 times="" ms
    e2e_field visible_after_ms hotkey-time win+a "$E2E_LOCK_CLASS" - 15000 >/dev/null
    for _ in 1 2 3; do
        sleep 0.3
        e2e_driver drag-time "$E2E_COVER_CLASS" - 15000 "${path[@]}" >/dev/null
        sleep 0.1
        ms=$(e2e_field visible_after_ms hotkey-time win+a "$E2E_LOCK_CLASS" - 5000)
        if [ -n "$ms" ]; then
            taken=$((taken + 1)); times="$times $ms"
        else
            e2e_field visible_after_ms hotkey-time win+a "$E2E_LOCK_CLASS" - 15000 >/dev/null
        fi
    done
    sleep 0.3
    e2e_driver drag-time "$E2E_COVER_CLASS" - 15000 "${path[@]}" >/dev/null
    figure "$1" "lock request 100 ms after the cover is gone" "taken $taken of 3" \
        "hot key to lock window:${times:- -} ms"
}

# Memory and CPU around one lock with the wipes on (ORVO_BENCH_ONLY=memory): what the program
# keeps while unlocked, before the first lock and after an unlock.
bench_memory() {
    local size=$1
    e2e_begin "bench-$size" "$size" >/dev/null
    echo "=== $size"
    F=""
    e2e_write_config --grid 0 --pattern 1,2 --effect 1
    e2e_start_locker || { figure "$size" "program start" "failed"; e2e_end_session; return; }
    sleep 2
    resources "$size" "after start"
    cpu_window "$size" "unlocked"
    read -r -a path <<< "$(e2e_pattern_path)"
    figure "$size" "hot key to the cover shown, Effect 1" \
        "$(e2e_field visible_after_ms hotkey-time win+a "$E2E_COVER_CLASS" - 30000) ms"
    e2e_wait_policies "1 1 1" 30000 && e2e_discover_lock_windows >/dev/null
    sleep 1
    resources "$size" "while locked"
    e2e_driver drag "${path[@]}" >/dev/null
    e2e_driver wait-no-window "$E2E_COVER_CLASS" - 30000 visible >/dev/null
    sleep 2
    resources "$size" "after an unlock"
    cpu_window "$size" "unlocked after an unlock"
    e2e_end_session
}

bench_size() {
    local size=$1 width=${1%x*} F steps lock0 unlock0 lock1 unlock1
    e2e_begin "bench-$size" "$size" >/dev/null
    echo "=== $size"
    local ulw
    F=""
    ulw=$(wine "$build/orvo_ulw_bench.exe" 60 | tr -d '\r')
    F=$(echo "$ulw" | sed -n 's/^ulw_frame .*median_ms=\([0-9.]*\).*/\1/p')
    figure "$size" "UpdateLayeredWindow of a full frame (F)" "${F:-n/a} ms" "median of 60"
    figure "$size" "the same with a 400x400 dirty rectangle" \
        "$(echo "$ulw" | sed -n 's/^ulw_dirty_400 .*median_ms=\([0-9.]*\).*/\1/p') ms" "UpdateLayeredWindowIndirect, median of 60"
    figure "$size" "a 400x400 layered window presented whole" \
        "$(echo "$ulw" | sed -n 's/^ulw_panel_window_400 .*median_ms=\([0-9.]*\).*/\1/p') ms" "UpdateLayeredWindow, median of 60"
    if [ -f "$build/orvo_draw_bench.exe" ]; then
        # The bench prints "name value_unit (note_words)" with CRLF line ends.
        wine "$build/orvo_draw_bench.exe" | tr -d '\r' | while read -r name value note; do
            figure "$size" "$name" "${value//_/ }" "${note//_/ }"
        done
    fi

    # Effect off: hot key to covered screen, unlock, resources, CPU, cycles.
    e2e_write_config --grid 0 --pattern 1,2 --effect 0
    [ -z "$quick" ] && startup_time "$size"
    e2e_start_locker || { figure "$size" "program start" "failed"; e2e_end_session; return; }
    [ -z "$quick" ] && resources "$size" "after start"
    [ -z "$quick" ] && cpu_window "$size" "unlocked"
    read -r -a path <<< "$(e2e_pattern_path)"
    e2e_driver hotkey win+a >/dev/null
    e2e_wait_policies "1 1 1" 15000 && e2e_discover_lock_windows >/dev/null
    e2e_driver drag "${path[@]}" >/dev/null
    e2e_driver wait-no-window "$E2E_LOCK_CLASS" - 15000 visible >/dev/null
    rm -f "$E2E_DIR"/lock0.* "$E2E_DIR"/unlock0.* "$E2E_DIR"/unlock1.*
    for _ in 1 2 3 4 5; do
        e2e_driver hotkey-time win+a "$E2E_COVER_CLASS" - 15000 "$E2E_LOCK_CLASS" - > "$E2E_DIR/lock0.$RANDOM"
        sleep 0.3
        e2e_field hidden_after_ms drag-time "$E2E_COVER_CLASS" - 15000 "${path[@]}" > "$E2E_DIR/unlock0.$RANDOM"
        sleep 0.3
    done
    # The cover shows only once its first frame is presented: shown is covered.
    figure "$size" "hot key to the cover shown, Effect 0" \
        "$(sed -n 's/^visible_after_ms=//p' "$E2E_DIR"/lock0.* | median) ms" "median of 5"
    lock0=$(sed -n 's/^then_visible_after_ms=//p' "$E2E_DIR"/lock0.* | median)
    unlock0=$(cat "$E2E_DIR"/unlock0.* 2>/dev/null | median)
    figure "$size" "hot key to the lock window shown, Effect 0" "$lock0 ms" "median of 5"
    figure "$size" "pattern release to uncovered screen, Effect 0" "$unlock0 ms" "includes the 700 ms check"
    relock_after_unlock "$size"
    if [ -n "$quick" ]; then e2e_end_session; return; fi
    e2e_driver hotkey win+a >/dev/null
    e2e_wait_policies "1 1 1" 15000
    resources "$size" "while locked"
    cpu_window "$size" "locked"
    cpu_under_theft "$size"
    e2e_driver drag "${path[@]}" >/dev/null
    e2e_driver wait-no-window "$E2E_LOCK_CLASS" - 15000 visible >/dev/null
    # The long soak at the first size only; the other gets the short one.
    if [ "$size" = 1366x768 ]; then
        soak "$size" "$soak_cycles" "${path[@]}"
        inprocess_soak "$size"
    else
        soak "$size" "$cycles" "${path[@]}"
    fi
    resources "$size" "after the soak"
    e2e_kill_locker

    # Effect on: the wipes, against (N+1) x (25 ms + F).
    e2e_write_config --grid 0 --pattern 1,2 --effect 1
    e2e_start_locker || { e2e_end_session; return; }
    sleep 1
    lock1=$(for _ in 1 2 3; do
        e2e_field visible_after_ms hotkey-time win+a "$E2E_LOCK_CLASS" - 30000
        sleep 0.3
        e2e_field hidden_after_ms drag-time "$E2E_COVER_CLASS" - 30000 "${path[@]}" > "$E2E_DIR/unlock1.$RANDOM"
        sleep 0.3
    done | median)
    unlock1=$(cat "$E2E_DIR"/unlock1.* 2>/dev/null | median)
    steps=$(awk -v w="$width" 'BEGIN { n = w / 50; r = int(n + 0.5); if (r - n == 0.5 && r % 2) r--; print r + 1 }')
    figure "$size" "lock wipe (hot key to lock window, minus Effect 0)" \
        "$(awk -v a="$lock1" -v b="$lock0" 'BEGIN { print a - b }') ms" \
        "$steps steps; (N+1) x (25 ms + F) = $(awk -v s="$steps" -v f="${F:-0}" 'BEGIN { printf "%.0f", s * (25 + f) }') ms"
    figure "$size" "unlock wipe (release to cover hidden, minus Effect 0)" \
        "$(awk -v a="$unlock1" -v b="$unlock0" 'BEGIN { print a - b }') ms" \
        "$steps steps; (N+1) x (25 ms + F) = $(awk -v s="$steps" -v f="${F:-0}" 'BEGIN { printf "%.0f", s * (25 + f) }') ms"
    e2e_end_session
}

if [ "$only" = foreground ]; then
    bench_locked_cpu 1920x1080
elif [ "$only" = startup ]; then
    for size in $sizes; do
        e2e_begin "bench-$size" "$size" >/dev/null
        e2e_write_config --grid 0 --pattern 1,2 --effect 0
        startup_time "$size"
        e2e_end_session
    done
elif [ "$only" = memory ]; then
    for size in $sizes; do bench_memory "$size"; done
else
    for size in $sizes; do bench_size "$size"; done
fi

machine() {
    echo "- CPU: $(lscpu | sed -n 's/^Model name: *//p' | head -n 1), $(nproc) cores"
    echo "- Memory: $(free -g | awk '/^Mem:/ { print $2 }') GB"
    echo "- System: $(. /etc/os-release && echo "$PRETTY_NAME"), kernel $(uname -r)"
    echo "- Wine: $(wine --version), 64-bit prefix; Xvfb 24-bit with xcompmgr"
    echo "- Build: mingw-w64 $(x86_64-w64-mingw32-g++-posix -dumpversion), RelWithDebInfo (-O2)"
}

if [ -n "$doc" ]; then
    mkdir -p "$(dirname "$doc")"
    {
        echo "# Performance"
        echo
        echo "Figures printed by \`scripts/bench.sh\` on $(date -u +%Y-%m-%d), under Wine on Xvfb."
        echo "They describe this machine only; nothing here is a pass or fail threshold."
        echo
        machine
        echo
        echo '```'
        cat "$results"
        echo '```'
        echo
        echo "How they are taken: F is the median time of one UpdateLayeredWindow call for a"
        echo "full-screen 32-bit frame (tests/bench/UlwBench.cpp). The hot-key, unlock and wipe times"
        echo "are measured from outside by the driver (tests/e2e/driver): from the key-down of Win+A"
        echo "until the lock window is visible, and from the button release of the secret pattern"
        echo "until the cover is hidden; the wipes are the difference between Effect 1 and Effect 0."
        echo "CPU is the user plus system time of the Wine process from /proc, private memory too;"
        echo "the working set comes from GetProcessMemoryInfo. Wine answers 0 to GetProcessHandleCount"
        echo "and GetGuiResources, so handles are counted in the system handle list"
        echo "(NtQuerySystemInformation), GDI objects in the process's own GDI handle table (read"
        echo "through its PEB), and the committed private bytes are PagefileUsage"
        echo "(tests/e2e/driver/ProcessCounts.h). The start-up time runs from CreateProcess of"
        echo "OrvoPCLock.exe until its ready window exists, with wineserver already running. The soak"
        echo "drives $soak_cycles lock/unlock cycles through Win+A and the real pattern entry (700 ms"
        echo "check each) after three warm-up cycles; the in-process soak calls LockComputer both ways"
        echo "in one process with the program's windows (tests/win/SoakTest.cpp)."
    } > "$doc"
    echo "Wrote $doc"
fi
exit 0
