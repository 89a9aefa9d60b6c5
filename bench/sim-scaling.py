#!/usr/bin/env python3
"""How setupsim's cost grows with the size of the computer.

    bench/sim-scaling.py SETUPSIM WORK_DIR

Makes computers with bench/make-big-machine.py (the earlier release's
traces the same in each), runs `setupsim --args /DRIVER` on a fresh copy of
each under callgrind, and prints the instructions counted (the same on a
busy machine as on an idle one) and the cost exponents
log(cost ratio) / log(size ratio): in registry keys at 100 INF files, and
in INF files at 1,000 keys. Then times plain runs of the largest computer
(processor time, and wall time, which other load stretches).
"""
import math
import os
import re
import resource
import shutil
import subprocess
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))


def machine(work, keys, infs):
    path = os.path.join(work, "m-%d-%d" % (keys, infs))
    if not os.path.isdir(path):
        subprocess.run([sys.executable, os.path.join(HERE, "make-big-machine.py"), "--keys", str(keys),
                        "--infs", str(infs), path], check=True, stderr=subprocess.DEVNULL)
    return path


def fresh_copy(work, src):
    run = os.path.join(work, "run")
    shutil.rmtree(run, ignore_errors=True)
    shutil.copytree(src, run, symlinks=True)
    return run


def instructions(setupsim, work, src):
    run = fresh_copy(work, src)
    out = os.path.join(work, "callgrind.out")
    r = subprocess.run(["valgrind", "--tool=callgrind", "--callgrind-out-file=" + out, setupsim,
                        "--args", "/DRIVER", run], stdout=subprocess.DEVNULL, stderr=subprocess.PIPE,
                       text=True)
    m = re.search(r"Collected : (\d+)", r.stderr)
    if r.returncode != 0 or not m:
        sys.exit("setupsim failed under callgrind on %s:\n%s" % (src, r.stderr[-2000:]))
    return int(m.group(1))


def timed(setupsim, work, src):
    run = fresh_copy(work, src)
    before = resource.getrusage(resource.RUSAGE_CHILDREN)
    start = time.monotonic()
    subprocess.run([setupsim, "--args", "/DRIVER", run], stdout=subprocess.DEVNULL, check=True)
    wall = time.monotonic() - start
    after = resource.getrusage(resource.RUSAGE_CHILDREN)
    cpu = (after.ru_utime - before.ru_utime) + (after.ru_stime - before.ru_stime)
    return cpu, wall


def main():
    setupsim, work = os.path.abspath(sys.argv[1]), sys.argv[2]
    os.makedirs(work, exist_ok=True)
    if shutil.which("valgrind") is None:
        print("setupsim scaling | not measured: valgrind (callgrind) is not installed | ")
        return
    cost = {}
    sizes = [(1000, 100), (10000, 100), (100000, 100), (1000, 2000)]
    for keys, infs in sizes:
        cost[keys, infs] = instructions(setupsim, work, machine(work, keys, infs))
    print("setupsim --args /DRIVER, instructions (callgrind) at 1k / 10k / 100k keys (100 INF files)"
          " and at 2,000 INF files (1k keys) | %s | " % " / ".join("%.3g" % cost[s] for s in sizes))

    def exponent(a, b, na, nb):
        return math.log(cost[b] / cost[a]) / math.log(nb / na)
    print("setupsim cost exponent in registry keys, 1k -> 100k (10k -> 100k) | %.2f (%.2f) | limit 1.2" %
          (exponent((1000, 100), (100000, 100), 1000, 100000),
           exponent((10000, 100), (100000, 100), 10000, 100000)))
    print("setupsim cost exponent in INF files, 100 -> 2,000 | %.2f | limit 1.2" %
          exponent((1000, 100), (1000, 2000), 100, 2000))
    big = machine(work, 100000, 2000)
    runs = sorted(timed(setupsim, work, big) for _ in range(3))
    cpu, wall = runs[1]
    print("setupsim --args /DRIVER on 100k keys and 2,000 INF files (median of 3) |"
          " processor %.2f s, wall %.2f s | limit 3 s" % (cpu, wall))
    shutil.rmtree(os.path.join(work, "run"), ignore_errors=True)


if __name__ == "__main__":
    main()
