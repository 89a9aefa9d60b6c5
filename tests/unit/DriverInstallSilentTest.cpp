// Whole silent installs (driver word, DriverOnly, WebSetup=2) on simulated
// computers: the events, the staged files, the INF copies and what the
// purge leaves in WININIT.INI, WIN.INI and the registry.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "DriverInstallTestSupport.h"

using namespace drvtest;
namespace fs = std::filesystem;

namespace {

const std::string kInf95 = InfWithDisks({ "1=\"Tonivex Disc\",,0001", "2=\"DOS Disc\",,0002" });
const std::string kRegistry =
    "REGEDIT4\r\n\r\n"
    "[HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Applets\\Systray]\r\n"
    "\"Services\"=hex:07,00,00,00\r\n\r\n"
    "[HKEY_USERS\\.DEFAULT\\Software\\Microsoft\\Windows\\CurrentVersion\\Applets\\Systray]\r\n"
    "\"Services\"=dword:00000006\r\n\r\n";

// A disc with a Windows 95 and a Windows 98 driver set and DOS files.
void WriteDisc(CTestMachine& m)
{
  m.WriteFile("D:\\W95-98\\drv\\95\\TVX95.INF", kInf95);
  m.WriteFile("D:\\W95-98\\drv\\95\\TVXWAV.VXD", "vxd 95");
  m.WriteFile("D:\\W95-98\\drv\\98\\TVX98.INF", kInf95);
  m.WriteFile("D:\\W95-98\\drv\\98\\TVXWAV.VXD", "vxd 98");
  m.WriteFile("D:\\W95-98\\drv\\TVXWAV.VXD", "vxd common");
  m.WriteFile("D:\\Dosdrv\\TVXDOS.COM", "dos com");
  m.WriteFile("D:\\Dosdrv\\DOSAPP\\TVXPLAY.EXE", "dos player");
  m.MakeDir("D:\\Dosdrv\\EMPTYDIR");
}

std::string Rewritten(const std::string& shortPath)
{
  return InfWithDisks({ "1=\"Tonivex Disc\",,0001, " + shortPath, "2=\"DOS Disc\",,0002" });
}

}  // namespace

TEST(DriverInstallSilent, DriverWordOnWindows95StagesPlacesAndRewrites)
{
  CDriverTestMachine m;
  m.options.windows = "95";
  m.options.commandLine = "/driver";
  m.options.openWindows = { "Mixer" };
  WriteDisc(m);
  m.SetRegistry(kRegistry);
  m.WriteFile("C:\\WINDOWS\\mixerdef.ini", "[RUNTIME]\r\nInitialize=1\r\n");

  sim::RunOutcome r = m.Run();

  EXPECT_EQ(r.events, SilentInstallEvents(true)) << JoinEvents(r);
  // The Windows 95 set, the DOS files, nothing from the directories in between.
  EXPECT_EQ(m.ReadFile(std::string(kStaging) + "TVXWAV.VXD"), "vxd 95");
  EXPECT_EQ(m.ReadFile(std::string(kStaging) + "TVX95.INF"), kInf95);
  EXPECT_EQ(m.ReadFile("C:\\Program Files\\Veltrix\\DOS\\TVXDOS.COM"), "dos com");
  EXPECT_EQ(m.ReadFile("C:\\Program Files\\Veltrix\\DOS\\DOSAPP\\TVXPLAY.EXE"), "dos player");
  EXPECT_FALSE(m.Exists("C:\\Program Files\\Veltrix\\DOS\\EMPTYDIR"));
  EXPECT_TRUE(m.Exists("C:\\WINDOWS\\INF\\CATALOG"));

  // Both INF copies get the suffix exactly once; the other lines stay.
  std::string shortPath = StagingShortPath(*m.computer);
  ASSERT_FALSE(shortPath.empty());
  EXPECT_EQ(m.ReadFile("C:\\WINDOWS\\INF\\TVX95.INF"), Rewritten(shortPath));
  EXPECT_EQ(m.ReadFile("C:\\WINDOWS\\INF\\OTHER\\TVX95.INF"), Rewritten(shortPath));
  EXPECT_FALSE(m.Exists("C:\\WINDOWS\\INF\\TVXWAV.VXD"));

  // Systray: the volume-service bit is cleared, type and length kept.
  unsigned long type = 0;
  auto cu = m.computer->GetRawValue(
      "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Applets\\Systray", "Services", &type);
  ASSERT_TRUE(cu.has_value());
  EXPECT_EQ(*cu, (std::vector<unsigned char>{ 3, 0, 0, 0 }));
  EXPECT_EQ(type, (unsigned long)REG_BINARY);
  auto du = m.computer->GetRawValue(
      "HKEY_USERS\\.DEFAULT\\Software\\Microsoft\\Windows\\CurrentVersion\\Applets\\Systray", "Services",
      &type);
  ASSERT_TRUE(du.has_value());
  EXPECT_EQ(*du, (std::vector<unsigned char>{ 2, 0, 0, 0 }));
  EXPECT_EQ(type, (unsigned long)REG_DWORD);

  auto mixerdef = m.ReadFile("C:\\WINDOWS\\mixerdef.ini");
  ASSERT_TRUE(mixerdef.has_value());
  EXPECT_NE(mixerdef->find("Initialize=0"), std::string::npos) << *mixerdef;
}

