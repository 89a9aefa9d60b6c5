// Starting a program shown normally, as the package's setup and the
// previous package's uninstaller are started.
#ifndef SETUP_PROGRAMSTART_H
#define SETUP_PROGRAMSTART_H

#include "platform/Platform.h"

// CreateProcessA with no application name, pszCommandLine as the command
// line, no inheritance, no creation flags, the caller's environment and
// current directory, and a start-up record asking for SW_SHOW. On success
// pInfo holds the process and thread handles, which the caller closes.
BOOL StartShownProgram(char* pszCommandLine, PROCESS_INFORMATION* pInfo);

#endif
