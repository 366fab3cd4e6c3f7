#!/usr/bin/env bash
# The configuration dialog of the real program, opened through Win + C and the verify dialog:
# its four tabs, the entries of every list, the fields each choice writes (read back from the
# file after closing), the grid-size change, a new pattern with its backup picture, and the
# alert text as it is stored.
. "$(dirname "$0")/lib.sh"
. "$(dirname "$0")/config_lib.sh"

TIMES="Never|1 minute|2 minutes|3 minutes|4 minutes|5 minutes|10 minutes|15 minutes|20 minutes|25 minutes|30 minutes|45 minutes|1 hour|2 hours|3 hours|5 hours"
RUN_KEY='HKEY_CURRENT_USER\Software\Microsoft\Windows\CurrentVersion\Run'
BACKUP_WIN='C:\pattern-backup.bmp'
ALERT_BOX='#160'

# Entries of a list as one "|"-joined line (blanks kept).
entries() { e2e_driver combo-items "$CONFIG_TITLE" "$1" | sed -n 's/^item=//p' | paste -sd'|'; }
selected() { e2e_field selected combo-items "$CONFIG_TITLE" "$1"; }
pick() { e2e_driver combo-select "$CONFIG_TITLE" "$1" "$2" >/dev/null; }

# Clicks tab i (0..3) where a person would: on its caption.
click_tab() {
    local origin
    origin=$(e2e_driver client-origin "$CONFIG_TITLE") || return 1
    e2e_driver click "$((${origin%,*} + 50 + 81 * $1)),$((${origin#*,} + 25))" >/dev/null
    # Away from the tab row again, so no tool tip or hover mark stays in the pictures.
    e2e_driver move 5,5 >/dev/null
    sleep 0.5
}

# "enabled" value of the control whose line in `controls` matches the pattern.
enabled_of() { e2e_driver controls "$CONFIG_TITLE" | grep -- "$1" | head -n 1 | sed 's/.* enabled=\([01]\) .*/\1/'; }

