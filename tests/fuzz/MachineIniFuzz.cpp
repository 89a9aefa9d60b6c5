// machine.ini as setupsim reads it, then the computer loaded with it. Invariant: a file refused (by the
// reader or the load) gets one line saying why, setupsim's status 2 message; a file taken gives settings
// that, written out as machine.ini (every value quoted) and read again, are the same; the file itself is left
// byte for byte.
#include "FuzzCheck.h"
#include "sim/SimComputer.h"

static const std::string g_machine = ScratchFolder("machine-ini", {"/c/WINDOWS/SYSTEM"});

// The settings as machine.ini lines; values hold no line break, so two settings are the same exactly when
// their lines are.
static std::string Format(const sim::SimOptions& o)
{
  auto line = [](const std::string& name, const std::string& value) { return name + "=\"" + value + "\"\r\n"; };
  std::string s = "[Machine]\r\n" + line("Windows", o.windows) + line("ProgramPath", o.programPath) +
                  line("CommandLine", o.commandLine) + line("WindowsDirectory", o.windowsDirectory) +
                  "Language=" + std::to_string(o.language) + "\r\n" + line("ReadOnlyDrives", o.readOnlyDrives) +
                  (o.currentDirectory ? line("CurrentDirectory", *o.currentDirectory) : "") +
                  (o.systemDirectory ? line("SystemDirectory", *o.systemDirectory) : "") + "[Windows]\r\n";
  for (const auto& w : o.openWindows)
    s += "\"" + w + "\"=1\r\n";
  s += "[Programs]\r\n";
  for (const auto& p : o.runningPrograms)
    s += "\"" + p.first + "\"=" + std::to_string(p.second) + "\r\n";
  return s;
}

FUZZ_TARGET(0, , text)
{
  const std::string ini = g_machine + "/machine.ini";
  WriteFile(ini, text);
  sim::SimOptions options, again;
  std::string err;
  if (!sim::ReadMachineIni(g_machine, &options, &err))
    return FUZZ_CHECK(OneLine(err), "refusal not one line: " + err);
  // As setupsim goes on: the version name, then the load.
  if (sim::CanonicalWindowsVersion(options.windows).empty())
    return;
  FUZZ_CHECK(sim::CSimComputer::Load(g_machine, options, &err) || OneLine(err), "load refusal not one line: " + err);
  FUZZ_CHECK(ReadFile(ini) == text, "machine.ini changed");
  WriteFile(ini, Format(options));
  FUZZ_CHECK(sim::ReadMachineIni(g_machine, &again, &err), "its own settings refused: " + err);
  FUZZ_CHECK(Format(options) == Format(again), "settings changed when written out: " + Format(again));
}
