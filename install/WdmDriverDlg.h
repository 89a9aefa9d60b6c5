// The WDM driver options dialog of web setups (template 131). The systems
// that start-up shows it on cannot take the WDM driver, so Install closes
// the suite applications and then refuses.
#ifndef INSTALL_WDMDRIVERDLG_H
#define INSTALL_WDMDRIVERDLG_H

#include "install/DriverInstall.h"
#include "install/JackOptionButtons.h"
#include "platform/framework/Button.h"
#include "platform/framework/Dialog.h"

class CWdmDriverDlg : public CDialog {
public:
  // pfnCloseSuite: closes the suite applications when Install is pressed.
  explicit CWdmDriverDlg(SuiteCloser pfnCloseSuite);

protected:
  virtual void DoDataExchange();
  virtual BOOL OnInitDialog();
  // Install.
  virtual void OnOK();
  virtual BOOL OnClicked(UINT nIdControl);

private:
  CJackOptionButtons m_jacks;     // 1007, 1006, 1013, 1011, 1012
  CButton m_btnDisableLegacy;     // 1000
  char m_szSourceDir[MAX_PATH];   // ends in a backslash; empty when unknown
  SuiteCloser m_pfnCloseSuite;
};

#endif
