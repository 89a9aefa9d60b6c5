// Which one path a start takes: the version decides before the mode, the
// package word counts only on a disc setup, and the driver word or
// DriverOnly reaches the hand-offs whatever the mode.
#include <gtest/gtest.h>

#include "StartupTestSupport.h"

using namespace startup_test;

namespace {

struct DispatchRow {
  const char* windows;
  const char* args;
  const char* ini;  // setup.ini text; nullptr: no setup.ini
  const char* expected;
};

const char kMissingW2K[] = "missing Can not find the setup program for Windows 2000/XP.";
const char kMissingME[] = "missing Can not find the setup program for Windows 98 SE and ME.";

std::string RunRow(const DispatchRow& row, bool bHandOffs = true)
{
  CTestMachine m;
  m.options.windows = row.windows;
  m.options.commandLine = row.args;
  // Dialogs are cancelled: only which one opens matters here.
  m.options.actions = { "cancel" };
  WriteDisc(m, "D:\\", bHandOffs);
  if (row.ini != nullptr)
    m.WriteFile("D:\\setup.ini", row.ini);
  sim::RunOutcome r = m.Run();
  return ClassifyPath(r, m);
}

// 2000 and XP: everything but a disc setup's package word is handed over.
const DispatchRow kNT5Rows[] = {
  { "2000", "", nullptr, "handoff D:\\W2KSetup.dat" },
  { "XP", "", nullptr, "handoff D:\\W2KSetup.dat" },
  { "XP", "-driver", nullptr, "handoff D:\\W2KSetup.dat /DRIVER" },
  { "2000", "DRIVER", nullptr, "handoff D:\\W2KSetup.dat /DRIVER" },
  { "XP", "", "[InstallOption]\r\nDriverOnly=1\r\n", "handoff D:\\W2KSetup.dat /DRIVER" },
  { "2000", "/AP", nullptr, "package" },
  { "XP", "ap", nullptr, "package" },
  { "XP", "/AP", "[InstallOption]\r\nWebSetup=1\r\n", "handoff D:\\W2KSetup.dat" },
  { "2000", "", "[InstallOption]\r\nWebSetup=1\r\nInstallWDMDriver=1\r\n",
    "handoff D:\\W2KSetup.dat" },
  { "XP", "", "[InstallOption]\r\nWebSetup=2\r\n", "handoff D:\\W2KSetup.dat" },
  { "2000", "/DRIVER", "[InstallOption]\r\nWebSetup=2\r\n", "handoff D:\\W2KSetup.dat /DRIVER" },
  { "XP", "", "[InstallOption]\r\nWebSetup=3\r\n", "handoff D:\\W2KSetup.dat" },
  { "XP", "/DRIVER /X", nullptr, "handoff D:\\W2KSetup.dat" },
};

// 98 SE and ME hand over to MESetup.dat the same way.
const DispatchRow kMERows[] = {
  { "98SE", "", nullptr, "handoff D:\\MESetup.dat" },
  { "ME", "", nullptr, "handoff D:\\MESetup.dat" },
  { "ME", "/driver", nullptr, "handoff D:\\MESetup.dat /DRIVER" },
  { "98SE", "", "[InstallOption]\r\nDriverOnly=1\r\n", "handoff D:\\MESetup.dat /DRIVER" },
  { "98SE", "-AP", nullptr, "package" },
  { "ME", "/AP", nullptr, "package" },
  { "ME", "/AP", "[InstallOption]\r\nWebSetup=1\r\n", "handoff D:\\MESetup.dat" },
  { "98SE", "", "[InstallOption]\r\nWebSetup=2\r\n", "handoff D:\\MESetup.dat" },
  { "ME", "-DRIVER", "[InstallOption]\r\nWebSetup=1\r\n", "handoff D:\\MESetup.dat /DRIVER" },
  { "98SE", "", "[InstallOption]\r\nWebSetup=7\r\n", "handoff D:\\MESetup.dat" },
};

// 95, 98 first edition and NT 4.0 take the mode of setup.ini.
const DispatchRow kModeRows[] = {
  { "95", "", nullptr, "dialog 102" },
  { "98", "", nullptr, "dialog 102" },
  { "NT4", "", nullptr, "dialog 102" },
  { "95", "/AP", nullptr, "package" },
  { "98", "-ap", nullptr, "package" },
  { "NT4", "AP", nullptr, "package" },
  { "95", "/AP ", nullptr, "dialog 102" },
  { "98", "/AP /X", nullptr, "dialog 102" },
  { "95", "DRIVER", nullptr, "silent driver-only" },
  { "98", "/Driver", nullptr, "silent driver-only" },
  { "98", "", "[InstallOption]\r\nDriverOnly=1\r\n", "silent driver-only" },
  { "NT4", "/DRIVER", nullptr, "refused" },
  { "NT4", "", "[InstallOption]\r\nDriverOnly=1\r\n", "refused" },
  { "95", "", "[InstallOption]\r\nWebSetup=1\r\n", "dialog 103" },
  { "98", "/AP", "[InstallOption]\r\nWebSetup=1\r\n", "dialog 103" },
  { "NT4", "", "[InstallOption]\r\nWebSetup=1\r\n", "dialog 103" },
  { "98", "-DRIVER", "[InstallOption]\r\nWebSetup=1\r\n", "dialog 103" },
  { "95", "", "[InstallOption]\r\nWebSetup=1\r\nInstallWDMDriver=1\r\n", "dialog 131" },
  { "98", "/AP", "[InstallOption]\r\nWebSetup=1\r\nInstallWDMDriver=2\r\n", "dialog 131" },
  { "NT4", "", "[InstallOption]\r\nWebSetup=1\r\nInstallWDMDriver=1\r\n", "dialog 131" },
  { "95", "", "[InstallOption]\r\nWebSetup=2\r\n", "silent web" },
  { "98", "/AP", "[InstallOption]\r\nWebSetup=2\r\n", "silent web" },
  { "98", "DRIVER", "[InstallOption]\r\nWebSetup=2\r\n", "silent web" },
  { "NT4", "", "[InstallOption]\r\nWebSetup=2\r\n", "refused" },
  { "98", "", "[InstallOption]\r\nWebSetup=3\r\n", "nothing" },
  { "95", "/AP", "[InstallOption]\r\nWebSetup=-1\r\n", "nothing" },
  { "NT4", "/DRIVER", "[InstallOption]\r\nWebSetup=3\r\n", "nothing" },
};

void CheckRows(const DispatchRow* rows, size_t n)
{
  for (size_t i = 0; i < n; ++i) {
    const DispatchRow& row = rows[i];
    SCOPED_TRACE(std::string("Windows ") + row.windows + ", command line \"" + row.args +
                 "\", setup.ini " + (row.ini ? row.ini : "(none)"));
    EXPECT_EQ(row.expected, RunRow(row));
  }
}

}  // namespace

