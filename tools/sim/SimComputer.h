// The simulated Windows computer: a machine folder (registry.reg, one folder
// per drive, machine.ini) loaded into memory, answering every platform call
// as Windows 9x does, and recording what a person would have seen.
//
// Used by setupsim and by the tests:
//
//   sim::SimOptions opt;                      // or sim::ParseMachineIni(...)
//   opt.windows = "95";
//   std::string err;
//   auto pc = sim::CSimComputer::Load(dir, opt, &err);
//   sim::RunOutcome r = sim::RunLauncher(*pc); // the start-up routine, once
//   pc->Save();                                 // registry.reg rewritten
//   r.events                                    // the lines setupsim prints
//
// Logic can also be driven directly: `sim::CPlatformScope scope(*pc);` makes
// the computer the Platform() for the scope, then call the function under
// test; ExitProcess inside it throws sim::ProcessExit.
//
// Behaviour worth knowing:
// - Files on a read-only drive carry the read-only attribute (a CD-ROM), and
//   CopyFileA gives the copy the source's attributes, read-only included.
// - Wildcards match a name's 8.3 form too ("*.INF" finds "w.infx").
// - A program named by a path (with a drive or folder) starts only when its
//   file exists (also with ".exe" added); a bare name always starts; an
//   empty command, or one that starts with a blank, never does. A start that
//   fails is an event too ("start-failed"). Started
//   programs end with exit code 0 unless options.runningPrograms keeps them
//   running for N exit-code reads. WaitForSingleObject with INFINITE waits
//   until the program ends (it ends then); with a time limit it passes that
//   much virtual time and times out while the program still runs.
// - HKEY_CLASSES_ROOT is a hive of its own, as registry.reg lists it.
// - Registry access rights are checked on the NT versions only.
// - Profile files are written at once, but a written file counts as cached,
//   as Windows 9x keeps it, until it is flushed (WritePrivateProfileStringA
//   with NULL section, key and value; WriteProfileStringA(NULL, NULL, NULL)
//   for WIN.INI). UnflushedProfileWrites() lists the files still cached when
//   a program was started or Windows was asked to restart.
// - On 95, 98, 98SE and ME, calls that Windows 9x does not carry out as the
//   program means them are events of their own ("fault ..."): a profile file
//   still cached at a start or the restart, WIN.INI written through
//   WritePrivateProfileStringA. CreateDirectoryA refuses a name with a
//   trailing backslash (a drive root's aside) there.
#ifndef TOOLS_SIM_SIMCOMPUTER_H
#define TOOLS_SIM_SIMCOMPUTER_H

#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/Platform.h"

namespace sim {

// Everything setupsim's options and machine.ini can set.
struct SimOptions {
  std::string windows = "98";            // 95 98 98SE ME NT4 2000 XP
  std::string programPath = "D:\\SETUP.EXE";
  std::string commandLine;               // text after the program name
  std::optional<std::string> currentDirectory;  // default: the Windows directory
  std::string windowsDirectory = "C:\\WINDOWS";
  std::optional<std::string> systemDirectory;   // default: by version
  int language = 1033;
  std::vector<std::string> openWindows;  // top-level window titles
  std::vector<std::pair<std::string, int>> runningPrograms;  // command, reads
  std::string readOnlyDrives;            // letters, e.g. "D"
  std::vector<std::string> actions;      // click:ID, ok, cancel, about
  // Compiled resources (.res bytes) to run the dialogs from; empty: the
  // launcher's own. Lets tests run the dialog engine on their own templates.
  std::vector<unsigned char> resources;
};

// An item appended to a dialog's system menu.
struct SimMenuItem {
  unsigned int flags = 0;   // MF_STRING, MF_SEPARATOR, ...
  unsigned long id = 0;
  std::string text;
};

// A dialog control's state when its dialog went away.
struct SimControlState {
  int id = 0;
  bool enabled = true;
  bool visible = true;
  int check = 0;            // BST_ value of buttons
};

// Checks an action's form (click:ID, ok, cancel, about).
bool IsValidAction(const std::string& action);
// Checks a Windows version name; returns the canonical spelling or "".
std::string CanonicalWindowsVersion(const std::string& name);

// The process ended itself (ExitProcess); unwinds the simulated run.
struct ProcessExit {
  unsigned int code;
};

// A usage error found during the run (an action naming no control):
// setupsim reports it with status 2.
struct UsageError {
  std::string message;
};

struct RunOutcome {
  std::vector<std::string> events;  // as printed by setupsim, in order
  bool exited = false;              // ended by ExitProcess
  unsigned int exitCode = 0;        // when exited
  bool returnedFalse = false;       // the start-up routine returned false
};

class CSimComputer {
public:
  // Loads MACHINE_DIR with the given options (already merged with
  // machine.ini by the caller, or use LoadWithMachineIni). Returns null and
  // sets *pError on invalid input; nothing in the folder is changed then.
  static std::unique_ptr<CSimComputer> Load(const std::string& machineDir,
                                            const SimOptions& options, std::string* pError);
  virtual ~CSimComputer();

