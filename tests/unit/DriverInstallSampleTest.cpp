// The bundled sample disc on the bundled sample Windows 98 computer: a whole
// silent install, and what the computer holds afterwards.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "DriverInstallTestSupport.h"

using namespace drvtest;
namespace fs = std::filesystem;

namespace {

std::string HostFile(const fs::path& path)
{
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

std::string Replace(std::string s, const std::string& from, const std::string& to)
{
  size_t at = s.find(from);
  if (at != std::string::npos)
    s.replace(at, from.size(), to);
  return s;
}

}  // namespace

TEST(DriverInstallSample, SilentDriverOnlyOnWindows95)
{
  CTestMachine m;
  LoadSamples(m);
  m.options.windows = "95";
  m.options.commandLine = "/DRIVER";

  sim::RunOutcome r = m.Run();

  EXPECT_EQ(r.events, SilentInstallEvents(false)) << JoinEvents(r);
  fs::path disc95 = fs::path(SETUP_SOURCE_DIR) / "samples/disc/W95-98/drv/95";
  for (const char* name : { "TVX95.INF", "TVXWAV.VXD", "TVXWAV.DRV", "TVXMPU.DRV", "ReadMe.Inf" })
    EXPECT_EQ(m.ReadFile(std::string(kStaging) + name), HostFile(disc95 / name)) << name;
  EXPECT_TRUE(m.Exists("C:\\Program Files\\Veltrix\\DOS\\DOSAPP\\TVXPLAY.EXE"));

  // The INF copies: the disc's bytes with the short staging path appended to
  // entry 1 only; ReadMe.Inf is no INF file.
  std::string original = HostFile(disc95 / "TVX95.INF");
  std::string expected = Replace(original, "1=\"Tonivex Driver Disc\",,0001\r\n",
                                 "1=\"Tonivex Driver Disc\",,0001, " + StagingShortPath(*m.computer) + "\r\n");
  ASSERT_NE(expected, original);
  EXPECT_EQ(m.ReadFile("C:\\WINDOWS\\INF\\TVX95.INF"), expected);
  EXPECT_EQ(m.ReadFile("C:\\WINDOWS\\INF\\OTHER\\TVX95.INF"), expected);
  EXPECT_FALSE(m.Exists("C:\\WINDOWS\\INF\\ReadMe.Inf"));
  // SourcePath (C:\WINDOWS\OPTIONS\CABS) gets the set.
  EXPECT_EQ(m.ReadFile("C:\\WINDOWS\\OPTIONS\\CABS\\TVX95.INF"), original);

  // The earlier release is gone or retired.
  EXPECT_FALSE(m.Exists("C:\\WINDOWS\\INF\\OTHER\\QVX3710.INF"));
  EXPECT_FALSE(m.Exists("C:\\WINDOWS\\INF\\OEM3.INF"));
  EXPECT_TRUE(m.Exists("C:\\WINDOWS\\INF\\OTHER\\OEMBOARD.INF"));
  auto wininit = m.ReadFile("C:\\WINDOWS\\WININIT.INI");
  ASSERT_TRUE(wininit.has_value());
  EXPECT_NE(wininit->find("C:\\WINDOWS\\SYSTEM\\QVAUDIO.OLD=C:\\WINDOWS\\SYSTEM\\QVAUDIO.VXD"), std::string::npos)
      << *wininit;
  auto winini = m.ReadFile("C:\\WINDOWS\\WIN.INI");
  ASSERT_TRUE(winini.has_value());
  EXPECT_NE(winini->find("run= \r\n"), std::string::npos) << *winini;
  EXPECT_FALSE(m.computer->KeyExists("HKEY_LOCAL_MACHINE\\Enum\\PCI\\VEN_5D2A&DEV_0111&SUBSYS_00000000"));
  EXPECT_TRUE(m.computer->KeyExists("HKEY_LOCAL_MACHINE\\Enum\\PCI\\VEN_8086&DEV_7110"));
  EXPECT_FALSE(m.computer->KeyExists("HKEY_LOCAL_MACHINE\\Enum\\QVX\\CHILD0000"));
  EXPECT_FALSE(m.computer->KeyExists("HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\services\\Class\\MEDIA\\0000"));
  EXPECT_TRUE(m.computer->KeyExists("HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\services\\Class\\MEDIA\\0001"));
  EXPECT_FALSE(m.computer->KeyExists("HKEY_CLASSES_ROOT\\SpaceFX"));
  unsigned long type = 0;
  auto services = m.computer->GetRawValue(
      "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Applets\\Systray", "Services", &type);
  ASSERT_TRUE(services.has_value());
  EXPECT_EQ(*services, (std::vector<unsigned char>{ 3, 0, 0, 0 }));
  auto mixerdef = m.ReadFile("C:\\WINDOWS\\mixerdef.ini");
  ASSERT_TRUE(mixerdef.has_value());
  EXPECT_NE(mixerdef->find("Initialize=0\r\n"), std::string::npos) << *mixerdef;
}

// Windows 98 with WebSetup=2: the disc's root folder is then a web setup's
// folder, its driver set beside the program.
TEST(DriverInstallSample, SilentWebOnWindows98)
{
  CTestMachine m;
  LoadSamples(m);
  m.WriteFile("D:\\setup.ini", "[InstallOption]\r\nWebSetup=2\r\n");
  m.options.windows = "98";

  sim::RunOutcome r = m.Run();

  EXPECT_EQ(r.events, SilentInstallEvents(false)) << JoinEvents(r);
  fs::path disc = fs::path(SETUP_SOURCE_DIR) / "samples/disc";
  for (const char* name : { "TVXWEB.INF", "TVXWAV.VXD", "Mixer.exe" })
    EXPECT_EQ(m.ReadFile(std::string(kStaging) + name), HostFile(disc / name)) << name;
  EXPECT_EQ(m.ReadFile(std::string(kStaging) + "setup.ini"), "[InstallOption]\r\nWebSetup=2\r\n");
  EXPECT_FALSE(m.Exists(std::string(kStaging) + "TVX98.INF"));
  EXPECT_FALSE(m.Exists("C:\\WINDOWS\\OPTIONS\\CABS\\setup.ini"));
  EXPECT_TRUE(m.Exists("C:\\WINDOWS\\OPTIONS\\CABS\\TVXWAV.VXD"));
  EXPECT_FALSE(m.Exists("C:\\Program Files\\Veltrix\\DOS"));
  std::string original = HostFile(disc / "TVXWEB.INF");
  std::string expected = Replace(original, "1=\"Tonivex Driver Disc\",,0001\r\n",
                                 "1=\"Tonivex Driver Disc\",,0001, " + StagingShortPath(*m.computer) + "\r\n");
  ASSERT_NE(expected, original);
  EXPECT_EQ(m.ReadFile("C:\\WINDOWS\\INF\\TVXWEB.INF"), expected);
  EXPECT_EQ(m.ReadFile("C:\\WINDOWS\\INF\\OTHER\\TVXWEB.INF"), expected);
}
