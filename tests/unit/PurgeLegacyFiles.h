// The legacy files of the purge's test machine: INF and PNF files of the
// maker and of others, read-only ones, the driver files in their four
// directories, and WININIT.INI and WIN.INI with earlier lines.
#ifndef TESTS_UNIT_PURGELEGACYFILES_H
#define TESTS_UNIT_PURGELEGACYFILES_H

#include <string>
#include <vector>

namespace purgetest {

struct MachineFile {
  std::string path;
  std::string content;
  bool readOnly;
  bool goes;  // deleted by the INF purge
};

inline std::vector<MachineFile> LegacyFiles()
{
  const std::string strings = "[Version]\r\nSignature=\"$CHICAGO$\"\r\n\r\n[Strings]\r\n";
  return {
    { "C:\\WINDOWS\\INF\\OTHER\\QVPCI.INF", strings + "TVQ-Legacy.DeviceDesc=\"QVX3710 PCI\"\r\n",
      true, true },
    { "C:\\WINDOWS\\INF\\OTHER\\QVPCI.PNF", "pnf", true, true },
    { "C:\\WINDOWS\\INF\\OTHER\\ARCWAVE.INF", strings + "DeviceDesc=\"Arcwave\"\r\n", false, false },
    { "C:\\WINDOWS\\INF\\OTHER\\ARCWAVE.PNF", "pnf", false, false },
    { "C:\\WINDOWS\\INF\\OEM4.INF", strings + "WDM_QVPCI.Wave.szPname=\"Veltrix Wave\"\r\n", false,
      true },
    { "C:\\WINDOWS\\INF\\OEM5.INF", strings + "WDM_QVPCI.Wave.szPname=\"VELTRIX Wave\"\r\n", false,
      false },
    { "C:\\WINDOWS\\INF\\QVAUDIO.INF", strings + "TVQ-Legacy.DeviceDesc=QVAUDIO\r\n", false, true },
    { "C:\\WINDOWS\\INF\\QVAUDIO.PNF", "pnf", false, true },
    { "C:\\WINDOWS\\INF\\MSMEDIA.INF", strings + "TVQ-Legacy.DeviceDesc=QVAUDIO\r\n", false, false },
    { "C:\\WINDOWS\\SYSTEM\\QVAUDIO.VXD", "vxd", true, false },
    { "C:\\WINDOWS\\SYSTEM\\XMIDI32P.DLL", "dll", false, false },
    { "C:\\WINDOWS\\SYSTEM\\ARCWAVE.DRV", "drv", false, false },
    { "C:\\WINDOWS\\SYSTEM32\\DRIVERS\\QVAUDIO.SYS", "sys", false, false },
    { "C:\\WINDOWS\\SYSTEM32\\QVprop.DLL", "dll", false, false },
    { "C:\\WINDOWS\\INF\\CATALOG\\qvaudio.CAT", "cat", false, false },
    { "C:\\WINDOWS\\WININIT.INI", "[rename]\r\nNUL=C:\\WINDOWS\\TEMP\\OLD.TMP\r\n", false, false },
    { "C:\\WINDOWS\\WIN.INI", "[windows]\r\nload=\r\nrun=QVTRAY.EXE\r\n", false, false },
  };
}

inline const char kExpectedWininit[] =
    "[rename]\r\nNUL=C:\\WINDOWS\\TEMP\\OLD.TMP\r\n"
    "C:\\WINDOWS\\SYSTEM\\QVAUDIO.OLD=C:\\WINDOWS\\SYSTEM\\QVAUDIO.VXD\r\n"
    "C:\\WINDOWS\\SYSTEM\\XMIDI32.OLD=C:\\WINDOWS\\SYSTEM\\XMIDI32P.DLL\r\n"
    "C:\\WINDOWS\\SYSTEM32\\DRIVERS\\QVAUDIO.OLD=C:\\WINDOWS\\SYSTEM32\\DRIVERS\\QVAUDIO.SYS\r\n"
    "C:\\WINDOWS\\INF\\CATALOG\\qvaudio.OLD=C:\\WINDOWS\\INF\\CATALOG\\qvaudio.CAT\r\n"
    "C:\\WINDOWS\\SYSTEM32\\QVprop.OLD=C:\\WINDOWS\\SYSTEM32\\QVprop.DLL\r\n";

}  // namespace purgetest

#endif
