// The registry.
#include "platform/win32/Win32Platform.h"

LONG CWin32Platform::RegOpenKeyExA(HKEY hKey, LPCSTR pszSubKey, DWORD ulOptions,
                                   REGSAM samDesired, PHKEY phkResult)
{
  return ::RegOpenKeyExA(hKey, pszSubKey, ulOptions, samDesired, phkResult);
}

LONG CWin32Platform::RegQueryValueExA(HKEY hKey, LPCSTR pszValueName, LPDWORD pReserved,
                                      LPDWORD pType, LPBYTE pData, LPDWORD pcbData)
{
  return ::RegQueryValueExA(hKey, pszValueName, pReserved, pType, pData, pcbData);
}

LONG CWin32Platform::RegSetValueExA(HKEY hKey, LPCSTR pszValueName, DWORD Reserved,
                                    DWORD dwType, const BYTE* pData, DWORD cbData)
{
  return ::RegSetValueExA(hKey, pszValueName, Reserved, dwType, pData, cbData);
}

LONG CWin32Platform::RegDeleteValueA(HKEY hKey, LPCSTR pszValueName)
{
  return ::RegDeleteValueA(hKey, pszValueName);
}

LONG CWin32Platform::RegEnumKeyExA(HKEY hKey, DWORD dwIndex, LPSTR pszName, LPDWORD pcchName,
                                   LPDWORD pReserved, LPSTR pszClass, LPDWORD pcchClass,
                                   PFILETIME pftLastWriteTime)
{
  return ::RegEnumKeyExA(hKey, dwIndex, pszName, pcchName, pReserved, pszClass, pcchClass,
                         pftLastWriteTime);
}

LONG CWin32Platform::RegEnumValueA(HKEY hKey, DWORD dwIndex, LPSTR pszValueName,
                                   LPDWORD pcchValueName, LPDWORD pReserved, LPDWORD pType,
                                   LPBYTE pData, LPDWORD pcbData)
{
  return ::RegEnumValueA(hKey, dwIndex, pszValueName, pcchValueName, pReserved, pType, pData,
                         pcbData);
}

LONG CWin32Platform::RegCloseKey(HKEY hKey)
{
  return ::RegCloseKey(hKey);
}

// Deeper than any key the launcher removes; bounds the stack on a key
// tree that only symbolic links could make endless.
static const int kMaxDeleteDepth = 64;

// Deletes pszSubKey of hParent after all its subkeys, leaves first.
// NT refuses to delete a key that still has subkeys, and Wine's Windows 9x
// mode recurses wrongly, so the system is only ever asked to delete leaves.
// A subkey that cannot be deleted is stepped over, so that the rest of the
// tree still goes; the key itself then stays and the system's error is
// returned.
static LONG DeleteKeyTree(HKEY hParent, LPCSTR pszSubKey, int nDepth)
{
  if (nDepth > kMaxDeleteDepth)
    return ERROR_ACCESS_DENIED;
  HKEY hKey = 0;
  LONG lResult = ::RegOpenKeyExA(hParent, pszSubKey, 0, KEY_ENUMERATE_SUB_KEYS | KEY_QUERY_VALUE,
                                 &hKey);
  if (lResult != ERROR_SUCCESS)
    return lResult;
  DWORD dwIndex = 0;
  for (;;) {
    char szChild[256];
    DWORD cchChild = sizeof(szChild);
    FILETIME ftWrite;
    if (::RegEnumKeyExA(hKey, dwIndex, szChild, &cchChild, 0, 0, 0, &ftWrite) != ERROR_SUCCESS)
      break;
    if (DeleteKeyTree(hKey, szChild, nDepth + 1) != ERROR_SUCCESS)
      ++dwIndex;
  }
  ::RegCloseKey(hKey);
  return ::RegDeleteKeyA(hParent, pszSubKey);
}

LONG CWin32Platform::RegDeleteKeyA(HKEY hKey, LPCSTR pszSubKey)
{
  // An empty name would open hKey itself and strip everything below it.
  if (pszSubKey == 0 || pszSubKey[0] == '\0')
    return ERROR_BADKEY;
  return DeleteKeyTree(hKey, pszSubKey, 0);
}
