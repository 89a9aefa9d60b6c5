// The change report of setupsim --changes, for hand-made computers before
// and after a run: every kind of change a reader is told about, removed
// keys told so that they can be restored, and spelling alone being no change.
#include <gtest/gtest.h>

#include <sstream>

#include "TestMachine.h"
#include "sim/SimChanges.h"

namespace {

struct FileRow {
  const char* path;
  std::string content;  // kFolder: a folder
  bool bReadOnly = false;
};

const std::string kFolder = "<folder>";

sim::SimMachineState Computer(CTestMachine& m, const std::string& registry,
                              const std::vector<FileRow>& files)
{
  m.SetRegistry(registry);
  for (const auto& f : files) {
    if (f.content == kFolder)
      m.MakeDir(f.path);
    else
      m.WriteFile(f.path, f.content);
    if (f.bReadOnly)
      m.SetReadOnly(f.path);
  }
  return sim::ReadMachineState(m.Dir());
}

std::string Report(const sim::SimMachineState& before, const sim::SimMachineState& after)
{
  std::vector<sim::SimChange> changes;
  std::string err;
  EXPECT_TRUE(sim::CompareMachineStates(before, after, "C:\\WINDOWS", &changes, &err)) << err;
  return sim::FormatChangeReport(changes);
}

const char* kRegistryBefore = R"(REGEDIT4

[HKEY_LOCAL_MACHINE\Software\Veltrix\Old]
@="Tonivex"
"Path"="C:\\Program Files\\Veltrix \"Suite\""
"Count"=dword:0000000a
"Blob"=hex:00,01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,10,11,12,13,14,15,\
  16,17,18,19
"Search"=hex(2):25,57,49,4e,44,49,52,25,00
"List"=hex(7):61,00,62,00,00
"Raw"=hex(0):
"NoEnd"=hex(1):41,42

[HKEY_LOCAL_MACHINE\Software\Veltrix\Old\Drivers\wave]
"Driver"="tvxwav.drv"

[HKEY_LOCAL_MACHINE\Software\Veltrix\Keep]

[HKEY_CURRENT_USER\Software\Veltrix]
"Volume"=dword:00000010
"Skin"="Blue"
)";

const char* kRegistryAfter = R"(REGEDIT4

[HKEY_LOCAL_MACHINE\Software\Veltrix\Keep]

[HKEY_CURRENT_USER\Software\Veltrix]
"Volume"=dword:00000020
"Theme"="Dark"

[HKEY_CURRENT_USER\Software\Veltrix\Mixer]
"Mute"=hex:01
)";

const std::vector<FileRow> kFilesBefore = {
    {"C:\\WINDOWS\\WIN.INI", "[windows]\nload=\nrun=C:\\PROGRA~1\\Veltrix\\TVXTRAY.EXE\n\n"
                             "[Desktop]\nWallpaper=(None)\n"},
    {"C:\\WINDOWS\\System.ini", "[boot]\r\n"},
    {"C:\\WINDOWS\\SYSTEM\\TVXWAV.DRV", std::string("MZ\0\1", 4), true},
    {"C:\\WINDOWS\\SYSTEM\\LOCKED.DLL", "MZ", true},
    {"C:\\Veltrix\\readme.txt", "Tonivex\r\nversion 1\r\nend\r\n"},
    {"C:\\OldApp\\APP.EXE", "MZ"},
    {"C:\\WINDOWS\\INF\\TVX.INF", "[Version]\r\nClass=MEDIA\r\n[Files]\r\nTVXWAV.DRV\r\n"},
};

