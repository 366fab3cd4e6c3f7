#!/usr/bin/env python3
"""Generates every picture, icon, cursor and sound in resources/art/.

Run it with Debian's Python (it needs python3-pil only):

    /usr/bin/python3 resources/make_artwork.py

The output is deterministic, so re-running it on an unchanged script leaves
git with nothing to commit.  Pictures are drawn at SS times their final size
and scaled down, which gives clean anti-aliased edges.
"""

import io
import math
import os
import random
import struct
import wave

from PIL import Image, ImageChops, ImageDraw, ImageFilter

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(HERE, "art")
SS = 4  # supersampling factor


# ---------------------------------------------------------------------------
# small helpers

def lerp(a, b, t):
    return a + (b - a) * t


def mix(c1, c2, t):
    return tuple(int(round(lerp(a, b, t))) for a, b in zip(c1, c2))


def ramp(stops, t):
    """Colour at t along a list of (position, colour) stops."""
    if t <= stops[0][0]:
        return stops[0][1]
    for (p0, c0), (p1, c1) in zip(stops, stops[1:]):
        if t <= p1:
            u = (t - p0) / (p1 - p0)
            u = u * u * (3 - 2 * u)  # smoothstep: no visible kinks at stops
            return mix(c0, c1, u)
    return stops[-1][1]


def vgradient(size, stops, y0=0.0, y1=None):
    """RGB image whose rows follow the colour stops between rows y0..y1."""
    w, h = size
    if y1 is None:
        y1 = h
    col = Image.new("RGB", (1, h))
    px = col.load()
    for y in range(h):
        t = (y - y0) / max(1.0, (y1 - y0))
        px[0, y] = ramp(stops, min(1.0, max(0.0, t)))
    return col.resize((w, h), Image.NEAREST)


def paint(canvas, mask, fill, opacity=1.0):
    """Composite a solid colour or an RGB image onto canvas through mask."""
    if isinstance(fill, tuple):
        layer = Image.new("RGBA", canvas.size, fill[:3] + (255,))
    else:
        layer = fill.convert("RGBA")
    if opacity < 1.0:
        mask = mask.point(lambda v: int(round(v * opacity)))
    layer.putalpha(mask)
    canvas.alpha_composite(layer)


def new_mask(size):
    return Image.new("L", size, 0)


def scaled(points, s, dx=0.0, dy=0.0):
    return [((x + dx) * s, (y + dy) * s) for x, y in points]


def erode(mask, px):
    """Shrink a (large, supersampled) mask by roughly px pixels."""
    blurred = mask.filter(ImageFilter.GaussianBlur(px / 2.05))
    return blurred.point(lambda v: 255 if v >= 250 else (0 if v < 235 else (v - 235) * 17))


def dilate_small(mask, px=1):
    """Grow a final-size mask by px pixels (3x3 max filter per pixel)."""
    for _ in range(px):
        mask = mask.filter(ImageFilter.MaxFilter(3))
    return mask


def down(img, size):
    return img.resize(size, Image.LANCZOS)


def save_png(img, name):
    img.save(os.path.join(OUT, name), "PNG", optimize=True)


# ---------------------------------------------------------------------------
# the padlock, used by the tray icons, the application icon and the about art

GOLD = {
    "body": [(0.0, (255, 226, 122)), (0.55, (246, 184, 48)), (1.0, (205, 130, 18))],
    "shackle": [(0.0, (246, 249, 252)), (0.6, (178, 188, 200)), (1.0, (120, 132, 146))],
    "line": (44, 30, 8),
    "hole": (70, 44, 6),
    "shine": (255, 246, 210),
}
GREY = {
    "body": [(0.0, (214, 218, 224)), (0.55, (166, 172, 181)), (1.0, (118, 124, 134))],
    "shackle": [(0.0, (226, 229, 233)), (0.6, (160, 166, 174)), (1.0, (112, 118, 126))],
    "line": (34, 38, 44),
    "hole": (58, 62, 70),
    "shine": (240, 242, 246),
}


