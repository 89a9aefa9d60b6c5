// The dialog driver, the window stand-ins and the restart watcher on the real
// program: scenarios on the bundled sample computer whose events under Wine
// must be setupsim's.
#include <gtest/gtest.h>

#include <iostream>

#include "WineHarness.h"

using namespace winetest;

namespace {

struct ScenarioRow {
  const char* name;
  const char* windows;
  const char* commandLine;
  std::vector<std::string> actions;
  std::vector<std::string> openWindows;
  const char* expectedSim;  // setupsim's events, reduced by Comparable
};

class WineScenario : public ::testing::TestWithParam<ScenarioRow> {};

}  // namespace

TEST_P(WineScenario, SameEventsAsSetupsim)
{
  const ScenarioRow& row = GetParam();
  CMachineFolder m;
  CopySampleMachine(&m);
  WineOptions opt;
  opt.windows = row.windows;
  opt.commandLine = row.commandLine;
  opt.actions = row.actions;
  opt.openWindows = row.openWindows;
  // Found by WinExec's search through the system directories.
  opt.standins = { "C:\\WINDOWS\\SYSTEM\\SysTray.exe" };

  SetupsimResult sim = RunSetupsim(m.Dir(), opt);
  ASSERT_EQ(sim.status, 0) << sim.errorOutput;
  EXPECT_EQ(Join(Comparable(sim.events)), row.expectedSim) << Join(sim.events);

  auto run = RunUnderWine(m.Dir(), opt, WineArch::X64);
  std::cout << "[ wine run ] " << run->seconds << " s (" << run->timing << ")\n";
  ASSERT_TRUE(run->ok) << run->error << "\n" << Join(run->events) << run->wineOutput;
  EXPECT_EQ(Join(Comparable(run->events)), Join(Comparable(sim.events)));
}

INSTANTIATE_TEST_SUITE_P(
    Sample98, WineScenario,
    ::testing::Values(
        ScenarioRow{ "MainDialogCancelled", "98", "", { "cancel" }, {},
                     "dialog 102 open lang=1033\ndialog 102 end IDCANCEL\nexit 0\n" },
        ScenarioRow{ "SilentDriverInstallRestarts", "95", "/DRIVER", {}, {},
                     "start \"SysTray.exe\" show=5\n"
                     "message-box title=\"Setup\" text=\"Setup completed! The system will restart "
                     "now!\" owner=none\nrestart\nexit 0\n" },
        ScenarioRow{ "DriverOnlyFromTheMainDialog", "98", "", { "click:1001", "ok" }, {},
                     "dialog 102 open lang=1033\nstart \"SysTray.exe\" show=5\n"
                     "message-box title=\"Setup\" text=\"Setup completed! The system will restart "
                     "now!\" owner=102\ndialog 102 end IDOK\nrestart\nexit 0\n" }),
    [](const auto& info) { return std::string(info.param.name); });
