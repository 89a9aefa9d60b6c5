// Handing the whole setup over to the disc's setup program for newer
// Windows (2000/XP, or 98 SE/ME).
#ifndef APP_HANDOFF_H
#define APP_HANDOFF_H

#include "platform/Win32Types.h"

// Starts the first of ppszNames (nNames file names, in order of preference)
// that exists in pszSourceDir, with " /DRIVER" added when bDriverOnly, and
// does not wait for it. FALSE when none exists (nothing is started).
BOOL StartHandOffProgram(const char* pszSourceDir, const char* const* ppszNames, int nNames,
                         BOOL bDriverOnly);

#endif
