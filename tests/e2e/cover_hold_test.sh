#!/usr/bin/env bash
# The covers hold while locked: on two monitors the further cover outlives WM_CLOSE and SC_CLOSE;
# another program's topmost window shown without activation goes below a cover within 0.5 s; on
# a nested display resized at run time the whole new screen is covered and the pattern, drawn
# where the new layout puts it, still unlocks.
E2E_TIME_BOUND=300
. "$(dirname "$0")/lib.sh"

LOCK=OrvoPCLockPattern
MONITOR_COVER=OrvoPCLockMonitor
e2e_begin cover_hold 2200x1200 plain
e2e_write_config --grid 0 --pattern 1,2,3,5,7,8,9 --effect 0
magenta() { e2e_pixels share "$(e2e_shot "$1")" "$2" 255,0,255 30; }
lock() {
    e2e_require "$1: program starts" e2e_start_locker
    e2e_driver hotkey win+a >/dev/null
    e2e_require "$1: locked" e2e_driver wait-window "$LOCK" - 15000 visible
    e2e_driver move 10,10 >/dev/null
}
unlock() {
    read -r -a pattern <<< "$(e2e_pattern_path)"
    e2e_driver drag "${pattern[@]}" >/dev/null
    e2e_check_cmd "$1: the secret pattern unlocks" e2e_driver wait-no-window "$LOCK" - 15000 visible
}

e2e_require "two monitors" e2e_use_monitors 1366x768+0+0 768x1024+1366+0
E2E_W=1366 E2E_H=768
lock "two monitors"
cover=$(e2e_field hwnd window-info "$MONITOR_COVER" -)
e2e_driver send "$MONITOR_COVER" - WM_CLOSE 0 0 >/dev/null
e2e_driver send "$MONITOR_COVER" - WM_SYSCOMMAND 0xF060 0 >/dev/null
sleep 0.3
e2e_check "the further cover outlives WM_CLOSE and SC_CLOSE" "$(e2e_field hwnd window-info "$MONITOR_COVER" -)" "$cover"
e2e_check "the further monitor stays covered" "$(magenta closed 1366,0,2134,1024)" 0.000
e2e_check "a topmost window shown without activation is covered within 0.5 s" \
    "$(e2e_driver topmost-intruder OrvoPCLockBackground 500 | sed 's/^covered_after_ms=.*/covered/' | tr '\n' ' ')" \
    "on_top_at_start=1 covered "
unlock "two monitors"

e2e_require "resizable screen" e2e_use_resizable_screen 1366x768
lock "resizable screen"
e2e_log "resizing"
xrandr -s 1600x1200 >/dev/null 2>&1
E2E_W=1600 E2E_H=1200
corner() { xwd -root -silent | convert xwd:- -crop 1x1+1590+1190 -format '%[pixel:p{0,0}]' info:; }
for _ in $(seq 1 30); do [ "$(corner)" != "srgb(255,0,255)" ] && break; done
e2e_log "the new corner is covered"
sleep 0.5
e2e_check "the screen is now 1600x1200" "$(e2e_driver screen-size)" 1600x1200
e2e_check "the whole resized screen is covered" "$(magenta resized 0,0,1600,1200)" 0.000
unlock "resizable screen"
e2e_finish
