// The Wdm driver options dialog of web setups.
#ifndef INSTALL_WDMDRIVERDLG_H
#define INSTALL_WDMDRIVERDLG_H

#include "platform/framework/Dialog.h"

class CWdmDriverDlg : public CDialog {
public:
  CWdmDriverDlg();
};

#endif
