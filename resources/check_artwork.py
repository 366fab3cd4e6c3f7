#!/usr/bin/env python3
"""Checks the generated files in resources/art/ (standard library only).

Usage: check_artwork.py [resources-dir]
Prints one line per problem and exits 1 if there is any.
"""

import os
import re
import struct
import sys

PNG_SIZES = {
    "alarm_red.png": (235, 256),
    "alarm_blue.png": (235, 256),
    "keyboard_enable.png": (32, 32),
    "pattern_enable.png": (32, 32),
    "pattern_display.png": (32, 32),
    "about_logo.png": (128, 64),
}
ICO_SIZES = {
    "tray.ico": {16, 20, 24, 32, 40, 48},
    "tray_disabled.ico": {16, 20, 24, 32, 40, 48},
    "app.ico": {16, 32, 48, 256},
}


def png_info(data):
    if data[:8] != b"\x89PNG\r\n\x1a\n" or data[12:16] != b"IHDR":
        raise ValueError("not a PNG")
    w, h, depth, ctype = struct.unpack(">IIBB", data[16:26])
    return w, h, depth, ctype


def jpeg_size(data):
    if data[:2] != b"\xff\xd8":
        raise ValueError("not a JPEG")
    p = 2
    while p + 4 <= len(data):
        if data[p] != 0xFF:
            raise ValueError("broken JPEG marker at %d" % p)
        marker = data[p + 1]
        length = struct.unpack(">H", data[p + 2:p + 4])[0]
        if 0xC0 <= marker <= 0xCF and marker not in (0xC4, 0xC8, 0xCC):
            h, w = struct.unpack(">HH", data[p + 5:p + 9])
            return w, h
        p += 2 + length
    raise ValueError("JPEG without a frame header")


def icon_dir(data, kind):
    reserved, rtype, count = struct.unpack("<HHH", data[:6])
    if reserved != 0 or rtype != kind or count == 0:
        raise ValueError("bad icon directory")
    entries = []
    for i in range(count):
        w, h, colours, _, a, b, size, offset = struct.unpack("<BBBBHHII", data[6 + 16 * i:22 + 16 * i])
        if offset + size > len(data):
            raise ValueError("entry %d runs past the end of the file" % i)
        entries.append((w or 256, h or 256, a, b, data[offset:offset + size]))
    return entries


def check_ico(data, sizes):
    problems = []
    found = set()
    for w, h, _, _, blob in icon_dir(data, 1):
        if blob[:8] == b"\x89PNG\r\n\x1a\n":
            pw, ph, _, _ = png_info(blob)
        else:
            hsize, pw, ph2 = struct.unpack("<Iii", blob[:12])
            ph = ph2 // 2
            if hsize != 40:
                problems.append("%dx%d entry has no BITMAPINFOHEADER" % (w, h))
        if (pw, ph) != (w, h):
            problems.append("directory says %dx%d, image is %dx%d" % (w, h, pw, ph))
        found.add(w)
    if not sizes <= found:
        problems.append("sizes %s missing" % sorted(sizes - found))
    return problems


