#!/usr/bin/env python3
"""Scenarios (tests/scenarios/*.scn, format in README.md): read, their computers
built, run through setupsim and checked; with --wine, each also run through
`setupsim --wine` and compared with the simulated run.

  scenario.py --setupsim build/native/setupsim FILE [NAME]
  scenario.py --setupsim ... --wine [--arch i686] [--results DIR] FILE [NAME]
  scenario.py --setupsim ... --update FILE [NAME]   write what setupsim gives as expected

Exit status 0 when everything agrees. --results DIR: one result per scenario
and version, for docs/proof.md.
"""
import argparse
import difflib
import json
import os
import re
import shlex
import shutil
import subprocess
import sys
import tempfile

from wine_differences import comparable, line_form

HERE = os.path.dirname(os.path.abspath(__file__))
SOURCE_DIR = os.path.dirname(os.path.dirname(HERE))
OPTIONS = {"program", "args", "cwd", "windir", "sysdir", "lang", "readonly"}
REPEATABLE = ("window", "running", "act")
EXPECTATIONS = {"events", "changes", "changes-include", "contents"}
REPORTS = {"changes", "changes-include"}


class Scenario:
    def __init__(self, path, name, line):
        self.path, self.name, self.line = path, name, line
        self.base, self.like = None, None
        self.machine = []        # (verb, path, data) in order
        self.options = {}
        self.repeated = {k: [] for k in REPEATABLE}
        self.versions = ["98"]
        self.expect = {}         # events/changes/contents -> [lines]; status/error -> text
        self.blocks = {}         # expectation -> (first line, last line) of its own block
        self.wine, self.i686, self.restart = None, False, False
        self.extra_args = []

    @property
    def file_stem(self):
        return os.path.splitext(os.path.basename(self.path))[0]

    @property
    def slug(self):
        return re.sub(r"[^a-z0-9]+", "-", self.name.lower()).strip("-")


def unescape(text):
    """Inline file text: \\r \\n \\t \\\\ \\xHH, and \\*N:C for C repeated N times."""
    def one(m):
        s = m.group(0)
        if s[1] == "x":
            return chr(int(s[2:], 16))
        if s[1] == "*":
            return s[-1] * int(s[2:-2])
        return {"r": "\r", "n": "\n", "t": "\t", "\\": "\\"}[s[1]]
    return re.sub(r"\\(?:[rnt\\]|x[0-9a-fA-F]{2}|\*\d+:.)", one, text)


def _blocks(lines):
    """(line number, head, [indented lines], end) for each directive; a block
    runs on over blank lines while the next text is still indented."""
    out, i = [], 0
    while i < len(lines):
        raw = lines[i]
        if not raw.strip() or raw.lstrip().startswith("#"):
            i += 1
            continue
        if raw.startswith("  "):
            raise ValueError(f"line {i + 1}: indented line without a directive")
        j = i + 1
        while j < len(lines) and (lines[j].startswith("  ") or not lines[j].strip()):
            j += 1
        while j > i + 1 and not lines[j - 1].strip():
            j -= 1
        out.append((i + 1, raw.rstrip(), [l[2:] for l in lines[i + 1:j]], j))
        i = j
    return out


def _use_blocks(body, defines):
    """A line "@NAME ARGS" stands for the block defined as NAME ($1.. its words, $@ all)."""
    out = []
    for line in body:
        if not line.startswith("@"):
            out.append(line)
            continue
        name, *args = line[1:].split()
        if name not in defines:
            raise ValueError(f"no block named {name}")
        for l in _use_blocks(defines[name], defines):
            out.append(re.sub(r"\$(\d|@)", lambda m: " ".join(args) if m.group(1) == "@"
                              else args[int(m.group(1)) - 1], l))
    return out


