// setupsim: runs the launcher's start-up routine once on the simulated
// computer kept in MACHINE_DIR, prints the events and saves the registry;
// with --changes, then what the run changed there.
#include <cstdio>
#include <iostream>
#include <optional>

#include "SetupSimOptions.h"
#include "sim/SimChanges.h"
#include "sim/SimComputer.h"

static int Refuse(const std::string& message)
{
  std::cerr << "setupsim: " << message << "\n";
  return 2;
}

static void PrintEvents(const std::vector<std::string>& events)
{
  for (const auto& e : events)
    std::cout << e << "\n";
  std::cout.flush();
}

// The report of what changed since `before`, read from the folder as it is
// now; false with *pError when the registry can no longer be read.
static bool PrintChanges(const std::string& machineDir, const sim::SimMachineState& before,
                         const std::string& windowsDirectory, std::string* pError)
{
  std::vector<sim::SimChange> changes;
  if (!sim::CompareMachineStates(before, sim::ReadMachineState(machineDir), windowsDirectory,
                                 &changes, pError))
    return false;
  std::cout << sim::FormatChangeReport(changes);
  std::cout.flush();
  return true;
}

int main(int argc, char** argv)
{
  SetupSimCommandLine cl;
  std::string err;
  if (!ParseSetupSimCommandLine(argc, argv, &cl, &err))
    return Refuse(err);
  if (cl.bHelp) {
    std::cout << SetupSimUsage();
    return 0;
  }
  sim::SimOptions options;
  if (!sim::ReadMachineIni(cl.machineDir, &options, &err))
    return Refuse(err);
  ApplyCommandLine(cl, &options);
  std::string canonical = sim::CanonicalWindowsVersion(options.windows);
  if (canonical.empty())
    return Refuse("unknown Windows version: " + options.windows);
  options.windows = canonical;

  // Everything is checked while loading; nothing is written before the run.
  auto computer = sim::CSimComputer::Load(cl.machineDir, options, &err);
  if (!computer)
    return Refuse(err);
  std::optional<sim::SimMachineState> before;
  if (cl.bChanges)
    before = sim::ReadMachineState(cl.machineDir);
  try {
    sim::RunLauncher(*computer);
  } catch (const sim::UsageError& e) {
    PrintEvents(computer->Events());
    // What the run did up to there stays on the computer, so it is shown.
    if (computer->Save(&err) && before)
      PrintChanges(cl.machineDir, *before, options.windowsDirectory, &err);
    return Refuse(e.message);
  }
  PrintEvents(computer->Events());
  if (!computer->Save(&err))
    return Refuse(err);
  if (before && !PrintChanges(cl.machineDir, *before, options.windowsDirectory, &err))
    return Refuse(err);
  return 0;
}
