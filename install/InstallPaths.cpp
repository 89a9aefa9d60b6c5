#include "install/InstallPaths.h"

#include "platform/PathNames.h"
#include "platform/StrBuf.h"

const char g_szProgramFilesDir[] = "C:\\Program Files\\";
const char g_szVeltrixDir[] = "C:\\Program Files\\Veltrix\\";
const char g_szDosStagingDir[] = "C:\\Program Files\\Veltrix\\DOS\\";
const char g_szDosAppStagingDir[] = "C:\\Program Files\\Veltrix\\DOS\\DOSAPP\\";
const char g_szDriverStagingDir[] = "C:\\Program Files\\Veltrix\\W95-98\\";
const char g_szExtraStagingDir[] = "C:\\Program Files\\Veltrix\\W95-98\\026\\";
const char g_szDriverStagingName[] = "C:\\Program Files\\Veltrix\\W95-98";

BOOL ReadSetupSourcePath(char* pszDir)
{
  pszDir[0] = '\0';
  HKEY hKey = 0;
  if (Platform()->RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\Setup",
                                0, KEY_ALL_ACCESS, &hKey) != ERROR_SUCCESS)
    return FALSE;

  // One byte more than a path may hold, so that a value that fills the whole
  // path buffer without its terminator is seen and refused.
  char szValue[MAX_PATH + 1];
  MemSet(szValue, 0, sizeof(szValue));
  DWORD dwType = REG_SZ;
  DWORD cbValue = MAX_PATH;
  BOOL bFound = FALSE;
  // The directory entered is kept as the full path Windows gives for it: a
  // relative value would otherwise name another folder once the current
  // directory moves on to the driver set.
  if (Platform()->RegQueryValueExA(hKey, "SourcePath", 0, &dwType, (LPBYTE)szValue, &cbValue) ==
          ERROR_SUCCESS &&
      szValue[0] != '\0' && StrLen(szValue) < MAX_PATH &&
      Platform()->SetCurrentDirectoryA(szValue) &&
      GetCurrentDirWithBackslash(pszDir))
    bFound = TRUE;
  else
    pszDir[0] = '\0';
  Platform()->RegCloseKey(hKey);
  return bFound;
}
