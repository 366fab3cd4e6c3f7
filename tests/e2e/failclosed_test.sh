#!/usr/bin/env bash
# The lock holds when the lock program does not. While locked: WM_QUIT and the tray leave it
# locked (the kept quit ends the program after the unlock); ending the lock program's process
# tree, or every OrvoPCLock.exe at once, brings a lock back within 2 s (the guardian runs outside
# the tree, under its own name) and a new lock program after it; a killed guardian is back (within
# 5 s here), three times a minute, and at the fourth the lock program calls the system's lock; a start
# after a kill while locked locks at once; the session's end gives the policies back and a
# session that goes on locks again; a start after the session ended locked locks at once, before
# any message of a settings file broken meanwhile, which comes after the unlock; a suspended lock
# program is followed by the system's lock within 6 s. Every full-screen window
# turns the tablet gestures off. An administrator's own DisableTaskmgr and NoLogoff stay 1
# through all of it.
E2E_TIME_BOUND=480
. "$(dirname "$0")/lib.sh"
. "$(dirname "$0")/config_lib.sh"

e2e_begin failclosed 1366x768
e2e_hold_desktop
# Wine's LockWorkStation is a stub: the relay trace of that one function shows each call.
wine reg add 'HKCU\Software\Wine\Debug' /v RelayInclude /t REG_SZ /d user32.LockWorkStation /f >/dev/null 2>&1
e2e_write_config --grid 0 --pattern 1,2,3,5,7
e2e_reg_set "$E2E_POLICY_SYSTEM" DisableTaskmgr REG_DWORD 1
e2e_reg_set "$E2E_POLICY_EXPLORER" NoLogoff REG_DWORD 1
read -r -a pattern <<< "$(e2e_pattern_path)"
# This build's programs, by their Unix or Windows path, in this session's prefix (other
# sessions, or a program a finished one left behind, may run others).
LOCKER_RE=$(sed 's|^/||; s|[/\\]|.|g' <<< "$E2E_BUILD/OrvoPCLock.exe")
GUARD_RE=$(sed 's|^/||; s|[/\\]|.|g' <<< "$E2E_BUILD/OrvoPCLockGuard.exe")
session_pids() {   # session_pids REGEX: this session's processes whose command line matches
    local pid
    for pid in $(orvo_wine_pids "$E2E_DIR"); do
        tr '\0' ' ' 2>/dev/null < "/proc/$pid/cmdline" | grep -q -- "$1" && echo "$pid"
    done
    return 0
}
programs() { session_pids "$LOCKER_RE" | wc -l; }
guardians() { session_pids "$GUARD_RE.* /Guardian " | sort -n | tr '\n' ' '; }
start() { E2E_LOCKER_WINEDEBUG=+relay e2e_start_locker; }
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
lock_pid() { e2e_field pid window-info "$E2E_LOCK_CLASS" -; }
# A lock again after the lock program $1 ended: the system's lock called since count $2 (within
# 2 s: the guardian calls it at once), then a new lock program's lock with its policies.
relocked() {
    local what=$1 old=$2 calls=$3
    e2e_check_cmd "$what: the system's lock within 2 s" wait_for 2 more_system_locks "$calls"
    e2e_check_cmd "$what: a new lock program locks" wait_for 20 other_lock "$old"
    e2e_check "$what: its policies are set" "$(e2e_wait_policies "1 1 1" 5000; e2e_policies)" "1 1 1"
}
more_system_locks() { [ "$(system_locks)" -gt "$1" ]; }

e2e_require "program starts" start
e2e_check "start: the administrator's values stay" "$(e2e_policies)" "1 1 <missing>"
e2e_require "Win+A locks" lock
e2e_require "lock windows found" e2e_discover_lock_windows
e2e_driver post-quit - "$E2E_TRAY_TITLE" >/dev/null
e2e_check "no tray menu while locked" "$(e2e_driver tray-menu 3000 >/dev/null 2>&1 && echo menu || echo none)" none
sleep 1
e2e_check "WM_QUIT and the tray leave it locked" "$(e2e_policies) $(e2e_visible "$E2E_LOCK_CLASS") $(programs) $(guardians | wc -w)" "1 1 1 1 1 1"
e2e_require "the pattern unlocks" unlock
e2e_check "the kept WM_QUIT ends it and its guardian after the unlock" "$(sleep 2; programs)" 0

