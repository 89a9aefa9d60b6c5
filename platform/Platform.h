// The platform services the launcher uses, by their Win32 names and with
// Win32 semantics.
//
// All of the launcher's logic reaches the operating system through this one
// interface: CWin32Platform (platform/win32) carries each call to the real
// function; the simulated computer (tools/sim) answers it from a machine
// folder. Arguments, results and failure codes are those of the Win32
// function of the same name; where a caller relies on something more, the
// comment says so.
#ifndef PLATFORM_PLATFORM_H
#define PLATFORM_PLATFORM_H

#include "platform/Win32Types.h"

// An open byte stream (the launcher's "rb" and "r+" files).
typedef struct SetupStream__* HSTREAM;

// Origins of StreamSeek, as fseek's.
enum { STREAM_SEEK_SET = 0, STREAM_SEEK_CUR = 1, STREAM_SEEK_END = 2 };

class IPlatform {
public:
  virtual ~IPlatform() {}

  // --- Version and process start-up ---------------------------------------
  // Fills the record; dwOSVersionInfoSize must be sizeof(OSVERSIONINFOA).
  virtual BOOL GetVersionExA(LPOSVERSIONINFOA pInfo) = 0;
  // The whole command line, argument 0 included. The buffer belongs to the
  // process and may be changed in place (the launcher upper-cases its tail).
  virtual LPSTR GetCommandLineA() = 0;
  // hModule NULL: the program file. Returns the length copied; a path that
  // does not fit is cut to nSize - 1 characters (check the result).
  virtual DWORD GetModuleFileNameA(HMODULE hModule, LPSTR pszFile, DWORD nSize) = 0;
  virtual UINT SetErrorMode(UINT uMode) = 0;

  // --- Directories ----------------------------------------------------------
  // Results as Win32: the length without the terminator, or the size needed
  // (terminator included) when the buffer is too small, 0 on failure.
  virtual UINT GetWindowsDirectoryA(LPSTR pszBuffer, UINT uSize) = 0;
  virtual UINT GetSystemDirectoryA(LPSTR pszBuffer, UINT uSize) = 0;
  virtual DWORD GetCurrentDirectoryA(DWORD nBufferLength, LPSTR pszBuffer) = 0;
  // Non-zero when the directory exists (it then becomes the current one).
  virtual BOOL SetCurrentDirectoryA(LPCSTR pszPath) = 0;
  // A path made full as Windows completes a relative one, whether or not it
  // exists: against the current directory, "D:X" against drive D's own
  // current directory, "\X" against the current drive or share; "." and
  // ".." applied. A trailing backslash stays. *ppszFilePart (when given)
  // points at the last name in the buffer.
  virtual DWORD GetFullPathNameA(LPCSTR pszFileName, DWORD nBufferLength, LPSTR pszBuffer,
                                 LPSTR* ppszFilePart) = 0;
  // The 8.3 form of an existing path; 0 when it does not exist.
  virtual DWORD GetShortPathNameA(LPCSTR pszLong, LPSTR pszShort, DWORD cchBuffer) = 0;

  // --- Files ----------------------------------------------------------------
  // pszPath without a trailing backslash, except a drive root's own: nothing
  // documents that Windows 9x accepts one.
  virtual BOOL CreateDirectoryA(LPCSTR pszPath, LPSECURITY_ATTRIBUTES pSa) = 0;
  // Wildcards * and ?, names matched without regard to case; returns
  // INVALID_HANDLE_VALUE when nothing matches.
  virtual HANDLE FindFirstFileA(LPCSTR pszPattern, LPWIN32_FIND_DATAA pData) = 0;
  virtual BOOL FindNextFileA(HANDLE hFind, LPWIN32_FIND_DATAA pData) = 0;
  virtual BOOL FindClose(HANDLE hFind) = 0;
  virtual BOOL CopyFileA(LPCSTR pszExisting, LPCSTR pszNew, BOOL bFailIfExists) = 0;
  virtual DWORD GetFileAttributesA(LPCSTR pszPath) = 0;
  virtual BOOL SetFileAttributesA(LPCSTR pszPath, DWORD dwAttributes) = 0;
  virtual BOOL DeleteFileA(LPCSTR pszPath) = 0;

