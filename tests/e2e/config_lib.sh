# shellcheck shell=bash disable=SC2034
# Helpers of the scenarios that drive the verify dialog and the configuration dialog (sourced
# after lib.sh): the small grid's geometry, drawing a pattern in a pattern box, message boxes,
# and the fields of the settings file.

VERIFY_TITLE="Orvo PC Lock - Verify User"
CONFIG_TITLE="Orvo PC Lock - Configure"
APP_TITLE="Orvo PC Lock"
SYSTEM_KEY='HKEY_CURRENT_USER\SOFTWARE\Orvo PC Lock\System'
RESET_TEXT='For computer security, Please reset your lock pattern.'

# Where the pattern boxes lie in their windows' client areas.
VERIFY_BOX_X=17 VERIFY_BOX_Y=37
CANVAS_X=38 CANVAS_Y=72   # pane at (20, 42), canvas at (18, 30) in it

# "x,y" of point k's centre inside a 320 x 320 pattern box, for grid 0, 1 or 2.
small_centre() {
    "$E2E_PYTHON" - "$1" "$2" <<'PY'
import sys
grid, k = int(sys.argv[1]), int(sys.argv[2])
n = grid + 3
pitch = min(round((272 - 36 * n) / (n - 1) + 36), 72)
offset = round((284 - pitch * (n - 1)) / 2)
row, col = divmod(k - 1, n)
print(f"{offset + pitch * col + 18},{offset + pitch * row + 18}")
PY
}

