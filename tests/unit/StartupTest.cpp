// The start-up's two rules with inputs beside them: the Windows version
// classification (on version records the simulated computer never gives) and
// where setup.ini and the hand-off programs are looked for (the directory of
// the program path, a relative one completed as Windows completes it, missing
// when it cannot be formed whole).
#include <cstring>

#include "TestMachine.h"
#include "install/LaunchContext.h"
#include "setup/PackageSetup.h"

namespace {

// A computer with the version record given.
struct CVersionComputer : sim::CSimPlatform {
  using sim::CSimPlatform::CSimPlatform;
  BOOL GetVersionExA(LPOSVERSIONINFOA pInfo) override
  {
    if (!sim::CSimPlatform::GetVersionExA(pInfo))
      return FALSE;
    pInfo->dwPlatformId = m_dwRecord[0], pInfo->dwMajorVersion = m_dwRecord[1];
    pInfo->dwMinorVersion = m_dwRecord[2], pInfo->dwBuildNumber = m_dwRecord[3];
    return TRUE;
  }
  DWORD m_dwRecord[4] = {};
};

// Started with an empty command line: the program path comes from the module.
struct CNoCommandLineComputer : sim::CSimPlatform {
  using sim::CSimPlatform::CSimPlatform;
  LPSTR GetCommandLineA() override { return m_szEmpty; }
  char m_szEmpty[1] = "";
};

// A folder on D: whose path has exactly n characters (components of at most
// 100 characters, as host folders allow).
std::string DirOfLength(size_t n)
{
  std::string base = "D:\\" + std::string(100, 'A') + "\\" + std::string(100, 'B') + "\\";
  return base + std::string(n - base.size(), 'C');
}

}  // namespace

TEST(Startup, VersionClassification)
{
  const struct {
    DWORD record[4];  // platform, major, minor, build
    const char* flags;
  } rows[] = {
    // 9x: the minor version alone tells 95, whatever the build. The records
    // the simulated computer gives for each version: startup-dispatch.scn.
    { { 1, 4, 0, 0x04000457 }, "95 " }, { { 1, 4, 0, 0x045A0BB8 }, "95 " },
    // 98 first edition: the builds outside 2048-2303.
    { { 1, 4, 10, 0x040A07FF }, "98 " }, { { 1, 4, 10, 0x040A0900 }, "98 " }, { { 1, 4, 10, 0 }, "98 " },
    // Second Edition: both ends of the range.
    { { 1, 4, 10, 0x040A0800 }, "98 98SE " }, { { 1, 4, 10, 0x040A08FF }, "98 98SE " },
    // ME: the high word decides, from 0x0410.
    { { 1, 4, 90, 0x041008AE }, "ME " }, { { 1, 4, 10, 0x040F08AE }, "98 98SE " },
    // NT: below 5 is NT 4.0 (3.51 too), 5 and above the newer family.
    { { 2, 3, 51, 1057 }, "NT4 " }, { { 2, 6, 1, 7601 }, "NT5 " }, { { 2, 0xFFFFFFFF, 0, 0 }, "NT5 " },
    { { 0, 3, 10, 0 }, "" }, { { 3, 4, 0, 0 }, "" },  // neither family: no flag
  };
  for (const auto& row : rows) {
    CTestMachine m;
    m.WriteFile("D:\\W2K-ME\\app\\Setup.exe", "package");
    auto& pc = m.Load<CVersionComputer>();
    std::memcpy(pc.m_dwRecord, row.record, sizeof row.record);
    sim::CPlatformScope scope(pc);
    VersionClass v;
    std::memset(&v, 7, sizeof v);
    ClassifyWindowsVersion(&v);
    std::string flags = std::string(v.m_bWin95 ? "95 " : "") + (v.m_bWin98 ? "98 " : "") +
                        (v.m_bWin98SE ? "98SE " : "") + (v.m_bWinME ? "ME " : "") + (v.m_bWinNT4 ? "NT4 " : "") +
                        (v.m_bWinNT5 ? "NT5 " : "");
    EXPECT_EQ(row.flags, flags) << "row " << &row - rows;
    char szPackage[MAX_PATH];  // neither family: no package build either
    if (flags.empty())
      EXPECT_FALSE(FindPackageSetup(v, "D:\\", 1, 1, szPackage));
  }
}

