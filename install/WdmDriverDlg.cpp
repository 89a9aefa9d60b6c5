#include "install/WdmDriverDlg.h"

#include "install/LaunchContext.h"
#include "platform/StrBuf.h"
#include "res/resource.h"

// The application's name: the program file's name without its directory
// and extension. Windows titles a box without a caption "Error", so the
// refusal names the program itself. FALSE when the name is unknown.
static BOOL GetApplicationName(char* pszName, StrSize cbName)
{
  char szModule[MAX_PATH];
  DWORD cch = Platform()->GetModuleFileNameA(0, szModule, sizeof szModule);
  if (cch == 0 || cch >= sizeof szModule - 1)
    return FALSE;
  szModule[cch] = '\0';
  const char* pszFile = szModule;
  for (const char* psz = szModule; *psz != '\0'; ++psz) {
    if (*psz == '\\' || *psz == '/' || *psz == ':')
      pszFile = psz + 1;
  }
  const char* pszDot = StrRChr(pszFile, '.');
  StrSize cchName = pszDot ? (StrSize)(pszDot - pszFile) : StrLen(pszFile);
  return cchName > 0 && StrCopyN(pszName, cbName, pszFile, cchName);
}

CWdmDriverDlg::CWdmDriverDlg(SuiteCloser pfnCloseSuite)
    : CDialog(IDD_WDM_DRIVER), m_pfnCloseSuite(pfnCloseSuite)
{
  m_szSourceDir[0] = '\0';
}

void CWdmDriverDlg::DoDataExchange()
{
  m_jacks.Bind(m_hWnd);
  m_btnDisableLegacy.Bind(m_hWnd, IDC_DISABLE_MIDI);
}

BOOL CWdmDriverDlg::OnInitDialog()
{
  CDialog::OnInitDialog();
  ResolveSourceDirectory(m_szSourceDir);
  m_jacks.SetDefaults();
  return TRUE;
}

BOOL CWdmDriverDlg::OnClicked(UINT nIdControl)
{
  return m_jacks.OnClicked(nIdControl);
}

void CWdmDriverDlg::OnOK()
{
  IPlatform* p = Platform();
  p->BeginWaitCursor();
  m_pfnCloseSuite();

  VersionClass version;
  ClassifyWindowsVersion(&version);
  const BOOL bWin98FirstEdition = version.m_bWin98 && !version.m_bWin98SE;
  if (version.m_bWin95 || bWin98FirstEdition || version.m_bWinNT4 || version.m_bWinNT5) {
    char szAppName[MAX_PATH];
    const char* pszCaption = GetApplicationName(szAppName, sizeof szAppName) ? szAppName : 0;
    p->MessageBoxA(m_hWnd, "This WDM driver can only be installed on Windows 98SE/ME/2000",
                   pszCaption, MB_OK);
    p->ExitProcess(0);
    return;
  }

  // Windows 98 SE and ME hand the setup over before this dialog is shown;
  // should it be shown there all the same, the disc's own setup for those
  // systems installs the WDM driver, so nothing is installed here.
  p->EndWaitCursor();
  EndDialog(IDOK);
}
