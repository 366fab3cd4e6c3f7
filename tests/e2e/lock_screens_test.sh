#!/usr/bin/env bash
# What the lock window shows, checked on screenshots of the real program at exact pixel
# positions (computed by the driver from the program's own layout code): the idle screen
# (panel, dots, clock, date, alert text, icon box and icons), the trail while drawing (blue)
# and after a release (red), the hidden lock window (cover only) and the Dynamic Password
# screen (letters, input box, stars); on 1366x768 with a 4x4 grid and on 1920x1080 with 3x3.
# Screenshots stay in $ORVO_BUILD_DIR/e2e/artifacts/.
E2E_TIME_BOUND=500
. "$(dirname "$0")/lib.sh"

screen_checks() {
    local output code
    output=$("$E2E_PYTHON" "$E2E_SOURCE/tests/e2e/screen_checks.py" "$@")
    code=$?
    echo "$output" | sed "s/^\(PASS\|FAIL\): /\1: $tag: /"
    E2E_PASSED=$((E2E_PASSED + $(echo "$output" | grep -c '^PASS')))
    E2E_FAILED=$((E2E_FAILED + $(echo "$output" | grep -c '^FAIL')))
    [ "$code" -lt 100 ] || e2e_fail "$tag: screen_checks.py $1 could not run"
}

# The first captured frame whose pixel at x,y is near the colour.
first_frame_with() {
    local x=$1 y=$2 colour=$3 frame
    shift 3
    for frame in "$@"; do
        [ "$(e2e_pixels count "$frame" "$x,$y,$((x + 1)),$((y + 1))" "$colour" 20)" = 1 ] && { echo "$frame"; return; }
    done
}

