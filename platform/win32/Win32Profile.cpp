// Profile (INI) files: the system's own reader and writer, so that the
// files keep the form every other program on the machine expects.
#include "platform/win32/Win32Platform.h"

UINT CWin32Platform::GetPrivateProfileIntA(LPCSTR pszSection, LPCSTR pszKey, INT nDefault,
                                           LPCSTR pszFile)
{
  return ::GetPrivateProfileIntA(pszSection, pszKey, nDefault, pszFile);
}

DWORD CWin32Platform::GetPrivateProfileStringA(LPCSTR pszSection, LPCSTR pszKey,
                                               LPCSTR pszDefault, LPSTR pszReturned,
                                               DWORD nSize, LPCSTR pszFile)
{
  return ::GetPrivateProfileStringA(pszSection, pszKey, pszDefault, pszReturned, nSize, pszFile);
}

BOOL CWin32Platform::WritePrivateProfileStringA(LPCSTR pszSection, LPCSTR pszKey,
                                                LPCSTR pszValue, LPCSTR pszFile)
{
  return ::WritePrivateProfileStringA(pszSection, pszKey, pszValue, pszFile);
}