TEST(DriverInstallSilent, Windows95DiscWithoutItsOwnSetFallsBackToDrvDirectory)
{
  CDriverTestMachine m;
  m.options.windows = "95";
  m.WriteFile("D:\\setup.ini", "[InstallOption]\r\nDriverOnly=1\r\n");
  m.WriteFile("D:\\W95-98\\drv\\98\\TVX98.INF", kInf95);
  m.WriteFile("D:\\W95-98\\drv\\TVXWAV.VXD", "vxd common");
  m.WriteFile("D:\\W95-98\\drv\\TVXDRV.INF", kInf95);

  sim::RunOutcome r = m.Run();

  EXPECT_EQ(r.events, SilentInstallEvents(false)) << JoinEvents(r);
  EXPECT_EQ(m.ReadFile(std::string(kStaging) + "TVXWAV.VXD"), "vxd common");
  EXPECT_TRUE(m.Exists("C:\\WINDOWS\\INF\\TVXDRV.INF"));
  EXPECT_FALSE(m.Exists(std::string(kStaging) + "TVX98.INF"));
  // No mixerdef.ini before: none is made.
  EXPECT_FALSE(m.Exists("C:\\WINDOWS\\mixerdef.ini"));
}

TEST(DriverInstallSilent, WebSetupStagesEverythingBesideTheProgramWithoutDosFiles)
{
  CDriverTestMachine m;
  m.options.windows = "98";
  m.WriteFile("D:\\setup.ini", "[InstallOption]\r\nWebSetup=2\r\n");
  m.WriteFile("D:\\TVX98.INF", kInf95);
  m.WriteFile("D:\\TVXWAV.VXD", "vxd web");
  m.WriteFile("D:\\Dosdrv\\TVXDOS.COM", "dos com");
  m.WriteFile("C:\\CABS\\old.cab", "cab");
  m.SetRegistry("REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Setup]\r\n"
                "\"SourcePath\"=\"C:\\\\CABS\"\r\n\r\n");

  sim::RunOutcome r = m.Run();

  EXPECT_EQ(r.events, SilentInstallEvents(false)) << JoinEvents(r);
  EXPECT_EQ(m.ReadFile(std::string(kStaging) + "setup.ini"), "[InstallOption]\r\nWebSetup=2\r\n");
  EXPECT_EQ(m.ReadFile(std::string(kStaging) + "TVXWAV.VXD"), "vxd web");
  EXPECT_FALSE(m.Exists("C:\\Program Files\\Veltrix\\DOS"));
  // SourcePath receives the set but not setup.ini (its name holds SETUP).
  EXPECT_EQ(m.ReadFile("C:\\CABS\\TVXWAV.VXD"), "vxd web");
  EXPECT_EQ(m.ReadFile("C:\\CABS\\TVX98.INF"), kInf95);
  EXPECT_FALSE(m.Exists("C:\\CABS\\setup.ini"));
  EXPECT_EQ(m.ReadFile("C:\\WINDOWS\\INF\\OTHER\\TVX98.INF"), Rewritten(StagingShortPath(*m.computer)));
}

