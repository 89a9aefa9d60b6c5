#include <algorithm>
#include <cstring>
#include <iterator>
#include <map>
#include <sstream>
#include <stdexcept>
#include <tuple>

#include "CheckedRun.h"
#include "sim/SimChanges.h"
#include "sim/SimText.h"

namespace hostile {

struct CAllowedChanges {
  struct Path {
    std::string name;
    std::vector<std::string> sets, when, unless;
  };
  std::map<std::string, std::vector<std::pair<std::string, std::string>>> sets;  // "KIND|KIND", pattern
  std::vector<Path> paths;
};

namespace {

// Placeholder name -> the paths it stands for (no trailing backslash).
using CRunPlaceholders = std::map<std::string, std::vector<std::string>>;

// A '*' inside a placeholder's value stands for itself.
const char kLiteralStar = '\x01';

bool Match(const char* p, const char* t, bool bPath)
{
  for (; *p != '\0'; ++p, ++t) {
    if (*t == '\0' && std::strcmp(p, "\\**") == 0)  // "KEY\**" also stands for KEY itself
      return true;
    if (*p == '*') {
      const bool bAny = p[1] == '*' || !bPath;
      p += p[1] == '*' ? 2 : 1;
      for (const char* s = t;; ++s) {
        if (Match(p, s, bPath))
          return true;
        if (*s == '\0' || (!bAny && *s == '\\'))
          return false;
      }
    }
    if (*t == '\0' || sim::FoldChar(*p == kLiteralStar ? '*' : *p) != sim::FoldChar(*t))
      return false;
  }
  return *t == '\0';
}

// Every spelling of a pattern with its placeholders replaced.
std::vector<std::string> Expand(const std::string& pattern, const CRunPlaceholders& ph, size_t from = 0)
{
  const size_t open = pattern.find('{', from), close = pattern.find('}', open);
  if (close == std::string::npos)
    return {pattern};
  auto it = ph.find(pattern.substr(open + 1, close - open - 1));
  if (it == ph.end())
    return Expand(pattern, ph, close);  // a key's name such as {4B7A...}
  std::vector<std::string> out;
  for (std::string value : it->second) {
    std::replace(value.begin(), value.end(), '*', kLiteralStar);
    for (const auto& s : Expand(pattern.substr(0, open) + value + pattern.substr(close + 1), ph, open + value.size()))
      out.push_back(s);
  }
  return out;
}

// What a change is matched by: "KIND SUBJECT" lines; a changed file gives
// one line per thing that changed in it ("PATH: [SECTION] KEY added").
std::vector<std::string> Subjects(const sim::SimChange& c)
{
  static const char* const kKinds[] = {
      "key-added",    "key-removed",    "value-added", "value-removed", "value-changed",
      "folder-added", "folder-removed", "file-added",  "file-removed",  "file-changed",
      "attribute-changed", "at-restart", "at-restart delete"};
  const std::string head = std::string(kKinds[(int)c.kind]) + " " + c.path;
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

// WINDIR (long and 8.3 forms), SOURCEPATH and MIXERDIR (as the registry
// names them), read before the run.
CRunPlaceholders ReadPlaceholders(sim::CSimComputer& pc)
{
  CRunPlaceholders ph{{"WINDIR", {}}, {"SOURCEPATH", {}}, {"MIXERDIR", {}}};
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

// The path the events show (*pPath), then one line per change outside its
// sets; a single line when no path matches.
std::vector<std::string> CheckChanges(const CAllowedChanges& rules, const std::vector<std::string>& events,
                                      const std::vector<sim::SimChange>& changes, const CRunPlaceholders& ph,
                                      std::string* pPath)
{
  auto seen = [&](const std::string& pattern) {
    return std::any_of(events.begin(), events.end(),
                       [&](const std::string& e) { return Match(pattern.c_str(), e.c_str(), false); });
  };
  auto path = std::find_if(rules.paths.begin(), rules.paths.end(), [&](const CAllowedChanges::Path& p) {
    return std::all_of(p.when.begin(), p.when.end(), seen) && std::none_of(p.unless.begin(), p.unless.end(), seen);
  });
  if (path == rules.paths.end())
    return {"no path of the rule matches these events"};
  *pPath = path->name;
  std::vector<std::string> faults;
  for (const auto& c : changes)
    for (const auto& subject : Subjects(c)) {
      const std::string kind = subject.substr(0, subject.find(' ')), what = subject.substr(kind.size() + 1);
      bool bAllowed = false;
      for (const auto& set : path->sets)
        for (const auto& rule : rules.sets.at(set))
          if (("|" + rule.first + "|").find("|" + kind + "|") != std::string::npos)
            for (const auto& pattern : Expand(rule.second, ph))
              bAllowed = bAllowed || Match(pattern.c_str(), what.c_str(), true);
      if (!bAllowed)
        faults.push_back(path->name + ": " + subject);
    }
  return faults;
}

}  // namespace

// "set NAME" or "path NAME: SETS" at the margin, its lines indented under it;
// '#' starts a comment line.
std::shared_ptr<const CAllowedChanges> LoadAllowedChanges(const std::string& text)
{
  auto rules = std::make_shared<CAllowedChanges>();
  std::istringstream in(text);
  std::vector<std::string> head;  // the words of the last line at the margin
  for (std::string line; std::getline(in, line);) {
    const std::string t = sim::TrimBlanks(line), word = t.substr(0, t.find(' '));
    const std::string rest = sim::TrimBlanks(t.substr(word.size()));
    std::istringstream words(t);
    if (t.empty() || t[0] == '#') {
      continue;
    } else if (line[0] != ' ') {
      head.assign(std::istream_iterator<std::string>(words), {});
      if (word == "path" && head.size() > 1 && head[1].size() > 1 && head[1].back() == ':')
        rules->paths.push_back({head[1].substr(0, head[1].size() - 1), {head.begin() + 2, head.end()}, {}, {}});
      else if (word != "set" || head.size() != 2)
        throw std::invalid_argument("neither a set nor a path: " + t);
      for (const auto& set : word == "path" ? rules->paths.back().sets : std::vector<std::string>{})
        if (!rules->sets.count(set))
          throw std::invalid_argument("path " + head[1] + " no set " + set);
    } else if (head.empty() || rest.empty() || (head[0] == "path" && word != "when" && word != "unless")) {
      throw std::invalid_argument("not a rule: " + t);
    } else if (head[0] == "set") {
      rules->sets[head[1]].emplace_back(word, rest);
    } else {
      (word == "when" ? rules->paths.back().when : rules->paths.back().unless).push_back(rest);
    }
  }
  return rules;
}

CheckedRun RunChecked(const std::string& machineDir, sim::SimOptions options, const CAllowedChanges& rules)
{
  const sim::SimMachineState before = sim::ReadMachineState(machineDir);
  CheckedRun run;
  std::string err;
  auto pc = sim::CSimComputer::Load(machineDir, options, &err);  // refuses an unknown Windows version too
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
