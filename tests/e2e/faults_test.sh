#!/usr/bin/env bash
# Bad input and wear on the real program: settings files of 0 and 568 bytes (rejected with the
# read message, replaced by defaults through the dialog) and of 100 KB (accepted, never
# changed by a lock); a background picture that is no picture (the built-in one is shown); a
# secret pattern that names points off the grid (the real points unlock); then a soak of lock
# cycles through the real pattern entry after which handles, GDI objects and private memory
# are where they were. E2E_SOAK_CYCLES sets the count (default 30; scripts/bench.sh runs 1000).
E2E_TIME_BOUND=480
. "$(dirname "$0")/lib.sh"
. "$(dirname "$0")/config_lib.sh"

SOAK_CYCLES=${E2E_SOAK_CYCLES:-30}

close_config_dialog() {
    e2e_driver wait-window - "Orvo PC Lock - Configure" 30000 >/dev/null || return 1
    e2e_driver send - "Orvo PC Lock - Configure" WM_CLOSE 0 0 >/dev/null
}

no_message() {
    e2e_driver msgbox-wait 'Orvo PC Lock' "${1:-1000}" >/dev/null 2>&1 && echo shown || echo none
}

# "size mark" of the settings file.
cfg_summary() {
    "$E2E_PYTHON" - "$E2E_CFG" <<'PY'
import struct, sys
data = open(sys.argv[1], "rb").read()
print(len(data), struct.unpack_from("<i", data, 565)[0] if len(data) >= 569 else None)
PY
}

# Puts raw numbers into SecretPattern entries 1.. of the settings file (no checks, as a damaged
# file would hold them).
poke_pattern() {
    "$E2E_PYTHON" - "$E2E_CFG" "$@" <<'PY'
import struct, sys
path, points = sys.argv[1], [int(p) for p in sys.argv[2:]]
data = bytearray(open(path, "rb").read())
for i, p in enumerate(points, start=1):
    struct.pack_into("<i", data, 24 + 4 * i, p)
open(path, "wb").write(data)
PY
}

lock_and_wait() {
    e2e_driver hotkey win+a >/dev/null
    e2e_wait_policies "1 1 1" 15000 && e2e_discover_lock_windows >/dev/null &&
        e2e_driver wait-window "$E2E_LOCK_CLASS" - 5000 visible >/dev/null
}

unlocked_by() {
    e2e_driver drag "$@" >/dev/null
    e2e_driver wait-no-window "$E2E_COVER_CLASS" - 15000 visible >/dev/null && e2e_wait_policies "0 0 0" 5000
}

# Plain: the lock window's transparent parts must show the cover's picture, which the
# compositor blends only outside a virtual desktop.
e2e_begin faults 1366x768 plain
p1=$(e2e_point 0 1)
p2=$(e2e_point 0 2)
p3=$(e2e_point 0 3)

# ---- settings files of 0 and 568 bytes: read failure, defaults, dialog, a valid file ----------
for size in 0 568; do
    e2e_write_config --grid 0 --pattern 1,2,3
    truncate -s "$size" "$E2E_CFG"
    e2e_launch_locker
    e2e_check "$size-byte file: read failure message" "$(answer_msgbox 'Orvo PC Lock')" "Reading configuration file failed! "
    e2e_check "$size-byte file: then the defaults message" "$(answer_msgbox 'Orvo PC Lock')" \
        "Orvo PC Lock configuration file is lost or broken."$'\n'"$RESET_TEXT"
    e2e_require "$size-byte file: configuration dialog shown, closing it saves" close_config_dialog
    e2e_require "$size-byte file: program runs" e2e_driver wait-window "$E2E_READY_CLASS" "$E2E_READY_TITLE" 30000
    e2e_check "$size-byte file: replaced by a valid one" "$(cfg_summary)" "569 20001"
    e2e_kill_locker
done

