#!/usr/bin/env python3
"""Checks that a built Setup.exe can start on Windows 95 and NT 4.0.

Reads the PE headers, the import table and the machine code of the program
and reports one line per check:

  pe32-i386         PE32 image for the i386
  subsystem         Windows GUI, subsystem version 4.0 (Windows 95 refuses 5.x)
  os-version        operating system version 4.0
  image-base        0x400000 (Windows 9x does not relocate programs)
  dll-flags         DllCharacteristics 0 (no dynamic base, NX, high entropy)
  alignment         sections 0x1000, file 0x200
  directories       no TLS, load configuration, bound or delay imports
  entry-point       the entry point lies in an executable section
  resources         the program carries its resources
  imports           by name only, from KERNEL32/USER32/GDI32/ADVAPI32, every
                    function on the Windows 95/NT 4.0 list, none on the list
                    of functions Windows 95 exports but does not implement
  instructions      no instruction a 486 lacks (disassembled with objdump; the
                    import tables and read-only data after the code are
                    data, and no branch may lead into them)

Exit status: 0 when every check passes, 1 when one fails, 2 when the file
cannot be read or disassembled. Needs python3-pefile and binutils.
"""

import argparse
import os
import re
import struct
import subprocess
import sys

import pefile

HERE = os.path.dirname(os.path.abspath(__file__))
DEFAULT_ALLOWLIST = os.path.join(HERE, "data", "win95-imports-allowlist.txt")
DEFAULT_STUBS = os.path.join(HERE, "data", "win95-stubs.txt")

ALLOWED_DLLS = ("KERNEL32.DLL", "USER32.DLL", "GDI32.DLL", "ADVAPI32.DLL")

IMAGE_FILE_MACHINE_I386 = 0x14C
PE32_MAGIC = 0x10B
PE32PLUS_MAGIC = 0x20B
SUBSYSTEM_WINDOWS_GUI = 2
SCN_MEM_EXECUTE = 0x20000000
SCN_CNT_CODE = 0x00000020

DIR_IMPORT = 1
DIR_RESOURCE = 2
DIR_SECURITY = 4  # a file offset, not an address
DIR_TLS = 9
DIR_LOAD_CONFIG = 10
DIR_BOUND_IMPORT = 11
DIR_DELAY_IMPORT = 13
FORBIDDEN_DIRECTORIES = {
    DIR_TLS: "TLS",
    DIR_LOAD_CONFIG: "load configuration",
    DIR_BOUND_IMPORT: "bound imports",
    DIR_DELAY_IMPORT: "delay imports",
}

# Instructions a 486 does not have, by mnemonic (AT&T syntax as objdump
# prints it, size suffixes included). MMX/SSE/AVX instructions are also
# caught by their registers below; these are the ones that name none.
FORBIDDEN_MNEMONICS = [
    (r"cmov\w+", "conditional move (Pentium Pro)"),
    (r"fcmov\w+", "x87 conditional move (Pentium Pro)"),
    (r"fu?comip?", "x87 compare into EFLAGS (Pentium Pro)"),
    (r"cmpxchg(8|16)b", "cmpxchg8b (Pentium)"),
    (r"rdtscp?", "time-stamp counter (Pentium)"),
    (r"rdpmc", "performance counter (Pentium Pro)"),
    (r"rdmsr|wrmsr", "model-specific register (Pentium)"),
    (r"sysenter|sysexit|syscall|sysret", "fast system call (Pentium II)"),
    (r"cpuid", "cpuid (not on every 486)"),
    (r"rsm", "system management mode"),
    (r"endbr(32|64)", "control-flow marker (hint NOP space)"),
    (r"[lms]fence", "memory fence (SSE)"),
    (r"clflush\w*|clwb|clzero", "cache-line flush (SSE2)"),
    (r"prefetch\w*", "prefetch (SSE/3DNow!)"),
    (r"movnti", "non-temporal store (SSE2)"),
    (r"fxsave\w*|fxrstor\w*|xsave\w*|xrstor\w*|xgetbv|xsetbv", "extended state save"),
    (r"ldmxcsr|stmxcsr", "SSE control register"),
    (r"f?emms", "MMX state"),
    (r"fisttp\w*", "fisttp (SSE3)"),
    (r"popcnt\w*|lzcnt\w*|tzcnt\w*|movbe\w*|crc32\w*", "newer integer instruction"),
    (r"andn|bextr|blsi|blsmsk|blsr|bzhi|mulx|pdep|pext|rorx|sarx|shlx|shrx", "BMI"),
    (r"rdrand|rdseed|rdpid|rdfsbase|rdgsbase|wrfsbase|wrgsbase", "newer system instruction"),
]
FORBIDDEN_RE = re.compile(r"^(?:%s)$" % "|".join("(?:%s)" % p for p, _ in FORBIDDEN_MNEMONICS))
VECTOR_REGISTER_RE = re.compile(r"%(?:mm[0-7]|[xyz]mm\d+|k[0-7])\b")
PREFIXES = {"lock", "rep", "repz", "repe", "repnz", "repne", "data16", "data32", "addr16",
            "addr32", "cs", "ds", "es", "fs", "gs", "ss", "bnd", "notrack", "xacquire",
            "xrelease", "rex", "rex.w"}
