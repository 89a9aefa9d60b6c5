// The registry.
#include "platform/win32/Win32Platform.h"

#include "platform/StrBuf.h"

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

static LONG OpenForWalk(HKEY hParent, LPCSTR pszSubKey, HKEY* phKey)
{
  *phKey = 0;
  return ::RegOpenKeyExA(hParent, pszSubKey, 0, KEY_ENUMERATE_SUB_KEYS | KEY_QUERY_VALUE, phKey);
}

// The name of hKey's first subkey; FALSE when it has none.
static BOOL GetFirstSubKey(HKEY hKey, char* pszName, DWORD cchName)
{
  FILETIME ftWrite;
  return ::RegEnumKeyExA(hKey, 0, pszName, &cchName, 0, 0, 0, &ftWrite) == ERROR_SUCCESS;
}

// Deletes pszSubKey of hParent with everything below it, one key without
// subkeys at a time: each round goes down from the key through first
// subkeys to such a leaf and deletes it. Only the handles of the leaf's
// parent and of the leaf are held, so a tree of any depth is walked. NT
// refuses to delete a key that still has subkeys, and Wine's Windows 9x
// mode recurses wrongly, so the system is only ever asked to delete leaves.
// A leaf that cannot be deleted ends the walk with the system's error.
static LONG DeleteKeyTree(HKEY hParent, LPCSTR pszSubKey)
{
  for (;;) {
    HKEY hUpper = 0;
    LONG lResult = OpenForWalk(hParent, pszSubKey, &hUpper);
    if (lResult != ERROR_SUCCESS)
      return lResult;
    char szName[256];
    if (!GetFirstSubKey(hUpper, szName, sizeof szName)) {
      ::RegCloseKey(hUpper);
      return ::RegDeleteKeyA(hParent, pszSubKey);
    }
    // hUpper holds the subkey szName; go down until that has none.
    for (;;) {
      HKEY hLower = 0;
      lResult = OpenForWalk(hUpper, szName, &hLower);
      if (lResult != ERROR_SUCCESS)
        break;
      char szNext[256];
      if (!GetFirstSubKey(hLower, szNext, sizeof szNext)) {
        ::RegCloseKey(hLower);
        lResult = ::RegDeleteKeyA(hUpper, szName);
        break;
      }
      ::RegCloseKey(hUpper);
      hUpper = hLower;
      MemCopy(szName, szNext, sizeof szName);
    }
    ::RegCloseKey(hUpper);
    if (lResult != ERROR_SUCCESS)
      return lResult;
  }
}

LONG CWin32Platform::RegDeleteKeyA(HKEY hKey, LPCSTR pszSubKey)
{
  // An empty name would open hKey itself and strip everything below it.
  if (pszSubKey == 0 || pszSubKey[0] == '\0')
    return ERROR_BADKEY;
  return DeleteKeyTree(hKey, pszSubKey);
}
