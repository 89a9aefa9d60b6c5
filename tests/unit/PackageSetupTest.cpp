// Which package Setup.exe is found on each Windows family, how it is
// started, the package-word path end to end, and the package reboot flag.
#include <gtest/gtest.h>

#include "PackageTestSupport.h"
#include "install/LaunchContext.h"
#include "setup/PackageSetup.h"

using namespace package_test;

namespace {

struct FindCase {
  const char* windows;
  int nWindowsMEDriver;
  int nWindows98SEDriver;
  int builds;            // on the disc
  const char* expected;  // relative to the source directory; "" for none
};

const FindCase kFindCases[] = {
  // Windows 95: its own build, else the W2K-ME one.
  { "95", 1, 0, kAllBuilds, "W95-98\\app\\Setup.exe" },
  { "95", 1, 1, kW2K | kNT40, "W2K-ME\\app\\Setup.exe" },
  { "95", 1, 0, kNT40, "" },
  // Windows 98 first edition: the SE option does not apply.
  { "98", 1, 1, kAllBuilds, "W95-98\\app\\Setup.exe" },
  { "98", 0, 0, kW2K, "W2K-ME\\app\\Setup.exe" },
  // Windows 98 SE: Windows98SEDriver picks the build.
  { "98SE", 1, 1, kAllBuilds, "W2K-ME\\app\\Setup.exe" },
  { "98SE", 1, 0, kAllBuilds, "W95-98\\app\\Setup.exe" },
  { "98SE", 1, 0, kW2K, "W2K-ME\\app\\Setup.exe" },
  // The fallback is the W2K-ME build itself: nothing else is tried.
  { "98SE", 1, 1, kW95, "" },
  // Windows ME: WindowsMEDriver picks the build.
  { "ME", 1, 0, kAllBuilds, "W2K-ME\\app\\Setup.exe" },
  { "ME", 0, 0, kAllBuilds, "W95-98\\app\\Setup.exe" },
  { "ME", 0, 1, kW2K, "W2K-ME\\app\\Setup.exe" },
  { "ME", 1, 0, kW95 | kNT40, "" },
  // NT classes: no fallback.
  { "NT4", 1, 0, kAllBuilds, "NT40\\app\\Setup.exe" },
  { "NT4", 1, 0, kW95 | kW2K, "" },
  { "2000", 1, 0, kAllBuilds, "W2K-ME\\app\\Setup.exe" },
  { "2000", 0, 1, kW95 | kNT40, "" },
  { "XP", 0, 0, kW2K, "W2K-ME\\app\\Setup.exe" },
};

}  // namespace

TEST(PackageSetup, FindsTheBuildForEachFamily)
{
  for (const FindCase& c : kFindCases) {
    SCOPED_TRACE(std::string(c.windows) + " ME=" + std::to_string(c.nWindowsMEDriver) +
                 " 98SE=" + std::to_string(c.nWindows98SEDriver) +
                 " builds=" + std::to_string(c.builds));
    CTestMachine m;
    m.options.windows = c.windows;
    WriteDisc(m, "D:\\", c.builds);
    sim::CSimComputer& pc = m.Load();
    sim::CPlatformScope scope(pc);
    VersionClass version;
    ClassifyWindowsVersion(&version);
    char szPath[MAX_PATH] = "stale";
    BOOL bFound = FindPackageSetup(version, "D:\\", c.nWindowsMEDriver, c.nWindows98SEDriver,
                                   szPath);
    EXPECT_EQ(c.expected[0] != '\0', bFound != FALSE);
    EXPECT_EQ(c.expected[0] ? "D:\\" + std::string(c.expected) : std::string(), szPath);
  }
}

TEST(PackageSetup, UnknownFamilyOrNoSourceDirectoryFindsNothing)
{
  CTestMachine m;
  WriteDisc(m, "D:\\", kAllBuilds);
  sim::CPlatformScope scope(m.Load());
  VersionClass none = {};
  char szPath[MAX_PATH];
  EXPECT_FALSE(FindPackageSetup(none, "D:\\", 1, 1, szPath));
  EXPECT_STREQ("", szPath);
  VersionClass win95 = {};
  win95.m_bWin95 = 1;
  // An unresolved source directory must not turn into the current one.
  EXPECT_FALSE(FindPackageSetup(win95, "", 1, 0, szPath));
}

TEST(PackageSetup, StartQuotesAPathWithABlank)
{
  struct {
    const char* program;
    const char* setup;
    const char* command;
  } const cases[] = {
    { "D:\\SETUP.EXE", "D:\\W95-98\\app\\Setup.exe", "D:\\W95-98\\app\\Setup.exe" },
    { "C:\\My Disc\\SETUP.EXE", "C:\\My Disc\\W95-98\\app\\Setup.exe",
      "\"C:\\My Disc\\W95-98\\app\\Setup.exe\"" },
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.program);
    CTestMachine m;
    m.options.windows = "95";
    m.options.programPath = c.program;
    m.options.commandLine = "/AP";
    m.WriteFile(c.setup, "package setup");
    sim::RunOutcome r = m.Run();
    // Started exactly once, shown normally, and then the program ends.
    EXPECT_EQ(1, Count(r.events, StartLine(c.command))) << Join(r.events);
    EXPECT_TRUE(InOrder(r.events, { StartLine(c.command), "exit 0" })) << Join(r.events);
  }
}