def _apply(s, lineno, head, body, last, defines):
    key, sep, value = head.partition(":")
    if sep and " " not in key:
        value = value.strip()
        hexed = re.sub(r"\\x([0-9a-fA-F]{2})", lambda m: chr(int(m.group(1), 16)), value)
        if key == "base":
            s.base = value
        elif key == "windows":
            s.versions = value.split()
        elif key in OPTIONS:
            s.options[key] = hexed
        elif key == "act":
            s.repeated[key] += hexed.split()
        elif key in REPEATABLE:
            s.repeated[key].append(hexed)
        elif key in EXPECTATIONS:
            s.expect[key] = _use_blocks(body if not value else [value], defines)
            if key == "changes-include":
                s.expect.pop("changes", None)  # instead of the file's whole report
            s.blocks[key] = (lineno, last)
        elif key in ("status", "error"):
            s.expect[key] = value
        elif key == "as":
            s.like = value
        elif key == "setupsim":
            s.extra_args = shlex.split(value)
        elif key == "wine":
            s.wine = value
        elif key in ("i686", "wine-restart"):
            setattr(s, "i686" if key == "i686" else "restart", value == "yes")
        else:
            raise ValueError(f"{s.path}:{lineno}: unknown setting {key}")
        return
    verb, _, rest = head.partition(" ")
    if verb in ("file", "lf-file"):
        paths, eq, inline = rest.partition(" = ")
        end = "\r\n" if verb == "file" else "\n"
        data = unescape(inline) if eq else "".join(l + end for l in body)
        s.machine += [("file", p.strip(), data) for p in paths.split("|")]
    elif verb in ("dir", "remove", "read-only"):
        s.machine += [(verb, p.strip(), None) for p in rest.split("|")]
    elif verb in ("registry", "machine.ini"):
        s.machine.append((verb, None, "".join(l + "\r\n" for l in body)))
    elif verb == "registry-file":
        text = open(os.path.join(HERE, "bases", rest.strip()), encoding="latin-1").read()
        s.machine.append(("registry", None, text.split("\n", 1)[1]))
    else:
        raise ValueError(f"{s.path}:{lineno}: unknown directive {head}")


def _read_defines(blocks, defines):
    for lineno, head, body, last in blocks:
        if head.startswith("define "):
            defines[head.split()[1]] = body
    return [b for b in blocks if not b[1].startswith("define ")]


def read_scenarios(path):
    """Every scenario of a file, the file's opening directives applied first;
    blocks.txt's and the file's own `define`s usable in every block."""
    defines = {}
    _read_defines(_blocks(open(os.path.join(HERE, "blocks.txt"), encoding="latin-1").read().split("\n")),
                  defines)
    blocks = _read_defines(_blocks(open(path, encoding="latin-1").read().split("\n")), defines)
    first = next((b[0] for b in blocks if b[1].startswith("scenario:")), len(blocks) + 1e9)
    shared = [b for b in blocks if b[0] < first]
    out = []
    for lineno, head, body, last in blocks:
        if head.startswith("scenario:"):
            cur = Scenario(path, head.split(":", 1)[1].strip(), lineno)
            for b in shared:
                _apply(cur, *b, defines)
            cur.blocks = {}  # only a scenario's own blocks are rewritten by --update
            out.append(cur)
        elif lineno > first:
            _apply(cur, lineno, head, body, last, defines)
    # "as: NAME": what NAME expects, where the scenario expects nothing of its own.
    for s in out:
        if s.like:
            like = next(o for o in out if s.like in (o.name, o.slug))
            own = set(s.blocks) | ({"changes", "changes-include"} if REPORTS & set(s.blocks) else set())
            s.expect.update({k: v for k, v in like.expect.items() if k not in own})
            if "changes-include" in like.expect and not REPORTS & own:
                s.expect.pop("changes", None)
    return out


def _host(machine, windows_path):
    """The host path of a drive path, or of a share's (\\\\SERVER\\SHARE: machine/unc/SERVER/SHARE)."""
    unc = windows_path.startswith("\\\\")
    cur = os.path.join(machine, "unc" if unc else windows_path[0].lower())
    for p in [p for p in windows_path[2:].replace("/", "\\").split("\\") if p]:
        found = os.path.isdir(cur) and next((e for e in os.listdir(cur) if e.lower() == p.lower()), None)
        cur = os.path.join(cur, found or p)
    return cur


