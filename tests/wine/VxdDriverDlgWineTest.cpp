// The VxD driver options dialog of a web setup, run by the real Setup.exe
// under Wine (Windows 95 reported): the options are set by clicks, Install
// is pressed, and the INF copies in the prefix carry the chosen characters.
#include <gtest/gtest.h>

#include <iostream>
#include <sstream>

#include "WineHarness.h"

using namespace winetest;

namespace {

const char kInf[] =
    "[Version]\r\n"
    "Signature=\"$CHICAGO$\"\r\n"
    "Class=MEDIA\r\n"
    "\r\n"
    "[TVX3710.AddReg]\r\n"
    "HKR,Config,MICasBASS,1,0\r\n"
    "HKR,Config,DISMPU,1,0\r\n"
    "HKR,Config,LINEINasBASS,1,0\r\n"
    "HKR,Config,DISJSTK,1,0\r\n"
    "HKR,Config,LINEINasREAR,1,1\r\n"
    "\r\n"
    "[SourceDisksNames]\r\n"
    "1=\"Tonivex 3710 Driver Disk\",,0\r\n";

// The file's HKR,Config lines, in order, line breaks dropped. Wine rewrites
// a profile file whole when the source-disk entry is written, so the option
// lines are compared, not the file's bytes.
std::string ConfigLines(const std::string& text)
{
  std::istringstream in(text);
  std::string line, out;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r')
      line.pop_back();
    if (line.rfind("HKR,Config,", 0) == 0)
      out += line + "\n";
  }
  return out;
}

struct Row {
  const char* name;
  std::vector<std::string> actions;
  const char* configLines;
};

class VxdDialogUnderWine : public ::testing::TestWithParam<Row> {};

}  // namespace

TEST_P(VxdDialogUnderWine, InstallPatchesTheInfCopies)
{
  std::string why;
  if (!WineAvailable(WineArch::X64, &why))
    GTEST_SKIP() << why;
  const Row& row = GetParam();
  CMachineFolder m;
  m.WriteFile("D:\\setup.ini", "[InstallOption]\r\nWebSetup=1\r\nFullPackage=0\r\n");
  m.WriteFile("D:\\TVX3710.INF", kInf);
  m.WriteFile("D:\\TVX3710.VXD", "driver");
  m.WriteFile("D:\\026\\WT3710.BIN", "wavetable");
  // Wine's system directory is SYSTEM32 whatever version it reports.
  m.WriteFile("C:\\WINDOWS\\SYSTEM\\BANKPCM.DAT", "system pcm");
  m.WriteFile("C:\\WINDOWS\\SYSTEM32\\BANKPCM.DAT", "system pcm");
  m.MakeDir("C:\\WINDOWS\\INF\\OTHER");

  WineOptions opt;
  opt.windows = "95";
  opt.actions = row.actions;
  auto run = RunUnderWine(m.Dir(), opt, WineArch::X64);
  ASSERT_TRUE(run->ok) << run->error << "\n" << Join(run->events) << run->wineOutput;
  std::cout << "[ wine run ] " << run->seconds << " s (" << run->timing << ")\n";

  // The process ends with the dialog still up; seen from outside under Wine
  // the dialog's window just goes, which the run reports as its end.
  std::vector<std::string> wineEvents;
  for (const std::string& e : Comparable(run->events))
    if (e != "dialog 103 end IDOK")
      wineEvents.push_back(e);
  SetupsimResult sim = RunSetupsim(m.Dir(), opt);
  EXPECT_EQ(Join(wineEvents), Join(Comparable(sim.events)));
  EXPECT_NE(Join(run->events).find("message-box title=\"Setup\" text=\"Setup completed! The "
                                   "system will restart now!\" owner=103"),
            std::string::npos)
      << Join(run->events);

  auto copy = run->ReadFile("C:\\WINDOWS\\INF\\OTHER\\TVX3710.INF");
  ASSERT_TRUE(copy.has_value());
  EXPECT_EQ(ConfigLines(*copy), row.configLines);
  EXPECT_NE(copy->find("1=\"Tonivex 3710 Driver Disk\",,0, C:\\Program Files\\Veltrix\\W95-98"),
            std::string::npos)
      << *copy;
  // The staged copy keeps the lines as shipped.
  auto staged = run->ReadFile("C:\\Program Files\\Veltrix\\W95-98\\TVX3710.INF");
  ASSERT_TRUE(staged.has_value());
  EXPECT_EQ(*staged, kInf);
  EXPECT_EQ(run->ReadFile("C:\\Program Files\\Veltrix\\W95-98\\BANKPCM.DAT"), "system pcm");
  EXPECT_EQ(run->ReadFile("C:\\Program Files\\Veltrix\\W95-98\\026\\WT3710.BIN"), "wavetable");
}

INSTANTIATE_TEST_SUITE_P(
    Options, VxdDialogUnderWine,
    ::testing::Values(
        Row{"Defaults", {"ok"},
            "HKR,Config,MICasBASS,1,0\nHKR,Config,DISMPU,1,0\nHKR,Config,LINEINasBASS,1,0\n"
            "HKR,Config,DISJSTK,1,0\nHKR,Config,LINEINasREAR,1,1\n"},
        Row{"BassJackAndPorts", {"click:1012", "click:1000", "click:1001", "ok"},
            "HKR,Config,MICasBASS,1,0\nHKR,Config,DISMPU,1,1\nHKR,Config,LINEINasBASS,1,1\n"
            "HKR,Config,DISJSTK,1,1\nHKR,Config,LINEINasREAR,1,0\n"},
        Row{"RearWithMicrophone", {"click:1013", "click:1001", "ok"},
            "HKR,Config,MICasBASS,1,1\nHKR,Config,DISMPU,1,0\nHKR,Config,LINEINasBASS,1,0\n"
            "HKR,Config,DISJSTK,1,1\nHKR,Config,LINEINasREAR,1,1\n"},
        Row{"SoundCardJacks", {"click:1012", "click:1007", "click:1013", "ok"},
            "HKR,Config,MICasBASS,1,0\nHKR,Config,DISMPU,1,0\nHKR,Config,LINEINasBASS,1,0\n"
            "HKR,Config,DISJSTK,1,0\nHKR,Config,LINEINasREAR,1,0\n"}),
    [](const auto& info) { return std::string(info.param.name); });
