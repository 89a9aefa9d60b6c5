#include "purge/LegacyFileRetirement.h"

#include "platform/PathNames.h"
#include "platform/Platform.h"
#include "platform/ProfileFiles.h"
#include "platform/StrBuf.h"
#include "purge/LegacyInfPurge.h"

struct RetiredDriverFile {
  const char* m_pszDir;
  const char* m_pszName;
  const char* m_pszRetiredName;
};

// Names exactly as the releases wrote them, letter case included; every file
// keeps its directory.
static const RetiredDriverFile s_aRetiredFiles[] = {
  { "SYSTEM", "SPACEFX.DLL", "SPACEFX.OLD" },
  { "SYSTEM", "PXF.DLL", "PXF.OLD" },
  { "SYSTEM", "QXF.DLL", "QXF.OLD" },
  { "SYSTEM", "QV3310.VXD", "3310VXD.OLD" },
  { "SYSTEM", "QVAUDIO.VXD", "QVAUDIO.OLD" },
  { "SYSTEM", "QV3310FM.DRV", "3310FDRV.OLD" },
  { "SYSTEM", "QVPCIFM.DRV", "QVPCIFM.OLD" },
  { "SYSTEM", "QVMPU.EXE", "QVMPU.OLD" },
  { "SYSTEM", "QVMPUPCI.DRV", "QVMPUPCI.OLD" },
  { "SYSTEM", "QVPCI95.DRV", "QVPCI95.OLD" },
  { "SYSTEM", "QVXMIDI.DRV", "QVXMIDI.OLD" },
  { "SYSTEM", "QVSWMPU.VXD", "QVSWMPU.OLD" },
  { "SYSTEM", "BANKIDX.DAT", "BANKIDX.OLD" },
  { "SYSTEM", "BANKPCM.DAT", "BANKPCM.OLD" },
  { "SYSTEM", "SNDINIT.COM", "SNDINIT.OLD" },
  { "SYSTEM", "XMIDI32P.DLL", "XMIDI32.OLD" },
  { "SYSTEM", "XMIDIPCI.DLL", "XMIDIPCI.OLD" },
  { "SYSTEM", "BANKCONV.EXE", "BANKCONV.OLD" },
  { "SYSTEM", "ASIO3710.DLL", "ASIO3710.OLD" },
  { "SYSTEM", "QVSYNTH.DRV", "QVSYNTH.OLD" },
  { "SYSTEM32\\DRIVERS", "QVPCI.SYS", "QVPCI.OLD" },
  { "INF\\CATALOG", "QVPCI.CAT", "QVPCI.OLD" },
  { "SYSTEM32\\DRIVERS", "QVAUDIO.SYS", "QVAUDIO.OLD" },
  { "INF\\CATALOG", "qvaudio.CAT", "qvaudio.OLD" },
  { "SYSTEM32", "QVprop.DLL", "QVprop.OLD" },
  { "SYSTEM", "ZNDSFX.DLL", "ZNDSFX.OLD" },
};

static BOOL FileIsPresent(const char* pszPath)
{
  WIN32_FIND_DATAA found;
  HANDLE hFind = Platform()->FindFirstFileA(pszPath, &found);
  if (hFind == INVALID_HANDLE_VALUE)
    return FALSE;
  Platform()->FindClose(hFind);
  return TRUE;
}

void RetireLegacyDriverFiles(const char* windowsDir)
{
  // Windows 9x passes over WININIT.INI lines with long names: the paths are
  // built on the Windows directory's 8.3 form (the table's names are 8.3
  // already), or on the directory as given when it has none.
  char szShortDir[MAX_PATH];
  DWORD cchShort = Platform()->GetShortPathNameA(windowsDir, szShortDir, sizeof szShortDir);
  const char* pszWindowsDir = cchShort != 0 && cchShort < sizeof szShortDir ? szShortDir : windowsDir;

  BOOL bScheduled = FALSE;
  for (unsigned int i = 0; i < sizeof s_aRetiredFiles / sizeof s_aRetiredFiles[0]; ++i) {
    const RetiredDriverFile& file = s_aRetiredFiles[i];
    char szCurrent[MAX_PATH];
    char szRetired[MAX_PATH];
    if (!ComposeSubDirPath(szCurrent, pszWindowsDir, file.m_pszDir, file.m_pszName) ||
        !ComposeSubDirPath(szRetired, pszWindowsDir, file.m_pszDir, file.m_pszRetiredName) ||
        !FileIsPresent(szCurrent))
      continue;
    // Windows 9x moves the file named on the right to the path on the left.
    Platform()->WritePrivateProfileStringA("rename", szRetired, szCurrent, "WININIT.INI");
    bScheduled = TRUE;
  }
  if (bScheduled)
    FlushProfileFile("WININIT.INI");
  WriteWinIniEntry("Windows", "run", " ");
}

void PurgeLegacyDriverFiles()
{
  // Without the Windows directory no path can be built; the WIN.INI entry,
  // which names no directory, is still written.
  char szWindowsDir[MAX_PATH];
  GetWindowsDir(szWindowsDir);
  PurgeLegacyInfFiles(szWindowsDir);
  RetireLegacyDriverFiles(szWindowsDir);
}
