#!/usr/bin/env python3
"""Writes the seed corpus of the fuzz targets into tests/fuzz/corpus/<target>/: a few valid and
broken settings files for ConfigLoaderFuzz, scripted lock-screen sessions for PatternCheckFuzz
(a right pattern, wrong ones counted towards the alert, typed letters, a damaged record), and
registry and Userinit texts for TextFuzz. The files are committed; run this after changing an
input layout (described below with each writer).
"""
import os
import struct
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "e2e"))
import make_config  # noqa: E402  the settings-file writer of the end-to-end scenarios

CORPUS = os.path.join(HERE, "corpus")
PROGRAM = r"C:\Program Files\Orvo PC Lock\OrvoPCLock.exe"


def write(target, name, data):
    folder = os.path.join(CORPUS, target)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), "wb") as out:
        out.write(data)


def settings_file(*args):
    with tempfile.TemporaryDirectory() as tmp:
        path = os.path.join(tmp, "OrvoPLS.cfg")
        make_config.main([path, *args])
        with open(path, "rb") as f:
            return f.read()


def config_loader_seeds():
    """ConfigLoaderFuzz: the file's bytes as they are."""
    valid = settings_file("--grid", "0", "--pattern", "1,2,3,5,7,8,9", "--effect", "1",
                          "--alert-times", "3", "--alert-mode", "1", "--auto-hide", "60")
    write("ConfigLoaderFuzz", "valid-3x3", valid)
    write("ConfigLoaderFuzz", "valid-5x5-letters", settings_file(
        "--grid", "2", "--pattern", "1,7,13,19,25,20,15,10,5", "--unlock-mode", "2",
        "--background", r"C:\Pictures\sea.jpg", "--lock-keyboard", "1", "--transparent", "1"))
    write("ConfigLoaderFuzz", "grid-5-good-mark", b"\x05" + valid[1:])
    write("ConfigLoaderFuzz", "wrong-mark", settings_file("--file-mark", "20000"))
    write("ConfigLoaderFuzz", "cut-567", valid[:567])
    write("ConfigLoaderFuzz", "cut-568", valid[:568])
    write("ConfigLoaderFuzz", "longer-570", valid + b"\xEE")
    write("ConfigLoaderFuzz", "one-byte", b"\x01")


# PatternCheckFuzz layout, little-endian, read from the front:
#   Grid u8, UnlockMode u8, screen width u16, height u16, AlertTimes i8, AlertMode i8,
#   count u8 then `count` pattern entries 0.. (each i8, or -128 followed by an i32),
#   per point two random draws (u8 flag, then 4 bytes of a [0, 1) fraction; flag 0xFF: 8 bytes
#   of a double), then the script: 0 press / 1 move + position, 2 release, 3 key + code,
#   4 Backspace, 5 Enter. Position: 0 = point index u8 (0-based) and offsets i8 i8 from its hit
#   square's corner; 1 = x, y as i16; 2 = x, y as doubles.
def session(grid, mode, pattern, width=1366, height=768, alert_times=0, alert_mode=0, draws=None):
    side = grid + 3
    data = struct.pack("<BBHHbbB", grid, mode, width, height, alert_times, alert_mode, len(pattern) + 1)
    data += struct.pack("<b", 0)  # entry 0 is never used
    for point in pattern:
        data += struct.pack("<b", point) if -128 < point < 128 else struct.pack("<bi", -128, point)
    # All draws 0 give the letters in order: point k shows chr(64 + k).
    for draw in (draws or [0.0] * (2 * side * side)):
        data += struct.pack("<BI", 0, int(draw * 4294967296.0))
    return data


def drag(points):
    script = b""
    for i, point in enumerate(points):
        script += struct.pack("<BBBbb", 0 if i == 0 else 1, 0, point - 1, 17, 17)
    return script + b"\x02"


def pattern_check_seeds():
    z3 = [1, 2, 3, 5, 7, 8, 9]
    write("PatternCheckFuzz", "3x3-right-pattern", session(0, 0, z3) + drag(z3))
    wrong = drag([1, 12]) * 3 + drag([11, 2])
    write("PatternCheckFuzz", "4x4-wrong-three-times", session(1, 1, [11, 2], alert_times=3, alert_mode=1) + wrong)
    letters = [1, 7, 13, 19, 25, 20, 15, 10, 5]
    typed = b"".join(struct.pack("<BB", 3, 64 + p) for p in letters)
    write("PatternCheckFuzz", "5x5-typed-letters", session(2, 2, letters) + typed + b"\x05" + b"\x03\x41\x04\x04\x05")
    damaged = session(7, 3, [-5, 99, 0x7FFFFFFF, 2, 2], width=0, height=0,
                      draws=[0.999999, 0.5] * 9)
    nan = struct.pack("<d", float("nan"))
    write("PatternCheckFuzz", "damaged-record", damaged + b"\x00\x02" + nan + nan + drag([2, 1]) +
          struct.pack("<BBhh", 1, 1, -32768, 32767))


def text_seed(raw, path, tail, text):
    """TextFuzz: a double's 8 bytes, path and tail each as a length byte and bytes, the text."""
    encoded = [s.encode("cp1252") for s in (path, tail, text)]
    return struct.pack("<dB", raw, len(encoded[0])) + encoded[0] + bytes([len(encoded[1])]) + encoded[1] + encoded[2]


def text_seeds():
    write("TextFuzz", "userinit", text_seed(2.5, PROGRAM, r",C:\Tools\Helper App.exe  /q",
                                            r"C:\windows\system32\userinit.exe,"))
    # The text before our marker and the tail after it join into a second marker once it is cut.
    marker = "," + PROGRAM + " /StartupLock"
    write("TextFuzz", "userinit-joined-marker", text_seed(0.0, PROGRAM, marker[20:],
                                                          r"C:\windows\system32\userinit.exe," + marker[:20]))
    write("TextFuzz", "registry-path", text_seed(-0.5, "", "", r"HKEY_CURRENT_USER\SOFTWARE\Orvo PC Lock\System"))
    write("TextFuzz", "number", text_seed(1e300, PROGRAM, "", "  -12.5e3 apples"))
    write("TextFuzz", "fixed-text", text_seed(3.5, " ", " ", "Do not touch my computer!   \0junk"))


def main():
    config_loader_seeds()
    pattern_check_seeds()
    text_seeds()
    return 0


if __name__ == "__main__":
    sys.exit(main())
