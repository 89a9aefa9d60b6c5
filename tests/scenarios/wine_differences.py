"""What a Wine run and a simulated run of the same scenario may differ in,
each difference named once. comparable() takes both runs to the lines they
must then agree on.

Differences that the Wine runner itself takes care of while it prepares the
prefix (the Windows version, WIN.INI kept a file on 9x, the stand-in
programs) are named in tools/wine/WineDifferences.cpp.
"""
import re


class Difference:
    def __init__(self, why, events=None, change=None, line=None):
        self.why = why
        self.events = events    # [event] -> [event], applied to both runs
        self.change = change    # report line -> line (None drops it), both runs
        self.line = line        # a line of a file afterwards -> its comparable form


def _unobservable(events):
    out, restarts = [], 0
    for e in events:
        if e.startswith(("pause ", "wait-cursor ", "ended ")):
            continue
        if e == "return false":
            e = "exit 0"
        if e == "restart":
            restarts += 1
            continue
        if e.startswith(("start ", "start-failed ")):
            e = re.sub(r" via=\w+$", "", e)
        out.append(e)
    end = len(out) - 1 if out and out[-1].startswith("exit ") else len(out)
    return out[:end] + ["restart"] * restarts + out[end:]


PROFILE = re.compile(r"\.(ini|inf)\b", re.I)


def _profile_change(line):
    if PROFILE.search(line) and line.startswith(("file added ", "file changed ")):
        return re.sub(r" \(\d+ bytes\)$", "", line)
    # A line of a profile file that is no key, as Wine writes it back.
    if line.startswith(("  - ", "  + ")):
        body = _profile_line(line[4:])
        return None if body == "" else line[:4] + body
    return line


def _profile_line(line):
    line = line.strip()
    if "=" in line and not line.startswith(";"):
        k, _, v = line.partition("=")
        line = k.strip() + "=" + v.strip()
    return line


SHORT_NAME = re.compile(r"(?<=[\\:])[^\\ .~]{1,6}~[0-9A-Z]{1,5}(?=[\\. ,\"]|$)", re.I)

FILE_LINE = re.compile(r"^(file added|file removed|file changed|folder added|folder removed|attribute changed|at restart:) (.*)$")


def _name_case(line):
    m = FILE_LINE.match(line)
    return m.group(1) + " " + m.group(2).lower() if m else line


KNOWN_DIFFERENCES = {
    "unobservable": Difference(
        "Pauses, the wait cursor, ended programs and how a program was started cannot be seen "
        "from outside the program; the framework's 'return false' ends it with code 0; Wine "
        "carries out a restart after the program has gone on, so only that it came is compared.",
        events=_unobservable),
    "short-names": Difference(
        "Wine makes 8.3 names by hashing (PROG~FBU), Windows by numbering (PROGRA~1): "
        "an 8.3 alias is compared as such, not letter by letter, and the letter case of the names in a "
        "short path (Windows 9x upper-cases them) does not count.",
        change=lambda l: SHORT_NAME.sub("<8.3>", l), line=lambda l: SHORT_NAME.sub("<8.3>", l).lower()),
    "name-case": Difference(
        "A file that a profile write creates is named as the caller spelt it on the simulated computer "
        "(WIN.INI) and in lower case by Wine (win.ini); names are the same without regard to case.",
        change=_name_case),
    "profile-rewrite": Difference(
        "A profile write under Wine rewrites the whole file (key=value, CR LF, no blank lines or "
        "indentation): profile files are compared by their sections and keys, not by size.",
        change=_profile_change, line=_profile_line),
}


def comparable(sim, sim_machine, wine, wine_machine):
    """Both runs' events and changes with every known difference taken out."""
    out = []
    for run in (sim, wine):
        events, changes = list(run["events"]), list(run["changes"])
        for d in KNOWN_DIFFERENCES.values():
            if d.events:
                events = d.events(events)
            if d.change:
                changes = [c for c in (d.change(c) for c in changes) if c is not None]
        out.append({"events": events, "changes": changes})
    return out


def line_form(line):
    """A line of a file afterwards, in the form both runs must agree on."""
    for d in KNOWN_DIFFERENCES.values():
        if d.line:
            line = d.line(line)
    return line
