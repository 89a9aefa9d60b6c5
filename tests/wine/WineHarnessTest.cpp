// Checks of the harness itself: the computer a program finds in the prefix
// is the one the machine folder and the options describe. The program run
// here is the recorder stand-in, which reports what it sees.
#include <gtest/gtest.h>

#include <algorithm>
#include <iostream>

#include "WineHarness.h"

using namespace winetest;

namespace {

std::string Find(const std::vector<std::string>& lines, const std::string& start)
{
  for (const std::string& l : lines)
    if (l.rfind(start, 0) == 0)
      return l;
  return std::string();
}

std::string RecorderExe(WineArch arch)
{
  std::string setup = BuiltSetupExe(arch);
  return setup.substr(0, setup.rfind('/')) + "/standins/recorder.exe";
}

struct VersionRow {
  const char* windows;
  const char* version;  // platform|major.minor|build as GetVersionExA gives it
  bool bWinIniFile;     // WIN.INI stays a file (no registry mapping)
};

class WineComputer : public ::testing::TestWithParam<VersionRow> {};

}  // namespace

// Wine's version names, and the recipe for 98 first edition, which has none.
TEST_P(WineComputer, VersionDrivesCommandLineAndRegistry)
{
  const VersionRow& row = GetParam();
  CMachineFolder m;
  m.WriteFile("C:\\WINDOWS\\QVCDPLAY.INI", "[Options]\r\nDigital=0\r\n");
  m.WriteFile("D:\\setup.ini", "[InstallOption]\r\nWebSetup=0\r\n");
  m.SetRegistry("REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\Software\\Veltrix\\Probe]\r\n"
                "\"Name\"=\"a \\\"quoted\\\" value\"\r\n\"Count\"=dword:0000002a\r\n");
  WineOptions opt;
  opt.windows = row.windows;
  opt.programPath = "D:\\Disc Root\\SETUP.EXE";
  opt.commandLine = "/AP  x";
  opt.currentDirectory = "D:\\";
  opt.programFile = RecorderExe(WineArch::X64);
  auto run = RunUnderWine(m.Dir(), opt, WineArch::X64);
  ASSERT_TRUE(run->ok) << run->error << "\n" << Join(run->events) << run->wineOutput;
  std::cout << "[ wine run ] " << run->seconds << " s (" << run->timing << ")\n";

  EXPECT_EQ(Join(run->events),
            "start \"\"\"D:\\Disc Root\\SETUP.EXE\"\" /AP  x\" show=none\nexit 0\n");
  EXPECT_EQ(Find(run->programs, "version|"), std::string("version|") + row.version);
  EXPECT_EQ(Find(run->programs, "cwd|"), "cwd|D:\\");
  EXPECT_EQ(Find(run->programs, "D:\\"), "D:\\Disc Root\\SETUP.EXE|\"D:\\Disc Root\\SETUP.EXE\" /AP  x");

  EXPECT_EQ(run->RegistryValue("HKEY_LOCAL_MACHINE\\Software\\Veltrix\\Probe", "Name"),
            "\"a \\\"quoted\\\" value\"");
  EXPECT_EQ(run->RegistryValue("HKEY_LOCAL_MACHINE\\Software\\Veltrix\\Probe", "Count"),
            "dword:0000002a");
  EXPECT_EQ(!run->KeyExists("HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows NT\\CurrentVersion\\"
                            "IniFileMapping\\win.ini"),
            row.bWinIniFile);
  EXPECT_EQ(run->ReadFile("C:\\windows\\qvcdplay.ini"), "[Options]\r\nDigital=0\r\n");
  EXPECT_EQ(run->ReadFile("d:\\SETUP.INI"), "[InstallOption]\r\nWebSetup=0\r\n");
}

INSTANTIATE_TEST_SUITE_P(Versions, WineComputer,
                         ::testing::Values(VersionRow{ "95", "1|4.0|0x040003B6", true },
                                           VersionRow{ "98", "1|4.10|0x040A07CE", true },
                                           VersionRow{ "XP", "2|5.1|0x00000A28", false }),
                         [](const auto& info) { return std::string("Windows") + info.param.windows; });

// A missing build is a failure, never a skip.
TEST(WineHarness, MissingProgramFailsTheRun)
{
  CMachineFolder m;
  WineOptions opt;
  opt.programFile = "/nonexistent/Setup.exe";
  auto run = RunUnderWine(m.Dir(), opt, WineArch::X64);
  EXPECT_FALSE(run->ok);
  EXPECT_NE(run->error.find("missing"), std::string::npos) << run->error;
}

TEST(WineHarness, ComparableDropsWhatWineCannotSee)
{
  std::vector<std::string> sim = { "pause 500", "start \"A \"\" via=x\" show=5 via=WinExec",
                                   "wait-cursor on", "restart", "ended \"A\" code=0",
                                   "dialog 102 end IDOK", "return false" };
  EXPECT_EQ(Join(Comparable(sim)),
            "start \"A \"\" via=x\" show=5\ndialog 102 end IDOK\nrestart\nexit 0\n");
}
