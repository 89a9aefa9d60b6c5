// The start-up's choice of a default audio format from SystemFormats, over a registry that answers as
// Windows' does (a buffer too small gets ERROR_MORE_DATA and the size needed). Invariant: when the list (its
// text up to a NUL) fits the 1024 bytes read and one of its comma-separated entries holds "CD", both
// DefaultFormat values become the first such entry, whole, as REG_SZ with its terminator; otherwise neither
// is written; no other value is ever written. Input: the value's type, flags (bit 0: no current-user key, bit
// 1: no default-user key, bit 2: no Run key), then the value's bytes.
#include "FuzzCheck.h"
#include "FailingPlatform.h"
#include "app/SystemAdjustments.h"

const char* const kKeys[] = {"Software\\Microsoft\\Multimedia\\Audio",
                             ".Default\\Software\\Microsoft\\Multimedia\\Audio",
                             "Software\\Microsoft\\Windows\\CurrentVersion\\Run"};
const HKEY kHives[] = {HKEY_CURRENT_USER, HKEY_USERS, HKEY_LOCAL_MACHINE};
static HKEY Key(int i) { return reinterpret_cast<HKEY>(static_cast<uintptr_t>(i + 1)); }  // kKeys[i] open

struct CRegistryPlatform : CFailingPlatform {
  CRegistryPlatform(DWORD type, uint8_t flags, std::string value) : m_type(type), m_flags(flags), m_value(value) {}
  LONG RegOpenKeyExA(HKEY hHive, LPCSTR pszKey, DWORD, REGSAM, PHKEY phk) override
  {
    for (int i = 0; i < 3; ++i)
      if (hHive == kHives[i] && std::string(pszKey) == kKeys[i] && !(m_flags & (1 << i)))
        return *phk = Key(i), ERROR_SUCCESS;
    return ERROR_FILE_NOT_FOUND;
  }
  LONG RegQueryValueExA(HKEY hKey, LPCSTR pszName, LPDWORD, LPDWORD pType, LPBYTE pData, LPDWORD pcbData) override
  {
    if (hKey != Key(0) || std::string(pszName) != "SystemFormats")
      return ERROR_FILE_NOT_FOUND;
    if (pType)
      *pType = m_type;
    const DWORD cbRoom = *pcbData;
    *pcbData = (DWORD)m_value.size();
    // What a short buffer holds is not the value.
    if (pData)
      m_value.size() > cbRoom ? std::memset(pData, 0xA5, cbRoom) : std::memcpy(pData, m_value.data(), m_value.size());
    return pData && m_value.size() > cbRoom ? ERROR_MORE_DATA : ERROR_SUCCESS;
  }
  LONG RegSetValueExA(HKEY hKey, LPCSTR pszName, DWORD, DWORD type, const BYTE* p, DWORD cb) override
  {
    FUZZ_CHECK(std::string(pszName) == "DefaultFormat" && type == REG_SZ, std::string("wrote ") + pszName);
    return m_writes.emplace_back(hKey, std::string((const char*)p, cb)), ERROR_SUCCESS;
  }
  LONG RegDeleteValueA(HKEY hKey, LPCSTR pszName) override
  {
    return FUZZ_CHECK(hKey == Key(2) && std::string(pszName) == "Tonivex Applications", pszName), ERROR_SUCCESS;
  }
  LONG RegCloseKey(HKEY) override { return ERROR_SUCCESS; }
  UINT GetWindowsDirectoryA(LPSTR psz, UINT) override { return (UINT)std::strlen(std::strcpy(psz, "C:\\WINDOWS")); }
  UINT GetPrivateProfileIntA(LPCSTR, LPCSTR, INT nDefault, LPCSTR) override { return nDefault; }

  std::vector<std::pair<HKEY, std::string>> m_writes;
  DWORD m_type;
  uint8_t m_flags;
  std::string m_value;
};

FUZZ_TARGET(2, head, value)
{
  CRegistryPlatform platform(head[0], head[1], value);
  sim::CPlatformScope scope(&platform);
  ApplySystemAdjustments("D:\\setup.ini");
  // The expected choice, from the list as text: the first entry holding "CD", with its terminator.
  std::vector<std::pair<HKEY, std::string>> expected;
  std::istringstream list(value.substr(0, value.find('\0')));
  std::string entry;
  while (!(head[1] & 1) && value.size() <= 1024 && expected.empty() && std::getline(list, entry, ','))
    for (int i = 0; i < (head[1] & 2 ? 1 : 2) && entry.find("CD") != std::string::npos; ++i)
      expected.emplace_back(Key(i), entry + '\0');
  FUZZ_CHECK(platform.m_writes == expected, std::to_string(platform.m_writes.size()) + " values written, expected " +
                                                (expected.empty() ? "none" : expected[0].second));
}
