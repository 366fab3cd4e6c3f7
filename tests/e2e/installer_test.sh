#!/usr/bin/env bash
# The setup program under Wine, silently, twice, then the Windows Installer package. Round 1:
# install with the start-up lock; files, shortcuts, uninstall entry and the machine's choice are
# there; the installed program's first start (an account it has never seen) is a first run and
# writes the account's own Run value; it locks with Win+A, unlocks with the secret pattern, and exits; with a safe-mode
# marker in Winlogon's "Userinit" the silent uninstall leaves nothing of ours but the settings
# (file and registry key), and the rest of "Userinit" byte for byte. Round 2: the setup program
# refuses while the tool runs; then install without the start-up lock, seed the Run value and
# the marker as the programs write them, uninstall with /REMOVECONFIG: nothing of ours is left.
# Round 3: msiexec /i with STARTUPLOCK=1 NOSERVICE=1, a repair brings back a deleted file,
# msiexec /x leaves nothing of ours; without properties the package installs and starts the
# service, and msiexec /x removes it. The setup program installs the service in rounds 1 and 2.
E2E_TIME_BOUND=600
# Shortcuts would otherwise become menu entries of the Linux desktop outside the prefix.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
. "$(dirname "$0")/lib.sh"
. "$(dirname "$0")/config_lib.sh"

