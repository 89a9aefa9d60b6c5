#!/usr/bin/env python3
"""Checks that a built Setup.exe can start on Windows 95 and NT 4.0: reads the
program with pefile and its code with objdump and the assembler of the same
binutils, prints one line per check.
Exit status 0: all passed, 1: one failed, 2: the file is no PE image."""

import argparse
import os
import re
import subprocess
import sys

import pefile

DATA = os.path.join(os.path.dirname(os.path.abspath(__file__)), "data")
MAX_BYTES = 32768
# check: header fields, the values both systems need, how the found values read
HEADER_RULES = [
    ("pe32-i386", "Machine Magic", (0x14C, 0x10B), "machine 0x%x, magic 0x%x"),
    ("subsystem", "Subsystem MajorSubsystemVersion MinorSubsystemVersion", (2, 4, 0), "subsystem %d, version %d.%d"),
    ("os-version", "MajorOperatingSystemVersion MinorOperatingSystemVersion", (4, 0), "%d.%d"),
    ("image-base", "ImageBase", (0x400000,), "0x%x"),
    ("dll-flags", "DllCharacteristics", (0,), "0x%x"),
    ("alignment", "SectionAlignment FileAlignment", (0x1000, 0x200), "0x%x / 0x%x"),
]
FORBIDDEN_DIRECTORIES = {"TLS": "TLS", "LOAD_CONFIG": "load configuration", "BOUND_IMPORT": "bound imports",
                         "DELAY_IMPORT": "delay imports"}

INSN_RE = re.compile(r"^\s*([0-9a-f]+):\s+(.*)$")
# A direct call or jump, as objdump prints it for a program without symbols.
BRANCH_RE = re.compile(r"^(?:call|jmp|j[a-z]+|loop[a-z]*)\s+(?:0x)?([0-9a-f]+)(?:\s+<[^>]*>)?$")


def kind(directory):
    return directory.name.replace("IMAGE_DIRECTORY_ENTRY_", "")


def executable_section(pe, rva):
    s = pe.get_section_by_rva(rva)
    return s if s is not None and s.IMAGE_SCN_MEM_EXECUTE else None


def data_in_code(pe):
    """VA range [start, end) of the data that the program's layout puts after
    the code (import tables, constructor lists, read-only data), or None: from
    the first table a directory points into (the security one holds a file
    offset, not an address)."""
    oh = pe.OPTIONAL_HEADER
    text = executable_section(pe, oh.AddressOfEntryPoint)
    if text is None:
        return None
    end = text.VirtualAddress + min(text.Misc_VirtualSize, text.SizeOfRawData)
    starts = [d.VirtualAddress for d in oh.DATA_DIRECTORY if d.Size and kind(d) != "SECURITY"
              and text.VirtualAddress <= d.VirtualAddress < end]
    return (oh.ImageBase + min(starts), oh.ImageBase + end) if starts else None


def load_function_list(name):
    with open(os.path.join(DATA, name), encoding="utf-8") as f:
        return {dll.upper() + "!" + func for dll, _, func in
                (line.strip().partition("!") for line in f if line.strip()[:1] not in ("", "#"))}


def check_headers(pe, size):
    oh = pe.OPTIONAL_HEADER
    yield "size", size <= MAX_BYTES, "%d bytes of %d" % (size, MAX_BYTES)
    for check, fields, wanted, shown in HEADER_RULES:
        found = tuple(getattr(oh if hasattr(oh, f) else pe.FILE_HEADER, f) for f in fields.split())
        yield check, found == wanted, shown % found
    present = [FORBIDDEN_DIRECTORIES[kind(d)] for d in oh.DATA_DIRECTORY
               if kind(d) in FORBIDDEN_DIRECTORIES and (d.VirtualAddress or d.Size)]
    yield "directories", not present, ", ".join(present) or "none of TLS, load configuration, bound or delay imports"
    s = executable_section(pe, oh.AddressOfEntryPoint)
    yield "entry-point", s is not None, "0x%x in %s" % (
        oh.AddressOfEntryPoint, s.Name.rstrip(b"\0").decode("latin-1") if s else "no executable section")
    resources = sum(d.Size for d in oh.DATA_DIRECTORY if kind(d) == "RESOURCE")
    yield "resources", resources > 0, "%d bytes" % resources


