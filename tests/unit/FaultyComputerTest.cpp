// Starts on a computer that does what no setupsim option can make it do: a
// user who closes the dialog with its close box, a package that goes away
// while the dialog is up, an uninstaller that ends with exit code 259.
#include <gtest/gtest.h>

#include <filesystem>

#include "TestMachine.h"
#include "sim/SimPlatform.h"

namespace {

const char kUninstallKey[] =
    "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\"
    "Uninstall\\Tonivex Applications]\r\n\"UninstallString\"=\"C:\\\\UNINST.EXE\"\r\n";

// Runs the launcher on a computer of class T made from the machine folder.
template <class T>
sim::RunOutcome RunOn(CTestMachine& m, T& pc)
{
  std::string err;
  EXPECT_TRUE(pc.Init(&err)) << err;
  return sim::RunLauncher(pc);
}

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
    if (!m_bClosed && m_hDlg) {
      m_bClosed = true;
      m_nSysCloseResult = SendMessageA(m_hDlg, WM_SYSCOMMAND, SC_CLOSE, 0);
      SendMessageA(m_hDlg, WM_CLOSE, 0, 0);
    }
    return b;
  }
  HWND m_hDlg = nullptr;
  bool m_bClosed = false;
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
    if (++m_nExitCodeReads > 100)
      return FALSE;
    BOOL bOk = sim::CSimPlatform::GetExitCodeProcess(hProcess, pdwExitCode);
    if (bOk)
      *pdwExitCode = STILL_ACTIVE;
    return bOk;
  }
  DWORD WaitForSingleObject(HANDLE hHandle, DWORD dwMilliseconds) override
  {
    ++m_nBlockingWaits;
    return sim::CSimPlatform::WaitForSingleObject(hHandle, dwMilliseconds);
  }
  int m_nExitCodeReads = 0;
  int m_nBlockingWaits = 0;
};

void WriteDisc(CTestMachine& m)
{
  m.options.windows = "95";
  m.WriteFile("D:\\W95-98\\app\\Setup.exe", "package");
  m.WriteFile("D:\\W95-98\\drv\\95\\TVXWAV.VXD", "driver");
}

}  // namespace

TEST(FaultyComputer, CloseBoxDoesNothing)
{
  CTestMachine m;
  WriteDisc(m);
  m.options.actions = { "click:1002" };
  CCloseBoxComputer pc(m.Dir(), m.options);
  sim::RunOutcome r = RunOn(m, pc);
  // The Close command is left to the default handling.
  EXPECT_EQ(0, pc.m_nSysCloseResult);
  EXPECT_EQ(r.events, (std::vector<std::string>{ "dialog 102 open lang=1033", "dialog 102 end IDCANCEL",
                                                 "return false" }));
  EXPECT_FALSE(m.Exists("C:\\WINDOWS\\QVXSETUP.INI"));
}

TEST(FaultyComputer, PackageGoneByOkEndsTheDialogWithoutTheFlag)
{
  for (bool bDriverToo : { false, true }) {
    SCOPED_TRACE(bDriverToo ? "both boxes" : "applications only");
    CTestMachine m;
    WriteDisc(m);
    if (!bDriverToo)
      m.options.actions = { "click:1002", "ok" };
    CPackageGoneComputer pc(m.Dir(), m.options);
    sim::RunOutcome r = RunOn(m, pc);
    ASSERT_GE(r.events.size(), 3u) << JoinEvents(r);
    EXPECT_EQ(std::vector<std::string>(r.events.end() - 3, r.events.end()),
              (std::vector<std::string>{ "message-box title=\"Setup\" text=\"Can not find the Tonivex "
                                         "Applications setup program.\" owner=102",
                                         "dialog 102 end IDOK", "return false" }));
    EXPECT_FALSE(m.Exists("C:\\WINDOWS\\QVXSETUP.INI"));
    // A driver installed before stays installed.
    EXPECT_EQ(bDriverToo, m.Exists("C:\\Program Files\\Veltrix\\W95-98\\TVXWAV.VXD"));
  }
}

TEST(FaultyComputer, AnUninstallerEndingWithCode259IsSeenToHaveEnded)
{
  CTestMachine m;
  WriteDisc(m);
  m.options.commandLine = "/AP";
  m.WriteFile("C:\\UNINST.EXE", "uninstaller");
  m.SetRegistry(kUninstallKey);
  m.options.runningPrograms = { { "C:\\UNINST.EXE -a", 3 } };
  CExitCode259Computer pc(m.Dir(), m.options);
  sim::RunOutcome r = RunOn(m, pc);
  // It goes on, having blocked on the process rather than polling it.
  EXPECT_EQ(2, pc.m_nExitCodeReads);
  EXPECT_EQ(1, pc.m_nBlockingWaits);
  EXPECT_EQ(r.events.back(), "exit 0") << JoinEvents(r);
}
