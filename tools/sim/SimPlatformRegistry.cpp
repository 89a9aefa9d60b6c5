// The registry functions over the in-memory tree, with key handles.
#include <cstring>

#include "SimPlatform.h"
#include "SimText.h"

namespace sim {

namespace {

const LONG kKeyDeleted = 1018;  // ERROR_KEY_DELETED

std::string ValueName(LPCSTR psz)
{
  return psz ? psz : "";
}

// The hive a predefined handle stands for.
const char* HiveName(HKEY hKey)
{
  switch ((uint32_t)(uintptr_t)hKey) {
  case 0x80000000u: return "HKEY_CLASSES_ROOT";
  case 0x80000001u: return "HKEY_CURRENT_USER";
  case 0x80000002u: return "HKEY_LOCAL_MACHINE";
  case 0x80000003u: return "HKEY_USERS";
  case 0x80000005u: return "HKEY_CURRENT_CONFIG";
  case 0x80000006u: return "HKEY_DYN_DATA";
  default: return nullptr;
  }
}

}  // namespace

RegKey* CSimPlatform::KeyOf(HKEY hKey, LONG* pError) const
{
  if (const char* hive = HiveName(hKey))
    return m_registry.Hive(hive);
  auto it = m_keys.find(hKey);
  if (it == m_keys.end()) {
    *pError = ERROR_INVALID_HANDLE;
    return nullptr;
  }
  if (it->second.key->deleted) {
    *pError = kKeyDeleted;
    return nullptr;
  }
  return it->second.key.get();
}

// Windows NT checks the access a key was opened with; Windows 9x ignores it.
bool CSimPlatform::Allowed(HKEY hKey, REGSAM needed) const
{
  if (!IsNt() || HiveName(hKey))
    return true;
  auto it = m_keys.find(hKey);
  return it != m_keys.end() && (it->second.access & needed) == needed;
}

// The key of a handle, provided it was opened with the access needed.
RegKey* CSimPlatform::KeyWithAccess(HKEY hKey, REGSAM needed, LONG* pError) const
{
  RegKey* k = KeyOf(hKey, pError);
  if (k != nullptr && !Allowed(hKey, needed)) {
    *pError = ERROR_ACCESS_DENIED;
    return nullptr;
  }
  return k;
}

LONG CSimPlatform::RegOpenKeyExA(HKEY hKey, LPCSTR pszSubKey, DWORD, REGSAM samDesired,
                                 PHKEY phkResult)
{
  LONG err = ERROR_SUCCESS;
  RegKey* k = KeyOf(hKey, &err);
  if (k == nullptr)
    return err;
  if (phkResult == nullptr)
    return ERROR_INVALID_PARAMETER;
  RegKey* found = CSimRegistry::FindBelow(k, ValueName(pszSubKey));
  if (found == nullptr)
    return ERROR_FILE_NOT_FOUND;
  HKEY h = (HKEY)NewHandle();
  m_keys[h] = OpenKey{found->shared_from_this(), samDesired};
  *phkResult = h;
  return ERROR_SUCCESS;
}

LONG CSimPlatform::RegQueryValueExA(HKEY hKey, LPCSTR pszValueName, LPDWORD, LPDWORD pType,
                                    LPBYTE pData, LPDWORD pcbData)
{
  LONG err = ERROR_SUCCESS;
  RegKey* k = KeyWithAccess(hKey, KEY_QUERY_VALUE, &err);
  if (k == nullptr)
    return err;
  RegValue* v = k->FindValue(ValueName(pszValueName));
  if (v == nullptr)
    return ERROR_FILE_NOT_FOUND;
  if (pType)
    *pType = v->type;
  if (pData != nullptr) {
    if (pcbData == nullptr)
      return ERROR_INVALID_PARAMETER;
    if (*pcbData < v->data.size()) {
      *pcbData = (DWORD)v->data.size();
      return ERROR_MORE_DATA;
    }
    if (!v->data.empty())
      std::memcpy(pData, v->data.data(), v->data.size());
  }
  if (pcbData)
    *pcbData = (DWORD)v->data.size();
  return ERROR_SUCCESS;
}

LONG CSimPlatform::RegSetValueExA(HKEY hKey, LPCSTR pszValueName, DWORD, DWORD dwType,
                                  const BYTE* pData, DWORD cbData)
{
  LONG err = ERROR_SUCCESS;
  RegKey* k = KeyWithAccess(hKey, KEY_SET_VALUE, &err);
  if (k == nullptr)
    return err;
  if (pData == nullptr && cbData != 0)
    return ERROR_INVALID_PARAMETER;
  RegValue nv;
  nv.name = ValueName(pszValueName);
  nv.type = dwType;
  if (cbData)
    nv.data.assign(pData, pData + cbData);
  k->SetValue(nv);
  return ERROR_SUCCESS;
}

LONG CSimPlatform::RegDeleteValueA(HKEY hKey, LPCSTR pszValueName)
{
  LONG err = ERROR_SUCCESS;
  RegKey* k = KeyWithAccess(hKey, KEY_SET_VALUE, &err);
  if (k == nullptr)
    return err;
  return k->DeleteValue(ValueName(pszValueName)) ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND;
}

LONG CSimPlatform::RegEnumKeyExA(HKEY hKey, DWORD dwIndex, LPSTR pszName, LPDWORD pcchName,
                                 LPDWORD, LPSTR pszClass, LPDWORD pcchClass,
                                 PFILETIME pftLastWriteTime)
{
  LONG err = ERROR_SUCCESS;
  RegKey* k = KeyWithAccess(hKey, KEY_ENUMERATE_SUB_KEYS, &err);
  if (k == nullptr)
    return err;
  if (pszName == nullptr || pcchName == nullptr)
    return ERROR_INVALID_PARAMETER;
  if (dwIndex >= k->subkeys.size())
    return ERROR_NO_MORE_ITEMS;
  const std::string& name = k->subkeys[dwIndex]->name;
  if (*pcchName <= name.size())
    return ERROR_MORE_DATA;
  std::memcpy(pszName, name.c_str(), name.size() + 1);
  *pcchName = (DWORD)name.size();
  if (pszClass && pcchClass && *pcchClass > 0) {
    pszClass[0] = '\0';
    *pcchClass = 0;
  }
  if (pftLastWriteTime)
    pftLastWriteTime->dwLowDateTime = pftLastWriteTime->dwHighDateTime = 0;
  return ERROR_SUCCESS;
}

LONG CSimPlatform::RegEnumValueA(HKEY hKey, DWORD dwIndex, LPSTR pszValueName,
                                 LPDWORD pcchValueName, LPDWORD, LPDWORD pType, LPBYTE pData,
                                 LPDWORD pcbData)
{
  LONG err = ERROR_SUCCESS;
  RegKey* k = KeyWithAccess(hKey, KEY_QUERY_VALUE, &err);
  if (k == nullptr)
    return err;
  if (pszValueName == nullptr || pcchValueName == nullptr)
    return ERROR_INVALID_PARAMETER;
  if (dwIndex >= k->values.size())
    return ERROR_NO_MORE_ITEMS;
  const RegValue& v = k->values[dwIndex];
  if (*pcchValueName <= v.name.size())
    return ERROR_MORE_DATA;
  if (pData != nullptr && (pcbData == nullptr || *pcbData < v.data.size())) {
    if (pcbData)
      *pcbData = (DWORD)v.data.size();
    return ERROR_MORE_DATA;
  }
  std::memcpy(pszValueName, v.name.c_str(), v.name.size() + 1);
  *pcchValueName = (DWORD)v.name.size();
  if (pType)
    *pType = v.type;
  if (pData && !v.data.empty())
    std::memcpy(pData, v.data.data(), v.data.size());
  if (pcbData)
    *pcbData = (DWORD)v.data.size();
  return ERROR_SUCCESS;
}

LONG CSimPlatform::RegDeleteKeyA(HKEY hKey, LPCSTR pszSubKey)
{
  LONG err = ERROR_SUCCESS;
  RegKey* k = KeyOf(hKey, &err);
  if (k == nullptr)
    return err;
  if (pszSubKey == nullptr || SplitKeyPath(pszSubKey).empty())
    return ERROR_BADKEY;
  RegKey* target = CSimRegistry::FindBelow(k, pszSubKey);
  if (target == nullptr)
    return ERROR_FILE_NOT_FOUND;
  // Subkeys go with it, as on Windows 95, 98 and ME.
  CSimRegistry::DeleteKey(target);
  return ERROR_SUCCESS;
}

LONG CSimPlatform::RegCloseKey(HKEY hKey)
{
  if (HiveName(hKey))
    return ERROR_SUCCESS;
  return m_keys.erase(hKey) ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}

}  // namespace sim
