#include "app/SetupApp.h"

#include "app/HandOff.h"
#include "app/SystemAdjustments.h"
#include "install/DriverInstall.h"
#include "install/VxdDriverDlg.h"
#include "install/WdmDriverDlg.h"
#include "platform/StrBuf.h"
#include "setup/PackageInstall.h"
#include "setup/SetupOptionsDlg.h"
#include "setup/SuiteApplications.h"

// The one application object.
CSetupApp theApp;

CSetupApp::CSetupApp()
    : m_bSourcePathSet(0)
{
  MemSet(&m_version, 0, sizeof m_version);
}

CSetupApp::~CSetupApp() {}

// The whole command line must equal one of the three forms of a word.
static BOOL IsCommandWord(const char* pszCmdLine, const char* pszWord)
{
  char szSlash[16];
  char szHyphen[16];
  if (!StrConcat(szSlash, sizeof szSlash, "/", pszWord) ||
      !StrConcat(szHyphen, sizeof szHyphen, "-", pszWord))
    return FALSE;
  return StrCmp(pszCmdLine, pszWord) == 0 || StrCmp(pszCmdLine, szSlash) == 0 ||
         StrCmp(pszCmdLine, szHyphen) == 0;
}

static void ShowSetupMessage(const char* pszText)
{
  Platform()->MessageBoxA(0, pszText, "Setup", MB_OK);
}

static void RunSilentDriverInstall(const DriverInstallVariant& variant, CSetupApp& app,
                                   const char* pszSourceDir)
{
  DriverInstallContext context;
  context.m_pVersion = &app.m_version;
  context.m_pszSourceDir = pszSourceDir;
  context.m_pbSourcePathSet = &app.m_bSourcePathSet;
  context.m_hDlg = 0;
  context.m_pVxdOptions = 0;
  context.m_nFullPackage = 0;
  RunDriverInstall(variant, context);
}

BOOL CSetupApp::InitInstance()
{
  IPlatform* p = Platform();
  m_bSourcePathSet = 0;

  LaunchContext context;
  ClassifyWindowsVersion(&m_version);
  context.m_version = m_version;
  ResolveSourceDirectory(context.m_szSourceDir);
  ReadInstallOptions(context.m_szSourceDir, &context.m_options);

  char szSetupIni[MAX_PATH];
  if (context.m_szSourceDir[0] == '\0' ||
      !StrConcat(szSetupIni, sizeof szSetupIni, context.m_szSourceDir, "setup.ini"))
    szSetupIni[0] = '\0';
  ApplySystemAdjustments(szSetupIni);

  static char s_szNoCmdLine[1] = { '\0' };
  context.m_pszCmdLine = m_lpCmdLine != 0 ? m_lpCmdLine : s_szNoCmdLine;
  StrUpper(context.m_pszCmdLine);

  const InstallOptions& options = context.m_options;
  const char* pszCmdLine = context.m_pszCmdLine;
  BOOL bDriverOnly = IsCommandWord(pszCmdLine, "DRIVER") || options.m_nDriverOnly != 0;

  if (options.m_nWebSetup == 0 && IsCommandWord(pszCmdLine, "AP")) {
    InstallApplicationPackage(context);
    p->ExitProcess(0);
    return FALSE;
  }

  // The newer systems' own setup programs take over every other start.
  if (m_version.m_bWinNT5) {
    static const char* const s_rgW2KSetup[] = { "W2KSetup.dat", "W2KSetup.exe" };
    if (!StartHandOffProgram(context.m_szSourceDir, s_rgW2KSetup, 2, bDriverOnly))
      ShowSetupMessage("Can not find the setup program for Windows 2000/XP.");
    return FALSE;
  }
  if (m_version.m_bWinME || m_version.m_bWin98SE) {
    static const char* const s_rgMESetup[] = { "MESetup.dat" };
    if (!StartHandOffProgram(context.m_szSourceDir, s_rgMESetup, 1, bDriverOnly))
      ShowSetupMessage("Can not find the setup program for Windows 98 SE and ME.");
    return FALSE;
  }

  switch (options.m_nWebSetup) {
  case 0:
    if (bDriverOnly) {
      // The Windows 95/98 driver cannot be installed on NT 4.0.
      if (m_version.m_bWinNT4)
        p->ExitProcess(0);
      else
        RunSilentDriverInstall(g_silentDriverOnlyInstall, *this, context.m_szSourceDir);
      p->ExitProcess(0);
    } else {
      p->Enable3dControls();
      CSetupOptionsDlg dlg(&m_bSourcePathSet);
      dlg.DoModal();
    }
    return FALSE;
  case 1:
    if (options.m_nInstallWDMDriver != 0) {
      CWdmDriverDlg dlg(CloseSuiteApplications);
      dlg.DoModal();
    } else {
      CVxdDriverDlg dlg(&m_bSourcePathSet, CloseSuiteApplications);
      dlg.DoModal();
    }
    return FALSE;
  case 2:
    if (m_version.m_bWinNT4)
      p->ExitProcess(0);
    else
      RunSilentDriverInstall(g_silentWebInstall, *this, context.m_szSourceDir);
    p->ExitProcess(0);
    return FALSE;
  default:
    return FALSE;
  }
}
