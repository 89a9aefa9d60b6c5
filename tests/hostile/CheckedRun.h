// A setupsim run on a machine folder checked against the allowed-change rule
// (allowed-changes.txt, which tells its notation): refused as setupsim
// refuses (one line, nothing changed), or run, saved, and every change held
// against the sets of the path its events show it took.
#ifndef TESTS_HOSTILE_CHECKEDRUN_H
#define TESTS_HOSTILE_CHECKEDRUN_H

#include <memory>
#include <string>
#include <vector>

#include "sim/SimComputer.h"

namespace hostile {

struct CAllowedChanges;
// Throws std::invalid_argument when the text is no rule.
std::shared_ptr<const CAllowedChanges> LoadAllowedChanges(const std::string& text);

struct CheckedRun {
  std::string path;                 // the rule's path taken, or "refused: MESSAGE"
  std::vector<std::string> faults;  // empty: all is well
};

// options: as setupsim has them after machine.ini and its command line.
CheckedRun RunChecked(const std::string& machineDir, sim::SimOptions options, const CAllowedChanges& rules);

}  // namespace hostile

#endif
