#include "platform/framework/Dialog.h"

#include "platform/framework/Application.h"

// The dialog object whose WM_INITDIALOG is being delivered; a modal run
// passes it as the init parameter, later messages find it by window.
// The launcher has at most two dialogs at once (a dialog and its About box),
// so a short table of running dialogs is enough.
static const int kMaxRunning = 4;
static CDialog* s_apRunning[kMaxRunning];
static HWND s_ahRunning[kMaxRunning];

static CDialog* FindDialog(HWND hDlg)
{
  for (int i = 0; i < kMaxRunning; ++i) {
    if (s_apRunning[i] != 0 && s_ahRunning[i] == hDlg)
      return s_apRunning[i];
  }
  return 0;
}

static void Register(CDialog* pDlg, HWND hDlg)
{
  for (int i = 0; i < kMaxRunning; ++i) {
    if (s_apRunning[i] == 0) {
      s_apRunning[i] = pDlg;
      s_ahRunning[i] = hDlg;
      return;
    }
  }
}

static void Unregister(CDialog* pDlg)
{
  for (int i = 0; i < kMaxRunning; ++i) {
    if (s_apRunning[i] == pDlg) {
      s_apRunning[i] = 0;
      s_ahRunning[i] = 0;
    }
  }
}

CDialog::CDialog(UINT nIdTemplate, HWND hWndParent)
    : m_hWnd(0), m_nIdTemplate(nIdTemplate), m_hWndParent(hWndParent)
{
}

CDialog::~CDialog()
{
  Unregister(this);
}

INT_PTR CDialog::DoModal()
{
  CApplication* pApp = CApplication::GetApp();
  HINSTANCE hInst = pApp ? pApp->m_hInstance : 0;
  INT_PTR nResult = Platform()->DialogBoxParamA(hInst, MAKEINTRESOURCEA(m_nIdTemplate),
                                                m_hWndParent, &CDialog::DialogProc,
                                                (LPARAM)this);
  Unregister(this);
  m_hWnd = 0;
  return nResult;
}

void CDialog::EndDialog(INT_PTR nResult)
{
  Platform()->EndDialog(m_hWnd, nResult);
}

void CDialog::DoDataExchange() {}

BOOL CDialog::OnInitDialog()
{
  return TRUE;
}

void CDialog::OnOK()
{
  EndDialog(IDOK);
}

void CDialog::OnCancel()
{
  EndDialog(IDCANCEL);
}

BOOL CDialog::OnClicked(UINT) { return FALSE; }

BOOL CDialog::OnSysCommand(UINT, LPARAM) { return FALSE; }

BOOL CDialog::OnPaint() { return FALSE; }

HICON CDialog::OnQueryDragIcon() { return 0; }

HWND CDialog::GetDlgItem(int nId) const
{
  return Platform()->GetDlgItem(m_hWnd, nId);
}

void CDialog::SetIcon(HICON hIcon)
{
  Platform()->SendMessageA(m_hWnd, WM_SETICON, ICON_BIG, (LPARAM)hIcon);
  Platform()->SendMessageA(m_hWnd, WM_SETICON, ICON_SMALL, (LPARAM)hIcon);
}

BOOL CDialog::PaintIconIfMinimized(HICON hIcon)
{
  IPlatform* p = Platform();
  if (!p->IsIconic(m_hWnd))
    return FALSE;
  PAINTSTRUCT ps;
  HDC hDC = p->BeginPaint(m_hWnd, &ps);
  p->SendMessageA(m_hWnd, WM_ICONERASEBKGND, (WPARAM)hDC, 0);
  RECT rc;
  p->GetClientRect(m_hWnd, &rc);
  int cxIcon = p->GetSystemMetrics(SM_CXICON);
  int cyIcon = p->GetSystemMetrics(SM_CYICON);
  int x = ((rc.right - rc.left) - cxIcon + 1) / 2;
  int y = ((rc.bottom - rc.top) - cyIcon + 1) / 2;
  p->DrawIcon(hDC, x, y, hIcon);
  p->EndPaint(m_hWnd, &ps);
  return TRUE;
}

INT_PTR CALLBACK CDialog::DialogProc(HWND hDlg, UINT uMsg, WPARAM wParam, LPARAM lParam)
{
  CDialog* pDlg;
  if (uMsg == WM_INITDIALOG) {
    pDlg = (CDialog*)lParam;
    if (pDlg == 0)
      return FALSE;
    pDlg->m_hWnd = hDlg;
    Register(pDlg, hDlg);
  } else {
    pDlg = FindDialog(hDlg);
    if (pDlg == 0)
      return FALSE;
  }
  return pDlg->OnMessage(uMsg, wParam, lParam);
}

INT_PTR CDialog::OnMessage(UINT uMsg, WPARAM wParam, LPARAM lParam)
{
  switch (uMsg) {
  case WM_INITDIALOG:
    DoDataExchange();
    return OnInitDialog();
  case WM_COMMAND: {
    UINT nId = LOWORD(wParam);
    UINT nCode = HIWORD(wParam);
    if (nCode != BN_CLICKED)
      return FALSE;
    if (nId == IDOK) {
      OnOK();
      return TRUE;
    }
    if (nId == IDCANCEL) {
      OnCancel();
      return TRUE;
    }
    return OnClicked(nId);
  }
  case WM_SYSCOMMAND:
    return OnSysCommand((UINT)wParam, lParam);
  case WM_PAINT:
    return OnPaint();
  case WM_QUERYDRAGICON:
    return (INT_PTR)OnQueryDragIcon();
  default:
    return FALSE;
  }
}
