// Enumeration helpers shared by the registry purge: names are read whole,
// whatever their length, so that no name can end a scan early.
#ifndef PURGE_REGISTRYSCAN_H
#define PURGE_REGISTRYSCAN_H

#include "platform/Win32Types.h"

// Key names are at most 255 characters on every Windows, so this buffer holds
// every subkey name whole.
#define PURGE_KEY_NAME_SIZE 256
// A parent path of the purge followed by a backslash and one key name.
#define PURGE_KEY_PATH_SIZE 512

enum EnumResult {
  ENUM_NAME,     // the name is in the buffer
  ENUM_SKIP,     // an entry is there, but its name does not fit: pass it over
  ENUM_NO_MORE,  // past the last entry
  ENUM_FAILED    // any other failure: the scan ends
};

// Subkey dwIndex of hKey into pszName (PURGE_KEY_NAME_SIZE bytes).
EnumResult EnumSubKey(HKEY hKey, DWORD dwIndex, char* pszName);

// Looks at one subkey (its full path and its name) and deletes what it
// should. TRUE when the subkey is gone afterwards.
typedef BOOL (*SubKeyPurge)(const char* pszKey, const char* pszName);

// Offers every subkey of HKEY_LOCAL_MACHINE\pszParent to pfnPurge. The parent
// is opened (with samParent) for each subkey and closed again before pfnPurge
// runs, so that the subkey can be deleted and there is no limit on their
// number; a deleted subkey leaves the next one at the same index, a name too
// long for the buffer is passed over. FALSE when the parent could not be
// opened, TRUE when the scan reached its end.
BOOL PurgeSubKeys(const char* pszParent, REGSAM samParent, SubKeyPurge pfnPurge);

// TRUE when HKEY_LOCAL_MACHINE\pszPath exists and can be read.
BOOL LocalMachineKeyOpens(const char* pszPath);

#endif // PURGE_REGISTRYSCAN_H
