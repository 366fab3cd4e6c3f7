# Shared part of the end-to-end scenarios (tests/e2e/*_test.sh): a private Wine session on its
# own Xvfb display, the real programs started in a Wine virtual desktop with a taskbar, the
# driver program that acts on them from outside, screenshots and pixel reads, and checks.
#
# A scenario sources this file first (the whole script is then re-run under a global time
# bound, E2E_TIME_BOUND seconds, default 540), then:
#   e2e_begin NAME [WxH] [plain]  session in $ORVO_BUILD_DIR/e2e/NAME, desktop "shell" of WxH
#                                 (plain: no virtual desktop, so that per-pixel alpha blends)
#   e2e_write_config [--grid ..]  settings file for the next start (tests/e2e/make_config.py)
#   e2e_start_locker [args]       OrvoPCLock.exe in the background; waits for its tray window
#   e2e_driver CMD ...            orvo_driver.exe in the same desktop (stdout and exit code kept)
#   e2e_check NAME ACTUAL EXPECTED, e2e_check_cmd NAME CMD ..., e2e_finish
# Teardown (programs, wineserver, compositor, Xvfb) runs on every exit, by trap.
#
# How the driver reaches the virtual desktop: the session's prefix names "shell" as the default
# desktop (HKCU\Software\Wine\Explorer "Desktop", with its size under "Desktops"), so every
# plain `wine prog.exe` runs inside that one desktop. Started as
# `wine explorer /desktop=shell,WxH prog.exe` instead, output still arrives but the exit code is
# explorer's (always 0), and a desktop left without windows is closed and made again (2 s per
# call); the default-desktop setting has neither problem. One limit measured here: inside the
# virtual desktop the compositor cannot blend layered windows (they are X child windows of the
# desktop), so what a layered window leaves transparent shows black. Scenarios that look at
# blended pixels run "plain", without the virtual desktop and its taskbar.

if [ -z "${E2E_BOUNDED:-}" ]; then
    export E2E_BOUNDED=1
    exec timeout -k 15 "${E2E_TIME_BOUND:-540}" bash "$0" "$@"
fi

E2E_SOURCE=${ORVO_SOURCE_DIR:-$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)}
E2E_BUILD=${ORVO_BUILD_DIR:-$E2E_SOURCE/build/win64}
# shellcheck source=../../scripts/lib/wine.sh
. "$E2E_SOURCE/scripts/lib/wine.sh"

E2E_DRIVER=$E2E_BUILD/orvo_driver.exe
E2E_LOCKER=$E2E_BUILD/OrvoPCLock.exe
E2E_TOOL=$E2E_BUILD/OrvoPCLockTool.exe
E2E_ARTIFACTS=$E2E_BUILD/e2e/artifacts
E2E_PYTHON=/usr/bin/python3
[ -x "$E2E_PYTHON" ] || E2E_PYTHON=python3
E2E_STEP_TIMEOUT=${E2E_STEP_TIMEOUT:-120}

# The names the program is known by from outside. The tray owner window ("Orvo PC Lock Tray")
# marks a running program. E2E_READY_CLASS / E2E_READY_TITLE name the window that is waited for.
E2E_TRAY_TITLE=${E2E_TRAY_TITLE:-Orvo PC Lock Tray}
E2E_READY_CLASS=${E2E_READY_CLASS:--}
E2E_READY_TITLE=${E2E_READY_TITLE:-$E2E_TRAY_TITLE}
E2E_POLICY_SYSTEM='HKEY_CURRENT_USER\Software\Microsoft\Windows\CurrentVersion\Policies\System'
E2E_POLICY_EXPLORER='HKEY_CURRENT_USER\Software\Microsoft\Windows\CurrentVersion\Policies\Explorer'
E2E_POLICY_MACHINE='HKEY_LOCAL_MACHINE\Software\Microsoft\Windows\CurrentVersion\Policies\System'

E2E_PASSED=0
E2E_FAILED=0
E2E_NAME=""
E2E_DIR=""
E2E_LOCKER_PID=""
E2E_PIDS=()

e2e_log() { echo "[$(date +%H:%M:%S.%3N)] $*"; }

# ---- session ------------------------------------------------------------------------------

