// setupsim: runs the launcher's start-up routine once on the simulated
// computer kept in MACHINE_DIR, prints the events and saves the registry;
// with --changes, then what the run changed there.
#include <cstdio>
#include <iostream>
#include <optional>

#include "SetupSimOptions.h"
#include "WineRun.h"
#include "sim/SimChanges.h"
#include "sim/SimComputer.h"
#include "sim/SimText.h"

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

// The options Wine cannot apply (a prefix's Windows and system directories
// are its own, its language is the host's, and the tests run as root, who
// may write on any drive); "" when there are none.
static std::string OptionsWineCannotApply(const sim::SimOptions& o)
{
  std::string refused;
  auto add = [&](const char* name) { refused += (refused.empty() ? "" : ", ") + std::string(name); };
  bool b9x = o.windows == "95" || o.windows == "98" || o.windows == "98SE" || o.windows == "ME";
  if (!sim::EqualNoCase(o.windowsDirectory, "C:\\WINDOWS"))
    add("--windir");
  if (o.systemDirectory && !sim::EqualNoCase(*o.systemDirectory, b9x ? "C:\\WINDOWS\\SYSTEM" : "C:\\WINDOWS\\SYSTEM32"))
    add("--sysdir");
  if (o.language != 1033)
    add("--lang");
  if (!o.readOnlyDrives.empty())
    add("--readonly");
  return refused;
}

// The run under Wine: the same events as far as Wine shows them, and the
// computer written back into the folder.
static int RunWine(const SetupSimCommandLine& cl, const sim::SimOptions& options)
{
  std::string refused = OptionsWineCannotApply(options);
  if (!refused.empty())
    return Refuse("Wine cannot apply " + refused);
  std::optional<sim::SimMachineState> before;
  if (cl.bChanges)
    before = sim::ReadMachineState(cl.machineDir);
  winerun::WineJob job;
  job.windows = options.windows;
  job.programPath = options.programPath;
  job.commandLine = options.commandLine;
  job.currentDirectory = options.currentDirectory.value_or(options.windowsDirectory);
  job.openWindows = options.openWindows;
  job.runningPrograms = options.runningPrograms;
  job.actions = options.actions;
  job.allowRestart = cl.bWineRestart;
  winerun::WineResult r = winerun::RunUnderWine(
      cl.machineDir, job, cl.wine == "i686" ? winerun::WineArch::I686 : winerun::WineArch::X64);
  PrintEvents(r.events);
  std::string err;
  if (before)
    PrintChanges(cl.machineDir, *before, options.windowsDirectory, &err);
  if (getenv("SETUPSIM_WINE_TIMING"))
    std::cerr << "setupsim: " << r.timing << "\n";
  if (r.badAction)
    return Refuse(r.error);
  if (!r.ok) {
    std::cerr << "setupsim: the Wine run failed: " << r.error << "\n";
    return 1;
  }
  return 0;
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
  if (!cl.wine.empty()) {
    computer.reset();
    return RunWine(cl, options);
  }
  if (cl.bWineRestart)
    return Refuse("--wine-restart goes with --wine");
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
