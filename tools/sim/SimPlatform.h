// CSimPlatform: the simulated computer answering the platform interface.
// One object holds the whole machine: version, directories, the drives,
// the registry, started programs, top-level windows, dialogs and the event
// list. The operations are implemented by area in SimPlatform*.cpp.
#ifndef TOOLS_SIM_SIMPLATFORM_H
#define TOOLS_SIM_SIMPLATFORM_H

#include <cstdio>
#include <deque>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "SimComputer.h"
#include "SimFileSystem.h"
#include "SimRegistry.h"
#include "SimResources.h"

// An open byte stream.
struct SetupStream__ {
  FILE* fp = nullptr;
};

namespace sim {

struct SimProcess {
  std::string command;
  int runningReads = 0;  // exit-code reads still answered with STILL_ACTIVE
  bool ended = false;
  bool endSeen = false;  // the ended event has been recorded
};

struct SimWindow {
  enum Kind { TopLevel, Dialog, Control } kind = TopLevel;
  HWND hWnd = nullptr;
  std::string title;
  bool enabled = true;
  bool visible = true;
  // Dialogs.
  int templateId = 0;
  DLGPROC pfnProc = nullptr;
  bool ended = false;
  INT_PTR result = 0;
  std::vector<HWND> controls;
  HMENU hSysMenu = nullptr;
  std::vector<SimMenuItem> menu;
  HICON ahIcon[2] = {nullptr, nullptr};
  // Controls.
  HWND hDialog = nullptr;
  int id = 0;
  uint32_t style = 0;
  bool isButton = false;
  int check = 0;
};

class CSimPlatform : public CSimComputer, public IPlatform {
public:
  CSimPlatform(const std::string& machineDir, const SimOptions& options);
  ~CSimPlatform() override;
  // Reads the machine folder; false with *pError on invalid input.
  bool Init(std::string* pError);

  // --- CSimComputer ---------------------------------------------------------
  IPlatform& GetPlatform() override { return *this; }
  bool Save(std::string* pError) override;
  const std::vector<std::string>& Events() const override { return m_events; }
  std::string HostPath(const std::string& windowsPath) const override;
  bool KeyExists(const std::string& keyPath) const override;
  std::optional<std::string> GetStringValue(const std::string& keyPath,
                                            const std::string& valueName) const override;
  std::optional<std::vector<unsigned char>> GetRawValue(const std::string& keyPath,
                                                        const std::string& valueName,
                                                        unsigned long* pType) const override;
  std::vector<std::string> SubKeys(const std::string& keyPath) const override;
  std::string ExportRegistry() const override { return m_registry.Export(); }
  std::vector<SimMenuItem> SystemMenuItems(int templateId) const override;
  std::vector<SimControlState> LastDialogControls(int templateId) const override;
  unsigned long LastError() const override { return m_dwLastError; }
  unsigned long long Clock() const override { return m_clockMs; }
  std::vector<std::string> UnflushedProfileWrites() const override { return m_unflushedAtStarts; }

  // --- Version and process start-up (SimPlatformProcesses.cpp) ---------------
  BOOL GetVersionExA(LPOSVERSIONINFOA pInfo) override;
  LPSTR GetCommandLineA() override;
  DWORD GetModuleFileNameA(HMODULE hModule, LPSTR pszFile, DWORD nSize) override;
  UINT SetErrorMode(UINT uMode) override;

  // --- Directories and files (SimPlatformFiles.cpp) -------------------------
  UINT GetWindowsDirectoryA(LPSTR pszBuffer, UINT uSize) override;
  UINT GetSystemDirectoryA(LPSTR pszBuffer, UINT uSize) override;
  DWORD GetCurrentDirectoryA(DWORD nBufferLength, LPSTR pszBuffer) override;
  BOOL SetCurrentDirectoryA(LPCSTR pszPath) override;
  DWORD GetFullPathNameA(LPCSTR pszFileName, DWORD nBufferLength, LPSTR pszBuffer,
                         LPSTR* ppszFilePart) override;
  DWORD GetShortPathNameA(LPCSTR pszLong, LPSTR pszShort, DWORD cchBuffer) override;
  BOOL CreateDirectoryA(LPCSTR pszPath, LPSECURITY_ATTRIBUTES pSa) override;
  HANDLE FindFirstFileA(LPCSTR pszPattern, LPWIN32_FIND_DATAA pData) override;
  BOOL FindNextFileA(HANDLE hFind, LPWIN32_FIND_DATAA pData) override;
  BOOL FindClose(HANDLE hFind) override;
  BOOL CopyFileA(LPCSTR pszExisting, LPCSTR pszNew, BOOL bFailIfExists) override;
  DWORD GetFileAttributesA(LPCSTR pszPath) override;
  BOOL SetFileAttributesA(LPCSTR pszPath, DWORD dwAttributes) override;
  BOOL DeleteFileA(LPCSTR pszPath) override;