# Red-rimmed (entered) points among points 1..16 of a 4 x 4 canvas on a screenshot, as a list.
entered_points() {
    local shot=$1 origin ox oy k c x y found=()
    origin=$(e2e_driver client-origin "$CONFIG_TITLE")
    ox=$((${origin%,*} + CANVAS_X)) oy=$((${origin#*,} + CANVAS_Y))
    for k in $(seq 1 "$2"); do
        c=$(small_centre "$3" "$k")
        x=$((ox + ${c%,*} - 18)) y=$((oy + ${c#*,} - 18))
        [ "$(e2e_pixels count "$shot" "$x,$y,$((x + 37)),$((y + 37))" 255,0,0 90)" -gt 10 ] && found+=("$k")
    done
    echo "${found[*]}"
}

# Size and the canvas colours of the backup file: "WxH midway(1,2) midway(3,6) midway(4,7)".
bmp_summary() {
    "$E2E_PYTHON" - "$1" <<'PY'
import sys
from PIL import Image
try:
    image = Image.open(sys.argv[1])
    image.load()
except Exception as error:  # noqa: BLE001  anything unreadable is a failure to report
    print("unreadable", error); sys.exit()
rgb = image.convert("RGB")
def at(x, y): return "%d,%d,%d" % rgb.getpixel((x, y))
print(f"{image.format} {image.size[0]}x{image.size[1]}", at(124, 88), at(232, 124), at(88, 124))
PY
}

e2e_begin config
# The first-run defaults, so the pictures of the tabs show what a new user sees.
e2e_write_config --grid 0 --pattern 1,2,3,5,7,8,9 --auto-hide 60 --auto-lock 180 --monitor-off 300 \
    --alert-times 3 --alert-mode 1 --effect 1
e2e_require "program starts" e2e_start_locker
e2e_require "Win + C and the right pattern open the dialog" open_config

# ---- the four tabs ------------------------------------------------------------------------------
names=(reset general background advanced)
frames=(" Lock Pattern: " " Options: " " Background Image: " " Advanced: ")
for i in 3 2 1 0; do
    click_tab "$i"
    e2e_check "tab $i shows its pane" \
        "$(e2e_driver controls "$CONFIG_TITLE" | grep -c "class=Button shown=1 .* text=${frames[$i]}\$")" 1
    window_shot "$CONFIG_TITLE" "${names[$i]}" "config-${names[$i]}.png" >/dev/null
done
e2e_check "Advanced says, once, that Windows' lock opens with a click (Wine's logon takes any password)" \
    "$(e2e_driver controls "$CONFIG_TITLE" | grep -c "text=This Windows account has no password: .* opens with a click")" 1

# ---- every list holds exactly its entries ----------------------------------------------------------
e2e_check "grid list" "$(entries 'Backup Pattern')" "3 * 3 (9 Points)|4 * 4 (16 Points) |5 * 5 (25 Points)"
click_tab 1
e2e_check "autolock at startup list" "$(entries 'Autolock at Windows startup: ')" "Off|On"
e2e_check "autolock list" "$(entries 'Autolock computer after: ')" "$TIMES"
e2e_check "monitor list" "$(entries 'Turn off the monitor after: ')" "$TIMES"
e2e_check "autohide list" "$(entries 'Autohide unlock window after: ')" "$TIMES"
e2e_check "disconnect list" "$(entries 'Disconnect internet when locked: ')" "No|Yes"
e2e_check "alert list" "$(entries 'Alert after enter incorrect pattern over: ')" \
    "Never|1 time|2 times|3 times|4 times|5 times|6 times|7 times"
e2e_check "alert mode list" "$(entries 'Alert mode:')" \
    "None|Alarm with 1 minute|Alarm with 2 minutes|Alarm with 3 minutes|Lock computer|Shutdown computer"
e2e_check "keyboard list" "$(entries 'Lock keyboard:')" "No|Yes"
e2e_check "unlock mode list" "$(entries 'Unlock mode:')" "Normal Unlock Mode|Secure Unlock Mode|Dynamic Password Mode"
e2e_check "the lists open on the stored values" \
    "$(selected 'Autohide unlock window after: ') $(selected 'Alert after enter incorrect pattern over: ') $(selected 'Alert mode:')" \
    "1 3 1"
click_tab 2
e2e_check "effect list" "$(entries 'Pick Image')" "Effect Off|Effect On"

# ---- choosing entries ------------------------------------------------------------------------------
click_tab 1
pick 'Autolock at Windows startup: ' 1
pick 'Autolock computer after: ' 6
pick 'Turn off the monitor after: ' 13
pick 'Autohide unlock window after: ' 15
pick 'Disconnect internet when locked: ' 1
pick 'Alert after enter incorrect pattern over: ' 7
pick 'Alert mode:' 5
pick 'Lock keyboard:' 1
pick 'Unlock mode:' 2
sleep 0.5
e2e_check "autolock at startup writes the Run entry at once" "$(e2e_reg "$RUN_KEY" 'Orvo PC Lock' | grep -c '/StartupLock')" 1

# The alert text as typed: blanks around it are not stored.
e2e_driver set-text "$CONFIG_TITLE" "$ALERT_BOX" "" >/dev/null
origin=$(e2e_driver client-origin "$CONFIG_TITLE")
e2e_driver click "$((${origin%,*} + 199)),$((${origin#*,} + 392))" >/dev/null
e2e_driver type "  Hands off my PC!  " >/dev/null
sleep 0.5
e2e_check "the box keeps what was typed" \
    "$(e2e_driver controls "$CONFIG_TITLE" | sed -n 's/^id=160 .* text=//p')" "  Hands off my PC!  "

click_tab 2
pick 'Pick Image' 0
e2e_driver click-button "$CONFIG_TITLE" "Using Transparent Background" >/dev/null
sleep 0.5
e2e_check "transparent: Use Default disabled" "$(enabled_of 'text=Use Default$')" 0
e2e_check "transparent: Pick Image disabled" "$(enabled_of 'text=Pick Image$')" 0
e2e_check "transparent: effect list disabled" "$(enabled_of 'text=Effect Off$')" 0

# ---- Reset Pattern: a single point is refused, a drawn pattern accepted, then backed up ----------
click_tab 0
# Whether the pane's note on the default pattern shows, and what it says.
note() { e2e_driver controls "$CONFIG_TITLE" | grep '^id=193 ' | sed 's/.* shown=\([01]\) .* text=/\1 /'; }
e2e_check "the default pattern is said on the pane" "$(note)" \
    "1 This is the default pattern. Anyone who knows it can unlock: draw your own."
e2e_driver click-button "$CONFIG_TITLE" "Reset Pattern" >/dev/null
draw_on_canvas 0 1 2 3
e2e_check "three points are refused" "$(answer_msgbox "$APP_TITLE")" "A lock pattern needs at least 4 points. Please reset!"
e2e_driver click-button "$CONFIG_TITLE" "Reset Pattern" >/dev/null
draw_on_canvas 0 5
e2e_check "a single point on 3 x 3 is refused" "$(answer_msgbox "$APP_TITLE")" "Reset lock pattern Error, Please reset!"
sleep 0.5
e2e_check "the dialog is active again after the warning" "$(e2e_field foreground window-info - "$CONFIG_TITLE")" 1
e2e_driver click-button "$CONFIG_TITLE" "Reset Pattern" >/dev/null
draw_on_canvas 0 1 2 3 6
e2e_check "a drawn pattern is accepted" "$(answer_msgbox "$APP_TITLE")" \
    "Reset lock pattern OK, PLEASE REMEMBER YOUR PATTERN!"
e2e_check "then the backup question" "$(answer_msgbox 'Backup Pattern' 6)" \
    "Do you want to backup the lock pattern in case of you forgot your pattern?"
backup="$WINEPREFIX/drive_c/pattern-backup.bmp"
rm -f "$backup"
e2e_driver file-dialog "Orvo PC Lock - Backup Lock Pattern" "$BACKUP_WIN" 15000 >/dev/null
deadline=$((SECONDS + 10))
while [ ! -s "$backup" ] && [ $SECONDS -lt $deadline ]; do sleep 0.2; done
sleep 0.5
e2e_check "the backup is a 322 x 322 bitmap of the new pattern" "$(bmp_summary "$backup")" \
    "BMP 322x322 0,63,255 0,63,255 255,255,255"
window_shot "$CONFIG_TITLE" new-pattern >/dev/null
e2e_check "a pattern of one's own hides the note" "$(note | cut -c1)" 0

# An existing file is replaced only after Yes.
printf 'old backup' > "$backup"
e2e_driver click-button "$CONFIG_TITLE" "Backup Pattern" >/dev/null
e2e_driver file-dialog "Orvo PC Lock - Backup Lock Pattern" "$BACKUP_WIN" 15000 >/dev/null
e2e_check "replacing asks first" "$(answer_msgbox 'Backup Pattern' 7)" \
    "The target file already exists. Are you sure to replace?"
sleep 0.5
e2e_check "No leaves the file" "$(cat "$backup")" "old backup"
e2e_driver click-button "$CONFIG_TITLE" "Backup Pattern" >/dev/null
e2e_driver file-dialog "Orvo PC Lock - Backup Lock Pattern" "$BACKUP_WIN" 15000 >/dev/null
answer_msgbox 'Backup Pattern' 6 >/dev/null
deadline=$((SECONDS + 10))
while [ "$(head -c 2 "$backup")" != BM ] && [ $SECONDS -lt $deadline ]; do sleep 0.2; done
e2e_check "Yes replaces it" "$(bmp_summary "$backup" | cut -d' ' -f1-2)" "BMP 322x322"

# ---- another grid size: the message, then the default pattern of 4 x 4 on the canvas ------------
pick 'Backup Pattern' 1
e2e_check "another grid size resets the pattern" "$(answer_msgbox "$APP_TITLE")" \
    "Lock Pattern will be reset by default pattern"
sleep 0.5
e2e_check "the dialog is active again after the message" "$(e2e_field foreground window-info - "$CONFIG_TITLE")" 1
shot=$(window_shot "$CONFIG_TITLE" grid-4x4)
e2e_check "the canvas shows the 4 x 4 default pattern" \
    "$(entered_points "$E2E_ARTIFACTS/$E2E_NAME-grid-4x4-screen.png" 16 1)" "1 2 3 4 7 10 13 14 15 16"
e2e_check "the grid's default pattern brings the note back" "$(note | cut -c1)" 1
pick 'Backup Pattern' 1
e2e_check "the same size again says nothing" "$(no_msgbox "$APP_TITLE" 1500)" none

# ---- closing with OK writes every field ----------------------------------------------------------
e2e_require "OK closes the dialog" close_config_ok
e2e_check "file size" "$(cfg_field size)" 569
e2e_check "grid and pattern" "$(cfg_pattern)" "1 1 2 3 4 7 10 13 14 15 16"
for pair in AutoStartLock=-1 AutoLockTime=600 MonitorOffTime=7200 AutoHideTime=18000 Disconnection=1 \
    AlertTimes=7 AlertMode=5 LockKeyboard=1 UnlockMode=2 Effect=0 TransparentBackground=1 FileMark=20001; do
    e2e_check "field ${pair%=*}" "$(cfg_field "${pair%=*}")" "${pair#*=}"
done
e2e_check "alert text stored trimmed" "$(cfg_field AlertWord)" "'Hands off my PC!$(printf '%112s' '')'"

# ---- a long alert text is cut at 128 characters; the close box saves like OK ---------------------
e2e_require "the dialog opens again with the new pattern" open_config
click_tab 1
e2e_driver set-text "$CONFIG_TITLE" "$ALERT_BOX" "" >/dev/null
origin=$(e2e_driver client-origin "$CONFIG_TITLE")
e2e_driver click "$((${origin%,*} + 199)),$((${origin#*,} + 392))" >/dev/null
long=$(printf 'abcdefghij%.0s' $(seq 13))   # 130 characters
e2e_driver type "$long" >/dev/null
e2e_driver send - "$CONFIG_TITLE" WM_CLOSE 0 0 >/dev/null
e2e_check_cmd "the close box closes the dialog" e2e_driver wait-no-window - "$CONFIG_TITLE" 15000
e2e_check "alert text cut at 128 characters" "$(cfg_field AlertWord)" "'${long:0:128}'"
e2e_check "other fields kept" "$(cfg_field AlertMode) $(cfg_field TransparentBackground)" "5 1"

e2e_finish