e2e_begin() {
    E2E_NAME=$1
    local size=${2:-1366x768} mode=${3:-desktop}
    E2E_W=${size%x*}
    E2E_H=${size#*x}
    E2E_DIR=$E2E_BUILD/e2e/$E2E_NAME
    mkdir -p "$E2E_DIR" "$E2E_ARTIFACTS"
    for file in "$E2E_DRIVER" "$E2E_LOCKER"; do
        [ -f "$file" ] || { echo "missing $file: build first" >&2; exit 1; }
    done
    e2e_log "session $E2E_NAME at $size in $E2E_DIR"
    orvo_wine_start "$E2E_DIR" "$size" --compositor || { echo "Wine session did not start" >&2; exit 1; }
    orvo_wine_env "$E2E_DIR"
    local user
    user=$(id -un)
    E2E_APPDATA="$WINEPREFIX/drive_c/users/$user/AppData/Roaming/OrvoSoft/Orvo PC Lock"
    E2E_CFG="$E2E_APPDATA/OrvoPLS.cfg"
    # Without the virtual desktop the programs run as plain X windows, where the compositor
    # blends per-pixel alpha; inside it the desktop has the taskbar but layered windows are
    # drawn over black.
    if [ "$mode" = plain ]; then
        e2e_driver screen-size >/dev/null || { echo "Wine does not run" >&2; exit 1; }
        return 0
    fi
    cat > "$E2E_DIR/desktop.reg" <<EOF
REGEDIT4

[HKEY_CURRENT_USER\\Software\\Wine\\Explorer]
"Desktop"="$E2E_DESKTOP"

[HKEY_CURRENT_USER\\Software\\Wine\\Explorer\\Desktops]
"$E2E_DESKTOP"="${E2E_W}x${E2E_H}"

[HKEY_CURRENT_USER\\Software\\Wine\\Explorer\\Desktops\\$E2E_DESKTOP]
"EnableShell"=dword:00000001
EOF
    wine regedit /S "$(winepath -w "$E2E_DIR/desktop.reg")" >/dev/null 2>&1
    # The first program in the desktop starts it; wait for its taskbar.
    e2e_driver wait-window Shell_TrayWnd - 30000 visible >/dev/null ||
        { echo "the virtual desktop did not come up" >&2; exit 1; }
}

# The virtual desktop's name. A service starts programs on "winsta0\default", as Windows names the
# user's desktop: the service's scenario names its desktop "Default" so that they arrive there.
E2E_DESKTOP=${E2E_DESKTOP:-shell}

# Ends the programs and the session (also run by the exit trap).
e2e_end_session() {
    [ -n "$E2E_DIR" ] || return 0
    local pid
    for pid in "${E2E_PIDS[@]}"; do
        kill -9 "$pid" 2>/dev/null
        { wait "$pid"; } 2>/dev/null
    done
    E2E_PIDS=()
    E2E_LOCKER_PID=""
    E2E_XEPHYR_PID=""
    if [ -n "${E2E_XVFB_DISPLAY:-}" ]; then DISPLAY=$E2E_XVFB_DISPLAY; E2E_XVFB_DISPLAY=""; fi
    orvo_wine_stop "$E2E_DIR"
    if [ -z "${E2E_KEEP:-}" ]; then rm -rf "$E2E_DIR/prefix"; fi
    E2E_DIR=""
}

e2e_on_exit() {
    local code=$?
    trap - EXIT TERM INT
    e2e_end_session
    exit "$code"
}

e2e_on_term() {
    echo "FAIL: $E2E_NAME: time bound of ${E2E_TIME_BOUND:-540} s reached" >&2
    exit 124
}

trap e2e_on_exit EXIT
trap e2e_on_term TERM INT

# ---- programs -----------------------------------------------------------------------------

# orvo_driver.exe inside the session's desktop; every call bounded.
e2e_driver() {
    timeout -k 5 "$E2E_STEP_TIMEOUT" wine "$E2E_DRIVER" "$@" | tr -d '\r'
    return "${PIPESTATUS[0]}"
}

# One field ("name=value" line) of a driver command's output.
e2e_field() {
    local name=$1
    shift
    e2e_driver "$@" | sed -n "s/^$name=//p" | head -n 1
}

# Settings file for the next start; arguments as make_config.py takes them.
e2e_write_config() {
    mkdir -p "$E2E_APPDATA"
    "$E2E_PYTHON" "$E2E_SOURCE/tests/e2e/make_config.py" "$E2E_CFG" "$@"
}

# Keeps the desktop in use by another program: a Wine desktop nobody uses closes, and the next
# program to start makes it again as its own child, so ending that program's tree ends the desktop.
e2e_hold_desktop() {
    wine "$E2E_DRIVER" hold-desktop 3600000 >/dev/null 2>&1 & E2E_PIDS+=("$!")
    e2e_driver wait-window STATIC "orvo desktop holder" 30000 >/dev/null
}

# Starts OrvoPCLock.exe with the given arguments and returns at once (for a first run, whose
# configuration dialog comes before the tray).
# E2E_LOCKER_WINEDEBUG traces the lock program alone, never the driver that waits for it.
e2e_launch_locker() {
    WINEDEBUG=${E2E_LOCKER_WINEDEBUG:-$WINEDEBUG} wine "$E2E_LOCKER" "$@" >>"$E2E_DIR/locker.log" 2>&1 &
    E2E_LOCKER_PID=$!
    E2E_PIDS+=("$E2E_LOCKER_PID")
    e2e_log "started OrvoPCLock.exe $* (pid $E2E_LOCKER_PID)"
}

# Starts OrvoPCLock.exe with the given arguments and waits (bounded) until its tray owner
# window exists. Returns non-zero when it did not come up.
e2e_start_locker() {
    e2e_launch_locker "$@"
    e2e_driver wait-window "$E2E_READY_CLASS" "$E2E_READY_TITLE" "${E2E_START_TIMEOUT:-30000}" >/dev/null
}

# Clicks one of the lock window's unlock-mode icons at the bottom right: keyboard or trail.
e2e_click_mode_icon() {
    local from_right
    case $1 in
        keyboard) from_right=74 ;;
        trail) from_right=168 ;;
        *) return 2 ;;
    esac
    e2e_driver click "$((E2E_W - from_right)),$((E2E_H - 87))" >/dev/null
}