INSN_RE = re.compile(r"^\s*([0-9a-f]+):\s+(.*)$")
# A direct call or jump, as objdump prints it for a program without symbols.
BRANCH_RE = re.compile(r"^(?:call|jmp|j[a-z]+|loop[a-z]*)\s+(?:0x)?([0-9a-f]+)(?:\s+<[^>]*>)?$")


class PeError(Exception):
    pass


class PeImage:
    """The headers, sections, import table and bytes of a PE file, read with
    pefile."""

    def __init__(self, data):
        self.data = data
        try:
            pe = pefile.PE(data=data, fast_load=True)
            pe.parse_data_directories(
                directories=[pefile.DIRECTORY_ENTRY["IMAGE_DIRECTORY_ENTRY_IMPORT"]])
        except pefile.PEFormatError as e:
            raise PeError(str(e))
        fh, oh = pe.FILE_HEADER, pe.OPTIONAL_HEADER
        self.machine, self.magic = fh.Machine, oh.Magic
        self.pointer_size = 8 if oh.Magic == PE32PLUS_MAGIC else 4
        self.entry_point, self.image_base = oh.AddressOfEntryPoint, oh.ImageBase
        self.section_alignment, self.file_alignment = oh.SectionAlignment, oh.FileAlignment
        self.os_major, self.os_minor = oh.MajorOperatingSystemVersion, oh.MinorOperatingSystemVersion
        self.subsystem_major, self.subsystem_minor = oh.MajorSubsystemVersion, oh.MinorSubsystemVersion
        self.subsystem, self.dll_characteristics = oh.Subsystem, oh.DllCharacteristics
        self.directories = [(d.VirtualAddress, d.Size) for d in oh.DATA_DIRECTORY][:16]
        self.directories += [(0, 0)] * (16 - len(self.directories))
        self.sections = [{"name": sec.Name.rstrip(b"\0").decode("latin-1"), "vsize": sec.Misc_VirtualSize,
                          "va": sec.VirtualAddress, "raw_size": sec.SizeOfRawData,
                          "raw_ptr": sec.PointerToRawData, "flags": sec.Characteristics}
                         for sec in pe.sections]
        self._pe = pe

    def section_of(self, rva):
        for s in self.sections:
            if s["va"] <= rva < s["va"] + max(s["vsize"], s["raw_size"]):
                return s
        return None

    def imports(self):
        """[(dll, name or None, ordinal or None, bound)] in table order."""
        result = []
        for entry in getattr(self._pe, "DIRECTORY_ENTRY_IMPORT", []):
            dll = entry.dll.decode("latin-1")
            for imp in entry.imports:
                result.append((dll, imp.name.decode("latin-1") if imp.name else None,
                               imp.ordinal if imp.import_by_ordinal else None,
                               entry.struct.TimeDateStamp != 0))
        return result

    def code_section(self):
        """The section the entry point lies in (.text), or None."""
        s = self.section_of(self.entry_point)
        return s if s is not None and (s["flags"] & SCN_MEM_EXECUTE) else None

    def data_in_code(self):
        """VA range [start, end) of the data at the end of the code section,
        or None. The program's own layout (cmake/SetupImage.ld.in) puts the
        code first and the import tables, constructor lists and read-only data
        after it, so the data starts at the first table a directory points
        into. In the linker's default layout only the -1 ... 0 constructor
        and destructor lists end the section."""
        text = self.code_section()
        if text is None:
            return None
        end = text["va"] + min(text["vsize"], text["raw_size"])
        starts = [rva for i, (rva, size) in enumerate(self.directories)
                  if size and i != DIR_SECURITY and text["va"] <= rva < end]
        if starts:
            return (self.image_base + min(starts), self.image_base + end)
        return self.constructor_lists(text)

    def constructor_lists(self, text):
        """VA range [start, end) of the -1 ... 0 constructor and destructor
        lists that the linker's default layout puts at the end of .text, or
        None."""
        ws = self.pointer_size
        fmt = "<I" if ws == 4 else "<Q"
        all_ones = (1 << (8 * ws)) - 1
        end = min(text["vsize"], text["raw_size"]) // ws * ws
        base = text["raw_ptr"]

        def word(i):
            return struct.unpack_from(fmt, self.data, base + i)[0]

        def is_code_address(value):
            s = self.section_of(value - self.image_base) if value >= self.image_base else None
            return s is not None and (s["flags"] & SCN_MEM_EXECUTE) != 0

        def list_before(stop):
            """Start of a -1, entries..., 0 list whose 0 word is at stop."""
            if stop < 0 or word(stop) != 0:
                return None
            i = stop - ws
            while i >= 0:
                value = word(i)
                if value == all_ones:
                    return i
                if not is_code_address(value):
                    return None
                i -= ws
            return None

        dtors = list_before(end - ws)
        if dtors is None:
            return None
        ctors = list_before(dtors - ws)
        if ctors is None:
            return None
        start_va = self.image_base + text["va"] + ctors
        return (start_va, self.image_base + text["va"] + end)


