#!/usr/bin/env python3
"""Proves that the Windows 95 check can fail.

Each row patches one header field, import or instruction of a copy of the
built Setup.exe (with pefile) and expects exactly that check to turn from ok to FAIL with
the reason named; a tiny program built with the compiler's defaults must fail
the checks a C-runtime program breaks. Environment: SETUP_WIN32_EXE (the
program), PECHECK_OBJDUMP and PECHECK_CC (i686 binutils and gcc).
"""

import os
import shutil
import struct
import subprocess
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import pecheck  # noqa: E402
import pefile  # noqa: E402

EXE = os.environ.get("SETUP_WIN32_EXE", "")
OBJDUMP = os.environ.get("PECHECK_OBJDUMP", "i686-w64-mingw32-objdump")
CC = os.environ.get("PECHECK_CC", "i686-w64-mingw32-gcc")

def field(header, name, value):
    return lambda pe: setattr(getattr(pe, header), name, value)


def directory(index, rva=None, size=None):
    def patch(pe):
        d = pe.OPTIONAL_HEADER.DATA_DIRECTORY[index]
        d.VirtualAddress = d.VirtualAddress if rva is None else rva
        d.Size = d.Size if size is None else size
    return patch


def rename(old, new):
    assert len(old) == len(new)

    def patch(pe):
        pos = bytes(pe.__data__).find(old + b"\0")
        assert pos > 0, "%r not found in the program" % old
        pe.set_bytes_at_offset(pos, new)
    return patch


def imports_rva(pe):
    return pe.OPTIONAL_HEADER.DATA_DIRECTORY[pecheck.DIR_IMPORT].VirtualAddress


def first_lookup_by_ordinal(pe):
    pe.set_dword_at_rva(pe.get_dword_at_rva(imports_rva(pe)), 0x80000001)


def code_at_entry(code):
    return lambda pe: pe.set_bytes_at_rva(pe.OPTIONAL_HEADER.AddressOfEntryPoint, code)


def call_at_entry_into_imports(pe):
    """A call from the entry point to the import directory, which the
    program's layout puts after the code."""
    entry = pe.OPTIONAL_HEADER.AddressOfEntryPoint
    code_at_entry(b"\xe8" + struct.pack("<i", imports_rva(pe) - (entry + 5)))(pe)


def entry_at_imports(pe):
    pe.OPTIONAL_HEADER.AddressOfEntryPoint = imports_rva(pe)


# (what is broken, patch of the parsed program, check that must fail, words its reason must hold)
ROWS = [
    ("dynamic base and NX", field("OPTIONAL_HEADER", "DllCharacteristics", 0x0140), "dll-flags", "0x140"),
    ("subsystem version 5.0", field("OPTIONAL_HEADER", "MajorSubsystemVersion", 5), "subsystem", "5.0"),
    ("console subsystem", field("OPTIONAL_HEADER", "Subsystem", 3), "subsystem", "subsystem 3"),
    ("OS version 5.0", field("OPTIONAL_HEADER", "MajorOperatingSystemVersion", 5), "os-version", "5.0"),
    ("DLL-style image base", field("OPTIONAL_HEADER", "ImageBase", 0x10000000), "image-base",
     "0x10000000"),
    ("file alignment 0x1000", field("OPTIONAL_HEADER", "FileAlignment", 0x1000), "alignment",
     "0x1000 / 0x1000"),
    ("x86_64 machine", field("FILE_HEADER", "Machine", 0x8664), "pe32-i386", "0x8664"),
    ("TLS directory", directory(9, 0x1000, 0x18), "directories", "TLS"),
    ("delay imports", directory(13, size=0x40), "directories", "delay imports"),
    ("load configuration", directory(10, size=0x40), "directories", "load configuration"),
    ("a stub on Windows 95", rename(b"GetVersionExA", b"GetVersionExW"), "imports",
     "KERNEL32.DLL!GetVersionExW: only a stub"),
    ("a function not on the list", rename(b"ReadFile", b"ReadFilX"), "imports",
     "KERNEL32.DLL!ReadFilX: not exported"),
    ("a C runtime DLL", rename(b"USER32.dll", b"MSVCRT.dll"), "imports", "DLL not allowed"),
    ("an import by ordinal", first_lookup_by_ordinal, "imports", "by ordinal"),
    ("cmov", code_at_entry(b"\x0f\x44\xc0"), "instructions", "conditional move"),
    ("fcomi", code_at_entry(b"\xdb\xf1"), "instructions", "x87 compare"),
    ("cmpxchg8b", code_at_entry(b"\x0f\xc7\x0e"), "instructions", "cmpxchg8b"),
    ("rdtsc", code_at_entry(b"\x0f\x31"), "instructions", "time-stamp"),
    ("cpuid", code_at_entry(b"\x0f\xa2"), "instructions", "cpuid"),
    ("sysenter", code_at_entry(b"\x0f\x34"), "instructions", "fast system call"),
    ("SSE movaps", code_at_entry(b"\x0f\x28\xc1"), "instructions", "MMX/SSE register"),
    ("MMX movq", code_at_entry(b"\x0f\x6f\xc1"), "instructions", "MMX/SSE register"),
    ("SSE sfence", code_at_entry(b"\x0f\xae\xf8"), "instructions", "memory fence"),
    ("multi-byte NOP", code_at_entry(b"\x0f\x1f\x00"), "instructions", "multi-byte NOP"),
    ("code after the code's end", call_at_entry_into_imports, "instructions",
     "branch into the data"),
    ("entry point in the data", entry_at_imports, "instructions", "in the data after the code"),
]


