// The platform services carried to the real Win32 functions.
//
// Each operation calls the function of the same name in KERNEL32, USER32 or
// ADVAPI32 and returns its result unchanged, except where the comment in
// Platform.h promises more than the function does on some Windows version
// (RegDeleteKeyA, the profile functions' arguments that Windows 9x changes
// in place) or where the interface has no single Win32 function
// (streams, the wait cursor, the 3D look). Only functions that Windows 95 and
// NT 4.0 both export and implement are used.
#ifndef PLATFORM_WIN32_WIN32PLATFORM_H
#define PLATFORM_WIN32_WIN32PLATFORM_H

#include "platform/Platform.h"

class CWin32Platform : public IPlatform {
public:
  CWin32Platform() : m_hPrevCursor(0), m_nWaitDepth(0) {}
  virtual ~CWin32Platform() {}

  // Version and process start-up (Win32System.cpp)
  virtual BOOL GetVersionExA(LPOSVERSIONINFOA pInfo);
  virtual LPSTR GetCommandLineA();
  virtual DWORD GetModuleFileNameA(HMODULE hModule, LPSTR pszFile, DWORD nSize);
  virtual UINT SetErrorMode(UINT uMode);

  // Directories and files (Win32Files.cpp)
  virtual UINT GetWindowsDirectoryA(LPSTR pszBuffer, UINT uSize);
  virtual UINT GetSystemDirectoryA(LPSTR pszBuffer, UINT uSize);
  virtual DWORD GetCurrentDirectoryA(DWORD nBufferLength, LPSTR pszBuffer);
  virtual BOOL SetCurrentDirectoryA(LPCSTR pszPath);
  virtual DWORD GetFullPathNameA(LPCSTR pszFileName, DWORD nBufferLength, LPSTR pszBuffer,
                                 LPSTR* ppszFilePart);
  virtual DWORD GetShortPathNameA(LPCSTR pszLong, LPSTR pszShort, DWORD cchBuffer);
  virtual BOOL CreateDirectoryA(LPCSTR pszPath, LPSECURITY_ATTRIBUTES pSa);
  virtual HANDLE FindFirstFileA(LPCSTR pszPattern, LPWIN32_FIND_DATAA pData);
  virtual BOOL FindNextFileA(HANDLE hFind, LPWIN32_FIND_DATAA pData);
  virtual BOOL FindClose(HANDLE hFind);
  virtual BOOL CopyFileA(LPCSTR pszExisting, LPCSTR pszNew, BOOL bFailIfExists);
  virtual DWORD GetFileAttributesA(LPCSTR pszPath);
  virtual BOOL SetFileAttributesA(LPCSTR pszPath, DWORD dwAttributes);
  virtual BOOL DeleteFileA(LPCSTR pszPath);

  // Byte streams (Win32Streams.cpp)
  virtual HSTREAM StreamOpen(LPCSTR pszPath, LPCSTR pszMode);
  virtual DWORD StreamReadLine(HSTREAM hStream, LPSTR pszBuffer, DWORD cbBuffer);
  virtual LONG StreamTell(HSTREAM hStream);
  virtual BOOL StreamSeek(HSTREAM hStream, LONG lOffset, int nOrigin);
  virtual DWORD StreamWrite(HSTREAM hStream, LPCVOID pData, DWORD cbData);
  virtual BOOL StreamFlush(HSTREAM hStream);
  virtual void StreamClose(HSTREAM hStream);

  // Profile files (Win32Profile.cpp): every string argument is handed over
  // as a writable copy (sections, keys and files up to MAX_PATH bytes, values
  // up to 1536); a longer one is refused.
  virtual UINT GetPrivateProfileIntA(LPCSTR pszSection, LPCSTR pszKey, INT nDefault,
                                     LPCSTR pszFile);
  virtual DWORD GetPrivateProfileStringA(LPCSTR pszSection, LPCSTR pszKey, LPCSTR pszDefault,
                                         LPSTR pszReturned, DWORD nSize, LPCSTR pszFile);
  virtual BOOL WritePrivateProfileStringA(LPCSTR pszSection, LPCSTR pszKey, LPCSTR pszValue,
                                          LPCSTR pszFile);
  virtual BOOL WriteProfileStringA(LPCSTR pszSection, LPCSTR pszKey, LPCSTR pszValue);

