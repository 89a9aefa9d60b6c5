// The main options dialog on a simulated Windows 95, 98 and NT 4.0 computer:
// its opening state, the OK rule, the About entry, Cancel, the four
// combinations of its boxes, the missing-package endings and the reboot flag.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "PackageTestSupport.h"
#include "sim/SimPlatform.h"

using namespace package_test;

namespace {

const char kRebootFlagFile[] = "C:\\WINDOWS\\QVXSETUP.INI";
const char kStagedDriver[] = "C:\\Program Files\\Veltrix\\W95-98\\TVXWAV.VXD";
const char kCompleted[] = "Setup completed! The system will restart now!";
const char kTrayStart[] = "start \"SysTray.exe\" show=5 via=WinExec";

void PrepareDisc(CTestMachine& m, const char* windows, int builds = kAllBuilds)
{
  m.options.windows = windows;
  WriteDisc(m, "D:\\", builds);
}

std::optional<sim::SimControlState> Control(const sim::CSimComputer& pc, int id)
{
  for (const sim::SimControlState& c : pc.LastDialogControls(102))
    if (c.id == id)
      return c;
  return std::nullopt;
}

bool RebootFlagWritten(const CTestMachine& m)
{
  std::optional<std::string> ini = m.ReadFile(kRebootFlagFile);
  return ini && ini->find("[Need_To_Reboot]") != std::string::npos &&
         ini->find("Install=YES") != std::string::npos;
}

}  // namespace

TEST(SetupOptionsDlg, OpensWithBothBoxesTickedOn95And98)
{
  for (const char* windows : { "95", "98" }) {
    SCOPED_TRACE(windows);
    CTestMachine m;
    PrepareDisc(m, windows);
    m.options.actions = { "cancel" };
    sim::RunOutcome r = m.Run();
    std::vector<std::string> expected = { "dialog 102 open lang=1033", "dialog 102 end IDCANCEL",
                                          "return false" };
    EXPECT_EQ(expected, r.events) << Join(r.events);
    for (int id : { 1001, 1002 }) {
      auto c = Control(*m.computer, id);
      ASSERT_TRUE(c) << id;
      EXPECT_EQ(BST_CHECKED, c->check) << id;
      EXPECT_TRUE(c->enabled && c->visible) << id;
    }
    EXPECT_TRUE(Control(*m.computer, IDOK)->enabled);
    EXPECT_FALSE(Control(*m.computer, 1003)->visible);
  }
}

TEST(SetupOptionsDlg, OnNt4TheDriverBoxIsUntickedAndGreyed)
{
  CTestMachine m;
  PrepareDisc(m, "NT4");
  // A click on the greyed box changes nothing.
  m.options.actions = { "click:1002", "cancel" };
  m.Run();
  EXPECT_EQ(BST_CHECKED, Control(*m.computer, 1001)->check);
  EXPECT_TRUE(Control(*m.computer, 1001)->enabled);
  EXPECT_EQ(BST_UNCHECKED, Control(*m.computer, 1002)->check);
  EXPECT_FALSE(Control(*m.computer, 1002)->enabled);
  EXPECT_TRUE(Control(*m.computer, IDOK)->enabled);
}

TEST(SetupOptionsDlg, OkIsEnabledExactlyWhileABoxIsTicked)
{
  struct {
    std::vector<std::string> clicks;
    bool okEnabled;
  } const cases[] = {
    { { "click:1001" }, true },
    { { "click:1002" }, true },
    { { "click:1001", "click:1002" }, false },
    { { "click:1002", "click:1001" }, false },
    { { "click:1001", "click:1002", "click:1001" }, true },
    { { "click:1001", "click:1002", "click:1002" }, true },
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(Join(c.clicks));
    CTestMachine m;
    PrepareDisc(m, "95");
    m.options.actions = c.clicks;
    m.options.actions.push_back("cancel");
    m.Run();
    EXPECT_EQ(c.okEnabled, Control(*m.computer, IDOK)->enabled);
  }
}

