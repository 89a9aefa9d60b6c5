#!/usr/bin/env python3
"""failing_platform.py PLATFORM_H OUTPUT

Writes CFailingPlatform: every operation of the platform interface answers
zero (or a null pointer) and does nothing. Tests that answer a few operations
derive from it, and a new operation needs nothing here."""
import re
import sys

source = open(sys.argv[1], encoding="utf-8").read()
ops = re.findall(r"PLATFORM_OP\s+([\w*]+)\s+(\w+)\(([^)]*)\)\s*PLATFORM_PURE;", source)
if len(ops) != source.count("PLATFORM_PURE;"):
    sys.exit("failing_platform.py: a declaration of " + sys.argv[1] + " has a form this script does not read")
lines = ["// Made from platform/Platform.h by tests/support/failing_platform.py.",
         "#pragma once", '#include "platform/Platform.h"',
         '#pragma GCC diagnostic ignored "-Wunused-parameter"',
         "class CFailingPlatform : public IPlatform {", "public:"]
for ret, name, params in ops:
    lines.append(f"  {ret} {name}({' '.join(params.split())}) override {{ return {ret}(); }}")
lines.append("};")
with open(sys.argv[2], "w", encoding="utf-8") as out:
    out.write("\n".join(lines) + "\n")
