// Shared pieces of the legacy purge tests: registry texts with keys taken
// out, and a platform that refuses chosen key deletions.
#ifndef TESTS_UNIT_PURGETESTSUPPORT_H
#define TESTS_UNIT_PURGETESTSUPPORT_H

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "TestMachine.h"
#include "platform/Platform.h"

namespace purgetest {

inline std::string Upper(std::string s)
{
  for (char& c : s)
    c = (char)std::toupper((unsigned char)c);
  return s;
}

// The REGEDIT4 text without the key blocks at or below any of the given full
// key paths ("HKEY_LOCAL_MACHINE\\Enum\\PCI\\X"), compared without regard to
// case as the registry compares names.
inline std::string RegWithout(const std::string& text, const std::vector<std::string>& removed)
{
  std::istringstream in(text);
  std::string line, out;
  bool bKeep = true;
  while (std::getline(in, line)) {
    if (!line.empty() && line[0] == '[') {
      std::string key = Upper(line.substr(1, line.find(']') - 1));
      bKeep = std::none_of(removed.begin(), removed.end(), [&](const std::string& r) {
        std::string u = Upper(r);
        return key == u || key.rfind(u + "\\", 0) == 0;
      });
    }
    if (bKeep)
      out += line + "\n";
  }
  return out;
}

// The registry export of a computer loaded from the given text, for comparing
// a purged registry with what it should have become.
inline std::string ExportOf(const std::string& regText)
{
  CTestMachine m;
  m.SetRegistry(regText);
  return m.Load().ExportRegistry();
}

// Every file of a machine folder (drive folders only), by path relative to
// the folder, with its bytes.
inline std::map<std::string, std::string> FileSnapshot(const CTestMachine& m)
{
  namespace fs = std::filesystem;
  std::map<std::string, std::string> files;
  for (const auto& e : fs::recursive_directory_iterator(m.Dir())) {
    std::string rel = fs::relative(e.path(), m.Dir()).generic_string();
    if (!e.is_regular_file() || rel.find('/') == std::string::npos)
      continue;
    std::ifstream in(e.path(), std::ios::binary);
    std::ostringstream ss;
    ss << in.rdbuf();
    files[rel] = ss.str();
  }
  return files;
}

// The relative snapshot path of a Windows path as CTestMachine::WriteFile
// stores it.
inline std::string SnapshotPath(const CTestMachine& m, const std::string& windowsPath)
{
  return std::filesystem::relative(m.Host(windowsPath), m.Dir()).generic_string();
}

// Forwards every call to the simulated computer, except that deleting one of
// the chosen keys fails with access denied and deletes nothing. Keys are named
// by hive and path as the caller passes them.
class CRefusingDeletePlatform : public IPlatform {
public:
  CRefusingDeletePlatform(IPlatform& inner, std::set<std::string> refused)
    : m_inner(inner), m_refused()
  {
    for (const std::string& s : refused)
      m_refused.insert(Upper(s));
  }

  LONG RegDeleteKeyA(HKEY hKey, LPCSTR pszSubKey) override
  {
    std::string hive = hKey == HKEY_LOCAL_MACHINE  ? "HKEY_LOCAL_MACHINE\\"
                       : hKey == HKEY_CLASSES_ROOT ? "HKEY_CLASSES_ROOT\\"
                                                   : "";
    if (m_refused.count(Upper(hive + pszSubKey)) != 0) {
      ++m_nRefusals;
      return ERROR_ACCESS_DENIED;
    }
    return m_inner.RegDeleteKeyA(hKey, pszSubKey);
  }

  int m_nRefusals = 0;

