// Shared pieces of the legacy purge tests: registry texts with keys taken
// out, and a platform that refuses chosen key deletions.
#ifndef TESTS_UNIT_PURGETESTSUPPORT_H
#define TESTS_UNIT_PURGETESTSUPPORT_H

#include <algorithm>
#include <cctype>
#include <set>
#include <string>
#include <vector>

#include "ForwardingPlatform.h"
#include "TestMachine.h"
#include "platform/Platform.h"
#include "sim/SimRegistry.h"

namespace purgetest {

inline std::string Upper(std::string s)
{
  for (char& c : s)
    c = (char)std::toupper((unsigned char)c);
  return s;
}

// The REGEDIT4 text after removing the keys at the given full paths
// ("HKEY_LOCAL_MACHINE\\Enum\\PCI\\X") with everything below them; a key
// not there is passed over.
inline std::string RegWithout(const std::string& text, const std::vector<std::string>& removed)
{
  sim::CSimRegistry registry;
  std::string error;
  if (!registry.Parse(text, &error))
    return error;
  for (const std::string& path : removed)
    if (sim::RegKey* key = registry.FindPath(path))
      sim::CSimRegistry::DeleteKey(key);
  return registry.Export();
}

// The registry export of a computer loaded from the given text, for comparing
// a purged registry with what it should have become.
inline std::string ExportOf(const std::string& regText)
{
  CTestMachine m;
  m.SetRegistry(regText);
  return m.Load().ExportRegistry();
}

// Forwards every call to the simulated computer, except that deleting one of
// the chosen keys fails with access denied and deletes nothing. Keys are named
// by hive and path as the caller passes them.
class CRefusingDeletePlatform : public CForwardingPlatform {
public:
  CRefusingDeletePlatform(IPlatform& inner, std::set<std::string> refused)
    : CForwardingPlatform(&inner), m_refused()
  {
    for (const std::string& s : refused)
      m_refused.insert(Upper(s));
  }

  LONG RegDeleteKeyA(HKEY hKey, LPCSTR pszSubKey) override
  {
    std::string hive = hKey == HKEY_LOCAL_MACHINE  ? "HKEY_LOCAL_MACHINE\\"
                       : hKey == HKEY_CLASSES_ROOT ? "HKEY_CLASSES_ROOT\\"
                                                   : "";
    if (m_refused.count(Upper(hive + pszSubKey)) != 0) {
      ++m_nRefusals;
      return ERROR_ACCESS_DENIED;
    }
    return CForwardingPlatform::RegDeleteKeyA(hKey, pszSubKey);
  }

  int m_nRefusals = 0;

private:
  std::set<std::string> m_refused;
};

// Makes a platform the Platform() for the lifetime of the scope.
class CPlatformOverride {
public:
  explicit CPlatformOverride(IPlatform& platform) : m_pPrevious(Platform()) { SetPlatform(&platform); }
  ~CPlatformOverride() { SetPlatform(m_pPrevious); }

private:
  IPlatform* m_pPrevious;
};

}  // namespace purgetest

#endif