  // --- Byte streams ---------------------------------------------------------
  // Mode "rb" (read) or "r+" (read and update in place; the file must exist).
  // Binary: no line-end translation. NULL when the file cannot be opened.
  virtual HSTREAM StreamOpen(LPCSTR pszPath, LPCSTR pszMode) = 0;
  // As fgets: reads at most cbBuffer - 1 bytes, stopping after a line feed,
  // and terminates the buffer. Returns the number of bytes read, 0 at the end.
  virtual DWORD StreamReadLine(HSTREAM hStream, LPSTR pszBuffer, DWORD cbBuffer) = 0;
  virtual LONG StreamTell(HSTREAM hStream) = 0;
  // Returns TRUE on success.
  virtual BOOL StreamSeek(HSTREAM hStream, LONG lOffset, int nOrigin) = 0;
  virtual DWORD StreamWrite(HSTREAM hStream, LPCVOID pData, DWORD cbData) = 0;
  virtual BOOL StreamFlush(HSTREAM hStream) = 0;
  virtual void StreamClose(HSTREAM hStream) = 0;

  // --- Profile (INI) files --------------------------------------------------
  // A file name without a directory means that file in the Windows directory.
  // Windows 9x keeps profile writes in a cache until another file is used or
  // the cache is flushed; a restart that another program blocks, or a power
  // cut, loses them. So each file written is flushed after its last write,
  // before Windows restarts or another program starts:
  // WritePrivateProfileStringA(NULL, NULL, NULL, file), whose result (FALSE
  // on Windows 9x) means nothing. Windows 9x also reads and writes only a
  // file's first 64 KB, and trims blanks off the string arguments in place
  // (the Win32 implementation hands it copies).
  virtual UINT GetPrivateProfileIntA(LPCSTR pszSection, LPCSTR pszKey, INT nDefault,
                                     LPCSTR pszFile) = 0;
  virtual DWORD GetPrivateProfileStringA(LPCSTR pszSection, LPCSTR pszKey, LPCSTR pszDefault,
                                         LPSTR pszReturned, DWORD nSize, LPCSTR pszFile) = 0;
  virtual BOOL WritePrivateProfileStringA(LPCSTR pszSection, LPCSTR pszKey, LPCSTR pszValue,
                                          LPCSTR pszFile) = 0;
  // WIN.INI, which Windows 9x caches apart and has no registry mapping for:
  // written only through this function, never by name through the private
  // one; WriteProfileStringA(NULL, NULL, NULL) flushes it.
  virtual BOOL WriteProfileStringA(LPCSTR pszSection, LPCSTR pszKey, LPCSTR pszValue) = 0;

  // --- Registry -------------------------------------------------------------
  // Hives HKEY_CLASSES_ROOT, HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE, HKEY_USERS.
  virtual LONG RegOpenKeyExA(HKEY hKey, LPCSTR pszSubKey, DWORD ulOptions, REGSAM samDesired,
                             PHKEY phkResult) = 0;
  virtual LONG RegQueryValueExA(HKEY hKey, LPCSTR pszValueName, LPDWORD pReserved, LPDWORD pType,
                                LPBYTE pData, LPDWORD pcbData) = 0;
  virtual LONG RegSetValueExA(HKEY hKey, LPCSTR pszValueName, DWORD Reserved, DWORD dwType,
                              const BYTE* pData, DWORD cbData) = 0;
  virtual LONG RegDeleteValueA(HKEY hKey, LPCSTR pszValueName) = 0;
  virtual LONG RegEnumKeyExA(HKEY hKey, DWORD dwIndex, LPSTR pszName, LPDWORD pcchName,
                             LPDWORD pReserved, LPSTR pszClass, LPDWORD pcchClass,
                             PFILETIME pftLastWriteTime) = 0;
  virtual LONG RegEnumValueA(HKEY hKey, DWORD dwIndex, LPSTR pszValueName, LPDWORD pcchValueName,
                             LPDWORD pReserved, LPDWORD pType, LPBYTE pData, LPDWORD pcbData) = 0;
  // Removes the key with all its subkeys and values, on every Windows.
  virtual LONG RegDeleteKeyA(HKEY hKey, LPCSTR pszSubKey) = 0;
  virtual LONG RegCloseKey(HKEY hKey) = 0;

