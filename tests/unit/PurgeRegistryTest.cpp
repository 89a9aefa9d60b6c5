// The registry purge where a key cannot be deleted (where a failed delete
// stops it), and on more instances and entries than any scenario holds.
// What goes and stays otherwise is in tests/scenarios/purge.scn, on the same
// registry (tests/scenarios/bases/legacy-traces.reg).
#include "TestMachine.h"
#include "tests/fuzz/FuzzCheck.h"
#include "purge/LegacyRegistryPurge.h"

namespace {

const std::string kClass = "HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\services\\Class\\MEDIA\\";
const std::string kRes = "HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\control\\MediaResources\\";
const std::string kEnum = "HKEY_LOCAL_MACHINE\\Enum\\";
const std::string kPci = kEnum + "PCI\\VEN_5D2A&DEV_01", kQvx = kEnum + "QVX\\CHILD000",
                  kVirtual = kEnum + "VIRTUAL\\TVQ-";

// Records the keys deleted, by path; deleting the chosen key fails with
// access denied and deletes nothing.
struct CRefusingComputer : sim::CSimPlatform {
  using sim::CSimPlatform::CSimPlatform;
  LONG RegDeleteKeyA(HKEY hKey, LPCSTR pszSubKey) override
  {
    std::string path = (hKey == HKEY_CLASSES_ROOT ? "HKEY_CLASSES_ROOT\\" : "HKEY_LOCAL_MACHINE\\") +
                       std::string(pszSubKey);
    if (path == m_refused)
      return ++m_nRefusals, ERROR_ACCESS_DENIED;
    LONG lResult = sim::CSimPlatform::RegDeleteKeyA(hKey, pszSubKey);
    if (lResult == ERROR_SUCCESS)
      m_deleted.push_back(path);
    return lResult;
  }
  std::string m_refused;
  int m_nRefusals = 0;
  std::vector<std::string> m_deleted;
};

// The keys the purge deletes from the registry text, in order, with the
// chosen delete refused (once).
std::vector<std::string> PurgeDeletes(const std::string& reg, const std::string& refused = "")
{
  CTestMachine m;
  m.SetRegistry(reg);
  auto& pc = m.Load<CRefusingComputer>();
  pc.m_refused = refused;
  sim::CPlatformScope scope(pc);
  PurgeLegacyRegistry();
  EXPECT_EQ(refused.empty() ? 0 : 1, pc.m_nRefusals) << refused;
  return pc.m_deleted;
}

}  // namespace

// A device key that cannot be deleted ends the purge at once; failed deletes
// of instances, media resource entries and registrations are passed over.
TEST(PurgeRegistry, FailedDeleteStopsOnlyOnDeviceKeys)
{
  const std::string reg = ReadFile(std::string(SETUP_SOURCE_DIR) + "/tests/scenarios/bases/legacy-traces.reg");
  const std::vector<std::string> all = PurgeDeletes(reg);
  // The maker's class instances and their media resource entries, the device
  // keys (children before their parent), then the registrations.
  std::vector<int> stages;
  std::vector<std::string> devices;
  for (const std::string& key : all) {
    stages.push_back(key.rfind(kEnum, 0) == 0 ? 1 : key.rfind(kClass, 0) == 0 || key.rfind(kRes, 0) == 0 ? 0 : 2);
    if (stages.back() == 1)
      devices.push_back(key);
  }
  EXPECT_TRUE(std::is_sorted(stages.begin(), stages.end()));
  EXPECT_EQ(devices, (std::vector<std::string>{ kPci + "11&SUBSYS_00000000", kPci + "00", kPci, kQvx + "0",
                                                kQvx + "1", kVirtual + "SWMIDI", kVirtual + "SBEMU" }));
  for (const std::string& refused : { kPci + "00", kQvx + "1", kVirtual + "SBEMU", kClass + "0001",
                                      kRes + "midi\\QVXMIDI.DRV<0002>", std::string("HKEY_CLASSES_ROOT\\SpaceFX") }) {
    std::vector<std::string> expected = all;
    auto pos = std::find(expected.begin(), expected.end(), refused);
    ASSERT_NE(expected.end(), pos) << refused;
    // A refused instance stays but its entries go.
    expected.erase(pos, refused.compare(0, kEnum.size(), kEnum) == 0 ? expected.end() : pos + 1);
    EXPECT_EQ(expected, PurgeDeletes(reg, refused)) << refused;
  }
}

// More instances than the old list held, and more matching entries per type
// key than the purge takes.
TEST(PurgeRegistry, ExaminesEveryInstanceAndTakesFifteenEntriesPerTypeKey)
{
  std::string reg = "REGEDIT4\n";
  std::vector<std::string> removed;
  for (int i = 0; i < 130; ++i) {
    const std::string sz = std::to_string(10000 + i).substr(1);
    bool bMaker = i == 0 || i == 99 || i == 100 || i == 101 || i == 129;
    reg += "\n[" + kClass + sz + "]\n\"ProviderName\"=\"" + (bMaker ? "Veltrix" : "Arcwave Systems") + "\"\n";
    reg += "\n[" + kRes + "wave\\QVPCI95.DRV<" + sz + ">]\n";
    if (bMaker)
      removed.insert(removed.end(), { kClass + sz, kRes + "wave\\QVPCI95.DRV<" + sz + ">" });
  }
  // Sixteen long-named entries of instance 0099 under "midi", against name
  // order: the first 15 in enumeration order (the file's) go, the last stays.
  for (int i = 15; i >= 0; --i) {
    std::string entry = kRes + "midi\\Tonivex wavetable synthesiser port " + std::to_string(10 + i) + ".drv<0099>";
    reg += "\n[" + entry + "]\n";
    if (i > 0)
      removed.push_back(entry);
  }
  std::vector<std::string> deleted = PurgeDeletes(reg);
  std::sort(removed.begin(), removed.end());
  std::sort(deleted.begin(), deleted.end());
  EXPECT_EQ(removed, deleted);
}
