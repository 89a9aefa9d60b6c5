// The [SourceDisksNames] rewrite of an INF copy kept in memory, read and written by the simulator's profile
// engine (whose writes the profile target checks). Invariant: the copy is left as it is, or its entry alone
// is written, as what was read before followed by the suffix. A small file whose entry is short (and not
// empty, unless empty entries are written) is always rewritten. Input: the rule (bit 0: the VxD dialog's
// fixed suffix, written also into an empty entry; else ", " and the staging directory's 8.3 form), the copy.
#include "FuzzCheck.h"
#include "FailingPlatform.h"
#include "install/SourceDisksNames.h"
#include "sim/SimProfile.h"

const char kCopy[] = "C:\\WINDOWS\\INF\\OTHER\\FUZZ.INF", kShortStaging[] = "C:\\PROGRA~1\\VELTRIX\\W95-98";

// One driver set file, FUZZ.INF, in D:\DRV\; its copy, the text, in INF\OTHER.
struct CInfPlatform : CFailingPlatform {
  explicit CInfPlatform(std::string text) : m_text(std::move(text)) {}
  HANDLE FindFirstFileA(LPCSTR pszPattern, LPWIN32_FIND_DATAA pData) override
  {
    const std::string pattern = pszPattern;
    std::memset(pData, 0, sizeof *pData);
    std::strcpy(pData->cFileName, "FUZZ.INF");
    pData->nFileSizeLow = pattern == kCopy ? (DWORD)m_text.size() : 0;
    return pattern == "D:\\DRV\\*.*" || pattern == kCopy ? (HANDLE)1 : INVALID_HANDLE_VALUE;
  }
  BOOL FindNextFileA(HANDLE, LPWIN32_FIND_DATAA) override { return FALSE; }
  BOOL FindClose(HANDLE) override { return TRUE; }
  DWORD GetFileAttributesA(LPCSTR psz) override
  {
    return std::string(psz) == kCopy ? FILE_ATTRIBUTE_NORMAL : INVALID_FILE_ATTRIBUTES;
  }
  DWORD GetShortPathNameA(LPCSTR, LPSTR p, DWORD) override { return (DWORD)std::strlen(std::strcpy(p, kShortStaging)); }
  DWORD GetPrivateProfileStringA(LPCSTR pszSection, LPCSTR pszKey, LPCSTR pszDefault, LPSTR pszOut, DWORD nSize,
                                 LPCSTR pszFile) override
  {
    FUZZ_CHECK(std::string(pszFile) == kCopy && pszSection && pszKey, "read another file");
    std::string v = sim::ProfileGet(m_text, pszSection, pszKey).value_or(pszDefault);
    v.resize(std::min<size_t>(v.size(), nSize - 1));
    std::memcpy(pszOut, v.c_str(), v.size() + 1);
    return (DWORD)v.size();
  }
  BOOL WritePrivateProfileStringA(LPCSTR pszSection, LPCSTR pszKey, LPCSTR pszValue, LPCSTR pszFile) override
  {
    FUZZ_CHECK(std::string(pszFile) == kCopy, "wrote another file");
    if (pszSection == nullptr)
      return FALSE;  // a flush
    FUZZ_CHECK(pszKey && pszValue && sim::EqualNoCase(pszSection, "SourceDisksNames") && std::string(pszKey) == "1",
               "wrote another entry");
    const std::string key = pszKey;
    m_text = sim::ProfileSet(m_text, pszSection, &key, &m_writes.emplace_back(pszValue));
    return TRUE;
  }
  std::string m_text;
  std::vector<std::string> m_writes;
};

FUZZ_TARGET(1, head, before)
{
  const bool bVxd = head[0] & 1;
  const char* pszVxdSuffix = ", C:\\Program Files\\Veltrix\\W95-98";
  const char* const targets[2] = {"C:\\WINDOWS\\INF\\OTHER\\", nullptr};
  CInfFileList list;
  FUZZ_CHECK(list.SetPlacement("D:\\DRV\\", targets), "placement");
  CInfPlatform platform(before);
  sim::CPlatformScope scope(&platform);
  RewriteSourceDisksNames(list, SourceDisksNamesRule{"1", bVxd ? pszVxdSuffix : nullptr, bVxd});
  // The entry as a program reads it: up to a NUL byte.
  const std::string old = sim::ProfileGet(before, "SourceDisksNames", "1").value_or("").c_str();
  const std::string entry = old + (bVxd ? pszVxdSuffix : std::string(", ") + kShortStaging);
  if (platform.m_writes.empty())
    return FUZZ_CHECK(before.size() >= 60000 || old.size() > 1000 || (!bVxd && old.empty()), "entry " + old);
  for (const auto& value : platform.m_writes)
    FUZZ_CHECK(value == entry, "wrote \"" + value + "\", not \"" + entry + "\"");
}
