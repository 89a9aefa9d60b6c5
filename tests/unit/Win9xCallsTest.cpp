// What whole runs of the sample disc on the sample computer hand Windows,
// where Windows 9x asks more than NT and Wine: every profile file written is
// flushed before the restart or program start that follows, WIN.INI is
// written only through its own functions, and CreateDirectoryA never gets a
// trailing backslash except a drive root's.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <set>

#include "TestMachine.h"

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
  BOOL WritePrivateProfileStringA(LPCSTR pszSection, LPCSTR pszKey, LPCSTR pszValue, LPCSTR pszFile) override
  {
    std::string name = std::strrchr(pszFile, '\\') ? std::strrchr(pszFile, '\\') + 1 : pszFile;
    std::transform(name.begin(), name.end(), name.begin(), ::toupper);
    if (pszSection != nullptr)
      m_files.insert(name);
    return sim::CSimPlatform::WritePrivateProfileStringA(pszSection, pszKey, pszValue, pszFile);
  }
  BOOL WriteProfileStringA(LPCSTR pszSection, LPCSTR pszKey, LPCSTR pszValue) override
  {
    if (pszSection != nullptr)
      m_files.insert("WIN.INI by its own function");
    return sim::CSimPlatform::WriteProfileStringA(pszSection, pszKey, pszValue);
  }
  std::vector<std::string> m_directories;
  std::set<std::string> m_files;  // names of the profile files written, upper case
};

}  // namespace

TEST(Win9xCalls, FlushedWinIniByItsOwnFunctionsNoTrailingBackslash)
{
  const std::string kCommon = "QVCDPLAY.INI", kDriver = "WININIT.INI", kWinIni = "WIN.INI by its own function";
  const struct {
    const char *windows, *args;
    const char *file, *content;  // written on the computer when set
    std::set<std::string> files;
  } rows[] = {
    { "95", "/DRIVER", nullptr, nullptr, { kCommon, kDriver, kWinIni, "MIXERDEF.INI", "TVX95.INF" } },
    // Both boxes ticked: the driver part, then the package setup.
    { "98", "", nullptr, nullptr,
      { kCommon, kDriver, kWinIni, "MIXERDEF.INI", "TVX98.INF", "TVXSETUP.INF", "QVXSETUP.INI" } },
    { "98", "", "D:\\setup.ini", "[InstallOption]\r\nWebSetup=1\r\n", { kCommon, kDriver, kWinIni, "TVXWEB.INF" } },
    { "XP", "", "D:\\W2KSetup.exe", "program", { kCommon } },
    { "95", "/AP", nullptr, nullptr, { kCommon } },
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(testing::Message() << "row " << &row - rows);
    CTestMachine m;
    namespace fs = std::filesystem;
    const fs::path samples = fs::path(SETUP_SOURCE_DIR) / "samples";
    fs::copy(samples / "machine-98", m.Dir(), fs::copy_options::recursive | fs::copy_options::overwrite_existing);
    fs::remove(fs::path(m.Dir()) / "machine.ini");
    fs::copy(samples / "disc", fs::path(m.Dir()) / "d", fs::copy_options::recursive);
    m.options.windows = row.windows;
    m.options.commandLine = row.args;
    if (row.file)
      m.WriteFile(row.file, row.content);
    sim::RunOutcome r = m.Run<CRecordingComputer>();
    auto& pc = static_cast<CRecordingComputer&>(*m.computer);
    EXPECT_EQ(row.files, pc.m_files) << JoinEvents(r);
    // Each run ends in a program start or the restart, nothing left unflushed.
    EXPECT_TRUE(std::any_of(r.events.begin(), r.events.end(), [](const std::string& e) {
      return e == "restart" || e.compare(0, 7, "start \"") == 0;
    })) << JoinEvents(r);
    EXPECT_EQ(pc.UnflushedProfileWrites(), std::vector<std::string>());
    EXPECT_EQ(row.files.count(kDriver) != 0, !pc.m_directories.empty());
    for (const std::string& dir : pc.m_directories)
      EXPECT_TRUE(dir.back() != '\\' || (dir.size() == 3 && dir[1] == ':')) << dir;
  }
}
