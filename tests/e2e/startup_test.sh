#!/usr/bin/env bash
# Start-up of the real lock program under Wine: the installation values and the alarm sound,
# the settings file on a normal start, with the file missing, broken, or a fresh start asked
# for in the registry; a second start that ends at once; the refusal of Windows 98.
. "$(dirname "$0")/lib.sh"
. "$(dirname "$0")/config_lib.sh"

# After a first run or a broken file the modal configuration dialog comes up and start-up waits
# for it: the window that marks a running program comes only after it. "waiting" then.
startup_waiting() {
    e2e_driver wait-window - "$CONFIG_TITLE" 30000 visible >/dev/null || { echo "no dialog"; return; }
    if e2e_driver wait-window - "$E2E_TRAY_TITLE" 0 >/dev/null 2>&1; then
        echo "not waiting"
    else
        echo waiting
    fi
}

# Waits (bounded) for the window that keeps a started program alive.
wait_running() {
    local deadline=$((SECONDS + 30))
    while :; do
        e2e_driver wait-window - "$E2E_TRAY_TITLE" 100 >/dev/null 2>&1 && return 0
        e2e_locker_running || return 1
        [ $SECONDS -ge $deadline ] && return 1
        sleep 0.2
    done
}

# Ends the program through its own exit path (the tray menu's "&Exit"); the hard way only when
# that failed.
stop_locker() {
    if e2e_tray_exit; then
        e2e_check "program ends through the tray menu's Exit" "$(e2e_wait_locker_exit 15000 && echo ended)" ended
    else
        e2e_fail "no tray menu to end the program with"
    fi
    e2e_kill_locker
}

# The driver's output is console text under Wine: lines end in CR LF.
driver() { e2e_driver "$@" | tr -d '\r'; }
reg() { driver reg-query "$1" "$2"; }

# Bytes of the settings file as hex, for comparisons.
cfg_hex() { od -An -v -tx1 "$E2E_CFG" 2>/dev/null | tr -d ' \n'; }

# "size mark grid autohide" of the settings file.
cfg_summary() {
    "$E2E_PYTHON" - "$E2E_CFG" <<'PY'
import struct, sys
try:
    data = open(sys.argv[1], "rb").read()
except OSError:
    print("missing"); sys.exit()
mark = struct.unpack_from("<i", data, 565)[0] if len(data) >= 569 else None
hide = struct.unpack_from("<i", data, 2)[0] if len(data) >= 6 else None
print(len(data), mark, data[0] if data else None, hide)
PY
}

e2e_begin startup

# ---- a normal start with a valid settings file and no "FirstRun" value -----------------------
e2e_write_config --auto-hide 120
before=$(cfg_hex)
e2e_launch_locker
e2e_require "program keeps running after start-up" wait_running
e2e_check "no message on a normal start" \
    "$(e2e_driver msgbox-wait 'Orvo PC Lock' 1000 >/dev/null 2>&1 && echo shown || echo none)" none

exe_windows=$(winepath -w "$E2E_LOCKER")
e2e_check "APP_PATH is the program's full path" "$(reg "$SYSTEM_KEY" APP_PATH)" "$exe_windows"
app_ver=$(reg "$SYSTEM_KEY" APP_VER)
app_build=$(reg "$SYSTEM_KEY" APP_BUILD)
e2e_check_match "APP_VER is major.minor.revision" "$app_ver" '^[0-9]+\.[0-9]+\.[0-9]+$'
e2e_check "APP_BUILD is the revision of APP_VER" "$app_build" "${app_ver##*.}"
expected_ver=$("$E2E_PYTHON" "$E2E_SOURCE/tests/e2e/exe_version.py" "$E2E_LOCKER")
e2e_check "APP_VER matches the version resource" "$app_ver" "$expected_ver"
header_ver=$(sed -n 's/^#define ORVO_VERSION_\(MAJOR\|MINOR\|REVISION\) \([0-9]*\)$/\2/p' \
    "$E2E_SOURCE/resources/version.h" | paste -sd.)
e2e_check "APP_VER matches resources/version.h" "$app_ver" "$header_ver"
e2e_check "FirstRun is not written on a normal start" "$(reg "$SYSTEM_KEY" FirstRun)" "<missing>"

alarm="$E2E_APPDATA/alarm.wav"
e2e_check_cmd "alarm.wav holds the built-in sound" cmp -s "$alarm" "$E2E_SOURCE/resources/art/alarm.wav"
e2e_check "a valid settings file is left as it was" "$(cfg_hex)" "$before"

# ---- a second start ends at once, without a window -------------------------------------------
timeout -k 5 60 wine "$E2E_LOCKER" >>"$E2E_DIR/second.log" 2>&1
e2e_check "second instance exits with code 0" "$?" 0
windows=$(driver list-windows)
e2e_check "second instance made no window" \
    "$(grep -c -e "title=$E2E_TRAY_TITLE\$" <<<"$windows")" 1
e2e_check_cmd "first instance keeps running" e2e_locker_running
e2e_check "second instance showed no message" \
    "$(e2e_driver msgbox-wait 'Orvo PC Lock' 500 >/dev/null 2>&1 && echo shown || echo none)" none
stop_locker