def draw_padlock(canvas, s, box, pal, body_top=0.46, shackle_inset=0.2,
                 thick=0.15, outline=1.0, radius=0.14, keyhole=True, shine=True):
    """Padlock inside box=(x0, y0, x1, y1), given in final-size pixels.

    s is the supersampling scale of canvas.  The box is the outside of the
    outline; thick, shackle_inset and radius are fractions of the body width.
    """
    x0, y0, x1, y1 = box
    o = outline
    w = x1 - x0
    bx0, bx1 = x0 + o, x1 - o
    by0, by1 = y0 + (y1 - y0) * body_top, y1 - o
    bw = bx1 - bx0
    r = bw * radius
    sx0, sx1 = bx0 + bw * shackle_inset, bx1 - bw * shackle_inset
    t = bw * thick
    sy0, sy1 = y0 + o, by0 + t + r  # the shackle legs go down into the body
    size = canvas.size

    def stadium(ax0, ay0, ax1, ay1):
        m = new_mask(size)
        ImageDraw.Draw(m).rounded_rectangle(
            [ax0 * s, ay0 * s, ax1 * s, ay1 * s], radius=(ax1 - ax0) * s / 2, fill=255)
        return m

    def rrect(ax0, ay0, ax1, ay1, rad):
        m = new_mask(size)
        ImageDraw.Draw(m).rounded_rectangle(
            [ax0 * s, ay0 * s, ax1 * s, ay1 * s], radius=rad * s, fill=255)
        return m

    # shackle: outline ring, then the metal
    ring_out = ImageChops.subtract(stadium(sx0 - o, sy0 - o, sx1 + o, sy1 + 2 * o),
                                   stadium(sx0 + t + o, sy0 + t + o, sx1 - t - o, sy1 + 2 * o + t))
    ring = ImageChops.subtract(stadium(sx0, sy0, sx1, sy1),
                               stadium(sx0 + t, sy0 + t, sx1 - t, sy1 + t))
    if o > 0:
        paint(canvas, ring_out, pal["line"])
    grad = vgradient(size, pal["shackle"], sy0 * s, by0 * s)
    paint(canvas, ring, grad)

    # body
    if o > 0:
        paint(canvas, rrect(bx0 - o, by0 - o, bx1 + o, by1 + o, r + o), pal["line"])
    body = rrect(bx0, by0, bx1, by1, r)
    paint(canvas, body, vgradient(size, pal["body"], by0 * s, by1 * s))
    if shine:
        # a soft highlight band across the top of the body
        band = rrect(bx0 + bw * 0.08, by0 + bw * 0.06, bx1 - bw * 0.08,
                     by0 + (by1 - by0) * 0.38, r * 0.7)
        fade = vgradient(size, [(0.0, (255, 255, 255)), (1.0, (0, 0, 0))],
                         by0 * s, (by0 + (by1 - by0) * 0.4) * s).convert("L")
        paint(canvas, ImageChops.multiply(band, fade), pal["shine"], 0.55)
    if keyhole:
        cx = (bx0 + bx1) / 2
        cy = by0 + (by1 - by0) * 0.45
        kr = bw * 0.1
        m = new_mask(size)
        d = ImageDraw.Draw(m)
        d.ellipse([(cx - kr) * s, (cy - kr) * s, (cx + kr) * s, (cy + kr) * s], fill=255)
        d.polygon([((cx - kr * 0.55) * s, cy * s), ((cx + kr * 0.55) * s, cy * s),
                   ((cx + kr * 0.8) * s, (cy + kr * 2.6) * s),
                   ((cx - kr * 0.8) * s, (cy + kr * 2.6) * s)], fill=255)
        paint(canvas, m, pal["hole"])


def dot_grid_centres(x0, y0, x1, y1):
    xs = [x0, (x0 + x1) / 2, x1]
    ys = [y0, (y0 + y1) / 2, y1]
    return [(x, y) for y in ys for x in xs]


# ---------------------------------------------------------------------------
# background.jpg

