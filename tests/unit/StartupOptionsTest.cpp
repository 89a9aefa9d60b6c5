// The setup.ini options as the profile service reads integers: a missing
// file, section or key gives the default, and values are used as read.
#include <gtest/gtest.h>

#include "StartupTestSupport.h"

using namespace startup_test;

namespace {

std::string RunWithIni(const char* windows, const char* args, const char* ini)
{
  CTestMachine m;
  m.options.windows = windows;
  m.options.commandLine = args;
  m.options.actions = { "cancel" };
  WriteDisc(m, "D:\\");
  if (ini != nullptr)
    m.WriteFile("D:\\setup.ini", ini);
  sim::RunOutcome r = m.Run();
  return ClassifyPath(r, m);
}

}  // namespace

TEST(StartupOptions, AbsentPartialAndOddSetupIni)
{
  const struct {
    const char* ini;
    const char* expected;
  } rows[] = {
    { nullptr, "dialog 102" },
    { "", "dialog 102" },
    { "[InstallOption]\r\n", "dialog 102" },
    { "[InstallOption]\r\nWebSetup=2\r\n", "silent web" },
    // Names without regard to case, blanks around the value dropped.
    { "[installoption]\r\nwebsetup=1\r\n", "dialog 103" },
    { "[InstallOption]\r\nWebSetup = 1 \r\n", "dialog 103" },
    // Leading digits count; other text reads as 0.
    { "[InstallOption]\r\nWebSetup=1abc\r\n", "dialog 103" },
    { "[InstallOption]\r\nWebSetup=abc\r\n", "dialog 102" },
    // The first of two equal keys wins.
    { "[InstallOption]\r\nWebSetup=3\r\nWebSetup=1\r\n", "nothing" },
    // Keys of another section do not count.
    { "[Default]\r\nWebSetup=1\r\nDriverOnly=1\r\n", "dialog 102" },
    // InstallWDMDriver only matters with WebSetup 1.
    { "[InstallOption]\r\nInstallWDMDriver=1\r\n", "dialog 102" },
    { "[InstallOption]\r\nWebSetup=1\r\nInstallWDMDriver=0\r\n", "dialog 103" },
    // The two ask-user keys have no effect.
    { "[InstallOption]\r\nWindowsMEDriverAskUser=1\r\nWindows98SEDriverAskUser=1\r\n", "dialog 102" },
    { "[InstallOption]\r\nDriverOnly=-1\r\n", "silent driver-only" },
    { "[InstallOption]\r\nDriverOnly=0\r\n", "dialog 102" },
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.ini ? row.ini : "(no setup.ini)");
    EXPECT_EQ(row.expected, RunWithIni("98", "", row.ini));
  }
}

TEST(StartupOptions, PackageChoiceOptionsReachThePackagePath)
{
  const struct {
    const char* windows;
    const char* ini;
    const char* started;
  } rows[] = {
    // WindowsMEDriver defaults to 1, Windows98SEDriver to 0.
    { "ME", nullptr, "D:\\W2K-ME\\app\\Setup.exe" },
    { "ME", "[InstallOption]\r\nWebSetup=0\r\n", "D:\\W2K-ME\\app\\Setup.exe" },
    { "ME", "[InstallOption]\r\nWindowsMEDriver=0\r\n", "D:\\W95-98\\app\\Setup.exe" },
    { "98SE", nullptr, "D:\\W95-98\\app\\Setup.exe" },
    { "98SE", "[InstallOption]\r\nWindows98SEDriver=1\r\n", "D:\\W2K-ME\\app\\Setup.exe" },
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(std::string(row.windows) + " " + (row.ini ? row.ini : "(no setup.ini)"));
    CTestMachine m;
    m.options.windows = row.windows;
    m.options.commandLine = "/AP";
    WriteDisc(m, "D:\\");
    if (row.ini != nullptr)
      m.WriteFile("D:\\setup.ini", row.ini);
    sim::RunOutcome r = m.Run();
    EXPECT_TRUE(HasEvent(r, std::string("start \"") + row.started + "\" show=5 via=CreateProcess"))
        << JoinEvents(r);
    ASSERT_FALSE(r.events.empty());
    EXPECT_EQ("exit 0", r.events.back());
  }
}
