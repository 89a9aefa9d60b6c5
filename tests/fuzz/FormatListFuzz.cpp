// The start-up's choice of a default audio format from SystemFormats, on the simulated computer's registry
// (a buffer too small gets ERROR_MORE_DATA and the size needed, as Windows answers). Invariant: when the list
// (its text up to a NUL) fits the 1024 bytes read and one of its comma-separated entries holds "CD", both
// DefaultFormat values become the first such entry, whole, as REG_SZ with its terminator; otherwise neither
// is written; the logon entry goes; nothing else in the registry changes. Input: the value's type, flags
// (bit 0: no current-user key, bit 1: no default-user key, bit 2: no Run key), then the value's bytes.
#include "FuzzCheck.h"
#include "app/SystemAdjustments.h"
#include "sim/SimRegistry.h"

static const std::string g_machine = ScratchFolder("format-list");
const char* const kKeys[] = {"HKEY_CURRENT_USER\\Software\\Microsoft\\Multimedia\\Audio",
                             "HKEY_USERS\\.Default\\Software\\Microsoft\\Multimedia\\Audio",
                             "HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Run"};

static sim::RegValue Value(const char* pszName, uint32_t type, const std::string& data)
{
  return {pszName, type, std::vector<unsigned char>(data.begin(), data.end())};
}

// registry.reg with the keys the flags leave, the list and the logon entry.
static std::string Registry(uint8_t flags, const sim::RegValue& formats)
{
  const sim::RegValue logon = Value("Tonivex Applications", REG_SZ, "C:\\TVXTRAY.EXE");
  std::string text = "REGEDIT4\r\n";
  for (int i = 0; i < 3; ++i)
    if (!(flags & (1 << i)))
      text += "\r\n[" + std::string(kKeys[i]) + "]\r\n" + (i == 1 ? "" : sim::RegValueLine(i ? logon : formats) + "\r\n");
  return text;
}

FUZZ_TARGET(2, head, list)
{
  const std::string text = Registry(head[1], Value("SystemFormats", head[0], list));
  WriteFile(g_machine + "/registry.reg", text);
  std::string err;
  auto pc = sim::CSimComputer::Load(g_machine, {}, &err);
  sim::CSimRegistry expected;
  FUZZ_CHECK(pc && expected.Parse(text, &err), err);
  sim::CPlatformScope scope(*pc);
  ApplySystemAdjustments("D:\\setup.ini");
  // The expected choice, from the list as text: the first entry holding "CD", with its terminator.
  std::istringstream entries(list.substr(0, list.find('\0')));
  std::string entry;
  bool bFound = false;
  while (!(head[1] & 1) && list.size() <= 1024 && !bFound && std::getline(entries, entry, ','))
    bFound = entry.find("CD") != std::string::npos;
  for (int i = 0; i < 2 && bFound; ++i)
    if (sim::RegKey* k = expected.FindPath(kKeys[i]))
      k->SetValue(Value("DefaultFormat", REG_SZ, entry + '\0'));
  if (sim::RegKey* k = expected.FindPath(kKeys[2]))
    k->DeleteValue("Tonivex Applications");
  FUZZ_CHECK(pc->ExportRegistry() == expected.Export(), "registry:\n" + pc->ExportRegistry());
}
