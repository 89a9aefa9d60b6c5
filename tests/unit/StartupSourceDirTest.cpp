// Where the start-up looks for setup.ini and the hand-off programs: the
// directory of the program path, completed with the current drive, and
// missing (nothing found in it) when it cannot be formed whole.
#include <gtest/gtest.h>

#include <cstring>

#include "StartupFakePlatform.h"
#include "StartupTestSupport.h"
#include "app/LaunchContext.h"

using namespace startup_test;

namespace {

// On XP the hand-off command names the source directory exactly.
struct SourceDirRow {
  const char* program;
  const char* cwd;
  const char* fileAt;    // where the disc's W2KSetup.exe lies
  const char* expected;  // the path taken
};

void CheckRows(const SourceDirRow* rows, size_t n)
{
  for (size_t i = 0; i < n; ++i) {
    const SourceDirRow& row = rows[i];
    SCOPED_TRACE(std::string("program ") + row.program + ", current directory " + row.cwd);
    CTestMachine m;
    m.options.windows = "XP";
    m.options.programPath = row.program;
    m.options.currentDirectory = std::string(row.cwd);
    m.MakeDir(row.cwd);
    m.WriteFile(row.fileAt, "2000/XP setup");
    sim::RunOutcome r = m.Run();
    EXPECT_EQ(row.expected, ClassifyPath(r, m));
  }
}

const char kMissingW2K[] = "missing Can not find the setup program for Windows 2000/XP.";

}  // namespace

TEST(StartupSourceDir, ProgramPathWithDriveOrCompletedWithTheCurrentDrive)
{
  const SourceDirRow rows[] = {
    { "D:\\SETUP.EXE", "C:\\WINDOWS", "D:\\W2KSetup.exe", "handoff D:\\W2KSetup.exe" },
    { "E:\\DRIVERS\\DISC1\\SETUP.EXE", "C:\\WINDOWS", "E:\\DRIVERS\\DISC1\\W2KSetup.exe",
      "handoff E:\\DRIVERS\\DISC1\\W2KSetup.exe" },
    // Root-relative: on the current directory's drive.
    { "\\DISC\\SETUP.EXE", "C:\\WINDOWS", "C:\\DISC\\W2KSetup.exe",
      "handoff C:\\DISC\\W2KSetup.exe" },
    { "\\DISC\\SETUP.EXE", "D:\\WEB", "D:\\DISC\\W2KSetup.exe", "handoff D:\\DISC\\W2KSetup.exe" },
    // Relative: relative to the current directory of its drive.
    { "DISC\\SETUP.EXE", "C:\\WINDOWS", "C:\\WINDOWS\\DISC\\W2KSetup.exe",
      "handoff C:DISC\\W2KSetup.exe" },
    { "E:DISC\\SETUP.EXE", "E:\\", "E:\\DISC\\W2KSetup.exe", "handoff E:DISC\\W2KSetup.exe" },
  };
  CheckRows(rows, sizeof rows / sizeof rows[0]);
}

TEST(StartupSourceDir, BareNameRootAndNetworkPathsNameNoFolderAfterTheProgram)
{
  const SourceDirRow rows[] = {
    // Started by its bare name: the current directory.
    { "SETUP.EXE", "D:\\WEB", "D:\\WEB\\W2KSetup.exe", "handoff D:\\WEB\\W2KSetup.exe" },
    { "SETUP.EXE", "D:\\", "D:\\W2KSetup.exe", "handoff D:\\W2KSetup.exe" },
    { "D:SETUP.EXE", "D:\\WEB", "D:\\WEB\\W2KSetup.exe", "handoff D:\\WEB\\W2KSetup.exe" },
    // A name on another drive than the current one: that drive's current
    // directory is not known, so nothing is looked for.
    { "D:SETUP.EXE", "C:\\WINDOWS", "D:\\W2KSetup.exe", kMissingW2K },
    // Its only backslash first: the root of the current drive.
    { "\\SETUP.EXE", "C:\\WINDOWS", "C:\\W2KSetup.exe", "handoff C:\\W2KSetup.exe" },
    // Never a folder named after the program file.
    { "SETUP.EXE", "C:\\WINDOWS", "C:\\WINDOWS\\SETUP.EXE\\W2KSetup.exe", kMissingW2K },
  };
  CheckRows(rows, sizeof rows / sizeof rows[0]);
}

