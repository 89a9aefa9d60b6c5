// Programs started on the simulated computer: which commands start what (as
// Windows finds a program), how a running one is waited for, and the events.
#include <gtest/gtest.h>

#include <cstring>

#include "TestMachine.h"

namespace {

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

}  // namespace
