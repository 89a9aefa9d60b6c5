#!/usr/bin/env python3
"""Makes a simulated computer shaped like a well-used Windows 98 one.

    bench/make-big-machine.py [--keys N] [--infs M] [--seed S] OUT_DIR

OUT_DIR gets samples/machine-98 (its registry keys and files are the
earlier release's traces, a few dozen of them) with the sample disc as
drive D:, and around those traces a registry of N keys in all and M INF
files in all: class ids, file types, software vendors' trees, device
entries, and INF files under INF and INF\\OTHER, some of them OEMn.INF
files as the driver installer leaves them. Lists that the launcher walks
one by one (PCI devices, sound drivers, ASIO drivers) keep the size they
have on a real computer; the growth is where a well-used computer grows.
The same arguments give the same bytes.
"""
import argparse
import os
import random
import re
import shutil
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
SAMPLE = os.path.join(ROOT, "samples", "machine-98")
DISC = os.path.join(ROOT, "samples", "disc")
HIVE_ORDER = ["HKEY_LOCAL_MACHINE", "HKEY_CURRENT_USER", "HKEY_USERS", "HKEY_CLASSES_ROOT"]


def read_trace_blocks(path):
    """[(key path, [value lines])] of a REGEDIT4 file."""
    blocks = []
    with open(path, encoding="latin-1", newline="") as f:
        for line in f.read().splitlines():
            if line.startswith("["):
                blocks.append((line[1:-1], []))
            elif line.strip() and blocks:
                blocks[-1][1].append(line)
    return blocks


class Tree:
    made = 0  # keys created so far, in all trees

    def __init__(self):
        self.children = {}  # upper-case name -> (name, Tree)
        self.values = []
        self.listed = False

    def add(self, path):
        node = self
        for part in path.split("\\"):
            key = part.upper()
            if key not in node.children:
                node.children[key] = (part, Tree())
                Tree.made += 1
            node = node.children[key][1]
        node.listed = True
        return node


def guid(rng):
    h = "%032X" % rng.getrandbits(128)
    return "{%s-%s-%s-%s-%s}" % (h[:8], h[8:12], h[12:16], h[16:20], h[20:])


def filler_values(rng, n):
    out = []
    kinds = ["str", "str", "dword", "hex"]
    for i in range(rng.randint(0, 3)):
        kind = rng.choice(kinds)
        name = "Value%d" % i if i else "@"
        lhs = "@" if name == "@" else '"%s"' % name
        if kind == "str" or name == "@":
            out.append('%s="Entry %d text %d"' % (lhs, n, rng.randint(0, 99999)))
        elif kind == "dword":
            out.append("%s=dword:%08x" % (lhs, rng.getrandbits(32)))
        else:
            out.append("%s=hex:%s" % (lhs, ",".join("%02x" % rng.getrandbits(8) for _ in range(8))))
    return out


def grow_registry(tree, rng, keys):
    """Adds keys until the tree has `keys` of them, spread as on a computer
    with many programs installed: most below CLSID, file types, software
    vendors and Enum\\Root; a fixed few below the walked lists."""
    hklm = "HKEY_LOCAL_MACHINE"
    # Fixed-size lists, as on a real computer.
    for i in range(24):
        dev = tree.add("%s\\Enum\\PCI\\VEN_%04X&DEV_%04X&SUBSYS_%08X" % (hklm, 0x1000 + i, 0x7000 + i, i))
        inst = dev.add("BUS_00&DEV_%02X&FUNC_00" % (i + 1))
        inst.values = ['"DeviceDesc"="PCI device %d (sample)"' % i, '"Class"="SYSTEM"']
    for i in range(2, 6):
        k = tree.add("%s\\System\\CurrentControlSet\\services\\Class\\MEDIA\\%04d" % (hklm, i))
        k.values = ['"DriverDesc"="Other sound device %d"' % i, '"ProviderName"="Others"']
    n = 0
    areas = [
        (0.45, lambda i: "HKEY_CLASSES_ROOT\\CLSID\\" + guid(rng), ["InprocServer32", "ProgID"]),
        (0.15, lambda i: "HKEY_CLASSES_ROOT\\.x%05d" % i, []),
        (0.10, lambda i: "HKEY_CLASSES_ROOT\\App%05d.Document" % i, ["shell\\open\\command", "DefaultIcon"]),
        (0.15, lambda i: "%s\\Software\\Vendor%03d\\Product%04d" % (hklm, i % 300, i), ["Settings", "Recent"]),
        (0.10, lambda i: "%s\\Enum\\Root\\*PNP%04X\\%04d" % (hklm, i % 500, i), []),
        (0.05, lambda i: "HKEY_USERS\\.DEFAULT\\Software\\Vendor%03d\\Product%04d" % (i % 200, i), ["Prefs"]),
    ]
    weights = [a[0] for a in areas]
    i = 0
    while Tree.made < keys:
        _, make, subs = rng.choices(areas, weights)[0]
        node = tree.add(make(i))
        node.values = filler_values(rng, i)
        for s in subs:
            sub = node.add(s)
            sub.values = filler_values(rng, i)
        i += 1


