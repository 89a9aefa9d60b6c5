#include "platform/PathNames.h"

#include "platform/Platform.h"

// A directory the platform wrote into a MAX_PATH buffer: kept only when it
// was written whole.
static BOOL KeepDirectory(char* pszDir, UINT uLength)
{
  if (uLength == 0 || uLength >= MAX_PATH) {
    pszDir[0] = '\0';
    return FALSE;
  }
  return TRUE;
}

BOOL GetWindowsDir(char* pszDir)
{
  pszDir[0] = '\0';
  return KeepDirectory(pszDir, Platform()->GetWindowsDirectoryA(pszDir, MAX_PATH));
}

BOOL GetWindowsDirWithBackslash(char* pszDir)
{
  return GetWindowsDir(pszDir) && StrEnsureBackslash(pszDir, MAX_PATH);
}

BOOL GetSystemDirWithBackslash(char* pszDir)
{
  pszDir[0] = '\0';
  return KeepDirectory(pszDir, Platform()->GetSystemDirectoryA(pszDir, MAX_PATH)) &&
         StrEnsureBackslash(pszDir, MAX_PATH);
}

BOOL GetCurrentDirWithBackslash(char* pszDir)
{
  pszDir[0] = '\0';
  return KeepDirectory(pszDir, Platform()->GetCurrentDirectoryA(MAX_PATH, pszDir)) &&
         StrEnsureBackslash(pszDir, MAX_PATH);
}

BOOL ComposePath(char* pszPath, const char* pszDir, const char* pszName)
{
  if (pszDir[0] == '\0') {
    pszPath[0] = '\0';
    return FALSE;
  }
  return StrConcat(pszPath, MAX_PATH, pszDir, pszName);
}

BOOL ComposeSubDirPath(char* pszPath, const char* pszDir, const char* pszSubDir,
                       const char* pszName)
{
  return StrCopy(pszPath, MAX_PATH, pszDir) && StrEnsureBackslash(pszPath, MAX_PATH) &&
         StrConcat(pszPath, MAX_PATH, pszPath, pszSubDir, "\\") &&
         StrAppend(pszPath, MAX_PATH, pszName);
}

BOOL JoinKeyPath(char* pszDest, StrSize cbDest, const char* pszParent, const char* pszName)
{
  return StrConcat(pszDest, cbDest, pszParent, "\\", pszName);
}
