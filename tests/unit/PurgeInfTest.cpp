// The INF purge on simulated computers: the maker's INF files (found by the
// markers of their Strings section) go with their PNF files; every other file
// stays byte for byte.
#include <gtest/gtest.h>

#include "PurgeTestSupport.h"
#include "purge/LegacyInfPurge.h"
#include "sim/SimComputer.h"

using purgetest::FileSnapshot;
using purgetest::SnapshotPath;

namespace {

std::string Inf(const std::string& strings)
{
  return "[Version]\r\nSignature=\"$CHICAGO$\"\r\nClass=MEDIA\r\n\r\n[Strings]\r\n" + strings;
}

struct InfFile {
  std::string path;  // under C:\WINDOWS\INF
  std::string content;
  bool readOnly;
  bool goes;
};

const std::string kLongName =
    "Tonivex PCI Audio Driver for Windows 95 and Windows 98 first edition release 3";

// The maker's files under INF\OTHER and INF, with and without PNF files, and
// near misses beside them.
std::vector<InfFile> OtherFiles()
{
  return {
    { "OTHER\\ARCWAVE.INF", Inf("TVQ-Legacy.DeviceDesc=\"Arcwave WaveStation\"\r\n"), false, false },
    { "OTHER\\ARCWAVE.PNF", "PNF-arcwave", false, false },
    { "OTHER\\QVPCI3710.INF",
      Inf("Mfg=\"Veltrix\"\r\nTVQ-Legacy.DeviceDesc=\"QVX3710 PCI Audio Device\"\r\n"), false, true },
    { "OTHER\\QVPCI3710.PNF", "PNF-qvpci3710", true, true },
    { "OTHER\\TonivexWdm.INF", Inf("WDM_QVPCI.Wave.szPname=\"Veltrix Wave Device\"\r\n"), true, true },
    { "OTHER\\LowerCase.INF",
      Inf("TVQ-Legacy.DeviceDesc=\"qvx3710 PCI\"\r\nWDM_QVPCI.Wave.szPname=\"VELTRIX wave\"\r\n"),
      false, false },
    { "OTHER\\Short.INF", Inf("TVQ-Legacy.DeviceDesc=QVX37\r\n"), false, false },
    { "OTHER\\NoStrings.INF", "[Version]\r\nTVQ-Legacy.DeviceDesc=QVX3710\r\n", false, false },
    { "OTHER\\" + kLongName + ".inf", Inf("TVQ-Legacy.DeviceDesc=QVAUDIO Legacy\r\n"), false, true },
    { "OTHER\\" + kLongName + ".pnf", "PNF-long", false, true },
    { "OTHER\\ZETA.INF", Inf("TVQ-Legacy.DeviceDesc=\"Zeta Sound\"\r\n"), false, false },
    { "OTHER\\README.TXT", "TVQ-Legacy.DeviceDesc=QVX3710\r\n", false, false },
  };
}

std::vector<InfFile> InfFiles()
{
  return {
    { "OEM0.INF", Inf("TVQ-Legacy.DeviceDesc=\"QVAUDIO Legacy Device\"\r\n"), false, true },
    { "OEM0.PNF", "PNF-oem0", false, true },
    { "OEM1.INF", Inf("TVQ-Legacy.DeviceDesc=\"Arcwave\"\r\n"), false, false },
    { "OEM1.PNF", "PNF-oem1", false, false },
    { "oem2.inf", Inf("WDM_QVPCI.Wave.szPname=\"Veltrix PCI Wave\"\r\n"), true, true },
    { "QVXPCI.INF", Inf("TVQ-Legacy.DeviceDesc=\"QVX3310 Audio\"\r\n"), false, true },
    { "QVIEW.INF", Inf("TVQ-Legacy.DeviceDesc=\"QuickView\"\r\n"), false, false },
    { "QVIEW.PNF", "PNF-qview", false, false },
    { "WAVE.INF", Inf("TVQ-Legacy.DeviceDesc=\"QVX3710 PCI Audio\"\r\n"), false, false },
    { "WAVE.PNF", "PNF-wave", false, false },
  };
}

// Writes the files under WINDOWS\INF, runs the purge and checks that exactly
// the marked files went and every other file is as it was.
void RunAndCheck(CTestMachine& m, const std::string& windowsDir, const std::vector<InfFile>& files)
{
  for (const InfFile& f : files) {
    m.WriteFile(windowsDir + "\\INF\\" + f.path, f.content);
    if (f.readOnly)
      m.SetReadOnly(windowsDir + "\\INF\\" + f.path);
  }
  auto expected = FileSnapshot(m);
  for (const InfFile& f : files) {
    if (f.goes)
      expected.erase(SnapshotPath(m, windowsDir + "\\INF\\" + f.path));
  }
  sim::CSimComputer& computer = m.Load();
  {
    sim::CPlatformScope scope(computer);
    PurgeLegacyInfFiles(windowsDir.c_str());
  }
  EXPECT_EQ(expected, FileSnapshot(m));
}

}  // namespace

TEST(PurgeInf, RemovesTheMakersInfAndPnfFilesUnderInfAndOther)
{
  CTestMachine m;
  std::vector<InfFile> files = OtherFiles();
  for (const InfFile& f : InfFiles())
    files.push_back(f);
  RunAndCheck(m, "C:\\WINDOWS", files);
}

// Without INF\OTHER files the OEM files are examined by the first search
// and again by the third: the outcome is that of examining them once.
TEST(PurgeInf, WithoutOtherFilesExaminesOemFilesOnce)
{
  CTestMachine m;
  m.MakeDir("C:\\WINDOWS\\INF\\OTHER");
  RunAndCheck(m, "C:\\WINDOWS", InfFiles());
}

// Paths are built whole: a long Windows directory and long INF names work,
// and a path that would pass 259 characters is skipped, never cut.
TEST(PurgeInf, LongPathsWorkAndTooLongOnesAreSkipped)
{
  CTestMachine m;
  m.options.windowsDirectory = "C:\\" + std::string(120, 'W');
  const std::string ok(100, 'k');     // 3 + 120 + 11 + 104: 238 characters
  const std::string tooLong(130, 't');  // 268 characters
  const std::string marked = Inf("TVQ-Legacy.DeviceDesc=\"QVX3710 PCI Audio Device\"\r\n");
  RunAndCheck(m, m.options.windowsDirectory,
              { { "OTHER\\" + ok + ".INF", marked, false, true },
                { "OTHER\\" + ok + ".PNF", "PNF", false, true },
                { "OTHER\\" + tooLong + ".INF", marked, false, false },
                { "OTHER\\" + tooLong + ".PNF", "PNF", false, false },
                { "OEM3.INF", marked, false, true },
                { "QVX.INF", marked, false, true } });
}
