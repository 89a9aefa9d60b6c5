#!/usr/bin/env python3
"""The hostile-computer sweep: each trait of hostile-computers.txt (which tells its notation) crossed with the
variants, each computer built from the sample in a new folder in /dev/shm (or the temporary folder), then run by
hostile_check in a process of its own. A computer fails when the run crashes, hangs (no answer within the deadline)
or changes anything outside the allowed sets (allowed-changes.txt) of its path; failed computers stay, one that
cannot be built ends the sweep. Prints each failure and "N passed, M failed".

  sweep.py HOSTILE_CHECK [NAME-SUBSTRING]
"""
import os
import random
import re
import shutil
import subprocess
import sys
import tempfile
from types import SimpleNamespace

HERE = os.path.dirname(os.path.abspath(__file__))
SAMPLES = os.path.join(os.path.dirname(os.path.dirname(HERE)), "samples")
sys.path.insert(0, os.path.join(os.path.dirname(HERE), "scenarios"))
from scenario import _apply, _blocks, build_machine  # noqa: E402

DEADLINE_SECONDS, MIN_COMPUTERS = 60, 200
BREAKS = {"crlf": "\r\n", "lf": "\n", "cr": "\r"}


def read_recipes():
    """The variants and traits in order, each with its machine lines, setupsim's options and Windows version."""
    recipes = []
    for head, body in _blocks(os.path.join(HERE, "hostile-computers.txt")):
        kind, _, rest = head.partition(": ")
        if kind in ("variant", "trait"):
            recipes.append(SimpleNamespace(kind=kind, name=rest.split()[0], rotate=rest.endswith(" rotate"),
                                           path="hostile-computers.txt", machine=[], args=[], versions=[]))
        else:
            _apply(recipes[-1], head, body, {})
    return recipes


def fill(match, seed):
    """What \\<random N>, \\<crlf FILE>, \\<lf FILE> or \\<cr FILE> in a file's text stands for."""
    if match[1] == "random":
        return random.Random(seed).randbytes(int(match[2])).decode("latin-1")
    return open(os.path.join(SAMPLES, match[2]), "rb").read().decode("latin-1").replace("\r\n", BREAKS[match[1]])


def filled(lines, seed):
    return [(verb, path, re.sub(r"\\<(\w+) ([^>]*)>", lambda m: fill(m, seed), data) if verb == "file" else data)
            for verb, path, data in lines]


def check(checker, variant, trait, machine, seed):
    """Builds the computer and runs hostile_check on it: the failure's lines, none when all was well."""
    build_machine(SimpleNamespace(base="sample", machine=filled(variant.machine + trait.machine, seed)), machine)
    args = [a for r in (variant, trait) for a in (["--windows", r.versions[0]] if r.versions else []) + r.args]
    try:
        p = subprocess.run([checker, os.path.join(HERE, "allowed-changes.txt")] + args + [machine],
                           capture_output=True, timeout=DEADLINE_SECONDS)
    except subprocess.TimeoutExpired:
        return ["hang: no answer within the deadline"]
    out = (p.stdout + p.stderr).decode("latin-1").splitlines()
    if p.returncode == 2:  # the rule or the sweep's own options: no computer can be checked
        sys.exit("hostile_check: " + out[0])
    if p.returncode not in (0, 3):  # 3: faults found; a negative status is the signal that ended it
        out.insert(0, f"crash: exit status {p.returncode}")
    return out if p.returncode else []


def main():
    if len(sys.argv) not in (2, 3):
        print(__doc__)
        return 2
    only = sys.argv[2] if len(sys.argv) > 2 else ""
    recipes = read_recipes()
    variants = [r for r in recipes if r.kind == "variant"]
    rotating = [v for v in variants if v.rotate]
    scratch = tempfile.mkdtemp(prefix="hostile-sweep-", dir="/dev/shm" if os.path.isdir("/dev/shm") else None)
    computers = passed = 0
    # Each trait meets every variant, and two of the rotating ones in turn.
    for t, trait in enumerate(r for r in recipes if r.kind == "trait"):
        for v, variant in enumerate(variants):
            name, machine = f"{trait.name} / {variant.name}", os.path.join(scratch, f"{trait.name}.{variant.name}")
            if variant.rotate and (rotating.index(variant) - 2 * t) % len(rotating) >= 2 or only not in name:
                continue
            computers += 1
            failure = check(sys.argv[1], variant, trait, machine, t * len(variants) + v)
            if failure:
                print("\n".join([f"FAILED {name} ({machine})"] + failure), flush=True)
            else:
                passed += 1
                subprocess.run(["chmod", "-R", "u+w", machine])  # read-only lines took the write permission
                shutil.rmtree(machine)
    print(f"{passed} passed, {computers - passed} failed")
    if passed == computers:
        os.rmdir(scratch)
    if not only and computers < MIN_COMPUTERS:
        print(f"fewer than {MIN_COMPUTERS} computers")
        return 1
    return 0 if passed == computers else 1


if __name__ == "__main__":
    sys.exit(main())
