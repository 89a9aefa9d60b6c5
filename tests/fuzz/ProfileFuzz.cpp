// The simulator's profile engine: a write of a key changes that key's line or adds one and leaves every other
// byte; a read of what was written gives it back; writing it again changes nothing; removing it leaves at
// most its line gone. Input: SECTION NUL KEY NUL VALUE NUL TEXT. Names and value are made what a program can
// write: no line breaks, no blanks around them, no '=' in a key nor ']' in a section, a key that does not
// open like a section line.
#include <algorithm>
#include <cstring>

#include "FuzzCheck.h"
#include "sim/SimProfile.h"

// No line breaks nor the characters dropped; a key ('=' dropped) also without the '[' that would open it like
// a section line.
static std::string Writable(std::string s, const char* pszDrop)
{
  s.erase(std::remove_if(s.begin(), s.end(), [&](char c) { return c == '\r' || c == '\n' || std::strchr(pszDrop, c); }),
          s.end());
  return sim::TrimBlanks(s.substr(std::min(s.find_first_not_of(pszDrop[0] == '=' ? "[ \t" : ""), s.size())));
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
  auto parts = SplitInput(data, size, 4);
  const std::string section = Writable(parts[0], "]"), key = Writable(parts[1], "="), value = Writable(parts[2], "");
  const std::string& text = parts[3];
  if (section.empty() || key.empty())
    return 0;
  const std::string written = sim::ProfileSet(text, section, &key, &value);
  const std::string what = "[" + section + "] " + key + "=" + value;
  // Read back as GetPrivateProfileString gives a value: enclosing quotes removed.
  const bool bQuoted = value.size() >= 2 && (value[0] == '"' || value[0] == '\'') && value.back() == value[0];
  FUZZ_CHECK(sim::ProfileGet(written, section, key) == (bQuoted ? value.substr(1, value.size() - 2) : value),
             "read back " + what);
  FUZZ_CHECK(WriteFault(text, written, section, key, value).empty(),
             what + ": " + WriteFault(text, written, section, key, value));
  FUZZ_CHECK(sim::ProfileSet(written, section, &key, &value) == written, "written twice: " + what);
  // Removing the key takes its one line away, or nothing.
  auto a = SplitKeepingBreaks(CrToCrLf(text));
  auto b = SplitKeepingBreaks(CrToCrLf(sim::ProfileSet(text, section, &key, nullptr)));
  size_t pre = std::mismatch(b.begin(), b.end(), a.begin(), a.end()).first - b.begin();
  FUZZ_CHECK(a == b || (a.size() == b.size() + 1 && std::equal(b.begin() + pre, b.end(), a.begin() + pre + 1)),
             "removing " + what + " took more than its line");
  return 0;
}
