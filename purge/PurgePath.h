// Paths of the file purge, built under the Windows directory.
#ifndef PURGE_PURGEPATH_H
#define PURGE_PURGEPATH_H

#include "platform/Win32Types.h"

// pszDest (MAX_PATH bytes) = the Windows directory, a backslash, pszDir, a
// backslash and pszName. A path that does not fit, or an empty Windows
// directory, gives FALSE and an empty buffer: the caller skips that path
// rather than use a shortened one.
BOOL BuildWindowsPath(char* pszDest, const char* pszWindowsDir, const char* pszDir,
                      const char* pszName);

#endif // PURGE_PURGEPATH_H
