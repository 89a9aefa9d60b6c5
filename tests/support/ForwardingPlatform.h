// A platform that passes every call on to another one, for tests that change
// the answer of a few operations and leave the rest alone. Each operation is
// virtual: a test platform derives from this and overrides only what it needs.
// Without an inner platform every operation fails: it answers zero (or a null
// pointer) and does nothing.
#ifndef TESTS_SUPPORT_FORWARDINGPLATFORM_H
#define TESTS_SUPPORT_FORWARDINGPLATFORM_H

#include <utility>

#include "platform/Platform.h"

class CForwardingPlatform : public IPlatform {
public:
  explicit CForwardingPlatform(IPlatform* pInner = nullptr) : m_pInner(pInner) {}

  BOOL GetVersionExA(LPOSVERSIONINFOA pInfo) override { return Forward(&IPlatform::GetVersionExA, pInfo); }
  LPSTR GetCommandLineA() override { return Forward(&IPlatform::GetCommandLineA); }
  DWORD GetModuleFileNameA(HMODULE hModule, LPSTR pszFile, DWORD nSize) override { return Forward(&IPlatform::GetModuleFileNameA, hModule, pszFile, nSize); }
  UINT SetErrorMode(UINT uMode) override { return Forward(&IPlatform::SetErrorMode, uMode); }
  UINT GetWindowsDirectoryA(LPSTR pszBuffer, UINT uSize) override { return Forward(&IPlatform::GetWindowsDirectoryA, pszBuffer, uSize); }
  UINT GetSystemDirectoryA(LPSTR pszBuffer, UINT uSize) override { return Forward(&IPlatform::GetSystemDirectoryA, pszBuffer, uSize); }
  DWORD GetCurrentDirectoryA(DWORD nBufferLength, LPSTR pszBuffer) override { return Forward(&IPlatform::GetCurrentDirectoryA, nBufferLength, pszBuffer); }
  BOOL SetCurrentDirectoryA(LPCSTR pszPath) override { return Forward(&IPlatform::SetCurrentDirectoryA, pszPath); }
  DWORD GetFullPathNameA(LPCSTR pszFileName, DWORD nBufferLength, LPSTR pszBuffer, LPSTR* ppszFilePart) override { return Forward(&IPlatform::GetFullPathNameA, pszFileName, nBufferLength, pszBuffer, ppszFilePart); }
  DWORD GetShortPathNameA(LPCSTR pszLong, LPSTR pszShort, DWORD cchBuffer) override { return Forward(&IPlatform::GetShortPathNameA, pszLong, pszShort, cchBuffer); }
  BOOL CreateDirectoryA(LPCSTR pszPath, LPSECURITY_ATTRIBUTES pSa) override { return Forward(&IPlatform::CreateDirectoryA, pszPath, pSa); }
  HANDLE FindFirstFileA(LPCSTR pszPattern, LPWIN32_FIND_DATAA pData) override { return Forward(&IPlatform::FindFirstFileA, pszPattern, pData); }
  BOOL FindNextFileA(HANDLE hFind, LPWIN32_FIND_DATAA pData) override { return Forward(&IPlatform::FindNextFileA, hFind, pData); }
  BOOL FindClose(HANDLE hFind) override { return Forward(&IPlatform::FindClose, hFind); }
  BOOL CopyFileA(LPCSTR pszExisting, LPCSTR pszNew, BOOL bFailIfExists) override { return Forward(&IPlatform::CopyFileA, pszExisting, pszNew, bFailIfExists); }
  DWORD GetFileAttributesA(LPCSTR pszPath) override { return Forward(&IPlatform::GetFileAttributesA, pszPath); }
  BOOL SetFileAttributesA(LPCSTR pszPath, DWORD dwAttributes) override { return Forward(&IPlatform::SetFileAttributesA, pszPath, dwAttributes); }
  BOOL DeleteFileA(LPCSTR pszPath) override { return Forward(&IPlatform::DeleteFileA, pszPath); }
  HSTREAM StreamOpen(LPCSTR pszPath, LPCSTR pszMode) override { return Forward(&IPlatform::StreamOpen, pszPath, pszMode); }
  DWORD StreamReadLine(HSTREAM hStream, LPSTR pszBuffer, DWORD cbBuffer) override { return Forward(&IPlatform::StreamReadLine, hStream, pszBuffer, cbBuffer); }
  LONG StreamTell(HSTREAM hStream) override { return Forward(&IPlatform::StreamTell, hStream); }
  BOOL StreamSeek(HSTREAM hStream, LONG lOffset, int nOrigin) override { return Forward(&IPlatform::StreamSeek, hStream, lOffset, nOrigin); }
  DWORD StreamWrite(HSTREAM hStream, LPCVOID pData, DWORD cbData) override { return Forward(&IPlatform::StreamWrite, hStream, pData, cbData); }
  BOOL StreamFlush(HSTREAM hStream) override { return Forward(&IPlatform::StreamFlush, hStream); }
  void StreamClose(HSTREAM hStream) override { return Forward(&IPlatform::StreamClose, hStream); }
  UINT GetPrivateProfileIntA(LPCSTR pszSection, LPCSTR pszKey, INT nDefault, LPCSTR pszFile) override { return Forward(&IPlatform::GetPrivateProfileIntA, pszSection, pszKey, nDefault, pszFile); }
  DWORD GetPrivateProfileStringA(LPCSTR pszSection, LPCSTR pszKey, LPCSTR pszDefault, LPSTR pszReturned, DWORD nSize, LPCSTR pszFile) override { return Forward(&IPlatform::GetPrivateProfileStringA, pszSection, pszKey, pszDefault, pszReturned, nSize, pszFile); }
  BOOL WritePrivateProfileStringA(LPCSTR pszSection, LPCSTR pszKey, LPCSTR pszValue, LPCSTR pszFile) override { return Forward(&IPlatform::WritePrivateProfileStringA, pszSection, pszKey, pszValue, pszFile); }
  BOOL WriteProfileStringA(LPCSTR pszSection, LPCSTR pszKey, LPCSTR pszValue) override { return Forward(&IPlatform::WriteProfileStringA, pszSection, pszKey, pszValue); }
  LONG RegOpenKeyExA(HKEY hKey, LPCSTR pszSubKey, DWORD ulOptions, REGSAM samDesired, PHKEY phkResult) override { return Forward(&IPlatform::RegOpenKeyExA, hKey, pszSubKey, ulOptions, samDesired, phkResult); }
  LONG RegQueryValueExA(HKEY hKey, LPCSTR pszValueName, LPDWORD pReserved, LPDWORD pType, LPBYTE pData, LPDWORD pcbData) override { return Forward(&IPlatform::RegQueryValueExA, hKey, pszValueName, pReserved, pType, pData, pcbData); }
  LONG RegSetValueExA(HKEY hKey, LPCSTR pszValueName, DWORD Reserved, DWORD dwType, const BYTE* pData, DWORD cbData) override { return Forward(&IPlatform::RegSetValueExA, hKey, pszValueName, Reserved, dwType, pData, cbData); }
  LONG RegDeleteValueA(HKEY hKey, LPCSTR pszValueName) override { return Forward(&IPlatform::RegDeleteValueA, hKey, pszValueName); }
  LONG RegDeleteKeyA(HKEY hKey, LPCSTR pszSubKey) override { return Forward(&IPlatform::RegDeleteKeyA, hKey, pszSubKey); }
  LONG RegEnumKeyExA(HKEY hKey, DWORD dwIndex, LPSTR pszName, LPDWORD pcchName, LPDWORD pReserved, LPSTR pszClass, LPDWORD pcchClass, PFILETIME pftLastWriteTime) override { return Forward(&IPlatform::RegEnumKeyExA, hKey, dwIndex, pszName, pcchName, pReserved, pszClass, pcchClass, pftLastWriteTime); }
  LONG RegEnumValueA(HKEY hKey, DWORD dwIndex, LPSTR pszValueName, LPDWORD pcchValueName, LPDWORD pReserved, LPDWORD pType, LPBYTE pData, LPDWORD pcbData) override { return Forward(&IPlatform::RegEnumValueA, hKey, dwIndex, pszValueName, pcchValueName, pReserved, pType, pData, pcbData); }
  LONG RegCloseKey(HKEY hKey) override { return Forward(&IPlatform::RegCloseKey, hKey); }
  UINT WinExec(LPCSTR pszCmdLine, UINT uCmdShow) override { return Forward(&IPlatform::WinExec, pszCmdLine, uCmdShow); }
  BOOL CreateProcessA(LPCSTR pszApplicationName, LPSTR pszCommandLine, LPSECURITY_ATTRIBUTES pProcessAttributes, LPSECURITY_ATTRIBUTES pThreadAttributes, BOOL bInheritHandles, DWORD dwCreationFlags, LPVOID pEnvironment, LPCSTR pszCurrentDirectory, LPSTARTUPINFOA pStartupInfo, LPPROCESS_INFORMATION pProcessInformation) override { return Forward(&IPlatform::CreateProcessA, pszApplicationName, pszCommandLine, pProcessAttributes, pThreadAttributes, bInheritHandles, dwCreationFlags, pEnvironment, pszCurrentDirectory, pStartupInfo, pProcessInformation); }
  DWORD WaitForInputIdle(HANDLE hProcess, DWORD dwMilliseconds) override { return Forward(&IPlatform::WaitForInputIdle, hProcess, dwMilliseconds); }
  DWORD WaitForSingleObject(HANDLE hHandle, DWORD dwMilliseconds) override { return Forward(&IPlatform::WaitForSingleObject, hHandle, dwMilliseconds); }
  BOOL GetExitCodeProcess(HANDLE hProcess, LPDWORD pdwExitCode) override { return Forward(&IPlatform::GetExitCodeProcess, hProcess, pdwExitCode); }
  BOOL CloseHandle(HANDLE hObject) override { return Forward(&IPlatform::CloseHandle, hObject); }
  HWND FindWindowExA(HWND hWndParent, HWND hWndChildAfter, LPCSTR pszClass, LPCSTR pszWindow) override { return Forward(&IPlatform::FindWindowExA, hWndParent, hWndChildAfter, pszClass, pszWindow); }
  LRESULT SendMessageA(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) override { return Forward(&IPlatform::SendMessageA, hWnd, uMsg, wParam, lParam); }
  int MessageBoxA(HWND hWnd, LPCSTR pszText, LPCSTR pszCaption, UINT uType) override { return Forward(&IPlatform::MessageBoxA, hWnd, pszText, pszCaption, uType); }
  void Sleep(DWORD dwMilliseconds) override { return Forward(&IPlatform::Sleep, dwMilliseconds); }
  BOOL ExitWindowsEx(UINT uFlags, DWORD dwReason) override { return Forward(&IPlatform::ExitWindowsEx, uFlags, dwReason); }
  void ExitProcess(UINT uExitCode) override { return Forward(&IPlatform::ExitProcess, uExitCode); }
  INT_PTR DialogBoxParamA(HINSTANCE hInstance, LPCSTR pszTemplate, HWND hWndParent, DLGPROC pfnDialogFunc, LPARAM dwInitParam) override { return Forward(&IPlatform::DialogBoxParamA, hInstance, pszTemplate, hWndParent, pfnDialogFunc, dwInitParam); }
  BOOL EndDialog(HWND hDlg, INT_PTR nResult) override { return Forward(&IPlatform::EndDialog, hDlg, nResult); }
  HWND GetDlgItem(HWND hDlg, int nIdDlgItem) override { return Forward(&IPlatform::GetDlgItem, hDlg, nIdDlgItem); }
  BOOL EnableWindow(HWND hWnd, BOOL bEnable) override { return Forward(&IPlatform::EnableWindow, hWnd, bEnable); }
  BOOL IsWindowEnabled(HWND hWnd) override { return Forward(&IPlatform::IsWindowEnabled, hWnd); }
  BOOL ShowWindow(HWND hWnd, int nCmdShow) override { return Forward(&IPlatform::ShowWindow, hWnd, nCmdShow); }
  BOOL IsWindowVisible(HWND hWnd) override { return Forward(&IPlatform::IsWindowVisible, hWnd); }
  BOOL RedrawWindow(HWND hWnd, const RECT* prcUpdate, HRGN hrgnUpdate, UINT uFlags) override { return Forward(&IPlatform::RedrawWindow, hWnd, prcUpdate, hrgnUpdate, uFlags); }
  HMENU GetSystemMenu(HWND hWnd, BOOL bRevert) override { return Forward(&IPlatform::GetSystemMenu, hWnd, bRevert); }
  BOOL AppendMenuA(HMENU hMenu, UINT uFlags, UINT_PTR uIdNewItem, LPCSTR pszNewItem) override { return Forward(&IPlatform::AppendMenuA, hMenu, uFlags, uIdNewItem, pszNewItem); }
  HICON LoadIconA(HINSTANCE hInstance, LPCSTR pszIconName) override { return Forward(&IPlatform::LoadIconA, hInstance, pszIconName); }
  int LoadStringA(HINSTANCE hInstance, UINT uId, LPSTR pszBuffer, int cchBufferMax) override { return Forward(&IPlatform::LoadStringA, hInstance, uId, pszBuffer, cchBufferMax); }
  BOOL IsIconic(HWND hWnd) override { return Forward(&IPlatform::IsIconic, hWnd); }
  int GetSystemMetrics(int nIndex) override { return Forward(&IPlatform::GetSystemMetrics, nIndex); }
  BOOL GetClientRect(HWND hWnd, LPRECT pRect) override { return Forward(&IPlatform::GetClientRect, hWnd, pRect); }
  HDC BeginPaint(HWND hWnd, LPPAINTSTRUCT pPaint) override { return Forward(&IPlatform::BeginPaint, hWnd, pPaint); }
  BOOL EndPaint(HWND hWnd, const PAINTSTRUCT* pPaint) override { return Forward(&IPlatform::EndPaint, hWnd, pPaint); }
  BOOL DrawIcon(HDC hDC, int x, int y, HICON hIcon) override { return Forward(&IPlatform::DrawIcon, hDC, x, y, hIcon); }
  void BeginWaitCursor() override { return Forward(&IPlatform::BeginWaitCursor); }
  void EndWaitCursor() override { return Forward(&IPlatform::EndWaitCursor); }
  void Enable3dControls() override { return Forward(&IPlatform::Enable3dControls); }

protected:
  IPlatform* m_pInner;

private:
  template <typename R, typename... P, typename... A>
  R Forward(R (IPlatform::*pfnOperation)(P...), A&&... args)
  {
    if (m_pInner == nullptr)
      return R();
    return (m_pInner->*pfnOperation)(std::forward<A>(args)...);
  }
};

#endif
