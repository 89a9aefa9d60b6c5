// Programs started on the simulated computer: which commands start what (as
// Windows finds a program, each probed under Wine), how a running one is
// waited for, and the events.
#include "TestMachine.h"

TEST(SimProcess, ProgramsStartRunAndEnd)
{
  CTestMachine m;
  m.WriteFile("C:\\Prog\\uninst.exe", "");
  m.WriteFile("C:\\Program Files\\X\\setup.exe", "");
  m.options.runningPrograms = { { "C:\\Prog\\uninst.exe -a", 2 } };
  auto& pc = m.Load();
  IPlatform& p = pc.GetPlatform();
  STARTUPINFOA si = { sizeof si };  // no show flag: shown normally (the flag: package.scn)
  PROCESS_INFORMATION pi;
  const auto start = [&](std::string command) {
    return p.CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi);
  };
  ASSERT_TRUE(start("C:\\Prog\\uninst.exe -a"));
  EXPECT_EQ(0u, p.WaitForInputIdle(pi.hProcess, 1000));
  EXPECT_EQ((DWORD)WAIT_TIMEOUT, p.WaitForSingleObject(pi.hProcess, 100));
  // Still active for the two reads it was given, then ended, and ended again.
  for (DWORD expected : { DWORD(STILL_ACTIVE), DWORD(STILL_ACTIVE), DWORD(0), DWORD(0) }) {
    DWORD code = 1234;
    EXPECT_TRUE(p.GetExitCodeProcess(pi.hProcess, &code));
    EXPECT_EQ(expected, code);
  }
  EXPECT_EQ((DWORD)WAIT_OBJECT_0, p.WaitForSingleObject(pi.hProcess, INFINITE));
  EXPECT_TRUE(p.CloseHandle(pi.hProcess));
  EXPECT_TRUE(p.CloseHandle(pi.hThread));
  EXPECT_FALSE(p.CloseHandle(pi.hProcess));
  EXPECT_EQ(100u, pc.Clock());
  // An empty or blank command, or a blank before the name, names none; a
  // program named by a path must exist. A program path with blanks,
  // unquoted: the first prefix that exists (the rest is in package.scn).
  for (const char* none : { "", "   ", "\"\" -a", " C:\\Prog\\uninst.exe" })
    EXPECT_FALSE(start(none)) << none;
  EXPECT_EQ(2u, p.WinExec("C:\\none.exe", SW_SHOW));
  EXPECT_GT(p.WinExec("C:\\Program Files\\X\\setup.exe /s", 1), 31u);
  // A refused start is an event of its own.
  EXPECT_EQ(pc.Events(), (std::vector<std::string>{
                             "start \"C:\\Prog\\uninst.exe -a\" show=1 via=CreateProcess",
                             "ended \"C:\\Prog\\uninst.exe -a\" code=0",
                             "start-failed \"\" via=CreateProcess",
                             "start-failed \"   \" via=CreateProcess",
                             "start-failed \"\"\"\"\" -a\" via=CreateProcess",
                             "start-failed \" C:\\Prog\\uninst.exe\" via=CreateProcess",
                             "start-failed \"C:\\none.exe\" via=WinExec",
                             "start \"C:\\Program Files\\X\\setup.exe /s\" show=1 via=WinExec",
                         }));
}
