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

// The copies of one call's arguments: section, key, value (or default) and
// file, each NULL where the call has none.
struct CProfileArguments {
  char m_szSection[NAME_COPY_BYTES];
  char m_szKey[NAME_COPY_BYTES];
  char m_szValue[VALUE_COPY_BYTES];
  char m_szFile[NAME_COPY_BYTES];
  LPSTR m_pszSection;
  LPSTR m_pszKey;
  LPSTR m_pszValue;
  LPSTR m_pszFile;

  BOOL Copy(LPCSTR pszSection, LPCSTR pszKey, LPCSTR pszValue, LPCSTR pszFile)
  {
    return CopyArgument(m_szSection, sizeof m_szSection, pszSection, &m_pszSection) &&
           CopyArgument(m_szKey, sizeof m_szKey, pszKey, &m_pszKey) &&
           CopyArgument(m_szValue, sizeof m_szValue, pszValue, &m_pszValue) &&
           CopyArgument(m_szFile, sizeof m_szFile, pszFile, &m_pszFile);
  }
};

UINT CWin32Platform::GetPrivateProfileIntA(LPCSTR pszSection, LPCSTR pszKey, INT nDefault,
                                           LPCSTR pszFile)
{
  CProfileArguments args;
  if (!args.Copy(pszSection, pszKey, 0, pszFile))
    return (UINT)nDefault;
  return ::GetPrivateProfileIntA(args.m_pszSection, args.m_pszKey, nDefault, args.m_pszFile);
}

DWORD CWin32Platform::GetPrivateProfileStringA(LPCSTR pszSection, LPCSTR pszKey,
                                               LPCSTR pszDefault, LPSTR pszReturned,
                                               DWORD nSize, LPCSTR pszFile)
{
  CProfileArguments args;
  if (!args.Copy(pszSection, pszKey, pszDefault, pszFile)) {
    if (pszReturned != 0 && nSize != 0)
      pszReturned[0] = '\0';
    return 0;
  }
  return ::GetPrivateProfileStringA(args.m_pszSection, args.m_pszKey, args.m_pszValue,
                                    pszReturned, nSize, args.m_pszFile);
}

BOOL CWin32Platform::WritePrivateProfileStringA(LPCSTR pszSection, LPCSTR pszKey,
                                                LPCSTR pszValue, LPCSTR pszFile)
{
  CProfileArguments args;
  if (!args.Copy(pszSection, pszKey, pszValue, pszFile)) {
    ::SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  return ::WritePrivateProfileStringA(args.m_pszSection, args.m_pszKey, args.m_pszValue,
                                      args.m_pszFile);
}

BOOL CWin32Platform::WriteProfileStringA(LPCSTR pszSection, LPCSTR pszKey, LPCSTR pszValue)
{
  CProfileArguments args;
  if (!args.Copy(pszSection, pszKey, pszValue, 0)) {
    ::SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  return ::WriteProfileStringA(args.m_pszSection, args.m_pszKey, args.m_pszValue);
}