const std::vector<FileRow> kFilesAfter = {
    {"C:\\WINDOWS\\WIN.INI", "[windows]\nrun=\n\n[Desktop]\nWallpaper=(None)\nTileWallpaper=0\n"},
    {"C:\\WINDOWS\\SYSTEM.INI", "[boot]\r\n"},
    {"C:\\WINDOWS\\SYSTEM\\TVXWAV.DRV", std::string("MZ\0\1\2\3", 6), true},
    {"C:\\WINDOWS\\SYSTEM\\LOCKED.DLL", "MZ"},
    {"C:\\Veltrix\\README.TXT", "Tonivex\r\nversion 2\r\nend\r\nnotes\r\n"},
    {"C:\\NewApp\\APP.EXE", "MZ", true},
    {"C:\\WINDOWS\\INF\\TVX.INF", "[Version]\r\nClass=MEDIA\r\nDriverVer=2.0\r\n[Files]\r\nTVXWAV.VXD\r\n"},
    {"C:\\WINDOWS\\WININIT.INI",
     "[rename]\r\nNUL=C:\\WINDOWS\\SYSTEM\\QVAUDIO.VXD\r\n"
     "C:\\Program Files\\Veltrix\\Tonivex Audio Drivers\\TVXWAV.DRV=C:\\WINDOWS\\SYSTEM\\TVXWAV.DRV\r\n"},
};

TEST(SimChangeReportTest, EveryKindOfChange)
{
  CTestMachine before, after;
  std::string report = Report(Computer(before, kRegistryBefore, kFilesBefore),
                              Computer(after, kRegistryAfter, kFilesAfter));
  EXPECT_EQ(R"(changes:
key removed HKEY_LOCAL_MACHINE\Software\Veltrix\Old
  @="Tonivex"
  "Path"="C:\\Program Files\\Veltrix \"Suite\""
  "Count"=dword:0000000a
  "Blob"=hex:00,01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,10,11,12,13,14,15,16,17,18,19
  "Search"=hex(2):25,57,49,4e,44,49,52,25,00
  "List"=hex(7):61,00,62,00,00
  "Raw"=hex(0):
  "NoEnd"=hex(1):41,42
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
            report);
}

TEST(SimChangeReportTest, RemovedKeysCanBeRestoredFromTheReport)
{
  CTestMachine before, after;
  std::string report = Report(Computer(before, kRegistryBefore, {}), Computer(after, kRegistryAfter, {}));
  // Each removed key with its indented values, read as registry.reg text.
  std::istringstream in(report);
  std::string line, text = "REGEDIT4\n\n";
  bool bInKey = false;
  while (std::getline(in, line)) {
    if (line.rfind("key removed ", 0) == 0)
      text += "[" + line.substr(12) + "]\n";
    else if (bInKey && line.rfind("  ", 0) == 0)
      text += line.substr(2) + "\n";
    bInKey = line.rfind("key removed ", 0) == 0 || (bInKey && line.rfind("  ", 0) == 0);
  }
  sim::CSimRegistry restored, original;
  std::string err;
  ASSERT_TRUE(restored.Parse(text, &err)) << err << "\n" << text;
  ASSERT_TRUE(original.Parse(kRegistryBefore, &err));
  // The original holds more keys, but nothing the restored keys lack or differ in.
  std::vector<sim::SimChange> changes;
  sim::CompareRegistries(restored, original, &changes);
  for (const auto& c : changes)
    EXPECT_EQ(sim::ChangeKind::KeyAdded, c.kind) << c.path;
  EXPECT_FALSE(changes.empty());
}

TEST(SimChangeReportTest, SpellingAloneIsNoChange)
{
  CTestMachine before, after;
  std::string report = Report(
      Computer(before, "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\Software\\A]\r\n\"Name\"=\"x\"\r\n",
               {{"C:\\WINDOWS\\Win.ini", "[windows]\r\nrun=\r\n"}}),
      Computer(after, "REGEDIT4\n[hkey_local_machine\\SOFTWARE\\a]\n\"NAME\"=\"x\"\n",
               {{"C:\\WINDOWS\\WIN.INI", "[windows]\r\nrun=\r\n"}}));
  EXPECT_EQ("changes:\nnone\n", report);
}

}  // namespace
