// A button control (push button, check box or radio button) of a running
// dialog, bound to its template id.
#ifndef PLATFORM_FRAMEWORK_BUTTON_H
#define PLATFORM_FRAMEWORK_BUTTON_H

#include "platform/Platform.h"

class CButton {
public:
  CButton() : m_hWnd(0) {}

  // Binds to control nId of the dialog hDlg. FALSE when the dialog has none.
  BOOL Bind(HWND hDlg, int nId);

  int GetCheck() const;
  void SetCheck(int nCheck);
  BOOL IsChecked() const { return GetCheck() == BST_CHECKED; }
  void EnableWindow(BOOL bEnable);
  void ShowWindow(int nCmdShow);

private:
  HWND m_hWnd;

  CButton(const CButton&);
  CButton& operator=(const CButton&);
};

#endif
