#!/usr/bin/env bash
# The lock holds when the lock program does not. While locked: WM_QUIT and the tray leave it
# locked (the kept quit ends the program after the unlock); a killed guardian is back within a
# second; a killed lock program is followed within seconds by a new one, after a call of the
# system's lock; a start after both were killed locks at once; the session's end gives the
# policies back. An administrator's own DisableTaskmgr and NoLogoff stay 1 through all of it.
E2E_TIME_BOUND=420
. "$(dirname "$0")/lib.sh"

e2e_begin failclosed 1366x768
# Wine's LockWorkStation is a stub: the relay trace of that one function shows each call.
wine reg add 'HKCU\Software\Wine\Debug' /v RelayInclude /t REG_SZ /d user32.LockWorkStation /f >/dev/null 2>&1
e2e_write_config --grid 0 --pattern 1,2,3,5,7
e2e_reg_set "$E2E_POLICY_SYSTEM" DisableTaskmgr REG_DWORD 1
e2e_reg_set "$E2E_POLICY_EXPLORER" NoLogoff REG_DWORD 1
read -r -a pattern <<< "$(e2e_pattern_path)"
# This build's programs, by their Unix or Windows path (other sessions may run others).
LOCKER_RE=$(sed 's|^/||; s|[/\\]|.|g' <<< "$E2E_BUILD/OrvoPCLock.exe")
programs() { pgrep -fc -- "$LOCKER_RE"; }
guardians() { pgrep -f -- "$LOCKER_RE.* /Guardian " | sort | tr '\n' ' '; }
start() { WINEDEBUG=+relay e2e_start_locker; }
lock() { e2e_driver hotkey win+a >/dev/null && e2e_wait_policies "1 1 1" 15000; }
unlock() {
    for _ in 1 2; do sleep 1; e2e_driver drag "${pattern[@]}" >/dev/null; e2e_wait_policies "1 1 0" 10000 && return 0; done
    return 1
}
# e2e_wait_for SECONDS CMD...: bounded wait until the command succeeds.
wait_for() {
    local deadline=$((SECONDS + $1)); shift
    until "$@"; do [ $SECONDS -ge $deadline ] && return 1; sleep 0.1; done
}
other_guardian() { local now; now=$(guardians); [ -n "$now" ] && [ "$now" != "$1" ]; }
other_lock() {
    local pid; pid=$(e2e_field pid window-info "$E2E_LOCK_CLASS" - 2>/dev/null)
    [ -n "$pid" ] && [ "$pid" != "$1" ] && [ "$(e2e_visible "$E2E_LOCK_CLASS")" = 1 ]
}
system_locks() { grep -c 'Call user32.LockWorkStation' "$E2E_DIR/locker.log"; }

e2e_require "program starts" start
e2e_check "start: the administrator's values stay" "$(e2e_policies)" "1 1 <missing>"
e2e_require "Win+A locks" lock
e2e_require "lock windows found" e2e_discover_lock_windows
e2e_driver post-quit - "$E2E_TRAY_TITLE" >/dev/null
e2e_check "no tray menu while locked" "$(e2e_driver tray-menu 3000 >/dev/null 2>&1 && echo menu || echo none)" none
sleep 1
e2e_check "WM_QUIT and the tray leave it locked" "$(e2e_policies) $(e2e_visible "$E2E_LOCK_CLASS") $(programs)" "1 1 1 1 2"
e2e_require "the pattern unlocks" unlock
e2e_check "the kept WM_QUIT ends it and its guardian after the unlock" "$(sleep 2; programs)" 0

e2e_require "program starts again" start
e2e_require "Win+A locks again" lock
before=$(guardians)
kill -9 $before
e2e_check_cmd "a killed guardian is replaced within a second" wait_for 1 other_guardian "$before"
old=$(e2e_field pid window-info "$E2E_LOCK_CLASS" -)
calls=$(system_locks)
kill -9 "$E2E_LOCKER_PID"
e2e_check_cmd "a killed lock program is followed by a new one on the screen" wait_for 10 other_lock "$old"
e2e_check "its lock is in force, after the system's lock" "$(e2e_wait_policies "1 1 1" 5000; e2e_policies) $(($(system_locks) > calls))" "1 1 1 1"
e2e_require "the pattern unlocks the new program" unlock
e2e_check_cmd "a new guardian watches it" wait_for 3 other_guardian ""
e2e_tray_exit
e2e_check "Exit ends both, the administrator's values stay" "$(sleep 1; programs) $(e2e_policies)" "0 1 1 0"

e2e_require "program starts a third time" start
e2e_require "Win+A locks the third program" lock
kill -9 $(guardians) "$E2E_LOCKER_PID"
e2e_check "both killed at once" "$(sleep 2; programs)" 0
e2e_require "a plain start" start
e2e_check "a start after a kill while locked locks at once" "$(e2e_wait_policies "1 1 1" 10000 && e2e_visible "$E2E_LOCK_CLASS")" 1
e2e_driver send OrvoPCLockSessionEnd - 0x16 1 0 >/dev/null
e2e_check "the session's end gives policies and taskbar back" "$(e2e_policies) $(e2e_visible Shell_TrayWnd)" "1 1 0 1"

e2e_finish
