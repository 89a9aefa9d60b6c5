// The application package's own Setup.exe: which build fits the running
// Windows, how it is started, and the reboot flag left for it.
#ifndef SETUP_PACKAGESETUP_H
#define SETUP_PACKAGESETUP_H

#include "install/LaunchContext.h"

// Finds the package's Setup.exe under pszSourceDir (ending in a backslash)
// for the version class and the two [InstallOption] choices. On success
// pszPath (MAX_PATH bytes) holds its full path; otherwise it is left empty
// and the result is FALSE.
BOOL FindPackageSetup(const VersionClass& version, const char* pszSourceDir,
                      INT nWindowsMEDriver, INT nWindows98SEDriver, char* pszPath);

// Starts the package's Setup.exe shown normally and returns at once.
void StartPackageSetup(const char* pszPath);

// Leaves [Need_To_Reboot] Install=YES in QVXSETUP.INI in the Windows
// directory, so that the package's setup restarts Windows for a driver
// installed just before it.
void WritePackageRebootFlag();

#endif