def load_function_list(path):
    names = set()
    with open(path, encoding="utf-8") as f:
        for line in f:
            line = line.strip()
            if line and not line.startswith("#"):
                dll, _, func = line.partition("!")
                names.add(dll.upper() + "!" + func)
    return names


class Report:
    def __init__(self):
        self.results = []  # (check, ok, detail)

    def add(self, check, ok, detail=""):
        self.results.append((check, ok, detail))

    def failed(self):
        return [c for c, ok, _ in self.results if not ok]

    def text(self):
        lines = []
        for check, ok, detail in self.results:
            lines.append("%-4s %-13s %s" % ("ok" if ok else "FAIL", check, detail))
        return "\n".join(lines)


def check_headers(pe, report):
    report.add("pe32-i386", pe.machine == IMAGE_FILE_MACHINE_I386 and pe.magic == PE32_MAGIC,
               "machine 0x%x, magic 0x%x" % (pe.machine, pe.magic))
    report.add("subsystem", pe.subsystem == SUBSYSTEM_WINDOWS_GUI
               and (pe.subsystem_major, pe.subsystem_minor) == (4, 0),
               "subsystem %d, version %d.%d" % (pe.subsystem, pe.subsystem_major,
                                                pe.subsystem_minor))
    report.add("os-version", (pe.os_major, pe.os_minor) == (4, 0),
               "%d.%d" % (pe.os_major, pe.os_minor))
    report.add("image-base", pe.image_base == 0x400000, "0x%x" % pe.image_base)
    report.add("dll-flags", pe.dll_characteristics == 0, "0x%x" % pe.dll_characteristics)
    report.add("alignment", (pe.section_alignment, pe.file_alignment) == (0x1000, 0x200),
               "0x%x / 0x%x" % (pe.section_alignment, pe.file_alignment))
    present = [name for index, name in sorted(FORBIDDEN_DIRECTORIES.items())
               if pe.directories[index] != (0, 0)]
    report.add("directories", not present, ", ".join(present) or "none of TLS, load "
               "configuration, bound or delay imports")
    s = pe.section_of(pe.entry_point)
    report.add("entry-point", s is not None and (s["flags"] & SCN_MEM_EXECUTE) != 0,
               "0x%x in %s" % (pe.entry_point, s["name"] if s else "no section"))
    report.add("resources", pe.directories[DIR_RESOURCE][1] > 0,
               "%d bytes" % pe.directories[DIR_RESOURCE][1])


def check_imports(pe, report, allowed, stubs):
    problems = []
    try:
        imports = pe.imports()
    except (PeError, struct.error) as e:
        report.add("imports", False, "unreadable import table: %s" % e)
        return []
    for dll, name, ordinal, bound in imports:
        key = dll.upper() + "!" + (name if name is not None else "#%d" % ordinal)
        if dll.upper() not in ALLOWED_DLLS:
            problems.append("%s: DLL not allowed" % key)
        elif name is None:
            problems.append("%s: imported by ordinal" % key)
        elif key in stubs:
            problems.append("%s: only a stub on Windows 95" % key)
        elif key not in allowed:
            problems.append("%s: not exported by both Windows 95 and NT 4.0" % key)
        if bound:
            problems.append("%s: bound" % key)
    if not imports:
        problems.append("no imports at all")
    report.add("imports", not problems,
               "; ".join(problems) if problems else "%d functions" % len(imports))
    return imports


