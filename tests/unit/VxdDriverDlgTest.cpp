// The VxD driver options dialog of a web setup, run by the launcher on a
// simulated computer: the click handlers, Install and its refusals.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "TestMachine.h"
#include "install/VxdDriverDlg.h"
#include "setup/SuiteApplications.h"

namespace {

const char kInfName[] = "TVX3710.INF";
const char kInfCopy[] = "C:\\WINDOWS\\INF\\OTHER\\TVX3710.INF";
const char kStaging[] = "C:\\Program Files\\Veltrix\\W95-98\\";

// The web setup's INF as shipped (CR LF); {MPU} ... {MIC} stand for the
// option lines' last characters.
const char kInfTemplate[] =
    "[Version]\r\n"
    "Signature=\"$CHICAGO$\"\r\n"
    "Class=MEDIA\r\n"
    "\r\n"
    "[TVX3710.AddReg]\r\n"
    "HKR,Config,MICasBASS,1,{MIC}\r\n"
    "HKR,Config,DISMPU,1,{MPU}\r\n"
    "HKR,Config,LINEINasBASS,1,{BASS}\r\n"
    "HKR,Config,DISJSTK,1,{JSTK}\r\n"
    "HKR,Config,LINEINasREAR,1,{REAR}\r\n"
    "\r\n"
    "[SourceDisksNames]\r\n"
    "1=\"Tonivex 3710 Driver Disk\",,0{SUFFIX}\r\n";

std::string Fill(std::string s, const std::string& chars /* MPU JSTK REAR BASS MIC */,
                 const std::string& suffix)
{
  const char* keys[] = {"{MPU}", "{JSTK}", "{REAR}", "{BASS}", "{MIC}"};
  for (int i = 0; i < 5; ++i)
    s.replace(s.find(keys[i]), std::string(keys[i]).size(), 1, chars[i]);
  s.replace(s.find("{SUFFIX}"), 8, suffix);
  return s;
}

const std::string kShipped = Fill(kInfTemplate, "00100", "");

// The INF copy as Install leaves it: the chosen characters and the
// staging directory named as the source disk.
std::string Installed(const std::string& chars)
{
  return Fill(kInfTemplate, chars, ", C:\\Program Files\\Veltrix\\W95-98");
}

// A web setup on drive D: with the VxD driver set next to the program.
void PrepareWebSetup(CTestMachine& m, const std::string& windows, const char* pszFullPackage)
{
  m.options.windows = windows;
  std::string ini = "[InstallOption]\r\nWebSetup=1\r\nInstallWDMDriver=0\r\n";
  if (pszFullPackage)
    ini += std::string("FullPackage=") + pszFullPackage + "\r\n";
  m.WriteFile("D:\\Setup.ini", ini);
  m.WriteFile(std::string("D:\\") + kInfName, kShipped);
  m.WriteFile("D:\\TVX3710.VXD", "driver");
  m.WriteFile("D:\\Mixer.exe", "new mixer");
  m.WriteFile("D:\\026\\WT3710.BIN", "wavetable");
  m.MakeDir("C:\\WINDOWS\\INF\\OTHER");
  m.WriteFile("C:\\WINDOWS\\SYSTEM\\BANKPCM.DAT", "system pcm");
  m.WriteFile("C:\\WINDOWS\\SYSTEM\\BANKIDX.DAT", "system idx");
}

bool HasEvent(const sim::RunOutcome& r, const std::string& event)
{
  return std::find(r.events.begin(), r.events.end(), event) != r.events.end();
}

size_t IndexOf(const sim::RunOutcome& r, const std::string& event)
{
  return std::find(r.events.begin(), r.events.end(), event) - r.events.begin();
}

const char kFinish[] =
    "message-box title=\"Setup\" text=\"Setup completed! The system will restart now!\" owner=103";

struct ClickRow {
  const char* name;
  std::vector<std::string> clicks;
  const char* chars;  // MPU JSTK REAR BASS MIC
};

void RunClicksAndCheck(const ClickRow& row)
{
  SCOPED_TRACE(row.name);
  CTestMachine m;
  PrepareWebSetup(m, "95", "1");
  for (const std::string& id : row.clicks)
    m.options.actions.push_back("click:" + id);
  m.options.actions.push_back("ok");
  sim::RunOutcome r = m.Run();
  EXPECT_TRUE(r.exited && r.exitCode == 0) << JoinEvents(r);
  EXPECT_EQ(m.ReadFile(kInfCopy), Installed(row.chars)) << JoinEvents(r);
}

// Every state the controls can reach, each from the dialog's defaults
// (1006 with 1011) by the shortest clicks.
TEST(VxdDriverDlgTest, EveryReachableStateReachesTheInfCopy)
{
  struct JackSet {
    const char* name;
    std::vector<std::string> clicks;
    bool rear, bass, mic;
  };
  const JackSet sets[] = {
      {"1011", {}, true, false, false},
      {"1011+1013", {"1013"}, true, false, true},
      {"1012", {"1012"}, false, true, false},
      {"1013", {"1012", "1013"}, false, false, true},
  };
  for (int soundCard = 0; soundCard < 2; ++soundCard)
    for (const JackSet& set : sets)
      for (int midi = 0; midi < 2; ++midi)
        for (int game = 0; game < 2; ++game) {
          ClickRow row;
          std::string name = std::string(soundCard ? "1007" : "1006") + " jacks " + set.name;
          std::vector<std::string> clicks = set.clicks;
          if (soundCard)
            clicks.push_back("1007");
          if (midi) {
            clicks.push_back("1000");
            name += " 1000";
          }
          if (game) {
            clicks.push_back("1001");
            name += " 1001";
          }
          std::string chars;
          chars += midi ? '1' : '0';
          chars += game ? '1' : '0';
          chars += (!soundCard && set.rear) ? '1' : '0';
          chars += (!soundCard && set.bass) ? '1' : '0';
          chars += (!soundCard && set.mic) ? '1' : '0';
          row.name = name.c_str();
          row.clicks = clicks;
          row.chars = chars.c_str();
          RunClicksAndCheck(row);
        }
}

// Clicks that the handlers must undo or that a greyed box ignores.
TEST(VxdDriverDlgTest, ClickSequencesKeepTheFourJackSets)
{
  const ClickRow rows[] = {
      {"defaults", {}, "00100"},
      {"1011 clicked again stays ticked", {"1011"}, "00100"},
      {"1012 clicked twice stays alone", {"1012", "1012"}, "00010"},
      {"1013 clicked twice keeps 1011 with it", {"1013", "1013"}, "00101"},
      {"1011 after 1012 clears 1012", {"1012", "1011"}, "00100"},
      {"1011 after 1013 alone joins it", {"1012", "1013", "1011"}, "00101"},
      {"1012 clears 1011 and 1013", {"1013", "1012"}, "00010"},
      {"1006 clicked again stays selected", {"1006"}, "00100"},
      {"1007 clicked twice stays selected", {"1007", "1007"}, "00000"},
      {"greyed boxes ignore clicks", {"1007", "1012", "1013", "1006"}, "00100"},
      {"ticks kept while greyed", {"1012", "1007", "1006"}, "00010"},
      {"1000 ticked and unticked", {"1000", "1000", "1001"}, "01100"},
  };
  for (const ClickRow& row : rows)
    RunClicksAndCheck(row);
}

TEST(VxdDriverDlgTest, InstallOnWindows95And98FirstEdition)
{
  for (const char* windows : {"95", "98"}) {
    SCOPED_TRACE(windows);
    CTestMachine m;
    PrepareWebSetup(m, windows, nullptr);
    m.options.openWindows = {"Tonedock"};
    m.options.actions = {"click:1012", "click:1000", "ok"};
    sim::RunOutcome r = m.Run();

    ASSERT_FALSE(r.events.empty());
    EXPECT_EQ(r.events.front(), "dialog 103 open lang=1033") << JoinEvents(r);
    const size_t cursor = IndexOf(r, "wait-cursor on");
    const size_t closed = IndexOf(r, "close-window \"Tonedock\"");
    const size_t finish = IndexOf(r, kFinish);
    const size_t restart = IndexOf(r, "restart");
    EXPECT_LT(cursor, closed) << JoinEvents(r);
    EXPECT_LT(closed, finish) << JoinEvents(r);
    EXPECT_LT(finish, restart) << JoinEvents(r);
    ASSERT_LT(restart, r.events.size()) << JoinEvents(r);
    EXPECT_EQ(r.events.back(), "exit 0");
    EXPECT_TRUE(r.exited);
    // One pause before the DISMPU write, none for the jack lines.
    EXPECT_EQ(std::count(r.events.begin(), r.events.end(), "pause 100"), 1) << JoinEvents(r);

    EXPECT_EQ(m.ReadFile(kInfCopy), Installed("10010"));
    // The staged copy is the file as shipped; only the INF tree's copy
    // carries the options.
    EXPECT_EQ(m.ReadFile(std::string(kStaging) + kInfName), kShipped);
    EXPECT_EQ(m.ReadFile(std::string(kStaging) + "026\\WT3710.BIN"), "wavetable");
  }
}

TEST(VxdDriverDlgTest, FullPackageDecidesTheSystemWavetableFiles)
{
  struct Row {
    const char* fullPackage;  // nullptr: key absent
    bool systemCopies;
  };
  for (const Row& row : {Row{nullptr, true}, Row{"0", true}, Row{"1", false}, Row{"2", false}}) {
    SCOPED_TRACE(row.fullPackage ? row.fullPackage : "absent");
    CTestMachine m;
    PrepareWebSetup(m, "95", row.fullPackage);
    // The set's own BANKIDX.DAT is staged after the system's and wins.
    m.WriteFile("D:\\BANKIDX.DAT", "set idx");
    m.options.actions = {"ok"};
    sim::RunOutcome r = m.Run();
    EXPECT_TRUE(HasEvent(r, "restart")) << JoinEvents(r);
    if (row.systemCopies)
      EXPECT_EQ(m.ReadFile(std::string(kStaging) + "BANKPCM.DAT"), "system pcm");
    else
      EXPECT_FALSE(m.Exists(std::string(kStaging) + "BANKPCM.DAT"));
    EXPECT_EQ(m.ReadFile(std::string(kStaging) + "BANKIDX.DAT"), "set idx");
  }
}

TEST(VxdDriverDlgTest, InstallRefreshesTheRegisteredMixer)
{
  CTestMachine m;
  PrepareWebSetup(m, "98", "1");
  m.SetRegistry(
      "REGEDIT4\r\n\r\n"
      "[HKEY_LOCAL_MACHINE\\Software\\Tonivex Applications\\Mixer]\r\n"
      "\"Path\"=\"C:\\\\Program Files\\\\Tonivex\\\\Mixer\"\r\n\r\n");
  m.WriteFile("C:\\Program Files\\Tonivex\\Mixer\\Mixer.exe", "old mixer");
  m.options.actions = {"ok"};
  sim::RunOutcome r = m.Run();
  EXPECT_TRUE(HasEvent(r, "restart")) << JoinEvents(r);
  EXPECT_EQ(m.ReadFile("C:\\Program Files\\Tonivex\\Mixer\\Mixer.exe"), "new mixer");
  EXPECT_FALSE(m.Exists("C:\\WINDOWS\\Mixer.exe"));
}

TEST(VxdDriverDlgTest, NtRefusesAfterClosingTheSuite)
{
  CTestMachine m;
  PrepareWebSetup(m, "NT4", "1");
  m.options.openWindows = {"Tonedock"};
  m.options.actions = {"click:1007", "click:1000", "ok"};
  sim::RunOutcome r = m.Run();
  const std::vector<std::string> tail = {
      "close-window \"Tonedock\"",
      "message-box title=\"Information\" text=\"This driver can not be used on Windows NT or "
      "Windows 2000.\" owner=103",
      "exit 0"};
  auto it = std::find(r.events.begin(), r.events.end(), tail[0]);
  ASSERT_NE(it, r.events.end()) << JoinEvents(r);
  std::vector<std::string> seen;
  for (; it != r.events.end(); ++it)
    if (it->rfind("pause", 0) != 0)
      seen.push_back(*it);
  EXPECT_EQ(seen, tail) << JoinEvents(r);
  EXPECT_FALSE(HasEvent(r, "restart"));
  EXPECT_FALSE(m.Exists(kInfCopy));
  EXPECT_FALSE(m.Exists(kStaging));
}

TEST(VxdDriverDlgTest, Windows2000RefusesWhenTheDialogIsRunDirectly)
{
  // Start-up hands Windows 2000 over before any dialog; the dialog's own
  // version test still refuses there.
  CTestMachine m;
  PrepareWebSetup(m, "2000", "0");
  m.options.actions = {"ok"};
  m.Load();
  bool exited = false;
  {
    sim::CPlatformScope scope(*m.computer);
    try {
      LONG bSourcePathSet = 0;
      CVxdDriverDlg dlg(&bSourcePathSet, CloseSuiteApplications);
      dlg.DoModal();
    } catch (const sim::ProcessExit& e) {
      exited = true;
      EXPECT_EQ(e.code, 0u);
    }
  }
  EXPECT_TRUE(exited);
  const auto& ev = m.computer->Events();
  EXPECT_NE(std::find(ev.begin(), ev.end(),
                      "message-box title=\"Information\" text=\"This driver can not be used on "
                      "Windows NT or Windows 2000.\" owner=103"),
            ev.end());
  EXPECT_FALSE(m.Exists(kInfCopy));
}

TEST(VxdDriverDlgTest, CancelInstallsNothing)
{
  CTestMachine m;
  PrepareWebSetup(m, "95", "0");
  m.options.openWindows = {"Tonedock"};
  m.options.actions = {"click:1012", "click:1001", "cancel"};
  sim::RunOutcome r = m.Run();
  EXPECT_TRUE(HasEvent(r, "dialog 103 end IDCANCEL")) << JoinEvents(r);
  EXPECT_TRUE(r.returnedFalse);
  EXPECT_FALSE(HasEvent(r, "close-window \"Tonedock\""));
  EXPECT_FALSE(HasEvent(r, "wait-cursor on"));
  EXPECT_FALSE(m.Exists(kInfCopy));
  EXPECT_FALSE(m.Exists(kStaging));
}

}  // namespace
