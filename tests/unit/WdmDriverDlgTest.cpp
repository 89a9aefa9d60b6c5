// The WDM driver options dialog of a web setup: Install closes the suite
// and refuses, with the program's name as the box's title.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "TestMachine.h"
#include "install/WdmDriverDlg.h"
#include "setup/SuiteApplications.h"

namespace {

const char kRefusalText[] = "This WDM driver can only be installed on Windows 98SE/ME/2000";

std::string Refusal(const std::string& title)
{
  return "message-box title=\"" + title + "\" text=\"" + kRefusalText + "\" owner=131";
}

void PrepareWebSetup(CTestMachine& m, const std::string& windows)
{
  m.options.windows = windows;
  m.WriteFile("D:\\Setup.ini", "[InstallOption]\r\nWebSetup=1\r\nInstallWDMDriver=1\r\n");
  m.WriteFile("D:\\TVX3710.INF", "[Version]\r\nHKR,Config,DISMPU,1,0\r\n");
  m.MakeDir("C:\\WINDOWS\\INF\\OTHER");
}

// The events from the suite's closing on, pauses left out.
std::vector<std::string> FromClose(const std::vector<std::string>& events)
{
  std::vector<std::string> seen;
  auto it = std::find(events.begin(), events.end(), "close-window \"Tonedock\"");
  for (; it != events.end(); ++it)
    if (it->rfind("pause", 0) != 0)
      seen.push_back(*it);
  return seen;
}

TEST(WdmDriverDlgTest, RefusesOnTheSystemsStartUpShowsItOn)
{
  struct Row {
    const char* windows;
    const char* program;
    const char* title;
  };
  const Row rows[] = {
      {"95", "D:\\SETUP.EXE", "SETUP"},
      {"98", "D:\\SETUP.EXE", "SETUP"},
      {"NT4", "D:\\SETUP.EXE", "SETUP"},
      {"98", "D:\\WEB\\Tvx.Web.Setup.exe", "Tvx.Web.Setup"},
      {"95", "D:\\WEB\\WDMSETUP", "WDMSETUP"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(std::string(row.windows) + " " + row.program);
    CTestMachine m;
    PrepareWebSetup(m, row.windows);
    std::string dir = row.program;
    m.WriteFile(dir.substr(0, dir.rfind('\\') + 1) + "Setup.ini",
                "[InstallOption]\r\nWebSetup=1\r\nInstallWDMDriver=1\r\n");
    m.options.programPath = row.program;
    m.options.openWindows = {"Tonedock"};
    m.options.actions = {"click:1007", "click:1000", "click:1006", "ok"};
    sim::RunOutcome r = m.Run();
    ASSERT_FALSE(r.events.empty());
    EXPECT_EQ(r.events.front(), "dialog 131 open lang=1033") << JoinEvents(r);
    const std::vector<std::string> expected = {"close-window \"Tonedock\"", Refusal(row.title),
                                               "exit 0"};
    EXPECT_EQ(FromClose(r.events), expected) << JoinEvents(r);
    EXPECT_LT(std::find(r.events.begin(), r.events.end(), "wait-cursor on") - r.events.begin(),
              std::find(r.events.begin(), r.events.end(), "close-window \"Tonedock\"") -
                  r.events.begin());
    EXPECT_TRUE(r.exited);
    EXPECT_FALSE(m.Exists("C:\\Program Files\\Veltrix"));
    EXPECT_FALSE(m.Exists("C:\\WINDOWS\\INF\\OTHER\\TVX3710.INF"));
  }
}

TEST(WdmDriverDlgTest, CancelDoesNothing)
{
  CTestMachine m;
  PrepareWebSetup(m, "98");
  m.options.openWindows = {"Tonedock"};
  m.options.actions = {"click:1012", "cancel"};
  sim::RunOutcome r = m.Run();
  const std::vector<std::string> expected = {"dialog 131 open lang=1033", "dialog 131 end IDCANCEL",
                                             "return false"};
  std::vector<std::string> dialogEvents;
  for (const std::string& e : r.events)
    if (e.rfind("dialog", 0) == 0 || e == "return false" || e.rfind("message-box", 0) == 0 ||
        e.rfind("close-window", 0) == 0)
      dialogEvents.push_back(e);
  EXPECT_EQ(dialogEvents, expected) << JoinEvents(r);
  EXPECT_TRUE(r.returnedFalse);
}

// Start-up never shows the dialog on the newer systems; run directly, it
// refuses on 2000 and XP and ends quietly on 98 SE and ME.
TEST(WdmDriverDlgTest, NewerSystemsWhenRunDirectly)
{
  struct Row {
    const char* windows;
    bool refused;
  };
  for (const Row& row : {Row{"2000", true}, Row{"XP", true}, Row{"98SE", false}, Row{"ME", false}}) {
    SCOPED_TRACE(row.windows);
    CTestMachine m;
    PrepareWebSetup(m, row.windows);
    m.options.actions = {"ok"};
    m.Load();
    bool exited = false;
    INT_PTR result = 0;
    {
      sim::CPlatformScope scope(*m.computer);
      try {
        CWdmDriverDlg dlg(CloseSuiteApplications);
        result = dlg.DoModal();
      } catch (const sim::ProcessExit& e) {
        exited = true;
        EXPECT_EQ(e.code, 0u);
      }
    }
    const auto& ev = m.computer->Events();
    const bool boxShown = std::find(ev.begin(), ev.end(), Refusal("SETUP")) != ev.end();
    EXPECT_EQ(exited, row.refused);
    EXPECT_EQ(boxShown, row.refused);
    if (!row.refused) {
      EXPECT_EQ(result, IDOK);
      EXPECT_NE(std::find(ev.begin(), ev.end(), "dialog 131 end IDOK"), ev.end());
    }
  }
}

}  // namespace