# Ends the locker the hard way (as a crash or the task manager would).
e2e_kill_locker() {
    [ -n "$E2E_LOCKER_PID" ] || return 0
    kill -9 "$E2E_LOCKER_PID" 2>/dev/null
    { wait "$E2E_LOCKER_PID"; } 2>/dev/null
    e2e_log "killed OrvoPCLock.exe (pid $E2E_LOCKER_PID)"
    E2E_LOCKER_PID=""
}

# Ends the locker the way a person does: "&Exit" of its tray menu (the menu's last item).
e2e_tray_exit() {
    e2e_driver tray-menu 10000 >/dev/null || return 1
    e2e_driver key up return >/dev/null
    e2e_log "chose Exit in the tray menu"
}

# True while the locker process runs.
e2e_locker_running() {
    [ -n "$E2E_LOCKER_PID" ] && kill -0 "$E2E_LOCKER_PID" 2>/dev/null
}

# Waits (bounded, in ms) until the locker process has ended by itself.
e2e_wait_locker_exit() {
    local deadline=$((SECONDS + ${1:-10000} / 1000 + 1))
    while e2e_locker_running; do
        [ $SECONDS -ge $deadline ] && return 1
        sleep 0.2
    done
    return 0
}

# Windows pid of the running locker (from its tray owner window).
e2e_locker_winpid() { e2e_field pid window-info "$E2E_READY_CLASS" "$E2E_READY_TITLE"; }

# The lock window (pattern) and the cover behind it while locked. The z-order between them is
# not a way to tell them apart: for a moment after a lock the cover can still be above.
E2E_LOCK_CLASS=${E2E_LOCK_CLASS:-OrvoPCLockPattern}
E2E_COVER_CLASS=${E2E_COVER_CLASS:-OrvoPCLockBackground}

# Waits (bounded) until the locker shows both the lock window and the cover as visible, topmost,
# screen-sized windows.
e2e_discover_lock_windows() {
    local pid deadline shown
    pid=${1:-$(e2e_locker_winpid)}
    deadline=$((SECONDS + 10))
    while :; do
        shown=$(e2e_driver list-windows | awk -v pid="pid=$pid" -v rect="rect=0,0,$E2E_W,$E2E_H" \
            -v lock="class=$E2E_LOCK_CLASS" -v cover="class=$E2E_COVER_CLASS" \
            '$2 == pid && $3 == "visible=1" && $4 == "topmost=1" && $5 == rect && ($6 == lock || $6 == cover)' |
            wc -l)
        [ "$shown" -ge 2 ] && break
        [ $SECONDS -ge $deadline ] && break
        sleep 0.2
    done
    e2e_log "lock window class '$E2E_LOCK_CLASS', cover class '$E2E_COVER_CLASS': $shown shown"
    [ "$shown" -ge 2 ]
}

