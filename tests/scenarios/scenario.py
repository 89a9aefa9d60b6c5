#!/usr/bin/env python3
"""Scenarios (tests/scenarios/*.scn, format in README.md) run through setupsim and checked: scenario.py
--setupsim SETUPSIM [--wine [--arch i686] [--results DIR]] FILE [NAME]; --list FILE.. names them for
CTest. --results DIR: one result per scenario and version, for docs/proof.md.
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
OPTIONS = {"program", "args", "cwd", "windir", "sysdir", "lang", "readonly", "window", "running"}
EXPECTATIONS = {"events", "changes", "changes-include", "contents"}
SETTING = r"[a-z0-9-]+(?: on [\w ]+)?:"  # a setting's key, "events on 2000 XP:" too


class Scenario:
    def __init__(self, path, name):
        self.path, self.name = path, name
        self.slug = re.sub(r"[^a-z0-9]+", "-", name.lower()).strip("-")
        self.base, self.like = None, None
        self.machine = []        # (verb, path, data) in order
        self.args = []           # setupsim's options; of one given twice the last counts
        self.versions = ["98"]
        self.expect = {}         # events/changes/contents -> [lines]; status/error -> text
        self.on = {}             # version -> what it expects there instead
        self.wine, self.i686, self.restart = None, False, False


def unescape(text, codes=r"x[0-9a-fA-F]{2}"):
    """\\xHH in a setting's value; in inline file text (codes "[rn]|x..") \\r and \\n too."""
    return re.sub(r"\\(" + codes + ")",
                  lambda m: {"r": "\r", "n": "\n"}.get(m.group(1)) or chr(int(m.group(1)[1:], 16)), text)


def crlf(lines):
    return "".join(l + "\r\n" for l in lines)


def _blocks(path):
    """(head, [indented lines]) for each directive; a block runs on over blank lines while the next text is
    still indented. Settings joined by "; " on one line (a scenario's own line too) are directives of their own;
    \\*N:C or \\*N:(TEXT) anywhere stands for C or TEXT written N times."""
    lines = [re.sub(r"\\\*(\d+):(?:\((.*?)\)|(.))", lambda m: (m.group(2) or m.group(3)) * int(m.group(1)), l)
             for l in open(path, encoding="latin-1").read().split("\n")]
    out, body = [], None
    for n, raw in enumerate(lines, 1):
        if body is not None and (raw.startswith("  ") or not raw.strip()):
            body.append(raw[2:])
        elif not raw.strip() or raw.startswith("#"):
            body = None  # a comment ends a block
        elif raw.startswith("  "):
            raise ValueError(f"{path}:{n}: indented line without a directive")
        else:
            heads = re.split("; (?=" + SETTING + ")", raw.rstrip()) if re.match(SETTING, raw) else [raw.rstrip()]
            body = []
            out += [(h, []) for h in heads[:-1]] + [(heads[-1], body)]
    for _, body in out:
        while body and not body[-1].strip():
            body.pop()
    return out


def _use_blocks(body, defines):
    """A line "@NAME ARGS" stands for the block defined as NAME ($1.. its words, $@ all); "LINE *N" N lines."""
    out = []
    for line in body:
        if line.startswith("@"):
            name, *args = line[1:].split()  # a name not defined: KeyError
            out += _use_blocks([re.sub(r"\$(\d|@)", lambda m: " ".join(args) if m.group(1) == "@"
                                       else args[int(m.group(1)) - 1], l) for l in defines[name]], defines)
            continue
        repeat = re.match(r"(.*) \*(\d+)$", line)
        out += [repeat.group(1)] * int(repeat.group(2)) if repeat else [line]
    return out


