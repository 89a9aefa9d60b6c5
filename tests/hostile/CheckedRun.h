// The allowed-change rule and a setupsim run checked against it.
//
// The rule (allowed-changes.txt) says, for each path the launcher can take,
// which changes a run on it may make; a run's path is told by its events.
// RunChecked runs setupsim once on a machine folder: refused as setupsim
// refuses (one line, nothing changed), or run, saved, and every change held
// against the sets of the path it took. Patterns ignore case: `*` is any run
// within one name (on event lines any run at all), `**` any run at all, and
// {NAME} each value of a placeholder (a path of this computer).
#ifndef TESTS_HOSTILE_CHECKEDRUN_H
#define TESTS_HOSTILE_CHECKEDRUN_H

#include <map>
#include <string>
#include <vector>

#include "sim/SimChanges.h"
#include "sim/SimComputer.h"

namespace hostile {

// Placeholder name -> the paths it stands for (no trailing backslash).
using CRunPlaceholders = std::map<std::string, std::vector<std::string>>;

class CAllowedChanges {
public:
  bool Load(const std::string& text, std::string* pError);
  // The first path whose events match, or "" when none does.
  std::string FindPath(const std::vector<std::string>& events) const;
  // One line per change outside the sets of the run's path (the path not
  // recognised is one such line); empty when every change is allowed.
  std::vector<std::string> Check(const std::vector<std::string>& events,
                                 const std::vector<sim::SimChange>& changes,
                                 const CRunPlaceholders& placeholders) const;

private:
  struct Rule {
    std::vector<std::string> kinds;
    std::string pattern;
  };
  struct Path {
    std::string name;
    std::vector<std::string> sets, when, unless;
  };
  const Path* Find(const std::vector<std::string>& events) const;

  std::map<std::string, std::vector<Rule>> m_sets;
  std::vector<Path> m_paths;
};

// WINDIR, SYSDIR (long and 8.3 forms), SOURCEPATH and MIXERDIR (as the
// registry names them), read from a loaded computer before its run.
CRunPlaceholders ReadPlaceholders(sim::CSimComputer& computer);

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
