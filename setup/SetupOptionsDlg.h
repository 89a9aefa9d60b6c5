// The main options dialog (template 102).
#ifndef SETUP_SETUPOPTIONSDLG_H
#define SETUP_SETUPOPTIONSDLG_H

#include "platform/framework/Dialog.h"

class CSetupOptionsDlg : public CDialog {
public:
  CSetupOptionsDlg();
};

#endif
