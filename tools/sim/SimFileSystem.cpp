#include "SimFileSystem.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <set>

#include "SimText.h"

namespace sim {

std::string WinPath::Format() const
{
  std::string s = drive != 0 ? std::string(1, drive) + ":" : share;
  if (drive != 0 || !parts.empty())
    s += '\\';
  for (size_t i = 0; i < parts.size(); ++i) {
    if (i)
      s += '\\';
    s += parts[i];
  }
  return s;
}

WinPath WinPath::Parent() const
{
  WinPath p = *this;
  if (!p.parts.empty())
    p.parts.pop_back();
  return p;
}

CSimFileSystem::CSimFileSystem(const std::string& machineDir, const std::string& readOnlyDrives)
    : m_machineDir(machineDir), m_readOnly(Upper(readOnlyDrives))
{
}

bool CSimFileSystem::DriveReadOnly(char drive) const
{
  return drive != 0 && m_readOnly.find(drive) != std::string::npos;
}

std::string CSimFileSystem::DriveRoot(char drive) const
{
  return m_machineDir + "/" + std::string(1, FoldChar(drive));
}

static bool IsLetter(char c)
{
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

static bool IsSlash(char c)
{
  return c == '\\' || c == '/';
}

// The share of a network path "\\SERVER\SHARE\REST": *pShare gets
// "\\SERVER\SHARE" (slashes as backslashes), *pRest what follows. False
// when the server or the share is missing.
static bool SplitShare(const std::string& path, std::string* pShare, std::string* pRest)
{
  size_t server = 2;
  size_t serverEnd = server;
  while (serverEnd < path.size() && !IsSlash(path[serverEnd]))
    ++serverEnd;
  size_t shareEnd = serverEnd + 1;
  while (shareEnd < path.size() && !IsSlash(path[shareEnd]))
    ++shareEnd;
  if (serverEnd == server || serverEnd >= path.size() || shareEnd == serverEnd + 1)
    return false;
  *pShare = "\\\\" + path.substr(server, serverEnd - server) + "\\" +
            path.substr(serverEnd + 1, shareEnd - serverEnd - 1);
  *pRest = path.substr(shareEnd);
  return true;
}

std::string CSimFileSystem::RootHost(const WinPath& path) const
{
  if (path.drive != 0)
    return DriveRoot(path.drive);
  std::string share, rest;
  if (!SplitShare(path.share, &share, &rest))
    return "";
  size_t cut = share.find('\\', 2);
  std::string host = m_machineDir + "/unc";
  for (const std::string& name : { share.substr(2, cut - 2), share.substr(cut + 1) }) {
    std::string match;
    for (const auto& e : List(host))
      if (e.isDir && EqualNoCase(e.name, name))
        match = e.name;
    if (match.empty())
      return "";
    host += "/" + match;
  }
  return host;
}

// Applies the names of rel to base (which is already full).
static bool AppendParts(WinPath* p, const std::string& rel)
{
  std::string cur;
  auto flush = [&]() -> bool {
    if (cur.empty() || cur == ".") {
    } else if (cur == "..") {
      if (!p->parts.empty())
        p->parts.pop_back();
    } else {
      // Windows drops trailing dots and blanks of a name.
      size_t e = cur.size();
      while (e > 0 && (cur[e - 1] == '.' || cur[e - 1] == ' '))
        --e;
      if (e == 0)
        return false;
      p->parts.push_back(cur.substr(0, e));
    }
    cur.clear();
    return true;
  };
  for (char c : rel) {
    if (c == '\\' || c == '/') {
      if (!flush())
        return false;
    } else {
      cur += c;
    }
  }
  return flush();
}

bool CSimFileSystem::MakeFull(const std::string& path, const std::string& cwd, WinPath* pOut) const
{
  if (path.empty())
    return false;
  WinPath cur;
  std::string rest;
  if (cwd.size() >= 2 && cwd[1] == ':') {
    cur.drive = Upper(cwd.substr(0, 1))[0];
    AppendParts(&cur, cwd.substr(2));
  } else if (cwd.size() >= 2 && IsSlash(cwd[0]) && IsSlash(cwd[1]) && SplitShare(cwd, &cur.share, &rest)) {
    AppendParts(&cur, rest);
  }
  WinPath p;
  if (path.size() >= 2 && path[1] == ':' && IsLetter(path[0])) {
    p.drive = Upper(path.substr(0, 1))[0];
    rest = path.substr(2);
    if (rest.empty() || !IsSlash(rest[0])) {
      // Drive-relative: against the current directory when on that drive.
      if (cur.drive == p.drive)
        p = cur;
    }
  } else if (path.size() >= 2 && IsSlash(path[0]) && IsSlash(path[1])) {
    if (!SplitShare(path, &p.share, &rest))
      return false;
  } else if (IsSlash(path[0])) {
    if (!cur.HasRoot())
      return false;
    p.drive = cur.drive;
    p.share = cur.share;
    rest = path;
  } else {
    if (!cur.HasRoot())
      return false;
    p = cur;
    rest = path;
  }
  if (!AppendParts(&p, rest))
    return false;
  *pOut = p;
  return true;
}

bool CSimFileSystem::IsValid83(const std::string& name)
{
  if (name.empty() || name == "." || name == "..")
    return false;
  size_t dot = name.find('.');
  std::string base = name.substr(0, dot);
  std::string ext = dot == std::string::npos ? "" : name.substr(dot + 1);
  if (base.empty() || base.size() > 8 || ext.size() > 3 || ext.find('.') != std::string::npos)
    return false;
  if (dot != std::string::npos && ext.empty())
    return false;
  for (char ch : base + ext) {
    unsigned char c = (unsigned char)ch;
    if (c >= 0x80 || IsLetter(ch) || (c >= '0' && c <= '9'))
      continue;
    if (std::string("$%'-_@~`!(){}^#&").find(ch) == std::string::npos)
      return false;
  }
  return true;
}

// The basis of a generated short name: blanks and extra dots dropped,
// characters FAT cannot hold turned into underscores, upper case.
static std::string ShortChars(const std::string& s, size_t maxLen)
{
  std::string r;
  for (char ch : s) {
    if (ch == ' ' || ch == '.')
      continue;
    if (std::string("+,;=[]").find(ch) != std::string::npos)
      ch = '_';
    r += ch;
    if (r.size() == maxLen)
      break;
  }
  return Upper(r);
}

// NAME~N.EXT with the lowest N that no other name of the folder has.
static std::string NewAlias(const std::string& name, std::set<std::string>* pUsed)
{
  size_t dot = name.rfind('.');
  std::string base = ShortChars(name.substr(0, dot), 8);
  std::string ext = dot == std::string::npos ? "" : ShortChars(name.substr(dot + 1), 3);
  if (base.empty())
    base = "_";
  for (int n = 1;; ++n) {
    std::string tail = "~" + std::to_string(n);
    std::string cand = base.substr(0, 8 - tail.size()) + tail;
    if (!ext.empty())
      cand += "." + ext;
    if (pUsed->insert(cand).second)
      return cand;
  }
}

std::vector<DirEntry> CSimFileSystem::ListNames(const std::string& hostDir)
{
  std::vector<DirEntry> entries;
  DIR* d = opendir(hostDir.c_str());
  if (d == nullptr)
    return entries;
  while (dirent* e = readdir(d)) {
    std::string n = e->d_name;
    if (n == "." || n == "..")
      continue;
    DirEntry de;
    de.name = n;
    if (e->d_type == DT_DIR || e->d_type == DT_REG) {
      de.isDir = e->d_type == DT_DIR;
    } else {
      struct stat st;
      de.isDir = stat((hostDir + "/" + n).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
    }
    entries.push_back(de);
  }
  closedir(d);
  std::sort(entries.begin(), entries.end(),
            [](const DirEntry& a, const DirEntry& b) { return LessNoCase(a.name, b.name); });
  return entries;
}

static bool SameStamp(const struct stat& a, const struct stat& b)
{
  return a.st_ino == b.st_ino && a.st_dev == b.st_dev && a.st_size == b.st_size &&
         a.st_mtim.tv_sec == b.st_mtim.tv_sec && a.st_mtim.tv_nsec == b.st_mtim.tv_nsec &&
         a.st_ctim.tv_sec == b.st_ctim.tv_sec && a.st_ctim.tv_nsec == b.st_ctim.tv_nsec;
}

const CSimFileSystem::Listing& CSimFileSystem::Cached(const std::string& hostDir) const
{
  struct stat st;
  if (stat(hostDir.c_str(), &st) != 0)
    std::memset(&st, 0, sizeof st);
  auto it = m_listings.find(hostDir);
  if (it != m_listings.end() && SameStamp(it->second.stamp, st))
    return it->second;
  Listing l;
  l.stamp = st;
  l.entries = ListNames(hostDir);
  // Valid 8.3 names keep their name. A long name keeps the alias it was
  // given; one seen for the first time gets the lowest free one, in listing
  // order. A name that has gone frees its alias.
  Aliases& old = m_aliases[hostDir];
  Aliases now;
  for (auto& e : l.entries) {
    if (IsValid83(e.name)) {
      e.shortName = Upper(e.name);
    } else {
      auto given = old.given.find(e.name);
      if (given == old.given.end())
        continue;
      e.shortName = now.given[e.name] = given->second;
    }
    now.used.insert(e.shortName);
  }
  for (auto& e : l.entries)
    if (e.shortName.empty())
      e.shortName = now.given[e.name] = NewAlias(e.name, &now.used);
  old = std::move(now);
  for (size_t i = 0; i < l.entries.size(); ++i) {
    l.byName.emplace(Lower(l.entries[i].name), i);
    l.byShort.emplace(Lower(l.entries[i].shortName), i);
  }
  return m_listings[hostDir] = std::move(l);
}

std::vector<DirEntry> CSimFileSystem::List(const std::string& hostDir) const
{
  return Cached(hostDir).entries;
}

void CSimFileSystem::BeforeCreate(const std::string& hostDir) const
{
  if (m_aliases.find(hostDir) == m_aliases.end())
    List(hostDir);
}

void CSimFileSystem::Created(const std::string& hostDir, const std::string& name) const
{
  m_listings.erase(hostDir);
  Aliases& a = m_aliases[hostDir];
  if (IsValid83(name))
    a.used.insert(Upper(name));
  else if (a.given.find(name) == a.given.end())
    a.given[name] = NewAlias(name, &a.used);
}

void CSimFileSystem::Removed(const std::string& hostDir) const
{
  m_listings.erase(hostDir);
}

// The first entry whose long name matches without regard to case, else
// (only an alias has a '~') whose 8.3 name does; "" when none.
std::string CSimFileSystem::FindNoCase(const std::string& hostDir, const std::string& part) const
{
  const Listing& l = Cached(hostDir);
  std::string key = Lower(part);
  auto byName = l.byName.find(key);
  size_t found = byName == l.byName.end() ? l.entries.size() : byName->second;
  if (part.find('~') != std::string::npos) {
    auto byShort = l.byShort.find(key);
    if (byShort != l.byShort.end() && byShort->second < found)
      found = byShort->second;
  }
  return found < l.entries.size() ? l.entries[found].name : "";
}

Located CSimFileSystem::Locate(const WinPath& path) const
{
  Located r;
  std::string host = RootHost(path);
  struct stat st;
  if (host.empty() || stat(host.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
    return r;
  r.driveExists = true;
  if (path.parts.empty()) {
    r.parentExists = true;
    r.exists = true;
    r.isDir = true;
    r.host = r.hostParent = host;
    return r;
  }
  bool found = true;
  for (size_t i = 0; i < path.parts.size(); ++i) {
    const std::string& part = path.parts[i];
    bool last = i + 1 == path.parts.size();
    if (last) {
      r.hostParent = host;
      r.parentExists = found;
    }
    if (!found) {
      host += "/" + part;
      continue;
    }
    // The name as given when the folder holds it so; otherwise the first
    // entry whose long or 8.3 name matches without regard to case.
    std::string match;
    struct stat exact;
    if (lstat((host + "/" + part).c_str(), &exact) == 0)
      match = part;
    else
      match = FindNoCase(host, part);
    if (!match.empty() && !last) {
      struct stat s2;
      if (stat((host + "/" + match).c_str(), &s2) != 0 || !S_ISDIR(s2.st_mode))
        match.clear();
    }
    if (match.empty()) {
      found = false;
      host += "/" + part;
      if (last)
        r.name = part;
    } else {
      host += "/" + match;
      if (last)
        r.name = match;
    }
  }
  r.host = host;
  r.exists = found;
  if (found)
    r.isDir = stat(host.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
  return r;
}

bool CSimFileSystem::HostIsReadOnly(const std::string& host)
{
  struct stat st;
  return stat(host.c_str(), &st) == 0 && (st.st_mode & S_IWUSR) == 0;
}

bool CSimFileSystem::HostSetReadOnly(const std::string& host, bool bReadOnly)
{
  struct stat st;
  if (stat(host.c_str(), &st) != 0)
    return false;
  mode_t m = st.st_mode & 07777;
  m = bReadOnly ? (m & ~(mode_t)(S_IWUSR | S_IWGRP | S_IWOTH)) : (m | S_IWUSR);
  return chmod(host.c_str(), m) == 0;
}

}  // namespace sim
