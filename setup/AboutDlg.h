// The About box of the main options dialog's system menu (template 100).
#ifndef SETUP_ABOUTDLG_H
#define SETUP_ABOUTDLG_H

#include "platform/framework/Dialog.h"

// No state and no handlers of its own: OK, Esc and the close box end it.
class CAboutDlg : public CDialog {
public:
  explicit CAboutDlg(HWND hWndParent = 0);
};

#endif
