// One run of the hostile sweep (sweep.py), made as setupsim makes it and
// checked against the allowed-change rule:
//
//   hostile_check RULES [setupsim's options] MACHINE_DIR
//
// Prints the path the run took and each fault; exit status 0 when all was
// well, 3 with faults, any other a crash.
#include <iostream>

#include "CheckedRun.h"
#include "SetupSimOptions.h"
#include "sim/SimText.h"

int main(int argc, char** argv)
{
  SetupSimCommandLine cl;
  sim::SimOptions options;
  std::string rules, err;
  hostile::CheckedRun run;
  try {
    // RULES stands where setupsim has its own name.
    if (argc < 2 || !sim::ReadWholeFile(argv[1], &rules))
      throw std::invalid_argument("cannot read the rule");
    if (!ParseSetupSimCommandLine(argc - 1, argv + 1, &cl, &err) || !sim::ReadMachineIni(cl.machineDir, &options, &err))
      throw std::invalid_argument(err);
    ApplyCommandLine(cl, &options);
    run = hostile::RunChecked(cl.machineDir, options, *hostile::LoadAllowedChanges(rules));
  } catch (const std::invalid_argument& e) {
    run.faults.push_back(e.what());
  }
  std::cout << "path " << run.path << "\n";
  for (const auto& f : run.faults)
    std::cout << f << "\n";
  return run.faults.empty() ? 0 : 3;
}
