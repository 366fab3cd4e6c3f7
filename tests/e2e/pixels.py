#!/usr/bin/env python3
"""Pixel questions about a screenshot, for the end-to-end scenarios (no whole-image compare).

  pixels.py at    IMAGE x,y [x,y ...]              "x,y r g b" per point
  pixels.py mean  IMAGE x0,y0,x1,y1                mean "r g b" of the box (x1, y1 exclusive)
  pixels.py count IMAGE x0,y0,x1,y1 r,g,b TOL      pixels of the box within TOL of the colour
  pixels.py rows  IMAGE x0,y0,x1,y1 r,g,b TOL      "first last" row holding such a pixel, or "none"
  pixels.py share IMAGE x0,y0,x1,y1 r,g,b TOL      share (0..1) of the box within TOL of the colour
  pixels.py wipe  r,g,b TOL y IMAGE...             per image, the share of row y within TOL of the
                                                   colour: a wipe in progress shows 0 < share < 1
  pixels.py diff  IMAGE OTHER x0,y0,x1,y1 TOL      pixels of the box that differ by more than TOL
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
    if argv[0] == "wipe":
        colour = tuple(int(v) for v in argv[1].split(","))
        tolerance, row = int(argv[2]), int(argv[3])
        for name in argv[4:]:
            picture = Image.open(name).convert("RGB")
            width = picture.size[0]
            hits = sum(1 for x in range(width) if near(picture.getpixel((x, row)), colour, tolerance))
            print(f"{hits / width:.3f} {name}")
        return 0
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
    elif command == "diff":
        other = Image.open(argv[2]).convert("RGB").load()
        x0, y0, x1, y1 = box(argv[3])
        tolerance = int(argv[4])
        print(sum(1 for y in range(y0, y1) for x in range(x0, x1) if not near(pixels[x, y], other[x, y], tolerance)))
    elif command in ("count", "rows", "share"):
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
        elif command == "share":
            print(f"{count / max((x1 - x0) * (y1 - y0), 1):.3f}")
        else:
            print(f"{rows[0]} {rows[-1]}" if rows else "none")
    else:
        print(__doc__, file=sys.stderr)
        return 2
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
