// The simulated drives: names without regard to case, wildcard searches and
// their order, read-only files, current directories, 8.3 names, streams.
// Full paths as GetFullPathNameA makes them, and too long: StartupTest's
// source directories; a read-only file's stream for writing: InfOptionPatchTest.
#include <cstring>

#include "TestMachine.h"

namespace {

std::vector<std::string> Search(IPlatform& p, const char* pattern)
{
  std::vector<std::string> names;
  WIN32_FIND_DATAA fd;
  HANDLE h = p.FindFirstFileA(pattern, &fd);
  for (bool bMore = h != INVALID_HANDLE_VALUE; bMore; bMore = p.FindNextFileA(h, &fd))
    names.push_back(fd.cFileName);
  p.FindClose(h);
  return names;
}

TEST(SimFiles, WildcardsListingOrderAndShortNamesAsWindows9xMakesThem)
{
  CTestMachine m;
  for (const char* name : { "b.inf", "A.INF", "noext", "c.pnf", "_u.txt", "w.infx" })
    m.WriteFile(std::string("C:\\dir\\") + name, "");
  for (const char* dir : { "C:\\dir\\Sub", "C:\\Program Files\\Veltrix\\W95-98", "C:\\Program Stuff", "C:\\a b.long" })
    m.MakeDir(dir);
  IPlatform& p = m.Load().GetPlatform();
  const std::vector<std::string> all = { ".", "..", "A.INF", "b.inf", "c.pnf", "noext", "Sub", "w.infx", "_u.txt" };
  const struct {
    const char* pattern;
    std::vector<std::string> names;
  } rows[] = {
    // Dot entries come first in a folder that is not a root (as FAT stores
    // them, and as Wine lists them, probed); names compare in upper case, so
    // '_' comes after the letters, as Windows collates them.
    { "C:\\dir\\*.*", all }, { "C:\\DIR\\*", all },
    // Wildcards match the 8.3 name too: "w.infx" is W~1.INF.
    { "c:\\dir\\*.inf", { "A.INF", "b.inf", "w.infx" } }, { "C:\\dir\\?.?NF", { "A.INF", "b.inf", "c.pnf" } },
    { "C:\\dir\\noext.*", { "noext" } },
    { "C:\\dir\\B.INF", { "b.inf" } },  // one exact path: the existence test
    { "C:\\dir\\none.inf", {} },
    { "C:\\*.*", { "a b.long", "dir", "Program Files", "Program Stuff", "WINDOWS" } },  // a root has no dot entries
    { "C:\\missing\\*.*", {} },
  };
  for (const auto& r : rows)
    EXPECT_EQ(r.names, Search(p, r.pattern)) << r.pattern;
  WIN32_FIND_DATAA fd = {};
  p.FindClose(p.FindFirstFileA("C:\\dir\\w.inf*", &fd));
  EXPECT_STREQ("W~1.INF", fd.cAlternateFileName);
  p.FindClose(p.FindFirstFileA("C:\\dir\\sub", &fd));
  EXPECT_EQ((DWORD)FILE_ATTRIBUTE_DIRECTORY, fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
  char buf[MAX_PATH];
  EXPECT_EQ(0u, p.GetShortPathNameA("C:\\Program Files\\Nothing", buf, sizeof buf));
  EXPECT_EQ(27u, p.GetShortPathNameA("C:\\Program Files\\Veltrix\\W95-98", buf, 5));
  const auto expectShort = [&](const char* path, const char* shortPath) {
    EXPECT_EQ(strlen(shortPath), p.GetShortPathNameA(path, buf, sizeof buf)) << path;
    EXPECT_STREQ(shortPath, buf) << path;
  };
  const char* const shortRows[][2] = {
    { "C:\\Program Files\\Veltrix\\W95-98", "C:\\PROGRA~1\\VELTRIX\\W95-98" },
    { "c:\\program stuff", "C:\\PROGRA~2" },  // ~N counts in listing order
    { "C:\\a b.long", "C:\\AB~1.LON" }, { "C:\\WINDOWS", "C:\\WINDOWS" },
    { "C:\\Program Files\\", "C:\\PROGRA~1\\" },  // a trailing backslash stays
    { "C:\\PROGRA~1\\veltrix", "C:\\PROGRA~1\\VELTRIX" },  // short names resolve too
  };
  for (const auto& r : shortRows)
    expectShort(r[0], r[1]);
  // An alias once given never changes when a sibling is created (probed
  // under Wine, whose aliases are hashed): a new name that lists first takes
  // the lowest free number, whatever call creates it.
  EXPECT_FALSE(p.CreateDirectoryA("C:\\Program Data\\", nullptr));  // refused on 9x
  ASSERT_TRUE(p.CreateDirectoryA("C:\\Program Data", nullptr));
  ASSERT_TRUE(p.WritePrivateProfileStringA("S", "K", "V", "C:\\a a.long"));
  for (const auto& r : shortRows)
    expectShort(r[0], r[1]);
  expectShort("C:\\Program Data", "C:\\PROGRA~3");
  expectShort("C:\\a a.long", "C:\\AA~1.LON");
}

// At most the Win32 layer's four streams are open at a time; reading lines,
// writing in place and flushing are what the option-line patcher does
// (InfOptionPatchTest). None of this is an event.
TEST(SimFiles, ReadOnlyFilesStreamsCurrentDirectoriesAndShares)
{
  CTestMachine m;
  m.WriteFile("C:\\a\\ro.txt", "old", true);
  m.WriteFile("C:\\a\\src.txt", "new");
  m.WriteFile("D:\\DISC\\setup.ini", "");
  m.WriteFile("\\\\SERVER\\SHARE\\DIR\\setup.ini", "");
  auto& pc = m.Load();
  IPlatform& p = pc.GetPlatform();
  EXPECT_EQ((DWORD)(FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE), p.GetFileAttributesA("C:\\a\\RO.TXT"));
  EXPECT_FALSE(p.DeleteFileA("C:\\a\\ro.txt"));
  EXPECT_EQ((unsigned long)ERROR_ACCESS_DENIED, pc.LastError());
  EXPECT_FALSE(p.CopyFileA("C:\\a\\src.txt", "C:\\a\\ro.txt", FALSE));
  EXPECT_EQ("old", m.ReadFile("C:\\a\\ro.txt"));
  // Normal attributes first, as the launcher does, and then it works (a
  // copy over it: mixer-refresh.scn).
  EXPECT_TRUE(p.SetFileAttributesA("C:\\a\\ro.txt", FILE_ATTRIBUTE_NORMAL));
  EXPECT_EQ((DWORD)FILE_ATTRIBUTE_NORMAL, p.GetFileAttributesA("C:\\a\\ro.txt"));
  HSTREAM open[5];
  for (HSTREAM& h : open)
    h = p.StreamOpen("C:\\A\\RO.TXT", "rb");
  EXPECT_NE(nullptr, open[3]);
  EXPECT_EQ(nullptr, open[4]);
  for (HSTREAM h : open)
    p.StreamClose(h);
  EXPECT_TRUE(p.DeleteFileA("C:\\A\\RO.TXT"));
  EXPECT_FALSE(m.Exists("C:\\a\\ro.txt"));
  EXPECT_FALSE(p.DeleteFileA("C:\\a\\ro.txt"));
  EXPECT_EQ((unsigned long)ERROR_FILE_NOT_FOUND, pc.LastError());
  EXPECT_EQ(nullptr, p.StreamOpen("C:\\a\\ro.txt", "rb"));
  char buf[MAX_PATH];
  const auto cwd = [&] { return p.GetCurrentDirectoryA(sizeof buf, buf) ? std::string(buf) : "?"; };
  EXPECT_EQ("C:\\WINDOWS", cwd());  // the Windows directory at start
  EXPECT_EQ(11u, p.GetCurrentDirectoryA(5, buf));  // size needed
  EXPECT_FALSE(p.SetCurrentDirectoryA("D:\\nothing"));
  EXPECT_TRUE(p.SetCurrentDirectoryA("D:\\"));
  EXPECT_TRUE(p.SetCurrentDirectoryA("D:DISC"));  // drive-relative
  EXPECT_EQ("D:\\DISC", cwd());
  EXPECT_NE(INVALID_FILE_ATTRIBUTES, p.GetFileAttributesA("setup.ini"));
  EXPECT_NE(INVALID_FILE_ATTRIBUTES, p.GetFileAttributesA("..\\disc\\SETUP.INI"));
  EXPECT_FALSE(p.SetCurrentDirectoryA("D:\\DISC\\setup.ini"));  // a file
  // Each drive keeps its current directory: D: still means D:\DISC.
  EXPECT_TRUE(p.SetCurrentDirectoryA("C:\\WINDOWS"));
  EXPECT_NE(INVALID_FILE_ATTRIBUTES, p.GetFileAttributesA("D:setup.ini"));
  EXPECT_TRUE(p.SetCurrentDirectoryA("D:"));
  EXPECT_EQ("D:\\DISC", cwd());
  // A network share as the current directory.
  EXPECT_TRUE(p.SetCurrentDirectoryA("\\\\SERVER\\SHARE\\DIR"));
  EXPECT_EQ("\\\\SERVER\\SHARE\\DIR", cwd());
  EXPECT_TRUE(p.CopyFileA("setup.ini", "\\\\SERVER\\share\\copy.ini", FALSE));
  EXPECT_TRUE(m.Exists("\\\\SERVER\\SHARE\\copy.ini"));
  EXPECT_FALSE(p.SetCurrentDirectoryA("\\\\SERVER\\OTHER"));
  EXPECT_TRUE(pc.Events().empty());
}

}  // namespace
