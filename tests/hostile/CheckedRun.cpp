#include <algorithm>
#include <cstring>
#include <iterator>
#include <map>
#include <sstream>
#include <stdexcept>

#include "CheckedRun.h"
#include "sim/SimChanges.h"
#include "sim/SimProfile.h"
#include "sim/SimText.h"

namespace hostile {

// Each path with the changes its sets allow ("KIND|KIND", pattern) and its
// conditions ("when" or "unless", event pattern).
struct CAllowedChanges {
  struct Path {
    std::string name;
    std::vector<std::pair<std::string, std::string>> allowed, conditions;
  };
  std::vector<Path> paths;
};

namespace {

// Placeholder name -> the paths it stands for (no trailing backslash).
using CRunPlaceholders = std::map<std::string, std::vector<std::string>>;

// bPath: a '*' stays within one name. A placeholder matches each of its
// paths as written ('*' in them too), an empty one (not there) none.
bool Match(const char* p, const char* t, bool bPath, const CRunPlaceholders& ph = {})
{
  for (; *p != '\0'; ++p, ++t) {
    if (*t == '\0' && std::strcmp(p, "\\**") == 0)  // "KEY\**" also stands for KEY itself
      return true;
    if (*p == '*') {
      const bool bAny = p[1] == '*' || !bPath;
      p += p[1] == '*' ? 2 : 1;
      for (const char* s = t;; ++s) {
        if (Match(p, s, bPath, ph))
          return true;
        if (*s == '\0' || (!bAny && *s == '\\'))
          return false;
      }
    }
    const char* close = *p == '{' ? std::strchr(p, '}') : nullptr;
    const auto it = close ? ph.find(std::string(p + 1, close)) : ph.end();  // or a key's name: {4B7A...}
    if (it != ph.end())
      return std::any_of(it->second.begin(), it->second.end(), [&](const std::string& v) {
        return !v.empty() && sim::EqualNoCase(v, std::string(t, strnlen(t, v.size()))) &&
               Match(close + 1, t + v.size(), bPath, ph);
      });
    if (*t == '\0' || sim::FoldChar(*p) != sim::FoldChar(*t))
      return false;
  }
  return *t == '\0';
}

// The rule's name for each sim::ChangeKind.
const char* const kKinds[] = {
    "key-added",    "key-removed",    "value-added", "value-removed", "value-changed",
    "folder-added", "folder-removed", "file-added",  "file-removed",  "file-changed",
    "attribute-changed", "at-restart", "at-restart"};

// What a change is matched by; a changed file gives one line per thing that
// changed in it ("PATH: [SECTION] KEY added").
std::vector<std::string> Subjects(const sim::SimChange& c)
{
  const std::string head = (c.kind == sim::ChangeKind::DeleteAtRestart ? "delete " : "") + c.path;
  if (c.kind == sim::ChangeKind::RenameAtRestart)
    return {head + " -> " + c.target};
  if (c.oldValue || c.newValue) {
    const std::string& name = (c.newValue ? c.newValue : c.oldValue)->name;
    return {head + " [" + (name.empty() ? "@" : name) + "]"};
  }
  std::vector<std::string> out{head};
  for (const auto& k : c.profileKeys)
    out.push_back("[" + k.section + "] " + k.key + (!k.oldValue ? " added" : !k.newValue ? " removed" : " changed"));
  for (const auto& l : c.lines)
    out.push_back("line " + l);
  if (c.sizesOnly)
    out.push_back("content");
  for (size_t i = 1; i < out.size(); ++i) {  // one name to a pattern: its backslashes written as '/'
    std::replace(out[i].begin(), out[i].end(), '\\', '/');
    out[i] = head + ": " + out[i];
  }
  return out;
}

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

// Read before the run: WINDIR (long and 8.3 forms), SOURCEPATH (as the
// registry names it, and the full path a relative one leads to from the
// start-up directory, where the launcher enters it) and MIXERDIR.
CRunPlaceholders ReadPlaceholders(sim::CSimComputer& pc)
{
  IPlatform& p = pc.GetPlatform();
  const std::string source = RegistryPath(pc, "Microsoft\\Windows\\CurrentVersion\\Setup", "SourcePath");
  char szWin[MAX_PATH] = "", szShort[MAX_PATH] = "", szSource[MAX_PATH] = "";
  if (p.GetWindowsDirectoryA(szWin, MAX_PATH) < MAX_PATH)
    p.GetShortPathNameA(szWin, szShort, MAX_PATH);
  if (!source.empty())
    p.GetFullPathNameA(source.c_str(), MAX_PATH, szSource, nullptr);
  return {{"WINDIR", {szWin, szShort}},
          {"SOURCEPATH", {source, szSource}},
          {"MIXERDIR", {RegistryPath(pc, "Tonivex Applications\\Mixer", "Path"),
                        RegistryPath(pc, "Veltrix\\Mixer", "Path")}}};
}

}  // namespace

std::shared_ptr<const CAllowedChanges> LoadAllowedChanges(const std::string& text)
{
  auto rules = std::make_shared<CAllowedChanges>();
  std::istringstream lines(text);
  for (std::string line; std::getline(lines, line);) {  // the profile reader would pass over a line without '='
    const std::string t = sim::TrimBlanks(line);
    if (!t.empty() && t[0] != '#' && t[0] != '[' && t.find('=') == std::string::npos)
      throw std::invalid_argument("neither a section nor a rule: " + t);
  }
  for (const auto& section : sim::ProfileSections(text)) {
    std::istringstream words(section);
    const std::vector<std::string> head{std::istream_iterator<std::string>(words), {}};
    if (head.size() == 2 && head[0] == "set")
      continue;
    if (head.size() < 2 || head[0] != "path" || head[1].size() < 2 || head[1].back() != ':')
      throw std::invalid_argument("neither a set nor a path: " + section);
    rules->paths.push_back({head[1].substr(0, head[1].size() - 1), {}, {}});
    auto& path = rules->paths.back();
    for (size_t i = 2; i < head.size(); ++i) {
      const auto set = sim::ProfileEntries(text, "set " + head[i]);
      if (set.empty())
        throw std::invalid_argument("path " + path.name + " no set " + head[i]);
      path.allowed.insert(path.allowed.end(), set.begin(), set.end());
    }
    path.conditions = sim::ProfileEntries(text, section);
    for (const auto& condition : path.conditions)
      if (condition.first != "when" && condition.first != "unless")
        throw std::invalid_argument("not a condition: " + condition.first);
  }
  return rules;
}

CheckedRun RunChecked(const std::string& machineDir, sim::SimOptions options, const CAllowedChanges& rules)
{
  const sim::SimMachineState before = sim::ReadMachineState(machineDir);
  CheckedRun run;
  std::string err;
  std::vector<sim::SimChange> changes;
  auto pc = sim::CSimComputer::Load(machineDir, options, &err);  // refuses an unknown Windows version too
  if (!pc) {
    run.path = "refused: " + err;
    if (err.empty() || err.find_first_of("\r\n") != std::string::npos)
      run.faults.push_back("refusal is not one line: " + err);
    // The registry may be the malformed input itself: compared as text.
    const sim::SimMachineState after = sim::ReadMachineState(machineDir);
    sim::CompareFiles(before, after, options.windowsDirectory, &changes);
    auto same = [](const sim::SimFileEntry& a, const sim::SimFileEntry& b) {  // a file written again too
      return a.path == b.path && a.modified == b.modified;
    };
    if (after.hasRegistry != before.hasRegistry || after.registryText != before.registryText || !changes.empty() ||
        !std::equal(before.entries.begin(), before.entries.end(), after.entries.begin(), after.entries.end(), same))
      run.faults.push_back("refused, yet the machine folder changed");
    return run;
  }
  const CRunPlaceholders ph = ReadPlaceholders(*pc);
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
  if (!sim::CompareMachineStates(before, sim::ReadMachineState(machineDir), options.windowsDirectory, &changes,
                                 &err)) {
    run.faults.push_back("registry.reg unreadable after the run: " + err);
    return run;
  }
  // The path the events show, then each change held against its sets.
  const std::vector<std::string>& events = pc->Events();
  auto seen = [&](const std::string& pattern) {
    return std::any_of(events.begin(), events.end(),
                       [&](const std::string& e) { return Match(pattern.c_str(), e.c_str(), false); });
  };
  auto path = std::find_if(rules.paths.begin(), rules.paths.end(), [&](const CAllowedChanges::Path& p) {
    return std::all_of(p.conditions.begin(), p.conditions.end(),
                       [&](const auto& condition) { return seen(condition.second) == (condition.first == "when"); });
  });
  if (path == rules.paths.end()) {
    run.faults.push_back("no path of the rule matches these events");
    return run;
  }
  run.path = path->name + refusal;
  for (const auto& c : changes)
    for (const auto& what : Subjects(c))
      if (std::none_of(path->allowed.begin(), path->allowed.end(), [&](const auto& rule) {
            return ("|" + rule.first + "|").find(std::string("|") + kKinds[(int)c.kind] + "|") != std::string::npos &&
                   Match(rule.second.c_str(), what.c_str(), true, ph);
          }))
        run.faults.push_back(path->name + ": " + kKinds[(int)c.kind] + " " + what);
  return run;
}

}  // namespace hostile
