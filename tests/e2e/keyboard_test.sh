#!/usr/bin/env bash
# The keyboard lock of the real program ("Lock keyboard" on). A low-level hook of the driver,
# installed before the lock, sits later in the hook chain than the program's own hook, so it
# sees exactly the keys the program lets through. While locked: letters, digits, keypad digits,
# Tab, Space, F2, the Windows and menu keys, Alt+F4, Alt+Tab and the Ctrl of Ctrl+Esc reach
# nothing; Enter, Esc and Backspace pass and act on the lock window (Esc drops a stroke, Enter
# fades the window out, Backspace clears a typed key). In the Dynamic Password Mode letters and main-keyboard
# digits pass and are typed, keypad digits still do not. After unlocking every key passes again.
# At No only the system shortcuts are held back, by a hook renewed every few seconds; a program
# that takes the foreground meanwhile gets no key, and the lock window still gets Enter.
E2E_TIME_BOUND=330
. "$(dirname "$0")/lib.sh"

e2e_begin keyboard 1366x768 plain
e2e_write_config --grid 0 --pattern 1,2,3,5,7,8,9 --effect 0 --lock-keyboard 1
e2e_require "program starts" e2e_start_locker
LOCK=OrvoPCLockPattern

# The spy runs for the whole scenario and writes each key event as it arrives.
spy=$E2E_DIR/key-spy.txt
wine "$E2E_DRIVER" key-spy 240000 > "$spy" 2>"$E2E_DIR/key-spy.err" &
E2E_PIDS+=("$!")
for _ in $(seq 1 100); do grep -q '^ready' "$spy" && break; sleep 0.1; done
e2e_require "key spy installed" grep -q '^ready' "$spy"

spy_mark() { wc -l < "$spy"; }
# Key-down codes the spy saw after a mark, comma-separated ("0x41,0x35").
spy_downs_since() {
    sleep 0.4   # the spy prints as the events arrive; give the last one time to land
    awk -v from="$1" 'NR > from && $2 == "down" { sub("vk=", "", $1); printf "%s%s", n++ ? "," : "", $1 }' "$spy"
}
spy_ups_since() {
    sleep 0.4
    awk -v from="$1" 'NR > from && $2 == "up" { sub("vk=", "", $1); printf "%s%s", n++ ? "," : "", $1 }' "$spy"
}

# Keys that must never pass while locked in the Normal Unlock Mode, and their codes.
blocked_keys=(a 5 0x65 tab space f2 lwin apps)
blocked_codes="0x41,0x35,0x65,0x09,0x20,0x71,0x5b,0x5d"

# --- unlocked: the spy sees everything --------------------------------------------------------
mark=$(spy_mark)
e2e_driver key "${blocked_keys[@]}" >/dev/null
e2e_check "unlocked: every key reaches the spy" "$(spy_downs_since "$mark")" "$blocked_codes"

# --- locked, Normal Unlock Mode ---------------------------------------------------------------
e2e_driver hotkey win+a >/dev/null
e2e_require "locked" e2e_driver wait-window "$LOCK" - 15000 visible >/dev/null
e2e_require "policies set" e2e_wait_policies "1 1 1" 10000
lock_hwnd=$(e2e_field hwnd window-info "$LOCK" -)
e2e_driver move 10,10 >/dev/null
sleep 0.5

mark=$(spy_mark)
e2e_driver key "${blocked_keys[@]}" >/dev/null
for combo in alt+f4 alt+tab win+r; do e2e_driver hotkey "$combo" >/dev/null; done
e2e_check "locked: letters, digits, keypad, Tab, Space, F2, Windows and menu keys, Alt+F4, Alt+Tab swallowed" \
    "$(spy_downs_since "$mark")" ""
e2e_check "locked: no key release passes either" "$(spy_ups_since "$mark")" ""
# Esc always passes, but without its Ctrl it is a plain Esc, not the Start menu's shortcut.
mark=$(spy_mark)
e2e_driver hotkey ctrl+esc >/dev/null
e2e_check "locked: of Ctrl+Esc only the Esc passes" "$(spy_downs_since "$mark")" "0x1b"
e2e_check "locked: the lock window survives Alt+F4" \
    "$(e2e_field hwnd window-info "$LOCK" -) $(e2e_field visible window-info "$LOCK" -)" "$lock_hwnd 1"
e2e_check "locked: the lock window keeps the foreground" "$(e2e_field class foreground)" "$LOCK"

