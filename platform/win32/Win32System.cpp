// Version and process start-up.
#include "platform/win32/Win32Platform.h"

BOOL CWin32Platform::GetVersionExA(LPOSVERSIONINFOA pInfo)
{
  return ::GetVersionExA(pInfo);
}

LPSTR CWin32Platform::GetCommandLineA()
{
  // The process's own copy, writable for the life of the process.
  return ::GetCommandLineA();
}

DWORD CWin32Platform::GetModuleFileNameA(HMODULE hModule, LPSTR pszFile, DWORD nSize)
{
  return ::GetModuleFileNameA(hModule, pszFile, nSize);
}

UINT CWin32Platform::SetErrorMode(UINT uMode)
{
  return ::SetErrorMode(uMode);
}