# 1 when a visible window of the class exists, else 0.
e2e_visible() {
    local visible
    visible=$(e2e_field visible window-info "$1" "${2:--}" 2>/dev/null)
    echo "${visible:-0}"
}


# Several monitors: Wine sees one monitor on Xvfb, so e2e_use_monitors starts a nested Xephyr
# server with one screen per monitor ("WxH+X+Y" each) and Xinerama (RandR off, so Wine falls
# back to Xinerama) inside the session's Xvfb display, and moves Wine onto it. Its root is
# magenta, so every uncovered pixel is plain to see. Wine fixes the monitor layout when its
# server starts, so the running one (and the locker) are ended first. The session's Xvfb must
# be large enough to hold the screens side by side.
E2E_XEPHYR_PID=""
# shellcheck disable=SC2317  # called through e2e_require
e2e_use_monitors() {
    E2E_XVFB_DISPLAY=${E2E_XVFB_DISPLAY:-$DISPLAY}
    e2e_kill_locker
    wineserver -k >/dev/null 2>&1
    if [ -n "$E2E_XEPHYR_PID" ]; then kill "$E2E_XEPHYR_PID" 2>/dev/null; wait "$E2E_XEPHYR_PID" 2>/dev/null; fi
    local args=() screen fd_file="$E2E_DIR/xephyr.num"
    for screen in "$@"; do args+=(-screen "$screen"); done
    rm -f "$fd_file"
    # -noreset: the server would otherwise reset, and forget the root colour, whenever its last
    # client leaves (between the programs' starts).
    # shellcheck disable=SC2086  # E2E_XEPHYR_MODE holds several words
    DISPLAY=$E2E_XVFB_DISPLAY Xephyr -displayfd 3 "${args[@]}" ${E2E_XEPHYR_MODE:-+xinerama -extension RANDR} -no-host-grab \
        -noreset -nolisten tcp 3>"$fd_file" >"$E2E_DIR/xephyr.log" 2>&1 &
    E2E_XEPHYR_PID=$!
    E2E_PIDS+=("$E2E_XEPHYR_PID")
    for _ in $(seq 1 100); do [ -s "$fd_file" ] && break; sleep 0.1; done
    [ -s "$fd_file" ] || return 1
    DISPLAY=":$(tr -d '\n' < "$fd_file")"
    export DISPLAY
    xsetroot -solid magenta
    # No compositor here: with Xinerama the X server blends no per-pixel alpha (measured), so
    # the lock window's see-through parts show black over the primary cover. The covers
    # themselves are opaque, and nothing below depends on blending.
    wineserver -p >/dev/null 2>&1
    wine cmd /c exit >/dev/null 2>&1
    e2e_log "Xephyr $DISPLAY with $*"
}

# One screen of WxH whose size `xrandr -s` changes at run time (RandR on, Xephyr -resizeable).
# shellcheck disable=SC2317  # called through e2e_require
e2e_use_resizable_screen() { E2E_XEPHYR_MODE=-resizeable e2e_use_monitors "$1+0+0"; }

# ---- registry -----------------------------------------------------------------------------

# A driver that could not even start on a loaded machine (no output, an error code) is asked again.
e2e_reg() {
    local out attempt
    for attempt in 1 2 3; do
        out=$(e2e_driver reg-query "$1" "$2") && break
        e2e_log "reg-query $1 $2 failed (attempt $attempt)" >&2
        sleep 0.3
    done
    printf '%s\n' "$out"
}

# The three lock policies as "DisableTaskmgr NoLogoff HideFastUserSwitching", e.g. "1 1 1".
e2e_policies() {
    echo "$(e2e_reg "$E2E_POLICY_SYSTEM" DisableTaskmgr) $(e2e_reg "$E2E_POLICY_EXPLORER" NoLogoff)" \
        "$(e2e_reg "$E2E_POLICY_MACHINE" HideFastUserSwitching)"
}

# Waits (bounded, in ms) until e2e_policies prints the expected text.
e2e_wait_policies() {
    local expected=$1 timeout_ms=${2:-10000} deadline actual
    deadline=$((SECONDS + timeout_ms / 1000 + 1))
    while :; do
        actual=$(e2e_policies)
        [ "$actual" = "$expected" ] && return 0
        [ $SECONDS -ge $deadline ] && return 1
        sleep 0.2
    done
}

