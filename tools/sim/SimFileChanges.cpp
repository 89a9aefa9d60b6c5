// Drive changes: files and folders added, removed or changed, what changed
// inside a changed file, and the renames scheduled in WININIT.INI.
#include <algorithm>
#include <map>

#include "SimChanges.h"
#include "SimProfile.h"
#include "SimText.h"

namespace sim {

namespace {

// Folder by folder, each listed in name order without regard to case: the
// upper-case form with each backslash below every name character, so that a
// plain comparison of two keys orders them. Keys are made once per path: made
// in each comparison they cost a third of a run.
std::string PathOrderKey(const std::string& path)
{
  std::string key = Upper(path);
  std::replace(key.begin(), key.end(), '\\', '\x01');
  return key;
}

bool IsText(const std::string& s)
{
  return s.find('\0') == std::string::npos;
}

bool IsProfileFile(const std::string& path)
{
  size_t dot = path.rfind('.');
  if (dot == std::string::npos || path.find('\\', dot) != std::string::npos)
    return false;
  std::string ext = path.substr(dot + 1);
  return EqualNoCase(ext, "ini") || EqualNoCase(ext, "inf");
}

std::vector<std::string> TextLines(const std::string& s)
{
  std::vector<std::string> lines;
  size_t pos = 0;
  while (pos < s.size()) {
    size_t nl = s.find('\n', pos);
    size_t end = nl == std::string::npos ? s.size() : nl;
    std::string line = s.substr(pos, end - pos);
    if (!line.empty() && line.back() == '\r')
      line.pop_back();
    lines.push_back(line);
    pos = nl == std::string::npos ? s.size() : nl + 1;
  }
  return lines;
}

// The lines removed ("- ") and added ("+ "), in order: the longest run of
// common lines is kept, after the common beginning and end are set aside.
std::vector<std::string> LineChanges(const std::string& a, const std::string& b)
{
  auto x = TextLines(a), y = TextLines(b);
  size_t pre = 0, suf = 0;
  while (pre < x.size() && pre < y.size() && x[pre] == y[pre])
    ++pre;
  while (suf < x.size() - pre && suf < y.size() - pre &&
         x[x.size() - 1 - suf] == y[y.size() - 1 - suf])
    ++suf;
  size_t n = x.size() - pre - suf, m = y.size() - pre - suf;
  std::vector<std::string> out;
  if (n * m > 4000000) {  // too large to match up: all old lines, then all new
    for (size_t i = 0; i < n; ++i)
      out.push_back("- " + x[pre + i]);
    for (size_t j = 0; j < m; ++j)
      out.push_back("+ " + y[pre + j]);
    return out;
  }
  // common[i][j]: the longest common run of x[pre+i..] and y[pre+j..].
  std::vector<std::vector<uint32_t>> common(n + 1, std::vector<uint32_t>(m + 1, 0));
  for (size_t i = n; i-- > 0;)
    for (size_t j = m; j-- > 0;)
      common[i][j] = x[pre + i] == y[pre + j] ? common[i + 1][j + 1] + 1
                                              : std::max(common[i + 1][j], common[i][j + 1]);
  size_t i = 0, j = 0;
  while (i < n || j < m) {
    if (i < n && j < m && x[pre + i] == y[pre + j]) {
      ++i, ++j;
    } else if (j >= m || (i < n && common[i + 1][j] >= common[i][j + 1])) {
      out.push_back("- " + x[pre + i++]);
    } else {
      out.push_back("+ " + y[pre + j++]);
    }
  }
  return out;
}

// A line a profile reader takes as a key or a section (changes to those are
// told key by key), or a blank one.
bool IsKeyOrSectionLine(const std::string& line)
{
  std::string t = TrimBlanks(line);
  if (!t.empty() && t.back() == '\r')
    t.pop_back();
  size_t eq = t.find('=');
  return t.empty() || (t[0] == '[' && t.find(']') != std::string::npos) ||
         (eq != std::string::npos && eq > 0);
}

std::optional<std::string> FirstValue(const std::vector<std::pair<std::string, std::string>>& e,
                                      const std::string& key)
{
  for (const auto& kv : e)
    if (EqualNoCase(kv.first, key))
      return kv.second;
  return std::nullopt;
}

void AddUnique(std::vector<std::string>* pNames, const std::string& name)
{
  for (const auto& n : *pNames)
    if (EqualNoCase(n, name))
      return;
  pNames->push_back(name);
}

// Key by key, as a program reads them (the first of a name counts).
void ProfileKeyChanges(const std::string& a, const std::string& b, bool bSkipRename,
                       std::vector<ProfileKeyChange>* pOut)
{
  std::vector<std::string> sections;
  for (const auto& s : ProfileSections(a))
    AddUnique(&sections, s);
  for (const auto& s : ProfileSections(b))
    AddUnique(&sections, s);
  for (const auto& section : sections) {
    if (bSkipRename && EqualNoCase(section, "rename"))
      continue;
    auto ea = ProfileEntries(a, section), eb = ProfileEntries(b, section);
    std::vector<std::string> keys;
    for (const auto& kv : ea)
      AddUnique(&keys, kv.first);
    for (const auto& kv : eb)
      AddUnique(&keys, kv.first);
    for (const auto& key : keys) {
      ProfileKeyChange c{section, key, FirstValue(ea, key), FirstValue(eb, key)};
      if (c.oldValue != c.newValue)
        pOut->push_back(c);
    }
  }
}

// The [rename] entries of WININIT.INI (new path = old path, NUL = a path to
// delete; one key may stand many times): those added become what happens at
// restart, those gone are listed as removed keys.
void RenameChanges(const std::string& a, const std::string& b, std::vector<SimChange>* pRestart,
                   std::vector<ProfileKeyChange>* pGone)
{
  auto ea = ProfileEntries(a, "rename"), eb = ProfileEntries(b, "rename");
  std::vector<bool> matched(ea.size(), false);
  for (const auto& kv : eb) {
    bool bOld = false;
    for (size_t i = 0; i < ea.size() && !bOld; ++i)
      if (!matched[i] && EqualNoCase(ea[i].first, kv.first) && EqualNoCase(ea[i].second, kv.second))
        matched[i] = bOld = true;
    if (bOld)
      continue;
    bool bDelete = EqualNoCase(kv.first, "NUL");
    SimChange c(bDelete ? ChangeKind::DeleteAtRestart : ChangeKind::RenameAtRestart, kv.second);
    if (!bDelete)
      c.target = kv.first;
    pRestart->push_back(c);
  }
  for (size_t i = 0; i < ea.size(); ++i)
    if (!matched[i])
      pGone->push_back(ProfileKeyChange{"rename", ea[i].first, ea[i].second, std::nullopt});
}

bool ContentDiffers(const SimFileEntry& o, const SimFileEntry& n)
{
  if (o.hasContent && n.hasContent)
    return o.content != n.content;
  return o.size != n.size || o.modified != n.modified;
}

class CFileComparer {
public:
  CFileComparer(const std::string& windowsDirectory, std::vector<SimChange>* pOut)
      : m_pOut(pOut)
  {
    std::string dir = windowsDirectory;
    while (!dir.empty() && dir.back() == '\\')
      dir.pop_back();
    m_wininit = dir + "\\WININIT.INI";
  }