def _apply(s, head, body, defines):
    key, sep, value = head.partition(":")
    key, _, on = key.partition(" on ")  # "events on 2000 XP:": what those versions give instead
    if sep and " " not in key:
        value = value.strip()
        hexed = unescape(value)
        if key in ("base", "as", "wine"):
            setattr(s, "like" if key == "as" else key, value)
        elif key == "windows":
            s.versions = value.split()
        elif key in OPTIONS:
            s.args += ["--" + key, hexed]
        elif key == "act":
            s.args += [a for act in hexed.split() for a in ("--act", act)]
        elif key in EXPECTATIONS and on:
            for v in on.split():
                s.on.setdefault(v, {})[key] = _use_blocks(body if not value else [value], defines)
        elif key in EXPECTATIONS:
            s.expect[key] = _use_blocks(body if not value else [value], defines)
            if key == "changes-include":
                s.expect.pop("changes", None)  # instead of the file's whole report
        elif key == "install-options":  # the disc's setup.ini with these [InstallOption] keys
            s.machine.append(("file", "D:\\setup.ini", crlf(["[InstallOption]"] + value.split())))
        elif key in ("status", "error"):
            s.expect[key] = value
        elif key == "setupsim":
            s.args += shlex.split(value)
        elif key in ("i686", "wine-restart"):
            setattr(s, "i686" if key == "i686" else "restart", value == "yes")
        else:
            raise ValueError(f"{s.path}: unknown setting {key}")
        return
    verb, _, rest = head.partition(" ")
    if verb == "file":
        paths, eq, inline = rest.partition(" = ")
        data = unescape(inline, r"[rn]|x[0-9a-fA-F]{2}") if eq else crlf(body)
        s.machine += [("file", p.strip(), data) for p in paths.split("|")]
    elif verb in ("dir", "remove", "read-only"):
        s.machine += [(verb, p.strip(), None) for p in rest.split("|")]
    elif verb in ("copy", "move"):
        source, _, target = rest.partition(" -> ")
        s.machine.append((verb, target, source))
    elif verb == "registry":
        # "registry [KEY] VALUE": the key and one value on the directive's line
        first = rest.replace("] ", "]\n", 1).split("\n") if rest else []
        s.machine.append((verb, None, crlf(first + body)))
    else:
        raise ValueError(f"{s.path}: unknown directive {head}")


def read_scenarios(path):
    """Every scenario of a file, the file's opening directives applied first; blocks.txt's and the file's own
    `define`s usable in every block. "as: NAME": what NAME expects, instead of the scenario's own."""
    blocks = _blocks(os.path.join(HERE, "blocks.txt")) + _blocks(path)
    defines = {h.split()[1]: body for h, body in blocks if h.startswith("define ")}
    shared, out = [], []
    for head, body in [(h, body) for h, body in blocks if not h.startswith("define ")]:
        if head.startswith("scenario:"):
            out.append(Scenario(path, head.split(":", 1)[1].strip()))
            for b in shared:
                _apply(out[-1], *b, defines)
        elif out:
            _apply(out[-1], head, body, defines)
        else:
            shared.append((head, body))
    for s in filter(lambda s: s.like, out):
        like = next(o for o in out if s.like in (o.name, o.slug))
        if like.like:  # its expectations may not be taken over yet
            raise ValueError(f"{path}: {s.name}: 'as:' names a scenario that has an 'as:' itself")
        s.expect, s.on = like.expect, like.on
    return out


def _host(machine, windows_path, as_written=False):
    """The host path of a drive path, or of a share's (\\\\SERVER\\SHARE: machine/unc/SERVER/SHARE); a name
    without a drive (machine.ini) is the machine folder's own file. A name differing only by case from one there
    is that one, but as_written a second one."""
    if ":" not in windows_path and not windows_path.startswith("\\"):
        return os.path.join(machine, windows_path)
    unc = windows_path.startswith("\\\\")
    cur = os.path.join(machine, "unc" if unc else windows_path[0].lower())
    for p in [p for p in windows_path[2:].replace("/", "\\").split("\\") if p]:
        found = os.path.isdir(cur) and next((e for e in os.listdir(cur) if e.lower() == p.lower()), None)
        cur = os.path.join(cur, p if as_written else found or p)
    return cur


