// What the launcher's profile writes respect on Windows 9x: the cache that
// holds them until flushed, and the 64 KB of a file that it reads and writes.
#ifndef PLATFORM_PROFILEFILES_H
#define PLATFORM_PROFILEFILES_H

#include "platform/Platform.h"

// Flushes the system's cache of the profile file (a bare name: in the
// Windows directory). Called after the file's last write, before Windows
// restarts or another program starts; its result means nothing.
void FlushProfileFile(const char* pszFile);

// WIN.INI's entry written through the system's own WIN.INI functions, and
// flushed.
void WriteWinIniEntry(const char* pszSection, const char* pszKey, const char* pszValue);

// TRUE when the existing file, cbAdded bytes longer, stays within the 64 KB
// that Windows 9x reads of a profile file: a write to a longer one would lose
// its end.
BOOL ProfileFileHasRoom(const char* pszPath, DWORD cbAdded);

#endif
