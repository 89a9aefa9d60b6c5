#include "app/SystemAdjustments.h"

#include "platform/PathNames.h"
#include "platform/Platform.h"
#include "platform/ProfileFiles.h"
#include "platform/StrBuf.h"

static const char kAudioKey[] = "Software\\Microsoft\\Multimedia\\Audio";
static const char kDefaultUserAudioKey[] = ".Default\\Software\\Microsoft\\Multimedia\\Audio";
static const char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

// The format list is read into this many bytes; a longer one is not read.
static const DWORD kFormatListBytes = 1024;

// The disc player's UsingCDDA follows setup.ini's, written on every start so
// that a setup.ini without the key turns the setting off.
static void WriteDiscPlayerSetting(const char* pszSetupIni)
{
  IPlatform* p = Platform();
  char szFile[MAX_PATH];
  if (!GetWindowsDirWithBackslash(szFile) || !StrAppend(szFile, sizeof szFile, "QVCDPLAY.INI"))
    return;

  UINT nUsingCDDA = 0;
  if (pszSetupIni[0] != '\0')
    nUsingCDDA = p->GetPrivateProfileIntA("Default", "UsingCDDA", 0, pszSetupIni);
  p->WritePrivateProfileStringA("DISC SPINNER", "UsingCDDA", nUsingCDDA != 0 ? "1" : "0", szFile);
  FlushProfileFile(szFile);
}

// The first comma-separated entry of pszList containing "CD" (case-sensitive,
// entries untrimmed), copied whole into pszEntry. FALSE when there is none.
static BOOL FindCdFormat(const char* pszList, char* pszEntry, StrSize cbEntry)
{
  const char* pStart = pszList;
  for (;;) {
    const char* pEnd = pStart;
    while (*pEnd != '\0' && *pEnd != ',')
      ++pEnd;
    StrSize cch = (StrSize)(pEnd - pStart);
    for (StrSize i = 0; i + 1 < cch; ++i) {
      if (pStart[i] == 'C' && pStart[i + 1] == 'D')
        return StrCopyN(pszEntry, cbEntry, pStart, cch);
    }
    if (*pEnd == '\0')
      return FALSE;
    pStart = pEnd + 1;
  }
}

static void SetDefaultFormat(HKEY hHive, const char* pszKey, const char* pszFormat)
{
  IPlatform* p = Platform();
  HKEY hKey;
  if (p->RegOpenKeyExA(hHive, pszKey, 0, KEY_ALL_ACCESS, &hKey) != ERROR_SUCCESS)
    return;
  p->RegSetValueExA(hKey, "DefaultFormat", 0, REG_SZ, (const BYTE*)pszFormat,
                    StrLen(pszFormat) + 1);
  p->RegCloseKey(hKey);
}

// DefaultFormat, for the current and the default user, becomes the first
// format of SystemFormats whose name holds "CD". Keys are never created.
static void SetCdQualityDefaultFormat()
{
  IPlatform* p = Platform();
  HKEY hKey;
  if (p->RegOpenKeyExA(HKEY_CURRENT_USER, kAudioKey, 0, KEY_ALL_ACCESS, &hKey) != ERROR_SUCCESS)
    return;
  // One byte beyond what is read keeps a value stored without its
  // terminator from running on.
  char szList[kFormatListBytes + 1];
  DWORD cbList = kFormatListBytes;
  DWORD dwType = 0;
  LONG lResult = p->RegQueryValueExA(hKey, "SystemFormats", 0, &dwType, (LPBYTE)szList, &cbList);
  p->RegCloseKey(hKey);
  if (lResult != ERROR_SUCCESS || cbList > kFormatListBytes)
    return;
  szList[cbList] = '\0';

  // An entry of any length is written whole: a cut name would name no format.
  char szFormat[kFormatListBytes + 1];
  if (!FindCdFormat(szList, szFormat, sizeof szFormat))
    return;
  SetDefaultFormat(HKEY_CURRENT_USER, kAudioKey, szFormat);
  SetDefaultFormat(HKEY_USERS, kDefaultUserAudioKey, szFormat);
}

static void RemoveLogonStartEntry()
{
  IPlatform* p = Platform();
  HKEY hKey;
  if (p->RegOpenKeyExA(HKEY_LOCAL_MACHINE, kRunKey, 0, KEY_ALL_ACCESS, &hKey) != ERROR_SUCCESS)
    return;
  p->RegDeleteValueA(hKey, "Tonivex Applications");
  p->RegCloseKey(hKey);
}

void ApplySystemAdjustments(const char* pszSetupIni)
{
  WriteDiscPlayerSetting(pszSetupIni);
  SetCdQualityDefaultFormat();
  RemoveLogonStartEntry();
}
