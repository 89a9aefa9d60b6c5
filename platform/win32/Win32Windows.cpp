// Windows, dialogs, controls, resources and the cursor.
#include "platform/win32/Win32Platform.h"

HWND CWin32Platform::FindWindowExA(HWND hWndParent, HWND hWndChildAfter, LPCSTR pszClass,
                                   LPCSTR pszWindow)
{
  return ::FindWindowExA(hWndParent, hWndChildAfter, pszClass, pszWindow);
}

LRESULT CWin32Platform::SendMessageA(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam)
{
  return ::SendMessageA(hWnd, uMsg, wParam, lParam);
}

int CWin32Platform::MessageBoxA(HWND hWnd, LPCSTR pszText, LPCSTR pszCaption, UINT uType)
{
  return ::MessageBoxA(hWnd, pszText, pszCaption, uType);
}

// The system picks the template in the user's language among those the
// program carries.
INT_PTR CWin32Platform::DialogBoxParamA(HINSTANCE hInstance, LPCSTR pszTemplate,
                                        HWND hWndParent, DLGPROC pfnDialogFunc,
                                        LPARAM dwInitParam)
{
  return ::DialogBoxParamA(hInstance, pszTemplate, hWndParent, pfnDialogFunc, dwInitParam);
}

BOOL CWin32Platform::EndDialog(HWND hDlg, INT_PTR nResult)
{
  return ::EndDialog(hDlg, nResult);
}

HWND CWin32Platform::GetDlgItem(HWND hDlg, int nIdDlgItem)
{
  return ::GetDlgItem(hDlg, nIdDlgItem);
}

BOOL CWin32Platform::EnableWindow(HWND hWnd, BOOL bEnable)
{
  return ::EnableWindow(hWnd, bEnable);
}

BOOL CWin32Platform::IsWindowEnabled(HWND hWnd)
{
  return ::IsWindowEnabled(hWnd);
}

BOOL CWin32Platform::ShowWindow(HWND hWnd, int nCmdShow)
{
  return ::ShowWindow(hWnd, nCmdShow);
}

BOOL CWin32Platform::IsWindowVisible(HWND hWnd)
{
  return ::IsWindowVisible(hWnd);
}

BOOL CWin32Platform::RedrawWindow(HWND hWnd, const RECT* prcUpdate, HRGN hrgnUpdate,
                                  UINT uFlags)
{
  return ::RedrawWindow(hWnd, prcUpdate, hrgnUpdate, uFlags);
}

HMENU CWin32Platform::GetSystemMenu(HWND hWnd, BOOL bRevert)
{
  return ::GetSystemMenu(hWnd, bRevert);
}

BOOL CWin32Platform::AppendMenuA(HMENU hMenu, UINT uFlags, UINT_PTR uIdNewItem,
                                 LPCSTR pszNewItem)
{
  return ::AppendMenuA(hMenu, uFlags, uIdNewItem, pszNewItem);
}

HICON CWin32Platform::LoadIconA(HINSTANCE hInstance, LPCSTR pszIconName)
{
  return ::LoadIconA(hInstance, pszIconName);
}

int CWin32Platform::LoadStringA(HINSTANCE hInstance, UINT uId, LPSTR pszBuffer, int cchBufferMax)
{
  return ::LoadStringA(hInstance, uId, pszBuffer, cchBufferMax);
}

BOOL CWin32Platform::IsIconic(HWND hWnd)
{
  return ::IsIconic(hWnd);
}

int CWin32Platform::GetSystemMetrics(int nIndex)
{
  return ::GetSystemMetrics(nIndex);
}

BOOL CWin32Platform::GetClientRect(HWND hWnd, LPRECT pRect)
{
  return ::GetClientRect(hWnd, pRect);
}

HDC CWin32Platform::BeginPaint(HWND hWnd, LPPAINTSTRUCT pPaint)
{
  return ::BeginPaint(hWnd, pPaint);
}

BOOL CWin32Platform::EndPaint(HWND hWnd, const PAINTSTRUCT* pPaint)
{
  return ::EndPaint(hWnd, pPaint);
}

BOOL CWin32Platform::DrawIcon(HDC hDC, int x, int y, HICON hIcon)
{
  return ::DrawIcon(hDC, x, y, hIcon);
}

// Nested pairs keep the hourglass until the outermost end, which puts back
// the cursor that was showing before the first begin.
static HCURSOR s_hPrevCursor = 0;
static int s_nWaitDepth = 0;

void CWin32Platform::BeginWaitCursor()
{
  HCURSOR hPrev = ::SetCursor(::LoadCursorA(0, IDC_WAIT));
  if (s_nWaitDepth++ == 0)
    s_hPrevCursor = hPrev;
}

void CWin32Platform::EndWaitCursor()
{
  if (s_nWaitDepth == 0)
    return;
  if (--s_nWaitDepth == 0)
    ::SetCursor(s_hPrevCursor);
}

// Nothing to do: from Windows 95 and NT 4.0 on, the standard controls of a
// dialog are drawn three-dimensional by the system itself.
void CWin32Platform::Enable3dControls() {}