  // The IPlatform that answers from this computer.
  virtual IPlatform& GetPlatform() = 0;
  // Writes the registry back to registry.reg (files are kept on disk live).
  virtual bool Save(std::string* pError = nullptr) = 0;
  // Events recorded so far, as setupsim prints them.
  virtual const std::vector<std::string>& Events() const = 0;

  // --- Test helpers ---------------------------------------------------------
  // Host path of a Windows path on this computer ("" when no such drive).
  virtual std::string HostPath(const std::string& windowsPath) const = 0;
  // Full key paths start with the hive name: "HKEY_LOCAL_MACHINE\\Enum\\PCI".
  virtual bool KeyExists(const std::string& keyPath) const = 0;
  virtual std::optional<std::string> GetStringValue(const std::string& keyPath,
                                                    const std::string& valueName) const = 0;
  virtual std::optional<std::vector<unsigned char>> GetRawValue(
      const std::string& keyPath, const std::string& valueName, unsigned long* pType) const = 0;
  // Subkey names of a key, in enumeration order.
  virtual std::vector<std::string> SubKeys(const std::string& keyPath) const = 0;
  // The whole registry as registry.reg text.
  virtual std::string ExportRegistry() const = 0;
  // The items appended to the system menu of the last dialog run from that
  // template, in order.
  virtual std::vector<SimMenuItem> SystemMenuItems(int templateId) const = 0;
  // The controls of the last dialog run from that template, as it ended.
  virtual std::vector<SimControlState> LastDialogControls(int templateId) const = 0;
  // The last error code a platform call set (what GetLastError would give).
  virtual unsigned long LastError() const = 0;
  // Virtual milliseconds passed (pauses and finite waits).
  virtual unsigned long long Clock() const = 0;
  // Profile files written and not flushed when a program was started or
  // Windows was asked to restart, in order: one line per file and occasion,
  // "C:\\WINDOWS\\WININIT.INI before restart" or "... before start \"CMD\"".
  virtual std::vector<std::string> UnflushedProfileWrites() const = 0;

protected:
  CSimComputer() = default;
};

// Makes a computer (or any platform) the Platform() for the lifetime of the scope.
class CPlatformScope {
public:
  explicit CPlatformScope(CSimComputer& computer);
  explicit CPlatformScope(IPlatform* pPlatform);
  ~CPlatformScope();

private:
  IPlatform* m_pPrevious;
};

// Runs the launcher's start-up routine once on the computer, exactly as
// Setup.exe would run: the framework, the one application object, its
// dialogs. Does not save.
RunOutcome RunLauncher(CSimComputer& computer);

// Reads machine.ini of MACHINE_DIR into options (values already set by the
// caller's command line win when bCommandLineWins lists them; setupsim does
// that merge). Returns false with *pError on malformed input.
bool ReadMachineIni(const std::string& machineDir, SimOptions* pOptions, std::string* pError);

}  // namespace sim

#endif
