// The driver dialogs run directly on the systems whose starts are handed
// over before any dialog: their own version tests still refuse there (the
// VxD dialog on NT 5, the WDM one on 2000 and XP) or end quietly (the WDM
// one on 98 SE and ME, whose own setup installs that driver).
#include <algorithm>

#include "TestMachine.h"
#include "install/VxdDriverDlg.h"
#include "install/WdmDriverDlg.h"
#include "setup/SuiteApplications.h"

TEST(DialogsRunDirectly, RefuseOrEndQuietlyOnTheNewerSystems)
{
  const std::string kWdmRefusal = "message-box title=\"SETUP\" text=\"This WDM driver can only be installed on "
                                  "Windows 98SE/ME/2000\" owner=131";
  const struct {
    bool bWdm;
    const char* windows;
    std::string refusal;  // "": the dialog ends with IDOK, nothing shown
  } rows[] = {
    { false, "2000", "message-box title=\"Information\" text=\"This driver can not be used on Windows NT or "
                     "Windows 2000.\" owner=103" },
    { true, "XP", kWdmRefusal }, { true, "2000", kWdmRefusal }, { true, "98SE", "" }, { true, "ME", "" },
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(std::string(row.bWdm ? "WDM " : "VxD ") + row.windows);
    CTestMachine m;
    m.options.windows = row.windows;
    m.options.actions = { "ok" };
    m.WriteFile("D:\\Setup.ini", "[InstallOption]\r\nWebSetup=1\r\n");
    m.WriteFile("D:\\TVX3710.INF", "[Version]\r\nHKR,Config,DISMPU,1,0\r\n");
    INT_PTR result = -1;
    try {
      sim::CPlatformScope scope(m.Load());
      LONG bSourcePathSet = 0;
      result = row.bWdm ? CWdmDriverDlg(CloseSuiteApplications).DoModal()
                        : CVxdDriverDlg(&bSourcePathSet, CloseSuiteApplications).DoModal();
    } catch (const sim::ProcessExit& e) {
      EXPECT_EQ(e.code, 0u);
    }
    const auto& ev = m.computer->Events();
    EXPECT_EQ(result, row.refusal.empty() ? IDOK : -1);
    if (!row.refusal.empty())
      EXPECT_NE(std::find(ev.begin(), ev.end(), row.refusal), ev.end());
    EXPECT_FALSE(m.Exists("C:\\Program Files\\Veltrix"));
  }
}
