#include "setup/PackageUninstall.h"

#include "platform/Platform.h"
#include "platform/StrBuf.h"
#include "setup/ProgramStart.h"

// Tried in this order: the Windows 9x package's entry, then the NT one's.
static const char* const s_apszUninstallKeys[] = {
  "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tonivex Applications",
  "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tonivex WinNT Applications",
};
static const char* const s_apszUninstallValues[] = {
  "InstallShieldUninstallString",
  "UninstallString",
};
static const DWORD kValueLimit = 260;  // bytes, terminator included
static const DWORD kIdleWait = 1000;   // ms per WaitForInputIdle

static BOOL OpenUninstallKey(HKEY* phKey)
{
  for (unsigned i = 0; i < sizeof s_apszUninstallKeys / sizeof s_apszUninstallKeys[0]; ++i) {
    if (Platform()->RegOpenKeyExA(HKEY_LOCAL_MACHINE, s_apszUninstallKeys[i], 0, KEY_QUERY_VALUE,
                                  phKey) == ERROR_SUCCESS)
      return TRUE;
  }
  return FALSE;
}

// Reads the first uninstall value present into pszValue (kValueLimit
// bytes), used as stored. A value that does not fit, terminator included,
// counts as absent.
static BOOL ReadUninstallCommand(HKEY hKey, char* pszValue)
{
  for (unsigned i = 0; i < sizeof s_apszUninstallValues / sizeof s_apszUninstallValues[0]; ++i) {
    DWORD dwType = 0;
    DWORD cb = kValueLimit;
    MemSet(pszValue, 0, kValueLimit);
    if (Platform()->RegQueryValueExA(hKey, s_apszUninstallValues[i], 0, &dwType, (LPBYTE)pszValue,
                                     &cb) != ERROR_SUCCESS)
      continue;
    // A value stored without its terminator still needs room for one.
    if (cb >= kValueLimit && pszValue[kValueLimit - 1] != '\0')
      continue;
    return TRUE;
  }
  pszValue[0] = '\0';
  return FALSE;
}

// Waits until the uninstaller has ended. Each round lets it become idle for
// input and reads its exit code; while the code says it still runs, the
// wait blocks on the process itself, so that no processor time is spent
// polling and an uninstaller that ends with 259 as its own code is still
// seen to have ended.
static void WaitForUninstaller(HANDLE hProcess)
{
  IPlatform* p = Platform();
  BOOL bEnded = FALSE;
  for (;;) {
    p->WaitForInputIdle(hProcess, kIdleWait);
    DWORD dwExitCode = 0;
    if (!p->GetExitCodeProcess(hProcess, &dwExitCode) || dwExitCode != STILL_ACTIVE || bEnded)
      return;
    DWORD dwWait = p->WaitForSingleObject(hProcess, INFINITE);
    if (dwWait == WAIT_FAILED)
      return;
    bEnded = dwWait == WAIT_OBJECT_0;
  }
}

static void RunUninstaller(char* pszCommand)
{
  IPlatform* p = Platform();
  PROCESS_INFORMATION pi;
  if (!StartShownProgram(pszCommand, &pi))
    return;  // nothing to wait for
  WaitForUninstaller(pi.hProcess);
  p->CloseHandle(pi.hThread);
  p->CloseHandle(pi.hProcess);
}

void UninstallPreviousPackage()
{
  IPlatform* p = Platform();
  HKEY hKey = 0;
  if (!OpenUninstallKey(&hKey))
    return;

  char szValue[kValueLimit];
  char szCommand[kValueLimit + 3];  // the value and " -a"
  if (ReadUninstallCommand(hKey, szValue) &&
      StrConcat(szCommand, sizeof szCommand, szValue, " -a")) {
    p->BeginWaitCursor();
    RunUninstaller(szCommand);
    p->EndWaitCursor();
  }
  p->RegCloseKey(hKey);
}
