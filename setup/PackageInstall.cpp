#include "setup/PackageInstall.h"

// Placeholder until the package installation is built.
void InstallApplicationPackage(const LaunchContext&)
{
  Platform()->ExitProcess(0);
}