  // --- Byte streams (SimPlatformFiles.cpp) ----------------------------------
  HSTREAM StreamOpen(LPCSTR pszPath, LPCSTR pszMode) override;
  DWORD StreamReadLine(HSTREAM hStream, LPSTR pszBuffer, DWORD cbBuffer) override;
  LONG StreamTell(HSTREAM hStream) override;
  BOOL StreamSeek(HSTREAM hStream, LONG lOffset, int nOrigin) override;
  DWORD StreamWrite(HSTREAM hStream, LPCVOID pData, DWORD cbData) override;
  BOOL StreamFlush(HSTREAM hStream) override;
  void StreamClose(HSTREAM hStream) override;

  // --- Profile files (SimPlatformProfiles.cpp) ------------------------------
  UINT GetPrivateProfileIntA(LPCSTR pszSection, LPCSTR pszKey, INT nDefault,
                             LPCSTR pszFile) override;
  DWORD GetPrivateProfileStringA(LPCSTR pszSection, LPCSTR pszKey, LPCSTR pszDefault,
                                 LPSTR pszReturned, DWORD nSize, LPCSTR pszFile) override;
  BOOL WritePrivateProfileStringA(LPCSTR pszSection, LPCSTR pszKey, LPCSTR pszValue,
                                  LPCSTR pszFile) override;
  BOOL WriteProfileStringA(LPCSTR pszSection, LPCSTR pszKey, LPCSTR pszValue) override;

  // --- Registry (SimPlatformRegistry.cpp) -----------------------------------
  LONG RegOpenKeyExA(HKEY hKey, LPCSTR pszSubKey, DWORD ulOptions, REGSAM samDesired,
                     PHKEY phkResult) override;
  LONG RegQueryValueExA(HKEY hKey, LPCSTR pszValueName, LPDWORD pReserved, LPDWORD pType,
                        LPBYTE pData, LPDWORD pcbData) override;
  LONG RegSetValueExA(HKEY hKey, LPCSTR pszValueName, DWORD Reserved, DWORD dwType,
                      const BYTE* pData, DWORD cbData) override;
  LONG RegDeleteValueA(HKEY hKey, LPCSTR pszValueName) override;
  LONG RegEnumKeyExA(HKEY hKey, DWORD dwIndex, LPSTR pszName, LPDWORD pcchName,
                     LPDWORD pReserved, LPSTR pszClass, LPDWORD pcchClass,
                     PFILETIME pftLastWriteTime) override;
  LONG RegEnumValueA(HKEY hKey, DWORD dwIndex, LPSTR pszValueName, LPDWORD pcchValueName,
                     LPDWORD pReserved, LPDWORD pType, LPBYTE pData, LPDWORD pcbData) override;
  LONG RegDeleteKeyA(HKEY hKey, LPCSTR pszSubKey) override;
  LONG RegCloseKey(HKEY hKey) override;

  // --- Processes, windows, timing, endings (SimPlatformProcesses.cpp) -------
  UINT WinExec(LPCSTR pszCmdLine, UINT uCmdShow) override;
  BOOL CreateProcessA(LPCSTR pszApplicationName, LPSTR pszCommandLine,
                      LPSECURITY_ATTRIBUTES pProcessAttributes,
                      LPSECURITY_ATTRIBUTES pThreadAttributes, BOOL bInheritHandles,
                      DWORD dwCreationFlags, LPVOID pEnvironment, LPCSTR pszCurrentDirectory,
                      LPSTARTUPINFOA pStartupInfo,
                      LPPROCESS_INFORMATION pProcessInformation) override;
  DWORD WaitForInputIdle(HANDLE hProcess, DWORD dwMilliseconds) override;
  DWORD WaitForSingleObject(HANDLE hHandle, DWORD dwMilliseconds) override;
  BOOL GetExitCodeProcess(HANDLE hProcess, LPDWORD pdwExitCode) override;
  BOOL CloseHandle(HANDLE hObject) override;
  HWND FindWindowExA(HWND hWndParent, HWND hWndChildAfter, LPCSTR pszClass,
                     LPCSTR pszWindow) override;
  LRESULT SendMessageA(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) override;
  int MessageBoxA(HWND hWnd, LPCSTR pszText, LPCSTR pszCaption, UINT uType) override;
  void Sleep(DWORD dwMilliseconds) override;
  BOOL ExitWindowsEx(UINT uFlags, DWORD dwReason) override;
  void ExitProcess(UINT uExitCode) override;
  void BeginWaitCursor() override;
  void EndWaitCursor() override;
  void Enable3dControls() override;

