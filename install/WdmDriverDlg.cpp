#include "install/WdmDriverDlg.h"

#include "res/resource.h"

CWdmDriverDlg::CWdmDriverDlg() : CDialog(IDD_WDM_DRIVER) {}
