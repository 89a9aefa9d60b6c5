#!/usr/bin/env python3
"""Writes first seeds for every fuzz target into OUT/NAME/: the project's
samples and the INF file of Debian's Wine package (wine.inf, cut at its
sections into pieces of a few KB), in each target's input form.

    tests/fuzz/make-seeds.py OUT [WINE_INF]
"""
import glob, os, sys

samples = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "samples")
out, wine_inf = sys.argv[1], sys.argv[2] if len(sys.argv) > 2 else "/usr/share/wine/wine.inf"
read = lambda path: open(os.path.join(samples, path), "rb").read()
found = lambda *patterns: sorted(p for pattern in patterns for p in glob.glob(os.path.join(samples, pattern), recursive=True))


def pieces(text, limit=3000):
    """The text cut before section lines into pieces of at most about limit bytes."""
    out = [b""]
    for line in text.splitlines(keepends=True):
        if line.startswith(b"[") and len(out[-1]) > limit:
            out.append(b"")
        out[-1] += line
    return out


infs = [read(p) for p in found("disc/**/*.INF", "disc/**/*.Inf")] + (pieces(read(wine_inf)) if os.path.exists(wine_inf) else [])
inis = [read(p) for p in found("**/*.ini", "**/*.INI")]
registry, setup_ini = read("machine-98/registry.reg"), read("disc/setup.ini")
audio = b"[HKEY_CURRENT_USER\\Software\\Microsoft\\Multimedia\\Audio]\r\n\"SystemFormats\"=dword:00000001\r\n"
seeds = {
    "inf_option_patch": [bytes([bits, chunk]) + inf for inf in infs for bits, chunk in ((0x3f, 0), (0x04, 7))],
    "source_disks_names": [bytes([flag]) + inf for inf in infs for flag in (0, 1)],
    "profile": [b'SourceDisksNames\x001\x00"Disc",,1, C:\\PROGRA~1\\VELTRIX\\W95-98\0' + inf for inf in infs]
               + [b"DISC SPINNER\0UsingCDDA\0" + b"1\0" + ini for ini in inis]
               + [b"rename\0C:\\WINDOWS\\SYSTEM\\QVAUDIO.OLD\0C:\\WINDOWS\\SYSTEM\\QVAUDIO.VXD\0" + ini for ini in inis],
    "format_list": [bytes([t, f]) + s for t in (1, 3) for f in (0, 3) for s in
                    (b"CD Quality,Radio Quality,Telephone Quality", b"Radio Quality, CD Quality\0",
                     b"My CD Mix,CD Quality", b"cd quality", b"x" * 1021 + b",CD")],
    "registry_file": [registry, registry.replace(b"\r\n", b"\n"),
                      b'REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\X]\r\n"b"=hex:01,02,\\\r\n  03\r\n@=dword:0000000a\r\n"e"=hex(2):41,00\r\n'],
    "machine_ini": [read("machine-98/machine.ini"),
                    b'[Machine]\r\nWindows=XP\r\nProgramPath="D:\\DISC 1\\SETUP.EXE"\r\nLanguage=1041\r\nReadOnlyDrives=D, E\r\n'
                    b"[Windows]\r\nTonedock=1\r\n[Programs]\r\nC:\\UNINST.EXE -a=5\r\n"],
    "setupsim_run": [bytes([sel]) + b"\0" + setup_ini + b"\0" + inf + b"\0" + reg for sel, inf, reg in
                     ((0, infs[0], b""), (1, infs[1], audio), (2, infs[-1], b""), (3, infs[2], b""), (9, infs[3], b""))],
    "source_directory": [p + b"\0" + c for p, c in ((b"D:\\SETUP.EXE", b"C:\\WINDOWS"), (b"\\DISC\\SETUP.EXE", b"C:\\WINDOWS"),
                                                     (b"DISC\\SETUP.EXE", b"C:\\WINDOWS"), (b"SETUP.EXE", b"D:\\"),
                                                     (b"\\\\SERVER\\SHARE\\SETUP.EXE", b"C:\\"))],
}
for name, items in seeds.items():
    os.makedirs(os.path.join(out, name), exist_ok=True)
    for i, data in enumerate(items):
        with open(os.path.join(out, name, "seed-%03d" % i), "wb") as f:
            f.write(data)
