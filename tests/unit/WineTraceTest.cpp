// Reading Wine's trace of the program's calls into the event lines, on trace
// text as Wine 8 writes it (x86_64 and i386 look alike).
#include <gtest/gtest.h>

#include "WineTrace.h"

using namespace winerun;

namespace {

std::string Join(const std::vector<std::string>& lines)
{
  std::string s;
  for (const std::string& l : lines)
    s += l + "\n";
  return s;
}

const char* const kTrace =
    "0110:trace:relay:load_list L\"RelayInclude\" = L\"kernel32.WinExec\"\n"
    "0110:Call user32.DialogBoxParamA(00400000,00000066,00000000,004068f0,0061fc00) ret=00406b28\n"
    "0110:Call KERNEL32.WinExec(140004000 \"SysTray.exe\",00000005) ret=14000160e\n"
    "0110:Ret  KERNEL32.WinExec() retval=00000021 ret=14000160e\n"
    "0110:Call user32.DialogBoxParamA(00400000,00000064,00010050,004068f0,0061fc00) ret=00406b28\n"
    "0110:Ret  user32.DialogBoxParamA() retval=00000001 ret=00406b28\n"
    "0110:Call KERNEL32.CreateProcessA(00000000,0021fc90 \"\\\"D:\\\\A B\\\\Setup.exe\\\" /x\","
    "00000000,00000000,00000000,00000000,00000000,00000000,0021fcd0,0021fcb0) ret=1400015fc\n"
    "0110:Ret  user32.DialogBoxParamA() retval=00000002 ret=00406b28\n";

}  // namespace

// Nested dialogs (the About box inside the main dialog) end inner first;
// quotes and backslashes in traced strings are unescaped.
TEST(WineTrace, AddsHowProgramsStartedAndWhatDialogsReturned)
{
  std::vector<std::string> observed = {
    "dialog 102 open lang=1033",  "start \"SysTray.exe\" show=5",
    "dialog 100 open lang=1033",  "dialog 100 end IDCANCEL",
    "start \"\"\"D:\\A B\\Setup.exe\"\" /x\" show=5", "dialog 102 end IDOK", "exit 0",
  };
  EXPECT_EQ(Join(WithTracedCalls(observed, kTrace)),
            "dialog 102 open lang=1033\nstart \"SysTray.exe\" show=5 via=WinExec\n"
            "dialog 100 open lang=1033\ndialog 100 end IDOK\n"
            "start \"\"\"D:\\A B\\Setup.exe\"\" /x\" show=5 via=CreateProcess\n"
            "dialog 102 end IDCANCEL\nexit 0\n");
}

// A dialog whose run never returned ended with the process: no end line. A
// start the trace did not see keeps its line without via=.
TEST(WineTrace, DropsTheEndOfADialogThatNeverReturned)
{
  const char* trace =
      "0110:Call user32.DialogBoxParamA(00400000,00000083,00000000,004068f0,0061fc00) ret=00406b28\n";
  std::vector<std::string> observed = { "dialog 131 open lang=1033", "start \"X.EXE\" show=5",
                                        "dialog 131 end IDOK", "exit 0" };
  EXPECT_EQ(Join(WithTracedCalls(observed, trace)),
            "dialog 131 open lang=1033\nstart \"X.EXE\" show=5\nexit 0\n");
}

// No traced dialog calls (the program has another module name): the ends
// stay as observed.
TEST(WineTrace, KeepsObservedEndsWithoutATrace)
{
  std::vector<std::string> observed = { "dialog 102 open lang=1033", "dialog 102 end IDCANCEL",
                                        "exit 0" };
  EXPECT_EQ(WithTracedCalls(observed, ""), observed);
}

// A start that Windows refused shows only in the trace: its line goes before
// the next traced call's line, or before the end.
TEST(WineTrace, AddsRefusedStarts)
{
  const char* trace =
      "0110:Call KERNEL32.CreateProcessA(00000000,0021fc90 \" -a\",00000000,00000000,00000000,"
      "00000000,00000000,00000000,0021fcd0,0021fcb0) ret=1400015fc\n"
      "0110:Ret  KERNEL32.CreateProcessA() retval=00000000 ret=1400015fc\n"
      "0110:Call KERNEL32.CreateProcessA(00000000,0021fc90 \"D:\\\\Setup.exe\",00000000,00000000,"
      "00000000,00000000,00000000,00000000,0021fcd0,0021fcb0) ret=1400015fc\n"
      "0110:Ret  KERNEL32.CreateProcessA() retval=00000001 ret=1400015fc\n"
      "0110:Call KERNEL32.WinExec(140004000 \"C:\\\\none.exe\",00000005) ret=14000160e\n"
      "0110:Ret  KERNEL32.WinExec() retval=00000002 ret=14000160e\n";
  std::vector<std::string> observed = { "message-box title=\"Setup\" text=\"x\" owner=none",
                                        "start \"D:\\Setup.exe\" show=5", "exit 0" };
  EXPECT_EQ(Join(WithTracedCalls(observed, trace)),
            "message-box title=\"Setup\" text=\"x\" owner=none\n"
            "start-failed \" -a\" via=CreateProcess\n"
            "start \"D:\\Setup.exe\" show=5 via=CreateProcess\n"
            "start-failed \"C:\\none.exe\" via=WinExec\nexit 0\n");
}

// A started program that recorded itself only after the dialog had ended
// goes back before the end, as the trace orders the start and the return.
TEST(WineTrace, PutsALateStartBeforeTheDialogsEnd)
{
  const char* trace =
      "0110:Call user32.DialogBoxParamA(00400000,00000066,00000000,004068f0,0061fc00) ret=00406b28\n"
      "0110:Call KERNEL32.CreateProcessA(00000000,0021fc90 \"D:\\\\P.EXE\",00000000,00000000,"
      "00000000,00000000,00000000,00000000,0021fcd0,0021fcb0) ret=1400015fc\n"
      "0110:Ret  KERNEL32.CreateProcessA() retval=00000001 ret=1400015fc\n"
      "0110:Ret  user32.DialogBoxParamA() retval=00000001 ret=00406b28\n";
  std::vector<std::string> observed = { "dialog 102 open lang=1033", "dialog 102 end IDOK",
                                        "start \"D:\\P.EXE\" show=5", "exit 0" };
  EXPECT_EQ(Join(WithTracedCalls(observed, trace)),
            "dialog 102 open lang=1033\nstart \"D:\\P.EXE\" show=5 via=CreateProcess\n"
            "dialog 102 end IDOK\nexit 0\n");
}
