#include "purge/RegistryScan.h"

#include "platform/Platform.h"
#include "platform/StrBuf.h"

EnumResult EnumSubKey(HKEY hKey, DWORD dwIndex, char* pszName)
{
  DWORD cchName = PURGE_KEY_NAME_SIZE;
  LONG lResult = Platform()->RegEnumKeyExA(hKey, dwIndex, pszName, &cchName, 0, 0, 0, 0);
  if (lResult == ERROR_SUCCESS)
    return ENUM_NAME;
  if (lResult == ERROR_MORE_DATA)
    return ENUM_SKIP;
  if (lResult == ERROR_NO_MORE_ITEMS)
    return ENUM_NO_MORE;
  return ENUM_FAILED;
}

BOOL LocalMachineKeyOpens(const char* pszPath)
{
  HKEY hKey;
  if (Platform()->RegOpenKeyExA(HKEY_LOCAL_MACHINE, pszPath, 0, KEY_READ, &hKey) != ERROR_SUCCESS)
    return FALSE;
  Platform()->RegCloseKey(hKey);
  return TRUE;
}
