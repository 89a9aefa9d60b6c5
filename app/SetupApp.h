// The launcher's application object and its start-up routine.
#ifndef APP_SETUPAPP_H
#define APP_SETUPAPP_H

#include "platform/framework/Application.h"

class CSetupApp : public CApplication {
public:
  CSetupApp();
  virtual ~CSetupApp();

  // The start-up routine: builds the launch context, applies the system
  // adjustments and takes exactly one path.
  virtual BOOL InitInstance();

  // Launch context flags, in this order.
  LONG m_bWin95;
  LONG m_bWin98;
  LONG m_bWinME;
  LONG m_bWinNT4;
  LONG m_bWinNT5;
  LONG m_bWin98SE;
  LONG m_bSourcePathSet;
};

#endif
