// The whole purge, as the driver installation runs it (registry, then INF
// files and driver files), on one machine holding every kind of legacy trace:
// exactly those traces are removed or scheduled, everything else is as it was.
#include <gtest/gtest.h>

#include "PurgeLegacyFiles.h"
#include "PurgeLegacyRegistry.h"
#include "PurgeTestSupport.h"
#include "purge/LegacyFileRetirement.h"
#include "purge/LegacyRegistryPurge.h"
#include "sim/SimComputer.h"

using namespace purgetest;

TEST(PurgeMachine, RemovesOrSchedulesExactlyTheLegacyTraces)
{
  CTestMachine m;
  std::string reg = FullRegistry();
  m.SetRegistry(reg);
  for (const MachineFile& f : LegacyFiles()) {
    m.WriteFile(f.path, f.content);
    if (f.readOnly)
      m.SetReadOnly(f.path);
  }
  auto expectedFiles = FileSnapshot(m);
  for (const MachineFile& f : LegacyFiles()) {
    if (f.goes)
      expectedFiles.erase(SnapshotPath(m, f.path));
  }
  expectedFiles[SnapshotPath(m, "C:\\WINDOWS\\WININIT.INI")] = kExpectedWininit;
  expectedFiles[SnapshotPath(m, "C:\\WINDOWS\\WIN.INI")] = "[windows]\r\nload=\r\nrun= \r\n";

  sim::CSimComputer& computer = m.Load();
  {
    sim::CPlatformScope scope(computer);
    PurgeLegacyRegistry();
    PurgeLegacyDriverFiles();
  }
  EXPECT_EQ(ExportOf(RegWithout(reg, Join({ kInstanceTraces, kDeviceTraces, kRegistrationTraces }))),
            computer.ExportRegistry());
  EXPECT_EQ(expectedFiles, FileSnapshot(m));
}
