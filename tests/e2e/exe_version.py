#!/usr/bin/env python3
"""Prints "major.minor.revision" of a Windows program's fixed file version (0.0.0 without a
version resource), read from the file itself so the end-to-end checks do not trust the
program's own reading of it."""
import struct
import sys

SIGNATURE = struct.pack("<I", 0xFEEF04BD)


def main(path):
    data = open(path, "rb").read()
    # The fixed part follows the block's key "VS_VERSION_INFO" (UTF-16) on a 4-byte boundary;
    # the signature number alone also occurs in code.
    key = "VS_VERSION_INFO\0".encode("utf-16-le")
    start = data.find(key)
    at = data.find(SIGNATURE, start, start + len(key) + 8) if start >= 0 else -1
    if at < 0:
        print("0.0.0")
        return 0
    # VS_FIXEDFILEINFO: signature, struct version, file version MS, file version LS, ...
    ms, ls = struct.unpack_from("<II", data, at + 8)
    print(f"{ms >> 16}.{ms & 0xFFFF}.{ls & 0xFFFF}")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
