// The simulator's profile engine: a write of a key changes that key's line or adds one and leaves every other
// byte; a read of what was written gives it back; writing it again changes nothing; removing it leaves at
// most its line gone. Input: SECTION NUL KEY NUL VALUE NUL TEXT. Names and value are made what a program can
// write: no line breaks, no blanks around them, no '=' in a key nor ']' in a section, a key that does not
// open like a section line.
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

// The text's lines, each with its line break, lines that ended in a CR alone ending in CR LF when bCrLf.
static std::vector<std::string> Lines(const std::string& text, bool bCrLf)
{
  std::string t;
  for (size_t i = 0; i < text.size(); ++i)
    if ((t += text[i]).back() == '\r' && bCrLf && (i + 1 == text.size() || text[i + 1] != '\n'))
      t += '\n';
  std::vector<std::string> lines;
  for (size_t pos = 0, end; pos < t.size(); pos = end)
    lines.push_back(t.substr(pos, (end = std::min(t.find('\n', pos), t.size() - 1) + 1) - pos));
  return lines;
}

static std::string WithoutBreak(const std::string& line) { return line.substr(0, line.find_last_not_of("\r\n") + 1); }
static std::string Break(const std::string& line) { return line.substr(WithoutBreak(line).size()); }

FUZZ_TARGET(0, , input)
{
  auto parts = SplitInput(input, 4);
  const std::string section = Writable(parts[0], "]"), key = Writable(parts[1], "="), value = Writable(parts[2], "");
  const std::string& text = parts[3];
  if (section.empty() || key.empty())
    return;
  const std::string written = sim::ProfileSet(text, section, &key, &value);
  const std::string what = "[" + section + "] " + key + "=" + value;
  // Read back as GetPrivateProfileString gives a value: enclosing quotes removed.
  const bool bQuoted = value.size() >= 2 && (value[0] == '"' || value[0] == '\'') && value.back() == value[0];
  FUZZ_CHECK(sim::ProfileGet(written, section, key) == (bQuoted ? value.substr(1, value.size() - 2) : value),
             "read back " + what);
  FUZZ_CHECK(sim::ProfileSet(written, section, &key, &value) == written, "written twice: " + what);
  auto isKeyLine = [&](const std::string& line) {
    std::string t = sim::TrimBlanks(WithoutBreak(line));
    return t.find('=') != std::string::npos && sim::EqualNoCase(sim::TrimBlanks(t.substr(0, t.find('='))), key) &&
           t.substr(t.find('=') + 1) == value;
  };
  // "" when the write changed only what a write of the key may: one line of the key replaced, or new lines
  // added (the key's; a section line and a blank line before a new section; a CR LF ending a last line that
  // had none), every other byte kept (lines that ended in a CR alone may end in CR LF, as Windows writes them).
  auto fault = [&](bool bCrLf) -> std::string {
    auto a = Lines(text, bCrLf), b = Lines(written, false);
    const size_t pre = std::mismatch(a.begin(), a.end(), b.begin(), b.end()).first - a.begin();
    const size_t post = std::mismatch(a.rbegin(), a.rend() - pre, b.rbegin(), b.rend() - pre).first - a.rbegin();
    std::vector<std::string> gone(a.begin() + pre, a.end() - post), added(b.begin() + pre, b.end() - post);
    // A last line without a break may get one before what follows it.
    if (gone.size() == 1 && !added.empty() && added[0] == gone[0] + "\r\n" && gone[0].find('\n') == std::string::npos)
      gone.clear(), added.erase(added.begin());
    if (gone.size() > 1)
      return "more than one line replaced: " + gone[0] + " / " + gone[1];
    if (gone.size() == 1)  // by the key's, keeping its break
      return added.size() == 1 && isKeyLine(added[0]) && Break(gone[0]) == Break(added[0])
                 ? "" : "line \"" + WithoutBreak(gone[0]) + "\" not replaced by the key's with its break";
    for (const auto& line : added)
      if (!isKeyLine(line) && line != "\r\n" && line != "[" + section + "]\r\n")
        return "added a line that is no part of the write: " + line;
    return std::count_if(added.begin(), added.end(), isKeyLine) == 1 || (added.empty() && a == b)
               ? "" : "the key's line not added once";
  };
  FUZZ_CHECK(fault(false).empty() || fault(true).empty(), what + ": " + fault(false));
  // Removing the key takes its one line away, or nothing.
  auto a = Lines(text, true), b = Lines(sim::ProfileSet(text, section, &key, nullptr), true);
  size_t pre = std::mismatch(b.begin(), b.end(), a.begin(), a.end()).first - b.begin();
  FUZZ_CHECK(a == b || (a.size() == b.size() + 1 && std::equal(b.begin() + pre, b.end(), a.begin() + pre + 1)),
             "removing " + what + " took more than its line");
}
