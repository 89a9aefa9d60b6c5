// Profile (INI) files: the system's own reader and writer, so that the
// files keep the form every other program on the machine expects.
//
// Windows 9x trims blanks off the string arguments in place, so the system
// is only ever handed copies in writable buffers of our own, never the
// caller's text (a literal may lie in read-only memory). An argument too
// long for its copy is refused.
#include "platform/StrBuf.h"
#include "platform/win32/Win32Platform.h"

enum {
  NAME_COPY_BYTES = MAX_PATH,  // sections, keys (a WININIT.INI key is a path), files
  VALUE_COPY_BYTES = 1536      // values and defaults ([SourceDisksNames] entries)
};

// *ppszCopy = a copy of psz in pszBuffer, or NULL for NULL.
static BOOL CopyArgument(char* pszBuffer, StrSize cbBuffer, LPCSTR psz, LPSTR* ppszCopy)
{
  *ppszCopy = 0;
  if (psz == 0)
    return TRUE;
  if (!StrCopy(pszBuffer, cbBuffer, psz))
    return FALSE;
  *ppszCopy = pszBuffer;
  return TRUE;
}

UINT CWin32Platform::GetPrivateProfileIntA(LPCSTR pszSection, LPCSTR pszKey, INT nDefault,
                                           LPCSTR pszFile)
{
  char szSection[NAME_COPY_BYTES], szKey[NAME_COPY_BYTES], szFile[NAME_COPY_BYTES];
  LPSTR pszSectionCopy, pszKeyCopy, pszFileCopy;
  if (!CopyArgument(szSection, sizeof szSection, pszSection, &pszSectionCopy) ||
      !CopyArgument(szKey, sizeof szKey, pszKey, &pszKeyCopy) ||
      !CopyArgument(szFile, sizeof szFile, pszFile, &pszFileCopy))
    return (UINT)nDefault;
  return ::GetPrivateProfileIntA(pszSectionCopy, pszKeyCopy, nDefault, pszFileCopy);
}

DWORD CWin32Platform::GetPrivateProfileStringA(LPCSTR pszSection, LPCSTR pszKey,
                                               LPCSTR pszDefault, LPSTR pszReturned,
                                               DWORD nSize, LPCSTR pszFile)
{
  char szSection[NAME_COPY_BYTES], szKey[NAME_COPY_BYTES], szFile[NAME_COPY_BYTES];
  char szDefault[VALUE_COPY_BYTES];
  LPSTR pszSectionCopy, pszKeyCopy, pszDefaultCopy, pszFileCopy;
  if (!CopyArgument(szSection, sizeof szSection, pszSection, &pszSectionCopy) ||
      !CopyArgument(szKey, sizeof szKey, pszKey, &pszKeyCopy) ||
      !CopyArgument(szDefault, sizeof szDefault, pszDefault, &pszDefaultCopy) ||
      !CopyArgument(szFile, sizeof szFile, pszFile, &pszFileCopy)) {
    if (pszReturned != 0 && nSize != 0)
      pszReturned[0] = '\0';
    return 0;
  }
  return ::GetPrivateProfileStringA(pszSectionCopy, pszKeyCopy, pszDefaultCopy, pszReturned,
                                    nSize, pszFileCopy);
}

BOOL CWin32Platform::WritePrivateProfileStringA(LPCSTR pszSection, LPCSTR pszKey,
                                                LPCSTR pszValue, LPCSTR pszFile)
{
  char szSection[NAME_COPY_BYTES], szKey[NAME_COPY_BYTES], szFile[NAME_COPY_BYTES];
  char szValue[VALUE_COPY_BYTES];
  LPSTR pszSectionCopy, pszKeyCopy, pszValueCopy, pszFileCopy;
  if (!CopyArgument(szSection, sizeof szSection, pszSection, &pszSectionCopy) ||
      !CopyArgument(szKey, sizeof szKey, pszKey, &pszKeyCopy) ||
      !CopyArgument(szValue, sizeof szValue, pszValue, &pszValueCopy) ||
      !CopyArgument(szFile, sizeof szFile, pszFile, &pszFileCopy)) {
    ::SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  return ::WritePrivateProfileStringA(pszSectionCopy, pszKeyCopy, pszValueCopy, pszFileCopy);
}

BOOL CWin32Platform::WriteProfileStringA(LPCSTR pszSection, LPCSTR pszKey, LPCSTR pszValue)
{
  char szSection[NAME_COPY_BYTES], szKey[NAME_COPY_BYTES];
  char szValue[VALUE_COPY_BYTES];
  LPSTR pszSectionCopy, pszKeyCopy, pszValueCopy;
  if (!CopyArgument(szSection, sizeof szSection, pszSection, &pszSectionCopy) ||
      !CopyArgument(szKey, sizeof szKey, pszKey, &pszKeyCopy) ||
      !CopyArgument(szValue, sizeof szValue, pszValue, &pszValueCopy)) {
    ::SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  return ::WriteProfileStringA(pszSectionCopy, pszKeyCopy, pszValueCopy);
}
