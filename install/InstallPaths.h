// The directories the driver installation works with: the fixed staging tree
// on drive C:, and Windows Setup's SourcePath.
#ifndef INSTALL_INSTALLPATHS_H
#define INSTALL_INSTALLPATHS_H

#include "platform/Platform.h"

// The staging tree is fixed: it names no system setting, so the INF copies
// can point at it whatever the Windows directory is.
extern const char g_szProgramFilesDir[];   // C:\Program Files\ .
extern const char g_szVeltrixDir[];        // C:\Program Files\Veltrix\ .
extern const char g_szDosStagingDir[];     // ...\Veltrix\DOS\ .
extern const char g_szDosAppStagingDir[];  // ...\Veltrix\DOS\DOSAPP\ .
extern const char g_szDriverStagingDir[];  // ...\Veltrix\W95-98\ .
extern const char g_szExtraStagingDir[];   // ...\Veltrix\W95-98\026\ .
// The staging directory without its trailing backslash, as the INF copies
// name it.
extern const char g_szDriverStagingName[];

// Windows Setup's SourcePath, when it names a directory that can be entered
// (it then becomes the current directory), as the full path of that
// directory with a trailing backslash.
BOOL ReadSetupSourcePath(char* pszDir);

#endif
