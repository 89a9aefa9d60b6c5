#!/usr/bin/env python3
"""Checks the includes between the launcher's folders, which stand in layers
(LAYERS), each including only the ones below it. Prints the includes between
folders with their counts, every upward include and a circle between files (a
source and its header counting as one) if there is one, and exits 1 when there
is any of either. A circle between folders needs an upward include."""
import glob
import graphlib
import os
import re
import sys

LAYERS = ["app", "setup", "install", "purge", "platform", "res"]
ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"')


def resolve(source, name):
    """The project path an include names, or None for a system header."""
    for candidate in (os.path.join(os.path.dirname(source), name), name, os.path.join("res", name)):
        candidate = os.path.normpath(candidate)
        if os.path.isfile(os.path.join(ROOT, candidate)):
            return candidate
    return None


def read_includes():
    """(source file, included file) of every include between the layers' files."""
    edges = []
    for layer in LAYERS:
        for source in sorted(glob.glob(layer + "/**/*.*", root_dir=ROOT, recursive=True)):
            if source.endswith((".cpp", ".h", ".rc")):
                with open(os.path.join(ROOT, source), encoding="utf-8", errors="replace") as fh:
                    targets = [resolve(source, m.group(1)) for m in map(INCLUDE.match, fh) if m]
                edges += [(source, t) for t in targets if t and t.split("/")[0] in LAYERS]
    return edges


def circle(graph):
    """Files that include each other in a circle (the first again at the end), or []."""
    try:
        graphlib.TopologicalSorter(graph).prepare()
    except graphlib.CycleError as e:
        return e.args[1]
    return []


def main():
    edges = read_includes()
    arrows, upward, units = {}, [], {}
    for source, target in edges:
        a, b = source.split("/")[0], target.split("/")[0]
        if a != b:
            arrows[(a, b)] = arrows.get((a, b), 0) + 1
        if LAYERS.index(a) > LAYERS.index(b):
            upward.append((source, target))
        a, b = os.path.splitext(source)[0], os.path.splitext(target)[0]
        if a != b:
            units.setdefault(a, set()).add(b)
    found = circle(units)
    print("arrows (includes between folders):")
    for (a, b), n in sorted(arrows.items(), key=lambda e: (LAYERS.index(e[0][0]), LAYERS.index(e[0][1]))):
        print(f"  {a} -> {b}: {n}")
    print(f"upward includes: {len(upward)}")
    for source, target in upward:
        print(f"  {source} -> {target}")
    print("circle: " + (" -> ".join(found) or "none"))
    return 1 if upward or found else 0


if __name__ == "__main__":
    sys.exit(main())
