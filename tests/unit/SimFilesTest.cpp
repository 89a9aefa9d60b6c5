// The simulated drives: names without regard to case, wildcard searches
// and their order, read-only files, current directories, full paths, 8.3
// names and byte streams.
#include <gtest/gtest.h>

#include <cstring>

#include "TestMachine.h"

namespace {

std::vector<std::string> Search(IPlatform& p, const char* pattern)
{
  std::vector<std::string> names;
  WIN32_FIND_DATAA fd;
  HANDLE h = p.FindFirstFileA(pattern, &fd);
  if (h == INVALID_HANDLE_VALUE)
    return names;
  do
    names.push_back(fd.cFileName);
  while (p.FindNextFileA(h, &fd));
  p.FindClose(h);
  return names;
}

TEST(SimFilesTest, WildcardsAndListingOrder)
{
  CTestMachine m;
  m.WriteFile("C:\\dir\\b.inf", "");
  m.WriteFile("C:\\dir\\A.INF", "");
  m.WriteFile("C:\\dir\\noext", "");
  m.WriteFile("C:\\dir\\c.pnf", "");
  m.WriteFile("C:\\dir\\_u.txt", "");
  m.MakeDir("C:\\dir\\Sub");
  IPlatform& p = m.Load().GetPlatform();
  struct Row {
    const char* pattern;
    std::vector<std::string> names;
  } rows[] = {
      // Dot entries come first in a folder that is not a root (as FAT
      // stores them, and as Wine lists them, probed); names compare in upper
      // case, so '_' comes after the letters, as Windows collates them.
      {"C:\\dir\\*.*", {".", "..", "A.INF", "b.inf", "c.pnf", "noext", "Sub", "_u.txt"}},
      {"C:\\DIR\\*", {".", "..", "A.INF", "b.inf", "c.pnf", "noext", "Sub", "_u.txt"}},
      {"c:\\dir\\*.inf", {"A.INF", "b.inf"}},
      {"C:\\dir\\?.?NF", {"A.INF", "b.inf", "c.pnf"}},
      {"C:\\dir\\noext.*", {"noext"}},
      {"C:\\dir\\B.INF", {"b.inf"}},  // one exact path: the existence test
      {"C:\\dir\\none.inf", {}},
      {"C:\\*.*", {"dir", "WINDOWS"}},  // a root has no dot entries
      {"C:\\missing\\*.*", {}},
  };
  for (const auto& r : rows)
    EXPECT_EQ(r.names, Search(p, r.pattern)) << r.pattern;
  WIN32_FIND_DATAA fd;
  HANDLE h = p.FindFirstFileA("C:\\dir\\sub", &fd);
  ASSERT_NE(INVALID_HANDLE_VALUE, h);
  EXPECT_EQ((DWORD)FILE_ATTRIBUTE_DIRECTORY, fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
  p.FindClose(h);
}

TEST(SimFilesTest, WildcardsAlsoMatchTheShortName)
{
  // As on Windows: "w.infx" has the 8.3 name W~1.INF, so *.inf finds it.
  CTestMachine m;
  m.WriteFile("C:\\x\\w.infx", "");
  IPlatform& p = m.Load().GetPlatform();
  EXPECT_EQ(std::vector<std::string>{"w.infx"}, Search(p, "C:\\x\\*.INF"));
  WIN32_FIND_DATAA fd;
  HANDLE h = p.FindFirstFileA("C:\\x\\*.INF", &fd);
  EXPECT_STREQ("W~1.INF", fd.cAlternateFileName);
  p.FindClose(h);
}

TEST(SimFilesTest, ReadOnlyFilesRefuseChanges)
{
  CTestMachine m;
  m.WriteFile("C:\\a\\ro.txt", "old");
  m.WriteFile("C:\\a\\src.txt", "new");
  m.SetReadOnly("C:\\a\\ro.txt");
  auto& pc = m.Load();
  IPlatform& p = pc.GetPlatform();
  EXPECT_EQ((DWORD)(FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE),
            p.GetFileAttributesA("C:\\a\\RO.TXT"));
  EXPECT_FALSE(p.DeleteFileA("C:\\a\\ro.txt"));
  EXPECT_EQ((unsigned long)ERROR_ACCESS_DENIED, pc.LastError());
  EXPECT_FALSE(p.CopyFileA("C:\\a\\src.txt", "C:\\a\\ro.txt", FALSE));
  EXPECT_EQ(nullptr, p.StreamOpen("C:\\a\\ro.txt", "r+"));
  EXPECT_EQ("old", m.ReadFile("C:\\a\\ro.txt").value_or(""));
  // Normal attributes first, as the launcher does, and then it works.
  EXPECT_TRUE(p.SetFileAttributesA("C:\\a\\ro.txt", FILE_ATTRIBUTE_NORMAL));
  EXPECT_EQ((DWORD)FILE_ATTRIBUTE_NORMAL, p.GetFileAttributesA("C:\\a\\ro.txt"));
  EXPECT_TRUE(p.CopyFileA("C:\\a\\src.txt", "C:\\a\\ro.txt", FALSE));
  EXPECT_EQ("new", m.ReadFile("C:\\a\\ro.txt").value_or(""));
  EXPECT_TRUE(p.DeleteFileA("C:\\A\\RO.TXT"));
  EXPECT_FALSE(m.Exists("C:\\a\\ro.txt"));
  EXPECT_FALSE(p.DeleteFileA("C:\\a\\ro.txt"));
  EXPECT_EQ((unsigned long)ERROR_FILE_NOT_FOUND, pc.LastError());
}

TEST(SimFilesTest, CurrentDirectoryAndRelativePaths)
{
  CTestMachine m;
  m.WriteFile("D:\\DISC\\setup.ini", "");
  IPlatform& p = m.Load().GetPlatform();
  char buf[MAX_PATH];
  EXPECT_EQ(10u, p.GetCurrentDirectoryA(sizeof buf, buf));
  EXPECT_STREQ("C:\\WINDOWS", buf);  // the Windows directory at start
  EXPECT_EQ(11u, p.GetCurrentDirectoryA(5, buf));  // size needed
  EXPECT_FALSE(p.SetCurrentDirectoryA("D:\\nothing"));
  EXPECT_TRUE(p.SetCurrentDirectoryA("D:\\"));
  EXPECT_TRUE(p.SetCurrentDirectoryA("D:DISC"));  // drive-relative
  p.GetCurrentDirectoryA(sizeof buf, buf);
  EXPECT_STREQ("D:\\DISC", buf);
  EXPECT_NE(INVALID_FILE_ATTRIBUTES, p.GetFileAttributesA("setup.ini"));
  EXPECT_NE(INVALID_FILE_ATTRIBUTES, p.GetFileAttributesA("..\\disc\\SETUP.INI"));
  EXPECT_FALSE(p.SetCurrentDirectoryA("D:\\DISC\\setup.ini"));  // a file
  // Each drive keeps its current directory: D: still means D:\DISC.
  EXPECT_TRUE(p.SetCurrentDirectoryA("C:\\WINDOWS"));
  EXPECT_NE(INVALID_FILE_ATTRIBUTES, p.GetFileAttributesA("D:setup.ini"));
  EXPECT_TRUE(p.SetCurrentDirectoryA("D:"));
  p.GetCurrentDirectoryA(sizeof buf, buf);
  EXPECT_STREQ("D:\\DISC", buf);
  EXPECT_TRUE(m.computer->Events().empty());  // none of this is an event
}

// Full paths as GetFullPathNameA makes them (each row probed under Wine),
// and a network share as a current directory.
TEST(SimFilesTest, FullPathsAndNetworkShares)
{
  CTestMachine m;
  m.WriteFile("\\\\SERVER\\SHARE\\DIR\\setup.ini", "");
  IPlatform& p = m.Load().GetPlatform();
  const struct {
    const char* cwd;  // set first when not null
    const char* path;
    const char* full;
  } rows[] = {
    { nullptr, "DISC\\", "C:\\WINDOWS\\DISC\\" },
    { nullptr, "\\DISC\\", "C:\\DISC\\" },
    { nullptr, "D:DISC\\", "D:\\DISC\\" },  // D: has not been entered: its root
    { nullptr, "D:", "D:\\" },
    { nullptr, ".\\", "C:\\WINDOWS\\" },
    { nullptr, "..\\X\\", "C:\\X\\" },
    { nullptr, "a/b\\\\c", "C:\\WINDOWS\\a\\b\\c" },
    { nullptr, "D:\\DISC\\..\\WEB\\", "D:\\WEB\\" },
    { "\\\\SERVER\\SHARE\\DIR", "DISC\\", "\\\\SERVER\\SHARE\\DIR\\DISC\\" },
    { nullptr, "\\SETUP.EXE", "\\\\SERVER\\SHARE\\SETUP.EXE" },
    { nullptr, "..\\..\\..\\X", "\\\\SERVER\\SHARE\\X" },
  };
  for (const auto& row : rows) {
    if (row.cwd)
      ASSERT_TRUE(p.SetCurrentDirectoryA(row.cwd));
    char buf[MAX_PATH];
    EXPECT_EQ(std::strlen(row.full), p.GetFullPathNameA(row.path, sizeof buf, buf, nullptr)) << row.path;
    EXPECT_STREQ(row.full, buf) << row.path;
  }
  char buf[MAX_PATH];
  p.GetCurrentDirectoryA(sizeof buf, buf);
  EXPECT_STREQ("\\\\SERVER\\SHARE\\DIR", buf);
  EXPECT_NE(INVALID_FILE_ATTRIBUTES, p.GetFileAttributesA("SETUP.INI"));
  EXPECT_TRUE(p.CopyFileA("setup.ini", "\\\\SERVER\\share\\copy.ini", FALSE));
  EXPECT_TRUE(m.Exists("\\\\SERVER\\SHARE\\copy.ini"));
  EXPECT_FALSE(p.SetCurrentDirectoryA("\\\\SERVER\\OTHER"));
  EXPECT_EQ(9u, p.GetFullPathNameA("D:DISC\\", 4, buf, nullptr));  // the size needed
}

TEST(SimFilesTest, ShortNamesAsWindows9xMakesThem)
{
  CTestMachine m;
  m.MakeDir("C:\\Program Files\\Veltrix\\W95-98");
  m.MakeDir("C:\\Program Stuff");
  m.MakeDir("C:\\a b.long");
  IPlatform& p = m.Load().GetPlatform();
  struct Row {
    const char* path;
    const char* shortPath;
  } rows[] = {
      {"C:\\Program Files\\Veltrix\\W95-98", "C:\\PROGRA~1\\VELTRIX\\W95-98"},
      {"c:\\program stuff", "C:\\PROGRA~2"},  // ~N counts in listing order
      {"C:\\a b.long", "C:\\AB~1.LON"},
      {"C:\\WINDOWS", "C:\\WINDOWS"},
      {"C:\\Program Files\\", "C:\\PROGRA~1\\"},  // a trailing backslash stays
      {"C:\\PROGRA~1\\veltrix", "C:\\PROGRA~1\\VELTRIX"},  // short names resolve too
  };
  for (const auto& r : rows) {
    char buf[MAX_PATH];
    DWORD n = p.GetShortPathNameA(r.path, buf, sizeof buf);
    EXPECT_STREQ(r.shortPath, buf) << r.path;
    EXPECT_EQ(strlen(r.shortPath), n) << r.path;
  }
  char buf[MAX_PATH];
  EXPECT_EQ(0u, p.GetShortPathNameA("C:\\Program Files\\Nothing", buf, sizeof buf));
  EXPECT_EQ(27u, p.GetShortPathNameA("C:\\Program Files\\Veltrix\\W95-98", buf, 5));
  // An alias once given never changes when a sibling is created (probed
  // under Wine, whose aliases are hashed): a new name that lists first takes
  // the lowest free number, whatever call creates it.
  ASSERT_TRUE(p.CreateDirectoryA("C:\\Program Data", nullptr));
  ASSERT_TRUE(p.WritePrivateProfileStringA("S", "K", "V", "C:\\a a.long"));
  for (const auto& r : { std::make_pair("C:\\Program Data", "C:\\PROGRA~3"),
                         std::make_pair("C:\\Program Files", "C:\\PROGRA~1"),
                         std::make_pair("C:\\Program Stuff", "C:\\PROGRA~2"),
                         std::make_pair("C:\\a a.long", "C:\\AA~1.LON") }) {
    p.GetShortPathNameA(r.first, buf, sizeof buf);
    EXPECT_STREQ(r.second, buf) << r.first;
  }
}

TEST(SimFilesTest, StreamsReadLinesAndWriteInPlace)
{
  CTestMachine m;
  m.WriteFile("C:\\f.inf", "one\r\ntwo\nlast");
  IPlatform& p = m.Load().GetPlatform();
  EXPECT_EQ(nullptr, p.StreamOpen("C:\\none.inf", "rb"));
  HSTREAM s = p.StreamOpen("C:\\F.INF", "r+");
  ASSERT_NE(nullptr, s);
  char buf[16];
  EXPECT_EQ(5u, p.StreamReadLine(s, buf, sizeof buf));
  EXPECT_STREQ("one\r\n", buf);  // binary: CR LF kept
  LONG pos = p.StreamTell(s);
  EXPECT_EQ(5, pos);
  EXPECT_EQ(2u, p.StreamReadLine(s, buf, 3));  // cut at cbBuffer - 1
  EXPECT_STREQ("tw", buf);
  EXPECT_TRUE(p.StreamSeek(s, pos, STREAM_SEEK_SET));
  EXPECT_EQ(3u, p.StreamWrite(s, "TWO", 3));
  EXPECT_TRUE(p.StreamFlush(s));
  EXPECT_TRUE(p.StreamSeek(s, 0, STREAM_SEEK_CUR));
  EXPECT_EQ(1u, p.StreamReadLine(s, buf, sizeof buf));
  EXPECT_EQ(4u, p.StreamReadLine(s, buf, sizeof buf));
  EXPECT_STREQ("last", buf);
  EXPECT_EQ(0u, p.StreamReadLine(s, buf, sizeof buf));
  p.StreamClose(s);
  EXPECT_EQ("one\r\nTWO\nlast", m.ReadFile("C:\\f.inf").value_or(""));
  // No more than the Win32 layer's four streams are open at a time.
  HSTREAM open[5];
  for (HSTREAM& h : open)
    h = p.StreamOpen("C:\\f.inf", "rb");
  EXPECT_NE(nullptr, open[3]);
  EXPECT_EQ(nullptr, open[4]);
  for (HSTREAM h : open)
    p.StreamClose(h);
}

}  // namespace