e2e_require "program starts again" start
e2e_require "Win+A locks again" lock
old=$(lock_pid) calls=$(system_locks)
e2e_driver end-tree "$old" >/dev/null
relocked "the lock program's process tree ended" "$old" "$calls"
old=$(lock_pid) calls=$(system_locks)
e2e_driver end-image OrvoPCLock.exe >/dev/null
relocked "every OrvoPCLock.exe ended" "$old" "$calls"
e2e_require "the pattern unlocks the new program" unlock
e2e_check_cmd "a new guardian watches it" wait_for 3 other_guardian ""
e2e_tray_exit
e2e_check "Exit ends both, the administrator's values stay" "$(sleep 1; programs) $(e2e_policies)" "0 1 1 0"

e2e_require "program starts a third time" start
e2e_require "Win+A locks the third program" lock
for kill in 1 2 3; do
    before=$(guardians)
    kill -9 $before
    e2e_check_cmd "guardian kill $kill: replaced" wait_for 5 other_guardian "$before"
done
calls=$(system_locks)
kill -9 $(guardians)
e2e_check_cmd "the fourth guardian kill in a minute: the system's lock" wait_for 2 more_system_locks "$calls"
kill -9 "$E2E_LOCKER_PID"
e2e_check "then the lock program killed" "$(sleep 2; programs)" 0
# Broken meanwhile, the file holds the default pattern the defaults put back.
e2e_write_config --grid 0 --file-mark 20000
e2e_require "a plain start" start
e2e_check "a start after a kill while locked locks at once" "$(e2e_wait_policies "1 1 1" 10000 && e2e_visible "$E2E_LOCK_CLASS")" 1
e2e_check "and shows no message before the unlock" "$(no_msgbox "$APP_TITLE" 2000)" none
e2e_check "every full-screen window turns press and hold, flicks and pen feedback off" \
    "$(e2e_driver gesture-replies | sort | tr '\n' ' ')" "OrvoPCLockBackground=0x198019 OrvoPCLockPattern=0x198019 "
e2e_check_match "a RunOnce value starts the lock at the next logon" \
    "$(e2e_reg 'HKEY_CURRENT_USER\Software\Microsoft\Windows\CurrentVersion\RunOnce' '*Orvo PC Lock')" 'OrvoPCLock.exe" /StartupLock$'
# Any program can send the session's end; a lock program still running 5 s later locks again.
e2e_driver send OrvoPCLockSessionEnd - 0x16 1 0 >/dev/null
e2e_check "the session's end gives policies and taskbar back" "$(e2e_policies) $(e2e_visible Shell_TrayWnd)" "1 1 0 1"
e2e_check "a session that goes on is locked again in full within 7 s" \
    "$(e2e_wait_policies "1 1 1" 7000; sleep 0.5; e2e_policies) $(e2e_visible Shell_TrayWnd)" "1 1 1 0"
e2e_driver send OrvoPCLockSessionEnd - 0x11 0 0 >/dev/null
e2e_driver send OrvoPCLockSessionEnd - 0x16 1 0 >/dev/null
kill -9 $(guardians) "$E2E_LOCKER_PID"
e2e_check "the session ends with every process of the program" "$(sleep 2; programs)" 0
e2e_require "a plain start at the next logon" start
e2e_check "a start after a session that ended locked locks at once" \
    "$(e2e_wait_policies "1 1 1" 10000 && e2e_visible "$E2E_LOCK_CLASS")" 1

old=$(lock_pid) calls=$(system_locks)
e2e_driver suspend "$old" >/dev/null
e2e_check_cmd "a suspended lock program: the system's lock within 6 s" wait_for 6 more_system_locks "$calls"
e2e_check_cmd "and a new lock program locks" wait_for 10 other_lock "$old"
read -r -a pattern <<< "$(e2e_pattern_path)"
e2e_require "the default pattern unlocks" unlock
e2e_check "then the broken file's messages and the dialog" "$(answer_msgbox "$APP_TITLE")|$(answer_msgbox "$APP_TITLE")|$(
    e2e_driver wait-window - "$CONFIG_TITLE" 10000 visible >/dev/null && echo dialog)" \
    "Reading configuration file failed! |Orvo PC Lock configuration file is lost or broken."$'\n'"$RESET_TEXT|dialog"

e2e_finish