TEST(PackageSetup, RebootFlagInTheWindowsDirectory)
{
  struct {
    const char* windir;
    const char* file;
  } const cases[] = {
    { "C:\\WINDOWS", "C:\\WINDOWS\\QVXSETUP.INI" },
    { "C:\\", "C:\\QVXSETUP.INI" },
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.windir);
    CTestMachine m;
    m.options.windowsDirectory = c.windir;
    // An earlier answer is replaced; the rest of the file stays.
    m.WriteFile(c.file, "[Need_To_Reboot]\r\nInstall=NO\r\n[Other]\r\nKey=1\r\n");
    sim::CSimComputer& pc = m.Load();
    sim::CPlatformScope scope(pc);
    WritePackageRebootFlag();
    IPlatform& p = pc.GetPlatform();
    char sz[16] = "";
    p.GetPrivateProfileStringA("Need_To_Reboot", "Install", "", sz, sizeof sz, c.file);
    EXPECT_STREQ("YES", sz);
    p.GetPrivateProfileStringA("Other", "Key", "", sz, sizeof sz, c.file);
    EXPECT_STREQ("1", sz);
  }
}

namespace {

struct PathCase {
  const char* windows;
  const char* setupIni;  // NULL: no setup.ini
  const char* expected;
};

const PathCase kPathCases[] = {
  { "ME", nullptr, "D:\\W2K-ME\\app\\Setup.exe" },
  { "ME", "[InstallOption]\r\nWindowsMEDriver=0\r\n", "D:\\W95-98\\app\\Setup.exe" },
  { "98SE", "[InstallOption]\r\nWindows98SEDriver=1\r\n", "D:\\W2K-ME\\app\\Setup.exe" },
  { "98SE", "[InstallOption]\r\nWindowsMEDriver=0\r\n", "D:\\W95-98\\app\\Setup.exe" },
  { "98", "[InstallOption]\r\nWindows98SEDriver=1\r\n", "D:\\W95-98\\app\\Setup.exe" },
  { "NT4", nullptr, "D:\\NT40\\app\\Setup.exe" },
  { "2000", nullptr, "D:\\W2K-ME\\app\\Setup.exe" },
  { "XP", "[InstallOption]\r\nWindowsMEDriver=0\r\n", "D:\\W2K-ME\\app\\Setup.exe" },
};

}  // namespace

TEST(PackageSetup, PackageWordStartsTheBuildForTheSystemAndEnds)
{
  for (const PathCase& c : kPathCases) {
    SCOPED_TRACE(std::string(c.windows) + " " + (c.setupIni ? c.setupIni : "(no setup.ini)"));
    CTestMachine m;
    m.options.windows = c.windows;
    m.options.commandLine = "-ap";
    WriteDisc(m, "D:\\", kAllBuilds);
    // The hand-off programs are there but not used on this path.
    m.WriteFile("D:\\W2KSetup.dat", "x");
    m.WriteFile("D:\\MESetup.dat", "x");
    if (c.setupIni)
      m.WriteFile("D:\\setup.ini", c.setupIni);
    sim::RunOutcome r = m.Run();
    std::vector<std::string> expected = { "pause 500", StartLine(c.expected), "exit 0" };
    EXPECT_EQ(expected, r.events) << Join(r.events);
    // Only the dialog leaves the reboot flag.
    EXPECT_FALSE(m.Exists("C:\\WINDOWS\\QVXSETUP.INI"));
  }
}

TEST(PackageSetup, PackageWordWithoutAPackage)
{
  CTestMachine m;
  m.options.windows = "NT4";
  m.options.commandLine = "/AP";
  // Builds for other systems do not stand in for NT 4.0's.
  WriteDisc(m, "D:\\", kW95 | kW2K);
  m.WriteFile("C:\\WINDOWS\\UNINST.EXE", "uninstaller");
  m.SetRegistry(
      "REGEDIT4\r\n\r\n"
      "[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tonivex "
      "WinNT Applications]\r\n"
      "\"UninstallString\"=\"C:\\\\WINDOWS\\\\UNINST.EXE\"\r\n");
  sim::RunOutcome r = m.Run();
  // The uninstall still runs first; the message has no owner.
  std::vector<std::string> expected = {
    "pause 500",
    "wait-cursor on",
    StartLine("C:\\WINDOWS\\UNINST.EXE -a"),
    "ended \"C:\\WINDOWS\\UNINST.EXE -a\" code=0",
    "wait-cursor off",
    MessageLine("Can not find the Tonivex Applications setup program.", "none"),
    "exit 0",
  };
  EXPECT_EQ(expected, r.events) << Join(r.events);
}

TEST(PackageSetup, PackageWordRunsEveryStepInOrder)
{
  CTestMachine m;
  m.options.windows = "95";
  m.options.commandLine = "AP";
  m.options.openWindows = { "Disc Spinner", "Tonedock" };
  m.options.runningPrograms = { { "C:\\UNINST.EXE -a", 2 } };
  WriteDisc(m, "D:\\", kW95);
  m.WriteFile("C:\\UNINST.EXE", "uninstaller");
  m.SetRegistry(
      "REGEDIT4\r\n\r\n"
      "[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tonivex "
      "Applications]\r\n"
      "\"InstallShieldUninstallString\"=\"C:\\\\UNINST.EXE\"\r\n");
  sim::RunOutcome r = m.Run();
  std::vector<std::string> expected = {
    "close-window \"Tonedock\"",
    "pause 500",
    "pause 500",
    "wait-cursor on",
    StartLine("C:\\UNINST.EXE -a"),
    "ended \"C:\\UNINST.EXE -a\" code=0",
    "wait-cursor off",
    StartLine("D:\\W95-98\\app\\Setup.exe"),
    "exit 0",
  };
  EXPECT_EQ(expected, r.events) << Join(r.events);
}
