#include "install/VxdDriverDlg.h"

#include "install/InfOptionPatch.h"
#include "install/LaunchContext.h"
#include "platform/StrBuf.h"
#include "platform/framework/Application.h"
#include "res/resource.h"

CVxdDriverDlg::CVxdDriverDlg(LONG* pbSourcePathSet, SuiteCloser pfnCloseSuite)
    : CDialog(IDD_VXD_DRIVER), m_nFullPackage(0), m_pbSourcePathSet(pbSourcePathSet),
      m_pfnCloseSuite(pfnCloseSuite), m_hIcon(0)
{
  m_szSourceDir[0] = '\0';
  CApplication* pApp = CApplication::GetApp();
  m_hIcon = Platform()->LoadIconA(pApp ? pApp->m_hInstance : 0, MAKEINTRESOURCEA(IDI_SETUP));
}

void CVxdDriverDlg::DoDataExchange()
{
  m_jacks.Bind(m_hWnd);
  m_btnDisableMidi.Bind(m_hWnd, IDC_DISABLE_MIDI);
  m_btnDisableGame.Bind(m_hWnd, IDC_DISABLE_GAME);
}

BOOL CVxdDriverDlg::OnInitDialog()
{
  CDialog::OnInitDialog();
  SetIcon(m_hIcon);

  // A web setup's files lie next to the program.
  ResolveSourceDirectory(m_szSourceDir);

  // Without a source directory the bare name would mean the Windows
  // directory's Setup.ini, so the default stands then.
  m_nFullPackage = 0;
  char szIni[MAX_PATH];
  if (m_szSourceDir[0] != '\0' && StrConcat(szIni, sizeof szIni, m_szSourceDir, "Setup.ini"))
    m_nFullPackage = (INT)Platform()->GetPrivateProfileIntA("InstallOption", "FullPackage", 0, szIni);

  m_jacks.SetDefaults();
  return TRUE;
}

BOOL CVxdDriverDlg::OnClicked(UINT nIdControl)
{
  return m_jacks.OnClicked(nIdControl);
}

BOOL CVxdDriverDlg::OnPaint()
{
  return PaintIconIfMinimized(m_hIcon);
}

HICON CVxdDriverDlg::OnQueryDragIcon()
{
  return m_hIcon;
}

void CVxdDriverDlg::GetOptions(VxdDriverOptions* pOptions) const
{
  pOptions->m_bDisableMidi = m_btnDisableMidi.IsChecked();
  pOptions->m_bDisableGame = m_btnDisableGame.IsChecked();
  pOptions->m_bSoundCardJacks = m_jacks.m_btnSoundCardJacks.IsChecked();
  pOptions->m_bLineInAsRear = m_jacks.m_btnLineInAsRear.IsChecked();
  pOptions->m_bLineInAsBass = m_jacks.m_btnLineInAsBass.IsChecked();
  pOptions->m_bMicAsBass = m_jacks.m_btnMicAsBass.IsChecked();
}

void CVxdDriverDlg::OnOK()
{
  IPlatform* p = Platform();
  p->BeginWaitCursor();
  m_pfnCloseSuite();

  VersionClass version;
  ClassifyWindowsVersion(&version);
  if (version.m_bWinNT4 || version.m_bWinNT5) {
    p->MessageBoxA(m_hWnd, "This driver can not be used on Windows NT or Windows 2000.",
                   "Information", MB_OK);
    p->ExitProcess(0);
    return;
  }

  VxdDriverOptions options;
  GetOptions(&options);

  DriverInstallContext context;
  context.m_pVersion = &version;
  context.m_pszSourceDir = m_szSourceDir;
  context.m_pbSourcePathSet = m_pbSourcePathSet;
  context.m_hDlg = m_hWnd;
  context.m_pVxdOptions = &options;
  context.m_nFullPackage = m_nFullPackage;
  RunDriverInstall(g_vxdDialogInstall, context);

  // The sequence ends the process; should it ever come back, no window is
  // left open.
  p->EndWaitCursor();
  EndDialog(IDOK);
}
