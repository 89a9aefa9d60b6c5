// One setupsim run on a machine folder, checked: loaded and refused as
// setupsim refuses (one line, nothing changed), or run, saved, and every
// change held against the allowed-change rule of the path it took.
#ifndef TESTS_HOSTILE_CHECKEDRUN_H
#define TESTS_HOSTILE_CHECKEDRUN_H

#include <string>
#include <vector>

#include "AllowedChanges.h"
#include "sim/SimComputer.h"

namespace hostile {

struct CheckedRun {
  bool refused = false;             // setupsim would end with status 2
  std::string refusal;              // its one-line message
  std::vector<std::string> events;  // as setupsim prints them
  std::string path;                 // the rule's path taken
  std::vector<std::string> faults;  // empty: all is well
};

// options: as setupsim has them after machine.ini and its command line.
CheckedRun RunChecked(const std::string& machineDir, sim::SimOptions options,
                      const CAllowedChanges& rules);

}  // namespace hostile

#endif
