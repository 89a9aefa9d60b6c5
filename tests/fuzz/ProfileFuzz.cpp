// The simulator's profile engine: a write of a key changes that key's line
// or adds one and leaves every other byte; a read of what was written gives
// it back; writing it again changes nothing; removing it leaves at most its
// line gone.
//
// Input: SECTION NUL KEY NUL VALUE NUL TEXT. Names and value are made what a
// program can write: no line breaks, no blanks around them, no '=' in a key
// nor ']' in a section, a key that does not open like a section line.
#include <algorithm>
#include <cstring>

#include "FuzzCheck.h"
#include "ProfileDiff.h"
#include "sim/SimProfile.h"

namespace {

std::string Writable(std::string s, const char* pszDrop)
{
  s.erase(std::remove_if(s.begin(), s.end(),
                         [&](char c) { return c == '\r' || c == '\n' || std::strchr(pszDrop, c); }),
          s.end());
  return sim::TrimBlanks(s);
}

// As GetPrivateProfileString gives a value back: enclosing quotes removed.
std::string AsRead(const std::string& v)
{
  if (v.size() >= 2 && (v[0] == '"' || v[0] == '\'') && v.back() == v[0])
    return v.substr(1, v.size() - 2);
  return v;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
  auto parts = SplitInput(data, size, 4);
  const std::string section = Writable(parts[0], "]");
  std::string key = Writable(parts[1], "=");
  while (!key.empty() && key[0] == '[')
    key.erase(0, 1);
  key = sim::TrimBlanks(key);
  const std::string value = Writable(parts[2], "");
  const std::string& text = parts[3];
  if (section.empty() || key.empty())
    return 0;

  const std::string written = sim::ProfileSet(text, section, &key, &value);
  const std::string what = "[" + section + "] " + key + "=" + value;
  FUZZ_CHECK(sim::ProfileGet(written, section, key) == AsRead(value), "read back " + what);
  const std::string fault = fuzz::WriteDiffFault(text, written, section, key, value);
  FUZZ_CHECK(fault.empty() ||
                 fuzz::WriteDiffFault(fuzz::CrToCrLf(text), written, section, key, value).empty(),
             what + ": " + fault);
  FUZZ_CHECK(sim::ProfileSet(written, section, &key, &value) == written, "written twice: " + what);

  // Removing the key takes its one line away, or nothing.
  const std::string removed = sim::ProfileSet(text, section, &key, nullptr);
  auto a = fuzz::SplitKeepingBreaks(fuzz::CrToCrLf(text));
  auto b = fuzz::SplitKeepingBreaks(fuzz::CrToCrLf(removed));
  size_t pre = 0;
  while (pre < b.size() && a[pre] == b[pre])
    ++pre;
  FUZZ_CHECK(a == b || (a.size() == b.size() + 1 &&
                        std::equal(b.begin() + pre, b.end(), a.begin() + pre + 1)),
             "removing " + what + " took more than its line");
  return 0;
}
