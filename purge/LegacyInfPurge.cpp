#include "purge/LegacyInfPurge.h"

#include "platform/PathNames.h"
#include "platform/Platform.h"
#include "platform/StrBuf.h"

// A marker word only has to open the value; letter case counts.
static const char* const s_apszMarkerWords[] = { "QVX3310", "QVX3710", "QVAUDIO", "Veltrix" };
static const StrSize MARKER_LENGTH = 7;
static const char* const s_apszMarkerKeys[] = { "TVQ-Legacy.DeviceDesc",
                                                "WDM_QVPCI.Wave.szPname" };

static BOOL ValueIsMarked(const char* pszInf, const char* pszKey)
{
  char szValue[64];
  Platform()->GetPrivateProfileStringA("Strings", pszKey, "", szValue, sizeof szValue, pszInf);
  if (StrLen(szValue) < MARKER_LENGTH)
    return FALSE;
  for (unsigned int i = 0; i < sizeof s_apszMarkerWords / sizeof s_apszMarkerWords[0]; ++i) {
    if (StrCmpN(szValue, s_apszMarkerWords[i], MARKER_LENGTH) == 0)
      return TRUE;
  }
  return FALSE;
}

static BOOL IsMakerInf(const char* pszInf)
{
  for (unsigned int i = 0; i < sizeof s_apszMarkerKeys / sizeof s_apszMarkerKeys[0]; ++i) {
    if (ValueIsMarked(pszInf, s_apszMarkerKeys[i]))
      return TRUE;
  }
  return FALSE;
}

// Clears the attributes first so that a read-only file goes too; a failure
// (a file that is not there) is passed over.
static void RemoveFile(const char* pszPath)
{
  Platform()->SetFileAttributesA(pszPath, FILE_ATTRIBUTE_NORMAL);
  Platform()->DeleteFileA(pszPath);
}

static void PurgeInfFile(const char* pszWindowsDir, const char* pszDir, const char* pszName)
{
  char szInf[MAX_PATH];
  if (!ComposeSubDirPath(szInf, pszWindowsDir, pszDir, pszName) || !IsMakerInf(szInf))
    return;
  RemoveFile(szInf);
  // The precompiled file has the same name with the extension PNF. A name that
  // the pattern matched by its short form (x.infx) has no such companion.
  StrSize cchInf = StrLen(szInf);
  char szPnf[MAX_PATH];
  if (cchInf >= 4 && StrCmpI(szInf + cchInf - 4, ".INF") == 0 &&
      StrCopyN(szPnf, sizeof szPnf, szInf, cchInf - 3) && StrAppend(szPnf, sizeof szPnf, "PNF"))
    RemoveFile(szPnf);
}

// Examines every file that the pattern finds in pszDir under the Windows
// directory. Returns FALSE when the pattern finds nothing.
static BOOL PurgeInfSearch(const char* pszWindowsDir, const char* pszDir, const char* pszPattern)
{
  char szPattern[MAX_PATH];
  if (!ComposeSubDirPath(szPattern, pszWindowsDir, pszDir, pszPattern))
    return FALSE;
  WIN32_FIND_DATAA found;
  HANDLE hFind = Platform()->FindFirstFileA(szPattern, &found);
  if (hFind == INVALID_HANDLE_VALUE)
    return FALSE;
  do {
    if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0)
      PurgeInfFile(pszWindowsDir, pszDir, found.cFileName);
  } while (Platform()->FindNextFileA(hFind, &found));
  Platform()->FindClose(hFind);
  return TRUE;
}

void PurgeLegacyInfFiles(const char* windowsDir)
{
  if (!PurgeInfSearch(windowsDir, "INF\\OTHER", "*.INF"))
    PurgeInfSearch(windowsDir, "INF", "OEM*.INF");
  PurgeInfSearch(windowsDir, "INF", "QV*.INF");
  // The search ignores case: these are the OEM files again, examined here
  // whether or not the first search took them.
  PurgeInfSearch(windowsDir, "INF", "oem*.INF");
}
