#!/usr/bin/env python3
"""Pixel questions about a screenshot, for the end-to-end scenarios (no whole-image compare).

  pixels.py at    IMAGE x,y [x,y ...]              "x,y r g b" per point
  pixels.py mean  IMAGE x0,y0,x1,y1                mean "r g b" of the box (x1, y1 exclusive)
  pixels.py count IMAGE x0,y0,x1,y1 r,g,b TOL      pixels of the box within TOL of the colour
  pixels.py rows  IMAGE x0,y0,x1,y1 r,g,b TOL      "first last" row holding such a pixel, or "none"
"""
import sys

from PIL import Image


def box(text):
    x0, y0, x1, y1 = (int(v) for v in text.split(","))
    return x0, y0, x1, y1


def near(pixel, colour, tolerance):
    return all(abs(a - b) <= tolerance for a, b in zip(pixel, colour))


def main(argv):
    if len(argv) < 3:
        print(__doc__, file=sys.stderr)
        return 2
    command, image = argv[0], Image.open(argv[1]).convert("RGB")
    pixels = image.load()
    if command == "at":
        for text in argv[2:]:
            x, y = (int(v) for v in text.split(","))
            print(f"{x},{y}", *pixels[x, y])
    elif command == "mean":
        x0, y0, x1, y1 = box(argv[2])
        total, sums = 0, [0, 0, 0]
        for y in range(y0, y1):
            for x in range(x0, x1):
                for i, v in enumerate(pixels[x, y]):
                    sums[i] += v
                total += 1
        print(*(round(s / max(total, 1)) for s in sums))
    elif command in ("count", "rows"):
        x0, y0, x1, y1 = box(argv[2])
        colour = tuple(int(v) for v in argv[3].split(","))
        tolerance = int(argv[4])
        count, rows = 0, []
        for y in range(y0, y1):
            hits = sum(1 for x in range(x0, x1) if near(pixels[x, y], colour, tolerance))
            count += hits
            if hits:
                rows.append(y)
        if command == "count":
            print(count)
        else:
            print(f"{rows[0]} {rows[-1]}" if rows else "none")
    else:
        print(__doc__, file=sys.stderr)
        return 2
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
