#include "setup/PackageInstall.h"

#include "setup/PackageSetup.h"
#include "setup/PackageUninstall.h"
#include "setup/SuiteApplications.h"

void InstallApplicationPackage(const LaunchContext& context)
{
  IPlatform* p = Platform();
  CloseSuiteApplications();
  UninstallPreviousPackage();
  char szSetup[MAX_PATH];
  if (FindPackageSetup(context.m_version, context.m_szSourceDir,
                       context.m_options.m_nWindowsMEDriver, context.m_options.m_nWindows98SEDriver,
                       szSetup))
    StartPackageSetup(szSetup);
  else
    p->MessageBoxA(0, "Can not find the Tonivex Applications setup program.", "Setup", MB_OK);
  p->ExitProcess(0);
}
