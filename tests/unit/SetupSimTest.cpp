// The setupsim command: options, machine.ini, refusal of bad input with
// status 2 before anything changes, and the printed events.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <fstream>

#include "TestMachine.h"

namespace {

struct Result {
  int status = -1;
  std::string out;
};

// Runs the built setupsim with the arguments (already quoted for the shell).
Result RunSetupSim(const std::string& args)
{
  Result r;
  std::string cmd = std::string(SETUP_BINARY_DIR) + "/setupsim " + args + " 2>&1";
  FILE* f = popen(cmd.c_str(), "r");
  if (!f)
    return r;
  char buf[512];
  while (fgets(buf, sizeof buf, f))
    r.out += buf;
  int st = pclose(f);
  r.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
  return r;
}

std::string Q(const std::string& s)
{
  return "'" + s + "'";
}

TEST(SetupSimTest, RefusesBadInputWithStatus2AndChangesNothing)
{
  CTestMachine m;
  const std::string reg = "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\A]\r\n\"x\"=\"1\"\r\n\r\n";
  m.SetRegistry(reg);
  struct Row {
    std::string args;
    const char* why;
  } rows[] = {
      {"--windows 96 " + Q(m.Dir()), "unknown version"},
      {"--act press " + Q(m.Dir()), "bad action"},
      {"--act click:x " + Q(m.Dir()), "bad click id"},
      {"--running prog " + Q(m.Dir()), "running without count"},
      {"--lang en " + Q(m.Dir()), "language not a number"},
      {"--bogus " + Q(m.Dir()), "unknown option"},
      {"--cwd 'C:\\nowhere' " + Q(m.Dir()), "current directory missing"},
      {"--program '' " + Q(m.Dir()), "empty program path"},
      {"--windir WINDOWS " + Q(m.Dir()), "relative Windows directory"},
      {"--sysdir 'WINDOWS\\SYSTEM' " + Q(m.Dir()), "relative system directory"},
      {"--sysdir 'C:SYSTEM' " + Q(m.Dir()), "system directory relative to C:"},
      {Q(m.Dir() + "/nothing"), "missing machine folder"},
      {"", "no machine folder"},
  };
  for (const auto& r : rows) {
    Result res = RunSetupSim(r.args);
    EXPECT_EQ(2, res.status) << r.why;
    EXPECT_EQ(1, std::count(res.out.begin(), res.out.end(), '\n')) << r.why << ": " << res.out;
    EXPECT_EQ(reg, m.ReadRegistryFile()) << r.why;
  }
  m.SetRegistry("REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\A]\r\nbroken\r\n");
  Result res = RunSetupSim(Q(m.Dir()));
  EXPECT_EQ(2, res.status);
  EXPECT_NE(std::string::npos, res.out.find("registry.reg line 4")) << res.out;
  EXPECT_EQ("REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\A]\r\nbroken\r\n", m.ReadRegistryFile());
}

TEST(SetupSimTest, MachineIniAndCommandLineMerge)
{
  CTestMachine m;
  std::ofstream(m.Dir() + "/machine.ini")
      << "[Machine]\r\nWindows=NT4\r\nLanguage=1036\r\n[Windows]\r\nMixer=1\r\nGone=0\r\n"
         "[Programs]\r\nC:\\u.exe -a x=y=3\r\n";
  sim::SimOptions o;
  std::string err;
  ASSERT_TRUE(sim::ReadMachineIni(m.Dir(), &o, &err)) << err;
  EXPECT_EQ("NT4", o.windows);
  EXPECT_EQ(1036, o.language);
  EXPECT_EQ(std::vector<std::string>{"Mixer"}, o.openWindows);
  ASSERT_EQ(1u, o.runningPrograms.size());
  EXPECT_EQ("C:\\u.exe -a x=y", o.runningPrograms[0].first);  // the count follows the last '='
  EXPECT_EQ(3, o.runningPrograms[0].second);

  std::ofstream(m.Dir() + "/machine.ini") << "[Machine]\r\nWindows=ME\r\nColour=blue\r\n";
  Result bad = RunSetupSim(Q(m.Dir()));
  EXPECT_EQ(2, bad.status) << bad.out;
  std::ofstream(m.Dir() + "/machine.ini") << "[Machine]\r\nWindows=banana\r\n";
  EXPECT_EQ(2, RunSetupSim(Q(m.Dir())).status);
  // The command line wins over machine.ini.
  Result ok = RunSetupSim("--windows=98SE " + Q(m.Dir()));
  EXPECT_EQ(0, ok.status) << ok.out;
}

TEST(SetupSimTest, HelpAndARun)
{
  Result help = RunSetupSim("--help");
  EXPECT_EQ(0, help.status);
  EXPECT_NE(std::string::npos, help.out.find("usage: setupsim"));
  CTestMachine m;
  Result run = RunSetupSim(Q(m.Dir()));
  EXPECT_EQ(0, run.status) << run.out;
  // Whatever path the launcher takes, the run ends in one of its endings.
  EXPECT_TRUE(run.out.find("return false\n") != std::string::npos ||
              run.out.find("exit ") != std::string::npos)
      << run.out;
}

}  // namespace

namespace {

TEST(SetupSimTest, ActionNamingNoControlStopsTheRunWithStatus2)
{
  // Windows 95 with WebSetup 0 shows the main options dialog (102).
  CTestMachine m;
  m.WriteFile("D:\\setup.ini", "[InstallOption]\r\nWebSetup=0\r\n");
  m.WriteFile("D:\\W95-98\\app\\Setup.exe", "");  // the package it offers
  Result r = RunSetupSim("--windows 95 --act click:9999 " + Q(m.Dir()));
  EXPECT_EQ(2, r.status) << r.out;
  EXPECT_NE(std::string::npos, r.out.find("dialog 102 open lang=1033\n")) << r.out;
  EXPECT_NE(std::string::npos, r.out.find("setupsim: click:9999: dialog 102 has no control 9999\n"))
      << r.out;
  EXPECT_EQ(std::string::npos, r.out.find("dialog 102 end")) << r.out;
}

}  // namespace
