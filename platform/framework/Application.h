// The application object: the program has exactly one, a global that the
// entry point (or the simulated computer) runs once through RunApplication.
#ifndef PLATFORM_FRAMEWORK_APPLICATION_H
#define PLATFORM_FRAMEWORK_APPLICATION_H

#include "platform/Platform.h"

class CApplication {
public:
  CApplication();
  virtual ~CApplication();

  // The start-up routine. Returning FALSE ends the program; nothing runs a
  // message loop, so returning TRUE ends it as well.
  virtual BOOL InitInstance() = 0;

  HINSTANCE m_hInstance;
  // The command-line text after the program's own name and the blanks that
  // follow it; points into the process's command line, so it may be changed
  // in place.
  LPSTR m_lpCmdLine;

  // Argument 0 of the command line without quotes, or the module file name
  // when the command line is empty. FALSE, with pszPath empty, when it does
  // not fit in cbPath bytes.
  BOOL GetProgramPath(LPSTR pszPath, DWORD cbPath) const;

  static CApplication* GetApp();

private:
  CApplication(const CApplication&);
  CApplication& operator=(const CApplication&);
};

// Runs the one application object: switches the critical-error and
// file-open error boxes off (error mode 0x8001), splits the command line,
// calls InitInstance once and returns the process's exit code. Paths that
// end the process themselves do not return here. *pbInitResult, when given,
// receives what InitInstance returned.
int RunApplication(HINSTANCE hInstance, BOOL* pbInitResult = 0);

#endif
