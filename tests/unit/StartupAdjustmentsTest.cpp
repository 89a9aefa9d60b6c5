// The three adjustments every start makes before it decides what to do:
// the disc player's UsingCDDA, the CD-quality DefaultFormat and the removal
// of the suite's logon start entry.
#include <gtest/gtest.h>

#include <optional>

#include "StartupTestSupport.h"

using namespace startup_test;

namespace {

const char kAudio[] = "HKEY_CURRENT_USER\\Software\\Microsoft\\Multimedia\\Audio";
const char kDefaultAudio[] = "HKEY_USERS\\.Default\\Software\\Microsoft\\Multimedia\\Audio";
const char kRun[] = "HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Run";

// regedit text quoting of a value.
std::string RegText(const std::string& s)
{
  std::string out = "\"";
  for (char c : s) {
    if (c == '\\' || c == '"')
      out += '\\';
    out += c;
  }
  return out + "\"";
}

// Both audio keys, the format list when given, and a Run key with the
// suite's entry beside another one.
std::string Registry(const std::optional<std::string>& formats, bool bDefaultUserKey = true)
{
  std::string reg = "REGEDIT4\r\n\r\n[";
  reg += kAudio;
  reg += "]\r\n";
  if (formats)
    reg += "\"SystemFormats\"=" + RegText(*formats) + "\r\n";
  reg += "\r\n";
  if (bDefaultUserKey)
    reg += std::string("[") + kDefaultAudio + "]\r\n\"Other\"=\"kept\"\r\n\r\n";
  reg += std::string("[") + kRun + "]\r\n\"Tonivex Applications\"=\"C:\\\\TONIVEX\\\\TONEDOCK.EXE\"\r\n"
         "\"SystemTray\"=\"SysTray.Exe\"\r\n\r\n";
  return reg;
}

}  // namespace

TEST(StartupAdjustments, FormatListDecidesWhichEntryIsWrittenAndWhether)
{
  const std::string longName = "CD Quality 44.1 kHz for the studio monitor set";  // 46 characters
  const struct {
    std::optional<std::string> formats;
    std::optional<std::string> expected;  // both DefaultFormat values, or none written
  } rows[] = {
    { "CD Quality,Radio Quality,Telephone Quality", "CD Quality" },
    { "Radio Quality,Telephone Quality,CD Quality", "CD Quality" },
    { "CD Quality", "CD Quality" },
    { "My CD Mix,CD Quality", "My CD Mix" },
    // Entries are not trimmed.
    { "Radio Quality, CD Quality", " CD Quality" },
    // Case-sensitive; the two letters must stand together.
    { "Radio Quality,Telephone Quality", std::nullopt },
    { "cd quality", std::nullopt },
    { "C D Quality,Radio", std::nullopt },
    { "", std::nullopt },
    { ",,CD", "CD" },
    // A long name is written whole; a cut one would name no format.
    { "Radio Quality," + longName, longName },
    // A list longer than the 1024 bytes read is not read at all.
    { std::string(1100, 'x') + ",CD Quality", std::nullopt },
    { std::nullopt, std::nullopt },
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.formats ? "SystemFormats=" + row.formats->substr(0, 60) : "no SystemFormats");
    CTestMachine m;
    m.options.windows = "98";
    m.options.actions = { "cancel" };
    m.SetRegistry(Registry(row.formats));
    m.Run();
    EXPECT_EQ(row.expected, m.computer->GetStringValue(kAudio, "DefaultFormat"));
    EXPECT_EQ(row.expected, m.computer->GetStringValue(kDefaultAudio, "DefaultFormat"));
  }
}

TEST(StartupAdjustments, MissingKeysAreNeverCreated)
{
  {
    SCOPED_TRACE("no default user's audio key");
    CTestMachine m;
    m.options.windows = "95";
    m.options.actions = { "cancel" };
    m.SetRegistry(Registry(std::string("Radio,CD Quality"), false));
    m.Run();
    EXPECT_EQ(std::optional<std::string>("CD Quality"), m.computer->GetStringValue(kAudio, "DefaultFormat"));
    EXPECT_FALSE(m.computer->KeyExists(kDefaultAudio));
  }
  {
    SCOPED_TRACE("empty registry");
    CTestMachine m;
    m.options.windows = "95";
    m.options.actions = { "cancel" };
    m.Run();
    EXPECT_FALSE(m.computer->KeyExists(kAudio));
    EXPECT_FALSE(m.computer->KeyExists(kDefaultAudio));
    EXPECT_FALSE(m.computer->KeyExists(kRun));
  }
}

