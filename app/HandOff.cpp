#include "app/HandOff.h"

#include "platform/FileProbe.h"
#include "platform/Platform.h"
#include "platform/StrBuf.h"

// Room for a whole path in quotes and " /DRIVER".
static const StrSize kCommandBytes = MAX_PATH + 16;

// The path where one exists in the source directory; FALSE otherwise (also
// when the source directory is missing).
static BOOL FindInSourceDir(const char* pszSourceDir, const char* pszName, char* pszPath)
{
  if (pszSourceDir[0] == '\0')
    return FALSE;
  if (!StrConcat(pszPath, MAX_PATH, pszSourceDir, pszName))
    return FALSE;
  return FileOpensForReading(pszPath);
}

BOOL StartHandOffProgram(const char* pszSourceDir, const char* const* ppszNames, int nNames,
                         BOOL bDriverOnly)
{
  char szPath[MAX_PATH];
  int i = 0;
  while (i < nNames && !FindInSourceDir(pszSourceDir, ppszNames[i], szPath))
    ++i;
  if (i == nNames)
    return FALSE;

  // A path with a blank goes in quotes, or Windows would start the program
  // named by its first word.
  char szCommand[kCommandBytes];
  BOOL bOk = StrChr(szPath, ' ') != 0 ? StrConcat(szCommand, sizeof szCommand, "\"", szPath, "\"")
                                      : StrCopy(szCommand, sizeof szCommand, szPath);
  if (bOk && bDriverOnly)
    bOk = StrAppend(szCommand, sizeof szCommand, " /DRIVER");
  if (bOk)
    Platform()->WinExec(szCommand, SW_SHOW);
  return TRUE;
}
