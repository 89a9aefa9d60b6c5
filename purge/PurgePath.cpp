#include "purge/PurgePath.h"

#include "platform/StrBuf.h"

BOOL BuildWindowsPath(char* pszDest, const char* pszWindowsDir, const char* pszDir,
                      const char* pszName)
{
  // A drive root ("C:\") already ends in its backslash.
  return StrCopy(pszDest, MAX_PATH, pszWindowsDir) && StrEnsureBackslash(pszDest, MAX_PATH) &&
         StrAppend(pszDest, MAX_PATH, pszDir) && StrAppendChar(pszDest, MAX_PATH, '\\') &&
         StrAppend(pszDest, MAX_PATH, pszName);
}
