"""Scenario files: reading them, and building the machine folder a scenario
names. The format is described in tests/scenarios/README.md."""
import os
import re
import shlex
import shutil
import stat

HERE = os.path.dirname(os.path.abspath(__file__))
SOURCE_DIR = os.path.dirname(os.path.dirname(HERE))

# Options written "name: value", as setupsim's --name; the repeatable ones add up.
OPTIONS = {"windows", "program", "args", "cwd", "windir", "sysdir", "lang", "readonly"}
REPEATABLE = {"window", "running", "act"}
EXPECTATIONS = {"events", "changes", "changes-include", "contents"}


class Scenario:
    def __init__(self, path, name, line):
        self.path, self.name, self.line = path, name, line
        self.base = None
        self.machine = []        # (verb, path, data) in order
        self.options = {}
        self.repeated = {k: [] for k in REPEATABLE}
        self.versions = ["98"]
        self.expect = {}         # events/changes/contents -> [lines]; status/error -> text
        self.blocks = {}         # expectation -> (first line, last line) in the file
        self.wine = None         # None, or "skip: reason"
        self.i686 = False
        self.restart = False     # under Wine: let it restart and check WININIT.INI was carried out
        self.extra_args = []     # more of setupsim's arguments, as written

    @property
    def file_stem(self):
        return os.path.splitext(os.path.basename(self.path))[0]

    @property
    def slug(self):
        return re.sub(r"[^a-z0-9]+", "-", self.name.lower()).strip("-")


def _unescape(text):
    """Inline file text: \\r \\n \\t \\\\ \\xHH, and \\*N:C for C repeated N times."""
    out, i = [], 0
    while i < len(text):
        c = text[i]
        if c != "\\" or i + 1 == len(text):
            out.append(c)
            i += 1
            continue
        n = text[i + 1]
        if n in "rnt\\":
            out.append({"r": "\r", "n": "\n", "t": "\t", "\\": "\\"}[n])
            i += 2
        elif n == "x":
            out.append(chr(int(text[i + 2:i + 4], 16)))
            i += 4
        elif n == "*":
            m = re.match(r"\\\*(\d+):(.)", text[i:])
            out.append(m.group(2) * int(m.group(1)))
            i += len(m.group(0))
        else:
            out.append(c)
            i += 1
    return "".join(out)


def _hex_escapes(text):
    """An option's value: \\xHH only (a blank at the end: \\x20); backslashes stay."""
    return re.sub(r"\\x([0-9a-fA-F]{2})", lambda m: chr(int(m.group(1), 16)), text)


def _blocks(lines):
    """(line number, head, [indented lines]) for each directive; a block runs on
    over blank lines while the next text is still indented."""
    out, i = [], 0
    while i < len(lines):
        raw = lines[i]
        if not raw.strip() or raw.lstrip().startswith("#"):
            i += 1
            continue
        if raw.startswith("  "):
            raise ValueError(f"line {i + 1}: indented line without a directive")
        start, body, j = i, [], i + 1
        while j < len(lines):
            if lines[j].startswith("  "):
                body.append(lines[j][2:])
                j += 1
                continue
            if not lines[j].strip():
                k = j
                while k < len(lines) and not lines[k].strip():
                    k += 1
                if k < len(lines) and lines[k].startswith("  "):
                    body.extend([""] * (k - j))
                    j = k
                    continue
            break
        out.append((start + 1, raw.rstrip(), body, j))
        i = j
    return out


def _apply(s, lineno, head, body, last):
    if head.startswith("scenario:"):
        return
    key, sep, value = head.partition(":")
    if sep and " " not in key:
        value = value.strip()
        if key == "base":
            s.base = value
        elif key == "windows":
            s.versions = value.split()
        elif key in OPTIONS:
            s.options[key] = _hex_escapes(value)
        elif key in REPEATABLE:
            s.repeated[key].append(_hex_escapes(value))
        elif key in EXPECTATIONS:
            s.expect[key] = body if not value else [value]
            if key == "changes-include":
                s.expect.pop("changes", None)  # instead of the file's whole report
            s.blocks[key] = (lineno, last)
        elif key in ("status", "error"):
            s.expect[key] = value
        elif key == "setupsim":
            s.extra_args = shlex.split(value)
        elif key == "wine":
            s.wine = value
        elif key == "i686":
            s.i686 = value == "yes"
        elif key == "wine-restart":
            s.restart = value == "yes"
        else:
            raise ValueError(f"{s.path}:{lineno}: unknown setting {key}")
        return
    verb, _, rest = head.partition(" ")
    if verb in ("file", "lf-file"):
        path, eq, inline = rest.partition(" = ")
        if eq:
            data = _unescape(inline)
        else:
            end = "\r\n" if verb == "file" else "\n"
            data = "".join(l + end for l in body)
        s.machine.append(("file", path.strip(), data))
    elif verb in ("dir", "remove", "read-only"):
        s.machine.append((verb, rest.strip(), None))
    elif verb == "registry":
        s.machine.append(("registry", None, "".join(l + "\r\n" for l in body)))
    elif verb == "machine.ini":
        s.machine.append(("machine.ini", None, "".join(l + "\r\n" for l in body)))
    elif verb == "registry-file":
        text = open(os.path.join(HERE, "bases", rest.strip()), encoding="latin-1").read()
        s.machine.append(("registry", None, text.split("\n", 1)[1]))
    else:
        raise ValueError(f"{s.path}:{lineno}: unknown directive {head}")


