// A platform for direct calls of the start-up's public operations with
// inputs the simulated computer cannot give (odd version records, network
// current directories).
#ifndef TESTS_UNIT_STARTUPFAKEPLATFORM_H
#define TESTS_UNIT_STARTUPFAKEPLATFORM_H

#include <cstring>
#include <string>

#include "platform/Platform.h"

// Answers what the start-up asks before it touches any file: the version
// record, the command line and the current directory. Every other operation
// answers as a failure.
class CStartFakePlatform : public IPlatform {
 public:
  DWORD m_dwPlatformId = 1, m_dwMajor = 4, m_dwMinor = 10, m_dwBuild = 0x040A07CE;
  std::string m_commandLine;       // argument 0 and the rest
  std::string m_currentDirectory;  // as GetCurrentDirectoryA gives it

  BOOL GetVersionExA(LPOSVERSIONINFOA pInfo) override {
    if (pInfo->dwOSVersionInfoSize != sizeof(OSVERSIONINFOA)) return 0;
    pInfo->dwPlatformId = m_dwPlatformId;
    pInfo->dwMajorVersion = m_dwMajor;
    pInfo->dwMinorVersion = m_dwMinor;
    pInfo->dwBuildNumber = m_dwBuild;
    pInfo->szCSDVersion[0] = '\0';
    return 1;
  }
  LPSTR GetCommandLineA() override { return &m_commandLine[0]; }
  DWORD GetModuleFileNameA(HMODULE hModule, LPSTR pszFile, DWORD nSize) override { return 0; }
  UINT SetErrorMode(UINT uMode) override { return 0; }
  UINT GetWindowsDirectoryA(LPSTR pszBuffer, UINT uSize) override { return 0; }
  UINT GetSystemDirectoryA(LPSTR pszBuffer, UINT uSize) override { return 0; }
  DWORD GetCurrentDirectoryA(DWORD nBufferLength, LPSTR pszBuffer) override {
    DWORD n = (DWORD)m_currentDirectory.size();
    if (n == 0) return 0;
    if (nBufferLength <= n) return n + 1;  // the size needed
    std::memcpy(pszBuffer, m_currentDirectory.c_str(), n + 1);
    return n;
  }
  BOOL SetCurrentDirectoryA(LPCSTR pszPath) override { return 0; }
  DWORD GetShortPathNameA(LPCSTR pszLong, LPSTR pszShort, DWORD cchBuffer) override { return 0; }
  BOOL CreateDirectoryA(LPCSTR pszPath, LPSECURITY_ATTRIBUTES pSa) override { return 0; }
  HANDLE FindFirstFileA(LPCSTR pszPattern, LPWIN32_FIND_DATAA pData) override { return 0; }
  BOOL FindNextFileA(HANDLE hFind, LPWIN32_FIND_DATAA pData) override { return 0; }
  BOOL FindClose(HANDLE hFind) override { return 0; }
  BOOL CopyFileA(LPCSTR pszExisting, LPCSTR pszNew, BOOL bFailIfExists) override { return 0; }
  DWORD GetFileAttributesA(LPCSTR pszPath) override { return 0; }
  BOOL SetFileAttributesA(LPCSTR pszPath, DWORD dwAttributes) override { return 0; }
  BOOL DeleteFileA(LPCSTR pszPath) override { return 0; }
  HSTREAM StreamOpen(LPCSTR pszPath, LPCSTR pszMode) override { return 0; }
  DWORD StreamReadLine(HSTREAM hStream, LPSTR pszBuffer, DWORD cbBuffer) override { return 0; }
  LONG StreamTell(HSTREAM hStream) override { return 0; }
  BOOL StreamSeek(HSTREAM hStream, LONG lOffset, int nOrigin) override { return 0; }
  DWORD StreamWrite(HSTREAM hStream, LPCVOID pData, DWORD cbData) override { return 0; }
  BOOL StreamFlush(HSTREAM hStream) override { return 0; }
  void StreamClose(HSTREAM hStream) override {}
  UINT GetPrivateProfileIntA(LPCSTR pszSection, LPCSTR pszKey, INT nDefault,
                             LPCSTR pszFile) override {
    return 0;
  }
  DWORD GetPrivateProfileStringA(LPCSTR pszSection, LPCSTR pszKey, LPCSTR pszDefault,
                                 LPSTR pszReturned, DWORD nSize, LPCSTR pszFile) override {
    return 0;
  }
  BOOL WritePrivateProfileStringA(LPCSTR pszSection, LPCSTR pszKey, LPCSTR pszValue,
                                  LPCSTR pszFile) override {
    return 0;
  }
  LONG RegOpenKeyExA(HKEY hKey, LPCSTR pszSubKey, DWORD ulOptions, REGSAM samDesired,
                     PHKEY phkResult) override {
    return 0;
  }
  LONG RegQueryValueExA(HKEY hKey, LPCSTR pszValueName, LPDWORD pReserved, LPDWORD pType,
                        LPBYTE pData, LPDWORD pcbData) override {
    return 0;
  }
  LONG RegSetValueExA(HKEY hKey, LPCSTR pszValueName, DWORD Reserved, DWORD dwType,
                      const BYTE* pData, DWORD cbData) override {
    return 0;
  }
  LONG RegDeleteValueA(HKEY hKey, LPCSTR pszValueName) override { return 0; }
  LONG RegEnumKeyExA(HKEY hKey, DWORD dwIndex, LPSTR pszName, LPDWORD pcchName, LPDWORD pReserved,
                     LPSTR pszClass, LPDWORD pcchClass, PFILETIME pftLastWriteTime) override {
    return 0;
  }
  LONG RegEnumValueA(HKEY hKey, DWORD dwIndex, LPSTR pszValueName, LPDWORD pcchValueName,
                     LPDWORD pReserved, LPDWORD pType, LPBYTE pData, LPDWORD pcbData) override {
    return 0;
  }
  LONG RegDeleteKeyA(HKEY hKey, LPCSTR pszSubKey) override { return 0; }
  LONG RegCloseKey(HKEY hKey) override { return 0; }
  UINT WinExec(LPCSTR pszCmdLine, UINT uCmdShow) override { return 0; }
  BOOL CreateProcessA(LPCSTR pszApplicationName, LPSTR pszCommandLine,
                      LPSECURITY_ATTRIBUTES pProcessAttributes,
                      LPSECURITY_ATTRIBUTES pThreadAttributes, BOOL bInheritHandles,
                      DWORD dwCreationFlags, LPVOID pEnvironment, LPCSTR pszCurrentDirectory,
                      LPSTARTUPINFOA pStartupInfo,
                      LPPROCESS_INFORMATION pProcessInformation) override {
    return 0;
  }
  DWORD WaitForInputIdle(HANDLE hProcess, DWORD dwMilliseconds) override { return 0; }
  DWORD WaitForSingleObject(HANDLE hHandle, DWORD dwMilliseconds) override { return 0; }
  BOOL GetExitCodeProcess(HANDLE hProcess, LPDWORD pdwExitCode) override { return 0; }
  BOOL CloseHandle(HANDLE hObject) override { return 0; }
  HWND FindWindowExA(HWND hWndParent, HWND hWndChildAfter, LPCSTR pszClass,
                     LPCSTR pszWindow) override {
    return 0;
  }
  LRESULT SendMessageA(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) override { return 0; }
  int MessageBoxA(HWND hWnd, LPCSTR pszText, LPCSTR pszCaption, UINT uType) override { return 0; }
  void Sleep(DWORD dwMilliseconds) override {}
  BOOL ExitWindowsEx(UINT uFlags, DWORD dwReason) override { return 0; }
  void ExitProcess(UINT uExitCode) override {}
  INT_PTR DialogBoxParamA(HINSTANCE hInstance, LPCSTR pszTemplate, HWND hWndParent,
                          DLGPROC pfnDialogFunc, LPARAM dwInitParam) override {
    return 0;
  }
  BOOL EndDialog(HWND hDlg, INT_PTR nResult) override { return 0; }
  HWND GetDlgItem(HWND hDlg, int nIdDlgItem) override { return 0; }
  BOOL EnableWindow(HWND hWnd, BOOL bEnable) override { return 0; }
  BOOL IsWindowEnabled(HWND hWnd) override { return 0; }
  BOOL ShowWindow(HWND hWnd, int nCmdShow) override { return 0; }
  BOOL IsWindowVisible(HWND hWnd) override { return 0; }
  BOOL RedrawWindow(HWND hWnd, const RECT* prcUpdate, HRGN hrgnUpdate, UINT uFlags) override {
    return 0;
  }
  HMENU GetSystemMenu(HWND hWnd, BOOL bRevert) override { return 0; }
  BOOL AppendMenuA(HMENU hMenu, UINT uFlags, UINT_PTR uIdNewItem, LPCSTR pszNewItem) override {
    return 0;
  }
  HICON LoadIconA(HINSTANCE hInstance, LPCSTR pszIconName) override { return 0; }
  int LoadStringA(HINSTANCE hInstance, UINT uId, LPSTR pszBuffer, int cchBufferMax) override {
    return 0;
  }
  BOOL IsIconic(HWND hWnd) override { return 0; }
  int GetSystemMetrics(int nIndex) override { return 0; }
  BOOL GetClientRect(HWND hWnd, LPRECT pRect) override { return 0; }
  HDC BeginPaint(HWND hWnd, LPPAINTSTRUCT pPaint) override { return 0; }
  BOOL EndPaint(HWND hWnd, const PAINTSTRUCT* pPaint) override { return 0; }
  BOOL DrawIcon(HDC hDC, int x, int y, HICON hIcon) override { return 0; }
  void BeginWaitCursor() override {}
  void EndWaitCursor() override {}
  void Enable3dControls() override {}
};

// Makes a platform the Platform() for the lifetime of the scope.
class CFakePlatformScope {
 public:
  explicit CFakePlatformScope(IPlatform* p) : m_pPrevious(Platform()) { SetPlatform(p); }
  ~CFakePlatformScope() { SetPlatform(m_pPrevious); }

 private:
  IPlatform* m_pPrevious;
};

#endif
