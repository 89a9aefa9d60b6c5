#include <algorithm>
#include <cstring>
#include <sstream>

#include "CheckedRun.h"
#include "sim/SimText.h"

namespace hostile {

namespace {

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

// Every spelling of a pattern with its placeholders ({UPPER-CASE NAME}) replaced.
std::vector<std::string> Expand(const std::string& pattern, const CRunPlaceholders& ph, size_t from = 0)
{
  const size_t open = pattern.find('{', from), close = pattern.find('}', open);
  if (close == std::string::npos)
    return {pattern};
  const std::string name = pattern.substr(open + 1, close - open - 1);
  if (name.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZ") != std::string::npos)
    return Expand(pattern, ph, close);  // a key's name such as {4B7A...}
  std::vector<std::string> out;
  auto it = ph.find(name);
  for (std::string value : it == ph.end() ? std::vector<std::string>{} : it->second) {
    for (char& c : value)
      c = c == '*' ? kLiteralStar : c;
    for (const auto& s : Expand(pattern.substr(0, open) + value + pattern.substr(close + 1), ph,
                                open + value.size()))
      out.push_back(s);
  }
  return out;
}

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

// What a change is matched by: "KIND SUBJECT" lines; a changed file gives
// one line per thing that changed in it ("PATH: [SECTION] KEY added").
std::vector<std::string> Subjects(const sim::SimChange& c)
{
  using K = sim::ChangeKind;
  static const char* const kKinds[] = {
      "key-added",    "key-removed", "value-added",   "value-removed", "value-changed",
      "folder-added", "folder-removed", "file-added", "file-removed",  "file-changed",
      "attribute-changed", "at-restart", "at-restart"};
  const std::string head = std::string(kKinds[(int)c.kind]) + " " + c.path;
  if (c.kind == K::ValueAdded || c.kind == K::ValueRemoved || c.kind == K::ValueChanged) {
    const std::string& name = (c.newValue ? *c.newValue : *c.oldValue).name;
    return {head + " [" + (name.empty() ? "@" : name) + "]"};
  }
  if (c.kind == K::RenameAtRestart)
    return {head + " -> " + c.target};
  if (c.kind == K::DeleteAtRestart)
    return {"at-restart delete " + c.path};
  std::vector<std::string> out{head};
  for (const auto& k : c.profileKeys)
    out.push_back(head + ": [" + k.section + "] " + k.key +
                  (!k.oldValue ? " added" : !k.newValue ? " removed" : " changed"));
  for (const auto& l : c.lines)
    out.push_back(head + ": line " + l);
  if (c.sizesOnly)
    out.push_back(head + ": content");
  return out;
}

}  // namespace

CRunPlaceholders ReadPlaceholders(sim::CSimComputer& pc)
{
  CRunPlaceholders ph;
  IPlatform& p = pc.GetPlatform();
  char sz[MAX_PATH], szShort[MAX_PATH];
  auto both = [&](const char* name, UINT n) {
    if (n == 0 || n >= MAX_PATH)
      return;
    ph[name].push_back(sz);
    DWORD m = p.GetShortPathNameA(sz, szShort, MAX_PATH);
    if (m != 0 && m < MAX_PATH)
      ph[name].push_back(szShort);
  };
  both("WINDIR", p.GetWindowsDirectoryA(sz, MAX_PATH));
  both("SYSDIR", p.GetSystemDirectoryA(sz, MAX_PATH));
  std::string source = RegistryPath(pc, "Microsoft\\Windows\\CurrentVersion\\Setup", "SourcePath");
  if (!source.empty()) {
    ph["SOURCEPATH"].push_back(source);
    // A relative value names the folder it leads to from the start-up
    // directory, where the launcher enters it.
    char szStart[MAX_PATH];
    DWORD n = p.GetCurrentDirectoryA(MAX_PATH, szStart);
    if (n != 0 && n < MAX_PATH && p.SetCurrentDirectoryA(source.c_str()) &&
        p.GetCurrentDirectoryA(MAX_PATH, sz) < MAX_PATH) {
      ph["SOURCEPATH"].push_back(sz);
      p.SetCurrentDirectoryA(szStart);
    }
  }
  for (const char* key : {"Tonivex Applications\\Mixer", "Veltrix\\Mixer"})
    if (!RegistryPath(pc, key, "Path").empty())
      ph["MIXERDIR"].push_back(RegistryPath(pc, key, "Path"));
  return ph;
}

bool CAllowedChanges::Load(const std::string& text, std::string* pError)
{
  std::istringstream in(text);
  std::vector<Rule>* pSet = nullptr;
  Path* pPath = nullptr;
  int lineNo = 0;
  for (std::string line; std::getline(in, line);) {
    ++lineNo;
    std::istringstream words(line.substr(0, line.find('#')));
    std::string w0, w1;
    if (!(words >> w0))
      continue;
    words >> w1;
    const std::string rest = sim::TrimBlanks(line.substr(line.find(w0) + w0.size()));
    if (w0 == "set" && !w1.empty()) {
      pSet = &m_sets[w1];
      pPath = nullptr;
    } else if (w0 == "path" && w1.size() > 1 && w1.back() == ':') {
      m_paths.push_back(Path{w1.substr(0, w1.size() - 1), {}, {}, {}});
      for (std::string set; words >> set;)
        m_paths.back().sets.push_back(set);
      pPath = &m_paths.back();
      pSet = nullptr;
    } else if (pPath && (w0 == "when" || w0 == "unless")) {
      (w0 == "when" ? pPath->when : pPath->unless).push_back(rest);
    } else if (pSet && !w1.empty()) {
      pSet->push_back(Rule{{}, rest});
      for (std::istringstream kinds(w0); std::getline(kinds, w1, '|');)
        pSet->back().kinds.push_back(w1);
    } else {
      *pError = "line " + std::to_string(lineNo) + ": not a rule: " + line;
      return false;
    }
  }
  for (const Path& path : m_paths)
    for (const auto& set : path.sets)
      if (!m_sets.count(set)) {
        *pError = "path " + path.name + ": no set " + set;
        return false;
      }
  return true;
}

const CAllowedChanges::Path* CAllowedChanges::Find(const std::vector<std::string>& events) const
{
  auto any = [&](const std::string& pattern) {
    auto match = [&](const std::string& e) { return Match(pattern.c_str(), e.c_str(), false); };
    return std::any_of(events.begin(), events.end(), match);
  };
  for (const Path& path : m_paths)
    if (std::all_of(path.when.begin(), path.when.end(), any) &&
        std::none_of(path.unless.begin(), path.unless.end(), any))
      return &path;
  return nullptr;
}

std::string CAllowedChanges::FindPath(const std::vector<std::string>& events) const
{
  const Path* pPath = Find(events);
  return pPath ? pPath->name : "";
}

std::vector<std::string> CAllowedChanges::Check(const std::vector<std::string>& events,
                                                const std::vector<sim::SimChange>& changes,
                                                const CRunPlaceholders& ph) const
{
  const Path* pPath = Find(events);
  if (pPath == nullptr)
    return {"no path of the rule matches these events"};
  std::vector<std::string> faults;
  for (const auto& c : changes)
    for (const auto& subject : Subjects(c)) {
      const std::string kind = subject.substr(0, subject.find(' ')), what = subject.substr(kind.size() + 1);
      bool bAllowed = false;
      for (const auto& set : pPath->sets)
        for (const Rule& rule : m_sets.at(set))
          if (std::count(rule.kinds.begin(), rule.kinds.end(), kind))
            for (const auto& pattern : Expand(rule.pattern, ph))
              bAllowed = bAllowed || Match(pattern.c_str(), what.c_str(), true);
      if (!bAllowed)
        faults.push_back(pPath->name + ": " + subject);
    }
  return faults;
}

}  // namespace hostile
