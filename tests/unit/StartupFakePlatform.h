// A platform for direct calls of the start-up's public operations with
// inputs the simulated computer cannot give (odd version records, an empty
// command line).
#ifndef TESTS_UNIT_STARTUPFAKEPLATFORM_H
#define TESTS_UNIT_STARTUPFAKEPLATFORM_H

#include <cstring>
#include <string>

#include "ForwardingPlatform.h"
#include "platform/Platform.h"

// Answers what the start-up asks before it touches any file: the version
// record, the command line and the module file name. Every other operation
// answers as a failure (no inner platform to forward to).
class CStartFakePlatform : public CForwardingPlatform {
 public:
  DWORD m_dwPlatformId = 1, m_dwMajor = 4, m_dwMinor = 10, m_dwBuild = 0x040A07CE;
  std::string m_commandLine;       // argument 0 and the rest
  std::string m_moduleFileName;

  BOOL GetVersionExA(LPOSVERSIONINFOA pInfo) override {
    if (pInfo->dwOSVersionInfoSize != sizeof(OSVERSIONINFOA)) return 0;
    pInfo->dwPlatformId = m_dwPlatformId;
    pInfo->dwMajorVersion = m_dwMajor;
    pInfo->dwMinorVersion = m_dwMinor;
    pInfo->dwBuildNumber = m_dwBuild;
    pInfo->szCSDVersion[0] = '\0';
    return 1;
  }
  LPSTR GetCommandLineA() override { return &m_commandLine[0]; }
  // As Windows 9x: a name that does not fit is cut and terminated.
  DWORD GetModuleFileNameA(HMODULE, LPSTR pszFile, DWORD nSize) override {
    DWORD n = (DWORD)m_moduleFileName.size() < nSize ? (DWORD)m_moduleFileName.size() : nSize - 1;
    std::memcpy(pszFile, m_moduleFileName.data(), n);
    pszFile[n] = '\0';
    return n;
  }
};

// Makes a platform the Platform() for the lifetime of the scope.
class CFakePlatformScope {
 public:
  explicit CFakePlatformScope(IPlatform* p) : m_pPrevious(Platform()) { SetPlatform(p); }
  ~CFakePlatformScope() { SetPlatform(m_pPrevious); }

 private:
  IPlatform* m_pPrevious;
};

#endif
