// The source directory: the directory the program was started from, where
// setup.ini, the hand-off programs and the packages lie.
//
// Every result is a full path (a drive and its root, or a network share)
// ending in a backslash, and fits in MAX_PATH bytes. The driver install
// enters other directories to test them, so a relative source directory
// would name another folder from then on. A program path, current
// directory or completed path that does not fit is never cut into another
// path: the directory then counts as missing (empty), so that nothing is
// found in it.
#include "install/LaunchContext.h"

#include "platform/StrBuf.h"
#include "platform/framework/Application.h"

static BOOL IsNetworkPath(const char* psz)
{
  return psz[0] == '\\' && psz[1] == '\\';
}

// "X:\..." or "\\server\...": names the same folder whatever the current
// directory is.
static BOOL IsFullPath(const char* psz)
{
  const char chDrive = ChrUpper(psz[0]);
  return IsNetworkPath(psz) || (chDrive >= 'A' && chDrive <= 'Z' && psz[1] == ':' && psz[2] == '\\');
}

// The directory part of the program path, ending in a backslash, or the
// drive alone ("D:" for "D:SETUP.EXE"; "" for a bare name, the current
// directory). A backslash at the very start is the root and stays.
static BOOL CutProgramDirectory(const char* pszProgram, char* pszDir)
{
  const char* pLast = StrRChr(pszProgram, '\\');
  if (pLast == 0) {
    StrSize cchDrive = (pszProgram[0] != '\0' && pszProgram[1] == ':') ? 2 : 0;
    return StrCopyN(pszDir, MAX_PATH, pszProgram, cchDrive);
  }
  // "\\server\SETUP.EXE" and "\\server" name no share to lie in.
  if (IsNetworkPath(pszProgram)) {
    const char* pServerEnd = StrChr(pszProgram + 2, '\\');
    if (pServerEnd == 0 || pServerEnd == pszProgram + 2 || pLast == pServerEnd)
      return FALSE;
  }
  return StrCopyN(pszDir, MAX_PATH, pszProgram, (StrSize)(pLast - pszProgram) + 1);
}

// Completes a relative directory as Windows completes any relative path:
// against the current directory, "D:DISC\" against drive D's own.
static BOOL CompleteDirectory(const char* pszDir, char* pszSourceDir)
{
  DWORD n = Platform()->GetFullPathNameA(pszDir[0] != '\0' ? pszDir : ".\\", MAX_PATH,
                                         pszSourceDir, 0);
  if (n == 0 || n >= MAX_PATH || !IsFullPath(pszSourceDir)) {
    pszSourceDir[0] = '\0';
    return FALSE;
  }
  return StrEnsureBackslash(pszSourceDir, MAX_PATH);
}

BOOL ResolveSourceDirectory(char* pszSourceDir)
{
  pszSourceDir[0] = '\0';
  CApplication* pApp = CApplication::GetApp();
  char szProgram[MAX_PATH];
  char szDir[MAX_PATH];
  if (pApp == 0 || !pApp->GetProgramPath(szProgram, sizeof szProgram) || szProgram[0] == '\0' ||
      !CutProgramDirectory(szProgram, szDir))
    return FALSE;
  // A full directory is used byte for byte as it stands.
  if (IsFullPath(szDir))
    return StrCopy(pszSourceDir, MAX_PATH, szDir);
  return CompleteDirectory(szDir, pszSourceDir);
}
