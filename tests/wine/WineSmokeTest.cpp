// The real program under Wine against the simulated computer: the same
// start on the same machine folder gives the same events in the x86_64
// build, in the shipped i686 build and in setupsim.
#include <gtest/gtest.h>

#include <iostream>

#include "WineHarness.h"

using namespace winetest;

namespace {

// Runs one build under Wine; fails the test when the harness cannot.
std::vector<std::string> WineEvents(const CMachineFolder& m, const WineOptions& opt, WineArch arch)
{
  auto run = RunUnderWine(m.Dir(), opt, arch);
  EXPECT_TRUE(run->ok) << (arch == WineArch::X64 ? "x64: " : "i686: ") << run->error << "\n"
                       << Join(run->events) << run->wineOutput;
  std::cout << "[ wine run ] " << (arch == WineArch::X64 ? "x64 " : "i686 ") << run->seconds
            << " s (" << run->timing << ")\n";
  return run->events;
}

std::vector<std::string> SimEvents(const CMachineFolder& m, const WineOptions& opt)
{
  SetupsimResult sim = RunSetupsim(m.Dir(), opt);
  EXPECT_EQ(sim.status, 0) << sim.errorOutput;
  return sim.events;
}

}  // namespace

// Windows XP, the disc's Windows 2000/XP setup program present as
// W2KSetup.exe only: it is started with WinExec, show state 5, and the
// program ends.
TEST(WineSmoke, HandOffOnXpSameInBothBuildsAndSetupsim)
{
  CMachineFolder m;
  m.WriteFile("D:\\W2KSetup.exe", "stand-in");
  WineOptions opt;
  opt.windows = "XP";
  opt.standins = { "D:\\W2KSetup.exe" };

  std::vector<std::string> sim = SimEvents(m, opt);
  EXPECT_EQ(Join(sim), "start \"D:\\W2KSetup.exe\" show=5 via=WinExec\nreturn false\n");
  std::vector<std::string> x64 = WineEvents(m, opt, WineArch::X64);
  EXPECT_EQ(Join(Comparable(x64)), Join(Comparable(sim)));
  // Wine's trace of the program's calls tells how it started the program.
  EXPECT_EQ(Join(x64), "start \"D:\\W2KSetup.exe\" show=5 via=WinExec\nexit 0\n");
  std::vector<std::string> i686 = WineEvents(m, opt, WineArch::I686);
  EXPECT_EQ(Join(Comparable(i686)), Join(Comparable(sim)));
}

// Neither hand-off program on the disc: the message box has no owner.
TEST(WineSmoke, MissingHandOffProgramMessageBox)
{
  CMachineFolder m;
  WineOptions opt;
  opt.windows = "XP";
  opt.commandLine = "-driver";

  std::vector<std::string> sim = SimEvents(m, opt);
  EXPECT_EQ(Join(sim),
            "message-box title=\"Setup\" text=\"Can not find the setup program for Windows "
            "2000/XP.\" owner=none\nreturn false\n");
  EXPECT_EQ(Join(Comparable(WineEvents(m, opt, WineArch::X64))), Join(Comparable(sim)));
}
