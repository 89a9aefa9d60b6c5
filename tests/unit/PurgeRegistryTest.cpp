// The registry purge where a key cannot be deleted (where a failed delete
// stops it), and on more instances and entries than any scenario holds.
// What goes and stays otherwise is in tests/scenarios/purge.scn, on the same
// registry (tests/scenarios/bases/legacy-traces.reg).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <set>
#include <sstream>
#include <strings.h>

#include "TestMachine.h"
#include "purge/LegacyRegistryPurge.h"
#include "sim/SimRegistry.h"

namespace {

const std::string kClass = "HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\services\\Class\\MEDIA\\";
const std::string kRes = "HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\control\\MediaResources\\";
const std::string kPci = "HKEY_LOCAL_MACHINE\\Enum\\PCI\\VEN_5D2A&DEV_01";
const std::string kQvx = "HKEY_LOCAL_MACHINE\\Enum\\QVX\\CHILD000";
const std::string kVirtual = "HKEY_LOCAL_MACHINE\\Enum\\VIRTUAL\\TVQ-";
const std::string kSpaceFx = "HKEY_CLASSES_ROOT\\SpaceFX";

// What the purge removes from legacy-traces.reg, in its order: the maker's
// class instances and their media resource entries, the device keys, the
// registrations.
const std::vector<std::string> kInstances = {
  kClass + "0001", kClass + "0002", kClass + "0005", kRes + "aux\\QVPCI95.DRV<0001>",
  kRes + "joystick\\qvjoy.drv<0001>", kRes + "midi\\QVXMIDI.DRV<0002>", kRes + "mixer\\QVPCI95.DRV<0001>",
  kRes + "wave\\Tonivex PCI Audio wave device with a very long driver name.drv<0002>",
  kRes + "wave\\QVPCI95.DRV<0005>", kRes + "wave\\x<0001>",
};
const std::vector<std::string> kDevices = {
  kPci + "11&SUBSYS_00000000", kPci + "00", kPci, kQvx + "0", kQvx + "1", kVirtual + "SWMIDI", kVirtual + "SBEMU",
};
const std::vector<std::string> kRegistrations = {
  kSpaceFx, "HKEY_CLASSES_ROOT\\CLSID\\{4B7A2C10-9E31-11D0-A5C2-0040D3E87F16}",
  "HKEY_LOCAL_MACHINE\\SOFTWARE\\ASIO\\Tonivex ASIO", "HKEY_LOCAL_MACHINE\\SOFTWARE\\ASIO\\Tonivex ASIO Multi",
  "HKEY_CLASSES_ROOT\\CLSID\\{6E0D93F2-B8A4-11D2-9C7E-0060B1F4A233}",
};

// Deleting the chosen key fails with access denied and deletes nothing.
class CRefusingComputer : public sim::CSimPlatform {
public:
  using sim::CSimPlatform::CSimPlatform;
  LONG RegDeleteKeyA(HKEY hKey, LPCSTR pszSubKey) override
  {
    std::string path = (hKey == HKEY_CLASSES_ROOT ? "HKEY_CLASSES_ROOT\\" : "HKEY_LOCAL_MACHINE\\") +
                       std::string(pszSubKey);
    if (strcasecmp(path.c_str(), m_refused.c_str()) != 0)
      return sim::CSimPlatform::RegDeleteKeyA(hKey, pszSubKey);
    ++m_nRefusals;
    return ERROR_ACCESS_DENIED;
  }
  std::string m_refused;
  int m_nRefusals = 0;
};

// The registry export of the text with the keys at the given paths removed,
// against that of the purge run on it, the chosen delete refused.
void ExpectPurgeRemoves(const std::string& reg, const std::vector<std::string>& removed,
                        const std::string& refused = "")
{
  sim::CSimRegistry expected;
  std::string err;
  ASSERT_TRUE(expected.Parse(reg, &err)) << err;
  for (const std::string& path : removed)
    if (sim::RegKey* key = expected.FindPath(path))
      sim::CSimRegistry::DeleteKey(key);
  CTestMachine before, after;
  before.SetRegistry(expected.Export());
  after.SetRegistry(reg);
  auto& pc = after.Load<CRefusingComputer>();
  pc.m_refused = refused;
  {
    sim::CPlatformScope scope(pc);
    PurgeLegacyRegistry();
  }
  EXPECT_EQ(refused.empty() ? 0 : 1, pc.m_nRefusals);
  EXPECT_EQ(before.Load().ExportRegistry(), pc.ExportRegistry());
}

std::vector<std::string> Join(std::initializer_list<std::vector<std::string>> lists, const std::string& kept = "")
{
  std::vector<std::string> all;
  for (const auto& l : lists)
    std::copy_if(l.begin(), l.end(), std::back_inserter(all), [&](const std::string& s) { return s != kept; });
  return all;
}

}  // namespace