def build_machine(scenario, machine):
    """Writes the scenario's computer into the (new) folder `machine`: its bases in turn (bases/NAME.base and
    the keys of a bases/NAME.reg, or "sample"), then its own lines."""
    chain, base = [scenario], scenario.base
    while base and base != "sample":
        chain.insert(0, Scenario(os.path.join(HERE, "bases", base + ".base"), base))
        for block in _blocks(chain[0].path):
            _apply(chain[0], *block, {})
        reg = os.path.join(HERE, "bases", base + ".reg")  # its keys, which the purge's unit test reads too
        if os.path.exists(reg):
            chain[0].machine.insert(0, ("registry", None, open(reg, encoding="latin-1").read().split("\n", 1)[1]))
        base = chain[0].base
    if base == "sample":
        shutil.copytree(os.path.join(SOURCE_DIR, "samples", "machine-98"), machine)
        shutil.copytree(os.path.join(SOURCE_DIR, "samples", "disc"), os.path.join(machine, "d"))
    else:
        for d in ("c/WINDOWS/SYSTEM", "d"):
            os.makedirs(os.path.join(machine, d), exist_ok=True)
    reg = os.path.join(machine, "registry.reg")
    for s in chain:
        for verb, path, data in s.machine:
            host = _host(machine, path, verb in ("copy", "move")) if path else None
            if verb in ("copy", "move"):  # a copy by way of one beside the drives, as the new path may lie inside
                source = _host(machine, data)
                if verb == "copy":
                    source = (shutil.copytree if os.path.isdir(source) else shutil.copyfile)(
                        source, os.path.join(machine, "copy"))
                os.makedirs(os.path.dirname(host), exist_ok=True)
                os.rename(source, host)
            elif verb == "file":
                os.makedirs(os.path.dirname(host), exist_ok=True)
                open(host, "wb").write(data.encode("latin-1"))
            elif verb == "dir":
                os.makedirs(host, exist_ok=True)
            elif verb == "remove":
                shutil.rmtree(host) if os.path.isdir(host) else os.remove(host)
            elif verb == "read-only":
                os.chmod(host, os.stat(host).st_mode & ~0o222)
            elif verb == "registry":
                text = open(reg, "rb").read().decode("latin-1") if os.path.exists(reg) else "REGEDIT4\r\n"
                open(reg, "wb").write((text + "\r\n" + data).encode("latin-1"))


def run_setupsim(setupsim, s, version, machine, *wine):
    p = subprocess.run([setupsim, "--changes", "--windows", version, *s.args, *wine, machine], capture_output=True,
                       timeout=900)
    out = p.stdout.decode("latin-1").split("\n")[:-1]  # every line ends in a line break
    at = out.index("changes:") if "changes:" in out else len(out)
    return {"status": p.returncode, "events": out[:at], "changes": out[at + 1:],
            "error": p.stderr.decode("latin-1").strip()}


def read_after(machine, windows_path):
    host = _host(machine, windows_path)
    return open(host, "rb").read().decode("latin-1") if os.path.isfile(host) else None


def check(expect, result, machine, form=lambda l: l, title=":"):
    """Differences between what is expected (of the scenario, or the simulated run's) and setupsim's run."""
    problems = []
    status = int(expect.get("status", "0"))
    if result["status"] != status:
        problems.append(f"status {result['status']}, expected {status}: {result['error']}")
    if "error" in expect and result["error"] != "setupsim: " + expect["error"]:
        problems.append(f"error output {result['error']!r}")
    for key in ("events", "changes"):
        if expect.get(key, result[key]) != result[key]:
            problems += [key + title] + list(difflib.unified_diff(expect[key], result[key], "expected", "actual",
                                                                  lineterm="", n=2))
    # Lines the report must hold together, in this order, among others.
    want, got = expect.get("changes-include", []), result["changes"]
    if want and not any(got[i:i + len(want)] == want for i in range(len(got))):
        problems += ["changes lack these lines together:"] + want + ["changes:"] + got
    for item in expect.get("contents", []):  # "PATH: LINE", a line the file holds afterwards, or "PATH: absent"
        path, _, line = item.partition(": ")
        text = read_after(machine, path)
        if (text is None) != (line == "absent") or \
                line != "absent" and form(line) not in map(form, re.split(r"\r?\n", text)):
            problems.append("contents not so afterwards: " + item)
    return problems


RESTART = re.compile(r"^at restart: (?:delete )?(.*?)(?: -> (.*))?$")


