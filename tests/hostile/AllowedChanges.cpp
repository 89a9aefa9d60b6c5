#include "AllowedChanges.h"

#include <cstring>
#include <sstream>

#include "sim/SimText.h"

namespace hostile {

namespace {

// A '*' inside a placeholder's value stands for itself.
const char kLiteralStar = '\x01';

bool Match(const char* p, const char* t, bool bPath)
{
  for (; *p != '\0'; ++p, ++t) {
    // "KEY\**" also stands for KEY itself.
    if (*t == '\0' && std::strcmp(p, "\\**") == 0)
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
    if (*t == '\0')
      return false;
    const char pc = *p == kLiteralStar ? '*' : sim::FoldChar(*p);
    if (pc != sim::FoldChar(*t))
      return false;
  }
  return *t == '\0';
}

std::vector<std::string> Words(const std::string& line)
{
  std::vector<std::string> words;
  std::istringstream in(line);
  for (std::string w; in >> w;)
    words.push_back(w);
  return words;
}

std::vector<std::string> Split(const std::string& s, char sep)
{
  std::vector<std::string> parts;
  std::istringstream in(s);
  for (std::string part; std::getline(in, part, sep);)
    parts.push_back(part);
  return parts;
}

// Every spelling of a pattern with its placeholders replaced.
std::vector<std::string> Expand(const std::string& pattern, const CRunPlaceholders& ph)
{
  size_t open = pattern.find('{');
  size_t close = pattern.find('}', open);
  if (open == std::string::npos || close == std::string::npos)
    return {pattern};
  // Only upper-case names are placeholders ({4B7A...} is a key's name).
  const std::string name = pattern.substr(open + 1, close - open - 1);
  if (name.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZ") != std::string::npos) {
    std::vector<std::string> out;
    for (const auto& rest : Expand(pattern.substr(close + 1), ph))
      out.push_back(pattern.substr(0, close + 1) + rest);
    return out;
  }
  std::vector<std::string> out;
  auto it = ph.find(name);
  if (it == ph.end())
    return out;
  for (std::string value : it->second) {
    for (char& c : value)
      if (c == '*')
        c = kLiteralStar;
    for (const auto& rest : Expand(pattern.substr(close + 1), ph))
      out.push_back(pattern.substr(0, open) + value + rest);
  }
  return out;
}

// The data of a string value as a program reads it, whatever its type.
std::string RegistryPath(sim::CSimComputer& pc, const std::string& key, const std::string& name)
{
  auto raw = pc.GetRawValue(key, name, nullptr);
  std::string s = raw ? std::string(raw->begin(), raw->end()) : "";
  s = s.substr(0, s.find('\0'));
  while (s.size() > 3 && s.back() == '\\')
    s.pop_back();
  return s;
}

const char* KindName(sim::ChangeKind kind)
{
  using K = sim::ChangeKind;
  switch (kind) {
  case K::KeyAdded: return "key-added";
  case K::KeyRemoved: return "key-removed";
  case K::ValueAdded: return "value-added";
  case K::ValueRemoved: return "value-removed";
  case K::ValueChanged: return "value-changed";
  case K::FolderAdded: return "folder-added";
  case K::FolderRemoved: return "folder-removed";
  case K::FileAdded: return "file-added";
  case K::FileRemoved: return "file-removed";
  case K::FileChanged: return "file-changed";
  case K::AttributeChanged: return "attribute-changed";
  case K::RenameAtRestart:
  case K::DeleteAtRestart: return "at-restart";
  }
  return "?";
}

}  // namespace

bool MatchPattern(const std::string& pattern, const std::string& text, bool bPath)
{
  return Match(pattern.c_str(), text.c_str(), bPath);
}

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
  const std::string hklm = "HKEY_LOCAL_MACHINE\\Software\\";
  std::string source = RegistryPath(pc, hklm + "Microsoft\\Windows\\CurrentVersion\\Setup",
                                    "SourcePath");
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
  for (const char* key : {"Tonivex Applications\\Mixer", "Veltrix\\Mixer"}) {
    std::string mixer = RegistryPath(pc, hklm + key, "Path");
    if (!mixer.empty())
      ph["MIXERDIR"].push_back(mixer);
  }
  return ph;
}

