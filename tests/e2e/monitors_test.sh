#!/usr/bin/env bash
# Several monitors. Wine sees one monitor on Xvfb, so a nested Xephyr server with one screen
# per monitor and Xinerama (RandR off, so Wine falls back to Xinerama) runs inside the Xvfb
# display; the Xephyr root is painted magenta so every uncovered pixel is plain to see.
# Two monitors (a 768 x 1024 portrait one right of the primary), then three (a 1024 x 768 one
# further right): while locked every monitor is covered, the portrait cover letterboxes the
# picture, a click on any further monitor's cover brings the faded-out lock window back on
# the primary monitor, and unlocking uncovers every monitor again.
E2E_TIME_BOUND=300
. "$(dirname "$0")/lib.sh"

PRIMARY_W=1366
PRIMARY_H=768
LOCK=OrvoPCLockPattern
MONITOR_COVER=OrvoPCLockMonitor
MAGENTA=255,0,255

e2e_begin monitors 3200x1024 plain
e2e_write_config --grid 0 --pattern 1,2,3,6,9 --effect 0
# "x0,y0,x1,y1" of monitor i (0 = first enumerated) as Wine reports it.
monitor_box() {
    e2e_driver monitors | sed -n "s/^monitor$1=\([^ ]*\) .*/\1/p"
}

# Share (0..1) of magenta, that is uncovered, pixels of a box in a screenshot.
uncovered() { e2e_pixels share "$1" "$2" "$MAGENTA" 30; }
# "open" when at least 98 % of the box is uncovered (a small window of Wine's may sit there),
# "covered" when none of it is, else the share.
openness() {
    awk -v s="$(uncovered "$1" "$2")" 'BEGIN { print (s >= 0.98 ? "open" : (s == 0 ? "covered" : s)) }'
}

centre_of() {
    local x0 y0 x1 y1
    IFS=, read -r x0 y0 x1 y1 <<< "$1"
    echo "$(((x0 + x1) / 2)),$(((y0 + y1) / 2))"
}

# Every further monitor's openness in a screenshot, as "covered covered ...".
further_openness() {
    local shot=$1 i out=""
    for ((i = 1; i < MONITORS; i++)); do out+="$(openness "$shot" "${BOX[$i]}") "; done
    echo "${out% }"
}
# The same word once per further monitor.
each_further() {
    local i out=""
    for ((i = 1; i < MONITORS; i++)); do out+="$1 "; done
    echo "${out% }"
}

# How the picture sits on a further monitor's cover: "full" when it fills the monitor from the
# top, "bars" when black bands lie above and below it. A portrait monitor next to a landscape
# primary keeps the primary's proportions: the picture is D = H / W * width high, centred.
picture_fit() {
    local shot=$1 x0 y0 x1 y1 w h d y
    IFS=, read -r x0 y0 x1 y1 <<< "$2"
    w=$((x1 - x0))
    h=$((y1 - y0))
    black() { e2e_pixels share "$shot" "$x0,$1,$x1,$2" 0,0,0 6; }
    if [ "$h" -lt "$w" ]; then
        awk -v t="$(black "$y0" $((y0 + 20)))" 'BEGIN { print (t < 0.5 ? "full" : "black top " t) }'
        return
    fi
    read -r d y <<< "$(awk -v W="$PRIMARY_W" -v H="$PRIMARY_H" -v w="$w" -v h="$h" '
        function even(v,  r) { r = int(v + 0.5); if (r - v == 0.5 && r % 2) r--; return r }
        BEGIN { d = even(H / W * w); print d, even((h - d) / 2) }')"
    awk -v a="$(black "$y0" $((y0 + y - 2)))" -v m="$(black $((y0 + y + d / 4)) $((y0 + y + d * 3 / 4)))" \
        -v b="$(black $((y0 + y + d + 2)) "$y1")" \
        'BEGIN { print (a == 1 && b == 1 && m < 0.5) ? "bars" : "above " a " picture " m " below " b }'
}

