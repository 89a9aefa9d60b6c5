// Two pieces of the driver sequence called directly, on values and files no
// install scenario makes: the Systray value's shapes, and the VxD rule's
// source-disk entry on a missing INF copy.
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

// A copy that a failed copy left missing is never created. The entry itself
// (absent, empty, full) is checked by the source_disks_names fuzz target and,
// on the driver set's INF, by tests/scenarios/dialog-vxd-options.scn.
TEST(DriverInstallPieces, SourceDisksEntryNeverCreatesAMissingCopy)
{
  CTestMachine m;
  m.WriteFile("D:\\MISSING.INF", "on the disc");
  m.MakeDir("C:\\WINDOWS\\INF\\OTHER");  // where a write could create it
  sim::CPlatformScope scope(m.Load());
  CInfFileList list;
  const char* const targets[2] = { "C:\\WINDOWS\\INF\\OTHER\\", nullptr };
  ASSERT_TRUE(list.SetPlacement("D:\\", targets));
  RewriteSourceDisksNames(list, SourceDisksNamesRule{ "1", ", C:\\Program Files\\Veltrix\\W95-98", TRUE });
  EXPECT_FALSE(m.Exists("C:\\WINDOWS\\INF\\OTHER\\MISSING.INF"));
}