TEST(StartupSourceDir, NetworkPathKeepsItsServerAndGetsNoDrive)
{
  // The simulated computer has no network, so the hand-off program is not
  // found; what the start-up looked for shows in the command it reports.
  CTestMachine m;
  m.options.windows = "XP";
  m.options.programPath = "\\\\SERVER\\SHARE\\DISC\\SETUP.EXE";
  m.WriteFile("C:\\SERVER\\SHARE\\DISC\\W2KSetup.exe", "not the network's");
  m.WriteFile("C:\\WINDOWS\\SERVER\\SHARE\\DISC\\W2KSetup.exe", "not the network's");
  sim::RunOutcome r = m.Run();
  EXPECT_EQ(kMissingW2K, ClassifyPath(r, m));
}

TEST(StartupSourceDir, PathsThatDoNotFitCountAsMissing)
{
  // Components of at most 100 characters, as host folders allow.
  const std::string a(100, 'A'), b(100, 'B'), c(50, 'C');
  const std::string base = "D:\\" + a + "\\" + b + "\\";
  const std::string dir259 = base + std::string(259 - base.size(), 'D');
  ASSERT_EQ(259u, dir259.size());
  const std::string longDir = "D:\\" + a + "\\" + b + "\\" + c + "\\" + c;  // 306 characters

  const struct {
    std::string program;
    std::string cwd;
    const char* why;
  } rows[] = {
    // The program path itself is too long.
    { longDir + "\\SETUP.EXE", "C:\\WINDOWS", "program path" },
    // Started by its bare name from a current directory that is too long.
    { "SETUP.EXE", longDir, "current directory" },
    // The current directory fits, but with its backslash the result does not.
    { "SETUP.EXE", dir259, "combined path" },
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.why);
    CTestMachine m;
    m.options.windows = "XP";
    m.options.programPath = row.program;
    m.options.currentDirectory = row.cwd;
    m.MakeDir(row.cwd);
    // Everything the cut paths could name: none of it is used.
    m.WriteFile("D:\\W2KSetup.exe", "x");
    m.WriteFile("D:\\" + a + "\\W2KSetup.exe", "x");
    m.WriteFile("D:\\" + a + "\\" + b + "\\W2KSetup.exe", "x");
    m.WriteFile("C:\\WINDOWS\\W2KSetup.exe", "x");
    m.WriteFile("C:\\W2KSetup.exe", "x");
    sim::RunOutcome r = m.Run();
    EXPECT_EQ(kMissingW2K, ClassifyPath(r, m));
  }
}

TEST(StartupSourceDir, MissingSourceDirectoryReadsNoSetupIniFromTheWindowsDirectory)
{
  // setup.ini by its bare name would be the Windows directory's.
  CTestMachine m;
  m.options.windows = "98";
  m.options.programPath = "D:" + std::string(1, '\\') + std::string(100, 'A') + "\\" +
                          std::string(100, 'B') + "\\" + std::string(100, 'C') + "\\SETUP.EXE";
  m.WriteFile("C:\\WINDOWS\\setup.ini", "[InstallOption]\r\nWebSetup=3\r\n[Default]\r\nUsingCDDA=1\r\n");
  m.options.actions = { "cancel" };
  sim::RunOutcome r = m.Run();
  // Defaults: a disc setup showing the main dialog (the dialog itself finds
  // no package and may end the program).
  ASSERT_FALSE(r.events.empty());
  EXPECT_EQ("dialog 102 open lang=1033", r.events[0]) << JoinEvents(r);
  auto ini = m.ReadFile("C:\\WINDOWS\\QVCDPLAY.INI");
  ASSERT_TRUE(ini.has_value());
  EXPECT_NE(std::string::npos, ini->find("UsingCDDA=0")) << *ini;
}

