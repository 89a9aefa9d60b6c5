// Two pieces of the driver sequence called directly, on values and files no
// install scenario makes: the Systray value's shapes, and the VxD rule's
// source-disk entry on INF copies that are missing, empty or full.
#include <gtest/gtest.h>

#include "DriverInstallTestSupport.h"
#include "install/InfFileList.h"
#include "install/SourceDisksNames.h"
#include "install/SystrayService.h"

using namespace drvtest;

namespace {

const char kSystray[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Applets\\Systray";

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