// Start-up never reaches the driver sequence's work on NT 4.0: the process
// ends with nothing shown and nothing written.
TEST(DriverInstallSilent, Nt4EndsAtOnceForBothSilentPaths)
{
  const char* setups[] = { "[InstallOption]\r\nDriverOnly=1\r\n", "[InstallOption]\r\nWebSetup=2\r\n" };
  for (const char* setupIni : setups) {
    CDriverTestMachine m;
    m.options.windows = "NT4";
    m.options.openWindows = { "Mixer" };
    WriteDisc(m);
    m.WriteFile("D:\\setup.ini", setupIni);
    m.SetRegistry(kRegistry);

    sim::RunOutcome r = m.Run();

    EXPECT_EQ(r.events, (std::vector<std::string>{ "exit 0" })) << setupIni << JoinEvents(r);
    EXPECT_FALSE(m.Exists("C:\\Program Files")) << setupIni;
    unsigned long type = 0;
    auto cu = m.computer->GetRawValue(
        "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Applets\\Systray", "Services",
        &type);
    ASSERT_TRUE(cu.has_value());
    EXPECT_EQ((*cu)[0], 7) << setupIni;
  }
}

// The first file tried on a read-only SourcePath goes to INF\OTHER\ instead;
// no later file is tried there.
TEST(DriverInstallSilent, ReadOnlySourcePathSendsOneFileToInfOther)
{
  CDriverTestMachine m;
  m.options.windows = "98";
  m.options.commandLine = "DRIVER";
  m.options.readOnlyDrives = "E";
  m.MakeDir("E:\\CABS");
  m.WriteFile("D:\\W95-98\\drv\\98\\A.DRV", "a");
  m.WriteFile("D:\\W95-98\\drv\\98\\B.INF", kInf95);
  m.WriteFile("D:\\W95-98\\drv\\98\\C.VXD", "c");
  m.SetRegistry("REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Setup]\r\n"
                "\"SourcePath\"=\"E:\\\\CABS\\\\\"\r\n\r\n");

  sim::RunOutcome r = m.Run();

  EXPECT_EQ(r.events, SilentInstallEvents(false)) << JoinEvents(r);
  EXPECT_EQ(m.ReadFile("C:\\WINDOWS\\INF\\OTHER\\A.DRV"), "a");
  EXPECT_FALSE(m.Exists("C:\\WINDOWS\\INF\\OTHER\\C.VXD"));
  EXPECT_FALSE(m.Exists("E:\\CABS\\A.DRV"));
  EXPECT_EQ(m.ReadFile(std::string(kStaging) + "C.VXD"), "c");
}

// Which names are INF files (case-sensitive ".inf"/".INF") and which stay
// out of the SourcePath directory ("SETUP" in any case).
TEST(DriverInstallSilent, FileNamesDecidePlacementAndSourcePathCopies)
{
  struct Row {
    const char* name;
    bool placedInInf;
    bool copiedToSourcePath;
  } rows[] = {
    { "SETUPX.INF", true, false },  { "ReadMe.Inf", false, true }, { "lower.inf", true, true },
    { "old.inf.bak", true, true },  { "MySetup.txt", false, false }, { "TVX.VXD", false, true },
  };
  CDriverTestMachine m;
  m.options.windows = "98";
  m.options.commandLine = "-DRIVER";
  m.MakeDir("C:\\CABS");
  for (const Row& row : rows)
    m.WriteFile(std::string("D:\\W95-98\\drv\\98\\") + row.name, kInf95);
  m.SetRegistry("REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Setup]\r\n"
                "\"SourcePath\"=\"C:\\\\CABS\"\r\n\r\n");

  sim::RunOutcome r = m.Run();
  ASSERT_EQ(r.events, SilentInstallEvents(false)) << JoinEvents(r);

  std::string rewritten = Rewritten(StagingShortPath(*m.computer));
  for (const Row& row : rows) {
    std::string name = row.name;
    EXPECT_EQ(m.ReadFile(kStaging + name), kInf95) << name;
    EXPECT_EQ(m.Exists("C:\\CABS\\" + name), row.copiedToSourcePath) << name;
    if (row.placedInInf) {
      EXPECT_EQ(m.ReadFile("C:\\WINDOWS\\INF\\" + name), rewritten) << name;
      EXPECT_EQ(m.ReadFile("C:\\WINDOWS\\INF\\OTHER\\" + name), rewritten) << name;
    } else {
      EXPECT_FALSE(m.Exists("C:\\WINDOWS\\INF\\" + name)) << name;
      EXPECT_FALSE(m.Exists("C:\\WINDOWS\\INF\\OTHER\\" + name)) << name;
    }
  }
  // The SourcePath copies are plain copies: no suffix.
  EXPECT_EQ(m.ReadFile("C:\\CABS\\lower.inf"), kInf95);
}

