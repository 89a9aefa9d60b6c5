"""What a Wine run and a simulated run of the same scenario may differ in, each difference named once.
comparable() takes both runs to the lines they must then agree on. What the Wine runner itself arranges in the
prefix (the Windows version, WIN.INI kept a file on 9x, the stand-in programs) is in tools/wine/WineDifferences.cpp.
"""
import re
from collections import namedtuple

# events: [event] -> [event]; change: report line -> line (None drops it); line: a file's line -> comparable form.
Difference = namedtuple("Difference", "why events change line", defaults=(lambda e: e, lambda c: c, lambda l: l))


def _unobservable(events):
    out = [re.sub(r" via=\w+$", "", "exit 0" if e == "return false" else e) for e in events
           if not e.startswith(("pause ", "wait-cursor ", "ended ")) and e != "restart"]
    end = len(out) - 1 if out and out[-1].startswith("exit ") else len(out)
    return out[:end] + ["restart"] * events.count("restart") + out[end:]


def _profile_line(line):
    line = line.strip()
    return line if line.startswith(";") else re.sub(r"\s*=\s*", "=", line, count=1)


def _profile_change(line):
    if re.search(r"\.(ini|inf)\b", line, re.I) and line.startswith(("file added ", "file changed ")):
        return re.sub(r" \(\d+ bytes\)$", "", line)
    if line.startswith(("  - ", "  + ")):  # a line of a profile file that is no key, as Wine writes it back
        body = _profile_line(line[4:])
        return None if body == "" else line[:4] + body
    return line


SHORT_NAME = re.compile(r"(?<=[\\:])[^\\ .~]{1,6}~[0-9A-Z]{1,5}(?=[\\. ,\"]|$)", re.I)
FILE_LINE = re.compile(r"^(file added|file removed|file changed|folder added|folder removed|attribute changed"
                       r"|at restart:) (.*)$")

KNOWN_DIFFERENCES = {
    "unobservable": Difference(
        "Pauses, the wait cursor, ended programs and how a program was started cannot be seen from outside the "
        "program; the framework's 'return false' ends it with code 0; Wine carries out a restart after the "
        "program has gone on, so only that it came is compared.",
        events=_unobservable),
    "short-names": Difference(
        "Wine makes 8.3 names by hashing (PROG~FBU), Windows by numbering (PROGRA~1): an 8.3 alias is compared "
        "as such, not letter by letter, and the letter case of the names in a short path (Windows 9x "
        "upper-cases them) does not count.",
        change=lambda l: SHORT_NAME.sub("<8.3>", l), line=lambda l: SHORT_NAME.sub("<8.3>", l).lower()),
    "name-case": Difference(
        "A file that a profile write creates is named as the caller spelt it on the simulated computer "
        "(WIN.INI) and in lower case by Wine (win.ini); names are the same without regard to case.",
        change=lambda l: FILE_LINE.sub(lambda m: m.group(1) + " " + m.group(2).lower(), l)),
    "profile-rewrite": Difference(
        "A profile write under Wine rewrites the whole file (key=value, CR LF, no blank lines or indentation): "
        "profile files are compared by their sections and keys, not by size.",
        change=_profile_change, line=_profile_line),
}


def comparable(run):
    """The run's events and changes with every known difference taken out."""
    events, changes = run["events"], run["changes"]
    for d in KNOWN_DIFFERENCES.values():
        events = d.events(events)
        changes = [c for c in map(d.change, changes) if c is not None]
    return {"events": events, "changes": changes}


def line_form(line):
    """A line of a file afterwards, in the form both runs must agree on."""
    for d in KNOWN_DIFFERENCES.values():
        line = d.line(line)
    return line
