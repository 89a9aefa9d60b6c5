// Running the previously installed package's uninstaller.
#ifndef SETUP_PACKAGEUNINSTALL_H
#define SETUP_PACKAGEUNINSTALL_H

// Runs the uninstall command registered by the previous package, followed by
// " -a", and returns when that program has ended; returns at once when no
// package is registered or its uninstaller cannot be started.
void UninstallPreviousPackage();

#endif
