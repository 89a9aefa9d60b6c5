// The platform services the launcher uses, by their Win32 names and with
// Win32 semantics.
//
// All of the launcher's logic reaches the operating system through this one
// interface: the Win32 implementation (platform/win32) carries each call to
// the real function; the simulated computer (tools/sim) answers it from a
// machine folder. Arguments, results and failure codes are those of the Win32
// function of the same name; where a caller relies on something more, the
// comment says so.
#ifndef PLATFORM_PLATFORM_H
#define PLATFORM_PLATFORM_H

#include "platform/Win32Types.h"

// An open byte stream (the launcher's "rb" and "r+" files).
typedef struct SetupStream__* HSTREAM;

// Origins of StreamSeek, as fseek's.
enum { STREAM_SEEK_SET = 0, STREAM_SEEK_CUR = 1, STREAM_SEEK_END = 2 };

// Each operation is declared PLATFORM_OP ... PLATFORM_PURE. In the Linux
// build that makes it a pure virtual function, which the simulated computer
// and the tests' platforms implement. In the Windows builds the system is the
// only platform: the operations are static members that platform/win32
// defines, so that each call compiles to the system call itself instead of a
// call through a virtual table. A new operation is declared here that way,
// defined as CWin32Platform::Name in the platform/win32 file of its area, and
// overridden in CSimPlatform (tools/sim); the tests' failing platform is made
// from these declarations.
#if defined(_WIN32)
#define PLATFORM_OP static
#define PLATFORM_PURE
#else
#define PLATFORM_OP virtual
#define PLATFORM_PURE = 0
#endif

class IPlatform {
public:
#if !defined(_WIN32)
  virtual ~IPlatform() {}
#endif

  // --- Version and process start-up ---------------------------------------
  // Fills the record; dwOSVersionInfoSize must be sizeof(OSVERSIONINFOA).
  PLATFORM_OP BOOL GetVersionExA(LPOSVERSIONINFOA pInfo) PLATFORM_PURE;
  // The whole command line, argument 0 included. The buffer belongs to the
  // process and may be changed in place (the launcher upper-cases its tail).
  PLATFORM_OP LPSTR GetCommandLineA() PLATFORM_PURE;
  // hModule NULL: the program file. Returns the length copied; a path that
  // does not fit is cut to nSize - 1 characters (check the result).
  PLATFORM_OP DWORD GetModuleFileNameA(HMODULE hModule, LPSTR pszFile, DWORD nSize) PLATFORM_PURE;
  PLATFORM_OP UINT SetErrorMode(UINT uMode) PLATFORM_PURE;

  // --- Directories ----------------------------------------------------------
  // Results as Win32: the length without the terminator, or the size needed
  // (terminator included) when the buffer is too small, 0 on failure.
  PLATFORM_OP UINT GetWindowsDirectoryA(LPSTR pszBuffer, UINT uSize) PLATFORM_PURE;
  PLATFORM_OP UINT GetSystemDirectoryA(LPSTR pszBuffer, UINT uSize) PLATFORM_PURE;
  PLATFORM_OP DWORD GetCurrentDirectoryA(DWORD nBufferLength, LPSTR pszBuffer) PLATFORM_PURE;
  // Non-zero when the directory exists (it then becomes the current one).
  PLATFORM_OP BOOL SetCurrentDirectoryA(LPCSTR pszPath) PLATFORM_PURE;
  // A path made full as Windows completes a relative one, whether or not it
  // exists: against the current directory, "D:X" against drive D's own
  // current directory, "\X" against the current drive or share; "." and
  // ".." applied. A trailing backslash stays. *ppszFilePart (when given)
  // points at the last name in the buffer.
  PLATFORM_OP DWORD GetFullPathNameA(LPCSTR pszFileName, DWORD nBufferLength, LPSTR pszBuffer,
                                     LPSTR* ppszFilePart) PLATFORM_PURE;
  // The 8.3 form of an existing path; 0 when it does not exist.
  PLATFORM_OP DWORD GetShortPathNameA(LPCSTR pszLong, LPSTR pszShort,
                                      DWORD cchBuffer) PLATFORM_PURE;

