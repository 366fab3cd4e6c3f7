#!/usr/bin/env python3
"""Pixel checks of the lock screens for the end-to-end scenarios. Each check prints one line,
"PASS: ..." or "FAIL: ...", and the exit code is the number of failures (at most 100).

Expected colours are derived from a screenshot of the same screen with the lock window hidden
(only the cover: HIDDEN), so the checks hold for any background picture:
  80 % black panel and boxes:  hidden * 0.2
  two-thirds white dot:        170 + hidden * 0.067 (dot over the panel, then over the cover)
  text:                        near white where the cover is not
Positions come from the point centres the driver computed (POINTS, "x,y x,y ..." for points
1..N*N in order) and from the screen size; nothing else is hard-coded.

  screen_checks.py idle    W H POINTS HIDDEN SHOT
  screen_checks.py trail   red|blue W H POINTS HIDDEN SHOT ENTERED   (ENTERED: "1 2 6")
  screen_checks.py dynamic W H POINTS HIDDEN SHOT STARS
  screen_checks.py alarm   W H POINTS HIDDEN SHOT...
"""
import math
import sys

from PIL import Image

FAILURES = []


def check(name, ok, detail=""):
    if ok:
        print(f"PASS: {name}")
    else:
        FAILURES.append(name)
        print(f"FAIL: {name}{': ' + detail if detail else ''}")


def load(path):
    return Image.open(path).convert("RGB").load()


def near(a, b, tolerance):
    return all(abs(x - y) <= tolerance for x, y in zip(a, b))


def scaled(pixel, factor, offset=0.0):
    return tuple(offset + v * factor for v in pixel)


def is_text(shot, hidden, x, y):
    """A pixel of white text: near white where the cover is not."""
    return min(shot[x, y]) >= 235 and min(hidden[x, y]) < 200


def text_rows(shot, hidden, x0, x1, y0, y1):
    return [y for y in range(y0, y1) if any(is_text(shot, hidden, x, y) for x in range(x0, x1))]


class Screen:
    def __init__(self, width, height, points):
        self.w, self.h = int(width), int(height)
        self.centres = [tuple(int(v) for v in p.split(",")) for p in points.split()]
        self.n = int(round(math.sqrt(len(self.centres))))
        if self.n * self.n != len(self.centres):
            raise SystemExit("POINTS must hold N*N centres")
        self.s = 74 * self.n + 20
        # Point 1's centre lies 47 pixels right of and below the panel's corner.
        self.x0, self.y0 = self.centres[0][0] - 47, self.centres[0][1] - 47


def check_dark_box(name, shot, hidden, left, top, width, height):
    """An 80 % black box: its first and last columns dark, the columns beside it not."""
    mid = top + height // 2
    for x, inside in ((left, True), (left + width - 1, True), (left - 1, False), (left + width, False)):
        expected = scaled(hidden[x, mid], 0.2) if inside else hidden[x, mid]
        check(f"{name} {'inside' if inside else 'outside'} at {x},{mid}", near(shot[x, mid], expected, 7),
              f"got {shot[x, mid]}, expected about {tuple(round(v) for v in expected)}")


