#!/usr/bin/env bash
# Win + C and the verify dialog of the real program: one dialog however often the key comes,
# the trail while drawing, wrong patterns that only clear the grid, and the right pattern that
# closes it and opens the configuration dialog exactly once.
. "$(dirname "$0")/lib.sh"
. "$(dirname "$0")/config_lib.sh"

e2e_begin verify
e2e_write_config --grid 0 --pattern 1,2,3,5,7,8,9 --alert-times 1 --alert-mode 1
e2e_require "program starts" e2e_start_locker

# ---- Win + C opens the one verify dialog ------------------------------------------------------
e2e_driver hotkey win+c >/dev/null
e2e_require "Win + C opens the verify dialog" e2e_driver wait-window - "$VERIFY_TITLE" 15000 visible
controls=$(e2e_driver controls "$VERIFY_TITLE")
e2e_check "label" "$(grep -c 'rect=90,10,264,25 text=Please enter your secret pattern$' <<<"$controls")" 1
e2e_check "cancel button" "$(grep -c 'class=Button .*rect=136,372,226,395 text=&Cancel$' <<<"$controls")" 1
e2e_check "pattern box" "$(grep -c 'rect=17,37,337,357 ' <<<"$controls")" 1
e2e_driver hotkey win+c >/dev/null
sleep 1
e2e_check "Win + C again keeps one verify dialog" "$(count_windows "$VERIFY_TITLE")" 1

# ---- the trail while drawing (kept as the picture of the dialog) --------------------------------
DRAW_HOLD=1 draw_in_verify 0 1 2 3 5
shot=$(window_shot "$VERIFY_TITLE" drawing verify.png)
origin=$(e2e_driver client-origin "$VERIFY_TITLE")
screen_shot="$E2E_ARTIFACTS/$E2E_NAME-drawing-screen.png"
ox=${origin%,*} oy=${origin#*,}
# Centres 1 (88,88) and 2 (160,88) in the box: the blue line between them, nothing between 4 and 7.
e2e_check "blue trail between the first two points" \
    "$(e2e_pixels at "$screen_shot" "$((ox + 17 + 124)),$((oy + 37 + 88))" | cut -d' ' -f2-)" "0 63 255"
e2e_check "no trail where nothing was drawn" \
    "$(e2e_pixels at "$screen_shot" "$((ox + 17 + 88)),$((oy + 37 + 124))" | cut -d' ' -f2-)" "255 255 255"
e2e_check "red ring on an entered point" \
    "$(e2e_pixels count "$screen_shot" "$((ox + 17 + 142)),$((oy + 37 + 142)),$((ox + 17 + 179)),$((oy + 37 + 179))" \
        255,0,0 90 | awk '{print ($1 > 10)}')" 1
e2e_log "picture of the dialog: $shot"
last=$(box_points 0 "$VERIFY_TITLE" "$VERIFY_BOX_X" "$VERIFY_BOX_Y" 5)
e2e_require "button released" e2e_driver mouse-up "${last% }"

# ---- wrong patterns: the grid clears, the dialog stays, nothing else happens ---------------------
sleep 1.5
e2e_check "a wrong pattern keeps the dialog" "$(count_windows "$VERIFY_TITLE")" 1
for _ in 2 3; do
    draw_in_verify 0 1 4 7 8 9
    sleep 1.5
done
e2e_check "three wrong patterns keep the dialog" "$(count_windows "$VERIFY_TITLE")" 1
e2e_check "no configuration dialog after wrong patterns" "$(count_windows "$CONFIG_TITLE")" 0
e2e_check "no message after wrong patterns" "$(no_msgbox "$APP_TITLE" 500)" none
e2e_check "no lock after wrong patterns (no alert)" "$(e2e_visible OrvoPCLockPattern)" 0
cleared=$(e2e_shot cleared)
e2e_check "the trail is gone" \
    "$(e2e_pixels at "$cleared" "$((ox + 17 + 124)),$((oy + 37 + 88))" | cut -d' ' -f2-)" "255 255 255"

# ---- the right pattern: verify closes, configuration opens once ----------------------------------
draw_in_verify 0 1 2 3 5 7 8 9
e2e_check_cmd "the right pattern closes the verify dialog" \
    e2e_driver wait-no-window - "$VERIFY_TITLE" 15000
e2e_check_cmd "and opens the configuration dialog" e2e_driver wait-window - "$CONFIG_TITLE" 15000 visible
sleep 1
e2e_check "exactly one configuration dialog" "$(count_windows "$CONFIG_TITLE")" 1
e2e_check "configuration dialog in front" \
    "$(e2e_field foreground window-info - "$CONFIG_TITLE")" 1

# The dialog is modeless: Win + C still works and a second right pattern keeps one dialog.
e2e_driver hotkey win+c >/dev/null
e2e_check_cmd "Win + C while configuring opens the verify dialog" \
    e2e_driver wait-window - "$VERIFY_TITLE" 15000 visible
draw_in_verify 0 1 2 3 5 7 8 9
e2e_driver wait-no-window - "$VERIFY_TITLE" 15000 >/dev/null
sleep 1
e2e_check "still exactly one configuration dialog" "$(count_windows "$CONFIG_TITLE")" 1

# ---- Cancel closes without the configuration dialog ----------------------------------------------
e2e_require "configuration closes with OK" close_config_ok
e2e_driver hotkey win+c >/dev/null
e2e_driver wait-window - "$VERIFY_TITLE" 15000 visible >/dev/null
e2e_driver click-button "$VERIFY_TITLE" "&Cancel" >/dev/null
e2e_check_cmd "Cancel closes the verify dialog" e2e_driver wait-no-window - "$VERIFY_TITLE" 10000
e2e_check "Cancel opens nothing" "$(count_windows "$CONFIG_TITLE")" 0
e2e_check_cmd "program still runs" e2e_locker_running

e2e_finish