# Esc passes and reaches the lock window: a stroke in progress is dropped.
points=$(e2e_point 0 all)
read -r -a centre <<< "$points"
panel_box="$((${centre[0]%,*} - 47)),$((${centre[0]#*,} - 47)),$((${centre[8]%,*} + 47)),$((${centre[8]#*,} + 47))"
idle=$(e2e_shot idle)
e2e_driver drag-hold "${centre[0]}" "${centre[1]}" "${centre[2]}" >/dev/null
sleep 0.4
drawing=$(e2e_shot drawing)
mark=$(spy_mark)
e2e_driver key esc >/dev/null
sleep 0.4
dropped=$(e2e_shot esc)
e2e_driver mouse-up "${centre[2]}" >/dev/null
e2e_check "locked: Esc passes" "$(spy_downs_since "$mark")/$(spy_ups_since "$mark")" "0x1b/0x1b"
e2e_check_cmd "the stroke is drawn before Esc" test "$(e2e_pixels diff "$idle" "$drawing" "$panel_box" 12)" -gt 500
e2e_check "Esc reached the lock window: the stroke is gone" "$(e2e_pixels diff "$idle" "$dropped" "$panel_box" 12)" 0

# Backspace passes (in this mode it does nothing on the window).
mark=$(spy_mark)
e2e_driver key backspace >/dev/null
e2e_check "locked: Backspace passes" "$(spy_downs_since "$mark")/$(spy_ups_since "$mark")" "0x08/0x08"

# Enter passes and reaches the lock window: it fades out and lets clicks through to the cover.
# The fade keeps the program busy for a second or more; keys pressed meanwhile (Enter's own
# release among them) must still be decided at once: a filter that cannot answer loses them
# here, and Windows lets such a key through and silently removes the hook.
mark=$(spy_mark)
e2e_driver key enter >/dev/null
# The fade lasts at least 32 steps of 30 ms. A filter that answers at once has let Enter's
# release through long before it ends; one that waits for the busy program, only after.
for _ in $(seq 1 250); do
    awk -v from="$mark" 'NR > from && $1 == "vk=0x0d" && $2 == "up" { found = 1 } END { exit !found }' "$spy" && break
    sleep 0.02
done
e2e_check "locked and busy fading: Enter's release passes while the window still fades" \
    "$(( $(e2e_field exstyle window-info "$LOCK" -) & 0x20 ))" 0
e2e_driver key backspace a lwin tab >/dev/null
hidden_style=""
for _ in $(seq 1 50); do
    exstyle=$(e2e_field exstyle window-info "$LOCK" -)
    if [ $((exstyle & 0x20)) -ne 0 ]; then hidden_style=1; break; fi
    sleep 0.2
done
e2e_check "Enter reached the lock window: it fades out" "${hidden_style:-0}" 1
e2e_check "locked and busy fading: Enter and Backspace pass, down and up; A, Windows key and Tab do not" \
    "$(spy_downs_since "$mark")/$(spy_ups_since "$mark")" "0x0d,0x08/0x0d,0x08"
e2e_shot hidden >/dev/null
e2e_driver click 10,10 >/dev/null
sleep 0.7
e2e_check "a click on the cover brings the lock window back" \
    "$(( $(e2e_field exstyle window-info "$LOCK" -) & 0x20 ))" 0

# --- locked, Dynamic Password Mode ------------------------------------------------------------
e2e_click_mode_icon keyboard
e2e_driver move 10,10 >/dev/null
sleep 0.7
input_box="$(((E2E_W - 256) / 2)),$((E2E_H - (E2E_H - 256) / 4)),$(((E2E_W + 256) / 2)),$((E2E_H - (E2E_H - 256) / 4 + 24))"
empty=$(e2e_shot dynamic-empty)
mark=$(spy_mark)
e2e_driver key a >/dev/null
sleep 0.4
typed=$(e2e_shot dynamic-typed)
e2e_check "dynamic: a letter passes" "$(spy_downs_since "$mark")" "0x41"
e2e_check_cmd "dynamic: the letter is typed into the input box" \
    test "$(e2e_pixels diff "$empty" "$typed" "$input_box" 12)" -gt 20

mark=$(spy_mark)
e2e_driver key 0x65 0x60 tab f2 >/dev/null
sleep 0.4
after_keypad=$(e2e_shot dynamic-keypad)
e2e_check "dynamic: keypad digits, Tab and F2 still swallowed" "$(spy_downs_since "$mark")" ""
e2e_check "dynamic: nothing more typed" "$(e2e_pixels diff "$typed" "$after_keypad" "$input_box" 12)" 0

mark=$(spy_mark)
e2e_driver key backspace >/dev/null
sleep 0.4
cleared=$(e2e_shot dynamic-cleared)
e2e_check "dynamic: Backspace passes" "$(spy_downs_since "$mark")" "0x08"
e2e_check "Backspace reached the lock window: the input box is empty again" \
    "$(e2e_pixels diff "$empty" "$cleared" "$input_box" 12)" 0

