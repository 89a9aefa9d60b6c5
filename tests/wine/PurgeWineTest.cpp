// The legacy purge of the win64 Setup.exe under Wine, run by the silent
// driver-only install (Windows 95) on a computer holding every kind of
// legacy trace, compared with the same install on the simulated computer:
// the same registry keys and legacy files are left, and the same files are
// scheduled for renaming.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <set>
#include <sstream>

#include "WineHarness.h"
#include "tests/unit/PurgeLegacyFiles.h"
#include "tests/unit/PurgeLegacyRegistry.h"

using namespace winetest;
namespace fs = std::filesystem;

namespace {

std::string Upper(std::string s)
{
  for (char& c : s)
    c = (char)std::toupper((unsigned char)c);
  return s;
}

std::string Trim(const std::string& s)
{
  size_t b = s.find_first_not_of(" \t\r\n");
  size_t e = s.find_last_not_of(" \t\r\n");
  return b == std::string::npos ? std::string() : s.substr(b, e - b + 1);
}

std::string ReadHost(const fs::path& path)
{
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

// The key paths ("[...]" lines) of a REGEDIT4 text, upper-cased.
std::set<std::string> KeyLines(const std::string& text)
{
  std::set<std::string> keys;
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line)) {
    line = Trim(line);
    if (!line.empty() && line[0] == '[')
      keys.insert(Upper(line.substr(1, line.find(']') - 1)));
  }
  return keys;
}

// The lines of one section of a profile file, trimmed around '=' and
// upper-cased (Wine rewrites profile files and names C:\windows in its own
// case), in order.
std::vector<std::string> SectionLines(const std::optional<std::string>& text,
                                      const std::string& section)
{
  std::vector<std::string> lines;
  if (!text)
    return lines;
  std::istringstream in(*text);
  std::string line;
  bool bIn = false;
  while (std::getline(in, line)) {
    line = Trim(line);
    if (line.empty())
      continue;
    if (line[0] == '[') {
      bIn = Upper(line) == "[" + Upper(section) + "]";
      continue;
    }
    size_t eq = line.find('=');
    if (bIn && eq != std::string::npos)
      lines.push_back(Upper(Trim(line.substr(0, eq)) + "=" + Trim(line.substr(eq + 1))));
  }
  return lines;
}

// A file of the simulated machine folder, found without regard to case.
std::optional<std::string> ReadMachineFile(const std::string& dir, const std::string& windowsPath)
{
  fs::path cur = fs::path(dir) / std::string(1, (char)std::tolower(windowsPath[0]));
  std::istringstream parts(windowsPath.substr(3));
  std::string part;
  while (std::getline(parts, part, '\\')) {
    bool bFound = false;
    for (const auto& e : fs::directory_iterator(cur)) {
      if (Upper(e.path().filename().string()) == Upper(part)) {
        cur = e.path();
        bFound = true;
        break;
      }
    }
    if (!bFound)
      return std::nullopt;
  }
  return ReadHost(cur);
}

}  // namespace

