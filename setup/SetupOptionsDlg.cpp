#include "setup/SetupOptionsDlg.h"

#include "res/resource.h"

CSetupOptionsDlg::CSetupOptionsDlg() : CDialog(IDD_SETUP_OPTIONS) {}
