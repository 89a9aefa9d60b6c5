#!/usr/bin/env python3
"""Proves that the Windows 95 check can fail: each row patches a copy of the
built Setup.exe (SETUP_WIN32_EXE) so that its check fails for the reason named.
PECHECK_OBJDUMP: the i686 objdump, with the assembler beside it."""

import os
import pathlib
import struct
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools", "pecheck"))
import pecheck  # noqa: E402
import pefile  # noqa: E402

EXE = os.environ.get("SETUP_WIN32_EXE", "")
OBJDUMP = os.environ.get("PECHECK_OBJDUMP", "i686-w64-mingw32-objdump")


def header(name, value):
    return lambda pe: setattr(pe.FILE_HEADER if name == "Machine" else pe.OPTIONAL_HEADER, name, value)


def directories(size, *indexes):
    def patch(pe):
        for i in indexes:
            pe.OPTIONAL_HEADER.DATA_DIRECTORY[i].VirtualAddress = 0x1000 if size else 0
            pe.OPTIONAL_HEADER.DATA_DIRECTORY[i].Size = size
    return patch


def rename(old, new):
    def patch(pe):
        pos = bytes(pe.__data__).find(old + b"\0")
        assert pos > 0 and len(old) == len(new), old
        pe.set_bytes_at_offset(pos, new)
    return patch


def imports_rva(pe):
    return pe.OPTIONAL_HEADER.DATA_DIRECTORY[1].VirtualAddress


def at_entry(code):
    return lambda pe: pe.set_bytes_at_rva(pe.OPTIONAL_HEADER.AddressOfEntryPoint, code)


def call_into_imports(pe):
    """A call at the entry point to the import directory, which the program's layout puts after the code."""
    entry = pe.OPTIONAL_HEADER.AddressOfEntryPoint
    pe.set_bytes_at_rva(entry, b"\xe8" + struct.pack("<i", imports_rva(pe) - entry - 5))


# (what is broken, patch of the parsed program, check that must fail, words of its reason)
ROWS = [
    ("dynamic base and NX", header("DllCharacteristics", 0x0140), "dll-flags", "0x140"),
    ("subsystem version 5.0", header("MajorSubsystemVersion", 5), "subsystem", "5.0"),
    ("console subsystem", header("Subsystem", 3), "subsystem", "subsystem 3"),
    ("OS version 5.0", header("MajorOperatingSystemVersion", 5), "os-version", "5.0"),
    ("DLL-style image base", header("ImageBase", 0x10000000), "image-base", "0x10000000"),
    ("file alignment 0x1000", header("FileAlignment", 0x1000), "alignment", "0x1000 / 0x1000"),
    ("x86_64 machine", header("Machine", 0x8664), "pe32-i386", "0x8664"),
    ("entry point outside the code", header("AddressOfEntryPoint", 0), "entry-point", "no executable"),
    ("TLS, load configuration, bound and delay imports", directories(0x40, 9, 10, 11, 13), "directories",
     "TLS, load configuration, bound imports, delay imports"),
    ("no resources", directories(0, 2), "resources", "0 bytes"),
    ("a stub on Windows 95", rename(b"GetVersionExA", b"GetVersionExW"), "imports",
     "KERNEL32.DLL!GetVersionExW: only a stub"),
    ("a function not on the list", rename(b"ReadFile", b"ReadFilX"), "imports", "KERNEL32.DLL!ReadFilX: not exported"),
    ("a C runtime DLL", rename(b"USER32.dll", b"MSVCRT.dll"), "imports", "MSVCRT.DLL!"),
    ("an import by ordinal", lambda pe: pe.set_dword_at_rva(pe.get_dword_at_rva(imports_rva(pe)), 0x80000001),
     "imports", "by ordinal"),
    # An instruction the assembler refuses for a 486 (more are checked below).
    ("cmov", at_entry(b"\x0f\x44\xc0"), "instructions", "`cmove' is not supported"),
    ("code after the code's end", call_into_imports, "instructions", "branch into the data"),
    ("entry point in the data", lambda pe: header("AddressOfEntryPoint", imports_rva(pe))(pe),
     "instructions", "in the data after the code"),
]

# Disassembled instructions (as objdump prints them) that a 486 lacks, and ones it has.
FORBIDDEN = ["cmovne %eax,%ebx", "fcmovb %st(1),%st", "fcomi  %st(1),%st", "fucomip %st(1),%st", "rdtsc", "cpuid",
             "lock cmpxchg8b (%esi)", "sysenter", "syscall", "endbr32", "nopw 0x0(%eax,%eax,1)", "nopl 0x0(%eax)",
             "pxor %mm0,%mm0", "movq   %mm1,%mm0", "movss (%eax),%xmm0", "emms", "sfence", "prefetchnta (%eax)",
             "popcnt %eax,%ebx", "(bad)", "rsm"]
ALLOWED = ["nop", "rep stos %al,%es:(%edi)", "bswap %eax", "lock cmpxchg %ecx,(%edx)", "xadd %eax,(%ebx)", "fsin",
           "fucompp", "movl $0x0,(%eax)", "call *0x404160", "lea 0x0(%esi,%eiz,1),%esi",
           "call   40a1b0 <_Pick>"]


def run_checks(path):
    return {check: (ok, detail) for check, ok, detail in pecheck.check_file(path, OBJDUMP)}


class WindowsNinetyFiveCheck(unittest.TestCase):
    def setUp(self):
        self.tmp = self.enterContext(tempfile.TemporaryDirectory(prefix="pecheck"))

    def write(self, name, data):
        path = os.path.join(self.tmp, name)
        pathlib.Path(path).write_bytes(data)
        return path

    def test_each_patch_fails_its_check(self):
        self.assertTrue(os.path.isfile(EXE), "SETUP_WIN32_EXE=%r: build the win32 preset" % EXE)
        baseline = run_checks(EXE)
        original = pathlib.Path(EXE).read_bytes()
        for name, patch, check, reason in ROWS:
            with self.subTest(name):
                self.assertTrue(baseline[check][0], "%s already fails on the real program" % check)
                pe = pefile.PE(data=original, fast_load=True)
                patch(pe)
                ok, detail = run_checks(self.write("patched.exe", pe.write()))[check]
                self.assertFalse(ok, "%s passed %s" % (check, name))
                self.assertIn(reason, detail)
        big = self.write("big.exe", original + b"\0" * 32768)
        self.assertEqual((True, False), (baseline["size"][0], run_checks(big)["size"][0]))
        self.assertEqual(1, pecheck.main(["--objdump", OBJDUMP, big]))
        self.assertEqual(2, pecheck.main([os.path.join(self.tmp, "missing.exe")]))
        self.assertEqual(2, pecheck.main([self.write("mz.exe", b"MZ" + b"\0" * 100)]))

    def test_instructions_a_486_lacks(self):
        found = pecheck.forbidden_instructions(FORBIDDEN + ALLOWED, OBJDUMP.replace("objdump", "as"))
        self.assertEqual(set(range(len(FORBIDDEN))), set(found), [(FORBIDDEN + ALLOWED)[i] for i in found])


if __name__ == "__main__":
    unittest.main()
