// The silent driver-only install of the win64 Setup.exe under Wine (reporting
// Windows 95) on the sample disc and the sample computer: the events match
// setupsim's, and the staged files and the INF copies are checked in the
// prefix afterwards.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <regex>
#include <sstream>

#include "WineHarness.h"

using namespace winetest;
namespace fs = std::filesystem;

namespace {

const char kStaging[] = "C:\\Program Files\\Veltrix\\W95-98\\";

std::string HostFile(const fs::path& path)
{
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

std::string Trim(const std::string& s)
{
  size_t b = s.find_first_not_of(" \t\r\n");
  size_t e = s.find_last_not_of(" \t\r\n");
  return b == std::string::npos ? std::string() : s.substr(b, e - b + 1);
}

// An INI file as its sections' non-blank lines, trimmed: Wine rewrites a
// whole profile file on a write (blank lines dropped, blanks around '='
// removed), so INF copies are compared by content, not byte for byte.
std::map<std::string, std::vector<std::string>> Sections(const std::string& text)
{
  std::map<std::string, std::vector<std::string>> sections;
  std::string current = "";
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line)) {
    line = Trim(line);
    if (line.empty())
      continue;
    if (line[0] == '[') {
      current = line;
      continue;
    }
    size_t eq = line.find('=');
    if (eq != std::string::npos && line[0] != ';')
      line = Trim(line.substr(0, eq)) + "=" + Trim(line.substr(eq + 1));
    sections[current].push_back(line);
  }
  return sections;
}

}  // namespace

TEST(DriverInstallWine, SilentDriverOnlyOnWindows95StagesAndRewrites)
{
  fs::path samples = fs::path(SETUP_SOURCE_DIR) / "samples";
  CMachineFolder m;
  fs::remove_all(fs::path(m.Dir()) / "c");
  fs::copy(samples / "machine-98", m.Dir(), fs::copy_options::recursive | fs::copy_options::overwrite_existing);
  fs::remove(fs::path(m.Dir()) / "machine.ini");
  fs::copy(samples / "disc", fs::path(m.Dir()) / "d", fs::copy_options::recursive);

  WineOptions opt;
  opt.windows = "95";
  opt.commandLine = "/DRIVER";
  opt.standins = { "C:\\WINDOWS\\SysTray.exe" };
  auto run = RunUnderWine(m.Dir(), opt, WineArch::X64);
  ASSERT_TRUE(run->ok) << run->error << "\n" << Join(run->events) << run->wineOutput;
  std::cout << "[ wine run ] " << run->seconds << " s (" << run->timing << ")\n";

  SetupsimResult sim = RunSetupsim(m.Dir(), opt);
  ASSERT_EQ(sim.status, 0) << sim.errorOutput;
  EXPECT_EQ(Join(Comparable(run->events)), Join(Comparable(sim.events)));
  EXPECT_EQ(Join(Comparable(run->events)),
            "start \"SysTray.exe\" show=5\n"
            "message-box title=\"Setup\" text=\"Setup completed! The system will restart now!\" owner=none\n"
            "restart\nexit 0\n");

  // The Windows 95 driver set and the DOS files, byte for byte.
  fs::path disc95 = samples / "disc/W95-98/drv/95";
  for (const char* name : { "TVX95.INF", "TVXWAV.VXD", "TVXWAV.DRV", "TVXMPU.DRV", "ReadMe.Inf" })
    EXPECT_EQ(run->ReadFile(std::string(kStaging) + name), HostFile(disc95 / name)) << name;
  EXPECT_EQ(run->ReadFile("C:\\Program Files\\Veltrix\\DOS\\TVXDOS.COM"),
            HostFile(samples / "disc/Dosdrv/TVXDOS.COM"));
  EXPECT_EQ(run->ReadFile("C:\\Program Files\\Veltrix\\DOS\\DOSAPP\\TVXPLAY.EXE"),
            HostFile(samples / "disc/Dosdrv/DOSAPP/TVXPLAY.EXE"));
  EXPECT_EQ(run->ReadFile("C:\\WINDOWS\\OPTIONS\\CABS\\TVXWAV.VXD"), HostFile(disc95 / "TVXWAV.VXD"));
  EXPECT_FALSE(run->ReadFile("C:\\WINDOWS\\INF\\ReadMe.Inf").has_value());

  // Both INF copies: entry 1 gains the staging directory's 8.3 form (Wine's
  // hashed short names, so matched by its shape); everything else as on the
  // disc.
  auto original = Sections(HostFile(disc95 / "TVX95.INF"));
  for (const char* copy : { "C:\\WINDOWS\\INF\\TVX95.INF", "C:\\WINDOWS\\INF\\OTHER\\TVX95.INF" }) {
    auto text = run->ReadFile(copy);
    ASSERT_TRUE(text.has_value()) << copy;
    auto sections = Sections(*text);
    const auto& disks = sections["[SourceDisksNames]"];
    ASSERT_EQ(disks.size(), 2u) << *text;
    static const std::regex kEntry(
        "1=\"Tonivex Driver Disc\",,0001, C:\\\\PROG[A-Z0-9]*~[A-Z0-9]+\\\\Veltrix\\\\W95-98",
        std::regex::icase);
    EXPECT_TRUE(std::regex_match(disks[0], kEntry)) << disks[0];
    EXPECT_EQ(disks[1], "2=\"Tonivex DOS Disc\",,0002");
    sections.erase("[SourceDisksNames]");
    auto others = original;
    others.erase("[SourceDisksNames]");
    EXPECT_EQ(sections, others) << copy;
  }

  // The earlier release's traces: the retired files wait in WININIT.INI.
  auto wininit = run->ReadFile("C:\\WINDOWS\\WININIT.INI");
  ASSERT_TRUE(wininit.has_value());
  EXPECT_NE(wininit->find("SYSTEM\\QVAUDIO.OLD="), std::string::npos) << *wininit;
  EXPECT_FALSE(run->ReadFile("C:\\WINDOWS\\INF\\OTHER\\QVX3710.INF").has_value());
}
