// Profile (INI) files: reads as GetPrivateProfile*A, writes in place as
// Windows 9x makes them.
#include <cstring>
#include <fstream>
#include <sstream>

#include "SimPlatform.h"
#include "SimProfile.h"
#include "SimText.h"

namespace sim {

namespace {


// Copies a double-NUL list ("a\0b\0\0"), cut to fit as Windows cuts it.
DWORD CopyList(const std::vector<std::string>& names, LPSTR pszOut, DWORD nSize)
{
  std::string all;
  for (const auto& n : names)
    all += n + '\0';
  if (nSize < 2) {
    if (nSize == 1)
      pszOut[0] = '\0';
    return 0;
  }
  if (all.size() + 1 <= nSize) {
    std::memcpy(pszOut, all.data(), all.size());
    pszOut[all.size()] = '\0';
    if (all.empty())
      pszOut[1] = '\0';
    return (DWORD)all.size();
  }
  std::memcpy(pszOut, all.data(), nSize - 2);
  pszOut[nSize - 2] = '\0';
  pszOut[nSize - 1] = '\0';
  return nSize - 2;
}

}  // namespace

// A bare file name lies in the Windows directory; other paths resolve as
// usual. Returns the host path ("" when the drive is missing).
std::string CSimPlatform::ProfileHostFile(LPCSTR pszFile, Located* pLoc, WinPath* pPath) const
{
  if (pszFile == nullptr)
    return "";
  std::string name = pszFile;
  if (name.find_first_of("\\/:") == std::string::npos)
    name = (m_windowsDir.size() == 3 ? m_windowsDir : m_windowsDir + "\\") + name;
  if (!Full(name.c_str(), pPath))
    return "";
  *pLoc = m_fs.Locate(*pPath);
  return pLoc->driveExists ? pLoc->host : "";
}

DWORD CSimPlatform::GetPrivateProfileStringA(LPCSTR pszSection, LPCSTR pszKey, LPCSTR pszDefault,
                                             LPSTR pszReturned, DWORD nSize, LPCSTR pszFile)
{
  if (pszReturned == nullptr || nSize == 0)
    return 0;
  Located loc;
  WinPath path;
  std::string text;
  std::string host = ProfileHostFile(pszFile, &loc, &path);
  if (!host.empty() && loc.exists && !loc.isDir)
    ReadWholeFile(host, &text);
  if (pszSection == nullptr)
    return CopyList(ProfileSections(text), pszReturned, nSize);
  if (pszKey == nullptr)
    return CopyList(ProfileKeys(text, pszSection), pszReturned, nSize);
  std::optional<std::string> value = ProfileGet(text, pszSection, pszKey);
  std::string result;
  if (value) {
    result = *value;
  } else {
    // The default comes back without its trailing blanks.
    result = pszDefault ? pszDefault : "";
    while (!result.empty() && result.back() == ' ')
      result.pop_back();
  }
  DWORD n = result.size() < nSize ? (DWORD)result.size() : nSize - 1;
  std::memcpy(pszReturned, result.data(), n);
  pszReturned[n] = '\0';
  return n;
}

UINT CSimPlatform::GetPrivateProfileIntA(LPCSTR pszSection, LPCSTR pszKey, INT nDefault,
                                         LPCSTR pszFile)
{
  char buf[64];
  if (GetPrivateProfileStringA(pszSection, pszKey, "", buf, sizeof buf, pszFile) == 0)
    return (UINT)nDefault;
  // Leading digits count ("42abc" is 42), no digits give 0, and a 0x, 0o or
  // 0b prefix picks the base (as Wine reads them, probed).
  const char* p = buf;
  while (*p == ' ' || *p == '\t')
    ++p;
  bool neg = false;
  if (*p == '-' || *p == '+')
    neg = *p++ == '-';
  unsigned base = 10;
  if (p[0] == '0' && (p[1] == 'x' || p[1] == 'X'))
    base = 16;
  else if (p[0] == '0' && (p[1] == 'o' || p[1] == 'O'))
    base = 8;
  else if (p[0] == '0' && (p[1] == 'b' || p[1] == 'B'))
    base = 2;
  if (base != 10)
    p += 2;
  unsigned long long n = 0;
  for (;; ++p) {
    unsigned d;
    if (*p >= '0' && *p <= '9')
      d = (unsigned)(*p - '0');
    else if (*p >= 'a' && *p <= 'f')
      d = (unsigned)(*p - 'a' + 10);
    else if (*p >= 'A' && *p <= 'F')
      d = (unsigned)(*p - 'A' + 10);
    else
      break;
    if (d >= base)
      break;
    n = n * base + d;
  }
  UINT u = (UINT)n;
  return neg ? (UINT)(0u - u) : u;
}

// Windows 9x holds WIN.INI in a cache of its own, which only its own
// functions keep: a write to the file through this function goes behind that
// cache, so the computer reports it (the file is written all the same).
BOOL CSimPlatform::WritePrivateProfileStringA(LPCSTR pszSection, LPCSTR pszKey, LPCSTR pszValue,
                                              LPCSTR pszFile)
{
  Located loc, winIniLoc;
  WinPath path, winIni;
  if (!IsNt() && pszSection != nullptr && !ProfileHostFile(pszFile, &loc, &path).empty() &&
      !ProfileHostFile("WIN.INI", &winIniLoc, &winIni).empty() &&
      EqualNoCase(path.Format(), winIni.Format()))
    Log("fault WIN.INI written by WritePrivateProfileStringA");
  return WriteProfile(pszSection, pszKey, pszValue, pszFile);
}

// Windows 9x keeps WIN.INI as a file in the Windows directory.
BOOL CSimPlatform::WriteProfileStringA(LPCSTR pszSection, LPCSTR pszKey, LPCSTR pszValue)
{
  return WriteProfile(pszSection, pszKey, pszValue, "WIN.INI");
}

void CSimPlatform::NoteUnflushedProfiles(const std::string& occasion)
{
  // On Windows 9x the file may reach the disk after the program started or
  // Windows restarted has read it.
  for (const auto& cached : m_cachedProfiles) {
    m_unflushedAtStarts.push_back(cached.second + " before " + occasion);
    if (!IsNt())
      Log("fault unflushed " + Quote(cached.second));
  }
}

// The file is written at once; it counts as cached until it is flushed (a
// write with no section; no file flushes them all). A flush returns FALSE, as
// on Windows 9x and under Wine (probed), and creates no file.
BOOL CSimPlatform::WriteProfile(LPCSTR pszSection, LPCSTR pszKey, LPCSTR pszValue, LPCSTR pszFile)
{
  Located loc;
  WinPath path;
  std::string host = ProfileHostFile(pszFile, &loc, &path);
  if (pszSection == nullptr) {
    if (pszFile == nullptr)
      m_cachedProfiles.clear();
    else if (!host.empty())
      m_cachedProfiles.erase(host);
    return FALSE;
  }
  if (host.empty() || !loc.parentExists || loc.isDir) {
    Fail(ERROR_PATH_NOT_FOUND);
    return FALSE;
  }
  if (m_fs.DriveReadOnly(path.drive) ||
      (loc.exists && CSimFileSystem::HostIsReadOnly(loc.host))) {
    Fail(ERROR_ACCESS_DENIED);
    return FALSE;
  }
  std::string text;
  if (loc.exists)
    ReadWholeFile(host, &text);
  std::string key = pszKey ? pszKey : "";
  std::string value = pszValue ? pszValue : "";
  std::string changed =
      ProfileSet(text, pszSection, pszKey ? &key : nullptr, pszValue ? &value : nullptr);
  if ((loc.exists && changed != text) || (!loc.exists && !changed.empty())) {
    if (!loc.exists)
      m_fs.BeforeCreate(loc.hostParent);
    std::ofstream out(host, std::ios::binary | std::ios::trunc);
    out << changed;
    out.close();
    if (!loc.exists)
      m_fs.Created(loc.hostParent, loc.name);
    if (!out) {
      Fail(ERROR_ACCESS_DENIED);
      return FALSE;
    }
  }
  m_cachedProfiles[host] = path.Format();
  return TRUE;
}

}  // namespace sim
