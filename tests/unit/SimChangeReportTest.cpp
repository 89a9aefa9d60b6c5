// The change report of setupsim --changes, for hand-made computers before
// and after a run: the kinds of change no scenario's report shows (removed
// keys with every value form, in registry.reg form so that they can be
// restored; removed folders, binary files, deleting renames), and spelling
// alone being no change. Value and attribute changes, removed subkeys, changed
// lines of text and profile files, and renames at restart are in the
// scenarios' reports (purge.scn, mixer-refresh.scn), compared with Wine's.
#include "TestMachine.h"
#include "sim/SimChanges.h"

TEST(SimChangeReport, EveryKindOfChange)
{
  CTestMachine before, after;
  // Keys, values and files in other spellings, with other line ends, are no change.
  before.SetRegistry(WithEol(R"(REGEDIT4

[HKEY_LOCAL_MACHINE\Software\Veltrix\Old]
@="Tonivex"
"Path"="C:\\Program Files\\Veltrix \"Suite\""
"Empty"=""
"Count"=dword:0000000a
"Blob"=hex:00,01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,10,11,12,13,14,15,\
  16,17,18,19
"Search"=hex(2):25,57,49,4e,44,49,52,25,00
"List"=hex(7):61,00,62,00,00
"Raw"=hex(0):
"NoEnd"=hex(1):41,42
"Big"=hex(4):01,02,03,04

[HKEY_LOCAL_MACHINE\Software\Veltrix\Keep]
"Name"="x"
)"));
  after.SetRegistry("REGEDIT4\n\n[hkey_local_machine\\SOFTWARE\\veltrix\\keep]\n\"NAME\"=\"x\"\n\n"
                    "[HKEY_LOCAL_MACHINE\\Software\\Veltrix\\Keep\\Mixer]\n\"Mute\"=hex:01\n");
  before.WriteFile("C:\\WINDOWS\\WIN.INI",
                   "[windows]\nload=\nrun=\n\n[Desktop]\nWallpaper=(None)\n");
  after.WriteFile("C:\\WINDOWS\\WIN.INI", "[windows]\nrun=\n\n[Desktop]\nWallpaper=(None)\nTileWallpaper=0\n");
  before.WriteFile("C:\\WINDOWS\\System.ini", "[boot]\r\n");
  after.WriteFile("C:\\WINDOWS\\SYSTEM.INI", "[boot]\r\n");
  before.WriteFile("C:\\WINDOWS\\SYSTEM\\TVXWAV.DRV", std::string("MZ\0\1", 4), true);
  after.WriteFile("C:\\WINDOWS\\SYSTEM\\TVXWAV.DRV", std::string("MZ\0\1\2\3", 6), true);
  before.WriteFile("C:\\Veltrix\\readme.txt", "Tonivex\r\nend\r\n");
  after.WriteFile("C:\\Veltrix\\README.TXT", "Tonivex\r\nend\r\nnotes\r\n");
  before.WriteFile("C:\\OldApp\\APP.EXE", "MZ");
  after.WriteFile("C:\\NewApp\\APP.EXE", "MZ", true);
  after.WriteFile("C:\\WINDOWS\\WININIT.INI", "[rename]\r\nNUL=C:\\WINDOWS\\SYSTEM\\QVAUDIO.VXD\r\n");
  std::vector<sim::SimChange> changes;
  std::string err;
  ASSERT_TRUE(sim::CompareMachineStates(sim::ReadMachineState(before.Dir()), sim::ReadMachineState(after.Dir()),
                                        "C:\\WINDOWS", &changes, &err)) << err;
  EXPECT_EQ(R"(changes:
key removed HKEY_LOCAL_MACHINE\Software\Veltrix\Old
  @="Tonivex"
  "Path"="C:\\Program Files\\Veltrix \"Suite\""
  "Empty"=""
  "Count"=dword:0000000a
  "Blob"=hex:00,01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,10,11,12,13,14,15,16,17,18,19
  "Search"=hex(2):25,57,49,4e,44,49,52,25,00
  "List"=hex(7):61,00,62,00,00
  "Raw"=hex(0):
  "NoEnd"=hex(1):41,42
  "Big"=dword:04030201
key added HKEY_LOCAL_MACHINE\Software\Veltrix\Keep\Mixer
  "Mute"=hex:01
folder added C:\NewApp
file added C:\NewApp\APP.EXE (2 bytes, read-only)
folder removed C:\OldApp
file removed C:\OldApp\APP.EXE
file changed C:\Veltrix\README.TXT
  + notes
file changed C:\WINDOWS\SYSTEM\TVXWAV.DRV
  4 bytes -> 6 bytes
file changed C:\WINDOWS\WIN.INI
  [windows] load: removed (empty)
  [Desktop] TileWallpaper: added 0
file added C:\WINDOWS\WININIT.INI (45 bytes)
at restart: delete C:\WINDOWS\SYSTEM\QVAUDIO.VXD
)",
            sim::FormatChangeReport(changes));
}