# ---- settings file missing: "lost or broken", then a valid file of defaults ------------------
rm -f "$E2E_CFG"
e2e_launch_locker
e2e_check "missing file: message" "$(answer_msgbox 'Orvo PC Lock')" \
    "Orvo PC Lock configuration file is lost or broken."$'\n'"$RESET_TEXT"
e2e_check "missing file: start-up waits for the modal dialog" "$(startup_waiting)" waiting
e2e_check "missing file: nothing written before OK" "$(cfg_summary)" missing
e2e_require "missing file: OK closes the dialog" close_config_ok
e2e_require "program keeps running after the message" wait_running
e2e_check "missing file: defaults saved" "$(cfg_summary)" "569 20001 0 60"
e2e_check "missing file: default times, alert and effect" \
    "$(for f in AutoLockTime MonitorOffTime AlertTimes AlertMode AutoStartLock Effect; do cfg_field $f; done | paste -sd' ')" \
    "180 300 3 1 0 1"
e2e_check "missing file: default alert text" "$(cfg_field AlertWord)" "'Do not touch my computer!$(printf '%103s' '')'"
e2e_check_match "missing file: a default pattern of 7 points on 3 x 3" "$(cfg_pattern)" '^0( [1-9]){7}$'
stop_locker

# ---- settings file with a wrong mark: read failure, then "lost or broken" ---------------------
e2e_write_config --file-mark 20000 --auto-hide 600 --grid 2 --pattern 1,7,13,19,25 --unlock-mode 1
e2e_launch_locker
e2e_check "broken file: read failure message" "$(answer_msgbox 'Orvo PC Lock')" "Reading configuration file failed! "
e2e_check "broken file: then the defaults message" "$(answer_msgbox 'Orvo PC Lock')" \
    "Orvo PC Lock configuration file is lost or broken."$'\n'"$RESET_TEXT"
e2e_check "broken file: start-up waits for the modal dialog" "$(startup_waiting)" waiting
# The rejected file named a 5 x 5 grid; the defaults are 3 x 3, and the dialog draws that grid:
# the last point of 3 x 3 (centre 232,232 of the canvas) carries a ring of the pattern.
e2e_check "broken file: the list shows 3 x 3" "$(e2e_field selected combo-items "$CONFIG_TITLE" 'Backup Pattern')" 0
origin=$(e2e_driver client-origin "$CONFIG_TITLE")
shot=$(e2e_shot broken-defaults)
x=$((${origin%,*} + CANVAS_X + 214)) y=$((${origin#*,} + CANVAS_Y + 214))
e2e_check "broken file: the canvas shows the 3 x 3 default pattern" \
    "$(e2e_pixels count "$shot" "$x,$y,$((x + 37)),$((y + 37))" 255,0,0 90 | awk '{print ($1 > 10)}')" 1
e2e_require "broken file: OK closes the dialog" close_config_ok
e2e_require "program keeps running after the messages" wait_running
e2e_check "broken file: replaced by a valid one" "$(cfg_summary)" "569 20001 0 60"
e2e_check_match "broken file: default pattern of 3 x 3" "$(cfg_pattern)" '^0( [1-9]){7}$'
e2e_check "broken file: fields outside the defaults are kept" "$(cfg_field UnlockMode)" 1
stop_locker

# ---- "FirstRun" = "0" asks for a fresh start even with a valid file --------------------------
e2e_write_config --auto-hide 900 --grid 2 --pattern 1,2,3
e2e_reg_set "$SYSTEM_KEY" FirstRun REG_SZ 0
e2e_launch_locker
e2e_check "fresh start: first-run message" "$(answer_msgbox 'Orvo PC Lock')" \
    "You are first running Orvo PC Lock."$'\n'"$RESET_TEXT"
e2e_check "fresh start: start-up waits for the modal dialog" "$(startup_waiting)" waiting
e2e_check "fresh start: the old file is deleted" "$(cfg_summary)" missing
e2e_require "fresh start: OK closes the dialog" close_config_ok
e2e_require "program keeps running after the first-run message" wait_running
e2e_check "fresh start: FirstRun becomes 1" "$(reg "$SYSTEM_KEY" FirstRun)" 1
e2e_check "fresh start: old file replaced by defaults" "$(cfg_summary)" "569 20001 0 60"
stop_locker

# ---- Windows 98 is refused before anything is recorded -----------------------------------------
wine reg delete "${SYSTEM_KEY/HKEY_CURRENT_USER/HKCU}" /v APP_PATH /f >/dev/null 2>&1
e2e_reg_set 'HKCU\Software\Wine\AppDefaults\OrvoPCLock.exe' Version REG_SZ win98
e2e_launch_locker
e2e_check_match "Windows 98: refusal message" "$(answer_msgbox 'Warning !')" \
    "^Sorry! Pavrel can't support Microsoft Windows 98 .*\(Build [0-9]+\)$"
e2e_check "Windows 98: program ends" "$(e2e_wait_locker_exit 15000 && echo ended)" ended
e2e_check "Windows 98: nothing recorded" "$(reg "$SYSTEM_KEY" APP_PATH)" "<missing>"
wine reg delete 'HKCU\Software\Wine\AppDefaults\OrvoPCLock.exe' /f >/dev/null 2>&1
e2e_kill_locker

e2e_finish
