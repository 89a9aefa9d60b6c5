#include "platform/framework/Button.h"

BOOL CButton::Bind(HWND hDlg, int nId)
{
  m_hWnd = Platform()->GetDlgItem(hDlg, nId);
  return m_hWnd != 0;
}

int CButton::GetCheck() const
{
  return (int)Platform()->SendMessageA(m_hWnd, BM_GETCHECK, 0, 0);
}

void CButton::SetCheck(int nCheck)
{
  Platform()->SendMessageA(m_hWnd, BM_SETCHECK, (WPARAM)nCheck, 0);
}

void CButton::EnableWindow(BOOL bEnable)
{
  Platform()->EnableWindow(m_hWnd, bEnable);
}

void CButton::ShowWindow(int nCmdShow)
{
  Platform()->ShowWindow(m_hWnd, nCmdShow);
}
