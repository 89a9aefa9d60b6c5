#!/usr/bin/env python3
"""Prints how large the tests are against the code, in non-blank lines.

Tests: every source file under tests/ (unit tests, scenario files, their
base machines and their runner, the Wine runs, fuzz targets, sweeps, the Windows 95 check's runs) and any
scenario file (*.scn) elsewhere, and the programs that exist only to check or to measure the tests
wherever they live (TEST_ONLY: the Windows 95 check, the include check, the planted-fault check and
its fault list, the proof table, this count). Code: the launcher (app/ setup/ purge/
install/ platform/ res/), tools/ (the simulator, setupsim, the Wine runner
and its stand-ins), scripts/, bench/, the build files and the top-level
commands.
Data written for the tests (*.reg, *.txt under tests/) counts as tests.
Documentation (*.md), images, fuzz inputs and the measured reference lists
of tools/pecheck/data/ count as neither.

  scripts/test-ratio.py           totals and the ratio
  scripts/test-ratio.py --list    every counted file with its lines
"""
import os
import subprocess
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
SOURCE_EXTENSIONS = {".cpp", ".h", ".c", ".rc", ".py", ".sh", ".cmake", ".scn", ".base", ".ld", ".in"}
CODE_DIRS = ("app/", "setup/", "purge/", "install/", "platform/", "res/", "tools/", "scripts/",
             "cmake/", "docs/", "bench/")
CODE_FILES = {"CMakeLists.txt", "CMakePresets.json", "run.sh", "test.sh", ".ci/run", "bench/run"}
NOT_COUNTED_DIRS = ("tools/pecheck/data/",)
TEST_ONLY = ("tools/pecheck/pecheck.py", "tools/include-graph.py", "scripts/planted-faults.py",
             "scripts/planted-faults.txt", "scripts/make-proof.py", "scripts/test-ratio.py")


def is_source(path):
    name = os.path.basename(path)
    # Registry files and data lists written for the tests (scenario bases,
    # the hostile computers, the allowed changes) are test lines.
    if path.startswith("tests/") and name.endswith((".reg", ".txt")):
        return True
    ext = os.path.splitext(name)[1]
    if name == "CMakeLists.txt" or path in CODE_FILES:
        return True
    if ext == ".in":
        return name.endswith((".ld.in", ".cmake.in", ".h.in"))
    return ext in SOURCE_EXTENSIONS


def category(path):
    if not (is_source(path) or path in TEST_ONLY) or path.startswith(NOT_COUNTED_DIRS):
        return None
    if path.startswith("tests/") or path.endswith((".scn", ".base")) or path in TEST_ONLY:
        return "tests"
    if path in CODE_FILES or path.startswith(CODE_DIRS):
        return "code"
    return None


def non_blank_lines(path):
    with open(os.path.join(ROOT, path), "rb") as f:
        data = f.read()
    if b"\0" in data:
        return 0
    return sum(1 for line in data.splitlines() if line.strip())


def main():
    files = subprocess.run(["git", "ls-files", "--cached", "--others", "--exclude-standard"],
                           cwd=ROOT, check=True, capture_output=True, text=True).stdout.split("\n")
    totals = {"tests": 0, "code": 0}
    rows = []
    for path in sorted(set(f for f in files if f)):
        kind = category(path)
        if kind is None or not os.path.isfile(os.path.join(ROOT, path)):
            continue
        n = non_blank_lines(path)
        totals[kind] += n
        rows.append((kind, n, path))
    if "--list" in sys.argv[1:]:
        for kind, n, path in rows:
            print(f"{kind:5} {n:6} {path}")
    ratio = totals["tests"] / totals["code"] if totals["code"] else 0.0
    print(f"tests {totals['tests']} lines, code {totals['code']} lines, ratio {ratio:.2f}")


if __name__ == "__main__":
    main()
