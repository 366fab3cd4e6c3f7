#!/usr/bin/env bash
# The lock service. First without it, under a policy that requires it: a lock calls the system's
# lock as well. Then installed by the setup program (its default): a lock puts the policies in
# force through it and it keeps the values from before (an administrator's own NoLogoff 1 among
# them); while a session is locked it refuses to stop; ending every process of the program that
# is not the service at once (lock program, guardian, tool), even after the service itself was
# ended and started again, brings a lock back within 5 s with
# the policies set; the pattern unlocks and every value is as before; a request that is not the
# lock program's changes nothing; the uninstaller leaves no service and no value of it.
E2E_TIME_BOUND=300
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
E2E_DESKTOP=Default
. "$(dirname "$0")/lib.sh"

SETUP=$(ls "$E2E_BUILD"/OrvoPCLock-Setup-*.exe 2>/dev/null | head -n 1)
[ -f "$SETUP" ] || { echo "missing $E2E_BUILD/OrvoPCLock-Setup-<version>.exe: build first" >&2; exit 1; }
DIR_WIN='C:\Program Files\Orvo PC Lock'
RECORD_KEY='HKEY_LOCAL_MACHINE\SOFTWARE\OrvoSoft\Orvo PC Lock Service'

service_state() { wine sc query OrvoPCLockService 2>/dev/null | tr -d '\r' | sed -n 's/^ *STATE *: *[0-9]* *//p'; }
service_runs() { [ "$(service_state)" = RUNNING ]; }
# "session" while the record holds a locked session.
record() { e2e_reg "$RECORD_KEY" LockedSessions | tr -d '\r' | grep -o '^session' || echo none; }
new_lock() {
    local pid; pid=$(e2e_field pid window-info "$E2E_LOCK_CLASS" - 2>/dev/null)
    [ -n "$pid" ] && [ "$pid" != "$1" ] && [ "$(e2e_visible "$E2E_LOCK_CLASS")" = 1 ]
}
wait_for() {
    local deadline=$((SECONDS + $1)); shift
    until "$@"; do [ $SECONDS -ge $deadline ] && return 1; sleep 0.1; done
}

e2e_begin service 1366x768
e2e_hold_desktop
: > "$E2E_DIR/locker.log"   # the system's locks are counted in it
e2e_write_config --grid 0 --pattern 1,2,3,5,7
read -r -a pattern <<< "$(e2e_pattern_path)"
# Wine's LockWorkStation is a stub: the relay trace of that one function shows each call.
wine reg add 'HKCU\Software\Wine\Debug' /v RelayInclude /t REG_SZ /d user32.LockWorkStation /f >/dev/null 2>&1
system_locks() { grep -c 'Call user32.LockWorkStation' "$E2E_DIR/locker.log"; }
start() { E2E_LOCKER_WINEDEBUG=+relay e2e_start_locker; }

# The organization requires the service, and there is none: Windows' own lock stands behind.
e2e_reg_set 'HKLM\SOFTWARE\Policies\OrvoSoft\Orvo PC Lock' RequireService REG_DWORD 1
e2e_require "the program starts without the service" start
e2e_driver hotkey win+a >/dev/null
e2e_require "Win+A locks" e2e_wait_policies "1 1 1" 15000
e2e_check "a required service missing: the system's lock as well" "$(system_locks)" 1
e2e_driver drag "${pattern[@]}" >/dev/null
e2e_require "the pattern unlocks" e2e_wait_policies "0 0 0" 10000
e2e_tray_exit
e2e_wait_locker_exit 15000

# Before the service's lock: no value but an administrator's own NoLogoff 1.
wine reg delete "$E2E_POLICY_SYSTEM" /v DisableTaskmgr /f >/dev/null 2>&1
wine reg delete "$E2E_POLICY_MACHINE" /v HideFastUserSwitching /f >/dev/null 2>&1
e2e_reg_set "$E2E_POLICY_EXPLORER" NoLogoff REG_DWORD 1
wine "$SETUP" /S >>"$E2E_DIR/setup.log" 2>&1
e2e_require "the setup installs and starts the service" wait_for 20 service_runs

E2E_LOCKER="$DIR_WIN\\OrvoPCLock.exe"
e2e_require "the installed program starts" start
e2e_driver hotkey win+a >/dev/null
e2e_require "Win+A locks the installed program" e2e_wait_policies "1 1 1" 15000
e2e_check "the service keeps the locked session; no system lock with it" "$(record) $(system_locks)" "session 1"
wine sc stop OrvoPCLockService >/dev/null 2>&1
e2e_check "the service refuses to stop while a session is locked" "$(sleep 1; service_state)" RUNNING

# Ended while a session is locked (Wine lets any process end it) and started again, the service
# goes on guarding the session from its record.
kill -9 $(pgrep -f 'OrvoPCLockService\.exe')
sleep 1
wine sc start OrvoPCLockService >/dev/null 2>&1
e2e_check_cmd "a service started again while locked" wait_for 20 service_runs
wine "$DIR_WIN\\OrvoPCLockTool.exe" >/dev/null 2>&1 &
E2E_PIDS+=("$!")
e2e_driver wait-window - "Orvo PC Lock Tools" 30000 >/dev/null
old=$(e2e_field pid window-info "$E2E_LOCK_CLASS" -)
e2e_log "ended: $(e2e_driver end-image OrvoPCLock.exe OrvoPCLockGuard.exe OrvoPCLockTool.exe) processes"
e2e_check_cmd "every other process ended: a lock again within 5 s" wait_for 5 new_lock "$old"
e2e_check "with the policies set" "$(e2e_wait_policies "1 1 1" 5000; e2e_policies)" "1 1 1"

# A program that is not the installed lock program cannot unlock through the pipe.
e2e_driver service-request unlocked >/dev/null 2>&1
e2e_check "an unlock request of another program changes nothing" "$(e2e_policies) $(record)" "1 1 1 session"

e2e_require "lock windows found" e2e_discover_lock_windows "$(e2e_field pid window-info "$E2E_LOCK_CLASS" -)"
e2e_shot relocked >/dev/null
unlock() {
    for _ in 1 2; do e2e_driver drag "${pattern[@]}" >/dev/null
        e2e_wait_policies "<missing> 1 <missing>" 10000 && return 0; sleep 1; done
    return 1
}
e2e_check_cmd "the pattern unlocks: every value as before, the administrator's 1 included" unlock
e2e_check "the service forgets the session" "$(record)" none
e2e_check "and can be stopped again" "$(wine sc stop OrvoPCLockService >/dev/null 2>&1; sleep 2; service_state)" STOPPED
wine sc start OrvoPCLockService >/dev/null 2>&1

e2e_tray_exit
wine "$DIR_WIN\\Uninstall.exe" /S >>"$E2E_DIR/setup.log" 2>&1
gone() { [ -z "$(service_state)" ] && [ ! -e "$WINEPREFIX/drive_c/Program Files/Orvo PC Lock" ]; }
e2e_check_cmd "the uninstaller leaves no service" wait_for 60 gone
e2e_check "and no value of it" "$(e2e_reg "$RECORD_KEY" LockedSessions)" "<missing>"
e2e_finish