def write_registry(tree, path):
    lines = ["REGEDIT4", ""]

    def walk(node, prefix):
        for key in sorted(node.children):
            name, child = node.children[key]
            full = prefix + "\\" + name if prefix else name
            if prefix and (child.listed or child.values):
                lines.append("[%s]" % full)
                lines.extend(child.values)
                lines.append("")
            walk(child, full)

    walk(tree, "")
    with open(path, "w", encoding="latin-1", newline="") as f:
        f.write("\r\n".join(lines) + "\r\n")


INF_TEXT = """; {name} - {what}\r
[Version]\r
Signature="$CHICAGO$"\r
Class={cls}\r
Provider=%Maker%\r
\r
[SourceDisksNames]\r
1="{maker} Disc",,0001\r
\r
[Manufacturer]\r
%Maker%=Models\r
\r
[Models]\r
%Dev.DeviceDesc%=Dev.Install,PCI\\VEN_{ven:04X}&DEV_{dev:04X}\r
\r
[Dev.Install]\r
CopyFiles=Dev.Copy\r
\r
[Dev.Copy]\r
DEV{n:04d}.SYS\r
\r
[Strings]\r
Maker="{maker}"\r
Dev.DeviceDesc="{maker} Device {n}"\r
"""


def write_infs(machine, rng, infs):
    inf = os.path.join(machine, "c", "WINDOWS", "INF")
    other = os.path.join(inf, "OTHER")
    existing = sum(len([f for f in os.listdir(d) if f.upper().endswith(".INF")]) for d in (inf, other))
    oem = 10
    for n in range(infs - existing):
        where = rng.random()
        if where < 0.25:
            folder, name = other, "VENDOR%04d.INF" % n
        elif where < 0.45:
            folder, name = inf, "OEM%d.INF" % oem
            oem += 1
        else:
            folder, name = inf, "SYS%05d.INF" % n
        text = INF_TEXT.format(name=name, what="a driver set", cls=rng.choice(["MEDIA", "NET", "DISPLAY", "SYSTEM"]),
                               maker="Maker%03d" % (n % 300), ven=0x2000 + n, dev=n, n=n)
        with open(os.path.join(folder, name), "w", encoding="latin-1", newline="") as f:
            f.write(text)


def main():
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("--keys", type=int, default=100000)
    ap.add_argument("--infs", type=int, default=2000)
    ap.add_argument("--seed", type=int, default=98)
    ap.add_argument("out")
    a = ap.parse_args()
    rng = random.Random(a.seed)
    if os.path.exists(a.out):
        shutil.rmtree(a.out)
    shutil.copytree(SAMPLE, a.out, symlinks=True)
    shutil.rmtree(os.path.join(a.out, "d"), ignore_errors=True)
    shutil.copytree(DISC, os.path.join(a.out, "d"), symlinks=True)

    tree = Tree()
    for path, values in read_trace_blocks(os.path.join(SAMPLE, "registry.reg")):
        node = tree.add(path)
        node.values = values
    traces = Tree.made
    grow_registry(tree, rng, a.keys)
    write_registry(tree, os.path.join(a.out, "registry.reg"))
    write_infs(a.out, rng, a.infs)
    print("%s: %d registry keys (%d of them from the sample), %d INF files" %
          (a.out, Tree.made, traces, a.infs), file=sys.stderr)


if __name__ == "__main__":
    main()