  // --- Files ----------------------------------------------------------------
  // pszPath without a trailing backslash, except a drive root's own: nothing
  // documents that Windows 9x accepts one.
  PLATFORM_OP BOOL CreateDirectoryA(LPCSTR pszPath, LPSECURITY_ATTRIBUTES pSa) PLATFORM_PURE;
  // Wildcards * and ?, names matched without regard to case; returns
  // INVALID_HANDLE_VALUE when nothing matches.
  PLATFORM_OP HANDLE FindFirstFileA(LPCSTR pszPattern, LPWIN32_FIND_DATAA pData) PLATFORM_PURE;
  PLATFORM_OP BOOL FindNextFileA(HANDLE hFind, LPWIN32_FIND_DATAA pData) PLATFORM_PURE;
  PLATFORM_OP BOOL FindClose(HANDLE hFind) PLATFORM_PURE;
  PLATFORM_OP BOOL CopyFileA(LPCSTR pszExisting, LPCSTR pszNew, BOOL bFailIfExists) PLATFORM_PURE;
  PLATFORM_OP DWORD GetFileAttributesA(LPCSTR pszPath) PLATFORM_PURE;
  PLATFORM_OP BOOL SetFileAttributesA(LPCSTR pszPath, DWORD dwAttributes) PLATFORM_PURE;
  PLATFORM_OP BOOL DeleteFileA(LPCSTR pszPath) PLATFORM_PURE;

  // --- Byte streams ---------------------------------------------------------
  // Mode "rb" (read) or "r+" (read and update in place; the file must exist).
  // Binary: no line-end translation. NULL when the file cannot be opened.
  PLATFORM_OP HSTREAM StreamOpen(LPCSTR pszPath, LPCSTR pszMode) PLATFORM_PURE;
  // As fgets: reads at most cbBuffer - 1 bytes, stopping after a line feed,
  // and terminates the buffer. Returns the number of bytes read, 0 at the end.
  PLATFORM_OP DWORD StreamReadLine(HSTREAM hStream, LPSTR pszBuffer, DWORD cbBuffer) PLATFORM_PURE;
  PLATFORM_OP LONG StreamTell(HSTREAM hStream) PLATFORM_PURE;
  // Returns TRUE on success.
  PLATFORM_OP BOOL StreamSeek(HSTREAM hStream, LONG lOffset, int nOrigin) PLATFORM_PURE;
  PLATFORM_OP DWORD StreamWrite(HSTREAM hStream, LPCVOID pData, DWORD cbData) PLATFORM_PURE;
  PLATFORM_OP BOOL StreamFlush(HSTREAM hStream) PLATFORM_PURE;
  PLATFORM_OP void StreamClose(HSTREAM hStream) PLATFORM_PURE;

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
  PLATFORM_OP UINT GetPrivateProfileIntA(LPCSTR pszSection, LPCSTR pszKey, INT nDefault,
                                         LPCSTR pszFile) PLATFORM_PURE;
  PLATFORM_OP DWORD GetPrivateProfileStringA(LPCSTR pszSection, LPCSTR pszKey, LPCSTR pszDefault,
                                             LPSTR pszReturned, DWORD nSize,
                                             LPCSTR pszFile) PLATFORM_PURE;
  PLATFORM_OP BOOL WritePrivateProfileStringA(LPCSTR pszSection, LPCSTR pszKey, LPCSTR pszValue,
                                              LPCSTR pszFile) PLATFORM_PURE;
  // WIN.INI, which Windows 9x caches apart and has no registry mapping for:
  // written only through this function, never by name through the private
  // one; WriteProfileStringA(NULL, NULL, NULL) flushes it.
  PLATFORM_OP BOOL WriteProfileStringA(LPCSTR pszSection, LPCSTR pszKey,
                                       LPCSTR pszValue) PLATFORM_PURE;

