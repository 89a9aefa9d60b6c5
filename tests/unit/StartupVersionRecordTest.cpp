// Version records the simulated computer never gives: the edges of the one
// classification rule, through a platform that answers only GetVersionExA.
#include <gtest/gtest.h>

#include <string>

#include "app/LaunchContext.h"

namespace {

// Every other operation answers as a failure; the classification asks for
// nothing else.
class CVersionRecordPlatform : public IPlatform {
 public:
  CVersionRecordPlatform(DWORD dwPlatformId, DWORD dwMajor, DWORD dwMinor, DWORD dwBuild)
      : m_dwPlatformId(dwPlatformId), m_dwMajor(dwMajor), m_dwMinor(dwMinor), m_dwBuild(dwBuild) {}
  BOOL GetVersionExA(LPOSVERSIONINFOA pInfo) override {
    if (pInfo->dwOSVersionInfoSize != sizeof(OSVERSIONINFOA)) return 0;
    pInfo->dwPlatformId = m_dwPlatformId;
    pInfo->dwMajorVersion = m_dwMajor;
    pInfo->dwMinorVersion = m_dwMinor;
    pInfo->dwBuildNumber = m_dwBuild;
    pInfo->szCSDVersion[0] = '\0';
    return 1;
  }
  LPSTR GetCommandLineA() override { return 0; }
  DWORD GetModuleFileNameA(HMODULE hModule, LPSTR pszFile, DWORD nSize) override { return 0; }
  UINT SetErrorMode(UINT uMode) override { return 0; }
  UINT GetWindowsDirectoryA(LPSTR pszBuffer, UINT uSize) override { return 0; }
  UINT GetSystemDirectoryA(LPSTR pszBuffer, UINT uSize) override { return 0; }
  DWORD GetCurrentDirectoryA(DWORD nBufferLength, LPSTR pszBuffer) override { return 0; }
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

 private:
  DWORD m_dwPlatformId, m_dwMajor, m_dwMinor, m_dwBuild;
};

std::string Flags(const VersionClass& v) {
  std::string s;
  if (v.m_bWin95) s += "95 ";
  if (v.m_bWin98) s += "98 ";
  if (v.m_bWin98SE) s += "98SE ";
  if (v.m_bWinME) s += "ME ";
  if (v.m_bWinNT4) s += "NT4 ";
  if (v.m_bWinNT5) s += "NT5 ";
  return s;
}

}  // namespace

TEST(StartupVersionRecord, EdgesOfTheClassificationRule) {
  const struct {
    DWORD platformId, major, minor, build;
    const char* flags;
  } rows[] = {
      // 9x: the minor version alone tells 95, whatever the build.
      {1, 4, 0, 0x04000457, "95 "},
      {1, 4, 0, 0x045A0BB8, "95 "},
      // 98 first edition 1998 (0x07CE) and the other builds outside 2048-2303.
      {1, 4, 10, 0x040A07CE, "98 "},
      {1, 4, 10, 0x040A07FF, "98 "},
      {1, 4, 10, 0x040A0900, "98 "},
      {1, 4, 10, 0, "98 "},
      // Second Edition: 2222 (0x08AE), and both ends of the range.
      {1, 4, 10, 0x040A08AE, "98 98SE "},
      {1, 4, 10, 0x040A0800, "98 98SE "},
      {1, 4, 10, 0x040A08FF, "98 98SE "},
      // ME (3000 = 0x0BB8, high word 0x045A); the high word decides, from 0x0410.
      {1, 4, 90, 0x045A0BB8, "ME "},
      {1, 4, 90, 0x041008AE, "ME "},
      {1, 4, 10, 0x040F08AE, "98 98SE "},
      // NT: below 5 is NT 4.0 (3.51 too), 5 and above the newer family.
      {2, 4, 0, 1381, "NT4 "},
      {2, 3, 51, 1057, "NT4 "},
      {2, 5, 0, 2195, "NT5 "},
      {2, 5, 1, 2600, "NT5 "},
      {2, 6, 1, 7601, "NT5 "},
      {2, 0xFFFFFFFF, 0, 0, "NT5 "},
      // Neither family: no flag.
      {0, 3, 10, 0, ""},
      {3, 4, 0, 0, ""},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(testing::Message() << "platform " << row.platformId << ", " << row.major << "."
                                    << row.minor << ", build 0x" << std::hex << row.build);
    CVersionRecordPlatform platform(row.platformId, row.major, row.minor, row.build);
    IPlatform* pPrevious = Platform();
    SetPlatform(&platform);
    VersionClass v;
    v.m_bWin95 = v.m_bWin98 = v.m_bWinME = v.m_bWinNT4 = v.m_bWinNT5 = v.m_bWin98SE = 7;
    ClassifyWindowsVersion(&v);
    SetPlatform(pPrevious);
    EXPECT_EQ(row.flags, Flags(v));
  }
}
