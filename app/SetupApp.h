// The launcher's application object and its start-up routine.
#ifndef APP_SETUPAPP_H
#define APP_SETUPAPP_H

#include "install/LaunchContext.h"
#include "platform/framework/Application.h"

class CSetupApp : public CApplication {
public:
  CSetupApp();
  virtual ~CSetupApp();

  // The start-up routine: builds the launch context, applies the system
  // adjustments and takes exactly one path.
  virtual BOOL InitInstance();

  // The launch context's flags, kept for the whole process. Only the driver
  // installation sets m_bSourcePathSet; the dialogs are handed its address.
  VersionClass m_version;
  LONG m_bSourcePathSet;
};

#endif