def restart_problems(sim, runs, wine_machine):
    """Wine, let restart, must have carried out WININIT.INI's renames and deletions; the reports are then
    compared without WININIT.INI and those files."""
    renames = [m.groups() for m in map(RESTART.match, sim["changes"]) if m]
    problems = [] if renames else ["wine-restart: yes, but the run left nothing in WININIT.INI"]
    for old, new in renames:
        if read_after(wine_machine, old) is not None or new and read_after(wine_machine, new) is None:
            problems.append(f"Wine's restart did not carry out {old} -> {new or 'deletion'}")
    paths = {p.lower() for pair in renames for p in pair if p}
    for run in runs:
        keep, skip = [], False
        for line in run["changes"]:
            if not line.startswith("  "):  # a report line; indented ones belong to it
                low = line.lower()
                skip = ("wininit." in low or line.startswith("at restart:") or
                        any(low.endswith(" " + p) or (" " + p + " (") in low for p in paths))
            keep += [] if skip else [line]
        run["changes"] = keep
    return problems


def run_one(args, s, version, work):
    """Runs one scenario on one version; (verdict, note, problems)."""
    sim_machine, wine_machine = os.path.join(work, "sim"), os.path.join(work, "wine")
    build_machine(s, sim_machine)
    if args.wine:
        shutil.copytree(sim_machine, wine_machine, symlinks=True)
    sim = run_setupsim(args.setupsim, s, version, sim_machine)
    problems = check({**s.expect, **s.on.get(version, {})}, sim, sim_machine)
    if problems or not args.wine:
        return ("fails" if problems else "agree"), "", problems
    if s.wine and s.wine.startswith("skip"):
        return "simulated only", s.wine.partition(":")[2].strip(), []
    wine = run_setupsim(args.setupsim, s, version, wine_machine, "--wine=" + args.arch, *["--wine-restart"] * s.restart)
    if wine["status"] == 2 and "Wine cannot apply" in wine["error"]:
        return "simulated only", wine["error"].split(": ", 1)[-1], []
    # The simulated run's differences from the Wine run once the known ones are taken out.
    a, b = comparable(sim), comparable(wine)
    problems = restart_problems(sim, (a, b), wine_machine) if s.restart else []
    problems += check({**a, "status": sim["status"], "contents": s.expect.get("contents", [])}, {**wine, **b},
                      wine_machine, line_form, " (setupsim, then Wine):")
    return ("differ" if problems else "agree"), "", problems


def main():
    if sys.argv[1:2] == ["--list"]:  # for CTest: each scenario's file stem and slug, "i686" where it runs there too
        for path in sys.argv[2:]:
            for s in read_scenarios(path):
                print(os.path.splitext(os.path.basename(path))[0], s.slug + (" i686" if s.i686 else ""))
        return 0
    ap = argparse.ArgumentParser()
    ap.add_argument("--setupsim", required=True)
    ap.add_argument("--wine", action="store_true")
    ap.add_argument("--arch", default="x64")
    ap.add_argument("--results")
    ap.add_argument("file")
    ap.add_argument("name", nargs="?")
    args = ap.parse_args()

    scenarios = [s for s in read_scenarios(args.file) if args.name in (None, s.name, s.slug)]
    if not scenarios:
        print(f"no scenario {args.name!r} in {args.file}")
        return 1
    failed = 0
    for s in scenarios:
        for version in s.versions:
            with tempfile.TemporaryDirectory(prefix="scenario-") as work:
                verdict, note, problems = run_one(args, s, version, work)
            label = f"{os.path.basename(s.path)}: {s.name} [Windows {version}]"
            failed += bool(problems)
            print(f"FAILED {label}\n" + "\n".join("  " + p for p in problems) if problems
                  else f"ok     {label}" + (f" ({verdict}: {note})" if note else ""))
            if args.results:  # with --wine
                os.makedirs(args.results, exist_ok=True)
                file = os.path.basename(s.path)
                with open(os.path.join(args.results, f"{file}.{s.slug}.{version}.{args.arch}.json"), "w") as f:
                    json.dump({"file": file, "scenario": s.name, "version": version, "arch": args.arch,
                               "verdict": verdict, "note": note, "problems": problems}, f)
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