std::vector<std::string> ChangeSubjects(const sim::SimChange& c)
{
  using K = sim::ChangeKind;
  const std::string head = std::string(KindName(c.kind)) + " ";
  switch (c.kind) {
  case K::ValueAdded:
  case K::ValueRemoved:
  case K::ValueChanged: {
    const sim::RegValue& v = c.newValue ? *c.newValue : *c.oldValue;
    return {head + c.path + " [" + (v.name.empty() ? "@" : v.name) + "]"};
  }
  case K::RenameAtRestart:
    return {head + c.path + " -> " + c.target};
  case K::DeleteAtRestart:
    return {head + "delete " + c.path};
  case K::FileChanged: {
    std::vector<std::string> out{head + c.path};
    for (const auto& k : c.profileKeys)
      out.push_back(head + c.path + ": [" + k.section + "] " + k.key +
                    (!k.oldValue ? " added" : !k.newValue ? " removed" : " changed"));
    for (const auto& l : c.lines)
      out.push_back(head + c.path + ": line " + l);
    if (c.sizesOnly)
      out.push_back(head + c.path + ": content");
    return out;
  }
  default:
    return {head + c.path};
  }
}

bool CAllowedChanges::Load(const std::string& text, std::string* pError)
{
  std::istringstream in(text);
  std::vector<Rule>* pSet = nullptr;
  Path* pPath = nullptr;
  int lineNo = 0;
  for (std::string line; std::getline(in, line);) {
    ++lineNo;
    std::vector<std::string> w = Words(line.substr(0, line.find('#')));
    if (w.empty())
      continue;
    auto fail = [&](const std::string& what) {
      *pError = "line " + std::to_string(lineNo) + ": " + what;
      return false;
    };
    const std::string rest = sim::TrimBlanks(line.substr(line.find(w[0]) + w[0].size()));
    if (w[0] == "set" && w.size() == 2) {
      pSet = &m_sets[w[1]];
      pPath = nullptr;
    } else if (w[0] == "path" && w.size() >= 3 && w[1].back() == ':') {
      m_paths.push_back(Path{w[1].substr(0, w[1].size() - 1), {w.begin() + 2, w.end()}, {}, {}});
      pPath = &m_paths.back();
      pSet = nullptr;
    } else if (pPath && (w[0] == "when" || w[0] == "unless")) {
      (w[0] == "when" ? pPath->when : pPath->unless).push_back(rest);
    } else if (pSet && w.size() >= 2) {
      pSet->push_back(Rule{Split(w[0], '|'), rest});
    } else {
      return fail("not a rule: " + line);
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
    for (const auto& e : events)
      if (MatchPattern(pattern, e, false))
        return true;
    return false;
  };
  for (const Path& path : m_paths) {
    bool bMatch = true;
    for (const auto& p : path.when)
      bMatch = bMatch && any(p);
    for (const auto& p : path.unless)
      bMatch = bMatch && !any(p);
    if (bMatch)
      return &path;
  }
  return nullptr;
}

std::string CAllowedChanges::FindPath(const std::vector<std::string>& events) const
{
  const Path* pPath = Find(events);
  return pPath ? pPath->name : "";
}

bool CAllowedChanges::Allowed(const Path& path, const std::string& subject,
                              const CRunPlaceholders& ph) const
{
  const std::string kind = subject.substr(0, subject.find(' '));
  const std::string what = subject.substr(kind.size() + 1);
  for (const auto& set : path.sets)
    for (const Rule& rule : m_sets.at(set)) {
      bool bKind = false;
      for (const auto& k : rule.kinds)
        bKind = bKind || k == kind;
      if (!bKind)
        continue;
      for (const auto& pattern : Expand(rule.pattern, ph))
        if (MatchPattern(pattern, what, true))
          return true;
    }
  return false;
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
    for (const auto& subject : ChangeSubjects(c))
      if (!Allowed(*pPath, subject, ph))
        faults.push_back(pPath->name + ": " + subject);
  return faults;
}

}  // namespace hostile
