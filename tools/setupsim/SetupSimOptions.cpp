#include "SetupSimOptions.h"

#include <cstring>

#include "sim/SimText.h"

const char* SetupSimUsage()
{
  return "usage: setupsim [options] MACHINE_DIR\n"
         "\n"
         "Runs the disc's Setup.exe once on the simulated Windows computer kept in\n"
         "MACHINE_DIR (registry.reg, one folder per drive: c/, d/, ..., network shares\n"
         "in unc/SERVER/SHARE/, machine.ini) and prints what happened, one event a line.\n"
         "\n"
         "  --windows V       95, 98, 98SE, ME, NT4, 2000 or XP (default 98)\n"
         "  --program PATH    the program's path, argument 0 (default D:\\SETUP.EXE)\n"
         "  --args TEXT       the command-line text after the program name\n"
         "  --cwd PATH        the current directory at start (default: Windows directory)\n"
         "  --windir PATH     the Windows directory, a full path (default C:\\WINDOWS)\n"
         "  --sysdir PATH     the system directory, a full path (default by version)\n"
         "  --lang ID         the user's language id (default 1033); a dialog's language\n"
         "                    is picked from it as Windows' resource loader does\n"
         "  --window TITLE    a top-level window with that title is open (repeatable)\n"
         "  --running CMD=N   a program started with command line CMD runs on for N\n"
         "                    reads of its exit code (repeatable)\n"
         "  --readonly X      drive letters that cannot be written (a CD-ROM)\n"
         "  --act ACTION      the user's next action: click:ID, ok, cancel, about\n"
         "                    (repeatable; with none left, OK is pressed)\n"
         "  --changes         after the events, print what the run changed on the computer\n"
         "  --wine, --wine=i686  run the real Setup.exe under Wine instead (the x86_64\n"
         "                    build, or the shipped i686 one under emulated 32-bit Wine)\n"
         "  --wine-restart    under Wine, let a restart happen (WININIT.INI carried out)\n"
         "  --help            this text\n"
         "\n"
         "machine.ini may hold the same settings: [Machine] Windows=, ProgramPath=,\n"
         "CommandLine=, CurrentDirectory=, WindowsDirectory=, SystemDirectory=,\n"
         "Language=, ReadOnlyDrives=; [Windows] TITLE=1 per open window; [Programs]\n"
         "COMMAND=N. Options given on the command line win.\n"
         "\n"
         "Exit status: 0 when the run completed, 2 on invalid input.\n";
}

bool ParseSetupSimCommandLine(int argc, char** argv, SetupSimCommandLine* pOut,
                              std::string* pError)
{
  std::vector<std::string> positional;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if (arg == "--help" || arg == "-h") {
      pOut->bHelp = true;
      return true;
    }
    if (arg == "--changes") {
      pOut->bChanges = true;
      continue;
    }
    if (arg == "--wine" || arg == "--wine=x64" || arg == "--wine=i686") {
      pOut->wine = arg == "--wine=i686" ? "i686" : "x64";
      continue;
    }
    if (arg == "--wine-restart") {
      pOut->bWineRestart = true;
      continue;
    }
    if (arg.size() < 2 || arg.compare(0, 2, "--") != 0 || arg == "--") {
      if (arg == "--") {
        for (++i; i < argc; ++i)
          positional.push_back(argv[i]);
        break;
      }
      positional.push_back(arg);
      continue;
    }
    std::string name = arg, value;
    bool bHasValue = false;
    size_t eq = arg.find('=');
    if (eq != std::string::npos) {
      name = arg.substr(0, eq);
      value = arg.substr(eq + 1);
      bHasValue = true;
    }
    static const char* const kNames[] = {"--windows", "--program", "--args",     "--cwd",
                                         "--windir",  "--sysdir",  "--lang",     "--window",
                                         "--running", "--readonly", "--act"};
    bool bKnown = false;
    for (const char* k : kNames)
      bKnown = bKnown || name == k;
    if (!bKnown) {
      *pError = "unknown option " + arg;
      return false;
    }
    if (!bHasValue) {
      if (i + 1 >= argc) {
        *pError = "option " + name + " needs a value";
        return false;
      }
      value = argv[++i];
    }
    if (name == "--windows") {
      pOut->windows = value;
    } else if (name == "--program") {
      pOut->programPath = value;
    } else if (name == "--args") {
      pOut->commandLine = value;
    } else if (name == "--cwd") {
      pOut->currentDirectory = value;
    } else if (name == "--windir") {
      pOut->windowsDirectory = value;
    } else if (name == "--sysdir") {
      pOut->systemDirectory = value;
    } else if (name == "--lang") {
      int n;
      if (!sim::ParseCount(value, &n) || n == 0 || n > 0xFFFF) {
        *pError = "invalid language id: " + value;
        return false;
      }
      pOut->language = n;
    } else if (name == "--window") {
      pOut->windowTitles.push_back(value);
    } else if (name == "--running") {
      size_t at = value.rfind('=');
      int n;
      if (at == std::string::npos || at == 0 || !sim::ParseCount(value.substr(at + 1), &n)) {
        *pError = "invalid --running value (CMD=N expected): " + value;
        return false;
      }
      pOut->runningPrograms.emplace_back(value.substr(0, at), n);
    } else if (name == "--readonly") {
      std::string letters;
      for (char c : value) {
        if (c == ',' || c == ':' || c == ' ')
          continue;
        if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'))) {
          *pError = "invalid drive letters: " + value;
          return false;
        }
        letters += c;
      }
      pOut->readOnlyDrives = pOut->readOnlyDrives.value_or("") + letters;
    } else if (name == "--act") {
      if (!sim::IsValidAction(value)) {
        *pError = "invalid action (click:ID, ok, cancel or about expected): " + value;
        return false;
      }
      pOut->actions.push_back(value);
    }
  }
  if (positional.size() != 1) {
    *pError = positional.empty() ? "MACHINE_DIR missing (see --help)"
                                 : "more than one MACHINE_DIR given";
    return false;
  }
  pOut->machineDir = positional[0];
  return true;
}

void ApplyCommandLine(const SetupSimCommandLine& cl, sim::SimOptions* p)
{
  if (cl.windows)
    p->windows = *cl.windows;
  if (cl.programPath)
    p->programPath = *cl.programPath;
  if (cl.commandLine)
    p->commandLine = *cl.commandLine;
  if (cl.currentDirectory)
    p->currentDirectory = *cl.currentDirectory;
  if (cl.windowsDirectory)
    p->windowsDirectory = *cl.windowsDirectory;
  if (cl.systemDirectory)
    p->systemDirectory = *cl.systemDirectory;
  if (cl.readOnlyDrives)
    p->readOnlyDrives = *cl.readOnlyDrives;
  if (cl.language)
    p->language = *cl.language;
  // Windows of both sources are open; a program named on the command line
  // takes its count from there.
  for (const auto& t : cl.windowTitles)
    p->openWindows.push_back(t);
  for (const auto& rp : cl.runningPrograms) {
    bool bReplaced = false;
    for (auto& old : p->runningPrograms)
      if (old.first == rp.first) {
        old.second = rp.second;
        bReplaced = true;
      }
    if (!bReplaced)
      p->runningPrograms.push_back(rp);
  }
  p->actions = cl.actions;
}