def build_machine(scenario, machine):
    """Writes the scenario's computer into the (new) folder `machine`: its
    bases in turn (bases/NAME.base, or "sample"), then its own lines."""
    chain, base = [], scenario.base
    while base and base != "sample":
        b = Scenario(os.path.join(HERE, "bases", base + ".base"), base, 0)
        for block in _blocks(open(b.path, encoding="latin-1").read().split("\n")):
            _apply(b, *block, {})
        chain.insert(0, b)
        base = b.base
    if base == "sample":
        shutil.copytree(os.path.join(SOURCE_DIR, "samples", "machine-98"), machine)
        shutil.copytree(os.path.join(SOURCE_DIR, "samples", "disc"), os.path.join(machine, "d"))
    else:
        for d in ("c/WINDOWS/SYSTEM", "d"):
            os.makedirs(os.path.join(machine, d), exist_ok=True)
    reg = os.path.join(machine, "registry.reg")
    for s in chain + [scenario]:
        for verb, path, data in s.machine:
            host = _host(machine, path) if path else None
            if verb == "file":
                os.makedirs(os.path.dirname(host), exist_ok=True)
                open(host, "wb").write(data.encode("latin-1"))
            elif verb == "dir":
                os.makedirs(host, exist_ok=True)
            elif verb == "remove":
                shutil.rmtree(host) if os.path.isdir(host) else os.remove(host)
            elif verb == "read-only":
                os.chmod(host, os.stat(host).st_mode & ~0o222)
            elif verb == "machine.ini":
                open(os.path.join(machine, "machine.ini"), "wb").write(data.encode("latin-1"))
            elif verb == "registry":
                text = open(reg, "rb").read().decode("latin-1") if os.path.exists(reg) else "REGEDIT4\r\n"
                open(reg, "wb").write((text + "\r\n" + data).encode("latin-1"))
    for b in chain:  # options of the bases apply unless the scenario sets them
        for k, v in b.options.items():
            scenario.options.setdefault(k, v)


def run_setupsim(setupsim, s, version, machine, wine=None, restart=False):
    cmd = [setupsim, "--changes", "--windows", version]
    for k, v in s.options.items():
        cmd += ["--" + k, v]
    for k in REPEATABLE:
        for v in s.repeated[k]:
            cmd += ["--" + k, v]
    cmd += s.extra_args
    if wine:
        cmd += ["--wine" if wine == "x64" else "--wine=" + wine] + (["--wine-restart"] if restart else [])
    p = subprocess.run(cmd + [machine], capture_output=True, timeout=900)
    out = p.stdout.decode("latin-1").split("\n")
    if out and out[-1] == "":
        out.pop()
    at = out.index("changes:") if "changes:" in out else len(out)
    return {"status": p.returncode, "events": out[:at], "changes": out[at + 1:],
            "error": p.stderr.decode("latin-1").strip()}


def read_after(machine, windows_path):
    host = _host(machine, windows_path)
    return open(host, "rb").read().decode("latin-1") if os.path.isfile(host) else None


def content_problems(expected, machine, form=lambda l: l):
    """The `contents:` lines ("PATH: LINE", or "PATH: absent") not met."""
    problems = []
    for item in expected:
        path, _, line = item.partition(": ")
        text = read_after(machine, path)
        if line == "absent":
            problems += [f"{path} exists"] if text is not None else []
        elif text is None:
            problems.append(f"{path} is missing")
        elif form(line) not in [form(l) for l in re.split(r"\r?\n", text)]:
            problems.append(f"{path} lacks the line {line!r}")
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
        if s.expect.get(key, result[key]) != result[key]:
            problems += diff(key + ":", s.expect[key], result[key])
    # Lines the report must hold together, in this order, among others.
    want, got = s.expect.get("changes-include", []), result["changes"]
    if want and not any(got[i:i + len(want)] == want for i in range(len(got))):
        problems += ["changes lack these lines together:"] + want + ["changes:"] + got
    return problems + content_problems(s.expect.get("contents", []), machine)


RESTART = re.compile(r"^at restart: (?:delete (.*)|(.*) -> (.*))$")


def restart_renames(sim):
    """(from, to or None) for each rename or deletion the run left in WININIT.INI."""
    return [(m.group(1), None) if m.group(1) else (m.group(2), m.group(3))
            for m in map(RESTART.match, sim["changes"]) if m]


