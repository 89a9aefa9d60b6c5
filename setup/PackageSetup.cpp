#include "setup/PackageSetup.h"

#include "platform/StrBuf.h"

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

// Existence test: the file opens for reading.
static BOOL FileOpensForReading(const char* pszPath)
{
  if (pszPath[0] == '\0')
    return FALSE;
  HSTREAM hStream = Platform()->StreamOpen(pszPath, "rb");
  if (hStream == 0)
    return FALSE;
  Platform()->StreamClose(hStream);
  return TRUE;
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

  STARTUPINFOA si;
  MemSet(&si, 0, sizeof si);
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESHOWWINDOW;
  si.wShowWindow = SW_SHOW;
  PROCESS_INFORMATION pi;
  MemSet(&pi, 0, sizeof pi);
  IPlatform* p = Platform();
  // Not waited for: the package's setup outlives this program.
  if (p->CreateProcessA(0, szCmdLine, 0, 0, FALSE, 0, 0, 0, &si, &pi)) {
    p->CloseHandle(pi.hThread);
    p->CloseHandle(pi.hProcess);
  }
}

void WritePackageRebootFlag()
{
  char szFile[MAX_PATH];
  UINT cch = Platform()->GetWindowsDirectoryA(szFile, sizeof szFile);
  if (cch == 0 || cch >= sizeof szFile)
    return;
  if (!StrEnsureBackslash(szFile, sizeof szFile) || !StrAppend(szFile, sizeof szFile, "QVXSETUP.INI"))
    return;
  Platform()->WritePrivateProfileStringA("Need_To_Reboot", "Install", "YES", szFile);
}
