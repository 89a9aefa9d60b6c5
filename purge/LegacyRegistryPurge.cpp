#include "purge/LegacyRegistryPurge.h"

#include "platform/PathNames.h"
#include "platform/Platform.h"
#include "platform/StrBuf.h"
#include "purge/AsioPurge.h"
#include "purge/MediaClassPurge.h"
#include "purge/RegistryScan.h"

static const char* const s_apszVirtualDeviceKeys[] = {
  "Enum\\VIRTUAL\\TVQ-SWMIDI", "Enum\\VIRTUAL\\TVQ-DOSEMU", "Enum\\VIRTUAL\\TVQ-LEGACY",
  "Enum\\VIRTUAL\\TVQ-SBEMU", "Enum\\VIRTUAL\\TVQ-JOYSTK",
};

// Deletes every subkey of the parent whose name begins with pszPrefix (letter
// case as written), starting the scan over from the first subkey after each
// removal. Sets *pbRemoved for each key deleted. Returns FALSE when a matching
// key could not be deleted: the whole purge ends there.
static BOOL PurgeDeviceKeys(const char* pszParent, const char* pszPrefix, BOOL* pbRemoved)
{
  StrSize cchPrefix = StrLen(pszPrefix);
  HKEY hParent;
  if (Platform()->RegOpenKeyExA(HKEY_LOCAL_MACHINE, pszParent, 0, KEY_ENUMERATE_SUB_KEYS,
                                &hParent) != ERROR_SUCCESS)
    return TRUE;
  DWORD dwIndex = 0;
  for (;;) {
    char szName[PURGE_KEY_NAME_SIZE];
    char szDevice[PURGE_KEY_PATH_SIZE];
    EnumResult result = EnumSubKey(hParent, dwIndex, szName);
    if (result == ENUM_NO_MORE || result == ENUM_FAILED)
      break;
    if (result == ENUM_SKIP || StrCmpN(szName, pszPrefix, cchPrefix) != 0 ||
        !JoinKeyPath(szDevice, sizeof szDevice, pszParent, szName)) {
      ++dwIndex;
      continue;
    }
    Platform()->RegCloseKey(hParent);
    HKEY hDevice;
    if (Platform()->RegOpenKeyExA(HKEY_LOCAL_MACHINE, szDevice, 0, KEY_READ, &hDevice) !=
        ERROR_SUCCESS)
      return TRUE;
    LONG lResult = Platform()->RegDeleteKeyA(HKEY_LOCAL_MACHINE, szDevice);
    Platform()->RegCloseKey(hDevice);
    if (lResult != ERROR_SUCCESS)
      return FALSE;
    *pbRemoved = TRUE;
    if (Platform()->RegOpenKeyExA(HKEY_LOCAL_MACHINE, pszParent, 0, KEY_ENUMERATE_SUB_KEYS,
                                  &hParent) != ERROR_SUCCESS)
      return TRUE;
    dwIndex = 0;
  }
  Platform()->RegCloseKey(hParent);
  return TRUE;
}

// The maker's virtual devices; same stopping rule as PurgeDeviceKeys.
static BOOL PurgeVirtualDevices(BOOL* pbRemoved)
{
  for (unsigned int i = 0; i < sizeof s_apszVirtualDeviceKeys / sizeof s_apszVirtualDeviceKeys[0];
       ++i) {
    HKEY hDevice;
    if (Platform()->RegOpenKeyExA(HKEY_LOCAL_MACHINE, s_apszVirtualDeviceKeys[i], 0, KEY_READ,
                                  &hDevice) != ERROR_SUCCESS)
      continue;
    LONG lResult = Platform()->RegDeleteKeyA(HKEY_LOCAL_MACHINE, s_apszVirtualDeviceKeys[i]);
    Platform()->RegCloseKey(hDevice);
    if (lResult != ERROR_SUCCESS)
      return FALSE;
    *pbRemoved = TRUE;
  }
  return TRUE;
}

// Deletes a key when it can be opened for writing; the result is not looked at.
static void DeleteWritableKey(HKEY hRoot, const char* pszPath)
{
  HKEY hKey;
  if (Platform()->RegOpenKeyExA(hRoot, pszPath, 0, KEY_WRITE, &hKey) != ERROR_SUCCESS)
    return;
  Platform()->RegDeleteKeyA(hRoot, pszPath);
  Platform()->RegCloseKey(hKey);
}

void PurgeLegacyRegistry()
{
  PurgeMakerMediaInstances();

  // Only device keys decide whether the shared registrations go; the class
  // instances above do not count.
  BOOL bDeviceRemoved = FALSE;
  if (!PurgeDeviceKeys("Enum\\PCI", "VEN_5D2A&DEV_01", &bDeviceRemoved))
    return;
  if (!PurgeDeviceKeys("Enum\\QVX", "CHILD", &bDeviceRemoved))
    return;
  if (!PurgeVirtualDevices(&bDeviceRemoved))
    return;
  if (!bDeviceRemoved)
    return;

  DeleteWritableKey(HKEY_CLASSES_ROOT, "SpaceFX");
  DeleteWritableKey(HKEY_CLASSES_ROOT, "CLSID\\{4B7A2C10-9E31-11D0-A5C2-0040D3E87F16}");
  PurgeMakerAsioDrivers();
  DeleteWritableKey(HKEY_CLASSES_ROOT, "CLSID\\{6E0D93F2-B8A4-11D2-9C7E-0060B1F4A233}");
}
