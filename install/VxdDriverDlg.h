// The Vxd driver options dialog of web setups.
#ifndef INSTALL_VXDDRIVERDLG_H
#define INSTALL_VXDDRIVERDLG_H

#include "platform/framework/Dialog.h"

class CVxdDriverDlg : public CDialog {
public:
  CVxdDriverDlg();
};

#endif