  // Registry (Win32Registry.cpp)
  virtual LONG RegOpenKeyExA(HKEY hKey, LPCSTR pszSubKey, DWORD ulOptions, REGSAM samDesired,
                             PHKEY phkResult);
  virtual LONG RegQueryValueExA(HKEY hKey, LPCSTR pszValueName, LPDWORD pReserved, LPDWORD pType,
                                LPBYTE pData, LPDWORD pcbData);
  virtual LONG RegSetValueExA(HKEY hKey, LPCSTR pszValueName, DWORD Reserved, DWORD dwType,
                              const BYTE* pData, DWORD cbData);
  virtual LONG RegDeleteValueA(HKEY hKey, LPCSTR pszValueName);
  virtual LONG RegEnumKeyExA(HKEY hKey, DWORD dwIndex, LPSTR pszName, LPDWORD pcchName,
                             LPDWORD pReserved, LPSTR pszClass, LPDWORD pcchClass,
                             PFILETIME pftLastWriteTime);
  virtual LONG RegEnumValueA(HKEY hKey, DWORD dwIndex, LPSTR pszValueName, LPDWORD pcchValueName,
                             LPDWORD pReserved, LPDWORD pType, LPBYTE pData, LPDWORD pcbData);
  virtual LONG RegDeleteKeyA(HKEY hKey, LPCSTR pszSubKey);
  virtual LONG RegCloseKey(HKEY hKey);

  // Processes, timing, shutdown, process end (Win32Process.cpp)
  virtual UINT WinExec(LPCSTR pszCmdLine, UINT uCmdShow);
  virtual BOOL CreateProcessA(LPCSTR pszApplicationName, LPSTR pszCommandLine,
                              LPSECURITY_ATTRIBUTES pProcessAttributes,
                              LPSECURITY_ATTRIBUTES pThreadAttributes, BOOL bInheritHandles,
                              DWORD dwCreationFlags, LPVOID pEnvironment,
                              LPCSTR pszCurrentDirectory, LPSTARTUPINFOA pStartupInfo,
                              LPPROCESS_INFORMATION pProcessInformation);
  virtual DWORD WaitForInputIdle(HANDLE hProcess, DWORD dwMilliseconds);
  virtual DWORD WaitForSingleObject(HANDLE hHandle, DWORD dwMilliseconds);
  virtual BOOL GetExitCodeProcess(HANDLE hProcess, LPDWORD pdwExitCode);
  virtual BOOL CloseHandle(HANDLE hObject);
  virtual void Sleep(DWORD dwMilliseconds);
  virtual BOOL ExitWindowsEx(UINT uFlags, DWORD dwReason);
  virtual void ExitProcess(UINT uExitCode);

  // Windows, dialogs, controls, resources, cursor (Win32Windows.cpp)
  virtual HWND FindWindowExA(HWND hWndParent, HWND hWndChildAfter, LPCSTR pszClass,
                             LPCSTR pszWindow);
  virtual LRESULT SendMessageA(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam);
  virtual int MessageBoxA(HWND hWnd, LPCSTR pszText, LPCSTR pszCaption, UINT uType);
  virtual INT_PTR DialogBoxParamA(HINSTANCE hInstance, LPCSTR pszTemplate, HWND hWndParent,
                                  DLGPROC pfnDialogFunc, LPARAM dwInitParam);
  virtual BOOL EndDialog(HWND hDlg, INT_PTR nResult);
  virtual HWND GetDlgItem(HWND hDlg, int nIdDlgItem);
  virtual BOOL EnableWindow(HWND hWnd, BOOL bEnable);
  virtual BOOL IsWindowEnabled(HWND hWnd);
  virtual BOOL ShowWindow(HWND hWnd, int nCmdShow);
  virtual BOOL IsWindowVisible(HWND hWnd);
  virtual BOOL RedrawWindow(HWND hWnd, const RECT* prcUpdate, HRGN hrgnUpdate, UINT uFlags);
  virtual HMENU GetSystemMenu(HWND hWnd, BOOL bRevert);
  virtual BOOL AppendMenuA(HMENU hMenu, UINT uFlags, UINT_PTR uIdNewItem, LPCSTR pszNewItem);
  virtual HICON LoadIconA(HINSTANCE hInstance, LPCSTR pszIconName);
  virtual int LoadStringA(HINSTANCE hInstance, UINT uId, LPSTR pszBuffer, int cchBufferMax);
  virtual BOOL IsIconic(HWND hWnd);
  virtual int GetSystemMetrics(int nIndex);
  virtual BOOL GetClientRect(HWND hWnd, LPRECT pRect);
  virtual HDC BeginPaint(HWND hWnd, LPPAINTSTRUCT pPaint);
  virtual BOOL EndPaint(HWND hWnd, const PAINTSTRUCT* pPaint);
  virtual BOOL DrawIcon(HDC hDC, int x, int y, HICON hIcon);
  // Nested pairs keep the hourglass until the outermost end, which puts
  // back the cursor that was showing before the first begin.
  virtual void BeginWaitCursor();
  virtual void EndWaitCursor();
  // Nothing to do: from Windows 95 and NT 4.0 on, the standard controls of
  // a dialog are drawn three-dimensional by the system itself.
  virtual void Enable3dControls();

private:
  HCURSOR m_hPrevCursor;
  int m_nWaitDepth;

  CWin32Platform(const CWin32Platform&);
  CWin32Platform& operator=(const CWin32Platform&);
};

#endif // PLATFORM_WIN32_WIN32PLATFORM_H
