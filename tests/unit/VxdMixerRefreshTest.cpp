// The staged mixer program copied over the installed one: which registered
// directory is taken, and when the Windows directory's copy is refreshed.
#include <gtest/gtest.h>

#include <string>

#include "TestMachine.h"
#include "install/MixerRefresh.h"

namespace {

const char kStaged[] = "C:\\Program Files\\Veltrix\\W95-98\\Mixer.exe";
const char kNew[] = "new mixer";
const char kOld[] = "old mixer";

std::string RegFileEscape(const std::string& s)
{
  std::string out;
  for (char c : s) {
    if (c == '\\' || c == '"')
      out += '\\';
    out += c;
  }
  return out;
}

// A registry with "Path" under each key that is given a value.
std::string Registry(const char* pszSuitePath, const char* pszMakerPath)
{
  std::string reg = "REGEDIT4\r\n\r\n";
  if (pszSuitePath)
    reg += "[HKEY_LOCAL_MACHINE\\Software\\Tonivex Applications\\Mixer]\r\n\"Path\"=\"" +
           RegFileEscape(pszSuitePath) + "\"\r\n\r\n";
  if (pszMakerPath)
    reg += "[HKEY_LOCAL_MACHINE\\Software\\Veltrix\\Mixer]\r\n\"Path\"=\"" +
           RegFileEscape(pszMakerPath) + "\"\r\n\r\n";
  return reg;
}

class MixerRefreshTest : public ::testing::Test {
protected:
  void SetUp() override { m.WriteFile(kStaged, kNew); }

  void Refresh()
  {
    m.Load();
    sim::CPlatformScope scope(*m.computer);
    RefreshMixerProgram();
  }

  CTestMachine m;
};

TEST_F(MixerRefreshTest, SuiteKeyFirstThenWindowsDirectoryCopy)
{
  m.SetRegistry(Registry("C:\\Tonivex\\Mixer", "C:\\Veltrix\\Mixer\\"));
  m.WriteFile("C:\\Tonivex\\Mixer\\Mixer.exe", kOld);
  m.WriteFile("C:\\Veltrix\\Mixer\\Mixer.exe", kOld);
  m.WriteFile("C:\\WINDOWS\\Mixer.exe", kOld);
  m.SetReadOnly("C:\\Tonivex\\Mixer\\Mixer.exe");
  Refresh();
  EXPECT_EQ(m.ReadFile("C:\\Tonivex\\Mixer\\Mixer.exe"), kNew);
  EXPECT_EQ(m.ReadFile("C:\\WINDOWS\\Mixer.exe"), kNew);
  EXPECT_EQ(m.ReadFile("C:\\Veltrix\\Mixer\\Mixer.exe"), kOld);
}

TEST_F(MixerRefreshTest, RegisteredDirectoryWithoutMixerFallsBackToMakerKey)
{
  struct Row {
    const char* name;
    const char* suitePath;  // nullptr: no key
  };
  const Row rows[] = {
      {"suite directory without Mixer.exe", "C:\\Tonivex\\Empty"},
      {"suite directory missing", "C:\\Nowhere"},
      {"no suite key", nullptr},
      {"empty suite path", ""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    CTestMachine t;
    t.WriteFile(kStaged, kNew);
    t.MakeDir("C:\\Tonivex\\Empty");
    t.WriteFile("C:\\Veltrix\\Mixer\\Mixer.exe", kOld);
    t.SetRegistry(Registry(row.suitePath, "C:\\Veltrix\\Mixer"));
    t.Load();
    {
      sim::CPlatformScope scope(*t.computer);
      RefreshMixerProgram();
    }
    EXPECT_EQ(t.ReadFile("C:\\Veltrix\\Mixer\\Mixer.exe"), kNew);
    EXPECT_FALSE(t.Exists("C:\\Tonivex\\Empty\\Mixer.exe"));
    // No copy in the Windows directory when none was there.
    EXPECT_FALSE(t.Exists("C:\\WINDOWS\\Mixer.exe"));
  }
}

TEST_F(MixerRefreshTest, NoRegisteredMixerCopiesNothing)
{
  m.SetRegistry(Registry("C:\\Tonivex\\Mixer", "C:\\Veltrix\\Mixer"));
  m.MakeDir("C:\\Tonivex\\Mixer");
  m.WriteFile("C:\\WINDOWS\\Mixer.exe", kOld);
  Refresh();
  EXPECT_EQ(m.ReadFile("C:\\WINDOWS\\Mixer.exe"), kOld);
  EXPECT_FALSE(m.Exists("C:\\Tonivex\\Mixer\\Mixer.exe"));
}

TEST_F(MixerRefreshTest, MissingStagedMixerLeavesTheInstalledOne)
{
  CTestMachine t;
  t.SetRegistry(Registry(nullptr, "C:\\Veltrix\\Mixer"));
  t.WriteFile("C:\\Veltrix\\Mixer\\Mixer.exe", kOld);
  t.Load();
  {
    sim::CPlatformScope scope(*t.computer);
    RefreshMixerProgram();
  }
  EXPECT_EQ(t.ReadFile("C:\\Veltrix\\Mixer\\Mixer.exe"), kOld);
}

}  // namespace