  // --- Dialogs, controls, resources (SimPlatformDialogs.cpp) ----------------
  INT_PTR DialogBoxParamA(HINSTANCE hInstance, LPCSTR pszTemplate, HWND hWndParent,
                          DLGPROC pfnDialogFunc, LPARAM dwInitParam) override;
  BOOL EndDialog(HWND hDlg, INT_PTR nResult) override;
  HWND GetDlgItem(HWND hDlg, int nIdDlgItem) override;
  BOOL EnableWindow(HWND hWnd, BOOL bEnable) override;
  BOOL IsWindowEnabled(HWND hWnd) override;
  BOOL ShowWindow(HWND hWnd, int nCmdShow) override;
  BOOL IsWindowVisible(HWND hWnd) override;
  BOOL RedrawWindow(HWND hWnd, const RECT* prcUpdate, HRGN hrgnUpdate, UINT uFlags) override;
  HMENU GetSystemMenu(HWND hWnd, BOOL bRevert) override;
  BOOL AppendMenuA(HMENU hMenu, UINT uFlags, UINT_PTR uIdNewItem, LPCSTR pszNewItem) override;
  HICON LoadIconA(HINSTANCE hInstance, LPCSTR pszIconName) override;
  int LoadStringA(HINSTANCE hInstance, UINT uId, LPSTR pszBuffer, int cchBufferMax) override;
  BOOL IsIconic(HWND hWnd) override;
  int GetSystemMetrics(int nIndex) override;
  BOOL GetClientRect(HWND hWnd, LPRECT pRect) override;
  HDC BeginPaint(HWND hWnd, LPPAINTSTRUCT pPaint) override;
  BOOL EndPaint(HWND hWnd, const PAINTSTRUCT* pPaint) override;
  BOOL DrawIcon(HDC hDC, int x, int y, HICON hIcon) override;

  void Log(const std::string& event) { m_events.push_back(event); }

private:
  // Shared helpers.
  uintptr_t NewHandle() { return m_nextHandle += 4; }
  void Fail(DWORD dwError) { m_dwLastError = dwError; }
  bool Full(LPCSTR pszPath, WinPath* pOut) const;
  static UINT CopyOut(const std::string& s, LPSTR pszBuffer, UINT uSize);
  bool IsNt() const { return m_version.dwPlatformId == 2; }

  // Files.
  DWORD AttributesOf(const Located& loc, char drive) const;
  bool LocateExisting(LPCSTR pszPath, WinPath* pPath, Located* pLoc);
  bool ProgramExists(LPCSTR pszApplication, const std::string& command) const;
  std::string ProfileHostFile(LPCSTR pszFile, Located* pLoc, WinPath* pPath) const;
  BOOL WriteProfile(LPCSTR pszSection, LPCSTR pszKey, LPCSTR pszValue, LPCSTR pszFile);
  // Records the files still cached before a start or the restart.
  void NoteUnflushedProfiles(const std::string& occasion);

  // Registry.
  RegKey* KeyOf(HKEY hKey, LONG* pError) const;
  bool Allowed(HKEY hKey, REGSAM needed) const;
  RegKey* KeyWithAccess(HKEY hKey, REGSAM needed, LONG* pError) const;

  // Processes.
  HANDLE StartProcess(const std::string& command, UINT uShow, const char* pszVia);
  void LogFailedStart(const std::string& command, const char* pszVia);
  void SeeEnded(SimProcess& p);

  // Dialogs.
  SimWindow* WindowOf(HWND hWnd) const;
  SimWindow* DialogOf(HWND hWnd) const;
  SimWindow* ControlOf(SimWindow& dlg, int id) const;
  void Click(SimWindow& dlg, SimWindow& ctrl);
  void PerformAction(SimWindow& dlg, const std::string& action);
  LRESULT SendToDialog(SimWindow& dlg, UINT uMsg, WPARAM wParam, LPARAM lParam);
  void DestroyDialog(SimWindow& dlg);

  std::string m_dir;
  SimOptions m_options;
  std::vector<std::string> m_events;
  DWORD m_dwLastError = 0;
  unsigned long long m_clockMs = 0;
  OSVERSIONINFOA m_version;
  std::vector<char> m_commandLine;
  std::string m_modulePath;
  std::string m_windowsDir;
  std::string m_systemDir;
  std::string m_currentDir;
  std::map<char, std::string> m_driveDirs;  // the current directory of each drive
  UINT m_uErrorMode = 0;
  CSimFileSystem m_fs;
  std::map<std::string, DWORD> m_fileAttributes;  // host path -> hidden/system/archive
  std::set<SetupStream__*> m_streams;
  std::map<std::string, std::string> m_cachedProfiles;  // host path -> path, written, unflushed
  std::vector<std::string> m_unflushedAtStarts;
  CSimRegistry m_registry;
  bool m_bRegistryFile = false;
  uintptr_t m_nextHandle = 0x10000;
  struct OpenKey {
    std::shared_ptr<RegKey> key;
    REGSAM access;
  };
  std::map<HKEY, OpenKey> m_keys;
  struct Search {
    std::vector<WIN32_FIND_DATAA> results;
    size_t next = 0;
  };
  std::map<HANDLE, Search> m_searches;
  std::map<HANDLE, std::shared_ptr<SimProcess>> m_processes;  // process and thread handles
  std::map<HWND, std::shared_ptr<SimWindow>> m_windows;
  std::vector<HWND> m_topLevel;  // open top-level windows, in order
  CSimResources m_resources;
  std::deque<std::string> m_actions;
  std::map<int, std::vector<SimMenuItem>> m_lastMenus;
  std::map<int, std::vector<SimControlState>> m_lastControls;
};

}  // namespace sim

#endif
