// Processes, timing, shutdown and the end of the process.
#include "platform/win32/Win32Platform.h"

UINT CWin32Platform::WinExec(LPCSTR pszCmdLine, UINT uCmdShow)
{
  return ::WinExec(pszCmdLine, uCmdShow);
}

// The process and thread handles in *pProcessInformation belong to the
// caller, which closes them.
BOOL CWin32Platform::CreateProcessA(LPCSTR pszApplicationName, LPSTR pszCommandLine,
                                    LPSECURITY_ATTRIBUTES pProcessAttributes,
                                    LPSECURITY_ATTRIBUTES pThreadAttributes,
                                    BOOL bInheritHandles, DWORD dwCreationFlags,
                                    LPVOID pEnvironment, LPCSTR pszCurrentDirectory,
                                    LPSTARTUPINFOA pStartupInfo,
                                    LPPROCESS_INFORMATION pProcessInformation)
{
  return ::CreateProcessA(pszApplicationName, pszCommandLine, pProcessAttributes,
                          pThreadAttributes, bInheritHandles, dwCreationFlags, pEnvironment,
                          pszCurrentDirectory, pStartupInfo, pProcessInformation);
}

DWORD CWin32Platform::WaitForInputIdle(HANDLE hProcess, DWORD dwMilliseconds)
{
  return ::WaitForInputIdle(hProcess, dwMilliseconds);
}

DWORD CWin32Platform::WaitForSingleObject(HANDLE hHandle, DWORD dwMilliseconds)
{
  return ::WaitForSingleObject(hHandle, dwMilliseconds);
}

BOOL CWin32Platform::GetExitCodeProcess(HANDLE hProcess, LPDWORD pdwExitCode)
{
  return ::GetExitCodeProcess(hProcess, pdwExitCode);
}

BOOL CWin32Platform::CloseHandle(HANDLE hObject)
{
  return ::CloseHandle(hObject);
}

void CWin32Platform::Sleep(DWORD dwMilliseconds)
{
  ::Sleep(dwMilliseconds);
}

BOOL CWin32Platform::ExitWindowsEx(UINT uFlags, DWORD dwReason)
{
  return ::ExitWindowsEx(uFlags, dwReason);
}

// Ends at once, as the Win32 function does: handlers registered with atexit
// do not run (the launcher's objects own nothing that outlives the process).
void CWin32Platform::ExitProcess(UINT uExitCode)
{
  ::ExitProcess(uExitCode);
}