def check_cur(data):
    (w, h, hx, hy, blob), = icon_dir(data, 2)
    hsize, bw, bh, planes, bits = struct.unpack("<IiiHH", blob[:16])
    problems = []
    if (w, h) != (32, 32) or (bw, bh) != (32, 64):
        problems.append("not 32x32 (masks %dx%d)" % (bw, bh))
    if bits != 1 or hsize != 40:
        problems.append("not a 1-bit bitmap (%d bits)" % bits)
    if len(blob) != 40 + 8 + 2 * 128:
        problems.append("unexpected bitmap size %d" % len(blob))
    if not (hx < 32 and hy < 32):
        problems.append("hotspot %d,%d outside the cursor" % (hx, hy))
    else:
        # the hotspot must be on a visible pixel (AND mask bit clear)
        andmask = blob[48 + 128:]
        row = andmask[(31 - hy) * 4:(31 - hy) * 4 + 4]
        if row[hx // 8] & (0x80 >> (hx % 8)):
            problems.append("hotspot %d,%d is on a transparent pixel" % (hx, hy))
    return problems


def check_wav(data):
    if data[:4] != b"RIFF" or data[8:12] != b"WAVE":
        return ["not a RIFF WAVE file"]
    p, fmt, frames = 12, None, None
    while p + 8 <= len(data):
        cid, size = data[p:p + 4], struct.unpack("<I", data[p + 4:p + 8])[0]
        if cid == b"fmt ":
            fmt = struct.unpack("<HHIIHH", data[p + 8:p + 24])
        elif cid == b"data":
            frames = size
        p += 8 + size + (size & 1)
    if fmt is None or frames is None:
        return ["fmt or data chunk missing"]
    tag, channels, rate, _, _, bits = fmt
    problems = []
    if (tag, channels, rate, bits) != (1, 1, 11025, 8):
        problems.append("want PCM mono 11025 Hz 8-bit, got tag %d, %d ch, %d Hz, %d-bit"
                        % (tag, channels, rate, bits))
    elif not 1.0 <= frames / rate <= 3.0:
        problems.append("length %.2f s" % (frames / rate))
    return problems


def check_bmp(data):
    if data[:2] != b"BM":
        return ["not a BMP"]
    w, h, _, bits = struct.unpack("<iiHH", data[18:30])
    if (w, abs(h), bits) != (128, 128, 24):
        return ["want 128x128 24-bit, got %dx%d %d-bit" % (w, h, bits)]
    return []


def check_scripts(res):
    """Every file the resource scripts name exists; manifests match version.h."""
    problems = []
    for rc in ("OrvoPCLock.rc", "OrvoPCLockTool.rc"):
        text = open(os.path.join(res, rc)).read()
        names = re.findall(r'^[ \t]*\w+[ \t]+\w+[ \t]+"([^"]+)"', text, re.M)
        if not names:
            problems.append("%s: names no files" % rc)
        for name in names:
            if not os.path.isfile(os.path.join(res, name)):
                problems.append("%s: %s not found" % (rc, name))
    ver = open(os.path.join(res, "version.h")).read()
    parts = [re.search(r"#define ORVO_VERSION_%s (\d+)" % k, ver).group(1)
             for k in ("MAJOR", "MINOR", "REVISION")]
    want = ".".join(parts + ["0"])
    for man in ("OrvoPCLock.manifest", "OrvoPCLockTool.manifest"):
        text = open(os.path.join(res, man)).read()
        m = re.search(r'name="OrvoSoft\.[^"]*" version="([^"]+)"', text)
        if not m or m.group(1) != want:
            problems.append("%s: version is not %s" % (man, want))
    return problems


def run(res):
    art = os.path.join(res, "art")

    def read(name):
        with open(os.path.join(art, name), "rb") as f:
            return f.read()

    results = {}
    checks = [("background.jpg",
               lambda d: [] if jpeg_size(d) == (1920, 1440) else ["size %dx%d" % jpeg_size(d)])]
    for name, size in PNG_SIZES.items():
        checks.append((name, lambda d, size=size: [] if png_info(d)[:2] == size and
                       png_info(d)[2:] == (8, 6) else ["want %dx%d RGBA, got %s" % (size + (png_info(d),))]))
    for name, sizes in ICO_SIZES.items():
        checks.append((name, lambda d, sizes=sizes: check_ico(d, sizes)))
    checks += [("hand.cur", check_cur), ("alarm.wav", check_wav), ("about.bmp", check_bmp)]
    for name, check in checks:
        try:
            results[name] = check(read(name))
        except (OSError, ValueError, struct.error) as e:
            results[name] = [str(e)]
    results["resource scripts"] = check_scripts(res)
    return results


def main():
    res = sys.argv[1] if len(sys.argv) > 1 else os.path.dirname(os.path.abspath(__file__))
    results = run(res)
    bad = 0
    for name, problems in results.items():
        for p in problems:
            print("FAIL %s: %s" % (name, p))
        bad += bool(problems)
    print("%d passed, %d failed" % (len(results) - bad, bad))
    return 1 if bad else 0


if __name__ == "__main__":
    sys.exit(main())
