// The allowed-change rule: for each path the launcher can take, the changes
// a run on that path may make to the computer, read from a rule file
// (allowed-changes.txt). A run's path is told by its event lines; each
// change of setupsim's change list must match one rule of that path's sets.
//
//   CAllowedChanges rules;
//   rules.Load(text, &err);
//   CRunPlaceholders ph = ReadPlaceholders(computer, before);  // before the run
//   std::vector<std::string> faults = rules.Check(events, changes, ph);
//
// Rule patterns are matched without regard to case: `*` stands for any run
// of characters within one name (no backslash), `**` for any run at all
// (in patterns on event lines `*` does too);
// {NAME} stands for each value of a placeholder (a path of this computer).
#ifndef TESTS_HOSTILE_ALLOWEDCHANGES_H
#define TESTS_HOSTILE_ALLOWEDCHANGES_H

#include <map>
#include <string>
#include <vector>

#include "sim/SimChanges.h"
#include "sim/SimComputer.h"

namespace hostile {

// Placeholder name -> the paths it stands for (no trailing backslash).
using CRunPlaceholders = std::map<std::string, std::vector<std::string>>;

// WINDIR, SYSDIR (long and 8.3 forms), SOURCEPATH and MIXERDIR (as the
// registry names them before the run), read from a loaded computer.
CRunPlaceholders ReadPlaceholders(sim::CSimComputer& computer);

// What a change is matched by: "KIND SUBJECT" lines; a changed file gives
// one line per thing that changed in it ("PATH: [SECTION] KEY added").
std::vector<std::string> ChangeSubjects(const sim::SimChange& change);

class CAllowedChanges {
public:
  bool Load(const std::string& text, std::string* pError);
  // The first path whose events match, or "" when none does.
  std::string FindPath(const std::vector<std::string>& events) const;
  // One line per change outside the set of the run's path (the path not
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
    std::vector<std::string> sets;
    std::vector<std::string> when, unless;
  };
  const Path* Find(const std::vector<std::string>& events) const;
  bool Allowed(const Path& path, const std::string& subject,
               const CRunPlaceholders& placeholders) const;

  std::map<std::string, std::vector<Rule>> m_sets;
  std::vector<Path> m_paths;
};

// Glob match as described above; bPath false: * stands for any run at all
// (event lines).
bool MatchPattern(const std::string& pattern, const std::string& text, bool bPath);

}  // namespace hostile

#endif
