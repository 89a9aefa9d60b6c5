// The driver file retirement on simulated computers: one WININIT.INI rename
// line per present driver file, in table order, each file keeping its
// directory; WIN.INI's run entry becomes a single space; no file is touched.
#include <gtest/gtest.h>

#include <array>

#include "PurgeTestSupport.h"
#include "purge/LegacyFileRetirement.h"
#include "sim/SimComputer.h"

using purgetest::FileSnapshot;
using purgetest::SnapshotPath;

namespace {

// The 26 rows: directory, current name, retired name.
const std::vector<std::array<std::string, 3>> kTable = {
  { "SYSTEM", "SPACEFX.DLL", "SPACEFX.OLD" },      { "SYSTEM", "PXF.DLL", "PXF.OLD" },
  { "SYSTEM", "QXF.DLL", "QXF.OLD" },              { "SYSTEM", "QV3310.VXD", "3310VXD.OLD" },
  { "SYSTEM", "QVAUDIO.VXD", "QVAUDIO.OLD" },      { "SYSTEM", "QV3310FM.DRV", "3310FDRV.OLD" },
  { "SYSTEM", "QVPCIFM.DRV", "QVPCIFM.OLD" },      { "SYSTEM", "QVMPU.EXE", "QVMPU.OLD" },
  { "SYSTEM", "QVMPUPCI.DRV", "QVMPUPCI.OLD" },    { "SYSTEM", "QVPCI95.DRV", "QVPCI95.OLD" },
  { "SYSTEM", "QVXMIDI.DRV", "QVXMIDI.OLD" },      { "SYSTEM", "QVSWMPU.VXD", "QVSWMPU.OLD" },
  { "SYSTEM", "BANKIDX.DAT", "BANKIDX.OLD" },      { "SYSTEM", "BANKPCM.DAT", "BANKPCM.OLD" },
  { "SYSTEM", "SNDINIT.COM", "SNDINIT.OLD" },      { "SYSTEM", "XMIDI32P.DLL", "XMIDI32.OLD" },
  { "SYSTEM", "XMIDIPCI.DLL", "XMIDIPCI.OLD" },    { "SYSTEM", "BANKCONV.EXE", "BANKCONV.OLD" },
  { "SYSTEM", "ASIO3710.DLL", "ASIO3710.OLD" },    { "SYSTEM", "QVSYNTH.DRV", "QVSYNTH.OLD" },
  { "SYSTEM32\\DRIVERS", "QVPCI.SYS", "QVPCI.OLD" }, { "INF\\CATALOG", "QVPCI.CAT", "QVPCI.OLD" },
  { "SYSTEM32\\DRIVERS", "QVAUDIO.SYS", "QVAUDIO.OLD" },
  { "INF\\CATALOG", "qvaudio.CAT", "qvaudio.OLD" }, { "SYSTEM32", "QVprop.DLL", "QVprop.OLD" },
  { "SYSTEM", "ZNDSFX.DLL", "ZNDSFX.OLD" },
};

struct RetireCase {
  const char* name;
  std::vector<int> present;  // rows whose file is on the machine (stored in lower case)
  std::string wininit;       // WININIT.INI before ("" for none)
  std::string winIni;        // WIN.INI before
  std::string expectedWininit;  // after ("" for no file)
};

void PrintTo(const RetireCase& c, std::ostream* os) { *os << c.name; }

std::string RenameLines(const std::vector<int>& rows)
{
  std::string s;
  for (int r : rows)
    s += "C:\\WINDOWS\\" + kTable[r][0] + "\\" + kTable[r][2] + "=C:\\WINDOWS\\" + kTable[r][0] +
         "\\" + kTable[r][1] + "\r\n";
  return s;
}

std::vector<int> AllRows()
{
  std::vector<int> rows;
  for (int i = 0; i < 26; ++i)
    rows.push_back(i);
  return rows;
}

std::string Lower(std::string s)
{
  for (char& c : s)
    c = (char)std::tolower((unsigned char)c);
  return s;
}

class PurgeRetirement : public ::testing::TestWithParam<RetireCase> {};

}  // namespace

