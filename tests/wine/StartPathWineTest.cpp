// The win64 Setup.exe under Wine started by a relative program path: the
// driver install enters other directories, yet stages and places the driver
// set that lies next to the program, as setupsim shows.
#include <gtest/gtest.h>

#include <iostream>

#include "WineHarness.h"

using namespace winetest;

namespace {

const char kInf[] = "[Version]\r\nSignature=\"$CHICAGO$\"\r\n\r\n[SourceDisksNames]\r\n1=\"Disc\",,0001\r\n";

}  // namespace

TEST(StartPathWine, RelativeStartsInstallTheDriverSetBesideTheProgram)
{
  const struct {
    const char* program;
    const char* cwd;
    const char* args;
    const char* setupIni;
    const char* driverDir;  // where the program's driver set lies
  } rows[] = {
    { "DISC\\SETUP.EXE", "D:\\", "/DRIVER", "", "D:\\DISC\\W95-98\\drv\\95\\" },
    { "WEB\\SETUP.EXE", "D:\\", "", "[InstallOption]\r\nWebSetup=1\r\n", "D:\\WEB\\" },
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(std::string(row.program) + " from " + row.cwd);
    std::string disc = std::string(row.program).substr(0, std::string(row.program).rfind('\\') + 1);
    CMachineFolder m;
    m.WriteFile(std::string(row.cwd) + disc + "setup.ini", row.setupIni);
    m.WriteFile(std::string(row.driverDir) + "TVXREL.INF", kInf);
    m.WriteFile(std::string(row.driverDir) + "TVXREL.VXD", "driver");
    m.MakeDir("C:\\WINDOWS\\INF\\OTHER");

    WineOptions opt;
    opt.windows = "95";
    opt.programPath = row.program;
    opt.currentDirectory = row.cwd;
    opt.commandLine = row.args;
    opt.standins = { "C:\\WINDOWS\\SysTray.exe" };
    auto run = RunUnderWine(m.Dir(), opt, WineArch::X64);
    ASSERT_TRUE(run->ok) << run->error << "\n" << Join(run->events) << run->wineOutput;
    std::cout << "[ wine run ] " << run->seconds << " s (" << run->timing << ")\n";

    // The process ends inside the VxD dialog, whose window just goes.
    std::vector<std::string> wineEvents;
    for (const std::string& e : Comparable(run->events))
      if (e != "dialog 103 end IDOK")
        wineEvents.push_back(e);
    SetupsimResult sim = RunSetupsim(m.Dir(), opt);
    ASSERT_EQ(sim.status, 0) << sim.errorOutput;
    EXPECT_EQ(Join(wineEvents), Join(Comparable(sim.events)));
    EXPECT_NE(Join(run->events).find("restart"), std::string::npos) << Join(run->events);

    EXPECT_EQ(run->ReadFile("C:\\Program Files\\Veltrix\\W95-98\\TVXREL.VXD"), "driver");
    auto copy = run->ReadFile("C:\\WINDOWS\\INF\\OTHER\\TVXREL.INF");
    ASSERT_TRUE(copy.has_value());
    EXPECT_NE(copy->find("1=\"Disc\",,0001, C:\\"), std::string::npos) << *copy;
  }
}
