#include "app/LaunchContext.h"

#include "platform/StrBuf.h"

// Placeholder bodies; the start-up work fills them in.
void ClassifyWindowsVersion(VersionClass* pVersion)
{
  MemSet(pVersion, 0, sizeof *pVersion);
}

BOOL ResolveSourceDirectory(char* pszSourceDir, BOOL)
{
  pszSourceDir[0] = '\0';
  return FALSE;
}

void ReadInstallOptions(const char*, InstallOptions* pOptions)
{
  pOptions->m_nDriverOnly = 0;
  pOptions->m_nWindowsMEDriver = 1;
  pOptions->m_nWindows98SEDriver = 0;
  pOptions->m_nWebSetup = 0;
  pOptions->m_nInstallWDMDriver = 0;
}