mark=$(spy_mark)
e2e_driver key 5 z >/dev/null
sleep 0.4
two=$(e2e_shot dynamic-two)
e2e_check "dynamic: main-keyboard digits and letters pass" "$(spy_downs_since "$mark")" "0x35,0x5a"
e2e_check_cmd "dynamic: both are typed" test "$(e2e_pixels diff "$typed" "$two" "$input_box" 12)" -gt 20
# Enter checks the (wrong: a digit is never a point's letter) entry and empties the box.
mark=$(spy_mark)
e2e_driver key enter >/dev/null
sleep 1
checked=$(e2e_shot dynamic-checked)
e2e_check "dynamic: Enter passes" "$(spy_downs_since "$mark")" "0x0d"
e2e_check "Enter reached the lock window: the entry was checked and cleared" \
    "$(e2e_pixels diff "$empty" "$checked" "$input_box" 12)" 0
e2e_check "dynamic: a wrong entry keeps the lock" "$(e2e_policies) $(e2e_visible "$LOCK")" "1 1 1 1"

# --- unlock: the hook is gone -----------------------------------------------------------------
e2e_click_mode_icon trail
e2e_driver move 10,10 >/dev/null
sleep 0.7
read -r -a pattern <<< "$(e2e_pattern_path)"
e2e_driver drag "${pattern[@]}" >/dev/null
e2e_require "secret pattern unlocks" e2e_driver wait-no-window "$LOCK" - 15000 visible
e2e_check "policies cleared" "$(e2e_policies)" "0 0 0"
mark=$(spy_mark)
e2e_driver key "${blocked_keys[@]}" >/dev/null
e2e_check "unlocked again: every key reaches the spy" "$(spy_downs_since "$mark")" "$blocked_codes"
e2e_check "unlocked again: and every release" "$(spy_ups_since "$mark")" "$blocked_codes"
# A half press left by the lock (Win or A released while the hook was in place) would make this
# plain A a Win+A and lock again.
e2e_driver key a >/dev/null
sleep 1.5
e2e_check "unlocked again: a plain A does not lock" "$(e2e_visible "$LOCK")" 0

# --- "Lock keyboard" at No: the system shortcuts still reach nothing --------------------------
e2e_kill_locker
e2e_write_config --grid 0 --pattern 1,2,3,5,7,8,9 --effect 0 --lock-keyboard 0
e2e_require "program starts with Lock keyboard at No" e2e_start_locker
e2e_driver hotkey win+a >/dev/null
e2e_require "locked at No" e2e_driver wait-window "$LOCK" - 15000 visible >/dev/null
mark=$(spy_mark)
e2e_driver key lwin rwin apps a 5 tab space f4 esc >/dev/null
for combo in alt+tab alt+esc alt+f4 alt+space ctrl+esc ctrl+shift+esc; do e2e_driver hotkey "$combo" >/dev/null; done
e2e_check "at No: letters, digits, lone Tab, Space, F4, Esc pass; of the shortcuts only their modifiers" \
    "$(spy_downs_since "$mark")" "0x41,0x35,0x09,0x20,0x73,0x1b,0x12,0x12,0x12,0x12,0x11,0x11,0x10"
typed=$(e2e_driver type-away a b 5 enter)
e2e_check_cmd "at No: the typist had the foreground" test "$(sed -n 's/^away=//p' <<< "$typed")" -gt 0
e2e_check "at No: a window of another program in front receives no key" "$(sed -n 's/^received=//p' <<< "$typed")" ""
for _ in $(seq 1 50); do (( $(e2e_field exstyle window-info "$LOCK" -) & 0x20 )) && break; sleep 0.2; done
e2e_check "at No: Enter typed away still faded the lock window" "$(( $(e2e_field exstyle window-info "$LOCK" -) & 32 ))" 32
e2e_driver click 10,10 >/dev/null && sleep 0.7
# A hook installed after ours is asked first, until the renewal puts ours in front again.
late=$E2E_DIR/late-spy.txt
wine "$E2E_DRIVER" key-spy 30000 > "$late" 2>/dev/null &
E2E_PIDS+=("$!")
sleep 4
e2e_require "a later hook installed" grep -q '^ready' "$late" && e2e_driver key lwin >/dev/null
e2e_check "after the renewal a later hook no longer sees the Windows key" "$(sleep 0.4; grep -c '^vk=0x5b' "$late")" 0
read -r -a pattern <<< "$(e2e_pattern_path)"
e2e_driver drag "${pattern[@]}" >/dev/null
e2e_require "unlocked at No" e2e_driver wait-no-window "$LOCK" - 15000 visible
mark=$(spy_mark)
e2e_driver key lwin >/dev/null
e2e_check "unlocked at No: the Windows key passes again" "$(spy_downs_since "$mark")" "0x5b"
e2e_check "unlocked: the program in front receives its keys" \
    "$(e2e_driver type-away a b 5 enter | sed -n 's/^received=//p')" "0x41,0x42,0x35,0x0d"

e2e_finish
