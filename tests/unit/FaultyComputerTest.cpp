// Starts on a computer that does what no setupsim option can make it do: a
// user who closes the dialog with its close box, a package that goes away
// while the dialog is up, an uninstaller that ends with exit code 259.
#include <filesystem>

#include "TestMachine.h"

namespace {

using Events = std::vector<std::string>;

// The user closes the dialog with the close box at the first click on a box:
// the system menu's Close command, then WM_CLOSE, as Windows sends them.
struct CCloseBoxComputer : sim::CSimPlatform {
  using sim::CSimPlatform::CSimPlatform;
  HMENU GetSystemMenu(HWND hWnd, BOOL bRevert) override
  {
    m_hDlg = hWnd;
    return sim::CSimPlatform::GetSystemMenu(hWnd, bRevert);
  }
  BOOL EnableWindow(HWND hWnd, BOOL bEnable) override
  {
    BOOL b = sim::CSimPlatform::EnableWindow(hWnd, bEnable);
    if (m_nSysCloseResult == -1 && m_hDlg) {
      m_nSysCloseResult = SendMessageA(m_hDlg, WM_SYSCOMMAND, SC_CLOSE, 0);
      SendMessageA(m_hDlg, WM_CLOSE, 0, 0);
    }
    return b;
  }
  HWND m_hDlg = nullptr;
  LRESULT m_nSysCloseResult = -1;
};

// The disc's package builds are gone by the time the suite's windows are
// looked for.
struct CPackageGoneComputer : sim::CSimPlatform {
  using sim::CSimPlatform::CSimPlatform;
  HWND FindWindowExA(HWND hParent, HWND hAfter, LPCSTR pszClass, LPCSTR pszWindow) override
  {
    if (pszWindow && std::string(pszWindow) == "Tonedock")
      std::filesystem::remove_all(HostPath("D:\\W95-98"));
    return sim::CSimPlatform::FindWindowExA(hParent, hAfter, pszClass, pszWindow);
  }
};

// Every exit code reads 259, as an uninstaller that ends with that code of
// its own gives; the waits on the process are counted.
struct CExitCode259Computer : sim::CSimPlatform {
  using sim::CSimPlatform::CSimPlatform;
  BOOL GetExitCodeProcess(HANDLE hProcess, LPDWORD pdwExitCode) override
  {
    // A loop that never ends is stopped here, and the counts then fail.
    if (++m_nExitCodeReads > 100 || !sim::CSimPlatform::GetExitCodeProcess(hProcess, pdwExitCode))
      return FALSE;
    *pdwExitCode = STILL_ACTIVE;
    return TRUE;
  }
  DWORD WaitForSingleObject(HANDLE hHandle, DWORD dwMilliseconds) override
  {
    ++m_nBlockingWaits;
    return sim::CSimPlatform::WaitForSingleObject(hHandle, dwMilliseconds);
  }
  int m_nExitCodeReads = 0;
  int m_nBlockingWaits = 0;
};

// Windows 95 with the disc's package and driver set.
struct CDiscMachine : CTestMachine {
  CDiscMachine()
  {
    options.windows = "95";
    WriteFile("D:\\W95-98\\app\\Setup.exe", "package");
    WriteFile("D:\\W95-98\\drv\\95\\TVXWAV.VXD", "driver");
  }
};

}  // namespace

TEST(FaultyComputer, CloseBoxDoesNothing)
{
  CDiscMachine m;
  m.options.actions = { "click:1002" };
  auto& pc = m.Load<CCloseBoxComputer>();
  EXPECT_EQ(sim::RunLauncher(pc).events,
            (Events{ "dialog 102 open lang=1033", "dialog 102 end IDCANCEL", "return false" }));
  EXPECT_EQ(0, pc.m_nSysCloseResult);  // the Close command is left to the default handling
  EXPECT_FALSE(m.Exists("C:\\WINDOWS\\QVXSETUP.INI"));
}

TEST(FaultyComputer, PackageGoneByOkEndsTheDialogWithoutTheFlag)
{
  for (bool bDriverToo : { false, true }) {
    CDiscMachine m;
    if (!bDriverToo)
      m.options.actions = { "click:1002", "ok" };
    const Events events = sim::RunLauncher(m.Load<CPackageGoneComputer>()).events;
    EXPECT_EQ(Events(events.end() - std::min<size_t>(3, events.size()), events.end()),
              (Events{ "message-box title=\"Setup\" text=\"Can not find the Tonivex Applications setup program.\" "
                       "owner=102", "dialog 102 end IDOK", "return false" }));
    EXPECT_FALSE(m.Exists("C:\\WINDOWS\\QVXSETUP.INI"));
    // A driver installed before stays installed.
    EXPECT_EQ(bDriverToo, m.Exists("C:\\Program Files\\Veltrix\\W95-98\\TVXWAV.VXD"));
  }
}

TEST(FaultyComputer, AnUninstallerEndingWithCode259IsSeenToHaveEnded)
{
  CDiscMachine m;
  m.options.commandLine = "/AP";
  m.WriteFile("C:\\UNINST.EXE", "uninstaller");
  m.SetRegistry("REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\"
                "Tonivex Applications]\r\n\"UninstallString\"=\"C:\\\\UNINST.EXE\"\r\n");
  m.options.runningPrograms = { { "C:\\UNINST.EXE -a", 3 } };
  auto& pc = m.Load<CExitCode259Computer>();
  EXPECT_EQ(sim::RunLauncher(pc).events.back(), "exit 0");
  // It goes on, having blocked on the process rather than polling it.
  EXPECT_EQ(2, pc.m_nExitCodeReads);
  EXPECT_EQ(1, pc.m_nBlockingWaits);
}
