// Runs the real Setup.exe under Wine on a computer given in setupsim's
// machine folder form, acting as the user, and gives back what could be
// observed: the event lines setupsim prints (as far as Wine shows them), the
// programs started, the registry and the files afterwards.
//
//   winetest::WineOptions opt;               // setupsim's options
//   opt.windows = "XP";
//   opt.standins = { "D:\\W2KSetup.exe" };   // recorder stand-ins placed there
//   auto run = winetest::RunUnderWine(machineDir, opt, winetest::WineArch::X64);
//   run->ok, run->error                      // the harness itself worked
//   run->events                              // "start \"D:\\W2KSetup.exe\" show=5", "exit 0"
//   winetest::Comparable(run->events) == winetest::Comparable(RunSetupsim(machineDir, opt).events)
//
// See tests/wine/README.md.
#ifndef TESTS_WINE_WINEHARNESS_H
#define TESTS_WINE_WINEHARNESS_H

#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace winetest {

enum class WineArch {
  X64,   // build/win64/Setup.exe under wine64 (about a second a run)
  I686,  // build/win32/Setup.exe, the shipped program, under 32-bit Wine in qemu (slow)
};

// setupsim's options (machine.ini [Machine] and [Windows] fill what is not
// set here), plus what only a Wine run needs.
struct WineOptions {
  std::optional<std::string> windows;           // 95 98 98SE ME NT4 2000 XP; default 98
  std::optional<std::string> programPath;       // argument 0; default D:\SETUP.EXE
  std::optional<std::string> commandLine;       // the text after the program name
  std::optional<std::string> currentDirectory;  // default C:\WINDOWS
  std::vector<std::string> openWindows;         // titles of windows open at start
  std::vector<std::string> actions;             // click:ID, ok, cancel, about

  // Windows paths where the recorder stand-in is put in place of whatever
  // the machine folder holds there (the hand-off setups, the package's
  // Setup.exe, SysTray.exe, uninstallers). Each records its command line.
  std::vector<std::string> standins;
  // Stand-ins that keep running for the given milliseconds (an uninstaller).
  std::vector<std::pair<std::string, int>> lingering;
  // Let a restart go through (Wine then ends the windowed programs, carries
  // out WININIT.INI and RunOnce). By default it is only recorded.
  bool allowRestart = false;
  // The program file to run; default: Setup.exe of the architecture's build.
  std::string programFile;
  int timeoutMs = 0;  // for the program's run; 0: 30 s (x64), 120 s (i686)
};

// One finished run. Its folder (the Wine prefix and the drives' copies) stays
// until the object is destroyed, so files can be looked at.
class CWineRun {
public:
  ~CWineRun();

  bool ok = false;            // the harness ran the program to its end
  std::string error;          // why not
  std::vector<std::string> events;    // in setupsim's form, in order
  std::vector<std::string> programs;  // "PATH|COMMAND LINE" per started stand-in, and notes
  unsigned exitCode = 0;
  // The registry afterwards as REGEDIT4 text: HKEY_LOCAL_MACHINE and
  // HKEY_CURRENT_USER (HKEY_CLASSES_ROOT is HKEY_LOCAL_MACHINE\Software\Classes).
  // Values in Wine's form: strings with \\ and \" escapes, dword:, hex:,
  // str(2): for REG_EXPAND_SZ.
  std::string registry;
  double seconds = 0;         // the whole run, prefix copy to server stop
  std::string timing;         // how the time was spent
  std::string wineOutput;     // Wine's own messages, for failure reports

  // Host path of a Windows path in the prefix after the run (names matched
  // without regard to case); "" when the drive does not exist.
  std::string HostPath(const std::string& windowsPath) const;
  std::optional<std::string> ReadFile(const std::string& windowsPath) const;
  // The value of "name" (@ for the default) under [key] in the exported
  // registry, as its right-hand side ("\"text\"", "dword:0000000a").
  std::optional<std::string> RegistryValue(const std::string& key, const std::string& name) const;
  bool KeyExists(const std::string& key) const;
  const std::string& Dir() const { return m_dir; }

private:
  friend std::unique_ptr<CWineRun> RunUnderWine(const std::string&, const WineOptions&, WineArch);
  std::string m_dir;
  std::string m_prefix;
};

// Runs the program once on a copy of the machine folder (the folder itself is
// not changed).
std::unique_ptr<CWineRun> RunUnderWine(const std::string& machineDir, const WineOptions& options,
                                       WineArch arch);

// Whether the architecture can run here (the i686 one needs
// scripts/wine-i386.sh), with the reason when not.
bool WineAvailable(WineArch arch, std::string* pWhy);
// The built program of that architecture (build/win64/Setup.exe, ...).
std::string BuiltSetupExe(WineArch arch);

// setupsim on a copy of the machine folder with the same options.
struct SetupsimResult {
  int status = -1;
  std::vector<std::string> events;
  std::string errorOutput;
};
SetupsimResult RunSetupsim(const std::string& machineDir, const WineOptions& options);

// Events reduced to what both a Wine run and setupsim show: no pauses, wait
// cursor or "ended" lines, no "via=" (the started program cannot tell how it
// was started), "return false" as "exit 0" (the framework's exit code), and
// "restart" moved to just before the end (Wine carries it out after the
// program has gone on, so its place in the order is not observable).
std::vector<std::string> Comparable(const std::vector<std::string>& events);

std::string Join(const std::vector<std::string>& lines);

// A machine folder in a temporary directory, for tests that build one.
class CMachineFolder {
public:
  CMachineFolder();
  ~CMachineFolder();
  const std::string& Dir() const { return m_dir; }
  // Host path of a Windows path ("D:\\A\\b" -> DIR/d/A/b).
  std::string Host(const std::string& windowsPath) const;
  void WriteFile(const std::string& windowsPath, const std::string& content);
  void MakeDir(const std::string& windowsPath);
  void SetRegistry(const std::string& regeditText);
  // Copies a host folder's content into the folder ("" for the top, "d" for
  // drive D:), e.g. the bundled samples.
  void CopyIn(const std::string& hostDir, const std::string& relative);

private:
  std::string m_dir;
};

// The bundled sample: the Windows 98 computer (samples/machine-98) with the
// sample disc (samples/disc) as drive D:.
void CopySampleMachine(CMachineFolder* pMachine);

}  // namespace winetest

#endif
