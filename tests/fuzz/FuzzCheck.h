// What the fuzz targets share: a broken invariant ends the run with a
// message and an abort, so that libFuzzer keeps the input that broke it.
#ifndef TESTS_FUZZ_FUZZCHECK_H
#define TESTS_FUZZ_FUZZCHECK_H

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/Platform.h"

#define FUZZ_CHECK(cond, what) \
  ((cond) ? (void)0 : (std::fprintf(stderr, "invariant broken: %s\n  %s\n", #cond, std::string(what).c_str()), std::abort()))

// The input's parts: the bytes up to each of the first (n - 1) NUL bytes, then the rest.
inline std::vector<std::string> SplitInput(const uint8_t* data, size_t size, size_t n)
{
  std::vector<std::string> parts;
  const std::string all(reinterpret_cast<const char*>(data), size);
  size_t pos = 0, nul;
  while (parts.size() + 1 < n && (nul = all.find('\0', pos)) != std::string::npos) {
    parts.push_back(all.substr(pos, nul - pos));
    pos = nul + 1;
  }
  parts.push_back(all.substr(pos));
  parts.resize(n);
  return parts;
}

// A refusal as setupsim prints it (status 2): one line.
inline bool OneLine(const std::string& s) { return !s.empty() && s.find_first_of("\r\n") == std::string::npos; }

inline std::string ReadFile(const std::string& path)
{
  return (std::stringstream() << std::ifstream(path, std::ios::binary).rdbuf()).str();
}
inline void WriteFile(const std::string& path, const std::string& text, bool bAppend = false)
{
  std::ofstream(path, std::ios::binary | (bAppend ? std::ios::app : std::ios::trunc)) << text;
}

// A folder of its own in memory (or the temporary folder), removed at exit.
inline std::string ScratchFolder(const char* pszName)
{
  namespace fs = std::filesystem;
  static std::string s_root;
  std::string tmpl = (fs::exists("/dev/shm") ? "/dev/shm" : fs::temp_directory_path().string()) +
                     "/fuzz-" + pszName + "-XXXXXX";
  s_root = mkdtemp(&tmpl[0]);
  std::atexit([] { fs::remove_all(s_root); });
  return s_root;
}

// Runs the launcher's code over a test platform while in scope.
struct CPlatformScope {
  explicit CPlatformScope(IPlatform* p) : m_pPrevious(Platform()) { SetPlatform(p); }
  ~CPlatformScope() { SetPlatform(m_pPrevious); }
  IPlatform* m_pPrevious;
};

#endif
