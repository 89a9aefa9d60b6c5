// Running the previous package's uninstaller: which key and value, the
// command, and the wait for its end.
#include <gtest/gtest.h>

#include "PackageTestSupport.h"
#include "setup/PackageUninstall.h"
#include "sim/SimPlatform.h"

using namespace package_test;

namespace {

const char kKey9x[] =
    "HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tonivex "
    "Applications";
const char kKeyNt[] =
    "HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tonivex WinNT "
    "Applications";

// A REGEDIT4 string value line; text as stored.
std::string RegValue(const std::string& name, const std::string& text)
{
  std::string escaped;
  for (char c : text)
    escaped += (c == '\\' || c == '"') ? std::string("\\") + c : std::string(1, c);
  return "\"" + name + "\"=\"" + escaped + "\"\r\n";
}

std::string RegKey(const std::string& path, const std::string& values)
{
  return "[" + path + "]\r\n" + values + "\r\n";
}

// Runs UninstallPreviousPackage alone on the machine; returns its events.
std::vector<std::string> RunUninstall(CTestMachine& m)
{
  sim::CSimComputer& pc = m.Load();
  sim::CPlatformScope scope(pc);
  UninstallPreviousPackage();
  return pc.Events();
}

struct KeyCase {
  const char* name;
  std::string registry;
  std::string command;  // "" when nothing is run
};

}  // namespace

TEST(PackageUninstall, ChoosesKeyAndValueInOrder)
{
  const std::string kA = "C:\\A\\UNINST.EXE", kB = "C:\\B\\UNINST.EXE";
  const KeyCase cases[] = {
    { "no package registered", "", "" },
    { "both keys: the 9x one", RegKey(kKey9x, RegValue("UninstallString", kA)) +
                                   RegKey(kKeyNt, RegValue("UninstallString", kB)),
      kA + " -a" },
    { "only the NT key", RegKey(kKeyNt, RegValue("InstallShieldUninstallString", kB)), kB + " -a" },
    { "both values: InstallShield's", RegKey(kKey9x, RegValue("UninstallString", kB) +
                                                         RegValue("InstallShieldUninstallString", kA)),
      kA + " -a" },
    // The first key opens, so the second is not looked at.
    { "first key without values", RegKey(kKey9x, "") +
                                      RegKey(kKeyNt, RegValue("UninstallString", kB)),
      "" },
    // Arguments of its own stay as they are; nothing is expanded.
    { "stored arguments", RegKey(kKey9x, RegValue("UninstallString",
                                                  kA + " -f\"C:\\Program Files\\%X%\\a.isu\"")),
      kA + " -f\"C:\\Program Files\\%X%\\a.isu\" -a" },
    // 259 characters and the terminator fit the 260 bytes...
    { "value of 259 characters",
      RegKey(kKey9x, RegValue("UninstallString", kA + " " + std::string(259 - kA.size() - 1, 'x'))),
      kA + " " + std::string(259 - kA.size() - 1, 'x') + " -a" },
    // ...260 do not: that value counts as absent.
    { "value too long", RegKey(kKey9x, RegValue("InstallShieldUninstallString",
                                                kA + " " + std::string(260 - kA.size() - 1, 'x')) +
                                           RegValue("UninstallString", kB)),
      kB + " -a" },
  };
  for (const KeyCase& c : cases) {
    SCOPED_TRACE(c.name);
    CTestMachine m;
    m.WriteFile(kA, "uninstaller");
    m.WriteFile(kB, "uninstaller");
    m.SetRegistry("REGEDIT4\r\n\r\n" + c.registry);
    std::vector<std::string> ev = RunUninstall(m);
    std::vector<std::string> expected;
    if (!c.command.empty())
      expected = { "wait-cursor on", StartLine(c.command),
                   "ended " + Quoted(c.command) + " code=0", "wait-cursor off" };
    EXPECT_EQ(expected, ev) << Join(ev);
  }
}

TEST(PackageUninstall, WaitsUntilTheUninstallerHasEnded)
{
  for (int reads : { 1, 5, 1000 }) {
    SCOPED_TRACE(reads);
    CTestMachine m;
    m.WriteFile("C:\\UNINST.EXE", "uninstaller");
    m.SetRegistry("REGEDIT4\r\n\r\n" +
                  RegKey(kKey9x, RegValue("UninstallString", "C:\\UNINST.EXE")));
    m.options.runningPrograms = { { "C:\\UNINST.EXE -a", reads } };
    std::vector<std::string> ev = RunUninstall(m);
    std::vector<std::string> expected = { "wait-cursor on", StartLine("C:\\UNINST.EXE -a"),
                                          "ended \"C:\\UNINST.EXE -a\" code=0",
                                          "wait-cursor off" };
    EXPECT_EQ(expected, ev) << Join(ev);
  }
}

// A missing uninstaller, or an empty value (whose command " -a" names no
// program), starts nothing: the refusal is reported, nothing is waited for.
TEST(PackageUninstall, AnUninstallerThatDoesNotStartIsNotWaitedFor)
{
  for (const char* value : { "C:\\GONE\\UNINST.EXE", "" }) {
    CTestMachine m;
    m.SetRegistry("REGEDIT4\r\n\r\n" + RegKey(kKey9x, RegValue("UninstallString", value)));
    std::vector<std::string> ev = RunUninstall(m);
    EXPECT_EQ(ev, (std::vector<std::string>{ "wait-cursor on",
                                             "start-failed " + Quoted(value + std::string(" -a")) +
                                                 " via=CreateProcess",
                                             "wait-cursor off" }));
  }
}

namespace {

// A computer on which every exit code reads 259, as an uninstaller that
// ends with that code of its own gives; it counts the waits on the process.
class CExitCode259Computer : public sim::CSimPlatform {
public:
  using sim::CSimPlatform::CSimPlatform;
  BOOL GetExitCodeProcess(HANDLE hProcess, LPDWORD pdwExitCode) override
  {
    // A loop that never ends would read on for ever: stop it, and let the
    // counts below fail instead.
    if (++m_nExitCodeReads > 100)
      return FALSE;
    BOOL bOk = sim::CSimPlatform::GetExitCodeProcess(hProcess, pdwExitCode);
    if (bOk)
      *pdwExitCode = STILL_ACTIVE;
    return bOk;
  }
  DWORD WaitForSingleObject(HANDLE hHandle, DWORD dwMilliseconds) override
  {
    ++m_nBlockingWaits;
    return sim::CSimPlatform::WaitForSingleObject(hHandle, dwMilliseconds);
  }
  int m_nExitCodeReads = 0;
  int m_nBlockingWaits = 0;
};

}  // namespace

TEST(PackageUninstall, AnUninstallerEndingWithCode259IsSeenToHaveEnded)
{
  CTestMachine m;
  m.WriteFile("C:\\UNINST.EXE", "uninstaller");
  m.SetRegistry("REGEDIT4\r\n\r\n" +
                RegKey(kKey9x, RegValue("UninstallString", "C:\\UNINST.EXE")));
  m.options.runningPrograms = { { "C:\\UNINST.EXE -a", 3 } };
  CExitCode259Computer pc(m.Dir(), m.options);
  std::string err;
  ASSERT_TRUE(pc.Init(&err)) << err;
  {
    sim::CPlatformScope scope(pc);
    UninstallPreviousPackage();
  }
  // It returns, having blocked on the process rather than polling it.
  EXPECT_EQ(2, pc.m_nExitCodeReads);
  EXPECT_EQ(1, pc.m_nBlockingWaits);
  EXPECT_EQ("wait-cursor off", pc.Events().back()) << Join(pc.Events());
}
