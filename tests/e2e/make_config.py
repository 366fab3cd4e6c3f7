#!/usr/bin/env python3
"""Writes an "OrvoPLS.cfg" settings file (569 bytes, little-endian, no padding) for the
end-to-end scenarios, so each one starts the real program with exactly the settings it tests.

Defaults keep a scenario undisturbed: no auto-hide, auto-lock or monitor switch-off, no alert,
no effect. Example:
    make_config.py out.cfg --grid 1 --pattern 1,2,3,7,11 --effect 1 --alert-times 1 --alert-mode 1
"""
import argparse
import struct
import sys

FILE_SIZE = 569
FILE_MARK = 20001
PATTERN_ENTRIES = 37
BACKGROUND_CHARS = 256
ALERT_CHARS = 128

# Field order is the file order: (name, struct code).
LAYOUT = "<BBiiiiih" + "i" * PATTERN_ENTRIES + "256sh128shhhBi"
assert struct.calcsize(LAYOUT) == FILE_SIZE


def fixed_text(text, width):
    """Left-aligned, cut to width, blank-padded, one byte per character (ANSI)."""
    data = text.encode("cp1252")[:width]
    return data + b" " * (width - len(data))


def parse_pattern(text, grid):
    points = [int(p) for p in text.split(",") if p.strip()] if text else []
    side = grid + 3
    if len(points) > side * side:
        raise SystemExit("pattern longer than the grid")
    for p in points:
        if not 1 <= p <= side * side:
            raise SystemExit(f"point {p} is not on a {side}x{side} grid")
    if len(set(points)) != len(points):
        raise SystemExit("a point occurs twice in the pattern")
    return points


def encode(args):
    points = parse_pattern(args.pattern, args.grid)
    pattern = [0] * PATTERN_ENTRIES
    for i, p in enumerate(points, start=1):
        pattern[i] = p
    bool16 = lambda flag: -1 if flag else 0  # noqa: E731  16-bit boolean of the record
    return struct.pack(
        LAYOUT,
        args.grid, 0,
        args.auto_hide, args.auto_lock, args.monitor_off,
        args.alert_times, args.alert_mode,
        bool16(args.auto_start_lock),
        *pattern,
        fixed_text(args.background, BACKGROUND_CHARS) if args.background else b"\0" * BACKGROUND_CHARS,
        args.lock_keyboard,
        fixed_text(args.alert_word, ALERT_CHARS),
        args.effect, args.disconnection, args.transparent, args.unlock_mode,
        args.file_mark,
    )


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("out", help="file to write")
    parser.add_argument("--grid", type=int, choices=(0, 1, 2), default=0, help="0 = 3x3, 1 = 4x4, 2 = 5x5")
    parser.add_argument("--pattern", default="1,2,3,5,7,8,9", help="point numbers, comma-separated ('' = none)")
    parser.add_argument("--effect", type=int, default=0)
    parser.add_argument("--alert-times", type=int, default=0)
    parser.add_argument("--alert-mode", type=int, default=0)
    parser.add_argument("--unlock-mode", type=int, default=0)
    parser.add_argument("--lock-keyboard", type=int, default=0)
    parser.add_argument("--transparent", type=int, default=0)
    parser.add_argument("--disconnection", type=int, default=0)
    parser.add_argument("--auto-hide", type=int, default=0, help="seconds; 0 = never")
    parser.add_argument("--auto-lock", type=int, default=0, help="seconds; 0 = never")
    parser.add_argument("--monitor-off", type=int, default=0, help="seconds; 0 = never")
    parser.add_argument("--auto-start-lock", action="store_true")
    parser.add_argument("--alert-word", default="Do not touch my computer!")
    parser.add_argument("--background", default="", help="Windows path of a picture; '' = built-in")
    parser.add_argument("--file-mark", type=int, default=FILE_MARK, help="anything but 20001 makes a broken file")
    args = parser.parse_args(argv)
    data = encode(args)
    assert len(data) == FILE_SIZE
    with open(args.out, "wb") as out:
        out.write(data)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
