// Installing the application package: the suite closed, the previous
// package uninstalled, the package's own Setup.exe found and started.
#ifndef SETUP_PACKAGEINSTALL_H
#define SETUP_PACKAGEINSTALL_H

#include "install/LaunchContext.h"

// The package-word path of the start-up routine. Ends the process with exit
// code 0; does not return.
void InstallApplicationPackage(const LaunchContext& context);

#endif
