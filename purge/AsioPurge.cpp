#include "purge/AsioPurge.h"

#include "platform/PathNames.h"
#include "platform/Platform.h"
#include "platform/StrBuf.h"
#include "purge/RegistryScan.h"

static const char s_szAsioKey[] = "SOFTWARE\\ASIO";
static const char s_szMakerAsioClass[] = "{6E0D93F2-B8A4-11D2-9C7E-0060B1F4A233}";

// TRUE when the driver key's CLSID value names the maker's ASIO class. A value
// too long for the buffer is longer than the class id and so names another.
static BOOL IsMakerAsioDriver(const char* pszDriverKey)
{
  HKEY hDriver;
  if (Platform()->RegOpenKeyExA(HKEY_LOCAL_MACHINE, pszDriverKey, 0, KEY_READ, &hDriver) !=
      ERROR_SUCCESS)
    return FALSE;
  char szClass[64];
  DWORD cbClass = sizeof szClass - 1;
  LONG lResult = Platform()->RegQueryValueExA(hDriver, "CLSID", 0, 0, (LPBYTE)szClass, &cbClass);
  Platform()->RegCloseKey(hDriver);
  if (lResult != ERROR_SUCCESS || cbClass >= sizeof szClass)
    return FALSE;
  szClass[cbClass] = '\0';  // the data need not carry its terminator
  return StrCmpI(szClass, s_szMakerAsioClass) == 0;
}

// TRUE when the ASIO key exists and holds no subkey.
static BOOL AsioKeyIsEmpty()
{
  HKEY hAsio;
  if (Platform()->RegOpenKeyExA(HKEY_LOCAL_MACHINE, s_szAsioKey, 0, KEY_READ, &hAsio) !=
      ERROR_SUCCESS)
    return FALSE;
  char szName[PURGE_KEY_NAME_SIZE];
  EnumResult result = EnumSubKey(hAsio, 0, szName);
  Platform()->RegCloseKey(hAsio);
  return result == ENUM_NO_MORE;
}

// Deletes the driver key when it is the maker's. A key that stays is passed
// over.
static BOOL PurgeAsioDriver(const char* pszDriverKey, const char*)
{
  if (!IsMakerAsioDriver(pszDriverKey))
    return FALSE;
  Platform()->RegDeleteKeyA(HKEY_LOCAL_MACHINE, pszDriverKey);
  return !LocalMachineKeyOpens(pszDriverKey);
}

void PurgeMakerAsioDrivers()
{
  if (!PurgeSubKeys(s_szAsioKey, KEY_READ, PurgeAsioDriver))
    return;
  if (!AsioKeyIsEmpty())
    return;
  HKEY hAsio;
  if (Platform()->RegOpenKeyExA(HKEY_LOCAL_MACHINE, s_szAsioKey, 0, KEY_WRITE, &hAsio) !=
      ERROR_SUCCESS)
    return;
  Platform()->RegDeleteKeyA(HKEY_LOCAL_MACHINE, s_szAsioKey);
  Platform()->RegCloseKey(hAsio);
}
