// The driver dialogs run directly on the systems whose starts are handed
// over before any dialog: their own version tests still refuse there (the
// VxD dialog on NT 5, the WDM one on 2000 and XP) or end quietly (the WDM
// one on 98 SE and ME, whose own setup installs that driver).
#include <gtest/gtest.h>

#include <algorithm>

#include "TestMachine.h"
#include "install/VxdDriverDlg.h"
#include "install/WdmDriverDlg.h"
#include "setup/SuiteApplications.h"

TEST(DialogsRunDirectly, RefuseOrEndQuietlyOnTheNewerSystems)
{
  const struct {
    bool bWdm;
    const char* windows;
    const char* refusal;  // nullptr: the dialog ends with IDOK, nothing shown
  } rows[] = {
    { false, "2000", "message-box title=\"Information\" text=\"This driver can not be used on Windows NT "
                     "or Windows 2000.\" owner=103" },
    { true, "XP", "message-box title=\"SETUP\" text=\"This WDM driver can only be installed on Windows "
                  "98SE/ME/2000\" owner=131" },
    { true, "2000", "message-box title=\"SETUP\" text=\"This WDM driver can only be installed on Windows "
                    "98SE/ME/2000\" owner=131" },
    { true, "98SE", nullptr },
    { true, "ME", nullptr },
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(std::string(row.bWdm ? "WDM " : "VxD ") + row.windows);
    CTestMachine m;
    m.options.windows = row.windows;
    m.options.actions = { "ok" };
    m.WriteFile("D:\\Setup.ini", "[InstallOption]\r\nWebSetup=1\r\n");
    m.WriteFile("D:\\TVX3710.INF", "[Version]\r\nHKR,Config,DISMPU,1,0\r\n");
    m.Load();
    bool bExited = false;
    INT_PTR result = 0;
    {
      sim::CPlatformScope scope(*m.computer);
      try {
        if (row.bWdm) {
          CWdmDriverDlg dlg(CloseSuiteApplications);
          result = dlg.DoModal();
        } else {
          LONG bSourcePathSet = 0;
          CVxdDriverDlg dlg(&bSourcePathSet, CloseSuiteApplications);
          result = dlg.DoModal();
        }
      } catch (const sim::ProcessExit& e) {
        bExited = true;
        EXPECT_EQ(e.code, 0u);
      }
    }
    const auto& ev = m.computer->Events();
    EXPECT_EQ(bExited, row.refusal != nullptr);
    if (row.refusal)
      EXPECT_NE(std::find(ev.begin(), ev.end(), row.refusal), ev.end());
    else
      EXPECT_EQ(result, IDOK);
    EXPECT_FALSE(m.Exists("C:\\Program Files\\Veltrix"));
  }
}
