// Shared pieces of the driver installation tests: a driver disc written into
// a simulated computer, and the texts the tests compare against.
#ifndef TESTS_UNIT_DRIVERINSTALLTESTSUPPORT_H
#define TESTS_UNIT_DRIVERINSTALLTESTSUPPORT_H

#include <filesystem>
#include <string>
#include <vector>

#include "TestMachine.h"

namespace drvtest {

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

}  // namespace drvtest

#endif
