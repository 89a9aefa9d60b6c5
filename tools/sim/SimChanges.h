// What a run changed on a simulated computer: the machine folder read before
// and after (registry and drives), compared into a list of changes, and the
// list written as setupsim's change report.
//
//   sim::SimMachineState before = sim::ReadMachineState(dir);
//   ... run, save ...
//   std::vector<sim::SimChange> changes;
//   sim::CompareMachineStates(before, sim::ReadMachineState(dir), "C:\\WINDOWS", &changes, &err);
//   std::cout << sim::FormatChangeReport(changes);
//
// Names are compared without regard to case, so a change of spelling alone
// is no change. ApplyRegistryChanges makes a registry read from a file take
// the state another one describes, so that its Export changes only those
// lines (a computer's state brought back from elsewhere into registry.reg).
#ifndef TOOLS_SIM_SIMCHANGES_H
#define TOOLS_SIM_SIMCHANGES_H

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "SimRegistry.h"

namespace sim {

// A file or folder of a drive.
struct SimFileEntry {
  std::string path;         // as Windows writes it: "C:\WINDOWS\WIN.INI"
  bool isDir = false;
  bool readOnly = false;
  uint64_t size = 0;
  bool hasContent = false;  // a very large file keeps only size and time
  std::string content;
  int64_t modified = 0;     // nanoseconds
};

// A machine folder as read at one moment.
struct SimMachineState {
  bool hasRegistry = false;
  std::string registryText;
  std::vector<SimFileEntry> entries;  // every drive's files and folders
};

SimMachineState ReadMachineState(const std::string& machineDir);

enum class ChangeKind {
  KeyAdded, KeyRemoved, ValueAdded, ValueRemoved, ValueChanged,
  FolderAdded, FolderRemoved, FileAdded, FileRemoved, FileChanged, AttributeChanged,
  RenameAtRestart, DeleteAtRestart
};

// A key of a profile file (.ini, .inf) whose value changed; no old value:
// added, no new value: removed.
struct ProfileKeyChange {
  std::string section;
  std::string key;
  std::optional<std::string> oldValue, newValue;
};

struct SimChange {
  SimChange(ChangeKind k, const std::string& p) : kind(k), path(p) {}

  ChangeKind kind;
  std::string path;    // key, file or folder; at restart: the file renamed or deleted
  std::string target;  // RenameAtRestart: its new path
  std::optional<RegValue> oldValue, newValue;  // Value*: with the value's name
  std::vector<RegValue> keyValues;             // Key*: the key's own values
  uint64_t oldSize = 0, newSize = 0;           // FileAdded; FileChanged of other files
  bool oldReadOnly = false, newReadOnly = false;  // AttributeChanged; FileAdded
  // FileChanged: what changed in it, one of these three kinds.
  std::vector<ProfileKeyChange> profileKeys;   // profile files
  std::vector<std::string> lines;              // other text files: "- old", "+ new"
  bool sizesOnly = false;                      // other files
};

// Registry changes, in the order of the keys (a removed or added key is
// followed by each key below it).
void CompareRegistries(const CSimRegistry& before, const CSimRegistry& after,
                       std::vector<SimChange>* pOut);
// Drive changes in path order. The [rename] entries added to WININIT.INI
// of the Windows directory follow its own line, as what Windows does at
// its next start.
void CompareFiles(const SimMachineState& before, const SimMachineState& after,
                  const std::string& windowsDirectory, std::vector<SimChange>* pOut);
// Both, registry first. False with *pError when a registry text is malformed.
bool CompareMachineStates(const SimMachineState& before, const SimMachineState& after,
                          const std::string& windowsDirectory, std::vector<SimChange>* pOut,
                          std::string* pError);
void ApplyRegistryChanges(CSimRegistry& registry, const std::vector<SimChange>& changes);

// "changes:" and a line per change (details indented by two blanks), or
// "none" under it when the list is empty.
std::string FormatChangeReport(const std::vector<SimChange>& changes);

}  // namespace sim

#endif
