// The path vocabulary: a directory is named with its trailing backslash, so
// that a file's path is its directory and its name put together. Every
// function writes into a MAX_PATH buffer unless it takes a size, and refuses
// what does not fit, leaving the buffer empty: a path is never cut short into
// the name of another file.
#ifndef PLATFORM_PATHNAMES_H
#define PLATFORM_PATHNAMES_H

#include "platform/StrBuf.h"

// The Windows directory as the platform gives it (no backslash added).
// FALSE, leaving the buffer empty, when it gives none or it does not fit.
BOOL GetWindowsDir(char* pszDir);

// The Windows and system directories with a trailing backslash. FALSE,
// leaving the buffer empty, when the platform gives none or it does not fit.
BOOL GetWindowsDirWithBackslash(char* pszDir);
BOOL GetSystemDirWithBackslash(char* pszDir);
// The current directory with a trailing backslash, on the same terms.
BOOL GetCurrentDirWithBackslash(char* pszDir);

// pszPath = pszDir (ending in a backslash) + pszName. FALSE, leaving it
// empty, when the directory is empty: an empty directory would make the name
// relative to whatever the current directory is.
BOOL ComposePath(char* pszPath, const char* pszDir, const char* pszName);

// pszPath = pszDir with a backslash (a drive root has its own) + pszSubDir +
// "\" + pszName. FALSE, leaving it empty, when pszDir is empty.
BOOL ComposeSubDirPath(char* pszPath, const char* pszDir, const char* pszSubDir,
                       const char* pszName);

// pszDest (cbDest bytes) = pszParent + "\" + pszName: a registry key path,
// whose parent never ends in a backslash.
BOOL JoinKeyPath(char* pszDest, StrSize cbDest, const char* pszParent, const char* pszName);

#endif // PLATFORM_PATHNAMES_H