// A device key that cannot be deleted ends the purge at once; failed deletes
// of instances, media resource entries and registrations are passed over.
TEST(PurgeRegistry, FailedDeleteStopsOnlyOnDeviceKeys)
{
  std::stringstream ss;
  ss << std::ifstream(std::string(SETUP_SOURCE_DIR) + "/tests/scenarios/bases/legacy-traces.reg").rdbuf();
  const std::string reg = ss.str();
  const auto devicesBefore = [](size_t n) { return std::vector<std::string>(kDevices.begin(), kDevices.begin() + n); };
  const struct {
    std::string refused;
    std::vector<std::string> removed;
  } rows[] = {
    { kPci + "00", Join({ kInstances, devicesBefore(1) }) },
    { kQvx + "1", Join({ kInstances, devicesBefore(4) }) },
    { kVirtual + "SBEMU", Join({ kInstances, devicesBefore(6) }) },
    // The instance stays, its entries go, and the purge goes on.
    { kClass + "0001", Join({ kInstances, kDevices, kRegistrations }, kClass + "0001") },
    { kRes + "midi\\QVXMIDI.DRV<0002>", Join({ kInstances, kDevices, kRegistrations }, kRes + "midi\\QVXMIDI.DRV<0002>") },
    { kSpaceFx, Join({ kInstances, kDevices, kRegistrations }, kSpaceFx) },
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.refused);
    ExpectPurgeRemoves(reg, row.removed, row.refused);
  }
}

// More instances than the old list held, and more matching entries per type
// key than the purge takes.
TEST(PurgeRegistry, ExaminesEveryInstanceAndTakesFifteenEntriesPerTypeKey)
{
  const std::set<int> maker = { 0, 99, 100, 101, 129 };
  std::string reg = "REGEDIT4\n";
  std::vector<std::string> removed;
  for (int i = 0; i < 130; ++i) {
    char sz[8];
    std::snprintf(sz, sizeof sz, "%04d", i);
    bool bMaker = maker.count(i) != 0;
    reg += "\n[" + kClass + sz + "]\n\"ProviderName\"=\"" + (bMaker ? "Veltrix" : "Arcwave Systems") + "\"\n";
    reg += "\n[" + kRes + "wave\\QVPCI95.DRV<" + sz + ">]\n";
    if (bMaker)
      removed.insert(removed.end(), { kClass + sz, kRes + "wave\\QVPCI95.DRV<" + sz + ">" });
  }
  // Sixteen long-named entries of instance 0099 under "midi": the first 15
  // in enumeration order go, the sixteenth stays.
  for (int i = 0; i < 16; ++i) {
    std::string entry = kRes + "midi\\Tonivex wavetable synthesiser port " + std::to_string(10 + i) + ".drv<0099>";
    reg += "\n[" + entry + "]\n";
    if (i < 15)
      removed.push_back(entry);
  }
  ExpectPurgeRemoves(reg, removed);
}