TEST(StartupSourceDir, NetworkPathsAndTheRuleWithoutDriveCompletion)
{
  // Direct calls: the simulated computer has no network directories. The
  // VxD dialog asks for the rule without drive completion.
  const struct {
    const char* commandLine;
    const char* cwd;
    BOOL bCompleteDrive;
    const char* expected;  // "" when the directory is missing
  } rows[] = {
    { "\\\\SERVER\\SHARE\\DISC\\SETUP.EXE", "C:\\WINDOWS", TRUE, "\\\\SERVER\\SHARE\\DISC\\" },
    { "\\\\SERVER\\SHARE\\SETUP.EXE /AP", "C:\\WINDOWS", TRUE, "\\\\SERVER\\SHARE\\" },
    { "\\\\SERVER\\SHARE\\DISC\\SETUP.EXE", "C:\\WINDOWS", FALSE, "\\\\SERVER\\SHARE\\DISC\\" },
    { "\"\\\\SERVER\\MY SHARE\\SETUP.EXE\"", "C:\\WINDOWS", TRUE, "\\\\SERVER\\MY SHARE\\" },
    // A network current directory: its share is the drive.
    { "\\DISC\\SETUP.EXE", "\\\\SERVER\\SHARE\\WEB", TRUE, "\\\\SERVER\\SHARE\\DISC\\" },
    { "\\SETUP.EXE", "\\\\SERVER\\SHARE\\WEB", TRUE, "\\\\SERVER\\SHARE\\" },
    { "DISC\\SETUP.EXE", "\\\\SERVER\\SHARE\\WEB", TRUE, "\\\\SERVER\\SHARE\\WEB\\DISC\\" },
    { "SETUP.EXE", "\\\\SERVER\\SHARE\\WEB", TRUE, "\\\\SERVER\\SHARE\\WEB\\" },
    // Without drive completion.
    { "\\DISC\\SETUP.EXE", "C:\\WINDOWS", FALSE, "\\DISC\\" },
    { "DISC\\SETUP.EXE", "C:\\WINDOWS", FALSE, "DISC\\" },
    { "\\SETUP.EXE", "C:\\WINDOWS", FALSE, "\\" },
    { "E:\\WEB\\SETUP.EXE", "C:\\WINDOWS", FALSE, "E:\\WEB\\" },
    { "SETUP.EXE", "C:\\WINDOWS", FALSE, "C:\\WINDOWS\\" },
    // Quoted with a blank, arguments after it.
    { "\"D:\\MY DISC\\SETUP.EXE\" /AP", "C:\\WINDOWS", TRUE, "D:\\MY DISC\\" },
    { "SETUP.EXE", "C:\\", TRUE, "C:\\" },
    // No current directory to be had.
    { "SETUP.EXE", "", TRUE, "" },
    { "\\DISC\\SETUP.EXE", "", TRUE, "" },
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(std::string(row.commandLine) + " in " + row.cwd +
                 (row.bCompleteDrive ? "" : ", no drive completion"));
    CStartFakePlatform platform;
    platform.m_commandLine = row.commandLine;
    platform.m_currentDirectory = row.cwd;
    CFakePlatformScope scope(&platform);
    char szDir[MAX_PATH];
    std::memset(szDir, 'x', sizeof szDir);
    BOOL bResult = ResolveSourceDirectory(szDir, row.bCompleteDrive);
    EXPECT_STREQ(row.expected, szDir);
    EXPECT_EQ(row.expected[0] != '\0', bResult != FALSE);
  }
}
