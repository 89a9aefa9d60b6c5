// The dialog engine of the simulated computer, on the tests' own templates
// (tests/support/SimTestDialogs.rc): scripted clicks as a mouse gives them,
// the automatic button styles, radio groups, disabled and hidden controls,
// languages, nested dialogs and the events of a dialog's run.
#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <map>
#include <sstream>

#include "TestMachine.h"

namespace {

std::vector<unsigned char> TestResources()
{
  std::ifstream in(std::string(SETUP_BINARY_DIR) + "/SimTestDialogs.res", std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  std::string s = ss.str();
  return std::vector<unsigned char>(s.begin(), s.end());
}

// A dialog procedure that records what it hears and lets each test act.
struct Recorder {
  std::vector<int> commands;  // WM_COMMAND ids, BN_CLICKED only
  std::function<void(HWND)> onInit;
  std::function<bool(HWND, int)> onCommand;  // true: handled
  std::function<void(HWND)> onAbout;
};

std::map<HWND, Recorder*> g_recorders;

INT_PTR CALLBACK RecorderProc(HWND hDlg, UINT uMsg, WPARAM wParam, LPARAM lParam)
{
  IPlatform* p = Platform();
  if (uMsg == WM_INITDIALOG) {
    Recorder* rec = (Recorder*)lParam;
    g_recorders[hDlg] = rec;
    if (rec->onInit)
      rec->onInit(hDlg);
    return TRUE;
  }
  Recorder* rec = g_recorders[hDlg];
  if (uMsg == WM_COMMAND && HIWORD(wParam) == BN_CLICKED) {
    int id = LOWORD(wParam);
    rec->commands.push_back(id);
    if (rec->onCommand && rec->onCommand(hDlg, id))
      return TRUE;
    if (id == IDOK || id == IDCANCEL)
      p->EndDialog(hDlg, id);
    return TRUE;
  }
  if (uMsg == WM_SYSCOMMAND && wParam == 0x0010 && rec->onAbout) {
    rec->onAbout(hDlg);
    return TRUE;
  }
  return FALSE;
}

class SimDialogTest : public ::testing::Test {
protected:
  void SetUp() override { m.options.resources = TestResources(); }
  INT_PTR Run(int templateId, Recorder* rec)
  {
    sim::CPlatformScope scope(*m.computer);
    return Platform()->DialogBoxParamA((HINSTANCE)1, MAKEINTRESOURCEA(templateId), nullptr,
                                       &RecorderProc, (LPARAM)rec);
  }
  int Check(HWND hDlg, int id)
  {
    return (int)Platform()->SendMessageA(Platform()->GetDlgItem(hDlg, id), BM_GETCHECK, 0, 0);
  }
  CTestMachine m;
};

TEST_F(SimDialogTest, ScriptedClicksChangeButtonsAsAMouseWould)
{
  m.options.actions = {"click:1001", "click:1011", "click:1030", "click:1031",
                       "click:1016", "click:1015", "click:1040", "ok"};
  m.Load();
  Recorder rec;
  std::vector<int> at;  // checks when OK arrives: 1001 1010 1011 1012 1016
  rec.onInit = [&](HWND h) {
    Platform()->SendMessageA(Platform()->GetDlgItem(h, 1010), BM_SETCHECK, BST_CHECKED, 0);
  };
  rec.onCommand = [&](HWND h, int id) {
    if (id == IDOK)
      for (int c : {1001, 1010, 1011, 1012, 1016})
        at.push_back(Check(h, c));
    return false;
  };
  EXPECT_EQ(IDOK, Run(200, &rec));
  // The disabled and the hidden box ignore the click, a static sends nothing;
  // the push button 1040 reports its click like any button.
  EXPECT_EQ((std::vector<int>{1001, 1011, 1016, 1040, IDOK}), rec.commands);
  // The radio click unchecked 1010 of its group, not 1016 of the next one.
  EXPECT_EQ((std::vector<int>{1, 0, 1, 0, 1}), at);
  EXPECT_EQ((std::vector<std::string>{"dialog 200 open lang=1033", "dialog 200 end IDOK"}),
            m.computer->Events());
  for (const auto& c : m.computer->LastDialogControls(200)) {
    if (c.id == 1030)
      EXPECT_FALSE(c.enabled);
    if (c.id == 1031)
      EXPECT_FALSE(c.visible);
    if (c.id == 1001)
      EXPECT_EQ(BST_CHECKED, c.check);
  }
}

TEST_F(SimDialogTest, ClickTwiceUnticksAndOkSendsIdOk)
{
  m.options.actions = {"click:1001", "click:1001", "click:1"};
  m.Load();
  Recorder rec;
  int boxAtOk = -1;
  rec.onCommand = [&](HWND h, int id) {
    if (id == IDOK)
      boxAtOk = Check(h, 1001);
    return false;
  };
  EXPECT_EQ(IDOK, Run(200, &rec));
  EXPECT_EQ(BST_UNCHECKED, boxAtOk);
}

TEST_F(SimDialogTest, DisabledOkIsIgnoredAndCancelEndsTheRun)
{
  m.options.actions = {"ok"};  // ignored: OK is disabled
  m.Load();
  Recorder rec;
  rec.onInit = [&](HWND h) { Platform()->EnableWindow(Platform()->GetDlgItem(h, IDOK), FALSE); };
  // Nothing left: OK is pressed (still disabled), then Cancel.
  EXPECT_EQ(IDCANCEL, Run(200, &rec));
  EXPECT_EQ((std::vector<int>{IDCANCEL}), rec.commands);
  EXPECT_EQ("dialog 200 end IDCANCEL", m.computer->Events().back());
}

TEST_F(SimDialogTest, UnknownControlIsAUsageError)
{
  m.options.actions = {"click:999"};
  m.Load();
  Recorder rec;
  EXPECT_THROW(Run(200, &rec), sim::UsageError);
  m.options.actions = {"about"};  // no About entry in the system menu
  m.Load();
  EXPECT_THROW(Run(200, &rec), sim::UsageError);
}

TEST_F(SimDialogTest, AboutOpensANestedDialogThatTakesTheNextActions)
{
  m.options.actions = {"about", "cancel", "click:1001"};
  m.Load();
  Recorder outer;
  outer.onInit = [&](HWND h) {
    HMENU hMenu = Platform()->GetSystemMenu(h, FALSE);
    Platform()->AppendMenuA(hMenu, MF_SEPARATOR, 0, nullptr);
    Platform()->AppendMenuA(hMenu, MF_STRING, 0x0010, "&About Setup...");
  };
  Recorder inner;
  outer.onAbout = [&](HWND h) {
    // A box raised from the inner dialog's control belongs to that dialog.
    inner.onInit = [&](HWND hi) {
      Platform()->MessageBoxA(Platform()->GetDlgItem(hi, IDOK), "hello", "About", MB_OK);
    };
    Platform()->DialogBoxParamA((HINSTANCE)1, MAKEINTRESOURCEA(202), h, &RecorderProc,
                                (LPARAM)&inner);
  };
  EXPECT_EQ(IDOK, Run(200, &outer));
  EXPECT_EQ((std::vector<int>{IDCANCEL}), inner.commands);
  EXPECT_EQ((std::vector<int>{1001, IDOK}), outer.commands);
  std::vector<std::string> expected = {
      "dialog 200 open lang=1033",
      "dialog 202 open lang=1033",
      "message-box title=\"About\" text=\"hello\" owner=202",
      "dialog 202 end IDCANCEL",
      "dialog 200 end IDOK",
  };
  EXPECT_EQ(expected, m.computer->Events());
  auto menu = m.computer->SystemMenuItems(200);
  ASSERT_EQ(2u, menu.size());
  EXPECT_EQ((unsigned)MF_SEPARATOR, menu[0].flags);
  EXPECT_EQ(0x0010ul, menu[1].id);
  EXPECT_EQ("&About Setup...", menu[1].text);
}

TEST_F(SimDialogTest, LanguagesOfTemplatesAndStrings)
{
  struct Row {
    int lang;
    const char* event;
    const char* text300;
    int len301;
  } rows[] = {
      // Strings come in blocks of 16 per language: the French block has no
      // 301, and Windows does not look for it in another language.
      {1036, "dialog 201 open lang=1036", "Fen\xeatre", 0},
      // No Japanese dialog: the US English one; the Japanese string in code
      // page 932 bytes, as the ANSI functions of Japanese Windows give it.
      {1041, "dialog 201 open lang=1033", "\x83\x65\x83\x58\x83\x67", 0},
      {1033, "dialog 201 open lang=1033", "Window", 3},
  };
  for (const auto& r : rows) {
    m.options.language = r.lang;
    m.Load();
    Recorder rec;
    EXPECT_EQ(IDOK, Run(201, &rec));  // DIALOGEX form; OK pressed when nothing is left
    EXPECT_EQ(r.event, m.computer->Events().front());
    sim::CPlatformScope scope(*m.computer);
    char buf[32];
    EXPECT_EQ((int)strlen(r.text300), Platform()->LoadStringA((HINSTANCE)1, 300, buf, sizeof buf));
    EXPECT_STREQ(r.text300, buf);
    EXPECT_EQ(r.len301, Platform()->LoadStringA((HINSTANCE)1, 301, buf, 4));  // cut to the buffer
    EXPECT_EQ(0, Platform()->LoadStringA((HINSTANCE)1, 302, buf, sizeof buf));
  }
}

// The template's language as Windows' resource loader picks it (each row
// probed under Wine with that locale): the language, its primary language
// with the neutral sublanguage, US English, else the lowest language id.
TEST_F(SimDialogTest, TemplateLanguageAsTheResourceLoaderPicksIt)
{
  const struct {
    int dialog, lang, shown;
  } rows[] = {
    { 201, 1036, 1036 }, { 201, 3084, 1033 }, { 201, 2052, 1033 }, { 201, 3076, 1033 },
    { 203, 1031, 7 },    { 203, 3079, 7 },    { 203, 1041, 1041 }, { 203, 1036, 7 },
  };
  for (const auto& r : rows) {
    m.options.language = r.lang;
    m.Load();
    Recorder rec;
    Run(r.dialog, &rec);
    EXPECT_EQ("dialog " + std::to_string(r.dialog) + " open lang=" + std::to_string(r.shown),
              m.computer->Events().front())
        << r.lang;
  }
}

TEST_F(SimDialogTest, EndingTheProcessDuringInitialisation)
{
  m.Load();
  Recorder rec;
  rec.onInit = [&](HWND h) { Platform()->ExitProcess(0); };
  EXPECT_THROW(Run(200, &rec), sim::ProcessExit);
  EXPECT_EQ((std::vector<std::string>{"dialog 200 open lang=1033", "exit 0"}),
            m.computer->Events());
  // A template that does not exist opens nothing.
  Recorder none;
  EXPECT_EQ(-1, Run(999, &none));
  EXPECT_EQ(2u, m.computer->Events().size());
}

TEST(SimLauncherResourcesTest, TheLaunchersIconAndMenuString)
{
  CTestMachine m;
  sim::CPlatformScope scope(m.Load());
  EXPECT_NE(nullptr, Platform()->LoadIconA((HINSTANCE)1, MAKEINTRESOURCEA(128)));
  EXPECT_EQ(nullptr, Platform()->LoadIconA((HINSTANCE)1, MAKEINTRESOURCEA(127)));
  char buf[64];
  EXPECT_GT(Platform()->LoadStringA((HINSTANCE)1, 101, buf, sizeof buf), 0);
  EXPECT_STREQ("&About Setup...", buf);
}

}  // namespace
