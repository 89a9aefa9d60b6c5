#include "CheckedRun.h"

namespace hostile {

namespace {

// Longer than all the launcher's pauses add up to: a run that waits this
// long in virtual time has hung for its user.
const unsigned long long kVirtualHangMs = 10 * 60 * 1000;

CheckedRun Refused(const std::string& message, const std::string& machineDir,
                   const sim::SimMachineState& before)
{
  CheckedRun run;
  run.refused = true;
  run.refusal = message;
  if (message.empty() || message.find_first_of("\r\n") != std::string::npos)
    run.faults.push_back("refusal is not one line: " + message);
  // The registry may be the malformed input itself: compared as bytes.
  const sim::SimMachineState after = sim::ReadMachineState(machineDir);
  bool bSame = after.hasRegistry == before.hasRegistry && after.registryText == before.registryText &&
               after.entries.size() == before.entries.size();
  for (size_t i = 0; bSame && i < after.entries.size(); ++i) {
    const sim::SimFileEntry &a = after.entries[i], &b = before.entries[i];
    bSame = a.path == b.path && a.readOnly == b.readOnly && a.size == b.size &&
            a.content == b.content && a.modified == b.modified;
  }
  if (!bSame)
    run.faults.push_back("refused, yet the machine folder changed");
  return run;
}

}  // namespace

CheckedRun RunChecked(const std::string& machineDir, sim::SimOptions options,
                      const CAllowedChanges& rules)
{
  const sim::SimMachineState before = sim::ReadMachineState(machineDir);
  const std::string canonical = sim::CanonicalWindowsVersion(options.windows);
  if (canonical.empty())
    return Refused("unknown Windows version: " + options.windows, machineDir, before);
  options.windows = canonical;
  std::string err;
  auto pc = sim::CSimComputer::Load(machineDir, options, &err);
  if (!pc)
    return Refused(err, machineDir, before);
  CheckedRun run;
  const CRunPlaceholders placeholders = ReadPlaceholders(*pc);
  try {
    sim::RunLauncher(*pc);
  } catch (const sim::UsageError& e) {
    run.refused = true;  // at that point of the run, as setupsim does
    run.refusal = e.message;
  }
  run.events = pc->Events();
  if (!pc->Save(&err))
    run.faults.push_back("registry not saved: " + err);
  if (pc->Clock() > kVirtualHangMs)
    run.faults.push_back("waited " + std::to_string(pc->Clock()) + " ms of virtual time");
  std::vector<sim::SimChange> changes;
  if (!sim::CompareMachineStates(before, sim::ReadMachineState(machineDir), options.windowsDirectory,
                                 &changes, &err)) {
    run.faults.push_back("registry.reg unreadable after the run: " + err);
    return run;
  }
  run.path = rules.FindPath(run.events);
  for (const auto& f : rules.Check(run.events, changes, placeholders))
    run.faults.push_back(f);
  return run;
}

}  // namespace hostile
