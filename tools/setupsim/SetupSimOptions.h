// setupsim's command line: the options, and their merge with machine.ini
// (options given on the command line win).
#ifndef TOOLS_SETUPSIM_SETUPSIMOPTIONS_H
#define TOOLS_SETUPSIM_SETUPSIMOPTIONS_H

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "sim/SimComputer.h"

struct SetupSimCommandLine {
  bool bHelp = false;
  bool bChanges = false;  // print the change report after the events
  std::string wine;       // "x64" or "i686": run the real program under Wine
  bool bWineRestart = false;  // under Wine, let the restart happen
  std::string machineDir;
  std::optional<std::string> windows, programPath, commandLine, currentDirectory,
      windowsDirectory, systemDirectory, readOnlyDrives;
  std::optional<int> language;
  std::vector<std::string> windowTitles;
  std::vector<std::pair<std::string, int>> runningPrograms;
  std::vector<std::string> actions;
};

// Parses argv; false with *pError on a bad option.
bool ParseSetupSimCommandLine(int argc, char** argv, SetupSimCommandLine* pOut,
                              std::string* pError);
// Applies the command line over options read from machine.ini.
void ApplyCommandLine(const SetupSimCommandLine& cl, sim::SimOptions* pOptions);
const char* SetupSimUsage();

#endif
