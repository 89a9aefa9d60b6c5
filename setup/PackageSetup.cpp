#include "setup/PackageSetup.h"

#include "platform/FileProbe.h"
#include "platform/PathNames.h"
#include "platform/ProfileFiles.h"
#include "platform/StrBuf.h"
#include "setup/ProgramStart.h"

static const char kSetupW9x[] = "W95-98\\app\\Setup.exe";
static const char kSetupW2kMe[] = "W2K-ME\\app\\Setup.exe";
static const char kSetupNt40[] = "NT40\\app\\Setup.exe";

// The build that fits the version class, before any fallback; NULL when the
// class is none of the known families.
static const char* ChoosePackageBuild(const VersionClass& version, INT nWindowsMEDriver,
                                      INT nWindows98SEDriver)
{
  if (version.m_bWin95)
    return kSetupW9x;
  if (version.m_bWin98)
    return (version.m_bWin98SE && nWindows98SEDriver != 0) ? kSetupW2kMe : kSetupW9x;
  if (version.m_bWinME)
    return nWindowsMEDriver != 0 ? kSetupW2kMe : kSetupW9x;
  if (version.m_bWinNT4)
    return kSetupNt40;
  if (version.m_bWinNT5)
    return kSetupW2kMe;
  return 0;
}

BOOL FindPackageSetup(const VersionClass& version, const char* pszSourceDir,
                      INT nWindowsMEDriver, INT nWindows98SEDriver, char* pszPath)
{
  pszPath[0] = '\0';
  const char* pszBuild = ChoosePackageBuild(version, nWindowsMEDriver, nWindows98SEDriver);
  if (pszBuild == 0 || pszSourceDir[0] == '\0')
    return FALSE;
  // A path that does not fit stays empty and so opens nothing.
  StrConcat(pszPath, MAX_PATH, pszSourceDir, pszBuild);

  // The Windows 9x builds share one fallback: the W2K-ME build.
  BOOL bWin9x = version.m_bWin95 || version.m_bWin98 || version.m_bWin98SE || version.m_bWinME;
  if (bWin9x && !FileOpensForReading(pszPath))
    StrConcat(pszPath, MAX_PATH, pszSourceDir, kSetupW2kMe);

  if (FileOpensForReading(pszPath))
    return TRUE;
  pszPath[0] = '\0';
  return FALSE;
}

void StartPackageSetup(const char* pszPath)
{
  // A path with a blank is quoted: unquoted, Windows would try to start a
  // program named by the path's first word.
  char szCmdLine[MAX_PATH + 2];
  BOOL bBuilt = StrChr(pszPath, ' ') != 0
                    ? StrConcat(szCmdLine, sizeof szCmdLine, "\"", pszPath, "\"")
                    : StrCopy(szCmdLine, sizeof szCmdLine, pszPath);
  if (!bBuilt)
    return;

  PROCESS_INFORMATION pi;
  // Not waited for: the package's setup outlives this program.
  if (StartShownProgram(szCmdLine, &pi)) {
    Platform()->CloseHandle(pi.hThread);
    Platform()->CloseHandle(pi.hProcess);
  }
}

void WritePackageRebootFlag()
{
  char szFile[MAX_PATH];
  if (!GetWindowsDirWithBackslash(szFile) || !StrAppend(szFile, sizeof szFile, "QVXSETUP.INI"))
    return;
  Platform()->WritePrivateProfileStringA("Need_To_Reboot", "Install", "YES", szFile);
  FlushProfileFile(szFile);
}