TEST(StartupAdjustments, DiscPlayerSettingFollowsSetupIniOnEveryStart)
{
  const struct {
    const char* ini;
    const char* before;  // QVCDPLAY.INI before the start, or nullptr
    const char* expected;
  } rows[] = {
    { nullptr, nullptr, "0" },
    { "[Default]\r\nUsingCDDA=1\r\n", nullptr, "1" },
    { "[Default]\r\nUsingCDDA=5\r\n", nullptr, "1" },
    { "[Default]\r\nUsingCDDA=0\r\n", nullptr, "0" },
    // The key in another section does not count.
    { "[InstallOption]\r\nUsingCDDA=1\r\n", nullptr, "0" },
    // A setup.ini without the key turns an earlier setting off.
    { "[InstallOption]\r\nWebSetup=0\r\n", "[DISC SPINNER]\r\nUsingCDDA=1\r\nVolume=7\r\n", "0" },
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.ini ? row.ini : "(no setup.ini)");
    CTestMachine m;
    m.options.windows = "98";
    m.options.actions = { "cancel" };
    if (row.ini != nullptr)
      m.WriteFile("D:\\setup.ini", row.ini);
    if (row.before != nullptr)
      m.WriteFile("C:\\WINDOWS\\QVCDPLAY.INI", row.before);
    m.Run();
    auto ini = m.ReadFile("C:\\WINDOWS\\QVCDPLAY.INI");
    ASSERT_TRUE(ini.has_value());
    EXPECT_NE(std::string::npos, ini->find("[DISC SPINNER]")) << *ini;
    EXPECT_NE(std::string::npos, ini->find(std::string("UsingCDDA=") + row.expected)) << *ini;
    EXPECT_EQ(std::string::npos, ini->find(std::string("UsingCDDA=") + (*row.expected == '0' ? "1" : "0")))
        << *ini;
    if (row.before != nullptr)
      EXPECT_NE(std::string::npos, ini->find("Volume=7")) << *ini;
  }
}

TEST(StartupAdjustments, MadeOnEveryPathAlsoThoseThatShowNothing)
{
  const struct {
    const char* windows;
    const char* args;
    const char* ini;
    const char* path;
  } rows[] = {
    { "NT4", "/DRIVER", "[Default]\r\nUsingCDDA=1\r\n", "refused" },
    { "NT4", "", "[InstallOption]\r\nWebSetup=2\r\n[Default]\r\nUsingCDDA=1\r\n", "refused" },
    { "98", "", "[InstallOption]\r\nWebSetup=3\r\n[Default]\r\nUsingCDDA=1\r\n", "nothing" },
    { "XP", "", "[Default]\r\nUsingCDDA=1\r\n", "handoff D:\\W2KSetup.dat" },
    { "ME", "-driver", "[Default]\r\nUsingCDDA=1\r\n", "handoff D:\\MESetup.dat /DRIVER" },
    { "2000", "/AP", "[Default]\r\nUsingCDDA=1\r\n", "package" },
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(std::string(row.windows) + " " + row.args + " " + row.ini);
    CTestMachine m;
    m.options.windows = row.windows;
    m.options.commandLine = row.args;
    WriteDisc(m, "D:\\");
    m.WriteFile("D:\\setup.ini", row.ini);
    m.SetRegistry(Registry(std::string("Radio Quality,CD Quality")));
    sim::RunOutcome r = m.Run();
    EXPECT_EQ(row.path, ClassifyPath(r, m));
    auto ini = m.ReadFile("C:\\WINDOWS\\QVCDPLAY.INI");
    ASSERT_TRUE(ini.has_value());
    EXPECT_NE(std::string::npos, ini->find("UsingCDDA=1")) << *ini;
    EXPECT_EQ(std::optional<std::string>("CD Quality"), m.computer->GetStringValue(kAudio, "DefaultFormat"));
    EXPECT_EQ(std::optional<std::string>("CD Quality"),
              m.computer->GetStringValue(kDefaultAudio, "DefaultFormat"));
    EXPECT_FALSE(m.computer->GetStringValue(kRun, "Tonivex Applications").has_value());
    EXPECT_EQ(std::optional<std::string>("SysTray.Exe"), m.computer->GetStringValue(kRun, "SystemTray"));
  }
}