TEST(SetupOptionsDlg, CancelDoesNothing)
{
  CTestMachine m;
  PrepareDisc(m, "95");
  m.options.openWindows = { "Tonedock" };
  m.options.actions = { "click:1002", "cancel" };
  m.SetRegistry(
      "REGEDIT4\r\n\r\n"
      "[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tonivex "
      "Applications]\r\n\"UninstallString\"=\"C:\\\\UNINST.EXE\"\r\n\r\n");
  m.WriteFile("C:\\UNINST.EXE", "uninstaller");
  sim::RunOutcome r = m.Run();
  std::vector<std::string> expected = { "dialog 102 open lang=1033", "dialog 102 end IDCANCEL",
                                        "return false" };
  EXPECT_EQ(expected, r.events) << Join(r.events);
  EXPECT_FALSE(m.Exists(kRebootFlagFile));
  EXPECT_FALSE(m.Exists("C:\\Program Files\\Veltrix"));
}

TEST(SetupOptionsDlg, AboutEntryShowsTheAboutBoxAndLeavesTheChoice)
{
  CTestMachine m;
  PrepareDisc(m, "95");
  m.options.language = 1036;
  m.options.actions = { "click:1002", "about", "ok", "about", "cancel", "cancel" };
  sim::RunOutcome r = m.Run();
  std::vector<std::string> expected = {
    "dialog 102 open lang=1036", "dialog 100 open lang=1033", "dialog 100 end IDOK",
    "dialog 100 open lang=1033", "dialog 100 end IDCANCEL",   "dialog 102 end IDCANCEL",
    "return false",
  };
  EXPECT_EQ(expected, r.events) << Join(r.events);
  std::vector<sim::SimMenuItem> menu = m.computer->SystemMenuItems(102);
  ASSERT_EQ(2u, menu.size());
  EXPECT_EQ((unsigned)MF_SEPARATOR, menu[0].flags & MF_SEPARATOR);
  EXPECT_EQ((unsigned)MF_STRING, menu[1].flags);
  EXPECT_EQ(0x0010u, menu[1].id);
  EXPECT_EQ("&About Setup...", menu[1].text);
  EXPECT_EQ(BST_CHECKED, Control(*m.computer, 1001)->check);
  EXPECT_EQ(BST_UNCHECKED, Control(*m.computer, 1002)->check);
}

TEST(SetupOptionsDlg, OpensInTheUsersLanguage)
{
  for (int lang : { 1033, 1036, 1041, 1042, 1028, 1031 }) {
    SCOPED_TRACE(lang);
    CTestMachine m;
    PrepareDisc(m, "95");
    m.options.language = lang;
    m.options.actions = { "cancel" };
    sim::RunOutcome r = m.Run();
    // German has no template of its own: US English.
    std::string shown = std::to_string(lang == 1031 ? 1033 : lang);
    ASSERT_FALSE(r.events.empty());
    EXPECT_EQ("dialog 102 open lang=" + shown, r.events[0]);
  }
}

// --- Pressing OK ------------------------------------------------------------------

TEST(SetupOptionsDlg, ApplicationsOnly)
{
  CTestMachine m;
  PrepareDisc(m, "95");
  m.options.actions = { "click:1002", "ok" };
  m.options.openWindows = { "Score Spinner" };
  m.options.runningPrograms = { { "C:\\UNINST.EXE -a", 2 } };
  m.WriteFile("C:\\UNINST.EXE", "uninstaller");
  m.SetRegistry(
      "REGEDIT4\r\n\r\n"
      "[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tonivex "
      "Applications]\r\n\"UninstallString\"=\"C:\\\\UNINST.EXE\"\r\n\r\n");
  sim::RunOutcome r = m.Run();
  std::vector<std::string> expected = {
    "dialog 102 open lang=1033",
    "pause 200",
    "close-window \"Score Spinner\"",
    "pause 500",
    "wait-cursor on",
    StartLine("C:\\UNINST.EXE -a"),
    "ended \"C:\\UNINST.EXE -a\" code=0",
    "wait-cursor off",
    StartLine("D:\\W95-98\\app\\Setup.exe"),
    "dialog 102 end IDOK",
    "return false",
  };
  EXPECT_EQ(expected, r.events) << Join(r.events);
  EXPECT_TRUE(RebootFlagWritten(m));
  EXPECT_FALSE(m.Exists(kStagedDriver));
  // The Please-wait state replaced the boxes.
  EXPECT_TRUE(Control(*m.computer, 1003)->visible);
  EXPECT_FALSE(Control(*m.computer, 1001)->visible);
  EXPECT_FALSE(Control(*m.computer, 1002)->visible);
}

