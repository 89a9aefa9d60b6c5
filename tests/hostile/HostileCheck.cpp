// One run of the hostile sweep (sweep.py), made as setupsim makes it and
// checked against the allowed-change rule:
//
//   hostile_check RULES [setupsim's options] MACHINE_DIR
//
// Prints the path the run took and each fault; exit status 0 when all was
// well, 3 with faults, 2 when the rule, the options or machine.ini cannot be
// read, any other a crash.
#include <iostream>
#include <stdexcept>

#include "CheckedRun.h"
#include "SetupSimOptions.h"
#include "sim/SimText.h"

int main(int argc, char** argv)
{
  SetupSimCommandLine cl;
  sim::SimOptions options;
  std::string rules, err;
  // RULES stands where setupsim has its own name.
  if (argc < 2 || !sim::ReadWholeFile(argv[1], &rules) || !ParseSetupSimCommandLine(argc - 1, argv + 1, &cl, &err) ||
      !sim::ReadMachineIni(cl.machineDir, &options, &err)) {
    std::cout << "cannot read the rule, the options or machine.ini: " << err << "\n";
    return 2;
  }
  ApplyCommandLine(cl, &options);
  std::shared_ptr<const hostile::CAllowedChanges> pRules;
  try {
    pRules = hostile::LoadAllowedChanges(rules);
  } catch (const std::invalid_argument& e) {
    std::cout << "not an allowed-change rule: " << e.what() << "\n";
    return 2;
  }
  const hostile::CheckedRun run = hostile::RunChecked(cl.machineDir, options, *pRules);
  std::cout << "path " << run.path << "\n";
  for (const auto& f : run.faults)
    std::cout << f << "\n";
  return run.faults.empty() ? 0 : 3;
}
