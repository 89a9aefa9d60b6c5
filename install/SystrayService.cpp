#include "install/SystrayService.h"

#include "platform/Platform.h"

static const char s_szSystrayKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Applets\\Systray";
static const char s_szDefaultSystrayKey[] =
    ".DEFAULT\\Software\\Microsoft\\Windows\\CurrentVersion\\Applets\\Systray";

enum { VOLUME_SERVICE_BIT = 0x04 };

static void ClearServiceBit(HKEY hRoot, const char* pszSubKey)
{
  HKEY hKey = 0;
  if (Platform()->RegOpenKeyExA(hRoot, pszSubKey, 0, KEY_ALL_ACCESS, &hKey) != ERROR_SUCCESS)
    return;

  // The value goes back exactly as it was read, with only that one bit
  // changed: same length, same type. A value longer than the buffer fails to
  // read and is left alone, as is an empty one.
  BYTE abValue[8] = { 0, 0, 0, 0, 0, 0, 0, 0 };
  DWORD dwType = REG_DWORD;
  DWORD cbValue = sizeof(abValue);
  if (Platform()->RegQueryValueExA(hKey, "Services", 0, &dwType, abValue, &cbValue) == ERROR_SUCCESS &&
      cbValue > 0 && cbValue <= sizeof(abValue)) {
    abValue[0] = (BYTE)(abValue[0] & ~VOLUME_SERVICE_BIT);
    Platform()->RegSetValueExA(hKey, "Services", 0, dwType, abValue, cbValue);
  }
  Platform()->RegCloseKey(hKey);
}

void ClearSystrayServiceBit()
{
  ClearServiceBit(HKEY_CURRENT_USER, s_szSystrayKey);
  ClearServiceBit(HKEY_USERS, s_szDefaultSystrayKey);
}

void RestartTrayProgram()
{
  Platform()->WinExec("SysTray.exe", SW_SHOW);
  Platform()->Sleep(500);
}
