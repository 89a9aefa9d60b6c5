#include "StandinLog.h"

#include <windows.h>

namespace standin {

std::string Env(const char* pszName)
{
  char sz[1024];
  DWORD n = GetEnvironmentVariableA(pszName, sz, sizeof sz);
  if (n == 0 || n >= sizeof sz)
    return std::string();
  return std::string(sz, n);
}

bool SameText(const std::string& a, const std::string& b)
{
  return lstrcmpiA(a.c_str(), b.c_str()) == 0;
}

std::string Quote(const std::string& text)
{
  std::string out = "\"";
  for (char c : text) {
    out += c;
    if (c == '"')
      out += '"';
  }
  return out + "\"";
}

void AppendLine(const char* pszEnvVar, const std::string& line)
{
  std::string path = Env(pszEnvVar);
  if (path.empty())
    return;
  HANDLE hMutex = CreateMutexA(nullptr, FALSE, "SetupTestEventLog");
  if (hMutex)
    WaitForSingleObject(hMutex, 10000);
  HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                         OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h != INVALID_HANDLE_VALUE) {
    SetFilePointer(h, 0, nullptr, FILE_END);
    std::string text = line + "\n";
    DWORD cb = 0;
    WriteFile(h, text.data(), (DWORD)text.size(), &cb, nullptr);
    CloseHandle(h);
  }
  if (hMutex) {
    ReleaseMutex(hMutex);
    CloseHandle(hMutex);
  }
}

bool CJob::Load()
{
  std::string path = Env("SETUPTEST_JOB");
  if (path.empty())
    return false;
  HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                         OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE)
    return false;
  std::string text;
  char buf[4096];
  DWORD cb = 0;
  while (ReadFile(h, buf, sizeof buf, &cb, nullptr) && cb > 0)
    text.append(buf, cb);
  CloseHandle(h);
  size_t pos = 0;
  while (pos < text.size()) {
    size_t end = text.find('\n', pos);
    if (end == std::string::npos)
      end = text.size();
    std::string line = text.substr(pos, end - pos);
    if (!line.empty() && line.back() == '\r')
      line.pop_back();
    size_t eq = line.find('=');
    if (eq != std::string::npos)
      m_entries.emplace_back(line.substr(0, eq), line.substr(eq + 1));
    pos = end + 1;
  }
  return true;
}

std::string CJob::Get(const std::string& key, const std::string& def) const
{
  for (const auto& e : m_entries)
    if (e.first == key)
      return e.second;
  return def;
}

std::vector<std::string> CJob::GetAll(const std::string& key) const
{
  std::vector<std::string> out;
  for (const auto& e : m_entries)
    if (e.first == key)
      out.push_back(e.second);
  return out;
}

}  // namespace standin