def check_imports(pe):
    try:
        pe.parse_data_directories(directories=[pefile.DIRECTORY_ENTRY["IMAGE_DIRECTORY_ENTRY_IMPORT"]])
    except (pefile.PEFormatError, ValueError) as e:
        yield "imports", False, "unreadable import table: %s" % e
        return
    imports = [(entry.dll.decode("latin-1").upper(), imp.name.decode("latin-1") if imp.name else "#%d" % imp.ordinal,
                imp.import_by_ordinal, entry.struct.TimeDateStamp != 0)
               for entry in getattr(pe, "DIRECTORY_ENTRY_IMPORT", []) for imp in entry.imports]
    allowed, stubs = load_function_list("win95-imports-allowlist.txt"), load_function_list("win95-stubs.txt")
    problems = [] if imports else ["no imports at all"]
    for dll, name, by_ordinal, bound in imports:
        key = dll + "!" + name
        # The list holds the functions of KERNEL32, USER32, GDI32 and ADVAPI32 alone.
        why = ("imported by ordinal" if by_ordinal else "only a stub on Windows 95" if key in stubs
               else "not exported by both Windows 95 and NT 4.0" if key not in allowed else None)
        problems += ["%s: %s" % (key, w) for w in (why, bound and "bound") if w]
    yield "imports", not problems, "; ".join(problems) or "%d functions" % len(imports)


def forbidden_instructions(texts, assembler):
    """{index: why} of the disassembled instructions that a 486 cannot run:
    those the assembler refuses for an i486 with its FPU, and cpuid and rsm,
    which it takes though not every 486 has them."""
    # objdump's %eiz (no index) is unknown to the assembler; a branch target
    # shown with a symbol is written in hexadecimal.
    source = "".join(re.sub(r" (?:0x)?([0-9a-f]+) <.*>$", r" 0x\1", t.replace(",%eiz,1", "")) + "\n" for t in texts)
    run = subprocess.run([assembler, "--32", "-march=i486+387", "-o", os.devnull], input=source,
                         capture_output=True, text=True)
    why = {int(n) - 1: m for n, m in re.findall(r"^[^:\n]*:(\d+): Error: (.*)", run.stderr, re.M)}
    if run.returncode and not why:
        raise OSError("%s failed: %s" % (assembler, run.stderr.strip()))
    return {**why, **{i: "not on every 486" for i, t in enumerate(texts) if re.search(r"\b(cpuid|rsm)\b", t)}}


def check_instructions(pe, path, objdump):
    """Every instruction of the code is one a 486 has. The data at the end of
    the code section is not read as instructions, and no branch may lead into
    it, so that no code escapes the check there. The assembler is the one
    beside objdump."""
    skip = data_in_code(pe) or (0, 0)
    inside = lambda va: skip[0] <= va < skip[1]  # noqa: E731
    entry = pe.OPTIONAL_HEADER.ImageBase + pe.OPTIONAL_HEADER.AddressOfEntryPoint
    problems = ["entry point 0x%x in the data after the code" % entry] if inside(entry) else []
    try:
        out = subprocess.run([objdump, "-d", "--no-show-raw-insn", path], check=True,
                             capture_output=True, text=True).stdout
        code = [(int(m.group(1), 16), m.group(2).strip()) for m in map(INSN_RE.match, out.splitlines())
                if m and not inside(int(m.group(1), 16))]
        forbidden = forbidden_instructions([text for _, text in code], os.path.join(os.path.dirname(objdump), os.path.basename(objdump).replace("objdump", "as")))
    except (OSError, subprocess.CalledProcessError) as e:
        yield "instructions", False, "cannot disassemble and check with %s: %s" % (objdump, e)
        return
    for i, (address, text) in enumerate(code):
        target = BRANCH_RE.match(text)
        why = forbidden.get(i) or (
            target and inside(int(target.group(1), 16)) and "branch into the data after the code")
        if why:
            problems.append("0x%x %s: %s" % (address, text, why))
    problems += [] if code else ["no instructions found"]
    more = " (and %d more)" % (len(problems) - 8) if len(problems) > 8 else ""
    yield "instructions", not problems, ("; ".join(problems[:8]) + more) or "%d instructions, i486 only" % len(code)


def check_file(path, objdump="i686-w64-mingw32-objdump"):
    """Runs every check; returns [(check, ok, detail)]. Raises
    pefile.PEFormatError or OSError when the file is not a PE image."""
    pe = pefile.PE(path, fast_load=True)
    return [*check_headers(pe, os.path.getsize(path)), *check_imports(pe), *check_instructions(pe, path, objdump)]


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("exe")
    parser.add_argument("--objdump", default="i686-w64-mingw32-objdump")
    args = parser.parse_args(argv)
    try:
        results = check_file(args.exe, args.objdump)
    except (pefile.PEFormatError, OSError) as e:
        print("FAIL %s: %s" % (args.exe, e))
        return 2
    for check, ok, detail in results:
        print("%-4s %-13s %s" % ("ok" if ok else "FAIL", check, detail))
    return 1 if any(not ok for _, ok, _ in results) else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
