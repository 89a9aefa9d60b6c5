#include "purge/MediaClassPurge.h"

#include "platform/PathNames.h"
#include "platform/Platform.h"
#include "platform/StrBuf.h"
#include "purge/RegistryScan.h"

static const char s_szMediaClassKey[] = "System\\CurrentControlSet\\services\\Class\\MEDIA";
static const char s_szMediaResourcesKey[] = "System\\CurrentControlSet\\control\\MediaResources\\";
static const char* const s_apszMediaTypes[] = { "aux", "joystick", "midi", "mixer", "wave" };

// The value scan of one instance key gives up after this many values.
static const DWORD VALUE_SCAN_LIMIT = 1000;
// At most this many entries are removed per type key and instance.
static const int MEDIA_ENTRY_LIMIT = 15;
static const char s_szMakerProvider[] = "VELTRIX";
static const StrSize MAKER_PROVIDER_LENGTH = 7;

// ProviderName data that does not fit the first buffer. Windows 95, 98 and ME
// hold at most 16,300 bytes in one value, so this takes any of theirs whole.
static BYTE s_abLongValueData[16384];

// The matching entry names of one type key, whole. Kept out of the stack,
// which stays small on Windows 95; one purge runs at a time.
static char s_aszMediaEntries[MEDIA_ENTRY_LIMIT][PURGE_KEY_NAME_SIZE];

// TRUE when the data, taken as a string, begins with the maker's name in any
// letter case.
static BOOL NamesMaker(const BYTE* pData, DWORD cbData)
{
  for (StrSize i = 0; i < MAKER_PROVIDER_LENGTH; ++i) {
    if (i >= cbData || pData[i] == '\0')
      return FALSE;
    if (ChrUpper((char)pData[i]) != s_szMakerProvider[i])
      return FALSE;
  }
  return TRUE;
}

// Reads the data of value dwIndex (known to be "ProviderName") and tests it.
static BOOL ProviderIsMaker(HKEY hInstance, DWORD dwIndex)
{
  char szName[PURGE_KEY_NAME_SIZE];
  BYTE abData[256];
  DWORD cchName = sizeof szName;
  DWORD cbData = sizeof abData;
  LONG lResult = Platform()->RegEnumValueA(hInstance, dwIndex, szName, &cchName, 0, 0, abData,
                                           &cbData);
  if (lResult == ERROR_SUCCESS)
    return NamesMaker(abData, cbData);
  if (lResult != ERROR_MORE_DATA)
    return FALSE;
  cchName = sizeof szName;
  cbData = sizeof s_abLongValueData;
  lResult = Platform()->RegEnumValueA(hInstance, dwIndex, szName, &cchName, 0, 0,
                                      s_abLongValueData, &cbData);
  return lResult == ERROR_SUCCESS && NamesMaker(s_abLongValueData, cbData);
}

// Looks for a value named exactly "ProviderName" (letter case as written)
// that names the maker. Names are read without their data, so a long value of
// any kind never ends the scan; a name too long for the buffer is longer than
// "ProviderName" and is passed over.
static BOOL IsMakerInstance(HKEY hInstance)
{
  for (DWORD dwIndex = 0; dwIndex < VALUE_SCAN_LIMIT; ++dwIndex) {
    char szName[PURGE_KEY_NAME_SIZE];
    DWORD cchName = sizeof szName;
    LONG lResult = Platform()->RegEnumValueA(hInstance, dwIndex, szName, &cchName, 0, 0, 0, 0);
    if (lResult == ERROR_MORE_DATA)
      continue;
    if (lResult != ERROR_SUCCESS)
      return FALSE;
    if (StrCmp(szName, "ProviderName") == 0 && ProviderIsMaker(hInstance, dwIndex))
      return TRUE;
  }
  return FALSE;
}

// Examines one instance and, when it is the maker's, deletes it and its media
// resource entries. Returns TRUE when the instance key is gone afterwards, so
// that the next instance now stands at the same index.
static BOOL PurgeMediaInstance(const char* pszInstanceKey, const char* pszInstance)
{
  HKEY hInstance;
  if (Platform()->RegOpenKeyExA(HKEY_LOCAL_MACHINE, pszInstanceKey, 0, KEY_READ, &hInstance) !=
      ERROR_SUCCESS)
    return FALSE;
  if (!IsMakerInstance(hInstance)) {
    Platform()->RegCloseKey(hInstance);
    return FALSE;
  }
  Platform()->RegDeleteKeyA(HKEY_LOCAL_MACHINE, pszInstanceKey);
  Platform()->RegCloseKey(hInstance);
  for (unsigned int i = 0; i < sizeof s_apszMediaTypes / sizeof s_apszMediaTypes[0]; ++i) {
    char szTypeKey[PURGE_KEY_PATH_SIZE];
    if (StrConcat(szTypeKey, sizeof szTypeKey, s_szMediaResourcesKey, s_apszMediaTypes[i]))
      PurgeMediaResourceEntries(szTypeKey, pszInstance);
  }
  return !LocalMachineKeyOpens(pszInstanceKey);
}

void PurgeMakerMediaInstances()
{
  PurgeSubKeys(s_szMediaClassKey, KEY_ENUMERATE_SUB_KEYS, PurgeMediaInstance);
}

// The entries carry their class instance name followed by one closing
// character at the end of their name.
static BOOL EntryNamesInstance(const char* pszEntry, const char* pszInstance)
{
  StrSize cchEntry = StrLen(pszEntry);
  StrSize cchInstance = StrLen(pszInstance);
  if (cchInstance == 0 || cchEntry < cchInstance + 1)
    return FALSE;
  return StrCmpNI(pszEntry + cchEntry - 1 - cchInstance, pszInstance, cchInstance) == 0;
}

void PurgeMediaResourceEntries(const char* typeKey, const char* instance)
{
  HKEY hType;
  if (Platform()->RegOpenKeyExA(HKEY_LOCAL_MACHINE, typeKey, 0, KEY_READ, &hType) != ERROR_SUCCESS)
    return;
  int nEntries = 0;
  for (DWORD dwIndex = 0; nEntries < MEDIA_ENTRY_LIMIT; ++dwIndex) {
    EnumResult result = EnumSubKey(hType, dwIndex, s_aszMediaEntries[nEntries]);
    if (result == ENUM_NO_MORE || result == ENUM_FAILED)
      break;
    if (result == ENUM_NAME && EntryNamesInstance(s_aszMediaEntries[nEntries], instance))
      ++nEntries;
  }
  Platform()->RegCloseKey(hType);

  for (int i = 0; i < nEntries; ++i) {
    char szEntryKey[PURGE_KEY_PATH_SIZE];
    HKEY hEntry;
    if (!JoinKeyPath(szEntryKey, sizeof szEntryKey, typeKey, s_aszMediaEntries[i]) ||
        Platform()->RegOpenKeyExA(HKEY_LOCAL_MACHINE, szEntryKey, 0, KEY_READ, &hEntry) !=
            ERROR_SUCCESS)
      continue;
    Platform()->RegDeleteKeyA(HKEY_LOCAL_MACHINE, szEntryKey);
    Platform()->RegCloseKey(hEntry);
  }
}
