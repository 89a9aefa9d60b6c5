// The [SourceDisksNames] rewrite of an INF copy kept in memory, read and written by the simulator's profile
// engine. Invariant: the copy is left as it is, or changed only as a profile write of the entry changes it;
// read back, the entry is what was read before followed by the suffix (blanks around it dropped). A small
// file whose entry is short (and not empty, unless empty entries are written) is always rewritten. Input: the
// rule (bit 0: the VxD dialog's fixed suffix, written also into an empty entry; else ", " and the staging
// directory's 8.3 form), the copy.
#include <cstring>

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
    FUZZ_CHECK(pszKey && pszValue, "removed a key or section");
    const std::string key = pszKey, value = pszValue;
    m_text = sim::ProfileSet(m_text, pszSection, &key, &value);
    return TRUE;
  }
  std::string m_text;
};

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
  if (size < 1)
    return 0;
  const bool bVxd = data[0] & 1;
  const std::string before(reinterpret_cast<const char*>(data) + 1, size - 1);
  const char* pszVxdSuffix = ", C:\\Program Files\\Veltrix\\W95-98";
  const char* const targets[2] = {"C:\\WINDOWS\\INF\\OTHER\\", nullptr};
  CInfFileList list;
  FUZZ_CHECK(list.SetPlacement("D:\\DRV\\", targets), "placement");
  CInfPlatform platform(before);
  CPlatformScope scope(&platform);
  RewriteSourceDisksNames(list, SourceDisksNamesRule{"1", bVxd ? pszVxdSuffix : nullptr, bVxd});
  const std::string& after = platform.m_text;
  // The entry as a program reads it: up to a NUL byte.
  const std::string old = sim::ProfileGet(before, "SourceDisksNames", "1").value_or("").c_str();
  const std::string entry = old + (bVxd ? pszVxdSuffix : std::string(", ") + kShortStaging);
  if (after == before)
    return FUZZ_CHECK(before.size() >= 60000 || old.size() > 1000 || (!bVxd && old.empty()), "entry " + old), 0;
  // Read back, blanks around a value drop off, as Windows reads it.
  const std::string read = sim::ProfileGet(after, "SourceDisksNames", "1").value_or("(none)");
  FUZZ_CHECK(read == sim::TrimBlanks(entry), "read back \"" + read + "\", wrote \"" + entry + "\"");
  const std::string fault = WriteFault(before, after, "SourceDisksNames", "1", entry);
  return FUZZ_CHECK(fault.empty(), fault), 0;
}
