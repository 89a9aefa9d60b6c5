// The [SourceDisksNames] rewrite of an INF copy on the simulated computer, whose profile engine (checked by
// the profile target) reads and writes it. Invariant: the copy is left as it is, or its entry alone is
// written, as what was read before followed by the suffix; the driver set's own file is left. A small file
// whose entry is short (and not empty, unless empty entries are written) is always rewritten. Input: the
// rule (bit 0: the VxD dialog's fixed suffix, written also into an empty entry; else ", " and the staging
// directory's 8.3 form), the copy.
#include "FuzzCheck.h"
#include "install/SourceDisksNames.h"
#include "sim/SimProfile.h"

// The driver set, D:\DRV\FUZZ.INF (empty); its copy in INF\OTHER; the staging directory.
static const std::string g_machine =
    ScratchFolder("source-disks-names", {"/c/Program Files/Veltrix/W95-98", "/c/WINDOWS/INF/OTHER", "/d/DRV"});
static const std::string g_source = g_machine + "/d/DRV/FUZZ.INF", g_copy = g_machine + "/c/WINDOWS/INF/OTHER/FUZZ.INF";
// One computer for every input: it reads the files as they are at each call.
static std::string g_err;
static const std::unique_ptr<sim::CSimComputer> g_pc = sim::CSimComputer::Load(g_machine, {}, &g_err);

FUZZ_TARGET(1, head, before)
{
  const bool bVxd = head[0] & 1;
  const char* pszVxdSuffix = ", C:\\Program Files\\Veltrix\\W95-98";
  const char* const targets[2] = {"C:\\WINDOWS\\INF\\OTHER\\", nullptr};
  WriteFile(g_source, "");
  WriteFile(g_copy, before);
  FUZZ_CHECK(g_pc, g_err);
  sim::CPlatformScope scope(*g_pc);
  CInfFileList list;
  FUZZ_CHECK(list.SetPlacement("D:\\DRV\\", targets), "placement");
  RewriteSourceDisksNames(list, SourceDisksNamesRule{"1", bVxd ? pszVxdSuffix : nullptr, bVxd});
  // The entry as a program reads it: up to a NUL byte.
  const std::string old = sim::ProfileGet(before, "SourceDisksNames", "1").value_or("").c_str(), key = "1";
  const std::string entry = old + (bVxd ? pszVxdSuffix : ", C:\\PROGRA~1\\VELTRIX\\W95-98"), after = ReadFile(g_copy);
  FUZZ_CHECK(ReadFile(g_source).empty(), "the driver set's file written");
  if (after == before)
    return FUZZ_CHECK(before.size() >= 60000 || old.size() > 1000 || (!bVxd && old.empty()), "entry " + old);
  FUZZ_CHECK(after == sim::ProfileSet(before, "SourceDisksNames", &key, &entry), "wrote:\n" + after);
}
