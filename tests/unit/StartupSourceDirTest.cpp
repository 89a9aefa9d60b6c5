// Where the start-up looks for setup.ini and the hand-off programs: the
// directory of the program path as a full path, a relative one completed
// against the current directory as Windows completes it, and missing
// (nothing found in it) when it cannot be formed whole.
#include <gtest/gtest.h>

#include <cstring>

#include "StartupFakePlatform.h"
#include "TestMachine.h"
#include "install/LaunchContext.h"


namespace {

// Components of at most 100 characters, as host folders allow.
const std::string kA(100, 'A'), kB(100, 'B');

// A folder on D: whose path has exactly n characters.
std::string DirOfLength(size_t n)
{
  std::string base = "D:\\" + kA + "\\" + kB + "\\";
  return base + std::string(n - base.size(), 'C');
}

}  // namespace

TEST(StartupSourceDir, FullPathsStayAsTheyAreRelativeOnesAreCompleted)
{
  const struct {
    std::string program;
    std::string cwd;
    std::string expected;  // "" when the directory is missing
  } rows[] = {
    { "D:\\SETUP.EXE", "C:\\WINDOWS", "D:\\" },
    { "E:\\DRIVERS\\DISC1\\SETUP.EXE", "C:\\WINDOWS", "E:\\DRIVERS\\DISC1\\" },
    // A full path is used byte for byte, a relative one as Windows makes it full.
    { "D:\\DISC\\.\\SETUP.EXE", "C:\\WINDOWS", "D:\\DISC\\.\\" },
    { "DISC\\.\\..\\DISC\\SETUP.EXE", "D:\\", "D:\\DISC\\" },
    { "\\\\SERVER\\SHARE\\DISC\\SETUP.EXE", "C:\\WINDOWS", "\\\\SERVER\\SHARE\\DISC\\" },
    { "\\\\SERVER\\SETUP.EXE", "C:\\WINDOWS", "" },
    { "\\\\SERVER", "C:\\WINDOWS", "" },
    // No drive letter before the colon: completed as a relative folder.
    { ".:\\SETUP.EXE", "C:\\WINDOWS", "C:\\WINDOWS\\.:\\" },
    // Relative to the current directory, its drive or its share.
    { "DISC\\SETUP.EXE", "C:\\WINDOWS", "C:\\WINDOWS\\DISC\\" },
    { "\\DISC\\SETUP.EXE", "D:\\WEB", "D:\\DISC\\" },
    { "\\SETUP.EXE", "C:\\WINDOWS", "C:\\" },
    { "SETUP.EXE", "D:\\WEB", "D:\\WEB\\" },
    { "DISC\\SETUP.EXE", "\\\\SERVER\\SHARE\\WEB", "\\\\SERVER\\SHARE\\WEB\\DISC\\" },
    { "\\SETUP.EXE", "\\\\SERVER\\SHARE\\WEB", "\\\\SERVER\\SHARE\\" },
    { "SETUP.EXE", "\\\\SERVER\\SHARE\\WEB", "\\\\SERVER\\SHARE\\WEB\\" },
    // On a drive: against that drive's own current directory, which for a
    // drive other than the current one is its root at start.
    { "E:DISC\\SETUP.EXE", "E:\\WEB", "E:\\WEB\\DISC\\" },
    { "D:SETUP.EXE", "D:\\WEB", "D:\\WEB\\" },
    { "D:SETUP.EXE", "C:\\WINDOWS", "D:\\" },
    { "D:DISC\\SETUP.EXE", "C:\\WINDOWS", "D:\\DISC\\" },
    // Too long: the program path, the current directory, the completed path.
    { DirOfLength(250) + "\\" + std::string(100, 'E') + "\\SETUP.EXE", "C:\\WINDOWS", "" },
    { "SETUP.EXE", DirOfLength(258), DirOfLength(258) + "\\" },
    { "SETUP.EXE", DirOfLength(259), "" },
    { "DISC\\SETUP.EXE", DirOfLength(253), DirOfLength(253) + "\\DISC\\" },
    { "DISC\\SETUP.EXE", DirOfLength(254), "" },
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.program + " in " + row.cwd);
    CTestMachine m;
    m.MakeDir("E:\\WEB");
    m.MakeDir("\\\\SERVER\\SHARE\\WEB");
    m.MakeDir(row.cwd);
    m.options.programPath = row.program;
    m.options.currentDirectory = row.cwd;
    sim::CPlatformScope scope(m.Load());
    char szDir[MAX_PATH];
    std::memset(szDir, 'x', sizeof szDir);
    BOOL bResult = ResolveSourceDirectory(szDir);
    EXPECT_EQ(row.expected, szDir);
    EXPECT_EQ(!row.expected.empty(), bResult != FALSE);
  }
}

TEST(StartupSourceDir, ModuleFileNameOfUpTo259CharactersWhenTheCommandLineIsEmpty)
{
  for (size_t n : { 259u, 260u }) {
    SCOPED_TRACE(n);
    CStartFakePlatform platform;
    platform.m_moduleFileName = DirOfLength(n - 10) + "\\SETUP.EXE";
    CFakePlatformScope scope(&platform);
    char szDir[MAX_PATH];
    ResolveSourceDirectory(szDir);
    EXPECT_EQ(n == 259 ? DirOfLength(n - 10) + "\\" : std::string(), szDir);
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
