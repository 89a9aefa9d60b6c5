// Shared pieces of the driver installation tests: a driver disc written into
// a simulated computer, and the texts the tests compare against.
#ifndef TESTS_UNIT_DRIVERINSTALLTESTSUPPORT_H
#define TESTS_UNIT_DRIVERINSTALLTESTSUPPORT_H

#include <filesystem>
#include <string>
#include <vector>

#include "TestMachine.h"

namespace drvtest {

inline const char kStaging[] = "C:\\Program Files\\Veltrix\\W95-98\\";
inline const char kDone[] =
    "message-box title=\"Setup\" text=\"Setup completed! The system will restart now!\" owner=none";

// A computer whose Windows directory has its INF directory, as every
// installed Windows has.
class CDriverTestMachine : public CTestMachine {
public:
  CDriverTestMachine() { MakeDir("C:\\WINDOWS\\INF"); }
};

// The sample computer with the sample disc as drive D:.
inline void LoadSamples(CTestMachine& m)
{
  namespace fs = std::filesystem;
  fs::path samples = fs::path(SETUP_SOURCE_DIR) / "samples";
  fs::remove_all(fs::path(m.Dir()) / "c");
  fs::remove_all(fs::path(m.Dir()) / "d");
  fs::copy(samples / "machine-98", m.Dir(), fs::copy_options::recursive | fs::copy_options::overwrite_existing);
  fs::remove(fs::path(m.Dir()) / "machine.ini");
  fs::copy(samples / "disc", fs::path(m.Dir()) / "d", fs::copy_options::recursive);
}

// Lines joined with CR LF, the last one ended too.
inline std::string Crlf(const std::vector<std::string>& lines)
{
  std::string s;
  for (const auto& l : lines)
    s += l + "\r\n";
  return s;
}

// An INF file whose [SourceDisksNames] holds the given lines, between other
// sections that the rewrite must leave alone.
inline std::string InfWithDisks(const std::vector<std::string>& diskLines)
{
  std::vector<std::string> lines = { "; test driver", "[Version]", "Signature=\"$CHICAGO$\"", "",
                                     "[SourceDisksNames]" };
  lines.insert(lines.end(), diskLines.begin(), diskLines.end());
  lines.insert(lines.end(), { "", "[TVX.Reg]", "HKR,Config,DISMPU,1,0", "1=not the disk entry", "",
                              "[Strings]", "Desc=\"Tonivex test\"" });
  return Crlf(lines);
}

// The 8.3 form of the staging directory on that computer, as the launcher
// asks for it.
inline std::string StagingShortPath(sim::CSimComputer& computer)
{
  char sz[260] = {};
  DWORD n = computer.GetPlatform().GetShortPathNameA("C:\\Program Files\\Veltrix\\W95-98", sz, 260);
  return n > 0 && n < 260 ? std::string(sz) : std::string();
}

// Events that a whole silent install shows, from the mixer to the exit.
inline std::vector<std::string> SilentInstallEvents(bool bMixerOpen)
{
  std::vector<std::string> e;
  if (bMixerOpen)
    e.push_back("close-window \"Mixer\"");
  e.insert(e.end(), { "start \"SysTray.exe\" show=5 via=WinExec", "pause 500", "wait-cursor on",
                      "wait-cursor off", kDone, "restart", "exit 0" });
  return e;
}

}  // namespace drvtest

#endif
