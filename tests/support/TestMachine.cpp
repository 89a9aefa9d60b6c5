#include "TestMachine.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

CTestMachine::CTestMachine()
{
  std::string tmpl = (fs::temp_directory_path() / "setupsim-test-XXXXXX").string();
  std::vector<char> buf(tmpl.begin(), tmpl.end());
  buf.push_back('\0');
  char* p = mkdtemp(buf.data());
  if (p == nullptr)
    throw std::runtime_error("mkdtemp failed");
  m_dir = p;
  fs::create_directories(fs::path(m_dir) / "c" / "WINDOWS" / "SYSTEM");
  fs::create_directories(fs::path(m_dir) / "d");
}

CTestMachine::~CTestMachine()
{
  computer.reset();
  std::error_code ec;
  // Read-only files inside must not stop the clean-up.
  for (auto it = fs::recursive_directory_iterator(m_dir, ec); it != fs::recursive_directory_iterator();
       it.increment(ec))
    fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
  fs::remove_all(m_dir, ec);
}

std::string CTestMachine::Host(const std::string& windowsPath) const
{
  // A network path \\SERVER\SHARE\X lies in unc/SERVER/SHARE/X.
  bool bNetwork = windowsPath.compare(0, 2, "\\\\") == 0;
  if (!bNetwork && (windowsPath.size() < 2 || windowsPath[1] != ':'))
    throw std::runtime_error("not a full path: " + windowsPath);
  std::string rest = windowsPath.substr(2);
  for (char& c : rest)
    if (c == '\\')
      c = '/';
  std::string root = bNetwork ? "unc" : std::string(1, (char)std::tolower((unsigned char)windowsPath[0]));
  return m_dir + "/" + root + (rest.empty() || rest[0] != '/' ? "/" : "") + rest;
}

void CTestMachine::WriteFile(const std::string& windowsPath, const std::string& content)
{
  fs::path host = Host(windowsPath);
  fs::create_directories(host.parent_path());
  std::ofstream out(host, std::ios::binary | std::ios::trunc);
  out << content;
}

void CTestMachine::MakeDir(const std::string& windowsPath)
{
  fs::create_directories(Host(windowsPath));
}

void CTestMachine::SetReadOnly(const std::string& windowsPath)
{
  fs::permissions(Host(windowsPath), fs::perms::owner_write | fs::perms::group_write |
                                         fs::perms::others_write,
                  fs::perm_options::remove);
}

// Finds a host path by matching each name without regard to case.
static std::optional<fs::path> FindNoCase(const std::string& root, const std::string& rel)
{
  fs::path cur = root;
  std::stringstream ss(rel);
  std::string part;
  while (std::getline(ss, part, '/')) {
    if (part.empty())
      continue;
    std::error_code ec;
    bool found = false;
    for (const auto& e : fs::directory_iterator(cur, ec)) {
      std::string name = e.path().filename().string();
      if (name.size() == part.size() &&
          std::equal(name.begin(), name.end(), part.begin(), [](char a, char b) {
            return std::tolower((unsigned char)a) == std::tolower((unsigned char)b);
          })) {
        cur = e.path();
        found = true;
        break;
      }
    }
    if (!found)
      return std::nullopt;
  }
  return cur;
}

std::optional<std::string> CTestMachine::ReadFile(const std::string& windowsPath) const
{
  std::string host = Host(windowsPath);
  auto found = FindNoCase(m_dir, host.substr(m_dir.size()));
  if (!found || !fs::is_regular_file(*found))
    return std::nullopt;
  std::ifstream in(*found, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

bool CTestMachine::Exists(const std::string& windowsPath) const
{
  std::string host = Host(windowsPath);
  return FindNoCase(m_dir, host.substr(m_dir.size())).has_value();
}

void CTestMachine::SetRegistry(const std::string& regeditText)
{
  std::ofstream out(fs::path(m_dir) / "registry.reg", std::ios::binary | std::ios::trunc);
  out << regeditText;
}

std::string CTestMachine::ReadRegistryFile() const
{
  std::ifstream in(fs::path(m_dir) / "registry.reg", std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

sim::CSimComputer& CTestMachine::Load()
{
  std::string err;
  computer = sim::CSimComputer::Load(m_dir, options, &err);
  if (!computer)
    throw std::runtime_error("machine did not load: " + err);
  return *computer;
}

sim::RunOutcome CTestMachine::Run()
{
  Load();
  sim::RunOutcome r = sim::RunLauncher(*computer);
  std::string err;
  EXPECT_TRUE(computer->Save(&err)) << err;
  return r;
}

std::string JoinEvents(const sim::RunOutcome& outcome)
{
  std::string s;
  for (const auto& e : outcome.events)
    s += e + "\n";
  return s;
}
