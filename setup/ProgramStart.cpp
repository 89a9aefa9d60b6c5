#include "setup/ProgramStart.h"

#include "platform/StrBuf.h"

BOOL StartShownProgram(char* pszCommandLine, PROCESS_INFORMATION* pInfo)
{
  STARTUPINFOA si;
  MemSet(&si, 0, sizeof si);
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESHOWWINDOW;
  si.wShowWindow = SW_SHOW;
  MemSet(pInfo, 0, sizeof *pInfo);
  return Platform()->CreateProcessA(0, pszCommandLine, 0, 0, FALSE, 0, 0, 0, &si, pInfo);
}
