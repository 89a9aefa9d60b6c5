#!/usr/bin/env python3
"""Prints how large the tests are against the code, in non-blank lines.

Tests: every source file under tests/ and the data written for it (*.reg,
*.txt), scenario files (*.scn, *.base) anywhere, and the programs outside
tests/ that the test command runs and nothing else uses (RUN_BY_TESTS). Code:
the other sources of the launcher, tools/, scripts/, cmake/, bench/, the build
files and the top-level commands. The scripts run by hand about the tests
(HAND_CHECKS: the planted-fault check and its list, the proof table, this
count) are scripts, counted as code; a second line gives the ratio with them
counted as tests.
Documentation, images, fuzz inputs and the reference lists of
tools/pecheck/data/ count as neither.

  scripts/test-ratio.py           totals and the ratio
  scripts/test-ratio.py --list    every counted file with its lines
"""
import os
import subprocess
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
SOURCE_ENDINGS = (".cpp", ".h", ".c", ".rc", ".py", ".sh", ".cmake", ".scn", ".base", ".ld",
                  ".ld.in", ".cmake.in", ".h.in")
CODE_DIRS = ("app/", "setup/", "purge/", "install/", "platform/", "res/", "tools/", "scripts/",
             "cmake/", "docs/", "bench/")
CODE_FILES = {"CMakeLists.txt", "CMakePresets.json", "run.sh", "test.sh", ".ci/run", "bench/run"}
RUN_BY_TESTS = ("tools/pecheck/pecheck.py", "tools/include-graph.py")
HAND_CHECKS = ("scripts/planted-faults.py", "scripts/planted-faults.txt", "scripts/make-proof.py",
               "scripts/test-ratio.py")


def category(path):
    name = os.path.basename(path)
    if path.startswith("tools/pecheck/data/"):
        return None
    if path in HAND_CHECKS:
        return "check"
    if path in RUN_BY_TESTS or path.startswith("tests/") and name.endswith((".reg", ".txt")):
        return "tests"
    if not (name.endswith(SOURCE_ENDINGS) or name == "CMakeLists.txt" or path in CODE_FILES):
        return None
    if path.startswith("tests/") or name.endswith((".scn", ".base")):
        return "tests"
    return "code" if path in CODE_FILES or path.startswith(CODE_DIRS) else None


def non_blank_lines(path):
    with open(os.path.join(ROOT, path), "rb") as f:
        data = f.read()
    return 0 if b"\0" in data else sum(1 for line in data.splitlines() if line.strip())


def main():
    files = subprocess.run(["git", "ls-files", "--cached", "--others", "--exclude-standard"],
                           cwd=ROOT, check=True, capture_output=True, text=True).stdout.split("\n")
    rows = [(kind, non_blank_lines(path), path) for path in sorted(set(files))
            if (kind := category(path)) and os.path.isfile(os.path.join(ROOT, path))]
    totals = {kind: sum(n for k, n, _ in rows if k == kind) for kind in ("tests", "code", "check")}
    if "--list" in sys.argv[1:]:
        for kind, n, path in rows:
            print(f"{kind:5} {n:6} {path}")
    tests, code, check = totals["tests"], totals["code"], totals["check"]
    print(f"tests {tests} lines, code {code + check} lines, ratio {tests / (code + check):.3f}")
    print(f"with the scripts run by hand about the tests ({check} lines) as tests: ratio {(tests + check) / code:.3f}")


if __name__ == "__main__":
    main()
