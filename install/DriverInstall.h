// The driver installation sequence and its four variants.
#ifndef INSTALL_DRIVERINSTALL_H
#define INSTALL_DRIVERINSTALL_H

#include "install/LaunchContext.h"

// Which steps run and how they differ for one way of starting the install.
struct DriverInstallVariant;

// Closes the suite's running applications, which hold the driver's files
// open. The driver dialogs call it before they install; the caller supplies
// it, since the suite belongs to the package setup above this folder.
typedef void (*SuiteCloser)();

extern const DriverInstallVariant g_silentDriverOnlyInstall;
extern const DriverInstallVariant g_silentWebInstall;
extern const DriverInstallVariant g_mainDialogInstall;
extern const DriverInstallVariant g_vxdDialogInstall;

// What the entry point hands over.
struct DriverInstallContext {
  const VersionClass* m_pVersion;
  const char* m_pszSourceDir;  // ends in a backslash
  LONG* m_pbSourcePathSet;     // the application's m_bSourcePathSet
  HWND m_hDlg;                 // the dialog that runs it; NULL when silent
  // VxD dialog only: the options for the INF patch hook, and FullPackage.
  const struct VxdDriverOptions* m_pVxdOptions;
  INT m_nFullPackage;
};

// Runs the sequence. Every variant but the main dialog's ends the process
// with exit code 0 after asking Windows to restart.
// The main dialog's variant returns after the INF copies are rewritten; the
// dialog then finishes with FinishDriverInstall or goes on to the package.
// The wait cursor: the standard variants show it from the tray program's
// pause on, the VxD dialog from the press of Install; every variant ends it
// when the driver part is done, before the completion message.
void RunDriverInstall(const DriverInstallVariant& variant, const DriverInstallContext& context);

// "Setup completed! The system will restart now!" (title "Setup", owned by
// hOwner or by no window), then the restart request.
void FinishDriverInstall(HWND hOwner);

#endif