TEST_P(PurgeRetirement, SchedulesPresentFilesInTableOrder)
{
  const RetireCase& c = GetParam();
  CTestMachine m;
  // Files stored in lower case: the search finds them as Windows would, and
  // the lines still carry the table's letter case.
  for (int r : c.present)
    m.WriteFile("C:\\WINDOWS\\" + kTable[r][0] + "\\" + Lower(kTable[r][1]), "driver " + kTable[r][1]);
  m.WriteFile("C:\\WINDOWS\\SYSTEM\\QVAUDIO.OLD", "an older retired copy");
  m.WriteFile("C:\\WINDOWS\\SYSTEM\\QVAUDIO2.VXD", "not in the table");
  if (!c.wininit.empty())
    m.WriteFile("C:\\WINDOWS\\WININIT.INI", c.wininit);
  m.WriteFile("C:\\WINDOWS\\WIN.INI", c.winIni);
  auto before = FileSnapshot(m);
  sim::CSimComputer& computer = m.Load();
  {
    sim::CPlatformScope scope(computer);
    RetireLegacyDriverFiles("C:\\WINDOWS");
  }
  auto after = FileSnapshot(m);
  if (c.expectedWininit.empty())
    EXPECT_FALSE(m.Exists("C:\\WINDOWS\\WININIT.INI"));
  else
    EXPECT_EQ(c.expectedWininit, m.ReadFile("C:\\WINDOWS\\WININIT.INI").value_or("(none)"));
  EXPECT_EQ("[windows]\r\nload=\r\nrun= \r\nNullPort=None\r\n",
            m.ReadFile("C:\\WINDOWS\\WIN.INI").value_or("(none)"));
  // Nothing else changed: the driver files are only scheduled.
  for (const char* ini : { "C:\\WINDOWS\\WININIT.INI", "C:\\WINDOWS\\WIN.INI" }) {
    before.erase(SnapshotPath(m, ini));
    after.erase(SnapshotPath(m, ini));
  }
  EXPECT_EQ(before, after);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, PurgeRetirement,
    ::testing::Values(
        RetireCase{ "NoDriverFile", {}, "", "[windows]\r\nload=\r\nrun=\r\nNullPort=None\r\n", "" },
        RetireCase{ "AllDriverFiles", AllRows(), "",
                    "[windows]\r\nload=\r\nrun=C:\\PROGRA~1\\TONIVEX\\QVTRAY.EXE\r\nNullPort=None\r\n",
                    "[rename]\r\n" + RenameLines(AllRows()) },
        // One line per directory, in table order, each file in its own.
        RetireCase{ "SameNameInTwoDirectories", { 22, 4 },
                    "[rename]\r\nC:\\WINDOWS\\SYSTEM\\OLDDRV.OLD=C:\\WINDOWS\\SYSTEM\\OLDDRV.DRV\r\n",
                    "[windows]\r\nload=\r\nrun=qvmix.exe qvtray.exe\r\nNullPort=None\r\n",
                    "[rename]\r\nC:\\WINDOWS\\SYSTEM\\OLDDRV.OLD=C:\\WINDOWS\\SYSTEM\\OLDDRV.DRV\r\n" +
                        RenameLines({ 4, 22 }) }),
    [](const ::testing::TestParamInfo<RetireCase>& info) { return info.param.name; });

// Running it twice before the restart leaves one line per file.
TEST(PurgeRetirementTwice, KeepsOneLinePerFile)
{
  CTestMachine m;
  m.WriteFile("C:\\WINDOWS\\SYSTEM\\QV3310.VXD", "vxd");
  m.WriteFile("C:\\WINDOWS\\SYSTEM\\XMIDI32P.DLL", "dll");
  sim::CSimComputer& computer = m.Load();
  {
    sim::CPlatformScope scope(computer);
    RetireLegacyDriverFiles("C:\\WINDOWS");
    RetireLegacyDriverFiles("C:\\WINDOWS");
  }
  EXPECT_EQ("[rename]\r\n" + RenameLines({ 3, 15 }),
            m.ReadFile("C:\\WINDOWS\\WININIT.INI").value_or("(none)"));
}

// Windows 9x carries out only 8.3 names: a long Windows directory is named
// by its short form (made as Windows 9x makes it), so even one whose long
// paths would pass 259 characters is scheduled. Paths that pass 259
// characters in their short form too schedule nothing rather than a cut
// path; run is written in every case.
TEST(PurgeRetirementLongPaths, NamesTheShortDirectoryOrNone)
{
  std::string deep = "C:";
  for (int i = 0; i < 26; ++i)
    deep += "\\ABCDEFGH";  // 236 characters, 8.3 already
  const std::pair<std::string, std::string> cases[] = {
    { "C:\\Windows 98", "C:\\WINDOW~1" },
    { "C:\\" + std::string(240, 'W'), "C:\\WWWWWW~1" },
    { deep, "" },
  };
  for (const auto& [windowsDir, shortDir] : cases) {
    CTestMachine m;
    m.options.windowsDirectory = windowsDir;
    m.WriteFile(windowsDir + "\\SYSTEM32\\DRIVERS\\QVAUDIO.SYS", "sys");
    m.WriteFile(windowsDir + "\\WIN.INI", "[windows]\r\nrun=x\r\n");
    sim::CSimComputer& computer = m.Load();
    {
      sim::CPlatformScope scope(computer);
      PurgeLegacyDriverFiles();
    }
    std::string folder = shortDir + "\\SYSTEM32\\DRIVERS\\";
    if (!shortDir.empty())
      EXPECT_EQ("[rename]\r\n" + folder + "QVAUDIO.OLD=" + folder + "QVAUDIO.SYS\r\n",
                m.ReadFile(windowsDir + "\\WININIT.INI").value_or("(none)"));
    else
      EXPECT_FALSE(m.Exists(windowsDir + "\\WININIT.INI")) << windowsDir.size();
    EXPECT_EQ("[windows]\r\nrun= \r\n", m.ReadFile(windowsDir + "\\WIN.INI").value_or("(none)"));
  }
}
