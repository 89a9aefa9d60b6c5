// The refusals of the two driver option dialogs, shown by the real Setup.exe
// under Wine: the WDM dialog's box is titled with the program's name (a box
// without a caption of its own would say "Error"), the VxD dialog's box on
// Windows NT 4.0 is titled "Information".
#include <gtest/gtest.h>

#include <iostream>

#include "WineHarness.h"

using namespace winetest;

namespace {

struct Row {
  const char* name;
  const char* windows;
  const char* installWdm;
  const char* program;
  const char* refusal;
};

class DriverDialogRefusalUnderWine : public ::testing::TestWithParam<Row> {};

}  // namespace

TEST_P(DriverDialogRefusalUnderWine, InstallRefusesAndEnds)
{
  std::string why;
  if (!WineAvailable(WineArch::X64, &why))
    GTEST_SKIP() << why;
  const Row& row = GetParam();
  CMachineFolder m;
  std::string program = row.program;
  m.WriteFile(program.substr(0, program.rfind('\\') + 1) + "setup.ini",
              std::string("[InstallOption]\r\nWebSetup=1\r\nInstallWDMDriver=") + row.installWdm +
                  "\r\n");
  m.WriteFile("D:\\TVX3710.INF", "[Version]\r\nHKR,Config,DISMPU,1,0\r\n");
  m.MakeDir("C:\\WINDOWS\\INF\\OTHER");

  WineOptions opt;
  opt.windows = row.windows;
  opt.programPath = row.program;
  opt.openWindows = {"Tonedock"};
  opt.actions = {"click:1007", "click:1000", "ok"};
  auto run = RunUnderWine(m.Dir(), opt, WineArch::X64);
  ASSERT_TRUE(run->ok) << run->error << "\n" << Join(run->events) << run->wineOutput;
  std::cout << "[ wine run ] " << run->seconds << " s (" << run->timing << ")\n";

  // The dialog goes with the process, which the run reports as its end.
  std::vector<std::string> events;
  for (const std::string& e : Comparable(run->events))
    if (e.find(" end IDOK") == std::string::npos)
      events.push_back(e);
  const std::string id = std::string(row.installWdm) == "1" ? "131" : "103";
  EXPECT_EQ(Join(events), "dialog " + id + " open lang=1033\nclose-window \"Tonedock\"\n" +
                              row.refusal + " owner=" + id + "\nexit 0\n");
  SetupsimResult sim = RunSetupsim(m.Dir(), opt);
  EXPECT_EQ(Join(events), Join(Comparable(sim.events)));
  EXPECT_FALSE(run->ReadFile("C:\\WINDOWS\\INF\\OTHER\\TVX3710.INF").has_value());
}

INSTANTIATE_TEST_SUITE_P(
    Refusals, DriverDialogRefusalUnderWine,
    ::testing::Values(
        Row{"WdmOnWindows95", "95", "1", "D:\\SETUP.EXE",
            "message-box title=\"SETUP\" text=\"This WDM driver can only be installed on Windows "
            "98SE/ME/2000\""},
        Row{"WdmOnWindows98", "98", "1", "D:\\Web\\TvxWeb.exe",
            "message-box title=\"TvxWeb\" text=\"This WDM driver can only be installed on Windows "
            "98SE/ME/2000\""},
        Row{"VxdOnNT4", "NT4", "0", "D:\\SETUP.EXE",
            "message-box title=\"Information\" text=\"This driver can not be used on Windows NT "
            "or Windows 2000.\""}),
    [](const auto& info) { return std::string(info.param.name); });
