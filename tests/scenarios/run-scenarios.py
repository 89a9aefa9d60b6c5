#!/usr/bin/env python3
"""Runs scenarios (tests/scenarios/*.scn) through setupsim and checks what they
expect; with --wine, runs each also through `setupsim --wine` and compares
what Wine lets a program observe.

  run-scenarios.py --setupsim build/native/setupsim FILE [NAME]
  run-scenarios.py --setupsim ... --wine [--arch i686] FILE [NAME]
  run-scenarios.py --setupsim ... --update FILE [NAME]   write what setupsim gives as expected

Exit status 0 when everything agrees. With --results DIR, one line per
scenario and version goes to DIR (for docs/proof.md).
"""
import argparse
import difflib
import json
import os
import re
import shutil
import subprocess
import sys
import tempfile

import scenario as scn
from wine_differences import comparable, line_form


def run_setupsim(setupsim, s, version, machine, wine=None, restart=False):
    cmd = [setupsim, "--changes"] + scn.setupsim_args(s, version)
    if wine:
        cmd.append("--wine" if wine == "x64" else "--wine=" + wine)
        if restart:
            cmd.append("--wine-restart")
    cmd.append(machine)
    p = subprocess.run(cmd, capture_output=True, timeout=900)
    out = p.stdout.decode("latin-1").split("\n")
    if out and out[-1] == "":
        out.pop()
    events, changes = out, []
    if "changes:" in out:
        at = out.index("changes:")
        events, changes = out[:at], out[at + 1:]
    return {"status": p.returncode, "events": events, "changes": changes,
            "error": p.stderr.decode("latin-1").strip()}


def read_after(machine, windows_path):
    host = scn._host(machine, windows_path)
    if not os.path.isfile(host):
        return None
    return open(host, "rb").read().decode("latin-1")


def content_problems(expected, machine, normalise=None):
    """The `contents:` lines ("PATH: LINE", or "PATH: absent") not met."""
    problems = []
    for item in expected:
        path, _, line = item.partition(": ")
        text = read_after(machine, path)
        if line == "absent":
            if text is not None:
                problems.append(f"{path} exists")
            continue
        lines = [] if text is None else re.split(r"\r?\n", text)
        if normalise:
            lines, line = [normalise(l) for l in lines], normalise(line)
        if line not in lines:
            problems.append(f"{path} lacks the line {line!r}" if text is not None else f"{path} is missing")
    return problems


def diff(title, expected, actual):
    return [title] + list(difflib.unified_diff(expected, actual, "expected", "actual", lineterm="", n=2))


def check_sim(s, result, machine):
    """Differences between what the scenario expects and setupsim's run."""
    problems = []
    status = int(s.expect.get("status", "0"))
    if result["status"] != status:
        problems.append(f"status {result['status']}, expected {status}: {result['error']}")
    if "error" in s.expect and result["error"] != "setupsim: " + s.expect["error"]:
        problems.append(f"error output {result['error']!r}")
    for key in ("events", "changes"):
        want = s.expect.get(key)
        if want is not None and want != result[key]:
            problems += diff(key + ":", want, result[key])
    # Lines the report must hold together, in this order, among others.
    want, got = s.expect.get("changes-include", []), result["changes"]
    if want and not any(got[i:i + len(want)] == want for i in range(len(got))):
        problems += ["changes lack these lines together:"] + want + ["changes:"] + got
    return problems + content_problems(s.expect.get("contents", []), machine)


def check_wine(s, sim, wine, sim_machine, wine_machine):
    """Differences between the simulated run and the Wine run, after the
    known differences are taken out; empty when they agree."""
    if wine["status"] != sim["status"]:
        return [f"setupsim --wine status {wine['status']}: {wine['error']}"]
    a, b = comparable(sim, sim_machine, wine, wine_machine)
    problems = []
    if s.restart:
        problems += restart_problems(sim, wine_machine)
        a["changes"], b["changes"] = without_restart_files(sim, a["changes"]), without_restart_files(sim, b["changes"])
    for key in ("events", "changes"):
        if a[key] != b[key]:
            problems += diff(key + " (setupsim, then Wine):", a[key], b[key])
    problems += content_problems(s.expect.get("contents", []), wine_machine, line_form)
    return problems


RESTART = re.compile(r"^at restart: (.*?)(?: -> (.*))?$")


def restart_renames(sim):
    """(from, to or None) for each rename or deletion the run left in WININIT.INI."""
    out = []
    for line in sim["changes"]:
        m = RESTART.match(line)
        if m:
            path = m.group(1)
            out.append((path[len("delete "):], None) if m.group(2) is None and path.startswith("delete ")
                       else (path, m.group(2)))
    return out


def restart_problems(sim, wine_machine):
    """Wine, let restart, must have carried out WININIT.INI: each file renamed or deleted."""
    problems = []
    for old, new in restart_renames(sim):
        if read_after(wine_machine, old) is not None:
            problems.append(f"after Wine's restart {old} is still there")
        if new and read_after(wine_machine, new) is None:
            problems.append(f"after Wine's restart {new} is missing")
    if not restart_renames(sim):
        problems.append("wine-restart: yes, but the run left nothing in WININIT.INI")
    return problems


