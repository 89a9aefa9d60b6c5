// What the start-up routine knows before it decides what to do: the Windows
// version family, the source directory, the setup.ini options and the
// command line. The dialogs make their own copies with the same functions
// when they open.
#ifndef INSTALL_LAUNCHCONTEXT_H
#define INSTALL_LAUNCHCONTEXT_H

#include "platform/Platform.h"

// The Windows version family. At most one of the five family flags is set;
// m_bWin98SE only together with m_bWin98.
struct VersionClass {
  LONG m_bWin95;
  LONG m_bWin98;
  LONG m_bWinME;
  LONG m_bWinNT4;
  LONG m_bWinNT5;
  LONG m_bWin98SE;
};

// The [InstallOption] values of setup.ini, as GetPrivateProfileIntA reads them.
struct InstallOptions {
  INT m_nDriverOnly;          // default 0
  INT m_nWindowsMEDriver;     // default 1
  INT m_nWindows98SEDriver;   // default 0
  INT m_nWebSetup;            // default 0
  INT m_nInstallWDMDriver;    // default 0
};

struct LaunchContext {
  VersionClass m_version;
  char m_szSourceDir[MAX_PATH];  // full, ends in a backslash; empty when missing
  InstallOptions m_options;
  LPSTR m_pszCmdLine;            // upper-cased in place before the dispatch
};

// Sets the six flags from GetVersionExA.
void ClassifyWindowsVersion(VersionClass* pVersion);

// Fills pszSourceDir (MAX_PATH bytes) with the program path's directory as
// a full path: a relative one is completed against the current directory.
// Returns FALSE, leaving it empty, when the directory cannot be formed whole.
BOOL ResolveSourceDirectory(char* pszSourceDir);

// Reads the [InstallOption] keys of pszSourceDir + "setup.ini".
void ReadInstallOptions(const char* pszSourceDir, InstallOptions* pOptions);

#endif