TEST(StartupDispatch, Windows2000AndXPHandOverEveryStartButThePackageWord)
{
  CheckRows(kNT5Rows, sizeof kNT5Rows / sizeof kNT5Rows[0]);
}

TEST(StartupDispatch, Windows98SEAndMEHandOverEveryStartButThePackageWord)
{
  CheckRows(kMERows, sizeof kMERows / sizeof kMERows[0]);
}

TEST(StartupDispatch, Windows95And98AndNT4TakeTheModeOfSetupIni)
{
  CheckRows(kModeRows, sizeof kModeRows / sizeof kModeRows[0]);
}

TEST(StartupDispatch, MissingHandOffProgramIsReportedAndNothingElseIsTried)
{
  const struct {
    const char* windows;
    const char* present;  // the one hand-off file on the disc, or nullptr
    const char* expected;
  } rows[] = {
    { "XP", nullptr, kMissingW2K },
    { "2000", "W2KSetup.exe", "handoff D:\\W2KSetup.exe" },
    // A 2000/XP program does not stand in for the 98 SE/ME one.
    { "ME", "W2KSetup.exe", kMissingME },
    { "98SE", "W2KSetup.dat", kMissingME },
    { "98SE", nullptr, kMissingME },
    // Nor the other way round.
    { "XP", "MESetup.dat", kMissingW2K },
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(std::string(row.windows) + " with " + (row.present ? row.present : "no program"));
    CTestMachine m;
    m.options.windows = row.windows;
    WriteDisc(m, "D:\\", false);
    if (row.present != nullptr)
      m.WriteFile(std::string("D:\\") + row.present, "setup");
    sim::RunOutcome r = m.Run();
    EXPECT_EQ(row.expected, ClassifyPath(r, m));
  }
}

TEST(StartupDispatch, DriverWordOnAHandOffWithBlankInPathIsQuoted)
{
  // Unquoted, Windows would look for a program named by the first word.
  const struct {
    const char* windows;
    const char* args;
    const char* expected;
  } rows[] = {
    { "XP", "/DRIVER", "\"E:\\WEB SETUP\\W2KSetup.dat\" /DRIVER" },
    { "2000", "", "\"E:\\WEB SETUP\\W2KSetup.dat\"" },
    { "ME", "driver", "\"E:\\WEB SETUP\\MESetup.dat\" /DRIVER" },
    { "98SE", "", "\"E:\\WEB SETUP\\MESetup.dat\"" },
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(std::string(row.windows) + " " + row.args);
    CTestMachine m;
    m.options.windows = row.windows;
    m.options.programPath = "E:\\WEB SETUP\\SETUP.EXE";
    m.options.commandLine = row.args;
    WriteDisc(m, "E:\\WEB SETUP\\");
    sim::RunOutcome r = m.Run();
    EXPECT_EQ(std::vector<std::string>({ WinExecLine(row.expected), "return false" }), r.events)
        << JoinEvents(r);
  }
}
