// What the fuzz targets share: a broken invariant ends the run with a message and an abort, so that libFuzzer
// keeps the input that broke it.
#ifndef TESTS_FUZZ_FUZZCHECK_H
#define TESTS_FUZZ_FUZZCHECK_H

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/Platform.h"
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
  static std::string s_root = (std::filesystem::exists("/dev/shm") ? "/dev/shm" : "/tmp") + std::string("/fuzz-");
  std::string tmpl = s_root + pszName + "-XXXXXX";
  s_root = mkdtemp(&tmpl[0]);
  std::atexit([] { std::filesystem::remove_all(s_root); });
  return s_root;
}

// Runs the launcher's code over a test platform while in scope.
struct CPlatformScope {
  explicit CPlatformScope(IPlatform* p) : m_pPrevious(Platform()) { SetPlatform(p); }
  ~CPlatformScope() { SetPlatform(m_pPrevious); }
  IPlatform* m_pPrevious;
};

// The text's lines, each with its line break.
inline std::vector<std::string> SplitKeepingBreaks(const std::string& text)
{
  std::vector<std::string> lines;
  for (size_t pos = 0, end; pos < text.size(); pos = end)
    lines.push_back(text.substr(pos, (end = std::min(text.find('\n', pos), text.size() - 1) + 1) - pos));
  return lines;
}

inline std::string WithoutBreak(const std::string& line) { return line.substr(0, line.find_last_not_of("\r\n") + 1); }

inline std::string CrToCrLf(const std::string& text)
{
  std::string out;
  for (size_t i = 0; i < text.size(); ++i)
    if ((out += text[i]).back() == '\r' && (i + 1 == text.size() || text[i + 1] != '\n'))
      out += '\n';
  return out;
}

// "" when `after` is `before` changed only as a profile write of key=value in section may change it: one
// line of the key replaced, or new lines added (the key's; a section line and a blank line before a new
// section; a CR LF ending a last line that had none), every other byte kept; else what else changed.
inline std::string WriteDiffFault(const std::string& before, const std::string& after,
                                  const std::string& section, const std::string& key, const std::string& value)
{
  auto a = SplitKeepingBreaks(before), b = SplitKeepingBreaks(after);
  const size_t pre = std::mismatch(a.begin(), a.end(), b.begin(), b.end()).first - a.begin();
  const size_t post = std::mismatch(a.rbegin(), a.rend() - pre, b.rbegin(), b.rend() - pre).first - a.rbegin();
  std::vector<std::string> gone(a.begin() + pre, a.end() - post), added(b.begin() + pre, b.end() - post);
  auto isKeyLine = [&](const std::string& line) {
    std::string t = sim::TrimBlanks(WithoutBreak(line));
    return t.find('=') != std::string::npos && sim::EqualNoCase(sim::TrimBlanks(t.substr(0, t.find('='))), key) &&
           t.substr(t.find('=') + 1) == value;
  };
  // A last line without a break may get one before what follows it.
  if (gone.size() == 1 && !added.empty() && added[0] == gone[0] + "\r\n" && gone[0].find('\n') == std::string::npos)
    gone.clear(), added.erase(added.begin());
  if (gone.size() > 1)
    return "more than one line replaced: " + gone[0] + " / " + gone[1];
  if (gone.size() == 1 && (added.size() != 1 || !isKeyLine(added[0])))
    return "line \"" + WithoutBreak(gone[0]) + "\" replaced by other than the key's";
  if (gone.size() == 1)  // the key's line keeps its break
    return gone[0].size() - WithoutBreak(gone[0]).size() == added[0].size() - WithoutBreak(added[0]).size()
               ? "" : "the key's line lost its line break";
  for (const auto& line : added)
    if (!isKeyLine(line) && line != "\r\n" && line != "[" + section + "]\r\n")
      return "added a line that is no part of the write: " + line;
  return std::count_if(added.begin(), added.end(), isKeyLine) == 1 || (added.empty() && before == after)
             ? "" : "the key's line not added once";
}

// The same, lines that ended in a CR alone allowed to end in CR LF, as Windows writes them.
inline std::string WriteFault(const std::string& before, const std::string& after, const std::string& section,
                              const std::string& key, const std::string& value)
{
  const std::string fault = WriteDiffFault(before, after, section, key, value);
  return fault.empty() || WriteDiffFault(CrToCrLf(before), after, section, key, value).empty() ? "" : fault;
}

#endif
