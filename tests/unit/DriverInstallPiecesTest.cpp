// Two pieces of the driver sequence called directly, on values and files no
// install scenario makes: the Systray value's shapes, and the VxD rule's
// source-disk entry on INF copies that are missing, empty or full.
#include <gtest/gtest.h>

#include "TestMachine.h"
#include "install/InfFileList.h"
#include "install/SourceDisksNames.h"
#include "install/SystrayService.h"

// The bit of value 4 in the first byte is cleared, for the current and the
// default user; the bytes go back as read, same length and type. Values the
// 8-byte buffer cannot take, and empty ones, stay as they are. Four-byte
// binary and DWORD values are in tests/scenarios/driver-install.scn.
TEST(DriverInstallPieces, SystrayServicesValueKeepsItsShape)
{
  const std::string kSystray = "Software\\Microsoft\\Windows\\CurrentVersion\\Applets\\Systray";
  const struct {
    const char* regText;
    std::vector<unsigned char> expected;  // of the type read
  } rows[] = {
    { "dword:00000103", { 3, 1, 0, 0 } }, { "hex:0f,ff", { 0x0b, 0xff } },
    { "hex:04", { 0 } }, { "hex:", {} },
    { "hex:ff,ff,ff,ff,ff,ff,ff,ff", { 0xfb, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff } },
    { "hex:ff,ff,ff,ff,ff,ff,ff,ff,ff", std::vector<unsigned char>(9, 0xff) },
  };
  for (const auto& row : rows) {
    CTestMachine m;
    m.SetRegistry("REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\" + kSystray + "]\r\n\"Services\"=" + row.regText +
                  "\r\n\r\n[HKEY_USERS\\.DEFAULT\\" + kSystray + "]\r\n\"Services\"=" + row.regText + "\r\n");
    sim::CSimComputer& computer = m.Load();
    sim::CPlatformScope scope(computer);
    ClearSystrayServiceBit();
    for (const char* root : { "HKEY_CURRENT_USER\\", "HKEY_USERS\\.DEFAULT\\" }) {
      unsigned long type = 0;
      EXPECT_EQ(computer.GetRawValue(root + kSystray, "Services", &type), row.expected) << root << row.regText;
      EXPECT_EQ(type, row.regText[0] == 'd' ? REG_DWORD : REG_BINARY) << root << row.regText;
    }
  }
}

// The VxD rule appends the staged path to entry 1 and writes an absent or
// empty entry, but never creates a file that a failed copy left missing.
TEST(DriverInstallPieces, SourceDisksEntryOnEveryKindOfInfCopy)
{
  const std::string kVersion = "[Version]\r\nSignature=\"$CHICAGO$\"\r\n";
  const auto inf = [&](const std::string& entry) {
    return kVersion + "\r\n[SourceDisksNames]\r\n" + entry + "\r\n\r\n[TVX.Reg]\r\nHKR,Config,DISMPU,1,0\r\n"
                                                             "1=not the disk entry\r\n";
  };
  const std::string kStaged = ", C:\\Program Files\\Veltrix\\W95-98";
  const struct {
    const char* name;
    std::optional<std::string> before, after;
  } rows[] = {
    { "MISSING.INF", std::nullopt, std::nullopt },
    { "ABSENT.INF", kVersion, kVersion + "\r\n[SourceDisksNames]\r\n1=" + kStaged + "\r\n" },
    { "EMPTY.INF", inf("1="), inf("1=" + kStaged) },
    { "FULL.INF", inf("1=\"Disc\",,0001"), inf("1=\"Disc\",,0001" + kStaged) },
  };
  CTestMachine m;
  for (const auto& row : rows) {
    if (row.before)
      m.WriteFile(std::string("C:\\WINDOWS\\INF\\OTHER\\") + row.name, *row.before);
    m.WriteFile(std::string("D:\\") + row.name, "on the disc");
  }
  sim::CPlatformScope scope(m.Load());
  CInfFileList list;
  const char* const targets[2] = { "C:\\WINDOWS\\INF\\OTHER\\", nullptr };
  ASSERT_TRUE(list.SetPlacement("D:\\", targets));
  SourceDisksNamesRule rule = { "1", kStaged.c_str(), TRUE };
  RewriteSourceDisksNames(list, rule);
  for (const auto& row : rows)
    EXPECT_EQ(row.after, m.ReadFile(std::string("C:\\WINDOWS\\INF\\OTHER\\") + row.name)) << row.name;
}
