// The main options dialog (template 102): install the device driver, the
// application package or both, from a disc started by hand.
#ifndef SETUP_SETUPOPTIONSDLG_H
#define SETUP_SETUPOPTIONSDLG_H

#include "install/LaunchContext.h"
#include "platform/framework/Button.h"
#include "platform/framework/Dialog.h"

class CSetupOptionsDlg : public CDialog {
public:
  // pbSourcePathSet: the application's flag that the SourcePath copies go on.
  explicit CSetupOptionsDlg(LONG* pbSourcePathSet);

protected:
  virtual void DoDataExchange();
  virtual BOOL OnInitDialog();
  virtual void OnOK();
  virtual BOOL OnClicked(UINT nIdControl);
  virtual BOOL OnSysCommand(UINT nId, LPARAM lParam);
  virtual BOOL OnPaint();
  virtual HICON OnQueryDragIcon();

private:
  void AppendAboutMenuItem();
  // OK is enabled exactly while at least one box is ticked.
  void UpdateOkButton();
  // Hides the boxes and shows "Please wait ....." at once, since no message
  // is dispatched until the OK handler ends.
  void EnterPleaseWait();
  // Returns TRUE when the dialog has ended (driver alone: restart).
  BOOL InstallDriver();
  void InstallApplications();

  CButton m_btnOk;
  CButton m_chkApplications;  // 1001
  CButton m_chkDriver;        // 1002
  HWND m_hWaitText;           // 1003
  HICON m_hIcon;

  // The dialog's own copies, made when it opens as start-up makes them.
  VersionClass m_version;
  char m_szSourceDir[MAX_PATH];
  INT m_nWindowsMEDriver;
  INT m_nWindows98SEDriver;
  LONG* m_pbSourcePathSet;
};

#endif