def disassemble(path, objdump):
    out = subprocess.run([objdump, "-d", "--no-show-raw-insn", path], check=True,
                         stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                         universal_newlines=True).stdout
    for line in out.splitlines():
        m = INSN_RE.match(line)
        if m:
            yield int(m.group(1), 16), m.group(2).strip()


def forbidden_instruction(text):
    """Why a 486 cannot run the disassembled instruction, or None."""
    tokens = text.split()
    while tokens and tokens[0] in PREFIXES:
        tokens.pop(0)
    if not tokens:
        return None
    mnemonic = tokens[0]
    operands = " ".join(tokens[1:])
    if mnemonic == "(bad)":
        return "bytes that are no instruction"
    if FORBIDDEN_RE.match(mnemonic):
        for pattern, why in FORBIDDEN_MNEMONICS:
            if re.match(r"^(?:%s)$" % pattern, mnemonic):
                return why
    # 0F 1F multi-byte NOPs (Pentium Pro); a plain 0x90 nop has no operand.
    if mnemonic.startswith("nop") and operands:
        return "multi-byte NOP (Pentium Pro)"
    if VECTOR_REGISTER_RE.search(operands):
        return "MMX/SSE register"
    return None


def check_instructions(pe, path, objdump, report):
    """Every instruction of the code is one a 486 has. Data at the end of the
    code section is not read as instructions; no branch of the code may lead
    into it, so that no code escapes the check there."""
    skip = pe.data_in_code()
    problems = []
    count = 0
    if skip and skip[0] <= pe.image_base + pe.entry_point < skip[1]:
        problems.append("entry point 0x%x in the data after the code"
                        % (pe.image_base + pe.entry_point))
    try:
        for address, text in disassemble(path, objdump):
            if skip and skip[0] <= address < skip[1]:
                continue
            count += 1
            why = forbidden_instruction(text)
            if why:
                problems.append("0x%x %s: %s" % (address, text, why))
            target = BRANCH_RE.match(text)
            if skip and target and skip[0] <= int(target.group(1), 16) < skip[1]:
                problems.append("0x%x %s: branch into the data after the code" % (address, text))
    except (OSError, subprocess.CalledProcessError) as e:
        report.add("instructions", False, "cannot disassemble with %s: %s" % (objdump, e))
        return 0
    if count == 0:
        problems.append("no instructions found")
    detail = "; ".join(problems[:8]) + (" (and %d more)" % (len(problems) - 8)
                                        if len(problems) > 8 else "")
    report.add("instructions", not problems,
               detail if problems else "%d instructions, i486 only" % count)
    return count


def check_file(path, objdump="i686-w64-mingw32-objdump", allowlist=DEFAULT_ALLOWLIST,
               stubs=DEFAULT_STUBS):
    """Runs every check; returns (report, imports). Raises PeError/OSError
    when the file is not a PE image."""
    with open(path, "rb") as f:
        data = f.read()
    try:
        pe = PeImage(data)
    except struct.error as e:
        raise PeError("truncated headers: %s" % e)
    report = Report()
    check_headers(pe, report)
    imports = check_imports(pe, report, load_function_list(allowlist), load_function_list(stubs))
    check_instructions(pe, path, objdump, report)
    return report, imports


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("exe")
    parser.add_argument("--objdump", default="i686-w64-mingw32-objdump")
    parser.add_argument("--allowlist", default=DEFAULT_ALLOWLIST)
    parser.add_argument("--stubs", default=DEFAULT_STUBS)
    parser.add_argument("--list-imports", action="store_true",
                        help="also print every import as DLL!Function")
    args = parser.parse_args(argv)
    if not os.path.isfile(args.exe):
        print("FAIL %s does not exist: build it first (cmake --preset win32 && "
              "cmake --build --preset win32)" % args.exe)
        return 2
    try:
        report, imports = check_file(args.exe, args.objdump, args.allowlist, args.stubs)
    except (PeError, OSError) as e:
        print("FAIL %s: %s" % (args.exe, e))
        return 2
    if args.list_imports:
        for dll, name, ordinal, _ in imports:
            print("%s!%s" % (dll, name if name is not None else "#%d" % ordinal))
    print(report.text())
    return 1 if report.failed() else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
