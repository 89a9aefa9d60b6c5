#!/usr/bin/env python3
"""Processor time while the launcher waits for a 3 s uninstaller, under Wine,
against the same wait written as a literal poll loop (bench/floor/PollLoop.c)
and against the launcher's run with an uninstaller that ends at once.

    bench/uninstall-wait.py WINE WORK RUNS

WINEPREFIX names a prepared prefix (Windows 95); WORK holds disc/ (the
sample disc with Setup.exe at its root), Uninstaller.exe and PollLoop.exe.
One Wine server serves every run; each run's figure is the program's own
processor time (its rusage) and the server's in the same interval. The three
programs alternate. Prints one table row: FIGURE | OURS | PEER.
"""
import os
import shutil
import statistics
import subprocess
import sys
import time

wine, work, runs = sys.argv[1], sys.argv[2], int(sys.argv[3])
prefix = os.environ["WINEPREFIX"]
key = r"HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Tonivex Applications"
os.makedirs(os.path.join(prefix, "drive_c", "bench"), exist_ok=True)
shutil.copy(os.path.join(work, "Uninstaller.exe"), os.path.join(prefix, "drive_c", "bench", "UNINST.EXE"))
# The package's own setup, started last: ends at once.
shutil.copy(os.path.join(work, "Uninstaller.exe"), os.path.join(work, "disc", "W95-98", "app", "Setup.exe"))
quiet = dict(stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
subprocess.run([wine, "reg", "add", key, "/v", "UninstallString", "/d", r"C:\bench\UNINST.EXE", "/f"],
               check=True, **quiet)
subprocess.run(["wineserver", "-k"], **quiet)
subprocess.run(["wineserver", "-w"], **quiet)
subprocess.Popen(["wineserver", "-p"], **quiet)
time.sleep(1)


def server_pid():
    """The server of this prefix: the process whose working directory is
    the prefix's server directory (named after its device and inode)."""
    st = os.stat(prefix)
    want = "/server-%x-%x" % (st.st_dev, st.st_ino)
    for pid in filter(str.isdigit, os.listdir("/proc")):
        try:
            if os.readlink("/proc/%s/cwd" % pid).endswith(want):
                return pid
        except OSError:
            pass
    return None


def server_cpu(pid):
    fields = open("/proc/%s/stat" % pid).read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")


def run(args, wait_ms):
    """(program s, server s, wall s) of one run."""
    env = dict(os.environ, BENCH_UNINSTALL_MS=str(wait_ms))
    pid = server_pid()
    before = server_cpu(pid)
    start = time.monotonic()
    child = subprocess.Popen([wine] + args, cwd=work, env=env, **quiet)
    _, _, usage = os.wait4(child.pid, 0)
    wall = time.monotonic() - start
    return usage.ru_utime + usage.ru_stime, server_cpu(pid) - before, wall


programs = {
    "ours": ([r"disc\Setup.exe", "/AP"], 3000),
    "poll": (["PollLoop.exe", r"C:\bench\UNINST.EXE -a"], 3000),
    "nowait": ([r"disc\Setup.exe", "/AP"], 0),
}
for args, _ in programs.values():  # warm-up
    run(args, 0)
figures = {name: [] for name in programs}
for _ in range(runs):
    for name, (args, wait_ms) in programs.items():
        figures[name].append(run(args, wait_ms))
subprocess.run(["wineserver", "-k"], **quiet)


def med(name, i):
    return statistics.median(f[i] for f in figures[name])


print("| processor time during a 3 s uninstaller wait (s, median of %d, A/B alternating) | "
      "%.3f + %.3f in the Wine server (wall %.1f s); with an uninstaller that ends at once %.3f + %.3f | "
      "literal poll loop %.3f + %.3f in the Wine server (wall %.1f s) |"
      % (runs, med("ours", 0), med("ours", 1), med("ours", 2), med("nowait", 0), med("nowait", 1),
         med("poll", 0), med("poll", 1), med("poll", 2)))
