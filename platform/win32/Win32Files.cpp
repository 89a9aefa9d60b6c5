// Directories and files.
#include "platform/win32/Win32Platform.h"

UINT CWin32Platform::GetWindowsDirectoryA(LPSTR pszBuffer, UINT uSize)
{
  return ::GetWindowsDirectoryA(pszBuffer, uSize);
}

UINT CWin32Platform::GetSystemDirectoryA(LPSTR pszBuffer, UINT uSize)
{
  return ::GetSystemDirectoryA(pszBuffer, uSize);
}

DWORD CWin32Platform::GetCurrentDirectoryA(DWORD nBufferLength, LPSTR pszBuffer)
{
  return ::GetCurrentDirectoryA(nBufferLength, pszBuffer);
}

BOOL CWin32Platform::SetCurrentDirectoryA(LPCSTR pszPath)
{
  return ::SetCurrentDirectoryA(pszPath);
}

DWORD CWin32Platform::GetFullPathNameA(LPCSTR pszFileName, DWORD nBufferLength, LPSTR pszBuffer,
                                       LPSTR* ppszFilePart)
{
  return ::GetFullPathNameA(pszFileName, nBufferLength, pszBuffer, ppszFilePart);
}

DWORD CWin32Platform::GetShortPathNameA(LPCSTR pszLong, LPSTR pszShort, DWORD cchBuffer)
{
  return ::GetShortPathNameA(pszLong, pszShort, cchBuffer);
}

BOOL CWin32Platform::CreateDirectoryA(LPCSTR pszPath, LPSECURITY_ATTRIBUTES pSa)
{
  return ::CreateDirectoryA(pszPath, pSa);
}

HANDLE CWin32Platform::FindFirstFileA(LPCSTR pszPattern, LPWIN32_FIND_DATAA pData)
{
  return ::FindFirstFileA(pszPattern, pData);
}

BOOL CWin32Platform::FindNextFileA(HANDLE hFind, LPWIN32_FIND_DATAA pData)
{
  return ::FindNextFileA(hFind, pData);
}

BOOL CWin32Platform::FindClose(HANDLE hFind)
{
  return ::FindClose(hFind);
}

BOOL CWin32Platform::CopyFileA(LPCSTR pszExisting, LPCSTR pszNew, BOOL bFailIfExists)
{
  return ::CopyFileA(pszExisting, pszNew, bFailIfExists);
}

DWORD CWin32Platform::GetFileAttributesA(LPCSTR pszPath)
{
  return ::GetFileAttributesA(pszPath);
}

BOOL CWin32Platform::SetFileAttributesA(LPCSTR pszPath, DWORD dwAttributes)
{
  return ::SetFileAttributesA(pszPath, dwAttributes);
}

BOOL CWin32Platform::DeleteFileA(LPCSTR pszPath)
{
  return ::DeleteFileA(pszPath);
}