TEST(SetupOptionsDlg, DriverOnlyRestarts)
{
  CTestMachine m;
  PrepareDisc(m, "95");
  m.options.actions = { "click:1001", "ok" };
  m.options.openWindows = { "Tonedock" };
  sim::RunOutcome r = m.Run();
  EXPECT_TRUE(InOrder(r.events, { "dialog 102 open lang=1033", "pause 200", kTrayStart,
                                  MessageLine(kCompleted, "102"), "restart",
                                  "dialog 102 end IDOK", "return false" }))
      << Join(r.events);
  // The restart comes last: after the message, before the dialog ends.
  std::vector<std::string> tail = From(r.events, MessageLine(kCompleted, "102"));
  EXPECT_EQ((std::vector<std::string>{ MessageLine(kCompleted, "102"), "restart",
                                       "dialog 102 end IDOK", "return false" }),
            tail);
  // The application part did not run: no suite window closed, no package.
  EXPECT_FALSE(HasPrefix(r.events, "close-window"));
  EXPECT_FALSE(HasPrefix(r.events, "start \"D:\\W95-98\\app"));
  EXPECT_TRUE(m.Exists(kStagedDriver));
  EXPECT_FALSE(m.Exists(kRebootFlagFile));
}

TEST(SetupOptionsDlg, BothBoxesLeaveTheRestartToThePackage)
{
  CTestMachine m;
  PrepareDisc(m, "98");
  m.options.openWindows = { "Tonedock" };
  // No action: OK is pressed with both boxes ticked.
  sim::RunOutcome r = m.Run();
  EXPECT_TRUE(InOrder(r.events, { "dialog 102 open lang=1033", "pause 200", kTrayStart,
                                  "close-window \"Tonedock\"", "pause 500", "pause 500",
                                  StartLine("D:\\W95-98\\app\\Setup.exe"), "dialog 102 end IDOK",
                                  "return false" }))
      << Join(r.events);
  EXPECT_FALSE(Has(r.events, "restart"));
  EXPECT_FALSE(Has(r.events, MessageLine(kCompleted, "102")));
  EXPECT_TRUE(m.Exists("C:\\Program Files\\Veltrix\\W95-98\\TVXWAV.VXD"));
  EXPECT_TRUE(RebootFlagWritten(m));
  // The wait cursor of the driver part ends before the applications part.
  std::vector<std::string> fromClose = From(r.events, "close-window \"Tonedock\"");
  EXPECT_EQ(Count(r.events, "wait-cursor on"), Count(r.events, "wait-cursor off"));
  EXPECT_FALSE(Has(fromClose, "wait-cursor off"));
}

TEST(SetupOptionsDlg, Nt4InstallsOnlyTheApplications)
{
  CTestMachine m;
  PrepareDisc(m, "NT4");
  m.options.actions = { "click:1002", "ok" };
  sim::RunOutcome r = m.Run();
  std::vector<std::string> expected = {
    "dialog 102 open lang=1033", "pause 200", "pause 500",
    StartLine("D:\\NT40\\app\\Setup.exe"), "dialog 102 end IDOK", "return false",
  };
  EXPECT_EQ(expected, r.events) << Join(r.events);
  EXPECT_FALSE(m.Exists("C:\\Program Files\\Veltrix"));
}

namespace {

// A computer on which the OK button cannot be disabled, so that OK can be
// pressed with neither box ticked.
class COkStaysEnabledComputer : public sim::CSimPlatform {
public:
  using sim::CSimPlatform::CSimPlatform;
  BOOL EnableWindow(HWND hWnd, BOOL bEnable) override
  {
    return bEnable ? sim::CSimPlatform::EnableWindow(hWnd, bEnable) : FALSE;
  }
};

// A computer whose user closes the dialog with the close box at the first
// click on a box: the system menu's Close command, then WM_CLOSE, as
// Windows sends them.
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

}  // namespace

