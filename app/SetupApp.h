// The launcher's application object and its start-up routine.
#ifndef APP_SETUPAPP_H
#define APP_SETUPAPP_H

#include "app/LaunchContext.h"
#include "platform/framework/Application.h"

class CSetupApp : public CApplication {
public:
  CSetupApp();
  virtual ~CSetupApp();

  // The start-up routine: builds the launch context, applies the system
  // adjustments and takes exactly one path.
  virtual BOOL InitInstance();

  // The launch context's flags, in this order: the six version flags
  // (m_version.m_bWin95 ... m_bWin98SE), then m_bSourcePathSet, which only
  // the driver installation sets.
  VersionClass m_version;
  LONG m_bSourcePathSet;
};

#endif
