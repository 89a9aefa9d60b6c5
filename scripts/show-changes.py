#!/usr/bin/env python3
"""Shows what a simulated run changed: files added, removed or modified, and
the registry keys and values that differ. Usage: show-changes.py BEFORE AFTER"""
import difflib
import os
import sys


def files(root):
    found = {}
    for dirpath, _dirs, names in os.walk(root):
        for name in names:
            full = os.path.join(dirpath, name)
            rel = os.path.relpath(full, root)
            if rel == "registry.reg":
                continue
            with open(full, "rb") as f:
                found[rel] = f.read()
    return found


def text_lines(data):
    return data.decode("latin-1").replace("\r\n", "\n").split("\n")


def main():
    before_dir, after_dir = sys.argv[1], sys.argv[2]
    before, after = files(before_dir), files(after_dir)
    for rel in sorted(set(before) | set(after)):
        if rel not in after:
            print(f"removed  {rel}")
        elif rel not in before:
            print(f"added    {rel} ({len(after[rel])} bytes)")
        elif before[rel] != after[rel]:
            print(f"changed  {rel}")
            if rel.lower().endswith((".ini", ".inf")):
                for line in difflib.unified_diff(text_lines(before[rel]), text_lines(after[rel]),
                                                 lineterm="", n=0):
                    if not line.startswith(("---", "+++", "@@")):
                        print(f"           {line}")
    reg_before = os.path.join(before_dir, "registry.reg")
    reg_after = os.path.join(after_dir, "registry.reg")
    old = text_lines(open(reg_before, "rb").read()) if os.path.exists(reg_before) else []
    new = text_lines(open(reg_after, "rb").read()) if os.path.exists(reg_after) else []
    diff = [l for l in difflib.unified_diff(old, new, lineterm="", n=0)
            if not l.startswith(("---", "+++", "@@"))]
    if diff:
        print("registry:")
        for line in diff:
            print(f"  {line}")


if __name__ == "__main__":
    main()
