// Start-up data, version records, started programs, windows, message boxes
// and the events they leave on the simulated computer.
#include <gtest/gtest.h>

#include <cstring>

#include "TestMachine.h"

namespace {

TEST(SimProcessTest, VersionRecords)
{
  struct Row {
    const char* windows;
    DWORD platform, major, minor, build;
  } rows[] = {
      {"95", 1, 4, 0, 0x040003B6},  {"98", 1, 4, 10, 0x040A07CE}, {"98SE", 1, 4, 10, 0x040A08AE},
      {"ME", 1, 4, 90, 0x045A0BB8}, {"NT4", 2, 4, 0, 1381},       {"2000", 2, 5, 0, 2195},
      {"XP", 2, 5, 1, 2600},
  };
  for (const auto& r : rows) {
    CTestMachine m;
    m.options.windows = r.windows;
    IPlatform& p = m.Load().GetPlatform();
    OSVERSIONINFOA vi;
    std::memset(&vi, 0, sizeof vi);
    vi.dwOSVersionInfoSize = sizeof vi;
    ASSERT_TRUE(p.GetVersionExA(&vi));
    EXPECT_EQ(r.platform, vi.dwPlatformId) << r.windows;
    EXPECT_EQ(r.major, vi.dwMajorVersion) << r.windows;
    EXPECT_EQ(r.minor, vi.dwMinorVersion) << r.windows;
    EXPECT_EQ(r.build, vi.dwBuildNumber) << r.windows;
    char sys[MAX_PATH];
    p.GetSystemDirectoryA(sys, sizeof sys);
    EXPECT_STREQ(r.platform == 2 ? "C:\\WINDOWS\\SYSTEM32" : "C:\\WINDOWS\\SYSTEM", sys);
  }
  CTestMachine bad;
  bad.options.windows = "96";
  std::string err;
  EXPECT_EQ(nullptr, sim::CSimComputer::Load(bad.Dir(), bad.options, &err));
}

TEST(SimProcessTest, CommandLineAndModuleName)
{
  CTestMachine m;
  m.options.programPath = "D:\\Setup.exe";
  m.options.commandLine = "/ap  ";
  IPlatform& p = m.Load().GetPlatform();
  EXPECT_STREQ("\"D:\\Setup.exe\" /ap  ", p.GetCommandLineA());  // trailing blanks kept
  char buf[8];
  EXPECT_EQ(7u, p.GetModuleFileNameA(nullptr, buf, sizeof buf));
  EXPECT_STREQ("D:\\Setu", buf);  // cut to the buffer
  CTestMachine bare;
  EXPECT_STREQ("\"D:\\SETUP.EXE\"", bare.Load().GetPlatform().GetCommandLineA());
}

TEST(SimProcessTest, ProgramsStartRunAndEnd)
{
  CTestMachine m;
  m.WriteFile("C:\\Prog\\uninst.exe", "");
  m.options.runningPrograms = {{"C:\\Prog\\uninst.exe -a", 2}};
  auto& pc = m.Load();
  IPlatform& p = pc.GetPlatform();
  STARTUPINFOA si;
  std::memset(&si, 0, sizeof si);
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESHOWWINDOW;
  si.wShowWindow = SW_SHOW;
  PROCESS_INFORMATION pi;
  char cmd[] = "C:\\Prog\\uninst.exe -a";
  ASSERT_TRUE(p.CreateProcessA(nullptr, cmd, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi));
  DWORD code = 0;
  EXPECT_EQ(0u, p.WaitForInputIdle(pi.hProcess, 1000));
  EXPECT_EQ((DWORD)WAIT_TIMEOUT, p.WaitForSingleObject(pi.hProcess, 100));
  EXPECT_TRUE(p.GetExitCodeProcess(pi.hProcess, &code));
  EXPECT_EQ((DWORD)STILL_ACTIVE, code);
  EXPECT_TRUE(p.GetExitCodeProcess(pi.hProcess, &code));
  EXPECT_EQ((DWORD)STILL_ACTIVE, code);
  EXPECT_TRUE(p.GetExitCodeProcess(pi.hProcess, &code));
  EXPECT_EQ(0u, code);
  EXPECT_TRUE(p.GetExitCodeProcess(pi.hProcess, &code));  // ended is reported once
  EXPECT_EQ((DWORD)WAIT_OBJECT_0, p.WaitForSingleObject(pi.hProcess, INFINITE));
  EXPECT_TRUE(p.CloseHandle(pi.hProcess));
  EXPECT_TRUE(p.CloseHandle(pi.hThread));
  EXPECT_FALSE(p.CloseHandle(pi.hProcess));
  EXPECT_EQ(100u, pc.Clock());

  // A program named by a path must exist; a bare name is found on the path;
  // an empty or blank command, or a blank before the name, names none (each
  // probed under Wine). A refused start is an event of its own.
  char missing[] = "C:\\Prog\\none.exe";
  EXPECT_FALSE(p.CreateProcessA(nullptr, missing, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi));
  EXPECT_EQ(2u, p.WinExec("C:\\none.exe", SW_SHOW));
  for (const char* none : { "", "   ", " -a", "\"\" -a", " C:\\Prog\\uninst.exe" }) {
    std::string text = none;
    EXPECT_FALSE(p.CreateProcessA(nullptr, &text[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        << none;
  }
  EXPECT_GT(p.WinExec("SysTray.exe", SW_SHOW), 31u);
  // Programs path with blanks, unquoted: the first prefix that exists.
  m.WriteFile("C:\\Program Files\\X\\setup.exe", "");
  EXPECT_GT(p.WinExec("C:\\Program Files\\X\\setup.exe /s", 1), 31u);

  std::vector<std::string> expected = {
      "start \"C:\\Prog\\uninst.exe -a\" show=5 via=CreateProcess",
      "ended \"C:\\Prog\\uninst.exe -a\" code=0",
      "start-failed \"C:\\Prog\\none.exe\" via=CreateProcess",
      "start-failed \"C:\\none.exe\" via=WinExec",
      "start-failed \"\" via=CreateProcess",
      "start-failed \"   \" via=CreateProcess",
      "start-failed \" -a\" via=CreateProcess",
      "start-failed \"\"\"\"\" -a\" via=CreateProcess",
      "start-failed \" C:\\Prog\\uninst.exe\" via=CreateProcess",
      "start \"SysTray.exe\" show=5 via=WinExec",
      "start \"C:\\Program Files\\X\\setup.exe /s\" show=1 via=WinExec",
  };
  EXPECT_EQ(expected, pc.Events());
}

TEST(SimProcessTest, EndlessWaitEndsARunningProgram)
{
  CTestMachine m;
  m.options.runningPrograms = {{"prog.exe", 100}};
  auto& pc = m.Load();
  IPlatform& p = pc.GetPlatform();
  STARTUPINFOA si;
  std::memset(&si, 0, sizeof si);
  si.cb = sizeof si;
  PROCESS_INFORMATION pi;
  char cmd[] = "prog.exe";
  ASSERT_TRUE(p.CreateProcessA(nullptr, cmd, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi));
  EXPECT_EQ((DWORD)WAIT_OBJECT_0, p.WaitForSingleObject(pi.hProcess, INFINITE));
  DWORD code = 1;
  EXPECT_TRUE(p.GetExitCodeProcess(pi.hProcess, &code));
  EXPECT_EQ(0u, code);
  EXPECT_EQ((std::vector<std::string>{"start \"prog.exe\" show=1 via=CreateProcess",
                                      "ended \"prog.exe\" code=0"}),
            pc.Events());
}

TEST(SimProcessTest, WindowsBoxesPausesAndEndings)
{
  CTestMachine m;
  m.options.openWindows = {"Tonedock", "Say \"hi\""};
  auto& pc = m.Load();
  IPlatform& p = pc.GetPlatform();
  // Titles compare without regard to case, whole title only (probed under
  // Wine with FindWindowExA on a window of its own).
  HWND h = p.FindWindowExA(nullptr, nullptr, nullptr, "TONEDOCK");
  ASSERT_NE(nullptr, h);
  EXPECT_EQ(nullptr, p.FindWindowExA(nullptr, nullptr, nullptr, "Tone"));
  p.SendMessageA(h, WM_CLOSE, 0, 0);
  EXPECT_EQ(nullptr, p.FindWindowExA(nullptr, nullptr, nullptr, "Tonedock"));
  p.SendMessageA(p.FindWindowExA(nullptr, nullptr, nullptr, "say \"HI\""), WM_CLOSE, 0, 0);
  EXPECT_EQ(IDOK, p.MessageBoxA(nullptr, "Text \"q\"", "Setup", MB_OK));
  p.Sleep(500);
  p.BeginWaitCursor();
  p.EndWaitCursor();
  p.Enable3dControls();
  p.ExitWindowsEx(EWX_REBOOT, 0);
  EXPECT_THROW(
      {
        try {
          p.ExitProcess(3);
        } catch (const sim::ProcessExit& e) {
          EXPECT_EQ(3u, e.code);
          throw;
        }
      },
      sim::ProcessExit);
  std::vector<std::string> expected = {
      "close-window \"Tonedock\"",
      "close-window \"Say \"\"hi\"\"\"",
      "message-box title=\"Setup\" text=\"Text \"\"q\"\"\" owner=none",
      "pause 500",
      "wait-cursor on",
      "wait-cursor off",
      "restart",
      "exit 3",
  };
  EXPECT_EQ(expected, pc.Events());
  EXPECT_EQ(500u, pc.Clock());
}

}  // namespace
