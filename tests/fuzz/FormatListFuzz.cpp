// The start-up's choice of a default audio format from SystemFormats, over
// a registry that answers as Windows' does (a buffer too small gets
// ERROR_MORE_DATA and the size needed). Invariant: when the list (its text
// up to a NUL) fits the 1024 bytes read and one of its comma-separated
// entries holds "CD", both DefaultFormat values become the first such entry,
// whole, as REG_SZ with its terminator; otherwise neither is written; no
// other value is ever written.
//
// Input: the value's type, flags (bit 0: no current-user key, bit 1: no
// default-user key, bit 2: no Run key), then the value's bytes.
#include <cstring>
#include <vector>

#include "FuzzCheck.h"
#include "ForwardingPlatform.h"
#include "app/SystemAdjustments.h"

namespace {

enum { kUserAudio = 1, kDefaultAudio, kRun };

struct Write {
  HKEY hKey;
  std::string name;
  DWORD type;
  std::string data;
};

class CRegistryPlatform : public CForwardingPlatform {
public:
  CRegistryPlatform(DWORD type, uint8_t flags, std::string value)
      : m_type(type), m_flags(flags), m_value(std::move(value)) {}

  LONG RegOpenKeyExA(HKEY hHive, LPCSTR pszKey, DWORD, REGSAM, PHKEY phk) override
  {
    const std::string key = pszKey;
    int id = 0;
    if (hHive == HKEY_CURRENT_USER && key == "Software\\Microsoft\\Multimedia\\Audio" && !(m_flags & 1))
      id = kUserAudio;
    else if (hHive == HKEY_USERS && key == ".Default\\Software\\Microsoft\\Multimedia\\Audio" && !(m_flags & 2))
      id = kDefaultAudio;
    else if (hHive == HKEY_LOCAL_MACHINE && key == "Software\\Microsoft\\Windows\\CurrentVersion\\Run" && !(m_flags & 4))
      id = kRun;
    if (id == 0)
      return ERROR_FILE_NOT_FOUND;
    *phk = reinterpret_cast<HKEY>(static_cast<uintptr_t>(id));
    return ERROR_SUCCESS;
  }
  LONG RegQueryValueExA(HKEY hKey, LPCSTR pszName, LPDWORD, LPDWORD pType, LPBYTE pData,
                        LPDWORD pcbData) override
  {
    if (hKey != Key(kUserAudio) || std::string(pszName) != "SystemFormats")
      return ERROR_FILE_NOT_FOUND;
    if (pType)
      *pType = m_type;
    const DWORD cbRoom = *pcbData;
    *pcbData = (DWORD)m_value.size();
    if (pData == nullptr)
      return ERROR_SUCCESS;
    if (m_value.size() > cbRoom) {
      std::memset(pData, 0xA5, cbRoom);  // what a short buffer holds is not the value
      return ERROR_MORE_DATA;
    }
    std::memcpy(pData, m_value.data(), m_value.size());
    return ERROR_SUCCESS;
  }
  LONG RegSetValueExA(HKEY hKey, LPCSTR pszName, DWORD, DWORD type, const BYTE* p, DWORD cb) override
  {
    m_writes.push_back(Write{hKey, pszName, type, std::string((const char*)p, cb)});
    return ERROR_SUCCESS;
  }
  LONG RegDeleteValueA(HKEY hKey, LPCSTR pszName) override
  {
    FUZZ_CHECK(hKey == Key(kRun) && std::string(pszName) == "Tonivex Applications",
               std::string("deleted ") + pszName);
    return ERROR_SUCCESS;
  }
  LONG RegCloseKey(HKEY) override { return ERROR_SUCCESS; }
  UINT GetWindowsDirectoryA(LPSTR psz, UINT cb) override
  {
    std::strcpy(psz, "C:\\WINDOWS");
    return 10;
  }
  UINT GetPrivateProfileIntA(LPCSTR, LPCSTR, INT nDefault, LPCSTR) override { return nDefault; }

  static HKEY Key(int id) { return reinterpret_cast<HKEY>(static_cast<uintptr_t>(id)); }

  std::vector<Write> m_writes;

private:
  DWORD m_type;
  uint8_t m_flags;
  std::string m_value;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
  if (size < 2)
    return 0;
  const std::string value(reinterpret_cast<const char*>(data) + 2, size - 2);
  CRegistryPlatform platform(data[0], data[1], value);
  IPlatform* pPrevious = Platform();
  SetPlatform(&platform);
  ApplySystemAdjustments("D:\\setup.ini");
  SetPlatform(pPrevious);

  // The expected choice, from the list as text.
  std::string chosen;
  bool bFound = false;
  if (!(data[1] & 1) && value.size() <= 1024) {
    const std::string list = value.substr(0, value.find('\0'));
    for (size_t start = 0; !bFound && start <= list.size();) {
      size_t end = std::min(list.find(',', start), list.size());
      chosen = list.substr(start, end - start);
      bFound = chosen.find("CD") != std::string::npos;
      start = end + 1;
    }
  }
  std::vector<HKEY> expected;
  if (bFound)
    expected.push_back(CRegistryPlatform::Key(kUserAudio));
  if (bFound && !(data[1] & 2))
    expected.push_back(CRegistryPlatform::Key(kDefaultAudio));
  FUZZ_CHECK(platform.m_writes.size() == expected.size(),
             std::to_string(platform.m_writes.size()) + " values written, expected " +
                 std::to_string(expected.size()));
  for (size_t i = 0; i < expected.size(); ++i) {
    const Write& w = platform.m_writes[i];
    FUZZ_CHECK(w.hKey == expected[i] && w.name == "DefaultFormat" && w.type == REG_SZ,
               "wrote " + w.name);
    FUZZ_CHECK(w.data == chosen + std::string(1, '\0'), "DefaultFormat \"" + w.data + "\", not \"" + chosen + "\"");
  }
  return 0;
}
