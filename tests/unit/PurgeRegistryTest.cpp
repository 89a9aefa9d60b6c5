// The registry purge where a key cannot be deleted (where a failed delete
// stops it), and on more instances and entries than any scenario holds.
// What goes and stays otherwise is in tests/scenarios/purge.scn.
#include <gtest/gtest.h>

#include <cstdio>

#include "PurgeLegacyRegistry.h"
#include "PurgeTestSupport.h"
#include "purge/LegacyRegistryPurge.h"
#include "sim/SimComputer.h"

using purgetest::CPlatformOverride;
using purgetest::CRefusingDeletePlatform;
using purgetest::ExportOf;
using purgetest::RegWithout;
using namespace purgetest;

namespace {

std::vector<std::string> Except(std::vector<std::string> list, const std::string& kept)
{
  list.erase(std::remove(list.begin(), list.end(), kept), list.end());
  return list;
}

// Runs the purge on a computer with the given registry, the chosen deletes
// refused; returns the export afterwards.
std::string PurgedExport(const std::string& regText, std::set<std::string> refused = {},
                         int* pnRefusals = nullptr)
{
  CTestMachine m;
  m.SetRegistry(regText);
  sim::CSimComputer& computer = m.Load();
  CRefusingDeletePlatform platform(computer.GetPlatform(), refused);
  {
    CPlatformOverride scope(platform);
    PurgeLegacyRegistry();
  }
  if (pnRefusals)
    *pnRefusals = platform.m_nRefusals;
  return computer.ExportRegistry();
}

}  // namespace

// A device key that cannot be deleted ends the purge at once; failed deletes
// of instances, media resource entries and registrations are passed over.
struct FailedDeleteCase {
  const char* name;
  std::string refused;
  std::vector<std::string> removed;
};

void PrintTo(const FailedDeleteCase& c, std::ostream* os) { *os << c.name; }

class PurgeRegistryFailedDelete : public ::testing::TestWithParam<FailedDeleteCase> {};

TEST_P(PurgeRegistryFailedDelete, StopsOnlyOnDeviceKeys)
{
  const FailedDeleteCase& c = GetParam();
  std::string reg = FullRegistry();
  int nRefusals = 0;
  std::string actual = PurgedExport(reg, { c.refused }, &nRefusals);
  EXPECT_EQ(1, nRefusals);
  EXPECT_EQ(ExportOf(RegWithout(reg, c.removed)), actual);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, PurgeRegistryFailedDelete,
    ::testing::Values(
        FailedDeleteCase{ "PciKey", kPci + "\\VEN_5D2A&DEV_0100",
                          Join({ kInstanceTraces, { kPci + "\\VEN_5D2A&DEV_0111&SUBSYS_00000000" } }) },
        FailedDeleteCase{ "ChildKey", kQvx + "\\CHILD0001",
                          Join({ kInstanceTraces,
                                 { kPci + "\\VEN_5D2A&DEV_0111&SUBSYS_00000000",
                                   kPci + "\\VEN_5D2A&DEV_0100", kPci + "\\VEN_5D2A&DEV_01",
                                   kQvx + "\\CHILD0000" } }) },
        FailedDeleteCase{ "VirtualKey", kVirtual + "\\TVQ-SBEMU",
                          Join({ kInstanceTraces,
                                 { kPci + "\\VEN_5D2A&DEV_0111&SUBSYS_00000000",
                                   kPci + "\\VEN_5D2A&DEV_0100", kPci + "\\VEN_5D2A&DEV_01",
                                   kQvx + "\\CHILD0000", kQvx + "\\CHILD0001",
                                   kVirtual + "\\TVQ-SWMIDI" } }) },
        // The instance stays, its entries go, and the purge goes on.
        FailedDeleteCase{ "ClassInstance", kClass + "\\0001",
                          Except(Join({ kInstanceTraces, kDeviceTraces,
                                                 kRegistrationTraces }),
                                          kClass + "\\0001") },
        FailedDeleteCase{ "MediaEntry", kRes + "\\midi\\QVXMIDI.DRV<0002>",
                          Except(Join({ kInstanceTraces, kDeviceTraces,
                                                 kRegistrationTraces }),
                                          kRes + "\\midi\\QVXMIDI.DRV<0002>") },
        FailedDeleteCase{ "Registration", kSpaceFx,
                          Except(Join({ kInstanceTraces, kDeviceTraces,
                                                 kRegistrationTraces }),
                                          kSpaceFx) }),
    [](const ::testing::TestParamInfo<FailedDeleteCase>& info) { return info.param.name; });

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
    reg += Key(kClass + "\\" + sz) + "\"ProviderName\"=\"" +
           (bMaker ? "Veltrix" : "Arcwave Systems") + "\"\n";
    reg += Key(kRes + "\\wave\\QVPCI95.DRV<" + sz + ">");
    if (bMaker) {
      removed.push_back(kClass + "\\" + sz);
      removed.push_back(kRes + "\\wave\\QVPCI95.DRV<" + sz + ">");
    }
  }
  // Sixteen long-named entries of instance 0099 under "midi": the first 15
  // in enumeration order go, the sixteenth stays.
  for (int i = 0; i < 16; ++i) {
    std::string entry = kRes + "\\midi\\Tonivex wavetable synthesiser port " +
                        std::to_string(10 + i) + ".drv<0099>";
    reg += Key(entry);
    if (i < 15)
      removed.push_back(entry);
  }
  EXPECT_EQ(ExportOf(RegWithout(reg, removed)), PurgedExport(reg));
}
