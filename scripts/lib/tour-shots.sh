#!/usr/bin/env bash
# The screens of the guided tour (scripts/tour.sh), taken from the real programs driven from
# outside the way a person would use them. Each part runs in a Wine session of its own; the
# pictures are copied to $TOUR_OUT as NN-name.png.
E2E_TIME_BOUND=${TOUR_TIME_BOUND:-900}
. "${ORVO_SOURCE_DIR:?}/tests/e2e/lib.sh"
. "$E2E_SOURCE/tests/e2e/config_lib.sh"

TOUR_SIZE=1366x768
tour_count=0

# tour_save NAME FILE: keeps FILE as the next picture of the tour.
tour_save() {
    local name=$1 file=$2
    if [ ! -s "$file" ]; then
        e2e_fail "tour: no picture of $name"
        return
    fi
    tour_count=$((tour_count + 1))
    cp "$file" "$TOUR_OUT/$(printf %02d "$tour_count")-$name.png"
    e2e_pass "tour: $name"
}

# tour_shot NAME: the screen as it is now.
tour_shot() { tour_save "$1" "$(e2e_shot "$1")"; }

tour_lock() {
    e2e_driver hotkey win+a >/dev/null
    e2e_require "locked" e2e_wait_policies "1 1 1" 15000
    e2e_require "lock windows found" e2e_discover_lock_windows
    e2e_driver move 10,10 >/dev/null
    sleep 0.7
}

tour_unlock() {
    local pattern
    read -r -a pattern <<< "$(e2e_pattern_path)"
    e2e_driver drag "${pattern[@]}" >/dev/null
    e2e_require "unlocked" e2e_driver wait-no-window "$E2E_LOCK_CLASS" - 15000 visible
}

# A desktop behind the program for the screens that let it show through: a plain wallpaper
# window (the compositor draws no root background) and a text editor with a line in it.
tour_desktop_behind() {
    convert -size "${E2E_W}x${E2E_H}" gradient:'#4a86a8'-'#1d3f57' "$E2E_DIR/wallpaper.png"
    display -display "$DISPLAY" -geometry "+0+0" -borderwidth 0 "$E2E_DIR/wallpaper.png" &
    E2E_PIDS+=("$!")
    sleep 1
    wine notepad >/dev/null 2>&1 &
    E2E_PIDS+=("$!")
    e2e_driver wait-window Notepad - 20000 visible >/dev/null || return 0
    e2e_driver type "Quarterly report - draft" >/dev/null
}

# The tour's patterns are never a grid's default one: its pictures must not teach that path
# (and the program would warn about it on every screen).

# ---- the lock window and the cover -----------------------------------------------------------

