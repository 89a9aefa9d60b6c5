#include "purge/RegistryScan.h"

#include "platform/PathNames.h"
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

BOOL PurgeSubKeys(const char* pszParent, REGSAM samParent, SubKeyPurge pfnPurge)
{
  DWORD dwIndex = 0;
  for (;;) {
    HKEY hParent;
    if (Platform()->RegOpenKeyExA(HKEY_LOCAL_MACHINE, pszParent, 0, samParent, &hParent) !=
        ERROR_SUCCESS)
      return FALSE;
    char szName[PURGE_KEY_NAME_SIZE];
    EnumResult result = EnumSubKey(hParent, dwIndex, szName);
    Platform()->RegCloseKey(hParent);
    if (result == ENUM_NO_MORE || result == ENUM_FAILED)
      return TRUE;
    char szKey[PURGE_KEY_PATH_SIZE];
    if (result == ENUM_SKIP || !JoinKeyPath(szKey, sizeof szKey, pszParent, szName) ||
        !pfnPurge(szKey, szName))
      ++dwIndex;
  }
}

BOOL LocalMachineKeyOpens(const char* pszPath)
{
  HKEY hKey;
  if (Platform()->RegOpenKeyExA(HKEY_LOCAL_MACHINE, pszPath, 0, KEY_READ, &hKey) != ERROR_SUCCESS)
    return FALSE;
  Platform()->RegCloseKey(hKey);
  return TRUE;
}