# One monitor layout: lock, look, recall the lock window from each further monitor, unlock.
run_layout() {
    local tag=$1
    shift
    e2e_require "$tag: Xephyr runs" e2e_use_monitors "$@"
    MONITORS=$(e2e_field count monitors)
    e2e_check "$tag: Wine sees $# monitors" "$MONITORS" "$#"
    BOX=()
    local i
    for ((i = 0; i < MONITORS; i++)); do BOX[i]=$(monitor_box "$i"); done
    e2e_check "$tag: the first monitor is the primary one at 0,0" "${BOX[0]}" "0,0,$PRIMARY_W,$PRIMARY_H"
    E2E_W=$PRIMARY_W
    E2E_H=$PRIMARY_H

    e2e_require "$tag: program starts" e2e_start_locker
    local before
    before=$(e2e_shot "$tag-unlocked")
    e2e_check "$tag: before locking the primary monitor shows the desktop" "$(openness "$before" "${BOX[0]}")" open
    e2e_check "$tag: before locking every further monitor shows the desktop" \
        "$(further_openness "$before")" "$(each_further open)"

    e2e_driver hotkey win+a >/dev/null
    e2e_require "$tag: locked" e2e_driver wait-window "$LOCK" - 15000 visible
    e2e_driver move 10,10 >/dev/null
    sleep 1
    local locked
    locked=$(e2e_shot "$tag-locked")
    e2e_check "$tag: primary monitor covered" "$(openness "$locked" "${BOX[0]}")" covered
    e2e_check "$tag: every further monitor covered" "$(further_openness "$locked")" "$(each_further covered)"
    e2e_check "$tag: one visible cover per further monitor" \
        "$(e2e_driver list-windows | grep -c "visible=1 topmost=1 .*class=$MONITOR_COVER ")" "$((MONITORS - 1))"
    e2e_check "$tag: each further monitor's cover turns press and hold and flicks off" \
        "$(e2e_driver gesture-replies | grep -c "^$MONITOR_COVER=0x198019\$")" "$((MONITORS - 1))"
    local x0 y0 x1 y1 fit
    for ((i = 1; i < MONITORS; i++)); do
        e2e_check "$tag: a cover lies exactly over monitor $((i + 1))" \
            "$(e2e_driver list-windows | grep -c "visible=1 .*rect=${BOX[$i]} class=$MONITOR_COVER ")" 1
        IFS=, read -r x0 y0 x1 y1 <<< "${BOX[$i]}"
        fit=full
        [ $((y1 - y0)) -ge $((x1 - x0)) ] && fit=bars
        e2e_check "$tag: monitor $((i + 1)) ($((x1 - x0))x$((y1 - y0))) shows the picture: $fit" \
            "$(picture_fit "$locked" "${BOX[$i]}")" "$fit"
    done

    # Each further monitor's cover brings the faded-out lock window back on the primary one.
    for ((i = 1; i < MONITORS; i++)); do
        e2e_driver key enter >/dev/null
        local faded=""
        for _ in $(seq 1 50); do
            if [ $(($(e2e_field exstyle window-info "$LOCK" -) & 0x20)) -ne 0 ]; then faded=1; break; fi
            sleep 0.2
        done
        e2e_check "$tag: Enter fades the lock window out (before the click on monitor $((i + 1)))" "${faded:-0}" 1
        local hidden
        hidden=$(e2e_shot "$tag-hidden-$((i + 1))")
        e2e_driver click "$(centre_of "${BOX[$i]}")" >/dev/null
        sleep 0.7
        e2e_check "$tag: a click on monitor $((i + 1))'s cover brings the lock window back" \
            "$(($(e2e_field exstyle window-info "$LOCK" -) & 0x20)) $(e2e_field rect window-info "$LOCK" -)" \
            "0 0,0,$PRIMARY_W,$PRIMARY_H"
        # The keyboard belongs to the lock window again (Esc, Backspace, typed letters).
        e2e_check "$tag: after the click on monitor $((i + 1)) the lock window has the foreground" \
            "$(e2e_field class foreground)" "$LOCK"
        local back
        back=$(e2e_shot "$tag-recalled-$((i + 1))")
        e2e_check_cmd "$tag: the panel shows again on the primary monitor after the click on monitor $((i + 1))" \
            test "$(e2e_pixels diff "$hidden" "$back" "$(((PRIMARY_W - 242) / 2)),$(((PRIMARY_H - 242) / 2)),$(((PRIMARY_W + 242) / 2)),$(((PRIMARY_H + 242) / 2))" 12)" -gt 1000
        e2e_driver move 10,10 >/dev/null
        sleep 0.3
    done

    read -r -a pattern <<< "$(e2e_pattern_path)"
    e2e_driver drag "${pattern[@]}" >/dev/null
    e2e_check_cmd "$tag: secret pattern unlocks" e2e_driver wait-no-window "$LOCK" - 15000 visible
    sleep 0.5
    local after
    after=$(e2e_shot "$tag-unlocked-again")
    e2e_check "$tag: after unlocking the primary monitor is uncovered" "$(openness "$after" "${BOX[0]}")" open
    e2e_check "$tag: after unlocking every further monitor is uncovered" \
        "$(further_openness "$after")" "$(each_further open)"
    e2e_check "$tag: no cover left visible" \
        "$(e2e_driver list-windows | grep -c "visible=1 .*class=$MONITOR_COVER ")" 0
}

run_layout two 1366x768+0+0 768x1024+1366+0
run_layout three 1366x768+0+0 768x1024+1366+0 1024x768+2134+0
e2e_finish
