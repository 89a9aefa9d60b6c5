// Modal dialogs built from a template id. One static dialog procedure routes
// the messages the launcher's dialogs answer to virtual handlers; everything
// else gets the platform's default dialog handling.
#ifndef PLATFORM_FRAMEWORK_DIALOG_H
#define PLATFORM_FRAMEWORK_DIALOG_H

#include "platform/Platform.h"

class CDialog {
public:
  explicit CDialog(UINT nIdTemplate, HWND hWndParent = 0);
  virtual ~CDialog();

  // Runs the dialog modally; returns the result given to EndDialog.
  INT_PTR DoModal();
  void EndDialog(INT_PTR nResult);

protected:
  // Binds the control members to the template's controls (called first in
  // WM_INITDIALOG).
  virtual void DoDataExchange();
  // WM_INITDIALOG after the controls are bound. Returns TRUE to let the
  // platform set the focus.
  virtual BOOL OnInitDialog();
  // IDOK: ends the dialog with IDOK.
  virtual void OnOK();
  // IDCANCEL (Cancel, Esc, the close box): ends the dialog with IDCANCEL.
  virtual void OnCancel();
  // BN_CLICKED from any other control. Returns TRUE when handled.
  virtual BOOL OnClicked(UINT nIdControl);
  // WM_SYSCOMMAND. Returns TRUE when handled; FALSE gives default handling.
  virtual BOOL OnSysCommand(UINT nId, LPARAM lParam);
  // WM_PAINT. Returns TRUE when handled; FALSE gives default painting.
  virtual BOOL OnPaint();
  // WM_QUERYDRAGICON. NULL gives default handling.
  virtual HICON OnQueryDragIcon();

  // Helpers for the handlers.
  HWND GetDlgItem(int nId) const;
  // Draws hIcon centred in the client area while the dialog is minimised.
  // Returns FALSE (nothing drawn) when it is not minimised.
  BOOL PaintIconIfMinimized(HICON hIcon);
  void SetIcon(HICON hIcon);

  HWND m_hWnd;
  UINT m_nIdTemplate;
  HWND m_hWndParent;

private:
  static INT_PTR CALLBACK DialogProc(HWND hDlg, UINT uMsg, WPARAM wParam, LPARAM lParam);
  INT_PTR OnMessage(UINT uMsg, WPARAM wParam, LPARAM lParam);

  CDialog(const CDialog&);
  CDialog& operator=(const CDialog&);
};

#endif