TEST(Startup, SourceDirectory)
{
  const struct {
    std::string program, cwd;
    std::string expected;  // "" when the directory is missing
  } rows[] = {
    // A full path is used byte for byte (plain ones: the scenarios), a
    // relative one as Windows makes it full.
    { "D:\\DISC\\.\\SETUP.EXE", "C:\\WINDOWS", "D:\\DISC\\.\\" },
    { "DISC\\.\\..\\DISC\\SETUP.EXE", "D:\\", "D:\\DISC\\" },
    { "\\\\SERVER\\SHARE\\DISC\\SETUP.EXE", "C:\\WINDOWS", "\\\\SERVER\\SHARE\\DISC\\" },
    { "\\\\SERVER\\SETUP.EXE", "C:\\WINDOWS", "" }, { "\\\\SERVER", "C:\\WINDOWS", "" },
    // No drive letter before the colon: completed as a relative folder.
    { ".:\\SETUP.EXE", "C:\\WINDOWS", "C:\\WINDOWS\\.:\\" },
    // Relative to the current directory, its drive or its share (a folder
    // below it, the current directory itself, the root of its drive, another
    // drive's root: start-path.scn).
    { "..\\X\\SETUP.EXE", "C:\\WINDOWS", "C:\\X\\" }, { "\\DISC\\SETUP.EXE", "D:\\WEB", "D:\\DISC\\" },
    { "a/b\\\\c\\SETUP.EXE", "C:\\WINDOWS", "C:\\WINDOWS\\a\\b\\c\\" },  // '/' and a doubled backslash: one
    { "..\\..\\..\\X\\SETUP.EXE", "\\\\SERVER\\SHARE\\WEB", "\\\\SERVER\\SHARE\\X\\" },  // not above the share
    { "\\SETUP.EXE", "\\\\SERVER\\SHARE\\WEB", "\\\\SERVER\\SHARE\\" },
    { "SETUP.EXE", "\\\\SERVER\\SHARE\\WEB", "\\\\SERVER\\SHARE\\WEB\\" },
    // On a drive: against that drive's own current directory.
    { "E:DISC\\SETUP.EXE", "E:\\WEB", "E:\\WEB\\DISC\\" }, { "D:SETUP.EXE", "D:\\WEB", "D:\\WEB\\" },
    { "D:DISC\\SETUP.EXE", "C:\\WINDOWS", "D:\\DISC\\" },
    // Too long: the program path, the current directory, the completed path.
    { DirOfLength(250) + "\\" + std::string(100, 'E') + "\\SETUP.EXE", "C:\\WINDOWS", "" },
    { "SETUP.EXE", DirOfLength(258), DirOfLength(258) + "\\" }, { "SETUP.EXE", DirOfLength(259), "" },
    { "DISC\\SETUP.EXE", DirOfLength(253), DirOfLength(253) + "\\DISC\\" }, { "DISC\\SETUP.EXE", DirOfLength(254), "" },
    // Current directory "": an empty command line, the program path taken
    // from the module file name, of up to 259 characters.
    { DirOfLength(249) + "\\SETUP.EXE", "", DirOfLength(249) + "\\" }, { DirOfLength(250) + "\\SETUP.EXE", "", "" },
  };
  for (const auto& row : rows) {
    CTestMachine m;
    for (const std::string& dir : { std::string("E:\\WEB"), std::string("\\\\SERVER\\SHARE\\WEB"), row.cwd })
      m.MakeDir(dir.empty() ? "C:\\WINDOWS" : dir);
    m.options.programPath = row.program;
    if (!row.cwd.empty())
      m.options.currentDirectory = row.cwd;
    sim::CPlatformScope scope(row.cwd.empty() ? m.Load<CNoCommandLineComputer>() : m.Load());
    char szDir[MAX_PATH];
    std::memset(szDir, 'x', sizeof szDir);
    BOOL bResult = ResolveSourceDirectory(szDir);
    EXPECT_EQ(row.expected, szDir) << "row " << &row - rows;
    EXPECT_EQ(!row.expected.empty(), bResult != FALSE) << "row " << &row - rows;
  }
}
