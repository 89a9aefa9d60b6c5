#include "install/MixerRefresh.h"

#include "install/FileStaging.h"
#include "platform/FileProbe.h"
#include "platform/Platform.h"
#include "platform/StrBuf.h"

static const char kStagedMixer[] = "C:\\Program Files\\Veltrix\\W95-98\\Mixer.exe";
static const char kMixerName[] = "Mixer.exe";

// The directory that the key's "Path" value names, when it holds Mixer.exe;
// pszDir (MAX_PATH bytes) then ends in a backslash.
static BOOL FindRegisteredMixerDirectory(const char* pszKey, char* pszDir)
{
  IPlatform* p = Platform();
  pszDir[0] = '\0';
  HKEY hKey = 0;
  if (p->RegOpenKeyExA(HKEY_LOCAL_MACHINE, pszKey, 0, KEY_QUERY_VALUE, &hKey) != ERROR_SUCCESS)
    return FALSE;
  DWORD dwType = REG_SZ;
  DWORD cbData = MAX_PATH;
  LONG lResult = p->RegQueryValueExA(hKey, "Path", 0, &dwType, (LPBYTE)pszDir, &cbData);
  p->RegCloseKey(hKey);
  if (lResult != ERROR_SUCCESS) {
    pszDir[0] = '\0';
    return FALSE;
  }
  // A value stored without its terminator still ends inside the buffer.
  pszDir[cbData < MAX_PATH ? cbData : MAX_PATH - 1] = '\0';

  // An empty value names no directory (it is never taken for the root).
  char szMixer[MAX_PATH];
  if (!StrEnsureBackslash(pszDir, MAX_PATH) ||
      !StrConcat(szMixer, sizeof szMixer, pszDir, kMixerName) || !FileOpensForReading(szMixer)) {
    pszDir[0] = '\0';
    return FALSE;
  }
  return TRUE;
}

void RefreshMixerProgram()
{
  char szDir[MAX_PATH];
  if (!FindRegisteredMixerDirectory("Software\\Tonivex Applications\\Mixer", szDir) &&
      !FindRegisteredMixerDirectory("Software\\Veltrix\\Mixer", szDir))
    return;

  char szTarget[MAX_PATH];
  if (StrConcat(szTarget, sizeof szTarget, szDir, kMixerName))
    CopyWithNormalAttributes(kStagedMixer, szTarget, TRUE);

  char szWinDir[MAX_PATH];
  if (!GetWindowsDirWithBackslash(szWinDir))
    return;
  if (StrConcat(szTarget, sizeof szTarget, szWinDir, kMixerName) && FileOpensForReading(szTarget))
    CopyWithNormalAttributes(kStagedMixer, szTarget, TRUE);
}