# Sets a value in the session's registry from outside the programs.
e2e_reg_set() {
    wine reg add "$1" /v "$2" /t "$3" /d "$4" /f >/dev/null 2>&1
}

# ---- screen -------------------------------------------------------------------------------

# Root window of the display as PNG (what a person would see).
e2e_screenshot() {
    xwd -root -silent -display "$DISPLAY" | convert xwd:- "$1"
}

# Screenshot kept as an artifact: $E2E_ARTIFACTS/<scenario>-<label>.png; prints its path.
e2e_shot() {
    local file="$E2E_ARTIFACTS/$E2E_NAME-$1.png"
    e2e_screenshot "$file" && echo "$file"
}

# Grabs the screen as fast as it can until e2e_capture_stop: catches animation frames.
e2e_capture_start() {
    E2E_CAPTURE_DIR=$E2E_DIR/capture-$1
    rm -rf "$E2E_CAPTURE_DIR"
    mkdir -p "$E2E_CAPTURE_DIR"
    (
        i=0
        while [ ! -f "$E2E_CAPTURE_DIR/stop" ] && [ $i -lt 200 ]; do
            xwd -root -silent -display "$DISPLAY" > "$E2E_CAPTURE_DIR/$(printf %03d $i).xwd" 2>/dev/null
            i=$((i + 1))
        done
    ) &
    E2E_CAPTURE_PID=$!
}

# Stops the grabbing and prints the PNG files of the frames, in order.
e2e_capture_stop() {
    touch "$E2E_CAPTURE_DIR/stop"
    wait "$E2E_CAPTURE_PID" 2>/dev/null
    local file
    for file in "$E2E_CAPTURE_DIR"/*.xwd; do
        [ -f "$file" ] || continue
        convert "xwd:$file" "${file%.xwd}.png" 2>/dev/null && rm -f "$file" && echo "${file%.xwd}.png"
    done
}

# "r g b" of one pixel of a PNG.
e2e_pixel() {
    "$E2E_PYTHON" - "$1" "$2" "$3" <<'EOF'
import sys
from PIL import Image
image = Image.open(sys.argv[1]).convert("RGB")
print(*image.getpixel((int(sys.argv[2]), int(sys.argv[3]))))
EOF
}

# Runs tests/e2e/pixels.py on a PNG (see there): several pixel questions in one call.
e2e_pixels() {
    "$E2E_PYTHON" "$E2E_SOURCE/tests/e2e/pixels.py" "$@"
}

# Centre of point k on this session's screen for a grid.
e2e_point() { e2e_driver point-center "$E2E_W" "$E2E_H" "$1" "$2"; }

# The secret pattern of the current settings file as drag arguments.
e2e_pattern_path() { e2e_driver pattern-path "$E2E_W" "$E2E_H" - "$E2E_CFG"; }

# ---- checks -------------------------------------------------------------------------------

e2e_pass() { E2E_PASSED=$((E2E_PASSED + 1)); echo "PASS: $1"; }
e2e_fail() { E2E_FAILED=$((E2E_FAILED + 1)); echo "FAIL: $1"; }

# e2e_check NAME ACTUAL EXPECTED
e2e_check() {
    if [ "$2" = "$3" ]; then e2e_pass "$1"; else e2e_fail "$1: got '$2', expected '$3'"; fi
}
e2e_assert_eq() { e2e_check "$@"; }

# e2e_check_cmd NAME CMD ...: passes when the command exits 0.
e2e_check_cmd() {
    local name=$1
    shift
    if "$@" >/dev/null; then e2e_pass "$name"; else e2e_fail "$name (command: $*)"; fi
}

# e2e_check_match NAME ACTUAL REGEX
e2e_check_match() {
    if [[ $2 =~ $3 ]]; then e2e_pass "$1"; else e2e_fail "$1: '$2' does not match '$3'"; fi
}

# A step the rest of the scenario depends on: stops the scenario when it fails.
e2e_require() {
    local name=$1
    shift
    if "$@"; then e2e_pass "$name"; else e2e_fail "$name (command: $*)"; e2e_finish; fi
}

# Prints the summary and ends the scenario: exit 0 only when every check passed.
e2e_finish() {
    echo "$E2E_NAME: $E2E_PASSED checks passed, $E2E_FAILED checks failed"
    [ "$E2E_FAILED" -eq 0 ] && [ "$E2E_PASSED" -gt 0 ] && exit 0
    exit 1
}
