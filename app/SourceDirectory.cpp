// The source directory: the directory the program was started from, where
// setup.ini, the hand-off programs and the packages lie.
//
// Every result ends in a backslash and fits in MAX_PATH bytes. A program
// path, current directory or combined path that does not fit is never cut
// into another path: the directory then counts as missing (empty), so that
// nothing is found in it.
#include "app/LaunchContext.h"

#include "platform/StrBuf.h"
#include "platform/framework/Application.h"

static BOOL IsNetworkPath(const char* psz)
{
  return psz[0] == '\\' && psz[1] == '\\';
}

// The current directory, or FALSE when it cannot be had whole.
static BOOL GetCurrentDir(char* pszDir)
{
  DWORD n = Platform()->GetCurrentDirectoryA(MAX_PATH, pszDir);
  if (n == 0 || n >= MAX_PATH) {
    pszDir[0] = '\0';
    return FALSE;
  }
  return TRUE;
}

// The drive part of a current directory: "C:" for C:\WINDOWS, and for a
// network directory its "\\server\share".
static BOOL GetDrivePart(const char* pszCurDir, char* pszDrive)
{
  if (IsNetworkPath(pszCurDir)) {
    const char* pShare = StrChr(pszCurDir + 2, '\\');
    if (pShare == 0 || pShare[1] == '\0')
      return StrCopy(pszDrive, MAX_PATH, pszCurDir);
    const char* pEnd = StrChr(pShare + 1, '\\');
    StrSize n = pEnd ? (StrSize)(pEnd - pszCurDir) : StrLen(pszCurDir);
    return StrCopyN(pszDrive, MAX_PATH, pszCurDir, n);
  }
  const char* pColon = StrChr(pszCurDir, ':');
  if (pColon == 0 || pColon == pszCurDir) {
    pszDrive[0] = '\0';
    return FALSE;
  }
  return StrCopyN(pszDrive, MAX_PATH, pszCurDir, (StrSize)(pColon - pszCurDir) + 1);
}

// A program path without any backslash: the program was started by its
// bare name ("SETUP.EXE") or by a name on a drive ("D:SETUP.EXE"), so it lies
// in the current directory (of that drive, which must be the current one).
static BOOL ResolveFromCurrentDirectory(const char* pszProgram, char* pszSourceDir)
{
  if (!GetCurrentDir(pszSourceDir))
    return FALSE;
  if (pszProgram[0] != '\0' && pszProgram[1] == ':' &&
      (pszSourceDir[1] != ':' || ChrUpper(pszSourceDir[0]) != ChrUpper(pszProgram[0]))) {
    pszSourceDir[0] = '\0';
    return FALSE;
  }
  return StrEnsureBackslash(pszSourceDir, MAX_PATH);
}

// pszDir (the program path cut before its last backslash, not empty) made
// whole with the current drive or directory.
static BOOL CompleteWithCurrentDrive(const char* pszDir, char* pszSourceDir)
{
  char szCurDir[MAX_PATH];
  char szDrive[MAX_PATH];
  if (!GetCurrentDir(szCurDir) || !GetDrivePart(szCurDir, szDrive))
    return FALSE;
  if (pszDir[0] == '\\')  // root-relative: "\DISC" on the current drive
    return StrConcat(pszSourceDir, MAX_PATH, szDrive, pszDir);
  if (IsNetworkPath(szCurDir)) {  // relative to a network directory
    if (!StrEnsureBackslash(szCurDir, sizeof szCurDir))
      return FALSE;
    return StrConcat(pszSourceDir, MAX_PATH, szCurDir, pszDir);
  }
  // Relative to the drive's current directory: "C:DISC".
  return StrConcat(pszSourceDir, MAX_PATH, szDrive, pszDir);
}

static BOOL BuildSourceDirectory(const char* pszProgram, BOOL bCompleteDrive, char* pszSourceDir)
{
  pszSourceDir[0] = '\0';
  if (pszProgram[0] == '\0')
    return FALSE;

  const char* pLast = StrRChr(pszProgram, '\\');
  if (pLast == 0)
    return ResolveFromCurrentDirectory(pszProgram, pszSourceDir);

  if (IsNetworkPath(pszProgram)) {
    // "\\server\share\dir\SETUP.EXE": the directory as it stands; a network
    // path carries no drive.
    if (pLast - pszProgram < 2)
      return FALSE;
    return StrCopyN(pszSourceDir, MAX_PATH, pszProgram, (StrSize)(pLast - pszProgram) + 1);
  }

  if (pLast == pszProgram) {
    // "\SETUP.EXE": the root of the current drive.
    if (!bCompleteDrive)
      return StrCopy(pszSourceDir, MAX_PATH, "\\");
    if (!CompleteWithCurrentDrive("\\", pszSourceDir))
      return FALSE;
    return StrEnsureBackslash(pszSourceDir, MAX_PATH);
  }

  char szDir[MAX_PATH];
  if (!StrCopyN(szDir, sizeof szDir, pszProgram, (StrSize)(pLast - pszProgram)))
    return FALSE;
  if (szDir[1] == ':' || !bCompleteDrive) {
    if (!StrCopy(pszSourceDir, MAX_PATH, szDir))
      return FALSE;
  } else if (!CompleteWithCurrentDrive(szDir, pszSourceDir)) {
    return FALSE;
  }
  return StrEnsureBackslash(pszSourceDir, MAX_PATH);
}

BOOL ResolveSourceDirectory(char* pszSourceDir, BOOL bCompleteDrive)
{
  pszSourceDir[0] = '\0';
  CApplication* pApp = CApplication::GetApp();
  char szProgram[MAX_PATH];
  if (pApp == 0 || !pApp->GetProgramPath(szProgram, sizeof szProgram))
    return FALSE;
  if (!BuildSourceDirectory(szProgram, bCompleteDrive, pszSourceDir)) {
    pszSourceDir[0] = '\0';
    return FALSE;
  }
  return TRUE;
}