def check_text_band(name, shot, hidden, screen, top, size):
    """Text of this size drawn from rectangle top `top`: glyphs in the rows below, none above."""
    x0, x1 = max(screen.w // 2 - 300, 0), min(screen.w // 2 + 300, screen.w)
    rows = text_rows(shot, hidden, x0, x1, top - 8, top + size + 8)
    inside = [y for y in rows if top <= y < top + size + 6]
    above = [y for y in rows if y < top]
    check(f"{name}: text drawn below {top}", len(inside) >= size // 3, f"text rows {rows[:3]}..{rows[-3:]}")
    check(f"{name}: nothing drawn above {top}", not above, f"text rows {above}")


def idle(screen, hidden, shot):
    s = screen
    check_dark_box("panel", shot, hidden, s.x0, s.y0, s.s, s.s)
    # The top edge, beside the rounded corners.
    x = s.x0 + s.s // 2
    check("panel top edge", near(shot[x, s.y0], scaled(hidden[x, s.y0], 0.2), 7) and
          near(shot[x, s.y0 - 1], hidden[x, s.y0 - 1], 7), f"{shot[x, s.y0]} / {shot[x, s.y0 - 1]}")
    for k, (cx, cy) in enumerate(s.centres, start=1):
        dot = scaled(hidden[cx, cy], 0.2 * (1 - 0xAA / 255), 0xAA)
        off = (cx + 20, cy)
        ok = near(shot[cx, cy], dot, 8) and near(shot[cx + 15, cy], dot, 8) and \
            near(shot[off], scaled(hidden[off], 0.2), 7)
        check(f"dot {k} at {cx},{cy}", ok, f"centre {shot[cx, cy]}, edge {shot[cx + 15, cy]}, beside {shot[off]}")
    letters = sum(1 for cx, cy in s.centres for y in range(cy - 10, cy + 12) for x in range(cx - 12, cx + 12)
                  if min(shot[x, y]) >= 245)
    check("no letters on the points", letters == 0, f"{letters} white pixels")
    half = s.h / 2
    check_text_band("time", shot, hidden, s, round(half - s.s / 2 - 67), 21)
    check_text_band("date", shot, hidden, s, round(half - s.s / 2 - 37), 16)
    check_text_band("alert text", shot, hidden, s, round(half + s.s / 2 + 20), 18)
    check_dark_box("icon box", shot, hidden, s.w - 196, s.h - 108, 156, 48)
    for name, left in (("trail icon", s.w - 181), ("dot-grid icon", s.w - 134), ("keyboard icon", s.w - 87)):
        top = s.h - 100
        drawn = sum(1 for y in range(top, top + 32) for x in range(left, left + 32)
                    if not near(shot[x, y], scaled(hidden[x, y], 0.2), 30))
        check(f"{name} drawn at {left},{top}", drawn >= 40, f"{drawn} pixels differ from the box")


def trail(colour, screen, hidden, shot, entered):
    pen = (255, 0, 0) if colour == "red" else (0, 63, 255)
    points = [screen.centres[int(k) - 1] for k in entered.split()]
    for (ax, ay), (bx, by) in zip(points, points[1:]):
        mx, my = (ax + bx) // 2, (ay + by) // 2
        check(f"{colour} line at {mx},{my}", near(shot[mx, my], pen, 16), f"got {shot[mx, my]}")
    for cx, cy in points:
        check(f"ring at {cx},{cy}: white centre", near(shot[cx, cy], (255, 255, 255), 8), f"got {shot[cx, cy]}")
        # The rim: a pen-coloured pixel on the outer circle (radius 26) where no line passes.
        rim = [shot[cx + dx, cy + dy] for dx, dy in ((0, -26), (0, 26), (-26, 0), (26, 0), (0, -25), (0, 25))]
        check(f"ring at {cx},{cy}: {colour} rim", any(near(p, pen, 90) and p != (255, 255, 255) for p in rim),
              f"rim pixels {rim}")


def dynamic(screen, hidden, shot, stars):
    s = screen
    for k, (cx, cy) in enumerate(s.centres, start=1):
        white = sum(1 for y in range(cy - 10, cy + 12) for x in range(cx - 12, cx + 12) if min(shot[x, y]) >= 245)
        check(f"letter on point {k}", white >= 5, f"{white} white pixels")
    left, top = round((s.w - 256) / 2), round(s.h - (s.h - 256) / 4)
    check_dark_box("input box", shot, hidden, left, top, 256, 24)
    typed = sum(1 for y in range(top, top + 24) for x in range(left, left + 256) if is_text(shot, hidden, x, y))
    if int(stars) == 0:
        check("input box empty", typed == 0, f"{typed} text pixels")
    else:
        check(f"input box shows {stars} star(s)", typed >= 4 * int(stars), f"{typed} text pixels")


def alarm(screen, hidden, shots):
    s = screen
    left, top = round((s.w - 235) / 2), round((s.h - 256) / 2)
    colours = []
    for index, path in enumerate(shots):
        shot = load(path)
        check_text_band(f"frame {index}: title", shot, hidden, s, round(s.h / 2 - 180), 21)
        check_text_band(f"frame {index}: seconds left", shot, hidden, s, round(s.h / 2 + 150), 18)
        x, y = s.x0 + 8, s.y0 + s.s // 2
        if x < left:
            check(f"frame {index}: no panel", near(shot[x, y], hidden[x, y], 7), f"got {shot[x, y]}")
        box = [shot[x, y] for y in range(top, top + 256, 4) for x in range(left, left + 235, 4)]
        red = sum(1 for r, g, b in box if r > 150 and r > b + 60)
        blue = sum(1 for r, g, b in box if b > 150 and b > r + 60)
        colours.append("red" if red > blue else "blue")
        check(f"frame {index}: shield drawn", max(red, blue) > len(box) // 20, f"red {red}, blue {blue} of {len(box)}")
    if len(shots) > 1:
        check("shield alternates red and blue", len(set(colours)) == 2, f"colours {colours}")


def main(argv):
    if len(argv) < 6:
        print(__doc__, file=sys.stderr)
        return 100
    command = argv[0]
    if command == "trail":
        colour, argv = argv[1], argv[1:]
    screen = Screen(argv[1], argv[2], argv[3])
    hidden = load(argv[4])
    if command == "idle":
        idle(screen, hidden, load(argv[5]))
    elif command == "trail":
        trail(colour, screen, hidden, load(argv[5]), argv[6])
    elif command == "dynamic":
        dynamic(screen, hidden, load(argv[5]), argv[6])
    elif command == "alarm":
        alarm(screen, hidden, argv[5:])
    else:
        print(__doc__, file=sys.stderr)
        return 100
    return min(len(FAILURES), 100)


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