# Screen "x,y" of the points of grid $1 in the box at client offset $3,$4 of window $2.
# Points follow from $5 on.
box_points() {
    local grid=$1 title=$2 bx=$3 by=$4 origin ox oy k c
    shift 4
    origin=$(e2e_driver client-origin "$title") || return 1
    ox=${origin%,*} oy=${origin#*,}
    for k in "$@"; do
        c=$(small_centre "$grid" "$k")
        echo -n "$((ox + bx + ${c%,*})),$((oy + by + ${c#*,})) "
    done
    echo
}

# Presses at the first screen point, moves through the others and releases at the last (unless
# DRAW_HOLD=1). Each leg is its own driver call ending on its point: a busy program may merge
# the moves of a leg into fewer, but never loses the point a leg ends on.
drag_through() {
    local prev=$1 p x0 y0 x1 y1 steps s legs
    shift
    # Under Wine the pointer's place follows a move one step behind: settle on the first point
    # first, so no late move at the last drag's end point joins this entry after the press.
    e2e_driver move "$prev" >/dev/null || return 1
    sleep 0.3
    e2e_driver drag-hold "$prev" >/dev/null || return 1
    for p in "$@"; do
        x0=${prev%,*} y0=${prev#*,} x1=${p%,*} y1=${p#*,}
        steps=$(( ( (x1 > x0 ? x1 - x0 : x0 - x1) > (y1 > y0 ? y1 - y0 : y0 - y1) ?
                    (x1 > x0 ? x1 - x0 : x0 - x1) : (y1 > y0 ? y1 - y0 : y0 - y1) ) / 10 + 1 ))
        legs=()
        for s in $(seq 1 "$steps"); do
            legs+=("$((x0 + (x1 - x0) * s / steps)),$((y0 + (y1 - y0) * s / steps))")
        done
        e2e_driver move "${legs[@]}" >/dev/null || return 1
        prev=$p
    done
    [ "${DRAW_HOLD:-0}" = 1 ] || e2e_driver mouse-up "$prev" >/dev/null
}

# Draws points ($2...) of grid $1 in the verify dialog's pattern box / on the pattern canvas.
draw_in_verify() {
    local grid=$1 points
    shift
    points=$(box_points "$grid" "$VERIFY_TITLE" $VERIFY_BOX_X $VERIFY_BOX_Y "$@") || return 1
    # shellcheck disable=SC2086
    drag_through $points
}

draw_on_canvas() {
    local grid=$1 points
    shift
    points=$(box_points "$grid" "$CONFIG_TITLE" $CANVAS_X $CANVAS_Y "$@") || return 1
    # shellcheck disable=SC2086
    drag_through $points
}

# Grid and pattern points of the settings file, as "grid p1 p2 ...".
cfg_pattern() {
    "$E2E_PYTHON" - "$E2E_CFG" <<'PY'
import struct, sys
data = open(sys.argv[1], "rb").read()
grid = data[0]
points = [p for p in struct.unpack_from("<37i", data, 24)[1:(grid + 3) ** 2 + 1] if p]
print(grid, *points)
PY
}

# One field of the settings file by name.
cfg_field() {
    "$E2E_PYTHON" - "$E2E_CFG" "$1" <<'PY'
import struct, sys
data = open(sys.argv[1], "rb").read()
fields = {"size": None, "Grid": (0, "B"), "AutoHideTime": (2, "<i"), "AutoLockTime": (6, "<i"),
          "MonitorOffTime": (10, "<i"), "AlertTimes": (14, "<i"), "AlertMode": (18, "<i"),
          "AutoStartLock": (22, "<h"), "LockKeyboard": (428, "<h"), "Effect": (558, "<h"),
          "Disconnection": (560, "<h"), "TransparentBackground": (562, "<h"), "UnlockMode": (564, "B"),
          "FileMark": (565, "<i")}
name = sys.argv[2]
if name == "size":
    print(len(data))
elif name == "AlertWord":
    print(repr(data[430:558].decode("cp1252")))
else:
    offset, code = fields[name]
    print(struct.unpack_from(code, data, offset)[0])
PY
}

msgbox_handle() { e2e_field hwnd window-info '#32770' "$1" 2>/dev/null; }

# Text of the message box with the caption (CR LF as LF) once it shows; presses button $2
# (default 1 = OK) and waits until that box is gone (the next one may have the same caption).
answer_msgbox() {
    local caption=$1 button=${2:-1} text handle deadline
    text=$(e2e_driver msgbox-wait "$caption" 30000) || return 1
    handle=$(msgbox_handle "$caption")
    e2e_driver msgbox-click "$caption" "$button" >/dev/null || return 1
    deadline=$((SECONDS + 10))
    while [ -n "$handle" ] && [ "$(msgbox_handle "$caption")" = "$handle" ]; do
        [ $SECONDS -ge $deadline ] && return 1
        sleep 0.1
    done
    printf '%s' "$text"
}

# "none" when no message box with the caption shows within $2 ms, else its text.
no_msgbox() {
    e2e_driver msgbox-wait "$1" "${2:-1000}" 2>/dev/null || echo none
}

# Number of top-level windows with the title.
count_windows() { e2e_driver list-windows | grep -c -- " title=$1\$"; }

# Win + C, then the stored pattern in the verify dialog: the configuration dialog opens.
open_config() {
    local pattern try
    pattern=$(cfg_pattern) || return 1
    # Under load Wine now and then loses a hot key pressed right after a window closed, or a
    # drag's first moves: each step is tried once more, and the log says which one failed.
    for try in 1 2; do
        if ! e2e_driver wait-window - "$VERIFY_TITLE" 100 visible >/dev/null; then
            e2e_driver hotkey win+c >/dev/null
            if ! e2e_driver wait-window - "$VERIFY_TITLE" 5000 visible >/dev/null; then
                e2e_log "open_config: Win + C showed no verify dialog (try $try)"
                continue
            fi
        fi
        # shellcheck disable=SC2086
        draw_in_verify $pattern || return 1
        e2e_driver wait-window - "$CONFIG_TITLE" 15000 visible >/dev/null && return 0
        e2e_log "open_config: the pattern did not open the dialog (try $try)"
    done
    return 1
}

# Clicks "&OK" and waits until the dialog has gone (it saves on the way).
close_config_ok() {
    e2e_driver click-button "$CONFIG_TITLE" "&OK" >/dev/null || return 1
    e2e_driver wait-no-window - "$CONFIG_TITLE" 15000 >/dev/null
}

# The window's rectangle on the screen as convert's crop geometry "WxH+X+Y".
window_crop() {
    local rect l t r b
    rect=$(e2e_field rect window-info - "$1") || return 1
    IFS=, read -r l t r b <<<"$rect"
    echo "$((r - l))x$((b - t))+$l+$t"
}

# Screenshot of one window as an artefact (and, with $3, copied to docs/screens/$3).
window_shot() {
    local title=$1 label=$2 doc=${3:-} full crop file
    full=$(e2e_shot "$label-screen") || return 1
    crop=$(window_crop "$title") || return 1
    file="$E2E_ARTIFACTS/$E2E_NAME-$label.png"
    convert "$full" -crop "$crop" +repage "$file" || return 1
    if [ -n "$doc" ] && [ -n "${E2E_SAVE_DOCS:-}" ]; then cp "$file" "$E2E_SOURCE/docs/screens/$doc"; fi
    echo "$file"
}