  // --- Processes ------------------------------------------------------------
  virtual UINT WinExec(LPCSTR pszCmdLine, UINT uCmdShow) = 0;
  virtual BOOL CreateProcessA(LPCSTR pszApplicationName, LPSTR pszCommandLine,
                              LPSECURITY_ATTRIBUTES pProcessAttributes,
                              LPSECURITY_ATTRIBUTES pThreadAttributes, BOOL bInheritHandles,
                              DWORD dwCreationFlags, LPVOID pEnvironment,
                              LPCSTR pszCurrentDirectory, LPSTARTUPINFOA pStartupInfo,
                              LPPROCESS_INFORMATION pProcessInformation) = 0;
  virtual DWORD WaitForInputIdle(HANDLE hProcess, DWORD dwMilliseconds) = 0;
  virtual DWORD WaitForSingleObject(HANDLE hHandle, DWORD dwMilliseconds) = 0;
  virtual BOOL GetExitCodeProcess(HANDLE hProcess, LPDWORD pdwExitCode) = 0;
  virtual BOOL CloseHandle(HANDLE hObject) = 0;

  // --- Windows --------------------------------------------------------------
  virtual HWND FindWindowExA(HWND hWndParent, HWND hWndChildAfter, LPCSTR pszClass,
                             LPCSTR pszWindow) = 0;
  virtual LRESULT SendMessageA(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) = 0;
  virtual int MessageBoxA(HWND hWnd, LPCSTR pszText, LPCSTR pszCaption, UINT uType) = 0;

  // --- Timing, shutdown, process end ---------------------------------------
  virtual void Sleep(DWORD dwMilliseconds) = 0;
  virtual BOOL ExitWindowsEx(UINT uFlags, DWORD dwReason) = 0;
  // Does not return.
  virtual void ExitProcess(UINT uExitCode) = 0;

  // --- Dialogs, controls and resources -------------------------------------
  // Runs a modal dialog from the program's template; returns EndDialog's result.
  virtual INT_PTR DialogBoxParamA(HINSTANCE hInstance, LPCSTR pszTemplate, HWND hWndParent,
                                  DLGPROC pfnDialogFunc, LPARAM dwInitParam) = 0;
  virtual BOOL EndDialog(HWND hDlg, INT_PTR nResult) = 0;
  virtual HWND GetDlgItem(HWND hDlg, int nIdDlgItem) = 0;
  virtual BOOL EnableWindow(HWND hWnd, BOOL bEnable) = 0;
  virtual BOOL IsWindowEnabled(HWND hWnd) = 0;
  virtual BOOL ShowWindow(HWND hWnd, int nCmdShow) = 0;
  virtual BOOL IsWindowVisible(HWND hWnd) = 0;
  virtual BOOL RedrawWindow(HWND hWnd, const RECT* prcUpdate, HRGN hrgnUpdate, UINT uFlags) = 0;
  virtual HMENU GetSystemMenu(HWND hWnd, BOOL bRevert) = 0;
  virtual BOOL AppendMenuA(HMENU hMenu, UINT uFlags, UINT_PTR uIdNewItem, LPCSTR pszNewItem) = 0;
  virtual HICON LoadIconA(HINSTANCE hInstance, LPCSTR pszIconName) = 0;
  virtual int LoadStringA(HINSTANCE hInstance, UINT uId, LPSTR pszBuffer, int cchBufferMax) = 0;
  virtual BOOL IsIconic(HWND hWnd) = 0;
  virtual int GetSystemMetrics(int nIndex) = 0;
  virtual BOOL GetClientRect(HWND hWnd, LPRECT pRect) = 0;
  virtual HDC BeginPaint(HWND hWnd, LPPAINTSTRUCT pPaint) = 0;
  virtual BOOL EndPaint(HWND hWnd, const PAINTSTRUCT* pPaint) = 0;
  virtual BOOL DrawIcon(HDC hDC, int x, int y, HICON hIcon) = 0;
  // The platform's wait (hourglass) cursor: shown / ended.
  virtual void BeginWaitCursor() = 0;
  virtual void EndWaitCursor() = 0;
  // The three-dimensional look of the standard controls.
  virtual void Enable3dControls() = 0;
};

// The platform the logic runs against. The Windows entry point points it at
// the Win32 implementation; the simulated computer and the tests at theirs.
IPlatform* Platform();
void SetPlatform(IPlatform* pPlatform);

#endif // PLATFORM_PLATFORM_H
