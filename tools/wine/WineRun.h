// setupsim --wine: the real Setup.exe run under Wine on the computer kept in
// a machine folder, acted on as setupsim acts, printing the event lines Wine
// lets a program observe, and leaving the computer's state in the folder.
//
// A Wine prefix is made from the folder (the drives, the registry, the
// Windows version), the launcher and stand-in programs are put in place, and
// the dialog driver (tools/standins) starts the launcher and plays the
// user's actions. Afterwards the drives and the registry are written back
// into the folder, so that setupsim's change report works the same.
// What Wine and Windows are known to do differently is arranged in one place,
// WineDifferences.cpp.
#ifndef TOOLS_WINE_WINERUN_H
#define TOOLS_WINE_WINERUN_H

#include <string>
#include <utility>
#include <vector>

namespace winerun {

enum class WineArch {
  X64,   // build/win64/Setup.exe under wine64
  I686,  // build/win32/Setup.exe, the shipped program, under 32-bit Wine in qemu (slow)
};

// What a run is asked to do, in setupsim's terms.
struct WineJob {
  std::string windows = "98";  // 95 98 98SE ME NT4 2000 XP
  std::string programPath = "D:\\SETUP.EXE";
  std::string commandLine;
  std::string currentDirectory = "C:\\WINDOWS";
  std::vector<std::string> openWindows;
  std::vector<std::pair<std::string, int>> runningPrograms;  // command, exit-code reads
  std::vector<std::string> actions;
  bool allowRestart = false;  // let Wine restart (WININIT.INI, RunOnce) instead of only noting it
};

struct WineResult {
  bool ok = false;             // the run went to its end
  bool badAction = false;      // an action named no control of the dialog up (status 2)
  std::string error;           // why not
  std::vector<std::string> events;  // setupsim's lines, as far as Wine shows them
  std::string timing;          // how the time was spent
};

// Runs the launcher once; afterwards machineDir holds the computer as the
// prefix holds it (its drives, and registry.reg rewritten with what the run
// changed). Keeps the run's folder when SETUPSIM_KEEP_WINE is set.
WineResult RunUnderWine(const std::string& machineDir, const WineJob& job, WineArch arch);

// Whether the architecture can run here, with the reason when not.
bool WineAvailable(WineArch arch, std::string* pWhy);

}  // namespace winerun

#endif