def patched(original, patch):
    pe = pefile.PE(data=original, fast_load=True)
    patch(pe)
    return pe.write()


def run_checks(path):
    report, _ = pecheck.check_file(path, OBJDUMP)
    return {check: (ok, detail) for check, ok, detail in report.results}


class PatchedSetupExe(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        if not os.path.isfile(EXE):
            raise AssertionError("SETUP_WIN32_EXE=%r does not exist: build the win32 preset" % EXE)
        with open(EXE, "rb") as f:
            cls.original = f.read()
        cls.baseline = run_checks(EXE)
        cls.tmp = tempfile.mkdtemp(prefix="pecheck")

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.tmp, ignore_errors=True)

    def test_each_patch_fails_its_check(self):
        for name, patch, check, reason in ROWS:
            with self.subTest(name):
                self.assertTrue(self.baseline[check][0],
                                "%s already fails on the real program" % check)
                data = patched(self.original, patch)
                path = os.path.join(self.tmp, "patched.exe")
                with open(path, "wb") as f:
                    f.write(data)
                ok, detail = run_checks(path)[check]
                self.assertFalse(ok, "%s passed %s" % (check, name))
                self.assertIn(reason, detail)

    def test_exit_status(self):
        data = patched(self.original, ROWS[0][1])
        path = os.path.join(self.tmp, "status.exe")
        with open(path, "wb") as f:
            f.write(data)
        self.assertEqual(1, pecheck.main(["--objdump", OBJDUMP, path]))
        self.assertEqual(2, pecheck.main([os.path.join(self.tmp, "missing.exe")]))
        with open(path, "wb") as f:
            f.write(b"MZ" + b"\0" * 100)
        self.assertEqual(2, pecheck.main(["--objdump", OBJDUMP, path]))


class DefaultBuild(unittest.TestCase):
    """A program built the ordinary way: C runtime, console, newer CPU."""

    def test_fails_what_a_runtime_program_breaks(self):
        tmp = tempfile.mkdtemp(prefix="pecheck")
        try:
            src = os.path.join(tmp, "tiny.c")
            with open(src, "w") as f:
                f.write("volatile int g_a = 3, g_b = 4;\n"
                        "__attribute__((noinline)) int Pick(int a, int b)"
                        " { return a < b ? a : b; }\n"
                        "int main(void) { return Pick(g_a, g_b); }\n")
            exe = os.path.join(tmp, "tiny.exe")
            subprocess.run([CC, "-O2", "-march=i686", src, "-o", exe], check=True)
            results = run_checks(exe)
            failed = {check for check, (ok, _) in results.items() if not ok}
            self.assertTrue({"subsystem", "dll-flags", "imports", "instructions"} <= failed,
                            failed)
            self.assertIn("MSVCRT.DLL!", results["imports"][1])
            self.assertIn("cmov", results["instructions"][1])
        finally:
            shutil.rmtree(tmp, ignore_errors=True)


class InstructionRules(unittest.TestCase):
    def test_table(self):
        rows = [
            ("cmovne %eax,%ebx", True), ("fcmovb %st(1),%st", True),
            ("fucomip %st(1),%st", True), ("lock cmpxchg8b (%esi)", True),
            ("rdtsc", True), ("cpuid", True), ("syscall", True), ("endbr32", True),
            ("nopw 0x0(%eax,%eax,1)", True), ("nopl 0x0(%eax)", True),
            ("pxor %mm0,%mm0", True), ("movss (%eax),%xmm0", True), ("emms", True),
            ("prefetchnta (%eax)", True), ("popcnt %eax,%ebx", True), ("(bad)", True),
            ("nop", False), ("rep stos %al,%es:(%edi)", False), ("bswap %eax", False),
            ("lock cmpxchg %ecx,(%edx)", False), ("xadd %eax,(%ebx)", False),
            ("fsin", False), ("fucompp", False), ("movl $0x0,(%eax)", False),
            ("call *0x404160", False), ("lea 0x0(%esi,%eiz,1),%esi", False),
        ]
        for text, forbidden in rows:
            with self.subTest(text):
                self.assertEqual(forbidden, pecheck.forbidden_instruction(text) is not None)


if __name__ == "__main__":
    unittest.main()
