#!/usr/bin/env python3
"""tests/fuzz/fuzz.py NAME RUNS [-- LIBFUZZER-OPTIONS...]

Runs fuzz_NAME (preset fuzz) at the lowest priority from corpus/NAME (and
build/fuzz-work/seeds/NAME), logging to build/fuzz-work/NAME.log; then keeps
in corpus/NAME the few inputs (at most 40) that reach the most features for
their size."""
import os
import re
import shutil
import subprocess
import sys
import tempfile

here = os.path.dirname(os.path.abspath(__file__))
root = os.path.dirname(os.path.dirname(here))
name, runs = sys.argv[1], int(sys.argv[2])
extra = sys.argv[sys.argv.index("--") + 1:] if "--" in sys.argv else []
work = os.path.join(root, "build", "fuzz-work")
seeds, found = (os.path.join(work, d, name) for d in ("seeds", "run"))
corpus, log = os.path.join(here, "corpus", name), os.path.join(work, name + ".log")
for d in (found, corpus, seeds):
    os.makedirs(d, exist_ok=True)
# Small inputs reach all that the targets read. No allocation stacks and a
# smaller quarantine: half the time a run took went to them.
env = dict(os.environ, ASAN_OPTIONS="malloc_context_size=0:quarantine_size_mb=32:"
           + os.environ.get("ASAN_OPTIONS", ""))
fuzz = ["nice", "-n", "19", os.path.join(root, "build", "fuzz", "tests", "fuzz", "fuzz_" + name),
        "-max_len=1024", "-timeout=60"]
with open(log, "w") as f:
    rc = subprocess.call(fuzz + ["-runs=%d" % runs, "-print_final_stats=1"] + extra + [found, seeds, corpus],
                         stdout=f, stderr=subprocess.STDOUT, cwd=work, env=env)
stat = [(re.findall(r"stat::%s: +(\d+)" % s, open(log, errors="replace").read()) or ["?"])[-1]
        for s in ("number_of_executed_units", "average_exec_per_sec")]
print("%s: exit %d, %s executions at %s/s, log %s" % (name, rc, stat[0], stat[1], log))
if rc != 0:
    sys.exit(rc)

# Merge, with a control file that tells each input's features (a fresh one:
# one left by an earlier merge would be taken for one to resume).
with tempfile.TemporaryDirectory(dir=work) as tmp:
    control, merged = os.path.join(tmp, "control"), os.path.join(tmp, "merged")
    os.makedirs(merged)
    subprocess.check_call(fuzz + ["-merge=1", "-merge_control_file=" + control, merged, corpus, found, seeds],
                          stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, cwd=work, env=env)
    lines = open(control, errors="replace").read().splitlines()
files = lines[2:2 + int(lines[0])]
features = {files[int(p[1])]: set(p[2:]) for p in map(str.split, lines[2 + len(files):]) if p and p[0] == "FT"}
total = len(set().union(*features.values()))

# A greedy cover: the input adding the most features not yet reached for
# its size.
chosen, reached = [], set()
while len(chosen) < 40 and features:
    best = max(features, key=lambda p: len(features[p] - reached) / (os.path.getsize(p) + 256))
    if not features[best] - reached:
        break
    chosen.append(open(best, "rb").read())
    reached |= features.pop(best)
shutil.rmtree(corpus)
os.makedirs(corpus)
for i, data in enumerate(chosen):
    open(os.path.join(corpus, "%s-%02d" % (name, i)), "wb").write(data)
print("%s: kept %d inputs reaching %d of %d features" % (name, len(chosen), len(reached), total))