def without_restart_files(sim, changes):
    """A report without what a restart carries out (WININIT.INI itself and the
    files it renames), checked on its own by restart_problems."""
    paths = {p.lower() for pair in restart_renames(sim) for p in pair if p}
    keep = []
    skip_details = False
    for line in changes:
        if line.startswith("  "):
            if not skip_details:
                keep.append(line)
            continue
        low = line.lower()
        skip_details = ("wininit." in low or line.startswith("at restart:") or
                        any(low.endswith(" " + p) or (" " + p + " (") in low for p in paths))
        if not skip_details:
            keep.append(line)
    return keep


def update(s, result):
    """Writes setupsim's events and changes as the scenario's expectations."""
    lines = open(s.path, encoding="latin-1").read().split("\n")
    new = {"events": ["events:"] + ["  " + e for e in result["events"]],
           "changes": ["changes:"] + ["  " + c for c in result["changes"]]}
    # Existing blocks are replaced bottom-up; missing ones go after the last line of the scenario.
    spans = sorted(((s.blocks[k], k) for k in new if k in s.blocks), reverse=True)
    for (first, last), k in spans:
        lines[first - 1:last] = new[k]
    if "changes-include" in s.expect:
        del new["changes"]
    # What equals the file's shared expectation needs no block of its own.
    for k in list(new):
        if k not in s.blocks and s.expect.get(k) == result[k]:
            del new[k]
    missing = [k for k in new if k not in s.blocks]
    if missing:
        end = s.line
        for rs in scn.read_scenarios(s.path):
            if rs.line > s.line:
                end = rs.line - 1
                break
        else:
            end = len(lines)
        while end > s.line and not lines[end - 1].strip():
            end -= 1
        lines[end:end] = [l for k in missing for l in new[k]]
    open(s.path, "w", encoding="latin-1").write("\n".join(lines))


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--setupsim", required=True)
    ap.add_argument("--wine", action="store_true")
    ap.add_argument("--arch", default="x64")
    ap.add_argument("--update", action="store_true")
    ap.add_argument("--results")
    ap.add_argument("--keep", action="store_true", help="keep the machine folders")
    ap.add_argument("file")
    ap.add_argument("name", nargs="?")
    args = ap.parse_args()

    scenarios = [s for s in scn.read_scenarios(args.file) if args.name in (None, s.name, s.slug)]
    if not scenarios:
        print(f"no scenario {args.name!r} in {args.file}")
        return 1
    failed = 0
    for s in reversed(scenarios) if args.update else scenarios:
        for version in s.versions:
            work = tempfile.mkdtemp(prefix="scenario-")
            try:
                sim_machine = os.path.join(work, "sim")
                scn.build_machine(s, sim_machine)
                if args.wine:
                    wine_machine = os.path.join(work, "wine")
                    shutil.copytree(sim_machine, wine_machine, symlinks=True)
                sim = run_setupsim(args.setupsim, s, version, sim_machine)
                if args.update:
                    update(s, sim)
                    break
                problems = check_sim(s, sim, sim_machine)
                verdict, note = "agree", ""
                if args.wine and not problems:
                    if s.wine and s.wine.startswith("skip"):
                        verdict, note = "simulated only", s.wine.partition(":")[2].strip()
                    else:
                        wine = run_setupsim(args.setupsim, s, version, wine_machine, args.arch, s.restart)
                        if wine["status"] == 2 and "Wine cannot apply" in wine["error"]:
                            verdict, note = "simulated only", wine["error"].split(": ", 1)[-1]
                        else:
                            problems = check_wine(s, sim, wine, sim_machine, wine_machine)
                            verdict = "differ" if problems else "agree"
                elif problems:
                    verdict = "fails"
                label = f"{os.path.basename(s.path)}: {s.name} [Windows {version}]"
                if problems:
                    failed += 1
                    print(f"FAILED {label}")
                    print("\n".join("  " + p for p in problems))
                else:
                    print(f"ok     {label}" + (f" ({verdict}: {note})" if note else ""))
                if args.results:
                    os.makedirs(args.results, exist_ok=True)
                    tag = f"{s.file_stem}.{s.slug}.{version}.{args.arch if args.wine else 'sim'}"
                    with open(os.path.join(args.results, tag + ".json"), "w") as f:
                        json.dump({"file": os.path.basename(s.path), "scenario": s.name, "version": version,
                                   "arch": args.arch if args.wine else None, "verdict": verdict,
                                   "note": note, "problems": problems}, f)
            finally:
                if args.keep:
                    print(f"  machine folders kept in {work}")
                else:
                    subprocess.run(["chmod", "-R", "u+w", work])
                    shutil.rmtree(work, ignore_errors=True)
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
