#include <algorithm>
#include <tuple>

#include "CheckedRun.h"

namespace hostile {

namespace {

// Longer than all the launcher's pauses add up to: a run that waits this
// long in virtual time has hung for its user.
const unsigned long long kVirtualHangMs = 10 * 60 * 1000;

// A value's data as a program reads it as a string, whatever its type.
std::string RegistryPath(sim::CSimComputer& pc, const std::string& key, const std::string& name)
{
  auto raw = pc.GetRawValue("HKEY_LOCAL_MACHINE\\Software\\" + key, name, nullptr);
  std::string s = raw ? std::string(raw->begin(), raw->end()) : "";
  s = s.substr(0, s.find('\0'));
  while (s.size() > 3 && s.back() == '\\')
    s.pop_back();
  return s;
}

// WINDIR, SYSDIR (long and 8.3 forms), SOURCEPATH and MIXERDIR (as the
// registry names them), read before the run.
CRunPlaceholders ReadPlaceholders(sim::CSimComputer& pc)
{
  CRunPlaceholders ph;
  IPlatform& p = pc.GetPlatform();
  char sz[MAX_PATH], szShort[MAX_PATH];
  auto add = [&](const char* name, DWORD n, bool bShort) {
    if (n == 0 || n >= MAX_PATH)
      return;
    ph[name].push_back(sz);
    const DWORD m = bShort ? p.GetShortPathNameA(sz, szShort, MAX_PATH) : 0;
    if (m != 0 && m < MAX_PATH)
      ph[name].push_back(szShort);
  };
  add("WINDIR", p.GetWindowsDirectoryA(sz, MAX_PATH), true);
  add("SYSDIR", p.GetSystemDirectoryA(sz, MAX_PATH), true);
  const std::string source = RegistryPath(pc, "Microsoft\\Windows\\CurrentVersion\\Setup", "SourcePath");
  if (!source.empty()) {
    ph["SOURCEPATH"].push_back(source);
    // A relative value names the folder it leads to from the start-up
    // directory, where the launcher enters it.
    char szStart[MAX_PATH];
    DWORD n = p.GetCurrentDirectoryA(MAX_PATH, szStart);
    if (n != 0 && n < MAX_PATH && p.SetCurrentDirectoryA(source.c_str())) {
      add("SOURCEPATH", p.GetCurrentDirectoryA(MAX_PATH, sz), false);
      p.SetCurrentDirectoryA(szStart);
    }
  }
  for (const char* key : {"Tonivex Applications\\Mixer", "Veltrix\\Mixer"})
    if (!RegistryPath(pc, key, "Path").empty())
      ph["MIXERDIR"].push_back(RegistryPath(pc, key, "Path"));
  return ph;
}

}  // namespace

CheckedRun RunChecked(const std::string& machineDir, sim::SimOptions options, const CAllowedChanges& rules)
{
  const sim::SimMachineState before = sim::ReadMachineState(machineDir);
  CheckedRun run;
  std::string err = "unknown Windows version: " + options.windows;
  options.windows = sim::CanonicalWindowsVersion(options.windows);
  auto pc = options.windows.empty() ? nullptr : sim::CSimComputer::Load(machineDir, options, &err);
  if (!pc) {
    run.path = "refused: " + err;
    if (err.empty() || err.find_first_of("\r\n") != std::string::npos)
      run.faults.push_back("refusal is not one line: " + err);
    // The registry may be the malformed input itself: compared as bytes.
    const sim::SimMachineState after = sim::ReadMachineState(machineDir);
    auto same = [](const sim::SimFileEntry& a, const sim::SimFileEntry& b) {
      return std::tie(a.path, a.readOnly, a.size, a.content, a.modified) ==
             std::tie(b.path, b.readOnly, b.size, b.content, b.modified);
    };
    if (after.hasRegistry != before.hasRegistry || after.registryText != before.registryText ||
        !std::equal(after.entries.begin(), after.entries.end(), before.entries.begin(), before.entries.end(), same))
      run.faults.push_back("refused, yet the machine folder changed");
    return run;
  }
  const CRunPlaceholders placeholders = ReadPlaceholders(*pc);
  std::string refusal;
  try {
    sim::RunLauncher(*pc);
  } catch (const sim::UsageError& e) {
    refusal = ", then refused: " + e.message;  // at that point of the run, as setupsim does
  }
  if (!pc->Save(&err))
    run.faults.push_back("registry not saved: " + err);
  if (pc->Clock() > kVirtualHangMs)
    run.faults.push_back("waited " + std::to_string(pc->Clock()) + " ms of virtual time");
  std::vector<sim::SimChange> changes;
  if (!sim::CompareMachineStates(before, sim::ReadMachineState(machineDir), options.windowsDirectory, &changes,
                                 &err)) {
    run.faults.push_back("registry.reg unreadable after the run: " + err);
    return run;
  }
  for (const auto& f : CheckChanges(rules, pc->Events(), changes, placeholders, &run.path))
    run.faults.push_back(f);
  run.path += refusal;
  return run;
}

}  // namespace hostile