def read_scenarios(path):
    """Every scenario of a file, the file's opening directives applied first."""
    lines = open(path, encoding="latin-1").read().split("\n")
    blocks = _blocks(lines)
    shared = [b for b in blocks if not b[1].startswith("scenario:")]
    first = next((b[0] for b in blocks if b[1].startswith("scenario:")), None)
    shared = [b for b in shared if first is None or b[0] < first]
    out, cur = [], None
    for lineno, head, body, last in blocks:
        if head.startswith("scenario:"):
            cur = Scenario(path, head.split(":", 1)[1].strip(), lineno)
            for b in shared:
                _apply(cur, b[0], b[1], b[2], b[3])
            cur.blocks = {}  # only a scenario's own blocks are rewritten by --update
            out.append(cur)
        elif cur is not None:
            _apply(cur, lineno, head, body, last)
    return out


def read_base(name):
    """A base machine: "sample" (samples/machine-98 with samples/disc as D:),
    or tests/scenarios/bases/NAME.base, written in the scenario directives."""
    path = os.path.join(HERE, "bases", name + ".base")
    s = Scenario(path, name, 0)
    for lineno, head, body, last in _blocks(open(path, encoding="latin-1").read().split("\n")):
        _apply(s, lineno, head, body, last)
    return s


def _host(machine, windows_path):
    """The host path of a drive path, or of a share's (\\\\SERVER\\SHARE: machine/unc/SERVER/SHARE)."""
    if windows_path.startswith("\\\\"):
        cur, rest = os.path.join(machine, "unc"), windows_path[2:]
    else:
        cur, rest = os.path.join(machine, windows_path[0].lower()), windows_path[2:]
    parts = [p for p in rest.replace("/", "\\").split("\\") if p]
    for p in parts:
        found = None
        if os.path.isdir(cur):
            found = next((e for e in os.listdir(cur) if e.lower() == p.lower()), None)
        cur = os.path.join(cur, found or p)
    return cur


def build_machine(scenario, machine):
    """Writes the scenario's computer into the (new) folder `machine`: its
    bases in turn, then its own lines."""
    chain, base = [], scenario.base
    while base and base != "sample":
        b = read_base(base)
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
                with open(host, "wb") as f:
                    f.write(data.encode("latin-1"))
            elif verb == "dir":
                os.makedirs(host, exist_ok=True)
            elif verb == "remove":
                shutil.rmtree(host) if os.path.isdir(host) else os.remove(host)
            elif verb == "read-only":
                os.chmod(host, os.stat(host).st_mode & ~(stat.S_IWUSR | stat.S_IWGRP | stat.S_IWOTH))
            elif verb == "machine.ini":
                with open(os.path.join(machine, "machine.ini"), "wb") as f:
                    f.write(data.encode("latin-1"))
            elif verb == "registry":
                text = open(reg, "rb").read().decode("latin-1") if os.path.exists(reg) else "REGEDIT4\r\n"
                with open(reg, "wb") as f:
                    f.write((text + "\r\n" + data).encode("latin-1"))
    # Options of the bases apply unless the scenario sets them.
    for b in chain:
        for k, v in b.options.items():
            scenario.options.setdefault(k, v)


def setupsim_args(scenario, version):
    args = ["--windows", version]
    for k, v in scenario.options.items():
        args += ["--" + k, v]
    for k in ("window", "running", "act"):
        for v in scenario.repeated[k]:
            args += ["--" + k, v]
    return args + scenario.extra_args
