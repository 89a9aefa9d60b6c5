#include "install/DriverInstall.h"

struct DriverInstallVariant {
  int m_nEntry;
};

const DriverInstallVariant g_silentDriverOnlyInstall = { 0 };
const DriverInstallVariant g_silentWebInstall = { 1 };
const DriverInstallVariant g_mainDialogInstall = { 2 };
const DriverInstallVariant g_vxdDialogInstall = { 3 };

// Placeholder until the installation sequence is built.
void RunDriverInstall(const DriverInstallVariant& variant, const DriverInstallContext&)
{
  if (variant.m_nEntry != 2)
    Platform()->ExitProcess(0);
}

void FinishDriverInstall(HWND hOwner)
{
  Platform()->MessageBoxA(hOwner, "Setup completed! The system will restart now!", "Setup", MB_OK);
  Platform()->ExitWindowsEx(EWX_REBOOT, 0);
}
