#!/usr/bin/env python3
"""Draws the include graph between the launcher's folders.

The folders stand in layers, each allowed to include only the layers below
it: app, setup, install, purge, platform, res. An include from a lower
folder into a higher one is an upward arrow; folders that reach each other
through includes form a circle, and so do two files (a source and its header
count as one unit) that include each other, directly or not. Prints the arrows with their counts, every
upward include, every circle, and exits 1 when there is any of either.

    tools/include-graph.py [--dot]     (--dot: the graph in Graphviz form)
"""
import os
import re
import sys

LAYERS = ["app", "setup", "install", "purge", "platform", "res"]
ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"')


def folder_of(path):
    top = path.split("/", 1)[0]
    return top if top in LAYERS else None


def resolve(source, name):
    """The project path an include names, or None for a system header."""
    for candidate in (os.path.join(os.path.dirname(source), name), name,
                      os.path.join("res", name)):
        candidate = os.path.normpath(candidate)
        if os.path.isfile(os.path.join(ROOT, candidate)):
            return candidate
    return None


def read_includes():
    edges = []  # (source file, included file)
    for layer in LAYERS:
        for dirpath, _, files in os.walk(os.path.join(ROOT, layer)):
            for f in sorted(files):
                if not f.endswith((".cpp", ".h", ".rc")):
                    continue
                source = os.path.relpath(os.path.join(dirpath, f), ROOT)
                with open(os.path.join(ROOT, source), encoding="utf-8", errors="replace") as fh:
                    for line in fh:
                        m = INCLUDE.match(line)
                        target = m and resolve(source, m.group(1))
                        if target and folder_of(target):
                            edges.append((source, target))
    return edges


def circles(graph, nodes, order):
    """Strongly connected groups of more than one node (Tarjan)."""
    index, low, stack, on, out = {}, {}, [], set(), []

    def visit(v):
        index[v] = low[v] = len(index)
        stack.append(v)
        on.add(v)
        for w in sorted(graph.get(v, ())):
            if w not in index:
                visit(w)
                low[v] = min(low[v], low[w])
            elif w in on:
                low[v] = min(low[v], index[w])
        if low[v] == index[v]:
            group = []
            while True:
                w = stack.pop()
                on.discard(w)
                group.append(w)
                if w == v:
                    break
            if len(group) > 1:
                out.append(sorted(group, key=order))

    for v in nodes:
        if v not in index:
            visit(v)
    return out


def main():
    edges = read_includes()
    arrows, upward, graph = {}, [], {}
    for source, target in edges:
        a, b = folder_of(source), folder_of(target)
        if a == b:
            continue
        arrows[(a, b)] = arrows.get((a, b), 0) + 1
        graph.setdefault(a, set()).add(b)
        if LAYERS.index(a) > LAYERS.index(b):
            upward.append((source, target))
    found = circles(graph, LAYERS, LAYERS.index)
    units = {}
    for source, target in edges:
        a, b = os.path.splitext(source)[0], os.path.splitext(target)[0]
        if a != b:
            units.setdefault(a, set()).add(b)
    found += circles(units, sorted(set(units) | {u for t in units.values() for u in t}), str)
    if "--dot" in sys.argv[1:]:
        print("digraph folders {")
        for (a, b), n in sorted(arrows.items()):
            style = ' color=red' if LAYERS.index(a) > LAYERS.index(b) else ""
            print(f'  "{a}" -> "{b}" [label={n}{style}];')
        print("}")
        return 0
    print("arrows (includes between folders):")
    for (a, b), n in sorted(arrows.items(), key=lambda e: (LAYERS.index(e[0][0]), LAYERS.index(e[0][1]))):
        print(f"  {a} -> {b}: {n}")
    print(f"upward includes: {len(upward)}")
    for source, target in upward:
        print(f"  {source} -> {target}")
    print(f"circles: {len(found)}")
    for group in found:
        print("  " + " <-> ".join(group))
    return 1 if upward or found else 0


if __name__ == "__main__":
    sys.exit(main())
