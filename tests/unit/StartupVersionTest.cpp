// The Windows version family: one rule, used by the start-up and by every
// dialog.
#include <gtest/gtest.h>

#include <cstring>

#include "StartupTestSupport.h"
#include "install/LaunchContext.h"

using namespace startup_test;

TEST(StartupVersion, EachSimulatedWindowsGivesItsFamily)
{
  const struct {
    const char* windows;
    const char* flags;
  } rows[] = {
    { "95", "95 " },   { "98", "98 " },       { "98SE", "98 98SE " }, { "ME", "ME " },
    { "NT4", "NT4 " }, { "2000", "NT5 " },    { "XP", "NT5 " },
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.windows);
    CTestMachine m;
    m.options.windows = row.windows;
    sim::CSimComputer& pc = m.Load();
    sim::CPlatformScope scope(pc);
    VersionClass v;
    std::memset(&v, 0x5A, sizeof v);  // every flag is set, never merely left
    ClassifyWindowsVersion(&v);
    EXPECT_EQ(row.flags, Flags(v));
  }
}

TEST(StartupVersion, WholeStartsTellTheFamiliesApart)
{
  // A driver-word start shows the family: the newer systems hand over to
  // their own program, NT 4.0 refuses, 95 and 98 install their driver set.
  const struct {
    const char* windows;
    const char* path;
    const char* staged;  // the driver file staged, when one is
  } rows[] = {
    { "95", "silent driver-only", "A95.VXD" },
    { "98", "silent driver-only", "A98.VXD" },
    { "98SE", "handoff D:\\MESetup.dat /DRIVER", nullptr },
    { "ME", "handoff D:\\MESetup.dat /DRIVER", nullptr },
    { "NT4", "refused", nullptr },
    { "2000", "handoff D:\\W2KSetup.dat /DRIVER", nullptr },
    { "XP", "handoff D:\\W2KSetup.dat /DRIVER", nullptr },
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.windows);
    CTestMachine m;
    m.options.windows = row.windows;
    m.options.commandLine = "/DRIVER";
    WriteDisc(m, "D:\\");
    m.WriteFile("D:\\W95-98\\drv\\95\\A95.VXD", "95 driver");
    m.WriteFile("D:\\W95-98\\drv\\98\\A98.VXD", "98 driver");
    sim::RunOutcome r = m.Run();
    EXPECT_EQ(row.path, ClassifyPath(r, m));
    if (row.staged != nullptr) {
      const std::string staging = "C:\\Program Files\\Veltrix\\W95-98\\";
      EXPECT_TRUE(m.Exists(staging + row.staged));
      EXPECT_FALSE(m.Exists(staging + (row.staged[1] == '9' && row.staged[2] == '5' ? "A98.VXD" : "A95.VXD")));
    }
  }
}