  // --- Registry -------------------------------------------------------------
  // Hives HKEY_CLASSES_ROOT, HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE, HKEY_USERS.
  PLATFORM_OP LONG RegOpenKeyExA(HKEY hKey, LPCSTR pszSubKey, DWORD ulOptions, REGSAM samDesired,
                                 PHKEY phkResult) PLATFORM_PURE;
  PLATFORM_OP LONG RegQueryValueExA(HKEY hKey, LPCSTR pszValueName, LPDWORD pReserved,
                                    LPDWORD pType, LPBYTE pData, LPDWORD pcbData) PLATFORM_PURE;
  PLATFORM_OP LONG RegSetValueExA(HKEY hKey, LPCSTR pszValueName, DWORD Reserved, DWORD dwType,
                                  const BYTE* pData, DWORD cbData) PLATFORM_PURE;
  PLATFORM_OP LONG RegDeleteValueA(HKEY hKey, LPCSTR pszValueName) PLATFORM_PURE;
  PLATFORM_OP LONG RegEnumKeyExA(HKEY hKey, DWORD dwIndex, LPSTR pszName, LPDWORD pcchName,
                                 LPDWORD pReserved, LPSTR pszClass, LPDWORD pcchClass,
                                 PFILETIME pftLastWriteTime) PLATFORM_PURE;
  PLATFORM_OP LONG RegEnumValueA(HKEY hKey, DWORD dwIndex, LPSTR pszValueName,
                                 LPDWORD pcchValueName, LPDWORD pReserved, LPDWORD pType,
                                 LPBYTE pData, LPDWORD pcbData) PLATFORM_PURE;
  // Removes the key with all its subkeys and values, on every Windows.
  PLATFORM_OP LONG RegDeleteKeyA(HKEY hKey, LPCSTR pszSubKey) PLATFORM_PURE;
  PLATFORM_OP LONG RegCloseKey(HKEY hKey) PLATFORM_PURE;

  // --- Processes ------------------------------------------------------------
  PLATFORM_OP UINT WinExec(LPCSTR pszCmdLine, UINT uCmdShow) PLATFORM_PURE;
  PLATFORM_OP BOOL CreateProcessA(LPCSTR pszApplicationName, LPSTR pszCommandLine,
                                  LPSECURITY_ATTRIBUTES pProcessAttributes,
                                  LPSECURITY_ATTRIBUTES pThreadAttributes, BOOL bInheritHandles,
                                  DWORD dwCreationFlags, LPVOID pEnvironment,
                                  LPCSTR pszCurrentDirectory, LPSTARTUPINFOA pStartupInfo,
                                  LPPROCESS_INFORMATION pProcessInformation) PLATFORM_PURE;
  PLATFORM_OP DWORD WaitForInputIdle(HANDLE hProcess, DWORD dwMilliseconds) PLATFORM_PURE;
  PLATFORM_OP DWORD WaitForSingleObject(HANDLE hHandle, DWORD dwMilliseconds) PLATFORM_PURE;
  PLATFORM_OP BOOL GetExitCodeProcess(HANDLE hProcess, LPDWORD pdwExitCode) PLATFORM_PURE;
  PLATFORM_OP BOOL CloseHandle(HANDLE hObject) PLATFORM_PURE;

  // --- Windows --------------------------------------------------------------
  PLATFORM_OP HWND FindWindowExA(HWND hWndParent, HWND hWndChildAfter, LPCSTR pszClass,
                                 LPCSTR pszWindow) PLATFORM_PURE;
  PLATFORM_OP LRESULT SendMessageA(HWND hWnd, UINT uMsg, WPARAM wParam,
                                   LPARAM lParam) PLATFORM_PURE;
  PLATFORM_OP int MessageBoxA(HWND hWnd, LPCSTR pszText, LPCSTR pszCaption,
                              UINT uType) PLATFORM_PURE;

