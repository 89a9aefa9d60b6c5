// Starts on a computer that does what no setupsim option can make it do: a
// user who closes the dialog with its close box, a package that goes away
// while the dialog is up, an uninstaller that ends with exit code 259.
#include <gtest/gtest.h>

#include <filesystem>

#include "TestMachine.h"

namespace {

// The user closes the dialog with the close box at the first click on a box:
// the system menu's Close command, then WM_CLOSE, as Windows sends them.
class CCloseBoxComputer : public sim::CSimPlatform {
public:
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
class CPackageGoneComputer : public sim::CSimPlatform {
public:
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
class CExitCode259Computer : public sim::CSimPlatform {
public:
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
  EXPECT_EQ(JoinEvents(m.Run<CCloseBoxComputer>()), "dialog 102 open lang=1033\ndialog 102 end IDCANCEL\nreturn false\n");
  // The Close command is left to the default handling.
  EXPECT_EQ(0, static_cast<CCloseBoxComputer&>(*m.computer).m_nSysCloseResult);
  EXPECT_FALSE(m.Exists("C:\\WINDOWS\\QVXSETUP.INI"));
}

TEST(FaultyComputer, PackageGoneByOkEndsTheDialogWithoutTheFlag)
{
  for (bool bDriverToo : { false, true }) {
    CDiscMachine m;
    if (!bDriverToo)
      m.options.actions = { "click:1002", "ok" };
    const std::string events = JoinEvents(m.Run<CPackageGoneComputer>()), end =
        "message-box title=\"Setup\" text=\"Can not find the Tonivex Applications setup program.\" "
        "owner=102\ndialog 102 end IDOK\nreturn false\n";
    EXPECT_EQ(events.size() - end.size(), events.rfind(end)) << events;
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
  sim::RunOutcome r = m.Run<CExitCode259Computer>();
  // It goes on, having blocked on the process rather than polling it.
  auto& pc = static_cast<CExitCode259Computer&>(*m.computer);
  EXPECT_EQ(2, pc.m_nExitCodeReads);
  EXPECT_EQ(1, pc.m_nBlockingWaits);
  EXPECT_EQ(r.events.back(), "exit 0") << JoinEvents(r);
}
