#include "platform/ProfileFiles.h"

// Windows 9x ignores what lies beyond a profile file's first 64 KB.
static const DWORD kProfileFileReach = 0x10000;

void FlushProfileFile(const char* pszFile)
{
  Platform()->WritePrivateProfileStringA(0, 0, 0, pszFile);
}

void WriteWinIniEntry(const char* pszSection, const char* pszKey, const char* pszValue)
{
  Platform()->WriteProfileStringA(pszSection, pszKey, pszValue);
  Platform()->WriteProfileStringA(0, 0, 0);
}

BOOL ProfileFileHasRoom(const char* pszPath, DWORD cbAdded)
{
  WIN32_FIND_DATAA found;
  HANDLE hFind = Platform()->FindFirstFileA(pszPath, &found);
  if (hFind == INVALID_HANDLE_VALUE)
    return FALSE;
  Platform()->FindClose(hFind);
  return found.nFileSizeHigh == 0 && found.nFileSizeLow < kProfileFileReach &&
         cbAdded < kProfileFileReach - found.nFileSizeLow;
}