  // --- Timing, shutdown, process end ---------------------------------------
  PLATFORM_OP void Sleep(DWORD dwMilliseconds) PLATFORM_PURE;
  PLATFORM_OP BOOL ExitWindowsEx(UINT uFlags, DWORD dwReason) PLATFORM_PURE;
  // Does not return.
  PLATFORM_OP void ExitProcess(UINT uExitCode) PLATFORM_PURE;

  // --- Dialogs, controls and resources -------------------------------------
  // Runs a modal dialog from the program's template; returns EndDialog's result.
  PLATFORM_OP INT_PTR DialogBoxParamA(HINSTANCE hInstance, LPCSTR pszTemplate, HWND hWndParent,
                                      DLGPROC pfnDialogFunc, LPARAM dwInitParam) PLATFORM_PURE;
  PLATFORM_OP BOOL EndDialog(HWND hDlg, INT_PTR nResult) PLATFORM_PURE;
  PLATFORM_OP HWND GetDlgItem(HWND hDlg, int nIdDlgItem) PLATFORM_PURE;
  PLATFORM_OP BOOL EnableWindow(HWND hWnd, BOOL bEnable) PLATFORM_PURE;
  PLATFORM_OP BOOL IsWindowEnabled(HWND hWnd) PLATFORM_PURE;
  PLATFORM_OP BOOL ShowWindow(HWND hWnd, int nCmdShow) PLATFORM_PURE;
  PLATFORM_OP BOOL IsWindowVisible(HWND hWnd) PLATFORM_PURE;
  PLATFORM_OP BOOL RedrawWindow(HWND hWnd, const RECT* prcUpdate, HRGN hrgnUpdate,
                                UINT uFlags) PLATFORM_PURE;
  PLATFORM_OP HMENU GetSystemMenu(HWND hWnd, BOOL bRevert) PLATFORM_PURE;
  PLATFORM_OP BOOL AppendMenuA(HMENU hMenu, UINT uFlags, UINT_PTR uIdNewItem,
                               LPCSTR pszNewItem) PLATFORM_PURE;
  PLATFORM_OP HICON LoadIconA(HINSTANCE hInstance, LPCSTR pszIconName) PLATFORM_PURE;
  PLATFORM_OP int LoadStringA(HINSTANCE hInstance, UINT uId, LPSTR pszBuffer,
                              int cchBufferMax) PLATFORM_PURE;
  PLATFORM_OP BOOL IsIconic(HWND hWnd) PLATFORM_PURE;
  PLATFORM_OP int GetSystemMetrics(int nIndex) PLATFORM_PURE;
  PLATFORM_OP BOOL GetClientRect(HWND hWnd, LPRECT pRect) PLATFORM_PURE;
  PLATFORM_OP HDC BeginPaint(HWND hWnd, LPPAINTSTRUCT pPaint) PLATFORM_PURE;
  PLATFORM_OP BOOL EndPaint(HWND hWnd, const PAINTSTRUCT* pPaint) PLATFORM_PURE;
  PLATFORM_OP BOOL DrawIcon(HDC hDC, int x, int y, HICON hIcon) PLATFORM_PURE;
  // The platform's wait (hourglass) cursor: shown / ended.
  PLATFORM_OP void BeginWaitCursor() PLATFORM_PURE;
  PLATFORM_OP void EndWaitCursor() PLATFORM_PURE;
  // The three-dimensional look of the standard controls.
  PLATFORM_OP void Enable3dControls() PLATFORM_PURE;
};

#if defined(_WIN32)
// The platform the logic runs against: the system. The object carries no
// state; it only gives the logic's p->Operation() calls an object to name.
inline IPlatform* Platform()
{
  static IPlatform s_system;
  return &s_system;
}
#else
// The platform the logic runs against: the simulated computer's or a test's.
IPlatform* Platform();
void SetPlatform(IPlatform* pPlatform);
#endif

#endif // PLATFORM_PLATFORM_H
