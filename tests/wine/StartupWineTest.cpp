// The start-up of the real Setup.exe under Wine: on each Windows version Wine
// can report, the same start takes the same path as setupsim shows for the
// same computer, the hand-off programs (recorder stand-ins) get the same
// command lines, and the adjustments land in the prefix.
#include <gtest/gtest.h>

#include <iostream>

#include "WineHarness.h"

using namespace winetest;

namespace {

struct WineStartRow {
  const char* windows;
  const char* args;
  const char* ini;          // setup.ini; nullptr: none
  const char* programPath;  // nullptr: D:\SETUP.EXE
  std::vector<const char*> files;  // programs on the disc (stand-ins under Wine)
  std::vector<std::string> expected;  // setupsim's events
};

const char kAudioKey[] = "HKEY_CURRENT_USER\\Software\\Microsoft\\Multimedia\\Audio";
const char kRunKey[] = "HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Run";

void WriteComputer(CMachineFolder& m, const WineStartRow& row)
{
  for (const char* file : row.files)
    m.WriteFile(file, "stand-in");
  if (row.ini != nullptr) {
    std::string dir = row.programPath ? row.programPath : "D:\\SETUP.EXE";
    m.WriteFile(dir.substr(0, dir.rfind('\\') + 1) + "setup.ini", row.ini);
  }
  m.SetRegistry(
      "REGEDIT4\r\n\r\n"
      "[HKEY_CURRENT_USER\\Software\\Microsoft\\Multimedia\\Audio]\r\n"
      "\"SystemFormats\"=\"Radio Quality, CD Quality,Telephone Quality\"\r\n\r\n"
      "[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Run]\r\n"
      "\"Tonivex Applications\"=\"C:\\\\TONIVEX\\\\TONEDOCK.EXE\"\r\n"
      "\"Kept\"=\"C:\\\\KEPT.EXE\"\r\n\r\n");
}

std::string Quoted(const std::string& s)
{
  std::string out;
  for (char c : s)
    out += c == '"' ? std::string("\"\"") : std::string(1, c);
  return "\"" + out + "\"";
}

std::string HandOff(const std::string& command)
{
  return "start " + Quoted(command) + " show=5 via=WinExec";
}

std::string Missing(const std::string& text)
{
  return "message-box title=\"Setup\" text=\"" + text + "\" owner=none";
}

void CheckRow(const WineStartRow& row)
{
  SCOPED_TRACE(std::string(row.windows) + " \"" + row.args + "\" " + (row.ini ? row.ini : ""));
  CMachineFolder m;
  WriteComputer(m, row);
  WineOptions opt;
  opt.windows = row.windows;
  opt.commandLine = row.args;
  if (row.programPath)
    opt.programPath = row.programPath;
  opt.actions = { "cancel" };
  for (const char* file : row.files)
    opt.standins.push_back(file);

  SetupsimResult sim = RunSetupsim(m.Dir(), opt);
  ASSERT_EQ(0, sim.status) << sim.errorOutput;
  EXPECT_EQ(Join(row.expected), Join(sim.events));

  auto run = RunUnderWine(m.Dir(), opt, WineArch::X64);
  ASSERT_TRUE(run->ok) << run->error << "\n" << Join(run->events) << run->wineOutput;
  std::cout << "[ wine run ] " << row.windows << " " << run->seconds << " s\n";
  EXPECT_EQ(Join(Comparable(sim.events)), Join(Comparable(run->events)));

  // The adjustments, on every path.
  auto cdPlayer = run->ReadFile("C:\\WINDOWS\\QVCDPLAY.INI");
  ASSERT_TRUE(cdPlayer.has_value());
  EXPECT_NE(std::string::npos, cdPlayer->find("[DISC SPINNER]")) << *cdPlayer;
  EXPECT_NE(std::string::npos, cdPlayer->find("UsingCDDA=1")) << *cdPlayer;
  EXPECT_EQ(std::optional<std::string>("\" CD Quality\""), run->RegistryValue(kAudioKey, "DefaultFormat"));
  EXPECT_FALSE(run->RegistryValue(kRunKey, "Tonivex Applications").has_value());
  EXPECT_EQ(std::optional<std::string>("\"C:\\\\KEPT.EXE\""), run->RegistryValue(kRunKey, "Kept"));
}

const char kCdda[] = "[Default]\r\nUsingCDDA=1\r\n";

}  // namespace

TEST(StartupWine, HandOffsOnTheNewerSystems)
{
  std::string why;
  if (!WineAvailable(WineArch::X64, &why))
    GTEST_SKIP() << why;
  const WineStartRow rows[] = {
    { "XP", "", kCdda, nullptr, { "D:\\W2KSetup.dat", "D:\\W2KSetup.exe" },
      { HandOff("D:\\W2KSetup.dat"), "return false" } },
    { "2000", "-driver", kCdda, nullptr, { "D:\\W2KSetup.exe" },
      { HandOff("D:\\W2KSetup.exe /DRIVER"), "return false" } },
    { "XP", "/DRIVER", kCdda, "D:\\WEB SETUP\\SETUP.EXE", { "D:\\WEB SETUP\\W2KSetup.exe" },
      { HandOff("\"D:\\WEB SETUP\\W2KSetup.exe\" /DRIVER"), "return false" } },
    { "ME", "", "[InstallOption]\r\nDriverOnly=1\r\n[Default]\r\nUsingCDDA=1\r\n", nullptr,
      { "D:\\MESetup.dat" }, { HandOff("D:\\MESetup.dat /DRIVER"), "return false" } },
    { "98SE", "", "[InstallOption]\r\nWebSetup=2\r\n[Default]\r\nUsingCDDA=1\r\n", nullptr,
      { "D:\\MESetup.dat" }, { HandOff("D:\\MESetup.dat"), "return false" } },
    { "ME", "", kCdda, nullptr, { "D:\\W2KSetup.exe" },
      { Missing("Can not find the setup program for Windows 98 SE and ME."), "return false" } },
  };
  for (const auto& row : rows)
    CheckRow(row);
}

TEST(StartupWine, ModesOnWindows95And98AndNT4)
{
  std::string why;
  if (!WineAvailable(WineArch::X64, &why))
    GTEST_SKIP() << why;
  const WineStartRow rows[] = {
    // The Windows 95/98 driver paths refuse on NT 4.0 at once.
    { "NT4", "/DRIVER", kCdda, nullptr, {}, { "exit 0" } },
    { "NT4", "", "[InstallOption]\r\nWebSetup=2\r\n[Default]\r\nUsingCDDA=1\r\n", nullptr, {},
      { "exit 0" } },
    { "95", "", "[InstallOption]\r\nWebSetup=3\r\n[Default]\r\nUsingCDDA=1\r\n", nullptr, {},
      { "return false" } },
    // The package word on a newer system: the package, no hand-off.
    { "2000", "/ap", kCdda, nullptr, { "D:\\W2K-ME\\app\\Setup.exe", "D:\\W2KSetup.exe" },
      { "pause 500", "start \"D:\\W2K-ME\\app\\Setup.exe\" show=5 via=CreateProcess", "exit 0" } },
    { "98", "/AP", "[InstallOption]\r\nWebSetup=1\r\n[Default]\r\nUsingCDDA=1\r\n", nullptr, {},
      { "dialog 103 open lang=1033", "dialog 103 end IDCANCEL", "return false" } },
  };
  for (const auto& row : rows)
    CheckRow(row);
}
