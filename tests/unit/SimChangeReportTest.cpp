// The change report of setupsim --changes, for hand-made computers before
// and after a run: every kind of change a reader is told about (removed keys
// with their values, in registry.reg form, so that they can be restored,
// every value form among them), and spelling alone being no change.
#include <gtest/gtest.h>

#include "TestMachine.h"
#include "sim/SimChanges.h"

namespace {

struct FileRow {
  const char* path;
  std::string content;  // "<folder>": a folder
  bool bReadOnly;
};

std::string Report(const std::string& regBefore, const std::vector<FileRow>& before, const std::string& regAfter,
                   const std::vector<FileRow>& after)
{
  CTestMachine machines[2];
  sim::SimMachineState states[2];
  for (int i = 0; i < 2; ++i) {
    machines[i].SetRegistry(i == 0 ? regBefore : regAfter);
    for (const FileRow& f : i == 0 ? before : after) {
      if (f.content == "<folder>")
        machines[i].MakeDir(f.path);
      else
        machines[i].WriteFile(f.path, f.content);
      if (f.bReadOnly)
        machines[i].SetReadOnly(f.path);
    }
    states[i] = sim::ReadMachineState(machines[i].Dir());
  }
  std::vector<sim::SimChange> changes;
  std::string err;
  EXPECT_TRUE(sim::CompareMachineStates(states[0], states[1], "C:\\WINDOWS", &changes, &err)) << err;
  return sim::FormatChangeReport(changes);
}

TEST(SimChangeReport, EveryKindOfChange)
{
  // The same in other spellings and line ends is no change.
  const std::string kRegistryBefore = WithEol("REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\Software\\Veltrix\\Old]\n" +
                                              std::string(kEveryValueForm) + R"(
[HKEY_LOCAL_MACHINE\Software\Veltrix\Old\Drivers\wave]
"Driver"="tvxwav.drv"

[HKEY_LOCAL_MACHINE\Software\Veltrix\Keep]
"Name"="x"

[HKEY_CURRENT_USER\Software\Veltrix]
"Volume"=dword:00000010
"Skin"="Blue"
)");
  const char* kRegistryAfter = "REGEDIT4\n\n[hkey_local_machine\\SOFTWARE\\veltrix\\keep]\n\"NAME\"=\"x\"\n\n"
                               "[HKEY_CURRENT_USER\\Software\\Veltrix]\n\"Volume\"=dword:00000020\n\"Theme\"=\"Dark\"\n\n"
                               "[HKEY_CURRENT_USER\\Software\\Veltrix\\Mixer]\n\"Mute\"=hex:01\n";
  const std::vector<FileRow> before = {
    { "C:\\WINDOWS\\WIN.INI", "[windows]\nload=\nrun=C:\\PROGRA~1\\Veltrix\\TVXTRAY.EXE\n\n[Desktop]\nWallpaper=(None)\n",
      false },
    { "C:\\WINDOWS\\System.ini", "[boot]\r\n", false },
    { "C:\\WINDOWS\\SYSTEM\\TVXWAV.DRV", std::string("MZ\0\1", 4), true },
    { "C:\\WINDOWS\\SYSTEM\\LOCKED.DLL", "MZ", true },
    { "C:\\Veltrix\\readme.txt", "Tonivex\r\nversion 1\r\nend\r\n", false },
    { "C:\\OldApp\\APP.EXE", "MZ", false },
    { "C:\\WINDOWS\\INF\\TVX.INF", "[Version]\r\nClass=MEDIA\r\n[Files]\r\nTVXWAV.DRV\r\n", false },
  };
  const std::vector<FileRow> after = {
    { "C:\\WINDOWS\\WIN.INI", "[windows]\nrun=\n\n[Desktop]\nWallpaper=(None)\nTileWallpaper=0\n", false },
    { "C:\\WINDOWS\\SYSTEM.INI", "[boot]\r\n", false },
    { "C:\\WINDOWS\\SYSTEM\\TVXWAV.DRV", std::string("MZ\0\1\2\3", 6), true },
    { "C:\\WINDOWS\\SYSTEM\\LOCKED.DLL", "MZ", false },
    { "C:\\Veltrix\\README.TXT", "Tonivex\r\nversion 2\r\nend\r\nnotes\r\n", false },
    { "C:\\NewApp\\APP.EXE", "MZ", true },
    { "C:\\WINDOWS\\INF\\TVX.INF", "[Version]\r\nClass=MEDIA\r\nDriverVer=2.0\r\n[Files]\r\nTVXWAV.VXD\r\n", false },
    { "C:\\WINDOWS\\WININIT.INI", "[rename]\r\nNUL=C:\\WINDOWS\\SYSTEM\\QVAUDIO.VXD\r\nC:\\Program Files\\Veltrix\\"
                                  "Tonivex Audio Drivers\\TVXWAV.DRV=C:\\WINDOWS\\SYSTEM\\TVXWAV.DRV\r\n", false },
  };
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
key removed HKEY_LOCAL_MACHINE\Software\Veltrix\Old\Drivers
key removed HKEY_LOCAL_MACHINE\Software\Veltrix\Old\Drivers\wave
  "Driver"="tvxwav.drv"
value changed HKEY_CURRENT_USER\Software\Veltrix [Volume] dword:00000010 -> dword:00000020
value removed HKEY_CURRENT_USER\Software\Veltrix [Skin] "Blue"
value added HKEY_CURRENT_USER\Software\Veltrix [Theme] "Dark"
key added HKEY_CURRENT_USER\Software\Veltrix\Mixer
  "Mute"=hex:01
folder added C:\NewApp
file added C:\NewApp\APP.EXE (2 bytes, read-only)
folder removed C:\OldApp
file removed C:\OldApp\APP.EXE
file changed C:\Veltrix\README.TXT
  - version 1
  + version 2
  + notes
file changed C:\WINDOWS\INF\TVX.INF
  [Version] DriverVer: added 2.0
  - TVXWAV.DRV
  + TVXWAV.VXD
attribute changed C:\WINDOWS\SYSTEM\LOCKED.DLL read-only -> normal
file changed C:\WINDOWS\SYSTEM\TVXWAV.DRV
  4 bytes -> 6 bytes
file changed C:\WINDOWS\WIN.INI
  [windows] load: removed (empty)
  [windows] run: C:\PROGRA~1\Veltrix\TVXTRAY.EXE -> (empty)
  [Desktop] TileWallpaper: added 0
file added C:\WINDOWS\WININIT.INI (133 bytes)
at restart: delete C:\WINDOWS\SYSTEM\QVAUDIO.VXD
at restart: C:\WINDOWS\SYSTEM\TVXWAV.DRV -> C:\Program Files\Veltrix\Tonivex Audio Drivers\TVXWAV.DRV
)",
            Report(kRegistryBefore, before, kRegistryAfter, after));
}

}  // namespace