tour_part_lock() {
    e2e_begin tour-lock "$TOUR_SIZE" plain
    e2e_write_config --grid 1 --pattern 1,2,3,4,8,12,16 --effect 0
    e2e_require "program starts" e2e_start_locker
    local points centre
    points=$(e2e_point 1 all)
    read -r -a centre <<< "$points"

    tour_lock
    tour_shot lock-idle

    # A pattern being drawn (button held), then released: red for the 700 ms of the check.
    e2e_driver drag-hold "${centre[0]}" "${centre[1]}" "${centre[5]}" "${centre[10]}" >/dev/null
    sleep 0.4
    tour_shot lock-drawing
    local mid_x mid_y frames red=""
    mid_x=$(( (${centre[0]%,*} + ${centre[1]%,*}) / 2 ))
    mid_y=${centre[0]#*,}
    e2e_capture_start release
    e2e_driver mouse-up "${centre[10]}" >/dev/null
    sleep 1.2
    frames=$(e2e_capture_stop)
    local frame
    for frame in $frames; do
        if [ "$(e2e_pixels count "$frame" "$mid_x,$mid_y,$((mid_x + 1)),$((mid_y + 1))" 255,0,0 20)" = 1 ]; then
            red=$frame
            break
        fi
    done
    tour_save lock-wrong "$red"

    # Enter fades the lock window out; the cover stays. A click brings the lock window back.
    sleep 0.5
    e2e_driver key enter >/dev/null
    sleep 3
    tour_shot lock-hidden-over-cover
    e2e_driver click 10,10 >/dev/null
    sleep 0.7

    # Dynamic Password Mode: letters on the points, typed keys shown as stars.
    e2e_driver click "$((E2E_W - 74)),$((E2E_H - 87))" >/dev/null
    sleep 0.7
    e2e_driver type qw >/dev/null
    sleep 0.5
    tour_shot lock-dynamic-password
    e2e_driver click "$((E2E_W - 168)),$((E2E_H - 87))" >/dev/null
    e2e_driver move 10,10 >/dev/null
    sleep 0.7
    tour_unlock
    e2e_end_session
}

tour_part_transparent() {
    e2e_begin tour-transparent "$TOUR_SIZE" plain
    tour_desktop_behind
    e2e_write_config --grid 0 --pattern 1,4,7,8,9 --effect 0 --transparent 1
    e2e_require "program starts" e2e_start_locker
    tour_lock
    tour_shot lock-transparent-background
    tour_unlock
    e2e_end_session
}

tour_part_alarm() {
    e2e_begin tour-alarm "$TOUR_SIZE" plain
    e2e_write_config --grid 0 --pattern 1,4,7,8,9 --effect 0 --alert-times 1 --alert-mode 1
    e2e_require "program starts" e2e_start_locker
    local centre
    read -r -a centre <<< "$(e2e_point 0 all)"
    tour_lock
    e2e_driver drag "${centre[0]}" "${centre[1]}" "${centre[5]}" >/dev/null
    sleep 2.5
    tour_shot lock-alarm
    e2e_end_session
}

# Two monitors side by side: the lock window on the primary one, a cover on the other.
tour_part_monitors() {
    e2e_begin tour-monitors 2400x800 plain
    e2e_write_config --grid 0 --pattern 1,4,7,8,9 --effect 0
    e2e_require "two monitors" e2e_use_monitors 1366x768+0+0 1024x768+1366+0
    E2E_W=1366
    E2E_H=768
    e2e_require "program starts" e2e_start_locker
    e2e_driver hotkey win+a >/dev/null
    e2e_require "locked" e2e_driver wait-window OrvoPCLockPattern - 15000 visible
    E2E_LOCK_CLASS=OrvoPCLockPattern
    e2e_driver move 10,10 >/dev/null
    sleep 1
    tour_shot two-monitors
    tour_unlock
    e2e_end_session
}

# ---- the dialogs, on a desktop with a taskbar ------------------------------------------------

# tour_window NAME TITLE: the window of that title alone.
tour_window() { tour_save "$1" "$(window_shot "$2" "$1")"; }

tour_part_dialogs() {
    e2e_begin tour-dialogs "$TOUR_SIZE"
    e2e_write_config --grid 0 --pattern 1,4,7,8,9 --auto-hide 60 --auto-lock 180 --monitor-off 300 \
        --alert-times 3 --alert-mode 1 --effect 1
    e2e_require "program starts" e2e_start_locker

    # The tray icon's menu (right button; it opens at the pointer), and the about window from it.
    e2e_driver move "$((E2E_W - 10)),$((E2E_H - 10))" >/dev/null
    e2e_require "tray menu" e2e_driver tray-menu 10000
    # Off the icon, so that its tool tip does not cover the menu.
    e2e_driver move "$((E2E_W - 300)),$((E2E_H - 300))" "$((E2E_W - 301)),$((E2E_H - 301))" >/dev/null
    sleep 1
    local menu
    menu=$(e2e_shot tray-menu-screen)
    convert "$menu" -crop "420x240+$((E2E_W - 420))+$((E2E_H - 240))" +repage "$E2E_DIR/tray-menu.png"
    tour_save tray-menu "$E2E_DIR/tray-menu.png"
    e2e_driver key a >/dev/null
    e2e_require "about window" e2e_driver wait-window OrvoAboutForm "About Orvo PC Lock" 10000 visible
    e2e_driver move 5,5 >/dev/null
    sleep 0.5
    tour_window about "About Orvo PC Lock"
    e2e_driver key return >/dev/null
    e2e_driver wait-no-window OrvoAboutForm - 5000 visible >/dev/null

    # Win + C asks for the pattern first; a pattern half drawn, then the right one.
    e2e_driver hotkey win+c >/dev/null
    e2e_require "verify dialog" e2e_driver wait-window - "$VERIFY_TITLE" 15000 visible
    DRAW_HOLD=1 draw_in_verify 0 1 4 7
    sleep 0.4
    tour_window verify-dialog "$VERIFY_TITLE"
    e2e_driver mouse-up 5,5 >/dev/null
    sleep 1
    draw_in_verify 0 1 4 7 8 9
    e2e_require "configuration dialog" e2e_driver wait-window - "$CONFIG_TITLE" 15000 visible
    local i try origin names=(pattern options background advanced)
    local frames=(" Lock Pattern: " " Options: " " Background Image: " " Advanced: ")
    for i in 0 1 2 3; do
        # A click a busy program misses is given again, until the tab's pane shows.
        for try in 1 2 3; do
            origin=$(e2e_driver client-origin "$CONFIG_TITLE")
            e2e_driver click "$((${origin%,*} + 50 + 81 * i)),$((${origin#*,} + 25))" >/dev/null
            e2e_driver move 5,5 >/dev/null
            sleep 0.7
            e2e_driver controls "$CONFIG_TITLE" | grep -q "class=Button shown=1 .* text=${frames[$i]}\$" && break
        done
        tour_window "config-${names[$i]}" "$CONFIG_TITLE"
    done
    e2e_driver click-button "$CONFIG_TITLE" "&OK" >/dev/null
    e2e_end_session
}

# TOUR_PARTS picks parts by name (for a quick look at one of them); the tour takes all.
for part in ${TOUR_PARTS:-lock transparent alarm monitors dialogs}; do
    "tour_part_$part"
done
e2e_finish
