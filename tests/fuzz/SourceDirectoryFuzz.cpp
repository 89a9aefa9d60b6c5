// The source directory, from any program path and current directory, with paths completed as the simulated
// computer's GetFullPathNameA completes them (as Windows does). Invariant: the result is missing (empty) or a
// full path ("X:\...", or "\\server\share\..." with the server named) of at most 259 characters ending in a
// backslash; and for a program path that Windows could start (no '/', no control character, a colon only after a
// drive letter) the result followed by the program's file name is the program, completed (never the program file
// itself taken for a folder). Input: how the program was started (0: quoted command line, 1: unquoted with
// arguments, 2: empty command line, the module file name), then PROGRAM NUL CURRENT-DIRECTORY.
#include <cctype>

#include "FuzzCheck.h"
#include "FailingPlatform.h"
#include "install/LaunchContext.h"
#include "sim/SimFileSystem.h"

// The path completed against the current directory without looking at any drive, as the simulated
// GetFullPathNameA completes it; "" when it cannot be.
static std::string Full(const std::string& path, const std::string& cwd)
{
  static const sim::CSimFileSystem s_fs("/nonexistent", "");
  sim::WinPath p;
  if (path.empty() || !s_fs.MakeFull(path, cwd, &p))
    return "";
  return p.Format() + (!p.parts.empty() && (path.back() == '\\' || path.back() == '/') ? "\\" : "");
}

struct CStartPlatform : CFailingPlatform {
  CStartPlatform(std::string commandLine, std::string module, std::string cwd)
      : m_cmd(std::move(commandLine)), m_module(std::move(module)), m_cwd(std::move(cwd)) {}
  LPSTR GetCommandLineA() override { return &m_cmd[0]; }
  DWORD GetModuleFileNameA(HMODULE, LPSTR psz, DWORD nSize) override { return Out(m_module, psz, nSize, true); }
  DWORD GetCurrentDirectoryA(DWORD nSize, LPSTR psz) override { return Out(m_cwd, psz, nSize, true); }
  DWORD GetFullPathNameA(LPCSTR pszName, DWORD nSize, LPSTR psz, LPSTR* ppszFilePart) override
  {
    FUZZ_CHECK(ppszFilePart == nullptr, "asked for the file part");
    const std::string full = Full(pszName, m_cwd);
    return full.empty() ? 0 : Out(full, psz, nSize, false);
  }
  // Cut to the buffer, as GetModuleFileNameA; or, as GetFullPathNameA, the size needed when it does not fit.
  static DWORD Out(const std::string& s, LPSTR psz, DWORD nSize, bool bCut)
  {
    if (!bCut && s.size() >= nSize)
      return (DWORD)s.size() + 1;
    const DWORD n = s.size() < nSize ? (DWORD)s.size() : nSize - 1;
    return std::memcpy(psz, s.data(), n), psz[n] = '\0', n;
  }

  std::string m_cmd, m_module, m_cwd;
};

FUZZ_TARGET(1, head, input)
{
  auto parts = SplitInput(input, 2);
  const std::string& program = parts[0];
  if (program.find('"') != std::string::npos)
    return;  // no command line or module name holds a quote
  const int mode = head[0] % 3;
  // The current directory is always a full path; a given one that is not stands for C:\.
  std::string cwd = parts[1].find('\0') == std::string::npos ? Full(parts[1], "C:\\") : "";
  if (cwd.empty() || cwd.size() > 259)
    cwd = "C:\\";
  else if (cwd.size() > 3 && cwd.back() == '\\')
    cwd.pop_back();
  CStartPlatform platform(mode == 0 ? "\"" + program + "\" /AP" : mode == 1 ? program + " /AP" : "", program, cwd);
  char szDir[MAX_PATH + 64];
  std::memset(szDir, 'X', sizeof szDir);
  sim::CPlatformScope scope(&platform);
  const BOOL bFound = ResolveSourceDirectory(szDir);

  // What the launcher took for its program path: up to a blank unless quoted.
  const std::string taken = mode == 1 ? program.substr(0, program.find_first_of(" \t")) : program;
  const std::string what = "program \"" + taken + "\" in \"" + cwd + "\"";
  FUZZ_CHECK(std::memchr(szDir, '\0', MAX_PATH) != nullptr, what + ": no terminator within MAX_PATH");
  const std::string dir = szDir;
  FUZZ_CHECK(bFound == !dir.empty(), what + ": result and return value disagree");
  if (dir.empty())
    return;
  const bool bDrive = dir.size() >= 3 && dir[1] == ':' && dir[2] == '\\' && std::isalpha((unsigned char)dir[0]);
  // "\\server\...\": a named server and more (a server alone holds no files).
  const size_t iServerEnd = dir.compare(0, 2, "\\\\") == 0 ? dir.find('\\', 2) : 0;
  const bool bShare = iServerEnd > 2 && iServerEnd != std::string::npos && iServerEnd + 1 < dir.size();
  FUZZ_CHECK(dir.size() <= 259 && dir.back() == '\\' && (bDrive || bShare), what + ": got " + dir);
  // The program's file name; a path ending in ".", ".." or a backslash names a folder, not a program file,
  // and is not judged further.
  size_t cut = taken.find_last_of("\\/");
  cut = cut == std::string::npos && taken.size() >= 2 && taken[1] == ':' ? 1 : cut;
  const std::string name = cut == std::string::npos ? taken : taken.substr(cut + 1), full = Full(taken, cwd);
  bool bPlain = taken.find('/') == std::string::npos && !full.empty() &&
                name.find_last_not_of(". ") != std::string::npos;
  for (size_t i = 0; i < taken.size(); ++i)
    bPlain = bPlain && (unsigned char)taken[i] >= 0x20 &&
             (taken[i] != ':' || (i == 1 && std::isalpha((unsigned char)taken[0])));
  FUZZ_CHECK(!bPlain || !sim::EqualNoCase(Full(dir, cwd), full + "\\"), what + ": the program taken for a folder");
  FUZZ_CHECK(!bPlain || sim::EqualNoCase(Full(dir + name, cwd), full), what + ": " + dir + " does not hold " + full);
}
