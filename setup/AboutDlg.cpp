#include "setup/AboutDlg.h"

#include "res/resource.h"

CAboutDlg::CAboutDlg(HWND hWndParent) : CDialog(IDD_ABOUTBOX, hWndParent) {}