def check_wine(s, sim, wine, wine_machine):
    """Differences between the simulated run and the Wine run, after the
    known differences are taken out; empty when they agree."""
    if wine["status"] != sim["status"]:
        return [f"setupsim --wine status {wine['status']}: {wine['error']}"]
    a, b = comparable(sim, wine)
    problems = []
    if s.restart:
        # Wine, let restart, must have carried out WININIT.INI; the report
        # is then compared without WININIT.INI and the files it renames.
        renames = restart_renames(sim)
        if not renames:
            problems.append("wine-restart: yes, but the run left nothing in WININIT.INI")
        for old, new in renames:
            if read_after(wine_machine, old) is not None:
                problems.append(f"after Wine's restart {old} is still there")
            if new and read_after(wine_machine, new) is None:
                problems.append(f"after Wine's restart {new} is missing")
        paths = {p.lower() for pair in renames for p in pair if p}
        for run in (a, b):
            keep, skip = [], False
            for line in run["changes"]:
                if not line.startswith("  "):
                    low = line.lower()
                    skip = ("wininit." in low or line.startswith("at restart:") or
                            any(low.endswith(" " + p) or (" " + p + " (") in low for p in paths))
                if not skip:
                    keep.append(line)
            run["changes"] = keep
    for key in ("events", "changes"):
        if a[key] != b[key]:
            problems += diff(key + " (setupsim, then Wine):", a[key], b[key])
    return problems + content_problems(s.expect.get("contents", []), wine_machine, line_form)


def update(s, result):
    """Writes setupsim's events and changes as the scenario's own expectations,
    where they differ from what it would expect without them."""
    lines = open(s.path, encoding="latin-1").read().split("\n")
    new = {k: [k + ":"] + ["  " + e for e in result[k]] for k in ("events", "changes")}
    if "changes-include" in s.expect:
        del new["changes"]
    for (first, last), k in sorted(((s.blocks[k], k) for k in new if k in s.blocks), reverse=True):
        lines[first - 1:last] = new[k]
    missing = [k for k in new if k not in s.blocks and s.expect.get(k) != result[k]]
    if missing:
        later = [o.line for o in read_scenarios(s.path) if o.line > s.line]
        end = later[0] - 1 if later else len(lines)
        while end > s.line and not lines[end - 1].strip():
            end -= 1
        lines[end:end] = [l for k in missing for l in new[k]]
    open(s.path, "w", encoding="latin-1").write("\n".join(lines))


def run_one(args, s, version, work):
    """Runs one scenario on one version; (verdict, note, problems)."""
    sim_machine, wine_machine = os.path.join(work, "sim"), os.path.join(work, "wine")
    build_machine(s, sim_machine)
    if args.wine:
        shutil.copytree(sim_machine, wine_machine, symlinks=True)
    sim = run_setupsim(args.setupsim, s, version, sim_machine)
    if args.update:
        update(s, sim)
        return "updated", "", []
    problems = check_sim(s, sim, sim_machine)
    if problems or not args.wine:
        return ("fails" if problems else "agree"), "", problems
    if s.wine and s.wine.startswith("skip"):
        return "simulated only", s.wine.partition(":")[2].strip(), []
    wine = run_setupsim(args.setupsim, s, version, wine_machine, args.arch, s.restart)
    if wine["status"] == 2 and "Wine cannot apply" in wine["error"]:
        return "simulated only", wine["error"].split(": ", 1)[-1], []
    problems = check_wine(s, sim, wine, wine_machine)
    return ("differ" if problems else "agree"), "", problems


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

    scenarios = [s for s in read_scenarios(args.file) if args.name in (None, s.name, s.slug)]
    if not scenarios:
        print(f"no scenario {args.name!r} in {args.file}")
        return 1
    failed = 0
    for s in reversed(scenarios) if args.update else scenarios:
        for version in s.versions[:1] if args.update else s.versions:
            work = tempfile.mkdtemp(prefix="scenario-")
            try:
                verdict, note, problems = run_one(args, s, version, work)
            finally:
                if args.keep:
                    print(f"  machine folders kept in {work}")
                else:
                    subprocess.run(["chmod", "-R", "u+w", work])
                    shutil.rmtree(work, ignore_errors=True)
            label = f"{os.path.basename(s.path)}: {s.name} [Windows {version}]"
            failed += bool(problems)
            print(f"FAILED {label}\n" + "\n".join("  " + p for p in problems) if problems
                  else f"ok     {label}" + (f" ({verdict}: {note})" if note else ""))
            if args.results:
                os.makedirs(args.results, exist_ok=True)
                arch = args.arch if args.wine else None
                with open(os.path.join(args.results, f"{s.file_stem}.{s.slug}.{version}.{arch or 'sim'}.json"),
                          "w") as f:
                    json.dump({"file": os.path.basename(s.path), "scenario": s.name, "version": version,
                               "arch": arch, "verdict": verdict, "note": note, "problems": problems}, f)
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
