#!/usr/bin/env python3
"""The planted-fault check: is each single plausible fault in the launcher
caught by the native test suite?

Copies the working tree to build/planted-faults/src (the tree itself is never
changed), builds it once and runs the suite there as it is (it must pass),
then for each fault of scripts/planted-faults.txt in turn: plants it, rebuilds,
runs `ctest -LE wine` until the first failing test, and takes it out again.
A fault counts as caught when a test fails; one that does not build is
reported as such (the list is then wrong, not the tests). Not part of CI:
it takes about a minute or two per fault. Run it at low priority:

  nice -n 19 scripts/planted-faults.py              every fault
  scripts/planted-faults.py --check                 only that each fault applies
  scripts/planted-faults.py --only "rear line-in"   the faults whose name holds that
  scripts/planted-faults.py --commit REV --faults F  another commit's tree and fault list

The Windows 95 check (pecheck) reads the i686 build's format, not what the
program does, so it is left out of these runs.
"""
import argparse
import os
import shutil
import subprocess
import sys
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
FAULTS = os.path.join(ROOT, "scripts", "planted-faults.txt")
WORK = os.path.join(ROOT, "build", "planted-faults")
SRC = os.path.join(WORK, "src")
JOBS = os.environ.get("SETUP_BUILD_JOBS", "2")


def read_faults(path):
    """[(name, file, find, replace)] from the data file."""
    faults, cur, part = [], None, None
    for raw in open(path, encoding="utf-8").read().split("\n"):
        if raw.startswith("#"):
            # The comment just before "file:" names the fault.
            if cur is None or cur["file"]:
                cur = {"file": None, "-": [], "+": []}
                faults.append(cur)
            cur["name"] = raw[1:].strip()
            continue
        if raw.startswith("file: "):
            cur["file"] = raw[6:].strip()
        elif raw.startswith("- ") or raw == "-":
            part = "-"
            cur["-"].append(raw[2:])
        elif raw.startswith("+ ") or raw == "+":
            part = "+"
            cur["+"].append(raw[2:])
        elif raw.strip() == "":
            part = None
        elif part is not None:
            cur[part].append(raw)
    return [(f["name"], f["file"], "\n".join(f["-"]), "\n".join(f["+"])) for f in faults
            if f["file"]]


def sync_tree():
    """Copies tracked and new files to SRC, leaving unchanged ones alone so
    that the build there stays incremental."""
    files = subprocess.run(["git", "ls-files", "-co", "--exclude-standard"], cwd=ROOT,
                           check=True, capture_output=True, text=True).stdout.split("\n")
    wanted = set(f for f in files if f and os.path.isfile(os.path.join(ROOT, f)))
    for rel in wanted:
        src, dst = os.path.join(ROOT, rel), os.path.join(SRC, rel)
        if os.path.exists(dst) and open(src, "rb").read() == open(dst, "rb").read():
            continue
        os.makedirs(os.path.dirname(dst), exist_ok=True)
        shutil.copyfile(src, dst)  # a new time, so that the build sees the change
        shutil.copymode(src, dst)
    for base, dirs, names in os.walk(SRC):
        if os.path.relpath(base, SRC).split(os.sep)[0] == "build":
            dirs[:] = []
            continue
        for n in names:
            rel = os.path.relpath(os.path.join(base, n), SRC)
            if rel not in wanted:
                os.remove(os.path.join(base, n))


def run(cmd, log):
    with open(log, "a") as out:
        out.write("$ " + " ".join(cmd) + "\n")
        out.flush()
        return subprocess.run(cmd, cwd=SRC, stdout=out, stderr=subprocess.STDOUT).returncode


def build(log):
    if not os.path.exists(os.path.join(SRC, "build", "native", "CMakeCache.txt")):
        if run(["cmake", "--preset", "native"], log) != 0:
            return False
    return run(["cmake", "--build", "--preset", "native", "-j" + JOBS], log) == 0


def first_failure(log):
    """The suite until its first failing test: the failing test's name, or None."""
    cmd = ["ctest", "--test-dir", "build/native", "-LE", "wine", "-E", "^pecheck",
           "-j" + JOBS, "--stop-on-failure", "--timeout", "300"]
    if run(cmd, log) == 0:
        return None
    failed = os.path.join(SRC, "build", "native", "Testing", "Temporary", "LastTestsFailed.log")
    names = [l.split(":", 1)[-1].strip() for l in open(failed)] if os.path.exists(failed) else []
    return names[0] if names else "(a test failed)"


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--check", action="store_true", help="only check that every fault applies")
    ap.add_argument("--only", help="only the faults whose name holds this text")
    ap.add_argument("--commit", help="plant in this commit's tree instead of the working tree")
    ap.add_argument("--faults", default=FAULTS, help="the list of faults")
    args = ap.parse_args()
    global SRC, WORK
    if args.commit:
        WORK = os.path.join(ROOT, "build", "planted-faults-" + args.commit[:12])
        SRC = os.path.join(WORK, "src")

    faults = read_faults(args.faults)
    if args.only:
        faults = [f for f in faults if args.only in f[0]]
    bad = 0
    def source(rel):
        if not args.commit:
            return open(os.path.join(ROOT, rel), encoding="utf-8").read()
        return subprocess.run(["git", "show", args.commit + ":" + rel], cwd=ROOT, capture_output=True,
                              text=True).stdout

    for name, rel, find, _ in faults:
        n = source(rel).count(find)
        if n != 1:
            print(f"does not apply ({n} matches): {name} [{rel}]")
            bad += 1
    if bad or args.check:
        print(f"{len(faults) - bad} of {len(faults)} faults apply")
        return 1 if bad else 0

    os.makedirs(WORK, exist_ok=True)
    log = os.path.join(WORK, "log.txt")
    open(log, "w").close()
    if args.commit:
        if not os.path.isdir(SRC):
            os.makedirs(SRC)
            archive = subprocess.run(["git", "archive", args.commit], cwd=ROOT, check=True,
                                     capture_output=True).stdout
            subprocess.run(["tar", "-x", "-C", SRC], input=archive, check=True)
    else:
        sync_tree()
    if not build(log):
        print(f"the unchanged tree does not build (see {log})")
        return 1
    failure = first_failure(log)
    if failure:
        print(f"the unchanged tree fails {failure} (see {log})")
        return 1

    caught = 0
    for i, (name, rel, find, replace) in enumerate(faults, 1):
        path = os.path.join(SRC, rel)
        original = open(path, encoding="utf-8").read()
        t0 = time.time()
        try:
            with open(path, "w", encoding="utf-8") as f:
                f.write(original.replace(find, replace, 1))
            if not build(log):
                verdict = "DOES NOT BUILD"
            else:
                failure = first_failure(log)
                verdict = f"caught by {failure}" if failure else "NOT CAUGHT"
                caught += failure is not None
        finally:
            with open(path, "w", encoding="utf-8") as f:
                f.write(original)
        print(f"{i:2}. {name} [{rel}]: {verdict} ({time.time() - t0:.0f} s)", flush=True)
    build(log)
    print(f"{caught} of {len(faults)} planted faults caught")
    return 0 if caught == len(faults) else 1


if __name__ == "__main__":
    sys.exit(main())
