// A setupsim run on a machine folder checked against the allowed-change rule
// (allowed-changes.txt, which tells its notation): refused as setupsim
// refuses (one line, nothing changed), or run, saved, and every change held
// against the sets of the path its events show it took.
#ifndef TESTS_HOSTILE_CHECKEDRUN_H
#define TESTS_HOSTILE_CHECKEDRUN_H

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "sim/SimChanges.h"
#include "sim/SimComputer.h"

namespace hostile {

// The blocks of a data file: a line at the margin, its words, and the
// indented lines under it; '#' starts a comment line. Throws
// std::invalid_argument on an indented line before the first block.
struct CBlock {
  std::vector<std::string> head, lines;
};
std::vector<CBlock> ReadBlocks(const std::string& text);

struct CAllowedChanges;
// Throws std::invalid_argument when the text is no rule.
std::shared_ptr<const CAllowedChanges> LoadAllowedChanges(const std::string& text);

// Placeholder name -> the paths it stands for (no trailing backslash).
using CRunPlaceholders = std::map<std::string, std::vector<std::string>>;

// The path the events show (*pPath), then one line per change outside its
// sets; a single line when no path matches.
std::vector<std::string> CheckChanges(const CAllowedChanges& rules, const std::vector<std::string>& events,
                                      const std::vector<sim::SimChange>& changes,
                                      const CRunPlaceholders& placeholders, std::string* pPath);

struct CheckedRun {
  std::string path;                 // the rule's path taken, or "refused: MESSAGE"
  std::vector<std::string> faults;  // empty: all is well
};

// options: as setupsim has them after machine.ini and its command line.
CheckedRun RunChecked(const std::string& machineDir, sim::SimOptions options, const CAllowedChanges& rules);

}  // namespace hostile

#endif
