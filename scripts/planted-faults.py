#!/usr/bin/env python3
"""Plants each fault of scripts/planted-faults.txt, one at a time, in a copy of
the tree (build/planted-faults/src; the tree itself is never changed) and tells
which test of `ctest -LE wine` fails first, if any. The copy must build and pass
as it is; a fault that does not build means the list is wrong, not the tests.
The Windows 95 check reads the i686 build's format, not what the program does,
so it is left out. About a minute or two per fault, not part of CI:

  nice -n 19 scripts/planted-faults.py              every fault
  scripts/planted-faults.py --check                 only that each fault applies
  scripts/planted-faults.py --only "rear line-in"   the faults whose name holds that
"""
import argparse
import filecmp
import glob
import os
import pathlib
import re
import shutil
import subprocess
import sys
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
JOBS = "-j" + os.environ.get("SETUP_BUILD_JOBS", "2")


def read_faults():
    """[(name, file, find, replace)]: see the head of the fault list; the file is the launcher's source that holds
    the text, None where not exactly one place in the launcher does."""
    sources = {os.path.relpath(f, ROOT): open(f, encoding="utf-8").read()
               for d in ("app", "setup", "purge", "install", "platform")
               for f in glob.glob(f"{ROOT}/{d}/**/*.*", recursive=True)}
    faults = []
    for block in open(os.path.join(ROOT, "scripts", "planted-faults.txt"), encoding="utf-8").read().split("\n\n"):
        if all(line.startswith("#") for line in block.strip("\n").split("\n")):
            continue  # the list's own comment
        head, _, text = block.strip("\n").partition("\n")
        m = re.search(r"\[\[(.*?) => (.*?)\]\]", text, re.S)
        if not m:
            sys.exit(f"no [[OLD => NEW]] in the fault {head}")
        before, after = text[:m.start()], text[m.end():]
        find = before + m.group(1) + after
        places = [f for f, source in sources.items() for _ in range(source.count(find))]
        faults.append((head[1:].strip(), places[0] if len(places) == 1 else None, find, before + m.group(2) + after))
    return faults


def sync_tree(src_dir):
    """Copies tracked and new files to src_dir, leaving unchanged ones alone so
    that the build there stays incremental, and removes the rest (build/ aside)."""
    files = subprocess.run(["git", "ls-files", "-co", "--exclude-standard"], cwd=ROOT, check=True,
                           capture_output=True, text=True).stdout.split("\n")
    wanted = {f for f in files if f and os.path.isfile(os.path.join(ROOT, f))}
    for rel in wanted:
        src, dst = os.path.join(ROOT, rel), os.path.join(src_dir, rel)
        if not os.path.exists(dst) or not filecmp.cmp(src, dst, shallow=False):
            os.makedirs(os.path.dirname(dst), exist_ok=True)
            shutil.copyfile(src, dst)  # a new time, so that the build sees the change
            shutil.copymode(src, dst)
    for base, dirs, names in os.walk(src_dir):
        if base == src_dir and "build" in dirs:
            dirs.remove("build")
        for n in names:
            if os.path.relpath(os.path.join(base, n), src_dir) not in wanted:
                os.remove(os.path.join(base, n))


def main():
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("--check", action="store_true")
    ap.add_argument("--only")
    args = ap.parse_args()
    work = os.path.join(ROOT, "build", "planted-faults")
    src_dir, log = os.path.join(work, "src"), os.path.join(work, "log.txt")

    faults = [f for f in read_faults() if not args.only or args.only in f[0]]
    bad = [name for name, rel, _, _ in faults if rel is None]
    for name in bad:
        print(f"does not apply (its text is not in the launcher exactly once): {name}")
    if bad or args.check or not faults:
        print(f"{len(faults) - len(bad)} of {len(faults)} faults apply")
        return 1 if bad or not faults else 0

    def run(cmd):
        with open(log, "a") as out:
            out.write("$ " + " ".join(cmd) + "\n")
            out.flush()
            return subprocess.run(cmd, cwd=src_dir, stdout=out, stderr=subprocess.STDOUT).returncode

    def build():
        configured = os.path.exists(os.path.join(src_dir, "build", "native", "CMakeCache.txt"))
        return (configured or run(["cmake", "--preset", "native"]) == 0) and \
            run(["cmake", "--build", "--preset", "native", JOBS]) == 0

    def first_failure():
        """The suite until its first failing test: the failing test's name, or None."""
        if run(["ctest", "--test-dir", "build/native", "-LE", "wine", "-E", "^pecheck", JOBS,
                "--stop-on-failure", "--timeout", "300"]) == 0:
            return None
        failed = os.path.join(src_dir, "build", "native", "Testing", "Temporary", "LastTestsFailed.log")
        names = [l.split(":", 1)[-1].strip() for l in open(failed)] if os.path.exists(failed) else []
        return names[0] if names else "(a test failed)"

    os.makedirs(work, exist_ok=True)
    open(log, "w").close()
    sync_tree(src_dir)
    if not build():
        print(f"the unchanged tree does not build (see {log})")
        return 1
    failure = first_failure()
    if failure:
        print(f"the unchanged tree fails {failure} (see {log})")
        return 1

    caught = 0
    for i, (name, rel, find, replace) in enumerate(faults, 1):
        path = pathlib.Path(src_dir, rel)
        original = path.read_text(encoding="utf-8")
        t0 = time.time()
        try:
            path.write_text(original.replace(find, replace, 1), encoding="utf-8")
            if not build():
                verdict = "DOES NOT BUILD"
            else:
                failure = first_failure()
                verdict = f"caught by {failure}" if failure else "NOT CAUGHT"
                caught += failure is not None
        finally:
            path.write_text(original, encoding="utf-8")
        print(f"{i:2}. {name} [{rel}]: {verdict} ({time.time() - t0:.0f} s)", flush=True)
    build()
    print(f"{caught} of {len(faults)} planted faults caught")
    return 0 if caught == len(faults) else 1


if __name__ == "__main__":
    sys.exit(main())