TEST(DriverInstallSilent, DriverSetWithoutInfFilesIsStagedAndStillRestarts)
{
  CDriverTestMachine m;
  m.options.windows = "98";
  m.options.commandLine = "/DRIVER";
  m.WriteFile("D:\\W95-98\\drv\\98\\TVXWAV.VXD", "vxd");
  m.WriteFile("C:\\WINDOWS\\INF\\KEEP.INF", kInf95);

  sim::RunOutcome r = m.Run();

  EXPECT_EQ(r.events, SilentInstallEvents(false)) << JoinEvents(r);
  EXPECT_EQ(m.ReadFile(std::string(kStaging) + "TVXWAV.VXD"), "vxd");
  EXPECT_EQ(m.ReadFile("C:\\WINDOWS\\INF\\KEEP.INF"), kInf95);
}

// INF entries: with "1", without it, empty, quoted whole; other sections and
// keys named "1" elsewhere are untouched. A file over 64 KB, which Windows 9x
// would cut, is left byte for byte.
TEST(DriverInstallSilent, SourceDisksNamesEntryForms)
{
  const std::string comment64k = ";" + std::string(65536, '-');
  struct Row {
    const char* name;
    std::vector<std::string> disks;
    std::vector<std::string> expected;  // "%S" stands for the short path
  } rows[] = {
    { "PLAIN.INF", { "1=Tonivex Disc,,0001" }, { "1=Tonivex Disc,,0001, %S" } },
    { "PART.INF", { "1=\"Tonivex Disc\",,0001" }, { "1=\"Tonivex Disc\",,0001, %S" } },
    { "WHOLE.INF", { "1=\"Tonivex Disc\"" }, { "1=Tonivex Disc, %S" } },
    { "NOONE.INF", { "2=Other Disc,,0002" }, { "2=Other Disc,,0002" } },
    { "EMPTY.INF", { "1=" }, { "1=" } },
    { "LARGE.INF", { "1=Tonivex Disc,,0001", comment64k }, { "1=Tonivex Disc,,0001", comment64k } },
    // Entries up to 1023 characters are rewritten; a longer one could have
    // been read cut, so it stays byte for byte.
    { "V1022.INF", { "1=" + std::string(1016, 'v') + ",,0001" }, { "1=" + std::string(1016, 'v') + ",,0001, %S" } },
    { "V1023.INF", { "1=" + std::string(1017, 'v') + ",,0001" }, { "1=" + std::string(1017, 'v') + ",,0001, %S" } },
    { "V1024.INF", { "1=" + std::string(1018, 'v') + ",,0001" }, { "1=" + std::string(1018, 'v') + ",,0001" } },
  };
  CDriverTestMachine m;
  m.options.windows = "98";
  m.options.commandLine = "DRIVER";
  for (const Row& row : rows)
    m.WriteFile(std::string("D:\\W95-98\\drv\\98\\") + row.name, InfWithDisks(row.disks));
  m.WriteFile("D:\\W95-98\\drv\\98\\NOSECT.INF", Crlf({ "[Version]", "Signature=\"$CHICAGO$\"" }));

  sim::RunOutcome r = m.Run();
  ASSERT_EQ(r.events, SilentInstallEvents(false)) << JoinEvents(r);

  std::string shortPath = StagingShortPath(*m.computer);
  for (const Row& row : rows) {
    std::vector<std::string> lines = row.expected;
    for (auto& l : lines)
      if (l.find("%S") != std::string::npos)
        l.replace(l.find("%S"), 2, shortPath);
    std::string name = row.name;
    EXPECT_EQ(m.ReadFile("C:\\WINDOWS\\INF\\" + name), InfWithDisks(lines)) << name;
    EXPECT_EQ(m.ReadFile("C:\\WINDOWS\\INF\\OTHER\\" + name), InfWithDisks(lines)) << name;
  }
  EXPECT_EQ(m.ReadFile("C:\\WINDOWS\\INF\\NOSECT.INF"), Crlf({ "[Version]", "Signature=\"$CHICAGO$\"" }));
}