def make_background():
    W, H = 1920, 1440
    rng = random.Random(1031)

    # dusk sky: deep navy at the top, a soft teal glow low down
    sky = vgradient((W, H), [
        (0.00, (5, 12, 30)),
        (0.30, (9, 26, 54)),
        (0.56, (18, 58, 84)),
        (0.70, (30, 86, 104)),
        (1.00, (12, 44, 60)),
    ]).convert("RGBA")

    def glow(cx, cy, rx, ry, colour, strength, blur):
        m = new_mask((W // 4, H // 4))
        ImageDraw.Draw(m).ellipse([(cx - rx) / 4, (cy - ry) / 4, (cx + rx) / 4, (cy + ry) / 4],
                                  fill=255)
        m = m.filter(ImageFilter.GaussianBlur(blur / 4)).resize((W, H), Image.BICUBIC)
        paint(sky, m, colour, strength)

    glow(1350, 930, 700, 260, (92, 170, 176), 0.30, 220)   # light on the horizon
    glow(1400, 900, 260, 120, (168, 214, 206), 0.20, 120)
    glow(300, 200, 620, 420, (44, 52, 120), 0.35, 260)     # violet haze up left
    glow(960, 700, 560, 380, (0, 0, 0), 0.22, 260)         # keep the middle calm

    # a few faint stars in the upper sky
    stars = new_mask((W, H))
    d = ImageDraw.Draw(stars)
    for _ in range(150):
        x, y = rng.uniform(0, W), rng.uniform(0, H * 0.5) ** 1.0
        y = y * rng.uniform(0.2, 1.0)
        r = rng.choice([0.8, 0.9, 1.0, 1.2, 1.5])
        d.ellipse([x - r, y - r, x + r, y + r], fill=int(rng.uniform(60, 200) * (1 - y / (H * 0.5))))
    stars = stars.filter(ImageFilter.GaussianBlur(0.7))
    paint(sky, stars, (220, 232, 255), 0.8)

    # soft out-of-focus lights
    bokeh = new_mask((W, H))
    d = ImageDraw.Draw(bokeh)
    for _ in range(13):
        x, y = rng.uniform(0, W), rng.uniform(H * 0.1, H * 0.7)
        if abs(x - W / 2) < 420 and abs(y - H / 2) < 300:
            x += 840 if x > W / 2 else -840  # leave the middle to the text panel
        r = rng.uniform(20, 90)
        d.ellipse([x - r, y - r, x + r, y + r], fill=int(rng.uniform(10, 28)))
    bokeh = bokeh.filter(ImageFilter.GaussianBlur(16))
    paint(sky, bokeh, (170, 220, 230))

    # layered hills, from the hazy far ones to the dark near ones
    layers = [
        (0.655, 30, (30, 84, 100), (26, 72, 88)),
        (0.715, 42, (21, 64, 82), (16, 52, 68)),
        (0.790, 55, (13, 44, 60), (9, 34, 48)),
        (0.880, 70, (6, 26, 38), (4, 17, 26)),
    ]
    for i, (base, amp, top_col, bot_col) in enumerate(layers):
        waves = [(rng.uniform(0.6, 1.4) * (k + 1), rng.uniform(0, 2 * math.pi),
                  amp / (k + 1) ** 1.3) for k in range(4)]
        pts = []
        for xi in range(0, W * SS + 1, 8):
            x = xi / SS / W
            y = H * base + sum(a * math.sin(2 * math.pi * f * x + p) for f, p, a in waves)
            pts.append((xi, y * SS))
        pts += [(W * SS, H * SS), (0, H * SS)]
        m = new_mask((W * SS, H * SS))
        ImageDraw.Draw(m).polygon(pts, fill=255)
        m = m.reduce(SS)
        top = min(p[1] for p in pts[:-2]) / SS
        fill = vgradient((W, H), [(0.0, top_col), (1.0, bot_col)], top, H)
        # mist lying in the valley behind this layer
        mist = new_mask((W // 4, H // 4))
        ImageDraw.Draw(mist).rectangle([0, (H * base - amp * 0.6) / 4, W / 4,
                                        (H * base + amp * 0.8) / 4], fill=255)
        mist = mist.filter(ImageFilter.GaussianBlur(14)).resize((W, H), Image.BICUBIC)
        paint(sky, mist, (120, 180, 190), 0.07)
        paint(sky, m, fill)
        # a faint rim of light on the crest
        rim = ImageChops.subtract(m, ImageChops.offset(m, 0, 3))
        paint(sky, rim.filter(ImageFilter.GaussianBlur(1.2)), (140, 200, 205), 0.18 - i * 0.03)

    # fine grain so the long gradients don't band once the file is 8-bit JPEG
    grain = Image.frombytes("L", (W, H), rng.randbytes(W * H))
    grain = grain.point(lambda v: 126 + (v * 5) // 256)  # 126..130
    out = ImageChops.add(sky.convert("RGB"), Image.merge("RGB", (grain,) * 3), 1.0, -128)
    out.save(os.path.join(OUT, "background.jpg"), "JPEG", quality=90, optimize=True,
             progressive=False, subsampling="4:2:0")


# ---------------------------------------------------------------------------
# alarm_red.png / alarm_blue.png

def bezier(p0, p1, p2, p3, n=48):
    pts = []
    for i in range(n + 1):
        t = i / n
        a, b, c, e = (1 - t) ** 3, 3 * (1 - t) ** 2 * t, 3 * (1 - t) * t * t, t ** 3
        pts.append((a * p0[0] + b * p1[0] + c * p2[0] + e * p3[0],
                    a * p0[1] + b * p1[1] + c * p2[1] + e * p3[1]))
    return pts


def shield_outline(w=235, h=256):
    cx = w / 2
    right = []
    right += bezier((cx, 12), (cx + 38, 24), (cx + 70, 31), (203, 32))
    right += bezier((203, 32), (211, 32), (217, 36), (217, 45))[1:]
    right += bezier((217, 45), (217, 116), (210, 166), (182, 203))[1:]
    right += bezier((182, 203), (163, 227), (140, 240), (cx, 247))[1:]
    left = [(w - x, y) for x, y in reversed(right[1:-1])]
    return right + left


ALARM_PALETTES = {
    "red": {
        "edge": (72, 4, 10),
        "rim": [(0.0, (255, 168, 156)), (0.45, (214, 40, 44)), (1.0, (112, 8, 16))],
        "groove": (96, 6, 14),
        "face": [(0.0, (255, 92, 80)), (0.5, (222, 30, 36)), (1.0, (146, 10, 22))],
        "glow": (255, 120, 100),
        "glyph_shadow": (80, 0, 8),
    },
    "blue": {
        "edge": (4, 22, 72),
        "rim": [(0.0, (170, 214, 255)), (0.45, (36, 110, 222)), (1.0, (8, 36, 112))],
        "groove": (6, 30, 96),
        "face": [(0.0, (92, 170, 255)), (0.5, (32, 108, 226)), (1.0, (10, 46, 146))],
        "glow": (120, 190, 255),
        "glyph_shadow": (0, 16, 70),
    },
}


def make_alarm(colour):
    pal = ALARM_PALETTES[colour]
    W, H = 235, 256
    size = (W * SS, H * SS)
    canvas = Image.new("RGBA", size, (0, 0, 0, 0))
    outline = scaled(shield_outline(W, H), SS)

    shape = new_mask(size)
    ImageDraw.Draw(shape).polygon(outline, fill=255)

    # soft drop shadow
    shadow = ImageChops.offset(shape, 0, 4 * SS).filter(ImageFilter.GaussianBlur(4 * SS))
    paint(canvas, shadow, (0, 0, 0), 0.45)

    paint(canvas, shape, pal["edge"])
    rim = erode(shape, 1.6 * SS)
    paint(canvas, rim, vgradient(size, pal["rim"], 12 * SS, 247 * SS))
    groove = erode(shape, 10 * SS)
    paint(canvas, groove, pal["groove"])
    face = erode(shape, 12.5 * SS)
    paint(canvas, face, vgradient(size, pal["face"], 24 * SS, 236 * SS))

    # a gentle glow in the middle of the face
    g = new_mask(size)
    ImageDraw.Draw(g).ellipse([60 * SS, 95 * SS, 175 * SS, 215 * SS], fill=255)
    g = ImageChops.multiply(g.filter(ImageFilter.GaussianBlur(26 * SS)), face)
    paint(canvas, g, pal["glow"], 0.45)

    # glossy reflection over the top half
    gloss = new_mask(size)
    ImageDraw.Draw(gloss).ellipse([-70 * SS, -150 * SS, (W + 70) * SS, 128 * SS], fill=255)
    gloss = ImageChops.multiply(gloss, face)
    fade = vgradient(size, [(0.0, (150, 150, 150)), (1.0, (18, 18, 18))],
                     24 * SS, 128 * SS).convert("L")
    paint(canvas, ImageChops.multiply(gloss, fade), (255, 255, 255))

    # the exclamation mark
    cx = W / 2
    mark = new_mask(size)
    d = ImageDraw.Draw(mark)
    top, bottom = 62, 152
    d.polygon(scaled([(cx - 17, top + 6), (cx + 17, top + 6), (cx + 10, bottom),
                      (cx - 10, bottom)], SS), fill=255)
    d.ellipse(scaled([(cx - 17, top - 11), (cx + 17, top + 23)], SS), fill=255)
    d.ellipse(scaled([(cx - 10, bottom - 10), (cx + 10, bottom + 10)], SS), fill=255)
    d.ellipse(scaled([(cx - 16, 172), (cx + 16, 204)], SS), fill=255)
    mark_shadow = ImageChops.offset(mark, 0, 3 * SS).filter(ImageFilter.GaussianBlur(3 * SS))
    paint(canvas, mark_shadow, pal["glyph_shadow"], 0.55)
    paint(canvas, mark, (255, 255, 255))

    save_png(down(canvas, (W, H)), "alarm_%s.png" % colour)


# ---------------------------------------------------------------------------
# 32x32 glyphs for the lock screen's input boxes

GLYPH_LIGHT = (246, 249, 252)
GLYPH_EDGE = (8, 14, 22)


def outlined_glyph(mask, edge_alpha=0.75, colour_layer=None):
    """White glyph from a 32x32 mask with a 1px dark outline around it."""
    edge = dilate_small(mask, 1)
    out = Image.new("RGBA", mask.size, (0, 0, 0, 0))
    paint(out, edge, GLYPH_EDGE, edge_alpha)
    paint(out, mask, GLYPH_LIGHT)
    if colour_layer is not None:
        out.alpha_composite(colour_layer)
    return out


def make_keyboard():
    m = new_mask((32, 32))
    d = ImageDraw.Draw(m)
    # case: 1px frame, x 2..29, y 9..23, with clipped corners
    x0, y0, x1, y1 = 2, 9, 29, 23
    d.line([(x0 + 1, y0), (x1 - 1, y0)], fill=255)
    d.line([(x0 + 1, y1), (x1 - 1, y1)], fill=255)
    d.line([(x0, y0 + 1), (x0, y1 - 1)], fill=255)
    d.line([(x1, y0 + 1), (x1, y1 - 1)], fill=255)
    rows = [
        [2, 2, 2, 2, 2, 2, 2, 3],
        [3, 2, 2, 2, 2, 2, 2, 2],
        [4, 2, 2, 2, 2, 2, 4],
        [4, 14, 4],
    ]
    y = y0 + 2
    for widths in rows:
        assert sum(widths) + len(widths) - 1 == 24
        x = x0 + 2
        for kw in widths:
            d.rectangle([x, y, x + kw - 1, y + 1], fill=255)
            x += kw + 1
        y += 3
    save_png(outlined_glyph(m), "keyboard_enable.png")


GRID = dot_grid_centres(6, 6, 26, 26)


def dots_mask(radius, indices=range(9)):
    big = new_mask((32 * SS, 32 * SS))
    d = ImageDraw.Draw(big)
    for i in indices:
        x, y = GRID[i]
        d.ellipse([(x - radius) * SS, (y - radius) * SS, (x + radius) * SS, (y + radius) * SS],
                  fill=255)
    return big


def make_pattern_enable():
    save_png(outlined_glyph(dots_mask(3.0).reduce(SS)), "pattern_enable.png")


def make_pattern_display():
    trail = [0, 4, 2, 5, 8]
    big = dots_mask(2.5)
    d = ImageDraw.Draw(big)
    pts = [(GRID[i][0] * SS, GRID[i][1] * SS) for i in trail]
    d.line(pts, fill=255, width=int(2 * SS), joint="curve")
    for i in trail:  # the visited dots are drawn a little larger
        x, y = GRID[i]
        r = 3.5
        d.ellipse([(x - r) * SS, (y - r) * SS, (x + r) * SS, (y + r) * SS], fill=255)
    m = big.reduce(SS)
    # tint the trail so it stands apart from the plain dots
    trail_only = new_mask((32 * SS, 32 * SS))
    td = ImageDraw.Draw(trail_only)
    td.line(pts, fill=255, width=int(2 * SS), joint="curve")
    for i in trail:
        x, y = GRID[i]
        r = 3.5
        td.ellipse([(x - r) * SS, (y - r) * SS, (x + r) * SS, (y + r) * SS], fill=255)
    tint = Image.new("RGBA", (32, 32), (0, 0, 0, 0))
    paint(tint, trail_only.reduce(SS), (142, 214, 255))
    save_png(outlined_glyph(m, colour_layer=tint), "pattern_display.png")


# ---------------------------------------------------------------------------
# .ico and .cur writers

def ico_bytes(images):
    """ICO file from RGBA images: 32-bit BMP entries, PNG for 256x256."""
    blobs = []
    for im in images:
        w, h = im.size
        if w >= 256:
            buf = io.BytesIO()
            im.save(buf, "PNG", optimize=True)
            blobs.append(buf.getvalue())
            continue
        px = im.load()
        xor = bytearray()
        mask_stride = ((w + 31) // 32) * 4
        andmask = bytearray()
        for y in range(h - 1, -1, -1):
            row_mask = bytearray(mask_stride)
            for x in range(w):
                r, g, b, a = px[x, y]
                xor += bytes((b, g, r, a))
                if a < 128:
                    row_mask[x // 8] |= 0x80 >> (x % 8)
            andmask += row_mask
        header = struct.pack("<IiiHHIIiiII", 40, w, h * 2, 1, 32, 0,
                             len(xor) + len(andmask), 0, 0, 0, 0)
        blobs.append(header + bytes(xor) + bytes(andmask))
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for im, blob in zip(images, blobs):
        w, h = im.size
        out += struct.pack("<BBBBHHII", w % 256, h % 256, 0, 0, 1, 32, len(blob), offset)
        offset += len(blob)
    return out + b"".join(blobs)


def write_ico(name, images):
    with open(os.path.join(OUT, name), "wb") as f:
        f.write(ico_bytes(images))


# The hand cursor, drawn pixel by pixel: X black, o white, . transparent.
HAND = """
.....XX..........
....XooX.........
....XooX.........
....XooX.........
....XooX.........
....XooXXX.......
....XooXooXXX....
....XooXooXooXXX.
....XooXooXooXooX
.XX.XooXooXooXooX
XooXXoooooooooooX
XoooXoooooooooooX
.XooooooooooooooX
..XoooooooooooooX
..XoooooooooooooX
...XooooooooooooX
...XoooooooooooX.
....XooooooooooX.
....XooooooooooX.
.....XooooooooX..
.....XooooooooX..
.....XXXXXXXXXX..
"""
HAND_HOTSPOT = (5, 0)
HAND_OFFSET = (4, 1)  # where the art sits inside the 32x32 cell


def hand_pixels():
    rows = [r for r in HAND.strip("\n").split("\n")]
    grid = [["." for _ in range(32)] for _ in range(32)]
    ox, oy = HAND_OFFSET
    for y, row in enumerate(rows):
        for x, ch in enumerate(row):
            grid[oy + y][ox + x] = ch
    return grid


def make_cursor():
    grid = hand_pixels()
    stride = 4  # 32 pixels at 1 bit per pixel
    xor = bytearray()
    andm = bytearray()
    for y in range(31, -1, -1):  # bottom-up rows
        xrow, arow = bytearray(stride), bytearray(stride)
        for x in range(32):
            bit = 0x80 >> (x % 8)
            ch = grid[y][x]
            if ch == "o":
                xrow[x // 8] |= bit
            if ch == ".":
                arow[x // 8] |= bit
        xor += xrow
        andm += arow
    header = struct.pack("<IiiHHIIiiII", 40, 32, 64, 1, 1, 0, len(xor) + len(andm), 0, 0, 2, 0)
    palette = bytes((0, 0, 0, 0, 255, 255, 255, 0))
    blob = header + palette + bytes(xor) + bytes(andm)
    hx = HAND_OFFSET[0] + HAND_HOTSPOT[0]
    hy = HAND_OFFSET[1] + HAND_HOTSPOT[1]
    data = struct.pack("<HHH", 0, 2, 1) + struct.pack("<BBBBHHII", 32, 32, 2, 0, hx, hy,
                                                       len(blob), 22) + blob
    with open(os.path.join(OUT, "hand.cur"), "wb") as f:
        f.write(data)


# ---------------------------------------------------------------------------
# icons

# The small-icon sizes of 100 % to 300 % display scaling: the shell asks for the one its
# scaling needs, and a missing size would be scaled from a neighbour and blur.
TRAY_SIZES = (16, 20, 24, 32, 40, 48)


def tray_image(size, pal, badge):
    s = SS * 4  # a little extra resolution for the tiny sizes
    canvas = Image.new("RGBA", (size * s, size * s), (0, 0, 0, 0))
    # geometry on whole pixels so the edges stay sharp at this size: the 16-pixel drawing up to
    # 20 pixels, the 32-pixel one above, each scaled
    if size <= 20:
        k = size / 16
        draw_padlock(canvas, s, (round(1 * k), 0, round(15 * k), size), pal, body_top=7 / 16,
                     shackle_inset=1 / 12, thick=2 / 12, outline=1, radius=1.5 / 12, shine=False)
    else:
        k = size / 32
        draw_padlock(canvas, s, (round(3 * k), 0, round(29 * k), size), pal, body_top=14 / 32,
                     shackle_inset=3 / 22, thick=3 / 22, outline=max(1, round(2 * k)),
                     radius=2.5 / 22)
    if badge:
        # a round pause badge in the lower right corner
        bs = size / 16.0
        cx, cy, r = size - 4.5 * bs, size - 4.5 * bs, 4.5 * bs
        m = new_mask(canvas.size)
        d = ImageDraw.Draw(m)
        d.ellipse([(cx - r) * s, (cy - r) * s, (cx + r) * s, (cy + r) * s], fill=255)
        paint(canvas, m, (20, 24, 30))
        m = new_mask(canvas.size)
        d = ImageDraw.Draw(m)
        ri = r - 0.9 * bs
        d.ellipse([(cx - ri) * s, (cy - ri) * s, (cx + ri) * s, (cy + ri) * s], fill=255)
        paint(canvas, m, (240, 140, 30))
        m = new_mask(canvas.size)
        d = ImageDraw.Draw(m)
        bw, bh, gap = 1.0 * bs, 3.4 * bs, 0.6 * bs
        for sign in (-1, 1):
            xa = cx + sign * gap if sign > 0 else cx - gap - bw
            d.rectangle([xa * s, (cy - bh / 2) * s, (xa + bw) * s, (cy + bh / 2) * s], fill=255)
        paint(canvas, m, (255, 255, 255))
    return canvas.resize((size, size), Image.LANCZOS)


def app_image(size):
    """Padlock over a 3x3 dot pattern on a rounded blue tile."""
    s = SS if size >= 48 else SS * 4
    n = size * s
    canvas = Image.new("RGBA", (n, n), (0, 0, 0, 0))
    u = size / 256.0  # design units: a 256 grid
    tile = new_mask((n, n))
    m = 8 * u if size >= 48 else 0.5
    if size == 16:
        m = 0
    ImageDraw.Draw(tile).rounded_rectangle([m * s, m * s, (size - m) * s, (size - m) * s],
                                           radius=max(3, 52 * u) * s, fill=255)
    if size >= 48:
        shadow = ImageChops.offset(tile, 0, int(4 * u * s)).filter(
            ImageFilter.GaussianBlur(5 * u * s))
        paint(canvas, shadow, (0, 0, 0), 0.35)
    paint(canvas, tile, vgradient((n, n), [(0.0, (46, 124, 196)), (0.55, (22, 76, 140)),
                                          (1.0, (12, 42, 88))], m * s, (size - m) * s))
    if size >= 48:
        # a faint sheen on the upper half of the tile
        sheen = new_mask((n, n))
        ImageDraw.Draw(sheen).ellipse([-60 * u * s, -200 * u * s, 316 * u * s, 120 * u * s],
                                      fill=255)
        paint(canvas, ImageChops.multiply(sheen, tile), (255, 255, 255), 0.10)

    if size == 16:  # too small for the dots: a plain padlock on the tile
        draw_padlock(canvas, s, (3, 2, 13, 14), GOLD, body_top=0.5, shackle_inset=2 / 10,
                     thick=2 / 10, outline=0, radius=1 / 10, keyhole=False, shine=False)
        return canvas.resize((size, size), Image.LANCZOS)

    # the dot pattern with a trail
    grid = dot_grid_centres(64 * u, 62 * u, 192 * u, 190 * u)
    dots = new_mask((n, n))
    d = ImageDraw.Draw(dots)
    dr = 13 * u if size >= 32 else 18 * u
    for x, y in grid:
        d.ellipse([(x - dr) * s, (y - dr) * s, (x + dr) * s, (y + dr) * s], fill=255)
    paint(canvas, dots, (200, 226, 250), 0.55 if size >= 32 else 0.7)
    if size >= 32:
        trail = new_mask((n, n))
        td = ImageDraw.Draw(trail)
        pts = [(grid[i][0] * s, grid[i][1] * s) for i in (0, 1, 2)]
        td.line(pts, fill=255, width=int(10 * u * s), joint="curve")
        for x, y in pts:
            td.ellipse([x - 16 * u * s, y - 16 * u * s, x + 16 * u * s, y + 16 * u * s], fill=255)
        paint(canvas, trail, (150, 220, 255), 0.95)

    # the padlock in front
    if size >= 48:
        box = (72 * u, 70 * u, 184 * u, 232 * u)
        draw_padlock(canvas, s, box, GOLD, body_top=0.45, outline=max(1.2, 5 * u), thick=0.15)
    else:
        box = (8, 7, 24, 30)
        draw_padlock(canvas, s, box, GOLD, body_top=10 / 23, shackle_inset=3 / 14,
                     outline=1.0, thick=2 / 14)
    return canvas.resize((size, size), Image.LANCZOS)


def make_icons():
    write_ico("tray.ico", [tray_image(sz, GOLD, False) for sz in TRAY_SIZES])
    write_ico("tray_disabled.ico", [tray_image(sz, GREY, True) for sz in TRAY_SIZES])
    write_ico("app.ico", [app_image(sz) for sz in (16, 32, 48, 256)])


# ---------------------------------------------------------------------------
# about.bmp / about_logo.png

def make_about_bmp():
    size = 128
    s = SS
    canvas = Image.new("RGBA", (size * s, size * s), (255, 255, 255, 255))
    grid = dot_grid_centres(28, 28, 100, 100)
    dots = new_mask(canvas.size)
    d = ImageDraw.Draw(dots)
    for x, y in grid:
        d.ellipse([(x - 8) * s, (y - 8) * s, (x + 8) * s, (y + 8) * s], fill=255)
    paint(canvas, dots, (208, 222, 238))
    trail = new_mask(canvas.size)
    td = ImageDraw.Draw(trail)
    pts = [(grid[i][0] * s, grid[i][1] * s) for i in (6, 3, 0, 1, 2)]
    td.line(pts, fill=255, width=5 * s, joint="curve")
    for x, y in pts:
        td.ellipse([x - 9 * s, y - 9 * s, x + 9 * s, y + 9 * s], fill=255)
    paint(canvas, trail, (64, 140, 220))
    # shadow under the padlock
    sh = new_mask(canvas.size)
    ImageDraw.Draw(sh).ellipse([44 * s, 112 * s, 100 * s, 122 * s], fill=255)
    paint(canvas, sh.filter(ImageFilter.GaussianBlur(4 * s)), (40, 50, 70), 0.35)
    draw_padlock(canvas, s, (44, 38, 100, 116), GOLD, body_top=0.45, outline=2.0, thick=0.15)
    down(canvas, (size, size)).convert("RGB").save(os.path.join(OUT, "about.bmp"), "BMP")


def make_about_logo():
    W, H = 128, 64
    s = SS
    canvas = Image.new("RGBA", (W * s, H * s), (0, 0, 0, 0))
    # a pattern trail of three dots rising towards the padlock
    pts = [(12, 46), (36, 22), (60, 40)]
    trail = new_mask(canvas.size)
    td = ImageDraw.Draw(trail)
    td.line([(x * s, y * s) for x, y in pts] + [(84 * s, 40 * s)], fill=255, width=4 * s,
            joint="curve")
    paint(canvas, trail, (64, 140, 220))
    for x, y in pts:
        m = new_mask(canvas.size)
        d = ImageDraw.Draw(m)
        d.ellipse([(x - 8) * s, (y - 8) * s, (x + 8) * s, (y + 8) * s], fill=255)
        paint(canvas, m, (24, 64, 120))
        m = new_mask(canvas.size)
        d = ImageDraw.Draw(m)
        d.ellipse([(x - 6) * s, (y - 6) * s, (x + 6) * s, (y + 6) * s], fill=255)
        paint(canvas, m, vgradient(canvas.size, [(0.0, (140, 200, 255)), (1.0, (46, 116, 210))],
                                   (y - 6) * s, (y + 6) * s))
    draw_padlock(canvas, s, (80, 4, 120, 60), GOLD, body_top=0.45, outline=1.6, thick=0.15)
    save_png(down(canvas, (W, H)), "about_logo.png")


# ---------------------------------------------------------------------------
# alarm.wav

def make_alarm_wav():
    rate = 11025
    seconds = 1.6
    n = int(rate * seconds)  # 17640 samples
    # A siren sweeping 500..1000 Hz twice per loop.  The mean frequency times
    # the length is a whole number of cycles and the sweep is periodic in the
    # loop length, so the end joins the start without a jump in phase.
    base, depth, period = 750.0, 250.0, 0.8
    attack = int(rate * 0.02)
    phase = 0.0
    frames = bytearray()
    for i in range(n):
        t = i / rate
        f = base + depth * math.sin(2 * math.pi * t / period)
        v = 0.62 * math.sin(phase) + 0.2 * math.sin(3 * phase)
        env = 1.0
        if i < attack:
            env = 0.5 - 0.5 * math.cos(math.pi * i / attack)
        elif i >= n - attack:
            env = 0.5 - 0.5 * math.cos(math.pi * (n - 1 - i) / attack)
        frames.append(max(1, min(255, 128 + int(round(v * env * 200)))))
        phase += 2 * math.pi * f / rate
    with wave.open(os.path.join(OUT, "alarm.wav"), "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(1)
        w.setframerate(rate)
        w.writeframes(bytes(frames))


def main():
    os.makedirs(OUT, exist_ok=True)
    make_background()
    make_alarm("red")
    make_alarm("blue")
    make_keyboard()
    make_pattern_enable()
    make_pattern_display()
    make_cursor()
    make_icons()
    make_about_bmp()
    make_about_logo()
    make_alarm_wav()


if __name__ == "__main__":
    main()
