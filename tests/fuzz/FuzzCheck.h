// What the fuzz targets share: a broken invariant ends the run with a message and an abort, so that libFuzzer
// keeps the input that broke it. The file in memory under the stream serves its unit test too.
#ifndef TESTS_FUZZ_FUZZCHECK_H
#define TESTS_FUZZ_FUZZCHECK_H

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <sstream>
#include <string>
#include <vector>

#include "platform/Platform.h"
#include "platform/win32/StreamBuffer.h"
#include "sim/SimComputer.h"
#include "sim/SimText.h"

#define FUZZ_CHECK(cond, what)                                                                   \
  ((cond) ? (void)0                                                                              \
          : (std::fprintf(stderr, "invariant broken: %s\n  %s\n", #cond, std::string(what).c_str()), std::abort()))

// The input's parts: the bytes up to each of the first (n - 1) NUL bytes, then the rest.
inline std::vector<std::string> SplitInput(const uint8_t* data, size_t size, size_t n)
{
  std::vector<std::string> parts;
  const char *p = reinterpret_cast<const char*>(data), *end = p + size, *nul;
  for (; parts.size() + 1 < n && (nul = static_cast<const char*>(std::memchr(p, 0, end - p))); p = nul + 1)
    parts.emplace_back(p, nul);
  parts.emplace_back(p, end);
  parts.resize(n);
  return parts;
}
inline auto SplitInput(const std::string& s, size_t n) { return SplitInput((const uint8_t*)s.data(), s.size(), n); }

// The entry point: an input shorter than cbHead is skipped; the body gets its first cbHead bytes as head and
// the rest as text.
#define FUZZ_TARGET(cbHead, head, text)                                                            \
  static void FuzzOne(const uint8_t* head, const std::string& text);                               \
  extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)                          \
  {                                                                                                \
    if (size >= (cbHead))                                                                          \
      FuzzOne(data, std::string(reinterpret_cast<const char*>(data) + (cbHead), size - (cbHead))); \
    return 0;                                                                                      \
  }                                                                                                \
  static void FuzzOne(const uint8_t* head, const std::string& text)

// A refusal as setupsim prints it (status 2): one line.
inline bool OneLine(const std::string& s) { return !s.empty() && s.find_first_of("\r\n") == std::string::npos; }

inline std::string ReadFile(const std::string& path)
{
  return (std::stringstream() << std::ifstream(path, std::ios::binary).rdbuf()).str();
}
inline void WriteFile(const std::string& path, const std::string& text)
{
  std::ofstream(path, std::ios::binary) << text;
}

// A folder of its own in memory (or the temporary folder), holding the given folders; every such folder is
// removed at exit.
inline std::string ScratchFolder(const char* pszName, std::initializer_list<const char*> folders = {})
{
  static std::vector<std::string> s_made;
  std::string root = std::string(std::filesystem::exists("/dev/shm") ? "/dev/shm" : "/tmp") + "/fuzz-" + pszName;
  root += "-XXXXXX";
  FUZZ_CHECK(mkdtemp(&root[0]) != nullptr, root);
  for (const char* pszFolder : folders)
    std::filesystem::create_directories(root + pszFolder);
  if (s_made.empty())
    std::atexit([] { for (const std::string& made : s_made) std::filesystem::remove_all(made); });
  s_made.push_back(root);
  return root;
}

// A file in memory with the raw semantics of a Win32 file handle; reads give at most cbMaxRead bytes (0: any).
struct CMemFile : IRawFile {
  explicit CMemFile(std::string s, size_t cbMaxRead = 0) : m_data(std::move(s)), m_cbMaxRead(cbMaxRead) {}
  BOOL Read(void* p, DWORD cb, DWORD* pcb) override
  {
    ++m_nReads;
    const size_t cbMost = m_cbMaxRead ? std::min<size_t>(cb, m_cbMaxRead) : cb;
    m_pos += *pcb = (DWORD)m_data.copy((char*)p, cbMost, std::min(m_pos, m_data.size()));
    return TRUE;
  }
  BOOL Write(const void* p, DWORD cb, DWORD* pcb) override
  {
    if (m_bFailWrites)
      return *pcb = 0, FALSE;
    m_data.resize(std::max(m_data.size(), m_pos), '\0');
    m_data.replace(m_pos, cb, (const char*)p, cb);
    m_pos += *pcb = cb;
    return TRUE;
  }
  LONG Seek(LONG lOffset, int nOrigin) override
  {
    long long pos = lOffset + (nOrigin == STREAM_SEEK_SET   ? 0
                               : nOrigin == STREAM_SEEK_CUR ? (long long)m_pos : (long long)m_data.size());
    return pos < 0 ? -1 : (LONG)(m_pos = (size_t)pos);
  }
  std::string m_data;
  size_t m_pos = 0, m_cbMaxRead;
  int m_nReads = 0;
  bool m_bFailWrites = false;
};

#endif
