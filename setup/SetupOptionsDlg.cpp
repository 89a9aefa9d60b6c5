#include "setup/SetupOptionsDlg.h"

#include "install/DriverInstall.h"
#include "platform/StrBuf.h"
#include "platform/framework/Application.h"
#include "res/resource.h"
#include "setup/AboutDlg.h"
#include "setup/PackageSetup.h"
#include "setup/PackageUninstall.h"
#include "setup/SuiteApplications.h"

static const int kIdApplications = IDC_INSTALL_APPLICATIONS;
static const int kIdDriver = IDC_INSTALL_DRIVER;
static const int kIdWaitText = IDC_PLEASE_WAIT;
static const UINT kIdmAboutBox = 0x0010;
// Lets the Please-wait line show before the long work starts.
static const DWORD kPleaseWaitPause = 200;

static HINSTANCE AppInstance()
{
  CApplication* pApp = CApplication::GetApp();
  return pApp ? pApp->m_hInstance : 0;
}

CSetupOptionsDlg::CSetupOptionsDlg(LONG* pbSourcePathSet)
    : CDialog(IDD_SETUP_OPTIONS), m_hWaitText(0), m_hIcon(0), m_nWindowsMEDriver(1),
      m_nWindows98SEDriver(0), m_pbSourcePathSet(pbSourcePathSet)
{
  MemSet(&m_version, 0, sizeof m_version);
  m_szSourceDir[0] = '\0';
  m_hIcon = Platform()->LoadIconA(AppInstance(), MAKEINTRESOURCEA(IDI_SETUP));
}

void CSetupOptionsDlg::DoDataExchange()
{
  m_btnOk.Bind(m_hWnd, IDOK);
  m_chkApplications.Bind(m_hWnd, kIdApplications);
  m_chkDriver.Bind(m_hWnd, kIdDriver);
  m_hWaitText = GetDlgItem(kIdWaitText);
}

void CSetupOptionsDlg::AppendAboutMenuItem()
{
  IPlatform* p = Platform();
  HMENU hMenu = p->GetSystemMenu(m_hWnd, FALSE);
  if (hMenu == 0)
    return;
  char szText[128];
  if (p->LoadStringA(AppInstance(), IDS_ABOUTBOX, szText, sizeof szText) <= 0 || szText[0] == '\0')
    return;
  p->AppendMenuA(hMenu, MF_SEPARATOR, 0, 0);
  p->AppendMenuA(hMenu, MF_STRING, kIdmAboutBox, szText);
}

BOOL CSetupOptionsDlg::OnInitDialog()
{
  IPlatform* p = Platform();
  ResolveSourceDirectory(m_szSourceDir);
  AppendAboutMenuItem();
  SetIcon(m_hIcon);

  m_chkApplications.SetCheck(BST_CHECKED);
  m_chkDriver.SetCheck(BST_CHECKED);
  p->ShowWindow(m_hWaitText, SW_HIDE);

  // setup.ini is read from the source directory only; an unresolved one
  // leaves the defaults.
  InstallOptions options;
  options.m_nWindowsMEDriver = 1;
  options.m_nWindows98SEDriver = 0;
  if (m_szSourceDir[0] != '\0')
    ReadInstallOptions(m_szSourceDir, &options);
  m_nWindowsMEDriver = options.m_nWindowsMEDriver;
  m_nWindows98SEDriver = options.m_nWindows98SEDriver;

  ClassifyWindowsVersion(&m_version);

  // The driver set is for Windows 95/98 only; the applications box stays
  // ticked, so OK stays enabled.
  if (m_version.m_bWinNT4) {
    m_chkDriver.SetCheck(BST_UNCHECKED);
    m_chkDriver.EnableWindow(FALSE);
  }

  // Without the package's setup program the disc is incomplete: say so and
  // end before the dialog is ever shown.
  char szSetup[MAX_PATH];
  if (!FindPackageSetup(m_version, m_szSourceDir, m_nWindowsMEDriver, m_nWindows98SEDriver,
                        szSetup)) {
    p->MessageBoxA(m_hWnd, "Can not find installation files.", "Setup", MB_OK);
    p->ExitProcess(0);
  }
  return TRUE;
}

void CSetupOptionsDlg::UpdateOkButton()
{
  m_btnOk.EnableWindow(m_chkApplications.IsChecked() || m_chkDriver.IsChecked());
}

BOOL CSetupOptionsDlg::OnClicked(UINT nIdControl)
{
  if (nIdControl != (UINT)kIdApplications && nIdControl != (UINT)kIdDriver)
    return FALSE;
  UpdateOkButton();
  return TRUE;
}

BOOL CSetupOptionsDlg::OnSysCommand(UINT nId, LPARAM)
{
  if ((nId & 0xFFF0) != kIdmAboutBox)
    return FALSE;
  CAboutDlg dlgAbout(m_hWnd);
  dlgAbout.DoModal();
  return TRUE;
}

BOOL CSetupOptionsDlg::OnPaint()
{
  return PaintIconIfMinimized(m_hIcon);
}

HICON CSetupOptionsDlg::OnQueryDragIcon()
{
  return m_hIcon;
}

void CSetupOptionsDlg::EnterPleaseWait()
{
  IPlatform* p = Platform();
  m_chkApplications.ShowWindow(SW_HIDE);
  m_chkDriver.ShowWindow(SW_HIDE);
  p->ShowWindow(m_hWaitText, SW_SHOW);
  p->RedrawWindow(m_hWaitText, 0, 0, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  p->Sleep(kPleaseWaitPause);
}

BOOL CSetupOptionsDlg::InstallDriver()
{
  DriverInstallContext context;
  MemSet(&context, 0, sizeof context);
  context.m_pVersion = &m_version;
  context.m_pszSourceDir = m_szSourceDir;
  context.m_pbSourcePathSet = m_pbSourcePathSet;
  context.m_hDlg = m_hWnd;
  RunDriverInstall(g_mainDialogInstall, context);

  // With the applications to follow, their setup restarts Windows (through
  // the package reboot flag); alone, the driver needs the restart now.
  if (m_chkApplications.IsChecked())
    return FALSE;
  Platform()->ShowWindow(m_hWnd, SW_SHOW);
  FinishDriverInstall(m_hWnd);
  EndDialog(IDOK);
  return TRUE;
}

void CSetupOptionsDlg::InstallApplications()
{
  IPlatform* p = Platform();
  CloseSuiteApplications();
  UninstallPreviousPackage();
  p->ShowWindow(m_hWnd, SW_HIDE);

  char szSetup[MAX_PATH];
  if (!FindPackageSetup(m_version, m_szSourceDir, m_nWindowsMEDriver, m_nWindows98SEDriver,
                        szSetup)) {
    p->MessageBoxA(m_hWnd, "Can not find the Tonivex Applications setup program.", "Setup", MB_OK);
    EndDialog(IDOK);
    return;
  }
  WritePackageRebootFlag();
  StartPackageSetup(szSetup);
  EndDialog(IDOK);
}

void CSetupOptionsDlg::OnOK()
{
  if (!m_chkApplications.IsChecked() && !m_chkDriver.IsChecked()) {
    EndDialog(IDCANCEL);
    return;
  }
  EnterPleaseWait();

  if (m_chkDriver.IsChecked() && !m_version.m_bWinNT4) {
    if (InstallDriver())
      return;
  }
  if (m_chkApplications.IsChecked()) {
    InstallApplications();
    return;
  }
  EndDialog(IDOK);
}
