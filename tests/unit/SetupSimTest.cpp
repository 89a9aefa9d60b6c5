// The setupsim command: options, machine.ini, refusal of bad input with
// status 2 before anything changes, the printed events and the change report.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
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

namespace {

// The sample computer with the sample disc as drive D:, as run.sh runs it.
std::string SampleRunFolder(CTestMachine& m)
{
  namespace fs = std::filesystem;
  fs::path samples = fs::path(SETUP_SOURCE_DIR) / "samples";
  fs::remove_all(fs::path(m.Dir()) / "c");
  fs::remove_all(fs::path(m.Dir()) / "d");
  fs::copy(samples / "machine-98", m.Dir(), fs::copy_options::recursive | fs::copy_options::overwrite_existing);
  fs::copy(samples / "disc", fs::path(m.Dir()) / "d", fs::copy_options::recursive);
  return m.Dir();
}

// The [key] blocks of registry.reg text, each with its lines.
std::vector<std::string> KeyBlocks(const std::string& text)
{
  std::vector<std::string> blocks;
  for (size_t at = text.find("\n["); at != std::string::npos;) {
    size_t next = text.find("\n[", at + 1);
    blocks.push_back(text.substr(at + 1, next == std::string::npos ? std::string::npos : next - at));
    at = next;
  }
  return blocks;
}

size_t CountOf(const std::string& text, const std::string& what)
{
  size_t n = 0;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
    ++n;
  return n;
}

TEST(SetupSimTest, ChangesOfTheSampleRun)
{
  CTestMachine plain, m;
  Result events = RunSetupSim(Q(SampleRunFolder(plain)));
  std::string regBefore = (SampleRunFolder(m), m.ReadRegistryFile());
  Result r = RunSetupSim("--changes " + Q(m.Dir()));
  ASSERT_EQ(0, r.status) << r.out;
  // The events as without --changes, then the report.
  ASSERT_EQ(0u, r.out.find(events.out)) << r.out;
  std::string report = r.out.substr(events.out.size());
  ASSERT_EQ(0u, report.find("changes:\n")) << report;

  // Every key the report does not name keeps its lines in registry.reg.
  std::string regAfter = m.ReadRegistryFile();
  size_t nKept = 0;
  for (const std::string& block : KeyBlocks(regBefore)) {
    std::string path = block.substr(1, block.find(']') - 1);
    if (report.find(path + "\n") != std::string::npos || report.find(path + " ") != std::string::npos)
      continue;
    EXPECT_NE(std::string::npos, regAfter.find(block)) << block;
    ++nKept;
  }
  EXPECT_GT(nKept, 3u);
  // Each rename the run scheduled in WININIT.INI reads as one.
  std::string wininit = m.ReadFile("C:\\WINDOWS\\WININIT.INI").value_or("");
  EXPECT_EQ(CountOf(wininit, "="), CountOf(report, "\nat restart: ")) << report;
  EXPECT_GT(CountOf(report, "\nat restart: "), 0u);
}

}  // namespace
