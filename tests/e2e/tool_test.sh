#!/usr/bin/env bash
# The real maintenance tool under Wine: "/Fix" resets the lock policies, "/Enable" and
# "/Disable" add and remove the safe-mode marker in Winlogon's "Userinit" (twice each, so the
# "already" answers show too), and any other argument ("/fix", nothing) opens the window whose
# buttons run the same jobs and which stays open until closed.
. "$(dirname "$0")/lib.sh"

# This scenario runs only the tool; the session start checks for the program it names here.
E2E_LOCKER=$E2E_TOOL

SYSTEM_KEY='HKEY_CURRENT_USER\SOFTWARE\Orvo PC Lock\System'
WINLOGON='HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Windows NT\CurrentVersion\Winlogon'
USERINIT='C:\windows\system32\userinit.exe,'
TOOL_TITLE='Orvo PC Lock Tools'
TOOL_PID=""

# The driver's output is console text under Wine: lines end in CR LF.
driver() { e2e_driver "$@" | tr -d '\r'; }
reg() { driver reg-query "$1" "$2"; }
msgbox_handle() { driver window-info '#32770' 'Orvo PC Lock' 2>/dev/null | sed -n 's/^hwnd=//p'; }

start_tool() {
    wine "$E2E_TOOL" "$@" >>"$E2E_DIR/tool.log" 2>&1 &
    TOOL_PID=$!
    E2E_PIDS+=("$TOOL_PID")
    e2e_log "started OrvoPCLockTool.exe $* (pid $TOOL_PID)" >&2
}

# Waits (bounded, in seconds) until the tool has ended by itself.
tool_ended() {
    local deadline=$((SECONDS + ${1:-15}))
    while kill -0 "$TOOL_PID" 2>/dev/null; do
        [ $SECONDS -ge $deadline ] && return 1
        sleep 0.2
    done
    wait "$TOOL_PID" 2>/dev/null
    return 0
}

# Text of the tool's message box once it shows; presses OK and waits until the box is gone.
answer_msgbox() {
    local text handle deadline
    text=$(driver msgbox-wait 'Orvo PC Lock' 30000) || return 1
    handle=$(msgbox_handle)
    e2e_driver msgbox-click 'Orvo PC Lock' 1 >/dev/null || return 1
    deadline=$((SECONDS + 10))
    while [ -n "$handle" ] && [ "$(msgbox_handle)" = "$handle" ]; do
        [ $SECONDS -ge $deadline ] && return 1
        sleep 0.1
    done
    printf '%s' "$text"
}

# Runs the tool with one switch: prints its one message and checks that it then ends alone.
run_switch() {
    local text
    start_tool "$1"
    text=$(answer_msgbox)
    tool_ended 15 || text="$text <tool still running>"
    printf '%s' "$text"
}

e2e_begin tool

# ---- "/Fix" after an abnormal end left every policy set: what was there before comes back ----
# The lock remembered no NoLogoff, its own 0 for DisableTaskmgr and an administrator's 1 for
# HideFastUserSwitching; NoClose it never sets.
e2e_reg_set "${SYSTEM_KEY/HKEY_CURRENT_USER/HKCU}" PoliciesBeforeLock REG_SZ \
    'DisableTaskmgr=0;NoLogoff=-;HideFastUserSwitching=1;NoClose=-'
e2e_reg_set 'HKCU\Software\Microsoft\Windows\CurrentVersion\Policies\System' DisableTaskmgr REG_DWORD 1
e2e_reg_set 'HKLM\Software\Microsoft\Windows\CurrentVersion\Policies\System' HideFastUserSwitching REG_DWORD 1
e2e_reg_set 'HKCU\Software\Microsoft\Windows\CurrentVersion\Policies\Explorer' NoLogoff REG_DWORD 1
e2e_reg_set 'HKCU\Software\Microsoft\Windows\CurrentVersion\Policies\Explorer' NoClose REG_DWORD 1
e2e_check "policies set before the repair" "$(e2e_policies | tr -d '\r')" "1 1 1"
e2e_check "/Fix: message" "$(run_switch /Fix)" "Fix troubles of abnormal program termination successfully"
e2e_check "/Fix: values before the lock" "$(e2e_policies | tr -d '\r')" "0 0 1"
e2e_check "/Fix: NoClose left alone" "$(reg "$E2E_POLICY_EXPLORER" NoClose)" 1
e2e_check "/Fix: taskbar shown" "$(driver window-info Shell_TrayWnd - | sed -n 's/^visible=//p')" 1

