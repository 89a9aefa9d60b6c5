// The machine's drives copied into a prefix, with stand-ins for its
// programs, and the prefix's drives written back into the machine folder.
#include <algorithm>
#include <cctype>
#include <fstream>
#include <set>
#include <sstream>

#include "WineParts.h"
#include "sim/SimText.h"

namespace winerun {

namespace {

// Follows the recorder's bytes in a stand-in, then the file's own bytes.
const std::string kMarker = std::string("\0SETUPSIM-STANDIN\0", 18);

std::string Lower(std::string s)
{
  for (char& c : s)
    c = (char)std::tolower((unsigned char)c);
  return s;
}

void CopyFile(const fs::path& from, const fs::path& to, const std::string& content)
{
  std::error_code ec;
  fs::remove(to, ec);  // never write through a link shared with the template
  WriteAll(to.string(), content);
  fs::permissions(to, fs::status(from).permissions(), ec);
}

}  // namespace

std::string ReadAll(const std::string& path)
{
  std::string text;
  sim::ReadWholeFile(path, &text);
  return text;
}

void WriteAll(const std::string& path, const std::string& text)
{
  fs::create_directories(fs::path(path).parent_path());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << text;
}

bool SameName(const std::string& a, const std::string& b)
{
  return Lower(a) == Lower(b);
}

fs::path FindEntry(const fs::path& dir, const std::string& name)
{
  std::error_code ec;
  if (fs::is_directory(dir, ec)) {
    for (const auto& e : fs::directory_iterator(dir, ec))
      if (SameName(e.path().filename().string(), name))
        return e.path();
  }
  return dir / name;
}

std::string PrefixHostPath(const std::string& prefix, const std::string& windowsPath, bool bCreate)
{
  if (windowsPath.size() < 2 || windowsPath[1] != ':')
    return std::string();
  char letter = (char)std::tolower((unsigned char)windowsPath[0]);
  fs::path p;
  if (letter == 'c') {
    p = fs::path(prefix) / "drive_c";
  } else {
    fs::path link = fs::path(prefix) / "dosdevices" / (std::string(1, letter) + ":");
    std::error_code ec;
    if (!fs::is_symlink(link, ec))
      return std::string();
    p = fs::read_symlink(link, ec);
    if (p.is_relative())
      p = link.parent_path() / p;
  }
  std::vector<std::string> parts;
  std::string part;
  for (size_t i = 2; i <= windowsPath.size(); ++i) {
    if (i == windowsPath.size() || windowsPath[i] == '\\' || windowsPath[i] == '/') {
      if (!part.empty())
        parts.push_back(part);
      part.clear();
    } else {
      part += windowsPath[i];
    }
  }
  for (size_t i = 0; i < parts.size(); ++i) {
    p = FindEntry(p, parts[i]);
    if (bCreate && i + 1 < parts.size())
      fs::create_directories(p);
  }
  return p.string();
}

// --- Stand-ins --------------------------------------------------------------

CStandins::CStandins(const std::string& recorderFile) : m_recorder(ReadAll(recorderFile)) {}

// What Windows would start: programs, and the disc's hand-off programs,
// which carry .dat names.
bool CStandins::IsProgramName(const std::string& name) const
{
  std::string ext = Lower(fs::path(name).extension().string());
  return ext == ".exe" || ext == ".com" || ext == ".dat" || ext == ".bat";
}

std::string CStandins::Wrap(const std::string& original) const
{
  return m_recorder + kMarker + (original.empty() ? std::string("-") : "+" + original);
}

void CStandins::SetProgram(const std::string& program, bool bHad, const std::string& original)
{
  m_program = program;
  m_bHadProgram = bHad;
  m_programOriginal = original;
}

void CStandins::AddOwnFile(const fs::path& host, const std::string& content)
{
  m_ownFiles[fs::absolute(host).lexically_normal().string()] = content;
}

bool CStandins::IsOwnFile(const fs::path& host, const std::string& content) const
{
  auto it = m_ownFiles.find(fs::absolute(host).lexically_normal().string());
  return it != m_ownFiles.end() && it->second == content;
}

bool CStandins::Unwrap(const std::string& content, std::string* pOriginal, bool* pOurs) const
{
  if (!m_program.empty() && content == m_program) {
    *pOurs = !m_bHadProgram;
    *pOriginal = m_programOriginal;
    return true;
  }
  size_t head = m_recorder.size() + kMarker.size();
  if (m_recorder.empty() || content.size() <= head || content.compare(0, m_recorder.size(), m_recorder) != 0 ||
      content.compare(m_recorder.size(), kMarker.size(), kMarker) != 0)
    return false;
  *pOurs = content[head] == '-';
  *pOriginal = content.substr(head + 1);
  return true;
}

// --- Copying in and out -----------------------------------------------------

void CopyDriveIn(const fs::path& from, const fs::path& to, const CStandins& standins)
{
  fs::create_directories(to);
  for (const auto& e : fs::directory_iterator(from)) {
    fs::path dst = FindEntry(to, e.path().filename().string());
    if (e.is_directory()) {
      CopyDriveIn(e.path(), dst, standins);
      continue;
    }
    std::string content = ReadAll(e.path().string());
    if (standins.IsProgramName(e.path().filename().string()))
      content = standins.Wrap(content);
    CopyFile(e.path(), dst, content);
  }
}

void CopyDriveBack(const fs::path& from, const fs::path& to, const CStandins& standins,
                   const fs::path& templateDrive, fs::file_time_type runStart)
{
  std::error_code ec;
  bool bNewFolder = !fs::exists(to);
  fs::create_directories(to, ec);
  std::set<std::string> seen;
  for (const auto& e : fs::directory_iterator(from, ec)) {
    std::string name = e.path().filename().string();
    fs::path dst = FindEntry(to, name);
    fs::path tmpl = templateDrive.empty() ? fs::path() : FindEntry(templateDrive, name);
    bool bMachines = fs::exists(dst) || fs::is_symlink(dst);
    bool bWines = !templateDrive.empty() && fs::exists(tmpl);
    if (e.is_symlink())
      continue;
    seen.insert(Lower(dst.filename().string()));
    if (e.is_directory()) {
      // A folder of Wine's own in which the run added or removed nothing
      // directly is passed over (its tree is Wine's business).
      if (!bMachines && bWines && fs::last_write_time(e.path(), ec) < runStart) {
        seen.erase(Lower(dst.filename().string()));
        continue;
      }
      CopyDriveBack(e.path(), dst, standins, bWines ? tmpl : fs::path(), runStart);
      continue;
    }
    // A file of Wine's own that the machine does not have stays out, unless
    // the run wrote it.
    if (!bMachines && bWines &&
        (fs::last_write_time(e.path(), ec) < runStart || ReadAll(e.path().string()) == ReadAll(tmpl.string())))
      continue;
    std::string content = ReadAll(e.path().string());
    if (standins.IsOwnFile(e.path(), content))
      continue;
    std::string original;
    bool bOurs = false;
    if (standins.Unwrap(content, &original, &bOurs)) {
      if (bOurs)
        continue;
      content = original;
    }
    if (!bMachines || ReadAll(dst.string()) != content) {
      fs::permissions(dst, fs::perms::owner_write, fs::perm_options::add, ec);
      CopyFile(e.path(), dst, content);
    } else {
      fs::permissions(dst, fs::status(e.path()).permissions(), ec);
    }
  }
  // What the machine had and the prefix no longer has went in the run.
  for (const auto& e : fs::directory_iterator(to, ec))
    if (!seen.count(Lower(e.path().filename().string()))) {
      fs::permissions(e.path(), fs::perms::owner_all, fs::perm_options::add, ec);
      fs::remove_all(e.path(), ec);
    }
  // A folder of Wine's own in which the run left nothing stays out.
  if (bNewFolder && !templateDrive.empty() && fs::is_empty(to, ec))
    fs::remove(to, ec);
}

}  // namespace winerun
