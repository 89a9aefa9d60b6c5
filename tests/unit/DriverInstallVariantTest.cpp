// The driver sequence's dialog variants and its pieces, called directly on a
// simulated computer: the Systray value, the source-disk rewrite, the main
// dialog's return and the VxD dialog's staging.
#include <gtest/gtest.h>

#include "DriverInstallTestSupport.h"
#include "install/DriverInstall.h"
#include "install/InfFileList.h"
#include "install/InfOptionPatch.h"
#include "install/SourceDisksNames.h"
#include "install/SystrayService.h"

using namespace drvtest;

namespace {

const char kSystray[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Applets\\Systray";

struct CallResult {
  bool exited = false;
  std::vector<std::string> events;
};

// Runs the sequence as a dialog would call it.
CallResult RunVariant(CTestMachine& m, const DriverInstallVariant& variant, const char* windows,
                      INT nFullPackage = 0)
{
  m.options.windows = windows;
  sim::CSimComputer& computer = m.Load();
  VersionClass version = {};
  version.m_bWin95 = std::string(windows) == "95";
  version.m_bWin98 = std::string(windows) == "98";
  version.m_bWinNT4 = std::string(windows) == "NT4";
  LONG bSourcePathSet = 7;
  VxdDriverOptions options = {};
  DriverInstallContext context = {};
  context.m_pVersion = &version;
  context.m_pszSourceDir = "D:\\";
  context.m_pbSourcePathSet = &bSourcePathSet;
  context.m_pVxdOptions = &options;
  context.m_nFullPackage = nFullPackage;
  CallResult result;
  {
    sim::CPlatformScope scope(computer);
    try {
      RunDriverInstall(variant, context);
    } catch (const sim::ProcessExit& e) {
      result.exited = true;
      EXPECT_EQ(e.code, 0u);
    }
  }
  result.events = computer.Events();
  return result;
}

}  // namespace

// The bit of value 4 in the first byte is cleared; the bytes go back as read,
// same length and type. Values the 8-byte buffer cannot take, and empty
// ones, stay as they are.
TEST(DriverInstallPieces, SystrayServicesValueKeepsItsShape)
{
  struct Row {
    const char* regText;
    std::vector<unsigned char> expected;
    unsigned long type;
  } rows[] = {
    { "hex:07,00,00,00", { 3, 0, 0, 0 }, REG_BINARY },
    { "dword:00000007", { 3, 0, 0, 0 }, REG_DWORD },
    { "dword:00000103", { 3, 1, 0, 0 }, REG_DWORD },
    { "hex:0f,ff", { 0x0b, 0xff }, REG_BINARY },
    { "hex:04", { 0 }, REG_BINARY },
    { "hex:ff,ff,ff,ff,ff,ff,ff,ff", { 0xfb, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff }, REG_BINARY },
    { "hex:ff,ff,ff,ff,ff,ff,ff,ff,ff", { 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff }, REG_BINARY },
    { "hex:", {}, REG_BINARY },
  };
  for (const Row& row : rows) {
    CDriverTestMachine m;
    m.SetRegistry(std::string("REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\") + kSystray + "]\r\n\"Services\"=" +
                  row.regText + "\r\n\r\n[HKEY_USERS\\.DEFAULT\\" + kSystray + "]\r\n\"Services\"=" +
                  row.regText + "\r\n\r\n");
    sim::CSimComputer& computer = m.Load();
    {
      sim::CPlatformScope scope(computer);
      ClearSystrayServiceBit();
    }
    for (const char* root : { "HKEY_CURRENT_USER\\", "HKEY_USERS\\.DEFAULT\\" }) {
      unsigned long type = 0;
      auto value = computer.GetRawValue(root + std::string(kSystray), "Services", &type);
      ASSERT_TRUE(value.has_value()) << row.regText;
      EXPECT_EQ(*value, row.expected) << root << row.regText;
      EXPECT_EQ(type, row.type) << root << row.regText;
    }
  }
}

// The VxD rule writes an absent or empty entry, but never creates a file
// that a failed copy left missing.
TEST(DriverInstallPieces, WrittenEmptyEntryNeverCreatesAnInfFile)
{
  CDriverTestMachine m;
  m.WriteFile("C:\\WINDOWS\\INF\\OTHER\\ABSENT.INF", Crlf({ "[Version]", "Signature=\"$CHICAGO$\"" }));
  m.WriteFile("C:\\WINDOWS\\INF\\OTHER\\EMPTY.INF", InfWithDisks({ "1=" }));
  m.WriteFile("C:\\WINDOWS\\INF\\OTHER\\FULL.INF", InfWithDisks({ "1=\"Disc\",,0001" }));
  for (const char* name : { "ABSENT.INF", "MISSING.INF", "EMPTY.INF", "FULL.INF" })
    m.WriteFile(std::string("D:\\") + name, "on the disc");
  sim::CSimComputer& computer = m.Load();
  CInfFileList list;
  const char* const targets[2] = { "C:\\WINDOWS\\INF\\OTHER\\", nullptr };
  ASSERT_TRUE(list.SetPlacement("D:\\", targets));
  SourceDisksNamesRule rule = { "1", ", C:\\Program Files\\Veltrix\\W95-98", TRUE };
  {
    sim::CPlatformScope scope(computer);
    RewriteSourceDisksNames(list, rule);
  }
  EXPECT_FALSE(m.Exists("C:\\WINDOWS\\INF\\OTHER\\MISSING.INF"));
  auto absent = m.ReadFile("C:\\WINDOWS\\INF\\OTHER\\ABSENT.INF");
  ASSERT_TRUE(absent.has_value());
  EXPECT_EQ(absent->rfind(Crlf({ "[Version]", "Signature=\"$CHICAGO$\"" }), 0), 0u) << *absent;
  EXPECT_NE(absent->find("[SourceDisksNames]\r\n1=, C:\\Program Files\\Veltrix\\W95-98\r\n"),
            std::string::npos)
      << *absent;
  EXPECT_EQ(m.ReadFile("C:\\WINDOWS\\INF\\OTHER\\EMPTY.INF"),
            InfWithDisks({ "1=, C:\\Program Files\\Veltrix\\W95-98" }));
  EXPECT_EQ(m.ReadFile("C:\\WINDOWS\\INF\\OTHER\\FULL.INF"),
            InfWithDisks({ "1=\"Disc\",,0001, C:\\Program Files\\Veltrix\\W95-98" }));
}

// The main dialog's variant returns to the dialog: no message, no restart,
// the wait cursor ended; on NT 4.0 it does nothing at all.
TEST(DriverInstallVariants, MainDialogReturnsAfterTheDriverPart)
{
  CDriverTestMachine m;
  m.WriteFile("D:\\W95-98\\drv\\98\\TVX98.INF", InfWithDisks({ "1=Disc,,0001" }));
  m.WriteFile("D:\\Dosdrv\\TVXDOS.COM", "dos");
  CallResult r = RunVariant(m, g_mainDialogInstall, "98");
  EXPECT_FALSE(r.exited);
  EXPECT_EQ(r.events, (std::vector<std::string>{ "start \"SysTray.exe\" show=5 via=WinExec", "pause 500",
                                                 "wait-cursor on", "wait-cursor off" }));
  EXPECT_EQ(m.ReadFile("C:\\Program Files\\Veltrix\\DOS\\TVXDOS.COM"), "dos");
  EXPECT_EQ(m.ReadFile("C:\\WINDOWS\\INF\\OTHER\\TVX98.INF"),
            InfWithDisks({ "1=Disc,,0001, " + StagingShortPath(*m.computer) }));

  CDriverTestMachine nt;
  nt.WriteFile("D:\\W95-98\\drv\\98\\TVX98.INF", InfWithDisks({ "1=Disc,,0001" }));
  CallResult rnt = RunVariant(nt, g_mainDialogInstall, "NT4");
  EXPECT_FALSE(rnt.exited);
  EXPECT_TRUE(rnt.events.empty()) << rnt.events.size();
  EXPECT_FALSE(nt.Exists("C:\\Program Files"));
}

// The VxD dialog's variant: the program directory is the driver set, one INF
// target, the wavetable data from the system directory, the 026 files, the
// fixed suffix written even into an absent entry, and no tray, DOS or
// SourcePath work.
TEST(DriverInstallVariants, VxdDialogStagesItsOwnWay)
{
  CDriverTestMachine m;
  m.options.openWindows = { "Mixer" };
  m.MakeDir("C:\\CABS");
  m.MakeDir("C:\\WINDOWS\\INF\\OTHER");
  m.SetRegistry("REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Setup]\r\n"
                "\"SourcePath\"=\"C:\\\\CABS\"\r\n\r\n");
  m.WriteFile("C:\\WINDOWS\\SYSTEM\\BANKPCM.DAT", "system pcm");
  m.WriteFile("C:\\WINDOWS\\SYSTEM\\BANKIDX.DAT", "system idx");
  m.WriteFile("D:\\BANKIDX.DAT", "disc idx");
  m.WriteFile("D:\\TVXVXD.INF", Crlf({ "[Version]", "Signature=\"$CHICAGO$\"" }));
  m.WriteFile("D:\\TVXWAV.VXD", "vxd");
  m.SetReadOnly("D:\\TVXWAV.VXD");
  m.WriteFile("D:\\026\\TVX026.DAT", "026 data");
  m.WriteFile("D:\\Dosdrv\\TVXDOS.COM", "dos");

  CallResult r = RunVariant(m, g_vxdDialogInstall, "98", 0);

  EXPECT_TRUE(r.exited);
  EXPECT_EQ(r.events, (std::vector<std::string>{ "wait-cursor off", kDone, "restart", "exit 0" }));
  EXPECT_EQ(m.ReadFile(std::string(kStaging) + "BANKPCM.DAT"), "system pcm");
  EXPECT_EQ(m.ReadFile(std::string(kStaging) + "BANKIDX.DAT"), "disc idx");
  EXPECT_EQ(m.ReadFile(std::string(kStaging) + "026\\TVX026.DAT"), "026 data");
  EXPECT_EQ(m.computer->GetPlatform().GetFileAttributesA("C:\\Program Files\\Veltrix\\W95-98\\TVXWAV.VXD") &
                FILE_ATTRIBUTE_READONLY,
            0u);
  EXPECT_FALSE(m.Exists("C:\\Program Files\\Veltrix\\DOS"));
  EXPECT_FALSE(m.Exists("C:\\CABS\\TVXWAV.VXD"));
  EXPECT_FALSE(m.Exists("C:\\WINDOWS\\INF\\TVXVXD.INF"));
  EXPECT_FALSE(m.Exists("C:\\WINDOWS\\INF\\CATALOG"));
  auto inf = m.ReadFile("C:\\WINDOWS\\INF\\OTHER\\TVXVXD.INF");
  ASSERT_TRUE(inf.has_value());
  EXPECT_NE(inf->find("[SourceDisksNames]\r\n1=, C:\\Program Files\\Veltrix\\W95-98\r\n"), std::string::npos)
      << *inf;
}

// Without INF\OTHER\ the VxD variant places its INF copies in INF\; with
// FullPackage set no wavetable data comes from the system directory.
TEST(DriverInstallVariants, VxdDialogFallsBackToInfAndHonoursFullPackage)
{
  CDriverTestMachine m;
  m.WriteFile("C:\\WINDOWS\\SYSTEM\\BANKPCM.DAT", "system pcm");
  m.WriteFile("D:\\TVXVXD.INF", InfWithDisks({ "1=Disc,,0001" }));

  CallResult r = RunVariant(m, g_vxdDialogInstall, "95", 1);

  EXPECT_TRUE(r.exited);
  EXPECT_FALSE(m.Exists(std::string(kStaging) + "BANKPCM.DAT"));
  EXPECT_FALSE(m.Exists("C:\\WINDOWS\\INF\\OTHER"));
  EXPECT_EQ(m.ReadFile("C:\\WINDOWS\\INF\\TVXVXD.INF"),
            InfWithDisks({ "1=Disc,,0001, C:\\Program Files\\Veltrix\\W95-98" }));
}
