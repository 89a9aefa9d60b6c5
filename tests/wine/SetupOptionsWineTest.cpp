// The main options dialog of the real Setup.exe under Wine on Windows 95: the
// driver program ticks and presses as a person would, stand-ins take the
// place of the previous package's uninstaller and of the package's setup,
// and what Wine shows must equal what setupsim prints for the same computer.
#include <gtest/gtest.h>

#include <map>
#include <sstream>

#include "WineHarness.h"

using namespace winetest;

namespace {

const char kUninstaller[] = "C:\\UNINST\\UNINST.EXE";
const char kPackageSetup[] = "D:\\W95-98\\app\\Setup.exe";

// Windows 95 with the sample disc's layout, the suite's Tonedock running and
// a previous package registered.
void WriteComputer(CMachineFolder& m)
{
  m.WriteFile("D:\\setup.ini", "[InstallOption]\r\nWebSetup=0\r\n");
  m.WriteFile(kPackageSetup, "stand-in");
  m.WriteFile("D:\\W95-98\\drv\\95\\TVX95.INF",
              "[Version]\r\nSignature=\"$CHICAGO$\"\r\n\r\n[SourceDisksNames]\r\n1=\"Tonivex Disc\",,0\r\n");
  m.WriteFile("D:\\W95-98\\drv\\95\\TVXWAV.VXD", "driver");
  m.WriteFile("C:\\WINDOWS\\SysTray.exe", "stand-in");
  m.WriteFile(kUninstaller, "stand-in");
  m.SetRegistry(
      "REGEDIT4\r\n\r\n"
      "[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tonivex "
      "Applications]\r\n\"UninstallString\"=\"C:\\\\UNINST\\\\UNINST.EXE\"\r\n");
}

WineOptions Options(const std::vector<std::string>& actions)
{
  WineOptions opt;
  opt.windows = "95";
  opt.openWindows = { "Tonedock" };
  opt.actions = actions;
  opt.standins = { kPackageSetup, kUninstaller, "C:\\WINDOWS\\SysTray.exe" };
  opt.lingering = { { kUninstaller, 1500 } };
  return opt;
}

// Sections and keys of a profile file (Wine rewrites the whole file).
std::map<std::string, std::string> ProfileKeys(const std::string& text)
{
  std::map<std::string, std::string> keys;
  std::istringstream in(text);
  std::string line, section;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r')
      line.pop_back();
    if (!line.empty() && line[0] == '[')
      section = line.substr(1, line.find(']') - 1);
    else if (line.find('=') != std::string::npos)
      keys[section + "/" + line.substr(0, line.find('='))] = line.substr(line.find('=') + 1);
  }
  return keys;
}

// The driver program sees a dialog go when it is hidden, and the options
// dialog hides itself before it looks for the package's setup: under Wine its
// end comes before the package's start, in setupsim after it. Compared
// without that line, which both must show.
std::vector<std::string> WithoutDialogEnd(const std::vector<std::string>& ev)
{
  std::vector<std::string> out;
  for (const std::string& e : Comparable(ev))
    if (e != "dialog 102 end IDOK")
      out.push_back(e);
  return out;
}

bool Has(const std::vector<std::string>& ev, const std::string& line)
{
  return std::find(ev.begin(), ev.end(), line) != ev.end();
}

}  // namespace

