#!/usr/bin/env python3
"""Fuzzes one target of the fuzz build and keeps a small corpus of it.

    tests/fuzz/fuzz.py NAME RUNS [-- LIBFUZZER-OPTIONS...]

Runs build/fuzz/tests/fuzz/fuzz_NAME (preset fuzz) at the lowest priority
for RUNS executions from the seeds (make-seeds.py, in build/fuzz-work/seeds)
and corpus/NAME, logging to build/fuzz-work/NAME.log; then merges what it
found and keeps in corpus/NAME the few inputs (at most KEEP) that together
reach the most of the features the merge saw, for their size. Prints the executions done.
"""
import os
import re
import shutil
import subprocess
import sys

KEEP = 40
here = os.path.dirname(os.path.abspath(__file__))
root = os.path.abspath(os.path.join(here, "..", ".."))
name, runs = sys.argv[1], int(sys.argv[2])
extra = sys.argv[sys.argv.index("--") + 1:] if "--" in sys.argv else []
binary = os.path.join(root, "build", "fuzz", "tests", "fuzz", "fuzz_" + name)
work = os.path.join(root, "build", "fuzz-work")
seeds = os.path.join(work, "seeds", name)
found = os.path.join(work, "run", name)
corpus = os.path.join(here, "corpus", name)
for d in (found, corpus):
    os.makedirs(d, exist_ok=True)
if not os.path.isdir(seeds):
    subprocess.check_call([os.path.join(here, "make-seeds.py"), os.path.join(work, "seeds")])

log = os.path.join(work, name + ".log")
with open(log, "w") as f:
    rc = subprocess.call(["nice", "-n", "19", binary, "-runs=%d" % runs, "-print_final_stats=1"]
                         + extra + [found, seeds, corpus], stdout=f, stderr=subprocess.STDOUT, cwd=work)
text = open(log, errors="replace").read()
done = re.findall(r"stat::number_of_executed_units: (\d+)", text)
print("%s: exit %d, %s executions, log %s" % (name, rc, done[-1] if done else "?", log))
if rc != 0:
    sys.exit(rc)

# Merge, with a control file that tells each input's features.
merged = os.path.join(work, "merged", name)
shutil.rmtree(merged, ignore_errors=True)
os.makedirs(merged)
control = os.path.join(work, name + ".merge")
subprocess.check_call(["nice", "-n", "19", binary, "-merge=1", "-merge_control_file=" + control,
                       merged, corpus, found, seeds], stdout=subprocess.DEVNULL,
                      stderr=subprocess.DEVNULL, cwd=work)
lines = open(control, errors="replace").read().splitlines()
files = lines[2:2 + int(lines[0])]
features = {}
for line in lines[2 + int(lines[0]):]:
    parts = line.split()
    if parts and parts[0] == "FT":
        features[files[int(parts[1])]] = set(parts[2:])
# Greedy cover: the input adding the most features not yet reached for its
# size, so that the corpus stays small.
chosen, reached = [], set()
while len(chosen) < KEEP:
    best = max(features, key=lambda p: len(features[p] - reached) / (os.path.getsize(p) + 256), default=None)
    if best is None or not features[best] - reached:
        break
    chosen.append(best)
    reached |= features.pop(best)
data = [open(p, "rb").read() for p in chosen]
shutil.rmtree(corpus)
os.makedirs(corpus)
for i, d in enumerate(data):
    with open(os.path.join(corpus, "%s-%02d" % (name, i)), "wb") as f:
        f.write(d)
total = len(reached | set().union(*features.values())) if features else len(reached)
print("%s: kept %d inputs reaching %d of %d features" % (name, len(chosen), len(reached), total))