TEST(SetupOptionsDlg, OkWithNeitherBoxEndsAsCancelled)
{
  CTestMachine m;
  PrepareDisc(m, "95");
  m.options.actions = { "click:1001", "click:1002", "ok" };
  COkStaysEnabledComputer pc(m.Dir(), m.options);
  std::string err;
  ASSERT_TRUE(pc.Init(&err)) << err;
  sim::RunOutcome r = sim::RunLauncher(pc);
  std::vector<std::string> expected = { "dialog 102 open lang=1033", "dialog 102 end IDCANCEL",
                                        "return false" };
  EXPECT_EQ(expected, r.events) << Join(r.events);
  EXPECT_FALSE(Control(pc, 1003)->visible);
  EXPECT_FALSE(m.Exists(kRebootFlagFile));
}

TEST(SetupOptionsDlg, CloseBoxDoesNothing)
{
  CTestMachine m;
  PrepareDisc(m, "95");
  m.options.actions = { "click:1002" };
  CCloseBoxComputer pc(m.Dir(), m.options);
  std::string err;
  ASSERT_TRUE(pc.Init(&err)) << err;
  sim::RunOutcome r = sim::RunLauncher(pc);
  // The Close command is left to the default handling.
  EXPECT_EQ(0, pc.m_nSysCloseResult);
  std::vector<std::string> expected = { "dialog 102 open lang=1033", "dialog 102 end IDCANCEL",
                                        "return false" };
  EXPECT_EQ(expected, r.events) << Join(r.events);
  EXPECT_FALSE(m.Exists(kRebootFlagFile));
}

// --- The package's Setup.exe missing -----------------------------------------------

TEST(SetupOptionsDlg, NoPackageForTheSystemEndsBeforeTheDialogShows)
{
  struct {
    const char* windows;
    int builds;
  } const cases[] = {
    { "95", kNT40 },
    { "98", 0 },
    // The 9x builds do not stand in for NT 4.0's.
    { "NT4", kW95 | kW2K },
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.windows);
    CTestMachine m;
    PrepareDisc(m, c.windows, c.builds);
    sim::RunOutcome r = m.Run();
    std::vector<std::string> expected = {
      "dialog 102 open lang=1033",
      MessageLine("Can not find installation files.", "102"),
      "exit 0",
    };
    EXPECT_EQ(expected, r.events) << Join(r.events);
    EXPECT_FALSE(m.Exists("C:\\Program Files\\Veltrix"));
  }
}

TEST(SetupOptionsDlg, FallbackBuildIsEnoughToOpen)
{
  CTestMachine m;
  PrepareDisc(m, "98", kW2K);
  sim::RunOutcome r = m.Run();
  EXPECT_TRUE(InOrder(r.events, { StartLine("D:\\W2K-ME\\app\\Setup.exe"),
                                  "dialog 102 end IDOK" }))
      << Join(r.events);
}

namespace {

// A computer on which the package disappears while the dialog is up: when
// the suite's windows are looked for, the disc's package builds are gone.
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

}  // namespace

TEST(SetupOptionsDlg, PackageGoneByOkEndsTheDialogWithoutTheFlag)
{
  for (bool bDriverToo : { false, true }) {
    SCOPED_TRACE(bDriverToo ? "both boxes" : "applications only");
    CTestMachine m;
    PrepareDisc(m, "95", kW95);
    if (!bDriverToo)
      m.options.actions = { "click:1002", "ok" };
    CPackageGoneComputer pc(m.Dir(), m.options);
    std::string err;
    ASSERT_TRUE(pc.Init(&err)) << err;
    sim::RunOutcome r = sim::RunLauncher(pc);
    std::vector<std::string> tail =
        From(r.events, MessageLine("Can not find the Tonivex Applications setup program.", "102"));
    EXPECT_EQ((std::vector<std::string>{
                  MessageLine("Can not find the Tonivex Applications setup program.", "102"),
                  "dialog 102 end IDOK", "return false" }),
              tail)
        << Join(r.events);
    EXPECT_FALSE(Has(r.events, "restart"));
    EXPECT_FALSE(m.Exists(kRebootFlagFile));
    // A driver installed before stays installed.
    EXPECT_EQ(bDriverToo, m.Exists(kStagedDriver));
  }
}