# ---- 100 KB: the record at the front is used, the file is never touched by a lock -------------
e2e_write_config --grid 0 --pattern 1,2,3
"$E2E_PYTHON" -c "import sys; sys.stdout.buffer.write(bytes((i * 7 + 3) % 256 for i in range(102400 - 569)))" >> "$E2E_CFG"
cp "$E2E_CFG" "$E2E_DIR/big.cfg"
e2e_require "100 KB file: program starts" e2e_start_locker
e2e_check "100 KB file: no message" "$(no_message)" none
e2e_require "100 KB file: Win+A locks" lock_and_wait
reference=$(e2e_shot builtin-picture)
e2e_check_cmd "100 KB file: its pattern unlocks" unlocked_by "$p1" "$p2" "$p3"
e2e_check_cmd "100 KB file: unchanged byte for byte" cmp -s "$E2E_CFG" "$E2E_DIR/big.cfg"
e2e_kill_locker

# ---- a background that is no picture, a pattern with points off the grid ----------------------
printf 'this is no picture\n' > "$WINEPREFIX/drive_c/notapicture.jpg"
e2e_write_config --grid 0 --pattern 1,2,3 --background 'C:\notapicture.jpg'
poke_pattern 1 2 99 -7 3 0
e2e_require "damaged file: program starts" e2e_start_locker
e2e_check "damaged file: no message" "$(no_message)" none
e2e_require "damaged file: Win+A locks" lock_and_wait
shown=$(e2e_shot no-picture)
# A corner of the cover, away from the clock, the panel and the alert text.
corner="10,$((E2E_H - 120)),310,$((E2E_H - 20))"
e2e_check "no picture: the built-in picture is shown" "$(e2e_pixels diff "$reference" "$shown" "$corner" 8)" 0
e2e_check_cmd "no picture: the corner is not blank" test \
    "$(e2e_pixels count "$shown" "$corner" 0,0,0 12)" -lt 30000
e2e_driver drag "$p1" "$p2" "$p3" "$(e2e_point 0 6)" >/dev/null
sleep 1.5
e2e_check "off-grid points: a wrong entry keeps the lock" "$(e2e_visible "$E2E_LOCK_CLASS")" 1
e2e_check_cmd "off-grid points: the points on the grid unlock" unlocked_by "$p1" "$p2" "$p3"

# ---- soak: lock cycles through the real pattern entry -------------------------------------------
field() { sed -n "s/.*$1=\([0-9-]*\).*/\1/p" <<<"$2"; }
# Three cycles first: what they create lives on (caches, the letters' table) and is no leak.
soak=$(E2E_STEP_TIMEOUT=$((SOAK_CYCLES * 15 + 60)) e2e_driver soak $((SOAK_CYCLES + 3)) "$(e2e_locker_winpid)" \
    "$E2E_LOCK_CLASS" "$E2E_COVER_CLASS" 15000 3 "$p1" "$p2" "$p3" 2>&1)
echo "$soak"
before=$(grep '^cycle=3 ' <<<"$soak")
after=$(grep "^cycle=$((SOAK_CYCLES + 3)) " <<<"$soak")
e2e_check_match "soak: $SOAK_CYCLES cycles done" "$(tail -n 1 <<<"$soak")" "^cycles=$((SOAK_CYCLES + 3)) "
e2e_check_cmd "soak: counts readable ($before)" test "$(field handles "$before")" -gt 0 -a \
    "$(field gdi_objects "$before")" -gt 0 -a "$(field private_bytes "$before")" -gt 0
# A few objects may be in passing when a count is taken; one kept per cycle would be dozens.
e2e_check_cmd "soak: handles $(field handles "$before") -> $(field handles "$after")" \
    test "$(field handles "$after")" -le $(( $(field handles "$before") + 5 ))
e2e_check_cmd "soak: GDI objects $(field gdi_objects "$before") -> $(field gdi_objects "$after")" \
    test "$(field gdi_objects "$after")" -le $(( $(field gdi_objects "$before") + 5 ))
growth=$(( $(field private_bytes "$after") - $(field private_bytes "$before") ))
e2e_check_cmd "soak: private memory grew by $growth bytes, less than 4 MB" test "$growth" -lt $((4 * 1024 * 1024))

e2e_finish