// Any number of INF copies, with long paths, each get the suffix once.
TEST(DriverInstallSilent, EveryInfCopyIsRewrittenHoweverManyThereAre)
{
  CDriverTestMachine m;
  m.options.windows = "98";
  m.options.commandLine = "DRIVER";
  m.options.windowsDirectory = "C:\\" + std::string(177, 'W');  // 180 characters
  m.MakeDir(m.options.windowsDirectory + "\\INF");
  char szName[16];
  for (int i = 0; i < 1000; ++i) {
    std::snprintf(szName, sizeof szName, "TVX%04d.INF", i);
    m.WriteFile(std::string("D:\\W95-98\\drv\\98\\") + szName, kInf95);
  }

  sim::RunOutcome r = m.Run();

  EXPECT_EQ(r.events, SilentInstallEvents(false)) << JoinEvents(r);
  std::string rewritten = Rewritten(StagingShortPath(*m.computer));
  int nRewritten = 0;
  for (const char* dir : { "\\INF\\", "\\INF\\OTHER\\" })
    for (int i = 0; i < 1000; ++i) {
      std::snprintf(szName, sizeof szName, "TVX%04d.INF", i);
      std::ifstream in(m.Host(m.options.windowsDirectory + dir + szName), std::ios::binary);
      std::stringstream text;
      text << in.rdbuf();
      nRewritten += text.str() == rewritten;
    }
  EXPECT_EQ(nRewritten, 2000);
}

// When the staging directory cannot be made (a file stands in its way), its
// short form cannot be had: the INF copies keep their entries.
TEST(DriverInstallSilent, NoShortPathLeavesEntriesUnchanged)
{
  CDriverTestMachine m;
  m.options.windows = "98";
  m.options.commandLine = "DRIVER";
  m.WriteFile("C:\\Program Files\\Veltrix", "a file, not a directory");
  m.WriteFile("D:\\W95-98\\drv\\98\\TVX98.INF", kInf95);

  sim::RunOutcome r = m.Run();

  EXPECT_EQ(r.events, SilentInstallEvents(false)) << JoinEvents(r);
  EXPECT_EQ(m.ReadFile("C:\\WINDOWS\\INF\\TVX98.INF"), kInf95);
  EXPECT_EQ(m.ReadFile("C:\\WINDOWS\\INF\\OTHER\\TVX98.INF"), kInf95);
}

// A name too long for the staging directory is skipped there, not cut into
// another name; where it fits (the INF directory) it is still placed.
TEST(DriverInstallSilent, TooLongPathIsSkippedNotCut)
{
  CDriverTestMachine m;
  m.options.windows = "98";
  m.options.commandLine = "DRIVER";
  std::string name = std::string(236, 'L') + ".INF";  // 240 characters
  m.WriteFile("D:\\W95-98\\drv\\98\\" + name, kInf95);
  m.WriteFile("D:\\W95-98\\drv\\98\\TVXWAV.VXD", "vxd");

  sim::RunOutcome r = m.Run();

  EXPECT_EQ(r.events, SilentInstallEvents(false)) << JoinEvents(r);
  std::vector<std::string> staged;
  for (const auto& e : fs::directory_iterator(m.Host(kStaging)))
    staged.push_back(e.path().filename().string());
  EXPECT_EQ(staged, (std::vector<std::string>{ "TVXWAV.VXD" }));
  std::string rewritten = Rewritten(StagingShortPath(*m.computer));
  EXPECT_EQ(m.ReadFile("C:\\WINDOWS\\INF\\" + name), rewritten);  // 255 characters: fits
  // INF\OTHER\ + name would take 261 characters.
  EXPECT_TRUE(fs::is_empty(m.Host("C:\\WINDOWS\\INF\\OTHER")));
}
