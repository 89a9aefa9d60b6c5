// What whole runs of the sample disc on the sample computer hand Windows,
// where Windows 9x asks more than NT and Wine: every profile file written is
// flushed before the restart or program start that follows, WIN.INI is
// written only through its own functions, and CreateDirectoryA never gets a
// trailing backslash except a drive root's.
#include <gtest/gtest.h>

#include <set>

#include "DriverInstallTestSupport.h"
#include "sim/SimPlatform.h"

namespace {

// Passes every call on, recording the ones checked here.
class CRecordingComputer : public sim::CSimPlatform {
public:
  using sim::CSimPlatform::CSimPlatform;
  BOOL CreateDirectoryA(LPCSTR pszPath, LPSECURITY_ATTRIBUTES pSa) override
  {
    m_directories.push_back(pszPath);
    return sim::CSimPlatform::CreateDirectoryA(pszPath, pSa);
  }
  BOOL WritePrivateProfileStringA(LPCSTR pszSection, LPCSTR pszKey, LPCSTR pszValue,
                                  LPCSTR pszFile) override
  {
    if (pszSection != nullptr) {
      std::string name = pszFile;
      name = name.substr(name.find_last_of('\\') + 1);
      for (char& c : name)
        c = (char)std::toupper((unsigned char)c);
      m_privateFiles.insert(name);
    }
    return sim::CSimPlatform::WritePrivateProfileStringA(pszSection, pszKey, pszValue, pszFile);
  }
  BOOL WriteProfileStringA(LPCSTR pszSection, LPCSTR pszKey, LPCSTR pszValue) override
  {
    m_bWinIniWritten |= pszSection != nullptr;
    return sim::CSimPlatform::WriteProfileStringA(pszSection, pszKey, pszValue);
  }

  std::vector<std::string> m_directories;
  std::set<std::string> m_privateFiles;  // names of the files written, upper case
  bool m_bWinIniWritten = false;
};

struct Scenario {
  const char* name;
  const char* windows;
  const char* args;
  const char* setupIni;              // replaces the disc's when set
  const char* extraFile;             // put on the disc when set
  std::set<std::string> privateFiles;
  bool bDriverInstall;               // WIN.INI written, directories created
};

void PrintTo(const Scenario& s, std::ostream* os) { *os << s.name; }

class Win9xCalls : public ::testing::TestWithParam<Scenario> {};

}  // namespace

TEST_P(Win9xCalls, FlushedWinIniByItsOwnFunctionsNoTrailingBackslash)
{
  const Scenario& s = GetParam();
  CTestMachine m;
  drvtest::LoadSamples(m);
  m.options.windows = s.windows;
  m.options.commandLine = s.args;
  if (s.setupIni)
    m.WriteFile("D:\\setup.ini", s.setupIni);
  if (s.extraFile)
    m.WriteFile(s.extraFile, "program");
  CRecordingComputer pc(m.Dir(), m.options);
  std::string err;
  ASSERT_TRUE(pc.Init(&err)) << err;
  sim::RunOutcome r = sim::RunLauncher(pc);

  EXPECT_EQ(s.privateFiles, pc.m_privateFiles) << JoinEvents(r);
  EXPECT_EQ(s.bDriverInstall, pc.m_bWinIniWritten);
  // Each scenario ends in a program start or the restart.
  EXPECT_TRUE(std::any_of(r.events.begin(), r.events.end(), [](const std::string& e) {
    return e == "restart" || e.compare(0, 7, "start \"") == 0;
  })) << JoinEvents(r);
  EXPECT_EQ(pc.UnflushedProfileWrites(), std::vector<std::string>());
  EXPECT_EQ(s.bDriverInstall, !pc.m_directories.empty());
  for (const std::string& dir : pc.m_directories)
    EXPECT_TRUE(dir.back() != '\\' || (dir.size() == 3 && dir[1] == ':')) << dir;
}

INSTANTIATE_TEST_SUITE_P(
    Runs, Win9xCalls,
    ::testing::Values(
        Scenario{ "DriverWord95", "95", "/DRIVER", nullptr, nullptr,
                  { "QVCDPLAY.INI", "MIXERDEF.INI", "WININIT.INI", "TVX95.INF" }, true },
        // Both boxes ticked: the driver part, then the package setup.
        Scenario{ "MainDialog98", "98", "", nullptr, nullptr,
                  { "QVCDPLAY.INI", "MIXERDEF.INI", "WININIT.INI", "TVX98.INF", "TVXSETUP.INF",
                    "QVXSETUP.INI" },
                  true },
        Scenario{ "VxdDialog98", "98", "", "[InstallOption]\r\nWebSetup=1\r\n", nullptr,
                  { "QVCDPLAY.INI", "WININIT.INI", "TVXWEB.INF" }, true },
        Scenario{ "HandOverXP", "XP", "", nullptr, "D:\\W2KSetup.exe", { "QVCDPLAY.INI" }, false },
        Scenario{ "PackageWord95", "95", "/AP", nullptr, nullptr, { "QVCDPLAY.INI" }, false }),
    [](const ::testing::TestParamInfo<Scenario>& info) { return info.param.name; });
