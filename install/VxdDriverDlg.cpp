#include "install/VxdDriverDlg.h"

#include "res/resource.h"

CVxdDriverDlg::CVxdDriverDlg() : CDialog(IDD_VXD_DRIVER) {}