  BOOL GetVersionExA(LPOSVERSIONINFOA pInfo) override { return m_inner.GetVersionExA(pInfo); }
  LPSTR GetCommandLineA() override { return m_inner.GetCommandLineA(); }
  DWORD GetModuleFileNameA(HMODULE hModule, LPSTR pszFile, DWORD nSize) override { return m_inner.GetModuleFileNameA(hModule, pszFile, nSize); }
  UINT SetErrorMode(UINT uMode) override { return m_inner.SetErrorMode(uMode); }
  UINT GetWindowsDirectoryA(LPSTR pszBuffer, UINT uSize) override { return m_inner.GetWindowsDirectoryA(pszBuffer, uSize); }
  UINT GetSystemDirectoryA(LPSTR pszBuffer, UINT uSize) override { return m_inner.GetSystemDirectoryA(pszBuffer, uSize); }
  DWORD GetCurrentDirectoryA(DWORD nBufferLength, LPSTR pszBuffer) override { return m_inner.GetCurrentDirectoryA(nBufferLength, pszBuffer); }
  BOOL SetCurrentDirectoryA(LPCSTR pszPath) override { return m_inner.SetCurrentDirectoryA(pszPath); }
  DWORD GetShortPathNameA(LPCSTR pszLong, LPSTR pszShort, DWORD cchBuffer) override { return m_inner.GetShortPathNameA(pszLong, pszShort, cchBuffer); }
  BOOL CreateDirectoryA(LPCSTR pszPath, LPSECURITY_ATTRIBUTES pSa) override { return m_inner.CreateDirectoryA(pszPath, pSa); }
  HANDLE FindFirstFileA(LPCSTR pszPattern, LPWIN32_FIND_DATAA pData) override { return m_inner.FindFirstFileA(pszPattern, pData); }
  BOOL FindNextFileA(HANDLE hFind, LPWIN32_FIND_DATAA pData) override { return m_inner.FindNextFileA(hFind, pData); }
  BOOL FindClose(HANDLE hFind) override { return m_inner.FindClose(hFind); }
  BOOL CopyFileA(LPCSTR pszExisting, LPCSTR pszNew, BOOL bFailIfExists) override { return m_inner.CopyFileA(pszExisting, pszNew, bFailIfExists); }
  DWORD GetFileAttributesA(LPCSTR pszPath) override { return m_inner.GetFileAttributesA(pszPath); }
  BOOL SetFileAttributesA(LPCSTR pszPath, DWORD dwAttributes) override { return m_inner.SetFileAttributesA(pszPath, dwAttributes); }
  BOOL DeleteFileA(LPCSTR pszPath) override { return m_inner.DeleteFileA(pszPath); }
  HSTREAM StreamOpen(LPCSTR pszPath, LPCSTR pszMode) override { return m_inner.StreamOpen(pszPath, pszMode); }
  DWORD StreamReadLine(HSTREAM hStream, LPSTR pszBuffer, DWORD cbBuffer) override { return m_inner.StreamReadLine(hStream, pszBuffer, cbBuffer); }
  LONG StreamTell(HSTREAM hStream) override { return m_inner.StreamTell(hStream); }
  BOOL StreamSeek(HSTREAM hStream, LONG lOffset, int nOrigin) override { return m_inner.StreamSeek(hStream, lOffset, nOrigin); }
  DWORD StreamWrite(HSTREAM hStream, LPCVOID pData, DWORD cbData) override { return m_inner.StreamWrite(hStream, pData, cbData); }
  BOOL StreamFlush(HSTREAM hStream) override { return m_inner.StreamFlush(hStream); }
  void StreamClose(HSTREAM hStream) override { m_inner.StreamClose(hStream); }
  UINT GetPrivateProfileIntA(LPCSTR pszSection, LPCSTR pszKey, INT nDefault, LPCSTR pszFile) override { return m_inner.GetPrivateProfileIntA(pszSection, pszKey, nDefault, pszFile); }
  DWORD GetPrivateProfileStringA(LPCSTR pszSection, LPCSTR pszKey, LPCSTR pszDefault, LPSTR pszReturned, DWORD nSize, LPCSTR pszFile) override { return m_inner.GetPrivateProfileStringA(pszSection, pszKey, pszDefault, pszReturned, nSize, pszFile); }
  BOOL WritePrivateProfileStringA(LPCSTR pszSection, LPCSTR pszKey, LPCSTR pszValue, LPCSTR pszFile) override { return m_inner.WritePrivateProfileStringA(pszSection, pszKey, pszValue, pszFile); }
  LONG RegOpenKeyExA(HKEY hKey, LPCSTR pszSubKey, DWORD ulOptions, REGSAM samDesired, PHKEY phkResult) override { return m_inner.RegOpenKeyExA(hKey, pszSubKey, ulOptions, samDesired, phkResult); }
  LONG RegQueryValueExA(HKEY hKey, LPCSTR pszValueName, LPDWORD pReserved, LPDWORD pType, LPBYTE pData, LPDWORD pcbData) override { return m_inner.RegQueryValueExA(hKey, pszValueName, pReserved, pType, pData, pcbData); }
  LONG RegSetValueExA(HKEY hKey, LPCSTR pszValueName, DWORD Reserved, DWORD dwType, const BYTE* pData, DWORD cbData) override { return m_inner.RegSetValueExA(hKey, pszValueName, Reserved, dwType, pData, cbData); }
  LONG RegDeleteValueA(HKEY hKey, LPCSTR pszValueName) override { return m_inner.RegDeleteValueA(hKey, pszValueName); }
  LONG RegEnumKeyExA(HKEY hKey, DWORD dwIndex, LPSTR pszName, LPDWORD pcchName, LPDWORD pReserved, LPSTR pszClass, LPDWORD pcchClass, PFILETIME pftLastWriteTime) override { return m_inner.RegEnumKeyExA(hKey, dwIndex, pszName, pcchName, pReserved, pszClass, pcchClass, pftLastWriteTime); }
  LONG RegEnumValueA(HKEY hKey, DWORD dwIndex, LPSTR pszValueName, LPDWORD pcchValueName, LPDWORD pReserved, LPDWORD pType, LPBYTE pData, LPDWORD pcbData) override { return m_inner.RegEnumValueA(hKey, dwIndex, pszValueName, pcchValueName, pReserved, pType, pData, pcbData); }
  LONG RegCloseKey(HKEY hKey) override { return m_inner.RegCloseKey(hKey); }
  UINT WinExec(LPCSTR pszCmdLine, UINT uCmdShow) override { return m_inner.WinExec(pszCmdLine, uCmdShow); }
  BOOL CreateProcessA(LPCSTR pszApplicationName, LPSTR pszCommandLine, LPSECURITY_ATTRIBUTES pProcessAttributes, LPSECURITY_ATTRIBUTES pThreadAttributes, BOOL bInheritHandles, DWORD dwCreationFlags, LPVOID pEnvironment, LPCSTR pszCurrentDirectory, LPSTARTUPINFOA pStartupInfo, LPPROCESS_INFORMATION pProcessInformation) override { return m_inner.CreateProcessA(pszApplicationName, pszCommandLine, pProcessAttributes, pThreadAttributes, bInheritHandles, dwCreationFlags, pEnvironment, pszCurrentDirectory, pStartupInfo, pProcessInformation); }
  DWORD WaitForInputIdle(HANDLE hProcess, DWORD dwMilliseconds) override { return m_inner.WaitForInputIdle(hProcess, dwMilliseconds); }
  DWORD WaitForSingleObject(HANDLE hHandle, DWORD dwMilliseconds) override { return m_inner.WaitForSingleObject(hHandle, dwMilliseconds); }
  BOOL GetExitCodeProcess(HANDLE hProcess, LPDWORD pdwExitCode) override { return m_inner.GetExitCodeProcess(hProcess, pdwExitCode); }
  BOOL CloseHandle(HANDLE hObject) override { return m_inner.CloseHandle(hObject); }
  HWND FindWindowExA(HWND hWndParent, HWND hWndChildAfter, LPCSTR pszClass, LPCSTR pszWindow) override { return m_inner.FindWindowExA(hWndParent, hWndChildAfter, pszClass, pszWindow); }
  LRESULT SendMessageA(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) override { return m_inner.SendMessageA(hWnd, uMsg, wParam, lParam); }
  int MessageBoxA(HWND hWnd, LPCSTR pszText, LPCSTR pszCaption, UINT uType) override { return m_inner.MessageBoxA(hWnd, pszText, pszCaption, uType); }
  void Sleep(DWORD dwMilliseconds) override { m_inner.Sleep(dwMilliseconds); }
  BOOL ExitWindowsEx(UINT uFlags, DWORD dwReason) override { return m_inner.ExitWindowsEx(uFlags, dwReason); }
  void ExitProcess(UINT uExitCode) override { m_inner.ExitProcess(uExitCode); }
  INT_PTR DialogBoxParamA(HINSTANCE hInstance, LPCSTR pszTemplate, HWND hWndParent, DLGPROC pfnDialogFunc, LPARAM dwInitParam) override { return m_inner.DialogBoxParamA(hInstance, pszTemplate, hWndParent, pfnDialogFunc, dwInitParam); }
  BOOL EndDialog(HWND hDlg, INT_PTR nResult) override { return m_inner.EndDialog(hDlg, nResult); }
  HWND GetDlgItem(HWND hDlg, int nIdDlgItem) override { return m_inner.GetDlgItem(hDlg, nIdDlgItem); }
  BOOL EnableWindow(HWND hWnd, BOOL bEnable) override { return m_inner.EnableWindow(hWnd, bEnable); }
  BOOL IsWindowEnabled(HWND hWnd) override { return m_inner.IsWindowEnabled(hWnd); }
  BOOL ShowWindow(HWND hWnd, int nCmdShow) override { return m_inner.ShowWindow(hWnd, nCmdShow); }
  BOOL IsWindowVisible(HWND hWnd) override { return m_inner.IsWindowVisible(hWnd); }
  BOOL RedrawWindow(HWND hWnd, const RECT* prcUpdate, HRGN hrgnUpdate, UINT uFlags) override { return m_inner.RedrawWindow(hWnd, prcUpdate, hrgnUpdate, uFlags); }
  HMENU GetSystemMenu(HWND hWnd, BOOL bRevert) override { return m_inner.GetSystemMenu(hWnd, bRevert); }
  BOOL AppendMenuA(HMENU hMenu, UINT uFlags, UINT_PTR uIdNewItem, LPCSTR pszNewItem) override { return m_inner.AppendMenuA(hMenu, uFlags, uIdNewItem, pszNewItem); }
  HICON LoadIconA(HINSTANCE hInstance, LPCSTR pszIconName) override { return m_inner.LoadIconA(hInstance, pszIconName); }
  int LoadStringA(HINSTANCE hInstance, UINT uId, LPSTR pszBuffer, int cchBufferMax) override { return m_inner.LoadStringA(hInstance, uId, pszBuffer, cchBufferMax); }
  BOOL IsIconic(HWND hWnd) override { return m_inner.IsIconic(hWnd); }
  int GetSystemMetrics(int nIndex) override { return m_inner.GetSystemMetrics(nIndex); }
  BOOL GetClientRect(HWND hWnd, LPRECT pRect) override { return m_inner.GetClientRect(hWnd, pRect); }
  HDC BeginPaint(HWND hWnd, LPPAINTSTRUCT pPaint) override { return m_inner.BeginPaint(hWnd, pPaint); }
  BOOL EndPaint(HWND hWnd, const PAINTSTRUCT* pPaint) override { return m_inner.EndPaint(hWnd, pPaint); }
  BOOL DrawIcon(HDC hDC, int x, int y, HICON hIcon) override { return m_inner.DrawIcon(hDC, x, y, hIcon); }
  void BeginWaitCursor() override { m_inner.BeginWaitCursor(); }
  void EndWaitCursor() override { m_inner.EndWaitCursor(); }
  void Enable3dControls() override { m_inner.Enable3dControls(); }

private:
  IPlatform& m_inner;
  std::set<std::string> m_refused;
};

// Makes a platform the Platform() for the lifetime of the scope.
class CPlatformOverride {
public:
  explicit CPlatformOverride(IPlatform& platform) : m_pPrevious(Platform()) { SetPlatform(&platform); }
  ~CPlatformOverride() { SetPlatform(m_pPrevious); }

private:
  IPlatform* m_pPrevious;
};

}  // namespace purgetest

#endif