# ---- "/Enable" and "/Disable", each twice ----------------------------------------------------
# A command planted in "APP_PATH" must not reach the logon list: the entry names the lock
# program beside the tool.
e2e_reg_set "${SYSTEM_KEY/HKEY_CURRENT_USER/HKCU}" APP_PATH REG_SZ 'C:\evil.exe,C:\evil2.exe'
APP=$(winepath -w "$E2E_BUILD/OrvoPCLock.exe" 2>/dev/null)
e2e_reg_set "${WINLOGON/HKEY_LOCAL_MACHINE/HKLM}" Userinit REG_SZ "$USERINIT"
e2e_check "/Enable: message" "$(run_switch /Enable)" "Enable autolock at Windows startup in Safe Mode successfully"
e2e_check "/Enable: marker appended" "$(reg "$WINLOGON" Userinit)" "$USERINIT,$APP /StartupLock"
e2e_check "/Enable again: already enabled" "$(run_switch /Enable)" "Autolock at Windows startup in Safe Mode enabled"
e2e_check "/Enable again: nothing added" "$(reg "$WINLOGON" Userinit)" "$USERINIT,$APP /StartupLock"
e2e_check "/Disable: message" "$(run_switch /Disable)" "Disable autolock at Windows startup in Safe Mode successfully"
e2e_check "/Disable: list as before" "$(reg "$WINLOGON" Userinit)" "$USERINIT"
e2e_check "/Disable again: already disabled" "$(run_switch /Disable)" "Autolock at Windows startup in Safe Mode disabled"

# ---- "/fix" (another case) opens the window instead ------------------------------------------
e2e_reg_set 'HKCU\Software\Microsoft\Windows\CurrentVersion\Policies\System' DisableTaskmgr REG_DWORD 1
e2e_reg_set "${SYSTEM_KEY/HKEY_CURRENT_USER/HKCU}" PoliciesBeforeLock REG_SZ 'DisableTaskmgr=0'
start_tool /fix
e2e_require "/fix: window shown" e2e_driver wait-window - "$TOOL_TITLE" 30000 visible
e2e_check "/fix: nothing repaired" "$(reg "$E2E_POLICY_SYSTEM" DisableTaskmgr)" 1
e2e_check "/fix: no message" \
    "$(e2e_driver msgbox-wait 'Orvo PC Lock' 500 >/dev/null 2>&1 && echo shown || echo none)" none
e2e_shot window >/dev/null

# The first of the three stacked buttons, "Fix Troubles", centred 30 px below the client top;
# the client area ends 130 px below that top plus the frame's bottom border.
rect=$(driver window-info - "$TOOL_TITLE" | sed -n 's/^rect=//p')
IFS=, read -r left top right bottom <<<"$rect"
e2e_check_cmd "click on Fix Troubles" e2e_driver click "$(((left + right) / 2)),$((bottom - 4 - 114))"
e2e_check "button: message" "$(answer_msgbox)" "Fix troubles of abnormal program termination successfully"
e2e_check "button: policy reset" "$(reg "$E2E_POLICY_SYSTEM" DisableTaskmgr)" 0
e2e_check "window stays open after its job" \
    "$(driver window-info - "$TOOL_TITLE" | sed -n 's/^visible=//p')" 1
e2e_check_cmd "window closes" e2e_driver send - "$TOOL_TITLE" 0x10 0 0
e2e_check "closing the window ends the tool" "$(tool_ended 15 && echo ended)" ended

# ---- no argument: the window as well ---------------------------------------------------------
start_tool
e2e_check_cmd "no argument: window shown" e2e_driver wait-window - "$TOOL_TITLE" 30000 visible
e2e_driver send - "$TOOL_TITLE" 0x10 0 0 >/dev/null
e2e_check "no argument: ends when closed" "$(tool_ended 15 && echo ended)" ended

e2e_finish