run_size() {
    local size=$1 grid=$2 secret=$3
    tag="${size}-grid$grid"
    e2e_begin "lock_screens-$tag" "$size" plain
    e2e_write_config --grid "$grid" --pattern "$secret" --effect 0
    e2e_require "$tag: program starts" e2e_start_locker
    local points
    points=$(e2e_point "$grid" all)
    read -r -a centre <<< "$points"

    e2e_driver hotkey win+a >/dev/null
    e2e_require "$tag: locked" e2e_wait_policies "1 1 1" 15000
    e2e_require "$tag: lock windows found" e2e_discover_lock_windows
    e2e_driver move 10,10 >/dev/null
    sleep 0.5
    local idle hidden
    idle=$(e2e_shot "idle")

    # Enter hides the lock window (a one-second fade), leaving the cover alone on screen.
    e2e_driver key enter >/dev/null
    sleep 2
    hidden=$(e2e_shot "hidden")
    local changed
    changed=$(e2e_pixels diff "$idle" "$hidden" "$((E2E_W / 2 - 50)),$((E2E_H / 2 - 50)),$((E2E_W / 2 + 50)),$((E2E_H / 2 + 50))" 8)
    e2e_check_cmd "$tag: Enter hides the lock window ($changed pixels changed)" test "${changed:-0}" -gt 1000
    e2e_driver click 10,10 >/dev/null
    sleep 0.7
    local back
    back=$(e2e_shot "recalled")
    screen_checks idle "$E2E_W" "$E2E_H" "$points" "$hidden" "$idle"
    e2e_check "$tag: a click on the cover brings the idle screen back" \
        "$(e2e_pixels diff "$idle" "$back" "$((E2E_W / 2 - 150)),$((E2E_H / 2 - 150)),$((E2E_W / 2 + 150)),$((E2E_H / 2 + 150))" 10)" 0

    # Drawing: points 1, 2 and 6 with the button still held, then released (red for 700 ms).
    e2e_driver drag-hold "${centre[0]}" "${centre[1]}" "${centre[5]}" >/dev/null
    sleep 0.4
    local drawing
    drawing=$(e2e_shot "drawing")
    screen_checks trail blue "$E2E_W" "$E2E_H" "$points" "$hidden" "$drawing" "1 2 6"
    local mid_x mid_y
    mid_x=$(( (${centre[0]%,*} + ${centre[1]%,*}) / 2 ))
    mid_y=$(( (${centre[0]#*,} + ${centre[1]#*,}) / 2 ))
    e2e_capture_start release
    e2e_driver mouse-up "${centre[5]}" >/dev/null
    sleep 1.2
    local frames red
    # shellcheck disable=SC2046
    frames=$(e2e_capture_stop)
    # shellcheck disable=SC2086
    red=$(first_frame_with "$mid_x" "$mid_y" 255,0,0 $frames)
    if [ -n "$red" ]; then
        cp "$red" "$E2E_ARTIFACTS/$E2E_NAME-wrong.png"
        screen_checks trail red "$E2E_W" "$E2E_H" "$points" "$hidden" "$red" "1 2 6"
    else
        e2e_fail "$tag: the released trail is shown in red"
    fi
    sleep 0.5
    e2e_check "$tag: wrong pattern keeps the lock" "$(e2e_policies) $(e2e_visible "$E2E_LOCK_CLASS")" "1 1 1 1"
    local after
    after=$(e2e_shot "after-wrong")
    screen_checks idle "$E2E_W" "$E2E_H" "$points" "$hidden" "$after"

    # Dynamic Password Mode: the keyboard icon puts letters on the points and the input box up.
    e2e_click_mode_icon keyboard
    sleep 0.7
    local dynamic typed
    dynamic=$(e2e_shot "dynamic")
    screen_checks dynamic "$E2E_W" "$E2E_H" "$points" "$hidden" "$dynamic" 0
    e2e_driver key q >/dev/null
    sleep 0.5
    typed=$(e2e_shot "dynamic-typed")
    screen_checks dynamic "$E2E_W" "$E2E_H" "$points" "$hidden" "$typed" 1
    # Back to the Normal Unlock Mode (trail icon), then the secret pattern unlocks.
    e2e_click_mode_icon trail
    e2e_driver move 10,10 >/dev/null
    sleep 0.7
    read -r -a pattern <<< "$(e2e_pattern_path)"
    e2e_driver drag "${pattern[@]}" >/dev/null
    e2e_check_cmd "$tag: secret pattern unlocks" e2e_driver wait-no-window "$E2E_LOCK_CLASS" - 15000 visible
    e2e_check "$tag: policies cleared" "$(e2e_policies)" "0 0 0"
    e2e_end_session
}

# At 144 DPI (LogPixels, read when Wine starts) the lock screen is drawn and hit one and a half
# times as large: a dot under every point where the scaled layout puts it, and the secret
# pattern dragged there unlocks (the driver reads the same DPI).
run_dpi() {
    local size=$1 grid=$2 secret=$3 dpi=$4
    tag="${size}-grid$grid-dpi$dpi"
    e2e_begin "lock_screens-$tag" "$size" plain
    e2e_reg_set 'HKCU\Control Panel\Desktop' LogPixels REG_DWORD "$dpi"
    wineserver -k
    wineserver -w
    e2e_write_config --grid "$grid" --pattern "$secret" --effect 0
    e2e_require "$tag: program starts" e2e_start_locker
    e2e_driver hotkey win+a >/dev/null
    e2e_require "$tag: locked" e2e_wait_policies "1 1 1" 15000
    e2e_require "$tag: lock windows found" e2e_discover_lock_windows
    e2e_driver move 10,10 >/dev/null
    sleep 0.5
    local idle centre x y dots=0
    idle=$(e2e_shot "idle")
    for centre in $(e2e_point "$grid" all); do
        x=${centre%,*} y=${centre#*,}
        [ "$(e2e_pixels count "$idle" "$x,$y,$((x + 1)),$((y + 1))" 178,178,178 24)" = 1 ] && dots=$((dots + 1))
    done
    e2e_check "$tag: a dot under every scaled point" "$dots" "$(e2e_point "$grid" all | wc -w)"
    read -r -a pattern <<< "$(e2e_pattern_path)"
    e2e_driver drag "${pattern[@]}" >/dev/null
    e2e_check_cmd "$tag: secret pattern unlocks" e2e_driver wait-no-window "$E2E_LOCK_CLASS" - 15000 visible
    e2e_end_session
}

run_size 1366x768 1 1,2,3,4,8,12,16
run_size 1920x1080 0 1,2,3,6,9
run_dpi 1920x1080 0 1,2,3,6,9 144
e2e_finish
