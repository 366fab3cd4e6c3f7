#!/usr/bin/env bash
# The idle decisions of the real program, in real time: with "Auto lock" at one minute and the
# monitor switch-off at 30 seconds, input ten seconds after the start restarts both counts; the
# monitor-off request goes to the lock window 30 seconds after that input, while still
# unlocked, and the computer locks itself 60 seconds after it.
#
# How the monitor-off request is seen: the program sends WM_SYSCOMMAND / SC_MONITORPOWER to its
# own lock window, so no window of another program receives it, and a WH_CALLWNDPROC hook would
# have to be a DLL loaded into the program. Wine's own message spy (debug channel "message",
# limited to WM_SYSCOMMAND by the SpyInclude value) logs every message the program's windows
# are sent, with window, wParam and lParam, to the program's stderr. Wine's default window
# procedure does nothing with SC_MONITORPOWER, so no display is switched off.
E2E_TIME_BOUND=240
. "$(dirname "$0")/lib.sh"

AUTO_LOCK=60
MONITOR_OFF=30
LOCK=OrvoPCLockPattern

e2e_begin idle 1366x768 plain
e2e_write_config --grid 0 --pattern 1,2,3,5,7,8,9 --effect 0 --auto-lock "$AUTO_LOCK" --monitor-off "$MONITOR_OFF"
e2e_reg_set 'HKCU\Software\Wine\Debug' SpyInclude REG_SZ WM_SYSCOMMAND
log=$E2E_DIR/locker.log
: > "$log"

now() { date +%s.%N; }
elapsed() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.1f", b - a }'; }
# shellcheck disable=SC2317  # called through e2e_check_cmd
at_least() { awk -v v="$1" -v min="$2" 'BEGIN { exit !(v >= min) }'; }
below() { awk -v v="$1" -v max="$2" 'BEGIN { exit !(v < max) }'; }
monitor_off_lines() { grep -c 'WM_SYSCOMMAND sent from self wp=0000f170 lp=00000002' "$log"; }

# Until the first input, Wine reports the last input at tick 0, that is hours of idle time.
e2e_driver move 700,400 >/dev/null
WINEDEBUG=-all,trace+message e2e_require "program starts" e2e_start_locker
lock_hwnd=$(e2e_field hwnd window-info "$LOCK" -)
e2e_driver move 300,300 >/dev/null
start=$(now)
sleep 10
e2e_check "before the input: not locked" "$(e2e_visible "$LOCK")" 0
e2e_check "before the input: no monitor-off request" "$(monitor_off_lines)" 0
e2e_driver move 600,500 >/dev/null
input=$(now)
e2e_log "input $(elapsed "$start" "$input") s after the first; waiting for the monitor-off request and the lock"

monitor_off=""
locked=""
while below "$(elapsed "$input" "$(now)")" $((AUTO_LOCK + 30)); do
    if [ -z "$monitor_off" ] && [ "$(monitor_off_lines)" -gt 0 ]; then
        monitor_off=$(elapsed "$input" "$(now)")
        e2e_log "monitor-off request after $monitor_off s; unlocked then: $(e2e_visible "$LOCK")"
        off_while_unlocked=$(e2e_visible "$LOCK")
    fi
    if [ -z "$locked" ] && [ "$(e2e_visible "$LOCK")" = 1 ]; then
        locked=$(elapsed "$input" "$(now)")
        e2e_log "locked after $locked s"
    fi
    [ -n "$monitor_off" ] && [ -n "$locked" ] && break
    sleep 0.25
done

e2e_check_cmd "the monitor-off request is sent (${monitor_off:-never} s after the input)" test -n "$monitor_off"
e2e_check_cmd "not before $MONITOR_OFF idle seconds after the input: the input restarted the count" \
    at_least "${monitor_off:-0}" $((MONITOR_OFF - 1))
e2e_check "the monitor goes off while still unlocked" "${off_while_unlocked:-}" 0
request=$(grep -m 1 'WM_SYSCOMMAND sent from self wp=0000f170 lp=00000002' "$log")
e2e_log "spy: $request"
e2e_check_match "the request goes to the lock window" "$request" "\\(${lock_hwnd}\\)"
e2e_check_cmd "the computer locks itself (${locked:-never} s after the input)" test -n "$locked"
e2e_check_cmd "not before $AUTO_LOCK idle seconds after the input: the input restarted the count" \
    at_least "${locked:-0}" $((AUTO_LOCK - 1))
e2e_check "auto-lock set the policies" "$(e2e_policies)" "1 1 1"
e2e_check "auto-lock shows the lock window topmost" "$(e2e_field topmost window-info "$LOCK" -)" 1
e2e_shot auto-locked >/dev/null

read -r -a pattern <<< "$(e2e_pattern_path)"
e2e_driver drag "${pattern[@]}" >/dev/null
e2e_check_cmd "the secret pattern unlocks" e2e_driver wait-no-window "$LOCK" - 15000 visible
e2e_check "policies cleared" "$(e2e_policies)" "0 0 0"
e2e_finish