  void Added(const SimFileEntry& n)
  {
    SimChange c(n.isDir ? ChangeKind::FolderAdded : ChangeKind::FileAdded, n.path);
    c.newSize = n.size;
    c.newReadOnly = n.readOnly;
    m_pOut->push_back(c);
    if (!n.isDir && EqualNoCase(n.path, m_wininit)) {
      std::vector<ProfileKeyChange> none;
      RenameChanges("", n.content, m_pOut, &none);
    }
  }

  void Removed(const SimFileEntry& o)
  {
    SimChange c(o.isDir ? ChangeKind::FolderRemoved : ChangeKind::FileRemoved, o.path);
    m_pOut->push_back(c);
  }

  void Changed(const SimFileEntry& o, const SimFileEntry& n)
  {
    if (!n.isDir && ContentDiffers(o, n)) {
      SimChange c(ChangeKind::FileChanged, n.path);
      c.oldSize = o.size;
      c.newSize = n.size;
      std::vector<SimChange> restart;
      bool bText = o.hasContent && n.hasContent && IsText(o.content) && IsText(n.content);
      if (bText) {
        bool bWininit = EqualNoCase(n.path, m_wininit);
        if (bWininit)
          RenameChanges(o.content, n.content, &restart, &c.profileKeys);
        std::vector<std::string> lines = LineChanges(o.content, n.content);
        if (IsProfileFile(n.path)) {
          ProfileKeyChanges(o.content, n.content, bWininit, &c.profileKeys);
          // Lines that are no keys (an INF's file lists, comments) as lines.
          for (const auto& l : lines)
            if (!IsKeyOrSectionLine(l.substr(2)))
              c.lines.push_back(l);
        }
        // A change a program would not read at all (spelling, blanks) too.
        if (c.profileKeys.empty() && c.lines.empty() && restart.empty())
          c.lines = lines;
      }
      c.sizesOnly = c.profileKeys.empty() && c.lines.empty() && restart.empty();
      m_pOut->push_back(c);
      m_pOut->insert(m_pOut->end(), restart.begin(), restart.end());
    }
    if (o.readOnly != n.readOnly) {
      SimChange c(ChangeKind::AttributeChanged, n.path);
      c.oldReadOnly = o.readOnly;
      c.newReadOnly = n.readOnly;
      m_pOut->push_back(c);
    }
  }

private:
  std::vector<SimChange>* m_pOut;
  std::string m_wininit;
};

}  // namespace

void CompareFiles(const SimMachineState& before, const SimMachineState& after,
                  const std::string& windowsDirectory, std::vector<SimChange>* pOut)
{
  std::map<std::string, const SimFileEntry*> was, is;
  for (const auto& e : before.entries)
    was.emplace(Upper(e.path), &e);
  for (const auto& e : after.entries)
    is.emplace(Upper(e.path), &e);
  std::vector<std::string> paths;
  for (const auto& kv : was)
    paths.push_back(kv.first);
  for (const auto& kv : is)
    if (!was.count(kv.first))
      paths.push_back(kv.first);
  std::vector<std::pair<std::string, std::string>> keyed;
  for (auto& p : paths)
    keyed.emplace_back(PathOrderKey(p), std::move(p));
  std::sort(keyed.begin(), keyed.end());
  for (size_t i = 0; i < keyed.size(); ++i)
    paths[i] = std::move(keyed[i].second);

  CFileComparer comparer(windowsDirectory, pOut);
  for (const auto& p : paths) {
    auto o = was.find(p), n = is.find(p);
    if (n == is.end()) {
      comparer.Removed(*o->second);
    } else if (o == was.end()) {
      comparer.Added(*n->second);
    } else if (o->second->isDir != n->second->isDir) {
      comparer.Removed(*o->second);
      comparer.Added(*n->second);
    } else {
      comparer.Changed(*o->second, *n->second);
    }
  }
}

bool CompareMachineStates(const SimMachineState& before, const SimMachineState& after,
                          const std::string& windowsDirectory, std::vector<SimChange>* pOut,
                          std::string* pError)
{
  CSimRegistry was, is;
  if (!was.Parse(before.registryText, pError) || !is.Parse(after.registryText, pError))
    return false;
  CompareRegistries(was, is, pOut);
  CompareFiles(before, after, windowsDirectory, pOut);
  return true;
}

}  // namespace sim