namespace {

// A computer on which the dialog gets minimised at the first click on a box:
// it records the icon calls and what painting draws, before and after.
class CMinimisingComputer : public sim::CSimPlatform {
public:
  using sim::CSimPlatform::CSimPlatform;
  HICON LoadIconA(HINSTANCE hInstance, LPCSTR pszName) override
  {
    m_hLoaded = sim::CSimPlatform::LoadIconA(hInstance, pszName);
    return m_hLoaded;
  }
  HMENU GetSystemMenu(HWND hWnd, BOOL bRevert) override
  {
    m_hDlg = hWnd;
    return sim::CSimPlatform::GetSystemMenu(hWnd, bRevert);
  }
  BOOL IsIconic(HWND) override { return m_bIconic; }
  BOOL DrawIcon(HDC, int x, int y, HICON hIcon) override
  {
    m_drawn.push_back({ x, y, hIcon });
    return TRUE;
  }
  LRESULT SendMessageA(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) override
  {
    if (hWnd == m_hDlg && uMsg == WM_SETICON)
      m_icons[wParam] = (HICON)lParam;
    if (hWnd == m_hDlg && uMsg == WM_ICONERASEBKGND)
      m_nEraseBeforeDraw = (int)m_drawn.size() + 1;
    return sim::CSimPlatform::SendMessageA(hWnd, uMsg, wParam, lParam);
  }
  BOOL EnableWindow(HWND hWnd, BOOL bEnable) override
  {
    if (!m_bDone) {
      m_bDone = true;
      m_nPaintShown = SendMessageA(m_hDlg, WM_PAINT, 0, 0);
      m_nDrawnShown = m_drawn.size();
      m_bIconic = TRUE;
      m_nPaintMinimised = SendMessageA(m_hDlg, WM_PAINT, 0, 0);
      m_hDragIcon = (HICON)SendMessageA(m_hDlg, WM_QUERYDRAGICON, 0, 0);
    }
    return sim::CSimPlatform::EnableWindow(hWnd, bEnable);
  }
  struct Drawn {
    int x, y;
    HICON hIcon;
  };
  HWND m_hDlg = nullptr;
  HICON m_hLoaded = nullptr, m_hDragIcon = nullptr;
  std::map<WPARAM, HICON> m_icons;
  BOOL m_bIconic = FALSE;
  bool m_bDone = false;
  LRESULT m_nPaintShown = -1, m_nPaintMinimised = -1;
  size_t m_nDrawnShown = 0;
  int m_nEraseBeforeDraw = 0;
  std::vector<Drawn> m_drawn;
};

}  // namespace

TEST(SetupOptionsDlg, IconAndPaintingWhileMinimised)
{
  CTestMachine m;
  PrepareDisc(m, "95");
  m.options.actions = { "click:1001", "cancel" };
  CMinimisingComputer pc(m.Dir(), m.options);
  std::string err;
  ASSERT_TRUE(pc.Init(&err)) << err;
  sim::RunLauncher(pc);
  // Icon 128 is the window's large and small icon.
  ASSERT_NE(nullptr, pc.m_hLoaded);
  EXPECT_EQ(pc.m_hLoaded, pc.m_icons[ICON_BIG]);
  EXPECT_EQ(pc.m_hLoaded, pc.m_icons[ICON_SMALL]);
  // Shown normally, painting is left to the platform.
  EXPECT_EQ(0, pc.m_nPaintShown);
  EXPECT_EQ(0u, pc.m_nDrawnShown);
  // Minimised, the background is erased and the icon drawn in the middle of
  // the 320x200 client area: (320 - 32 + 1) / 2, (200 - 32 + 1) / 2.
  EXPECT_NE(0, pc.m_nPaintMinimised);
  ASSERT_EQ(1u, pc.m_drawn.size());
  EXPECT_EQ(1, pc.m_nEraseBeforeDraw);
  EXPECT_EQ(144, pc.m_drawn[0].x);
  EXPECT_EQ(84, pc.m_drawn[0].y);
  EXPECT_EQ(pc.m_hLoaded, pc.m_drawn[0].hIcon);
  EXPECT_EQ(pc.m_hLoaded, pc.m_hDragIcon);
}