TEST(SetupOptionsWine, ApplicationsOnly)
{
  CMachineFolder m;
  WriteComputer(m);
  WineOptions opt = Options({ "click:1002", "ok" });
  auto run = RunUnderWine(m.Dir(), opt, WineArch::X64);
  ASSERT_TRUE(run->ok) << run->error << "\n" << Join(run->events) << run->wineOutput;
  std::vector<std::string> expected = {
    "dialog 102 open lang=1033",
    "close-window \"Tonedock\"",
    "start \"C:\\UNINST\\UNINST.EXE -a\" show=5",
    "start \"D:\\W95-98\\app\\Setup.exe\" show=5",
    "exit 0",
  };
  EXPECT_EQ(Join(expected), Join(WithoutDialogEnd(run->events)));
  EXPECT_TRUE(Has(run->events, "dialog 102 end IDOK")) << Join(run->events);
  EXPECT_EQ(Join(WithoutDialogEnd(RunSetupsim(m.Dir(), opt).events)),
            Join(WithoutDialogEnd(run->events)));
  // The package was started only after the uninstaller had run its time.
  EXPECT_GE(run->seconds, 1.5) << run->timing;
  auto flag = run->ReadFile("C:\\WINDOWS\\QVXSETUP.INI");
  ASSERT_TRUE(flag.has_value());
  EXPECT_EQ("YES", ProfileKeys(*flag)["Need_To_Reboot/Install"]);
  EXPECT_FALSE(run->ReadFile("C:\\Program Files\\Veltrix\\W95-98\\TVXWAV.VXD").has_value());
}

TEST(SetupOptionsWine, BothBoxes)
{
  CMachineFolder m;
  WriteComputer(m);
  WineOptions opt = Options({});  // OK with both boxes ticked
  auto run = RunUnderWine(m.Dir(), opt, WineArch::X64);
  ASSERT_TRUE(run->ok) << run->error << "\n" << Join(run->events) << run->wineOutput;
  std::vector<std::string> comparable = WithoutDialogEnd(run->events);
  EXPECT_EQ(Join(WithoutDialogEnd(RunSetupsim(m.Dir(), opt).events)), Join(comparable));
  EXPECT_TRUE(Has(run->events, "dialog 102 end IDOK")) << Join(run->events);
  EXPECT_TRUE(Has(comparable, "start \"SysTray.exe\" show=5")) << Join(comparable);
  EXPECT_TRUE(Has(comparable, "start \"D:\\W95-98\\app\\Setup.exe\" show=5")) << Join(comparable);
  // The restart is left to the package's setup.
  EXPECT_FALSE(Has(comparable, "restart")) << Join(comparable);
  EXPECT_EQ("exit 0", comparable.back());
  EXPECT_EQ("driver", run->ReadFile("C:\\Program Files\\Veltrix\\W95-98\\TVXWAV.VXD"));
  auto flag = run->ReadFile("C:\\WINDOWS\\QVXSETUP.INI");
  ASSERT_TRUE(flag.has_value());
  EXPECT_EQ("YES", ProfileKeys(*flag)["Need_To_Reboot/Install"]);
}

TEST(SetupOptionsWine, NoPackageEndsBeforeTheDialogShows)
{
  CMachineFolder m;
  m.WriteFile("D:\\NT40\\app\\Setup.exe", "not for Windows 95");
  WineOptions opt;
  opt.windows = "95";
  auto run = RunUnderWine(m.Dir(), opt, WineArch::X64);
  ASSERT_TRUE(run->ok) << run->error << "\n" << Join(run->events) << run->wineOutput;
  EXPECT_EQ(Join(Comparable(RunSetupsim(m.Dir(), opt).events)), Join(Comparable(run->events)));
  EXPECT_TRUE(Has(run->events, "message-box title=\"Setup\" text=\"Can not find installation "
                               "files.\" owner=102"))
      << Join(run->events);
}

TEST(SetupOptionsWine, AboutBoxThenCancel)
{
  CMachineFolder m;
  WriteComputer(m);
  WineOptions opt = Options({ "about", "ok", "cancel" });
  auto run = RunUnderWine(m.Dir(), opt, WineArch::X64);
  ASSERT_TRUE(run->ok) << run->error << "\n" << Join(run->events) << run->wineOutput;
  std::vector<std::string> expected = {
    "dialog 102 open lang=1033", "dialog 100 open lang=1033", "dialog 100 end IDOK",
    "dialog 102 end IDCANCEL",   "exit 0",
  };
  EXPECT_EQ(Join(expected), Join(Comparable(run->events)));
  EXPECT_EQ(Join(Comparable(RunSetupsim(m.Dir(), opt).events)), Join(Comparable(run->events)));
  // Cancel left the previous package and the suite alone.
  EXPECT_FALSE(run->ReadFile("C:\\WINDOWS\\QVXSETUP.INI").has_value());
}
