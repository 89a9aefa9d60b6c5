// A piece of the driver sequence called directly, on files no install
// scenario makes: the VxD rule's source-disk entry on a missing INF copy.
#include "TestMachine.h"
#include "install/InfFileList.h"
#include "install/SourceDisksNames.h"

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
