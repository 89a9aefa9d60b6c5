// Whole driver installs started by a relative program path: entering the
// directories that the install tests must not make the source directory
// name another folder. Each start must stage, place and start exactly what
// the same disc started by its full path does.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "DriverInstallTestSupport.h"

using namespace drvtest;
namespace fs = std::filesystem;

namespace {

// A disc (dir ends in a backslash) with both driver sets and a setup.ini
// for the variant: the main dialog's driver set and DOS files lie in
// folders, the VxD dialog's next to the program. Every file holds the tag.
void WriteDisc(CTestMachine& m, const std::string& dir, const char* pszWebSetup, const std::string& tag)
{
  m.WriteFile(dir + "setup.ini", std::string("[InstallOption]\r\nWebSetup=") + pszWebSetup + "\r\n");
  m.WriteFile(dir + "W95-98\\drv\\98\\TVX98.INF", InfWithDisks({ "1=\"" + tag + "\",,0001" }));
  m.WriteFile(dir + "W95-98\\drv\\98\\TVXWAV.VXD", "vxd 98 " + tag);
  m.WriteFile(dir + "Dosdrv\\TVXDOS.COM", "dos " + tag);
  m.WriteFile(dir + "W95-98\\app\\Setup.exe", "package");
  m.WriteFile(dir + "TVXWEB.INF", InfWithDisks({ "1=\"Web " + tag + "\",,0001" }));
  m.WriteFile(dir + "TVXWEB.VXD", "vxd web " + tag);
  m.WriteFile(dir + "026\\BANK.DAT", "bank " + tag);
}

// The files below a folder, with their contents.
std::string Tree(const std::string& host)
{
  std::ostringstream out;
  if (!fs::exists(host))
    return "";
  for (const auto& e : fs::recursive_directory_iterator(host)) {
    out << e.path().string().substr(host.size());
    if (e.is_regular_file()) {
      std::ifstream in(e.path(), std::ios::binary);
      out << " = " << in.rdbuf();
    }
    out << "\n";
  }
  return out.str();
}

// What one start did: its events, what it staged and what it placed.
std::string Install(const char* pszWebSetup, const std::string& discDir, const std::string& program,
                    const std::string& cwd, const char* pszArgs)
{
  CDriverTestMachine m;
  m.MakeDir("C:\\WINDOWS\\INF\\OTHER");
  m.MakeDir(cwd);
  WriteDisc(m, discDir, pszWebSetup, "disc");
  // What a wrong source directory would find instead.
  WriteDisc(m, "C:\\", pszWebSetup, "elsewhere");
  m.options.programPath = program;
  m.options.currentDirectory = cwd;
  m.options.commandLine = pszArgs;
  sim::RunOutcome r = m.Run();
  return JoinEvents(r) + Tree(m.Host("C:\\Program Files")) + Tree(m.Host("C:\\WINDOWS\\INF"));
}

}  // namespace

TEST(DriverInstallStartPath, RelativeStartsInstallWhatTheFullPathInstalls)
{
  const struct {
    const char* program;
    const char* cwd;
    const char* disc;  // where the program lies
  } starts[] = {
    { "DISC\\SETUP.EXE", "D:\\", "D:\\DISC\\" },
    { "WEB\\SETUP.EXE", "D:\\", "D:\\WEB\\" },
    { "\\SETUP.EXE", "D:\\WEB", "D:\\" },
    { "SETUP.EXE", "D:\\DISC", "D:\\DISC\\" },
    { "D:SETUP.EXE", "C:\\WINDOWS", "D:\\" },
    { "DISC\\SETUP.EXE", "\\\\SERVER\\SHARE", "\\\\SERVER\\SHARE\\DISC\\" },
  };
  const struct {
    const char* name;
    const char* webSetup;
    const char* args;
    const char* staged;  // proves the install took place
  } variants[] = {
    { "silent driver-only", "0", "/DRIVER", "/Veltrix/W95-98/TVXWAV.VXD = vxd 98 disc" },
    { "main dialog", "0", "", "/Veltrix/W95-98/TVXWAV.VXD = vxd 98 disc" },
    { "VxD dialog", "1", "", "/Veltrix/W95-98/026/BANK.DAT = bank disc" },
  };
  for (const auto& v : variants) {
    for (const auto& s : starts) {
      SCOPED_TRACE(std::string(v.name) + ": " + s.program + " from " + s.cwd);
      std::string full = Install(v.webSetup, s.disc, std::string(s.disc) + "SETUP.EXE", "C:\\WINDOWS", v.args);
      EXPECT_NE(std::string::npos, full.find(v.staged)) << full;
      EXPECT_EQ(full, Install(v.webSetup, s.disc, s.program, s.cwd, v.args));
    }
  }
}