TEST(PurgeWine, SameTracesLeftAsOnTheSimulatedComputer)
{
  CMachineFolder m;
  m.CopyIn((fs::path(SETUP_SOURCE_DIR) / "samples" / "disc").string(), "d");
  std::string reg = purgetest::FullRegistry();
  m.SetRegistry(reg);
  // No WININIT.INI beforehand: Wine would carry out its lines when it starts.
  for (const purgetest::MachineFile& f : purgetest::LegacyFiles()) {
    if (f.path != "C:\\WINDOWS\\WININIT.INI")
      m.WriteFile(f.path, f.content);
  }

  WineOptions opt;
  opt.windows = "95";
  opt.commandLine = "/DRIVER";
  opt.standins = { "C:\\WINDOWS\\SysTray.exe" };
  auto run = RunUnderWine(m.Dir(), opt, WineArch::X64);
  ASSERT_TRUE(run->ok) << run->error << "\n" << Join(run->events) << run->wineOutput;
  std::cout << "[ wine run ] " << run->seconds << " s (" << run->timing << ")\n";

  // The same install through setupsim, on a copy whose results stay readable.
  fs::path simDir = fs::path(m.Dir()).parent_path() / (fs::path(m.Dir()).filename().string() + "-sim");
  fs::remove_all(simDir);
  fs::copy(m.Dir(), simDir, fs::copy_options::recursive);
  std::string command = std::string("'") + SETUP_BINARY_DIR + "/setupsim' --windows 95 --args /DRIVER '" +
                        simDir.string() + "' >/dev/null";
  ASSERT_EQ(0, std::system(command.c_str()));
  std::set<std::string> simKeys = KeyLines(ReadHost(simDir / "registry.reg"));

  // Every key of the traces and near misses: present in both or in neither.
  std::set<std::string> keys = KeyLines(reg);
  keys.insert(Upper(purgetest::kAsio));
  int nGone = 0;
  for (const std::string& key : keys) {
    bool bSim = simKeys.count(key) != 0;
    EXPECT_EQ(bSim, run->KeyExists(key)) << key;
    nGone += bSim ? 0 : 1;
  }
  EXPECT_GT(nGone, 20);  // the purge did run on both

  for (const purgetest::MachineFile& f : purgetest::LegacyFiles()) {
    if (f.path.find(".INI") != std::string::npos)
      continue;
    EXPECT_EQ(ReadMachineFile(simDir.string(), f.path), run->ReadFile(f.path)) << f.path;
  }
  auto wineWininit = run->ReadFile("C:\\WINDOWS\\WININIT.INI");
  auto simWininit = ReadMachineFile(simDir.string(), "C:\\WINDOWS\\WININIT.INI");
  EXPECT_EQ(SectionLines(simWininit, "rename"), SectionLines(wineWininit, "rename"));
  EXPECT_EQ(5u, SectionLines(simWininit, "rename").size());
  EXPECT_EQ(SectionLines(ReadMachineFile(simDir.string(), "C:\\WINDOWS\\WIN.INI"), "windows"),
            SectionLines(run->ReadFile("C:\\WINDOWS\\WIN.INI"), "windows"));
  fs::remove_all(simDir);
}

// A maker's device key with a 70-level subtree goes whole, and the purge
// goes on to the child keys and the registrations of its last step. Deep
// down a key holds 80 subkeys with ever longer names, of which Wine's own
// Windows 9x deletion of a tree removes only the first in each call.
TEST(PurgeWine, DeepDeviceKeyGoesWholeAndThePurgeGoesOn)
{
  std::string deep = purgetest::kPci + "\\VEN_5D2A&DEV_0111\\BUS_00&DEV_0A&FUNC_00";
  std::string sides;
  for (int i = 1; i <= 70; ++i) {
    deep += "\\L" + std::to_string(i);
    for (int n = 1; i == 66 && n <= 80; ++n)
      sides += "[" + deep + "\\" + std::string(n, 'S') + "]\r\n\"Side\"=\"1\"\r\n\r\n";
  }
  CMachineFolder m;
  m.SetRegistry("REGEDIT4\r\n\r\n[" + deep + "]\r\n\"Depth\"=\"70\"\r\n\r\n" + sides + "[" + purgetest::kPci +
                "\\VEN_1A2B&DEV_4000]\r\n\"Other\"=\"1\"\r\n\r\n[" + purgetest::kQvx +
                "\\CHILD0000]\r\n\"Child\"=\"1\"\r\n\r\n[" +
                purgetest::kSpaceFx + "]\r\n@=\"3D\"\r\n\r\n");

  WineOptions opt;
  opt.windows = "95";
  opt.commandLine = "/DRIVER";
  opt.standins = { "C:\\WINDOWS\\SysTray.exe" };
  auto run = RunUnderWine(m.Dir(), opt, WineArch::X64);
  ASSERT_TRUE(run->ok) << run->error << "\n" << Join(run->events) << run->wineOutput;
  std::cout << "[ wine run ] " << run->seconds << " s (" << run->timing << ")\n";

  // Wine's registry lists the keys that hold values, the deepest one here.
  EXPECT_EQ(run->registry.find("VEN_5D2A"), std::string::npos) << run->registry;
  EXPECT_TRUE(run->KeyExists(purgetest::kPci + "\\VEN_1A2B&DEV_4000"));
  EXPECT_FALSE(run->KeyExists(purgetest::kQvx + "\\CHILD0000"));
  EXPECT_FALSE(run->KeyExists(purgetest::kSpaceFx));
}
