// setupsim: runs the launcher's start-up routine once on the simulated
// computer kept in MACHINE_DIR, prints the events and saves the registry.
#include <cstdio>
#include <iostream>

#include "SetupSimOptions.h"
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
  try {
    sim::RunLauncher(*computer);
  } catch (const sim::UsageError& e) {
    PrintEvents(computer->Events());
    computer->Save(&err);
    return Refuse(e.message);
  }
  PrintEvents(computer->Events());
  if (!computer->Save(&err))
    return Refuse(err);
  return 0;
}