SETUP=$(ls "$E2E_BUILD"/OrvoPCLock-Setup-*.exe 2>/dev/null | head -n 1)
[ -f "$SETUP" ] || { echo "missing $E2E_BUILD/OrvoPCLock-Setup-<version>.exe: build first" >&2; exit 1; }
VERSION=$(basename "$SETUP" .exe)
VERSION=${VERSION#OrvoPCLock-Setup-}

PRODUCT='Orvo PC Lock'
DIR_WIN='C:\Program Files\Orvo PC Lock'
PROGRAM_WIN="$DIR_WIN\\OrvoPCLock.exe"
STARTUP_COMMAND="$PROGRAM_WIN /StartupLock"
MARKER=",$PROGRAM_WIN /StartupLock"
RUN_KEY='HKEY_CURRENT_USER\Software\Microsoft\Windows\CurrentVersion\Run'
MACHINE_RUN_KEY='HKEY_LOCAL_MACHINE\Software\Microsoft\Windows\CurrentVersion\Run'
MACHINE_KEY='HKEY_LOCAL_MACHINE\SOFTWARE\OrvoSoft\Orvo PC Lock'
UNINSTALL_KEY='HKEY_LOCAL_MACHINE\Software\Microsoft\Windows\CurrentVersion\Uninstall\Orvo PC Lock'
WINLOGON='HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Windows NT\CurrentVersion\Winlogon'
CONFIG_KEY='HKEY_CURRENT_USER\SOFTWARE\Orvo PC Lock'
# Windows' own entry and one another program appended after ours; both must survive exactly.
USERINIT_HEAD='C:\windows\system32\userinit.exe,'
USERINIT_TAIL=',C:\Tools\Helper App.exe  /q'

driver() { e2e_driver "$@" | tr -d '\r'; }
reg() { driver reg-query "$1" "$2"; }
# "missing" when the value (or its key) does not exist, else its text.
reg_or_missing() {
    local text
    text=$(reg "$1" "$2")
    if [ "$text" = "<missing>" ]; then echo missing; else printf '%s\n' "$text"; fi
}

# HKEY_LOCAL_MACHINE\Software and HKEY_CURRENT_USER as exported by Wine's reg.exe.
snapshot() {
    wine reg export 'HKLM\Software' "$(winepath -w "$1-hklm.reg")" /y >/dev/null 2>&1 &&
        wine reg export HKCU "$(winepath -w "$1-hkcu.reg")" /y >/dev/null 2>&1
}

# Keys and values added or removed between two snapshots, one per line ("+ key value"), minus
# Wine's own per-session settings and whatever lies below an allowed key (argument 3).
registry_changes() {
    "$E2E_PYTHON" - "$1" "$2" "${3:-}" <<'EOF'
import sys
def load(base):
    items = set()
    for hive in ("hklm", "hkcu"):
        text = open(f"{base}-{hive}.reg", encoding="utf-16").read().replace("\\\n  ", "")
        key = None
        for line in text.splitlines()[1:]:
            if line.startswith("["):
                key = line[1:-1]
                items.add((key, ""))
            elif key and line.strip():
                items.add((key, line))
    return items
before, after, allowed = load(sys.argv[1]), load(sys.argv[2]), sys.argv[3].lower()
ignored = ("hkey_current_user\\software\\wine",)
# Every Windows profile has this key; a new Wine prefix makes it only when a value is first
# written there. The key alone is no leftover; a value of ours under it still is.
standard_keys = ("hkey_current_user\\software\\microsoft\\windows\\currentversion\\runonce",)
for sign, items in (("-", before - after), ("+", after - before)):
    for key, value in sorted(items):
        low = key.lower()
        if not value and low in standard_keys:
            continue
        if low.startswith(ignored) or (allowed and (low == allowed or low.startswith(allowed + "\\"))):
            continue
        print(sign, key, value)
EOF
}

# Files and folders of ours anywhere on drive C:, relative to it, one line each.
our_files() {
    (cd "$WINEPREFIX/drive_c" && find . \( -iname '*orvo*' -o -ipath '*/OrvoSoft/*' \) | sort)
}

service_state() { wine sc query OrvoPCLockService 2>/dev/null | tr -d '\r' | sed -n 's/^ *STATE *: *[0-9]* *//p'; }

tool_window_open() { e2e_driver wait-window - "Orvo PC Lock Tools" 30000 visible >/dev/null; }

# The silent uninstaller copies itself to the temporary folder and returns at once; the copy
# deletes the uninstall entry last, so its absence (with the folder gone) marks the end.
wait_uninstalled() {
    local deadline=$((SECONDS + 60))
    while [ -d "$INSTALL_DIR" ] || [ "$(reg_or_missing "$UNINSTALL_KEY" DisplayName)" != missing ]; do
        [ $SECONDS -ge $deadline ] && return 1
        sleep 0.3
    done
    sleep 1  # let the copy end before the registry is read as a whole
}

wait_program_exit() {
    local deadline=$((SECONDS + 15))
    while e2e_locker_running; do
        [ $SECONDS -ge $deadline ] && return 1
        sleep 0.2
    done
}

e2e_begin installer 1366x768
INSTALL_DIR="$WINEPREFIX/drive_c/Program Files/$PRODUCT"
MENU_DIR="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/$PRODUCT"
e2e_log "setup program $(basename "$SETUP"), $(stat -c %s "$SETUP") bytes"

e2e_reg_set "${WINLOGON/HKEY_LOCAL_MACHINE/HKLM}" Userinit REG_SZ "$USERINIT_HEAD$USERINIT_TAIL"
snapshot "$E2E_DIR/before"

# ==== round 1: install with the start-up lock, use the program, uninstall keeping the settings
wine "$SETUP" /S /STARTUPLOCK >>"$E2E_DIR/setup.log" 2>&1
e2e_check "setup /S /STARTUPLOCK: exit code" "$?" 0
for file in OrvoPCLock.exe OrvoPCLockTool.exe OrvoPCLockGuard.exe Uninstall.exe; do
    e2e_check_cmd "installed: $file" test -f "$INSTALL_DIR/$file"
done
cmp -s "$E2E_BUILD/installer-stage/OrvoPCLock.exe" "$INSTALL_DIR/OrvoPCLock.exe"
e2e_check "installed program is the built one (without debug information)" "$?" 0
# A signed build keeps the uninstaller it signed before packing: that one must be installed.
if [ -f "$E2E_BUILD/installer-stage/Uninstall.exe" ]; then
    e2e_check_cmd "installed uninstaller is the signed one" cmp -s "$E2E_BUILD/installer-stage/Uninstall.exe" \
        "$INSTALL_DIR/Uninstall.exe"
fi
for link in "$PRODUCT" "Orvo PC Lock Tools" "Uninstall $PRODUCT" "Lock Computer"; do
    e2e_check_cmd "Start-menu shortcut: $link" test -f "$MENU_DIR/$link.lnk"
done
e2e_check "Lock Computer: header hot key Ctrl+Alt+Shift+F12, argument /Lock" "$("$E2E_PYTHON" -c 'import sys; d = open(sys.argv[1], "rb").read()
print(hex(int.from_bytes(d[0x40:0x42], "little")), "/Lock".encode("utf-16-le") in d)' "$MENU_DIR/Lock Computer.lnk")" "0x77b True"
e2e_check "uninstall entry: name" "$(reg "$UNINSTALL_KEY" DisplayName)" "$PRODUCT"
e2e_check "uninstall entry: version" "$(reg "$UNINSTALL_KEY" DisplayVersion)" "$VERSION"
e2e_check "uninstall entry: command" "$(reg "$UNINSTALL_KEY" UninstallString)" "\"$DIR_WIN\\Uninstall.exe\""
e2e_check "uninstall entry: silent command" "$(reg "$UNINSTALL_KEY" QuietUninstallString)" \
    "\"$DIR_WIN\\Uninstall.exe\" /S"
e2e_check "the setup installs and starts the service" "$(service_state)" RUNNING
e2e_check "the machine's choice: lock at start-up" "$(reg "$MACHINE_KEY" StartupLock)" 1
e2e_check "the machine's Run value starts the program at every logon" "$(reg "$MACHINE_RUN_KEY" "$PRODUCT")" \
    "\"$PROGRAM_WIN\""
e2e_check "nothing written for the installing account" \
    "$(reg_or_missing "$RUN_KEY" "$PRODUCT") $(reg_or_missing "$CONFIG_KEY\\System" FirstRun)" "missing missing"

E2E_LOCKER=$PROGRAM_WIN
e2e_launch_locker
e2e_check "first start: the first-run text" "$(e2e_driver msgbox-wait "$APP_TITLE" 30000)" \
    "You are first running Orvo PC Lock."$'\n'"$RESET_TEXT"
# The first-run message waits without input beyond the default auto-lock time (180 s); then Win+A.
cover_shows() { e2e_driver wait-window OrvoPCLockBackground - "$1" visible >/dev/null 2>&1 && echo locked; }
sleep 183
e2e_check "no auto-lock while the first-run message waits" "$(cover_shows 2000)" ""
e2e_driver hotkey win+a >/dev/null
e2e_check "no Win+A lock while the first-run message waits" "$(cover_shows 3000)" ""
e2e_driver msgbox-click "$APP_TITLE" 1 >/dev/null
e2e_driver wait-window - "$CONFIG_TITLE" 15000 visible >/dev/null
e2e_check "the first-run dialog shows the start-up lock on" "$(e2e_field selected combo-items "$CONFIG_TITLE" '#141')" 1
e2e_require "first start: OK closes the dialog" close_config_ok
e2e_require "installed program starts" e2e_driver wait-window - "$E2E_TRAY_TITLE" 30000
e2e_check "the first run wrote the account's Run value" "$(reg "$RUN_KEY" "$PRODUCT")" "$STARTUP_COMMAND"
e2e_check "installed program records its path" "$(reg "$CONFIG_KEY\\System" APP_PATH)" "$PROGRAM_WIN"
e2e_driver hotkey win+a >/dev/null
e2e_require "Win+A locks the installed program" e2e_wait_policies "1 1 1" 15000
e2e_require "lock windows found" e2e_discover_lock_windows
read -r -a pattern <<< "$(e2e_pattern_path)"
e2e_driver drag "${pattern[@]}" >/dev/null
e2e_check_cmd "secret pattern unlocks" e2e_driver wait-no-window "$E2E_COVER_CLASS" - 15000 visible
# The service gives each value back exactly: none was there before.
e2e_check "policies cleared by unlocking" "$(e2e_policies)" "<missing> <missing> <missing>"
# Ended as a person ends it: "&Exit" in the tray menu (the tray window refuses a close request).
e2e_tray_exit
e2e_check "installed program exits" "$(wait_program_exit && echo ended)" ended
e2e_kill_locker

# As the tool's "/Enable" would have left it, with another program's entry added behind ours.
e2e_reg_set "${WINLOGON/HKEY_LOCAL_MACHINE/HKLM}" Userinit REG_SZ "$USERINIT_HEAD$MARKER$USERINIT_TAIL"
cfg_before=$(md5sum < "$E2E_CFG")
wine "$DIR_WIN\\Uninstall.exe" /S >>"$E2E_DIR/setup.log" 2>&1
e2e_require "uninstall /S finishes" wait_uninstalled
e2e_check "uninstalled: program folder gone" "$(test -e "$INSTALL_DIR" && echo present || echo gone)" gone
e2e_check "uninstalled: no service" "$(service_state)" ""
e2e_check "uninstalled: shortcuts gone" "$(test -e "$MENU_DIR" && echo present || echo gone)" gone
e2e_check "uninstalled: Run values gone" \
    "$(reg_or_missing "$RUN_KEY" "$PRODUCT") $(reg_or_missing "$MACHINE_RUN_KEY" "$PRODUCT")" "missing missing"
e2e_check "uninstalled: rest of Userinit byte for byte" "$(reg "$WINLOGON" Userinit)" "$USERINIT_HEAD$USERINIT_TAIL"
e2e_check "uninstalled: policy values gone" \
    "$(reg_or_missing "$E2E_POLICY_SYSTEM" DisableTaskmgr) $(reg_or_missing "$E2E_POLICY_EXPLORER" NoLogoff)" \
    "missing missing"
e2e_check "settings kept: file unchanged" "$(md5sum < "$E2E_CFG")" "$cfg_before"
e2e_check "settings kept: registry key" "$(reg "$CONFIG_KEY\\System" APP_PATH)" "$PROGRAM_WIN"
snapshot "$E2E_DIR/kept"
e2e_check "registry: nothing of ours left but the settings key" \
    "$(registry_changes "$E2E_DIR/before" "$E2E_DIR/kept" "$CONFIG_KEY")" ""
settings_dir="./users/$(id -un)/AppData/Roaming/OrvoSoft"
e2e_check "files: only the settings folder left" "$(our_files | tr '\n' '|')" \
    "$settings_dir|$settings_dir/Orvo PC Lock|$settings_dir/Orvo PC Lock/OrvoPLS.cfg|$settings_dir/Orvo PC Lock/alarm.wav|"

# ==== round 2: refused while the tool runs; install, uninstall removing the settings =========
mkdir -p "$INSTALL_DIR"
cp "$E2E_BUILD/installer-stage/OrvoPCLockTool.exe" "$INSTALL_DIR/"
wine "$DIR_WIN\\OrvoPCLockTool.exe" >>"$E2E_DIR/tool.log" 2>&1 &
E2E_PIDS+=("$!")
e2e_require "tool window open" tool_window_open
wine "$SETUP" /S >>"$E2E_DIR/setup.log" 2>&1
e2e_check "setup /S while the tool runs: refused (exit code 2)" "$?" 2
e2e_check "refused: nothing installed" "$(test -e "$INSTALL_DIR/OrvoPCLock.exe" && echo present || echo absent)" absent
e2e_driver send - "Orvo PC Lock Tools" 0x10 0 0 >/dev/null
e2e_driver wait-no-window - "Orvo PC Lock Tools" 15000 >/dev/null

wine "$SETUP" /S >>"$E2E_DIR/setup.log" 2>&1
e2e_check "setup /S: exit code" "$?" 0
e2e_check "without /STARTUPLOCK: no Run value" \
    "$(reg_or_missing "$MACHINE_RUN_KEY" "$PRODUCT") $(reg "$MACHINE_KEY" StartupLock)" "missing 0"
e2e_check "settings kept: no first run asked (\"0\"; round 1 left \"1\")" "$(reg_or_missing "$CONFIG_KEY\\System" FirstRun)" 1
e2e_reg_set 'HKCU\Software\Microsoft\Windows\CurrentVersion\Run' "$PRODUCT" REG_SZ "$STARTUP_COMMAND"
e2e_reg_set "${WINLOGON/HKEY_LOCAL_MACHINE/HKLM}" Userinit REG_SZ "$USERINIT_HEAD$MARKER$USERINIT_TAIL"
wine "$DIR_WIN\\Uninstall.exe" /S /REMOVECONFIG >>"$E2E_DIR/setup.log" 2>&1
e2e_require "uninstall /S /REMOVECONFIG finishes" wait_uninstalled
e2e_check "removed: rest of Userinit byte for byte" "$(reg "$WINLOGON" Userinit)" "$USERINIT_HEAD$USERINIT_TAIL"
snapshot "$E2E_DIR/removed"
e2e_check "registry: nothing of ours left" "$(registry_changes "$E2E_DIR/before" "$E2E_DIR/removed")" ""
e2e_check "files: nothing of ours left" "$(our_files)" ""

# ==== round 3: the Windows Installer package ===================================================
MSI=$(ls "$E2E_BUILD"/OrvoPCLock-[0-9]*.msi 2>/dev/null | head -n 1)
e2e_require "package built" test -f "$MSI"
wine msiexec /i "$(winepath -w "$MSI")" /qn STARTUPLOCK=1 NOSERVICE=1 >>"$E2E_DIR/msi.log" 2>&1
e2e_check "msiexec /i /qn STARTUPLOCK=1 NOSERVICE=1: exit code" "$?" 0
for file in OrvoPCLock.exe OrvoPCLockTool.exe Policy/OrvoPCLock.admx Policy/en-US/OrvoPCLock.adml; do
    e2e_check_cmd "package installed: $file" test -f "$INSTALL_DIR/$file"
done
e2e_check_cmd "package installed the built program" cmp -s "$E2E_BUILD/installer-stage/OrvoPCLock.exe" \
    "$INSTALL_DIR/OrvoPCLock.exe"
# Wine's msiexec puts a per-machine package's shortcuts into the installing user's Start menu.
USER_MENU_DIR="$WINEPREFIX/drive_c/users/$(id -un)/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/$PRODUCT"
for link in "$PRODUCT" "Orvo PC Lock Tools" "Lock Computer"; do
    e2e_check_cmd "package Start-menu shortcut: $link" test -f "$USER_MENU_DIR/$link.lnk"
done
e2e_check "package with NOSERVICE=1: no service" "$(service_state)" ""
e2e_check "package: the machine's choice and Run value" \
    "$(reg "$MACHINE_KEY" StartupLock) $(reg "$MACHINE_RUN_KEY" "$PRODUCT")" "1 \"$PROGRAM_WIN\""
rm "$INSTALL_DIR/OrvoPCLockTool.exe"
# Wine's msiexec fails "/fa" (exit code 69); the same repair by its properties works.
wine msiexec /i "$(winepath -w "$MSI")" REINSTALL=ALL REINSTALLMODE=as /qn >>"$E2E_DIR/msi.log" 2>&1
e2e_check_cmd "a repair brings back a deleted program" test -f "$INSTALL_DIR/OrvoPCLockTool.exe"
wine msiexec /x "$(winepath -w "$MSI")" /qn >>"$E2E_DIR/msi.log" 2>&1
e2e_check "msiexec /x /qn: exit code" "$?" 0
snapshot "$E2E_DIR/msi-removed"
e2e_check "package removed: nothing of ours in the registry" \
    "$(registry_changes "$E2E_DIR/before" "$E2E_DIR/msi-removed" | grep -i 'orvo')" ""
e2e_check "package removed: nothing of ours on disk" "$(our_files)" ""
wine msiexec /i "$(winepath -w "$MSI")" /qn >>"$E2E_DIR/msi.log" 2>&1
e2e_check "package without properties: the service runs" "$(service_state)" RUNNING
wine msiexec /x "$(winepath -w "$MSI")" /qn >>"$E2E_DIR/msi.log" 2>&1
e2e_check "package removed: no service, nothing of ours on disk" "$(service_state)|$(our_files)" "|"

e2e_finish
