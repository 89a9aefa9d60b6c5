// The VxD driver options dialog of web setups (template 103): the phone-jack
// wiring and the legacy ports, then the driver set next to the program is
// installed with those options written into its INF copies.
#ifndef INSTALL_VXDDRIVERDLG_H
#define INSTALL_VXDDRIVERDLG_H

#include "install/DriverInstall.h"
#include "install/JackOptionButtons.h"
#include "platform/framework/Button.h"
#include "platform/framework/Dialog.h"

struct VxdDriverOptions;

class CVxdDriverDlg : public CDialog {
public:
  // pbSourcePathSet: the application's flag that the SourcePath copies go
  // on; pfnCloseSuite: closes the suite applications before installing.
  CVxdDriverDlg(LONG* pbSourcePathSet, SuiteCloser pfnCloseSuite);

protected:
  virtual void DoDataExchange();
  virtual BOOL OnInitDialog();
  // Install: does not return.
  virtual void OnOK();
  virtual BOOL OnClicked(UINT nIdControl);
  virtual BOOL OnPaint();
  virtual HICON OnQueryDragIcon();

private:
  void GetOptions(VxdDriverOptions* pOptions) const;

  CJackOptionButtons m_jacks;   // 1013, 1011, 1012, 1007, 1006
  CButton m_btnDisableMidi;     // 1000
  CButton m_btnDisableGame;     // 1001
  char m_szSourceDir[MAX_PATH];  // ends in a backslash; empty when unknown
  INT m_nFullPackage;
  LONG* m_pbSourcePathSet;
  SuiteCloser m_pfnCloseSuite;
  HICON m_hIcon;
};

#endif
