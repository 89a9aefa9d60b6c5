#include "install/SourceDisksNames.h"

#include "install/InstallPaths.h"
#include "platform/Platform.h"
#include "platform/ProfileFiles.h"
#include "platform/StrBuf.h"

// The longest entry rewritten, as a 1024-byte buffer holds it whole. It is
// read with room for one character more, so that a longer entry shows
// itself and is left as it is rather than written back cut.
enum { ENTRY_LONGEST = 1023, ENTRY_BUFFER = ENTRY_LONGEST + 2 };

static const char s_szSection[] = "SourceDisksNames";

// The suffix for one file: the fixed text, or ", " + the staging directory's
// 8.3 form. FALSE when the short form cannot be had (the directory is
// missing): the entry must then stay as it is.
static BOOL BuildSuffix(const SourceDisksNamesRule& rule, char* pszSuffix, StrSize cbSuffix)
{
  if (rule.m_pszFixedSuffix != 0)
    return StrCopy(pszSuffix, cbSuffix, rule.m_pszFixedSuffix);

  char szShort[MAX_PATH];
  MemSet(szShort, 0, sizeof(szShort));
  DWORD cchShort = Platform()->GetShortPathNameA(g_szDriverStagingName, szShort, MAX_PATH);
  if (cchShort == 0 || cchShort >= MAX_PATH)
    return FALSE;
  return StrConcat(pszSuffix, cbSuffix, ", ", szShort);
}

static BOOL FileExists(const char* pszPath)
{
  DWORD dwAttributes = Platform()->GetFileAttributesA(pszPath);
  return dwAttributes != INVALID_FILE_ATTRIBUTES && (dwAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

static void RewriteOneFile(const char* pszPath, const SourceDisksNamesRule& rule)
{
  if (!FileExists(pszPath))
    return;

  char szValue[ENTRY_BUFFER];
  MemSet(szValue, 0, sizeof(szValue));
  DWORD cchValue = Platform()->GetPrivateProfileStringA(s_szSection, rule.m_pszKey, "", szValue,
                                                        sizeof(szValue), pszPath);
  if (cchValue > ENTRY_LONGEST)
    return;
  if (szValue[0] == '\0' && !rule.m_bWriteEmptyEntry)
    return;

  char szSuffix[MAX_PATH + 2];
  if (!BuildSuffix(rule, szSuffix, sizeof(szSuffix)))
    return;
  char szEntry[ENTRY_BUFFER + sizeof(szSuffix)];
  if (!StrConcat(szEntry, sizeof(szEntry), szValue, szSuffix))
    return;
  // Room for the whole entry and a section line the write may add: Windows
  // 9x would cut a larger file, so it is left byte for byte.
  DWORD cbAdded = StrLen(s_szSection) + StrLen(rule.m_pszKey) + StrLen(szEntry) + 8;
  if (!ProfileFileHasRoom(pszPath, cbAdded))
    return;
  Platform()->WritePrivateProfileStringA(s_szSection, rule.m_pszKey, szEntry, pszPath);
  FlushProfileFile(pszPath);
}

void RewriteSourceDisksNames(const CInfFileList& fileList, const SourceDisksNamesRule& rule)
{
  CInfFileWalk walk(fileList);
  while (const char* pszPath = walk.Next())
    RewriteOneFile(pszPath, rule);
}
