#include "install/LaunchContext.h"

#include "platform/StrBuf.h"

// Platform ids of the version record.
static const DWORD kPlatformWin9x = 1;
static const DWORD kPlatformNT = 2;

void ClassifyWindowsVersion(VersionClass* pVersion)
{
  MemSet(pVersion, 0, sizeof *pVersion);

  // The result is not tested: a failed call leaves the zeroed record, which
  // matches no family.
  OSVERSIONINFOA info;
  MemSet(&info, 0, sizeof info);
  info.dwOSVersionInfoSize = sizeof info;
  Platform()->GetVersionExA(&info);

  if (info.dwPlatformId == kPlatformWin9x) {
    // On this family the build number's high word holds the major version
    // in its upper byte and the minor version in its lower byte (0x040A for
    // 98, 0x045A for ME); bits 8 to 15 tell 98 Second Edition (build
    // 2048-2303) from the first edition.
    DWORD dwHighWord = (info.dwBuildNumber >> 16) & 0xFFFF;
    if (info.dwMinorVersion == 0) {
      pVersion->m_bWin95 = 1;
    } else if ((dwHighWord >> 4) > 0x40) {
      pVersion->m_bWinME = 1;
    } else {
      pVersion->m_bWin98 = 1;
      if (((info.dwBuildNumber >> 8) & 0xFF) == 8)
        pVersion->m_bWin98SE = 1;
    }
  }
  pVersion->m_bWinNT4 = (info.dwPlatformId == kPlatformNT && info.dwMajorVersion < 5);
  pVersion->m_bWinNT5 = (info.dwPlatformId == kPlatformNT && info.dwMajorVersion >= 5);
}

void ReadInstallOptions(const char* pszSourceDir, InstallOptions* pOptions)
{
  pOptions->m_nDriverOnly = 0;
  pOptions->m_nWindowsMEDriver = 1;
  pOptions->m_nWindows98SEDriver = 0;
  pOptions->m_nWebSetup = 0;
  pOptions->m_nInstallWDMDriver = 0;

  // A missing source directory has no setup.ini; a bare "setup.ini" would
  // name the Windows directory's file instead.
  char szIni[MAX_PATH];
  if (pszSourceDir[0] == '\0' || !StrConcat(szIni, sizeof szIni, pszSourceDir, "setup.ini"))
    return;

  IPlatform* p = Platform();
  pOptions->m_nDriverOnly = (INT)p->GetPrivateProfileIntA("InstallOption", "DriverOnly", 0, szIni);
  pOptions->m_nWindowsMEDriver =
      (INT)p->GetPrivateProfileIntA("InstallOption", "WindowsMEDriver", 1, szIni);
  pOptions->m_nWindows98SEDriver =
      (INT)p->GetPrivateProfileIntA("InstallOption", "Windows98SEDriver", 0, szIni);
  pOptions->m_nWebSetup = (INT)p->GetPrivateProfileIntA("InstallOption", "WebSetup", 0, szIni);
  pOptions->m_nInstallWDMDriver =
      (INT)p->GetPrivateProfileIntA("InstallOption", "InstallWDMDriver", 0, szIni);
}
