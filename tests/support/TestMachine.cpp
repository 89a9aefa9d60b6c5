#include "TestMachine.h"

#include <cctype>

#include "tests/fuzz/FuzzCheck.h"

namespace fs = std::filesystem;

CTestMachine::CTestMachine()
{
  std::string tmpl = (fs::temp_directory_path() / "setupsim-test-XXXXXX").string();
  if (mkdtemp(&tmpl[0]) == nullptr)
    throw std::runtime_error("mkdtemp failed");
  m_dir = tmpl;
  fs::create_directories(fs::path(m_dir) / "c" / "WINDOWS" / "SYSTEM");
  fs::create_directories(fs::path(m_dir) / "d");
}

CTestMachine::~CTestMachine()
{
  computer.reset();
  std::error_code ec;
  fs::remove_all(m_dir, ec);
}

// DIR/c/A/b.txt for "C:\\A\\b.txt", DIR/unc/SERVER/SHARE/X for
// "\\\\SERVER\\SHARE\\X"; through the computer once it is loaded.
std::string CTestMachine::Host(const std::string& windowsPath) const
{
  if (computer)
    return computer->HostPath(windowsPath);
  bool bNetwork = windowsPath.compare(0, 2, "\\\\") == 0;
  std::string rest = windowsPath.substr(2);
  for (char& c : rest)
    if (c == '\\')
      c = '/';
  return m_dir + "/" + (bNetwork ? "unc" : std::string(1, (char)std::tolower(windowsPath[0]))) +
         (rest.empty() || rest[0] != '/' ? "/" : "") + rest;
}

void CTestMachine::WriteFile(const std::string& windowsPath, const std::string& content, bool bReadOnly)
{
  fs::path host = Host(windowsPath);
  fs::create_directories(host.parent_path());
  ::WriteFile(host, content);
  if (bReadOnly)
    fs::permissions(host, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
}

void CTestMachine::MakeDir(const std::string& windowsPath) { fs::create_directories(Host(windowsPath)); }

void CTestMachine::SetRegistry(const std::string& regeditText)
{
  ::WriteFile(m_dir + "/registry.reg", regeditText);
}

std::optional<std::string> CTestMachine::ReadFile(const std::string& windowsPath) const
{
  const std::string host = Host(windowsPath);
  return fs::is_regular_file(host) ? std::optional(::ReadFile(host)) : std::nullopt;
}

bool CTestMachine::Exists(const std::string& windowsPath) const { return fs::exists(Host(windowsPath)); }

std::string WithEol(std::string s, const std::string& eol)
{
  for (size_t pos = s.find('\n'); pos != std::string::npos; pos = s.find('\n', pos + eol.size()))
    s.replace(pos, 1, eol);
  return s;
}
