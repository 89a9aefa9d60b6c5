#include "install/WdmDriverDlg.h"

#include "app/LaunchContext.h"
#include "res/resource.h"
#include "setup/SuiteApplications.h"

CWdmDriverDlg::CWdmDriverDlg() : CDialog(IDD_WDM_DRIVER)
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
  ResolveSourceDirectory(m_szSourceDir, TRUE);
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
  CloseSuiteApplications();

  VersionClass version;
  ClassifyWindowsVersion(&version);
  const BOOL bWin98FirstEdition = version.m_bWin98 && !version.m_bWin98SE;
  if (version.m_bWin95 || bWin98FirstEdition || version.m_bWinNT4 || version.m_bWinNT5) {
    // No caption of its own: the box shows the program's name.
    p->MessageBoxA(m_hWnd, "This WDM driver can only be installed on Windows 98SE/ME/2000", 0,
                   MB_OK);
    p->ExitProcess(0);
    return;
  }

  // Windows 98 SE and ME hand the setup over before this dialog is shown;
  // should it be shown there all the same, the disc's own setup for those
  // systems installs the WDM driver, so nothing is installed here.
  p->EndWaitCursor();
  EndDialog(IDOK);
}
