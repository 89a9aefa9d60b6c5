#include "SimProfile.h"

#include "SimText.h"

namespace sim {

namespace {

enum class LineKind { Blank, Other, Section, Key };

struct Line {
  size_t begin = 0;    // offset of the line in the text
  size_t end = 0;      // offset after its line break
  size_t textEnd = 0;  // offset of its line break (end when it has none)
  LineKind kind = LineKind::Blank;
  std::string name;    // section or key name
  std::string value;   // key value, blanks trimmed, quotes kept
};

std::vector<Line> SplitLines(const std::string& text)
{
  std::vector<Line> lines;
  size_t pos = 0;
  while (pos < text.size()) {
    Line ln;
    ln.begin = pos;
    // A line ends in LF, CR LF or a CR alone.
    size_t nl = text.find_first_of("\r\n", pos);
    if (nl == std::string::npos) {
      ln.end = ln.textEnd = text.size();
    } else {
      ln.textEnd = nl;
      ln.end = nl + (text.compare(nl, 2, "\r\n") == 0 ? 2 : 1);
    }
    std::string t = TrimBlanks(text.substr(ln.begin, ln.textEnd - ln.begin));
    // As Windows reads them (probed with Wine): a section line needs its
    // closing bracket; a key line needs '='; nothing else is a comment, so
    // ";k=v" is the key ";k".
    size_t close = t.find(']');
    size_t eq = t.find('=');
    if (t.empty()) {
      ln.kind = LineKind::Blank;
    } else if (t[0] == '[' && close != std::string::npos) {
      ln.kind = LineKind::Section;
      ln.name = TrimBlanks(t.substr(1, close - 1));
    } else if (eq != std::string::npos && eq > 0) {
      ln.kind = LineKind::Key;
      ln.name = TrimBlanks(t.substr(0, eq));
      ln.value = TrimBlanks(t.substr(eq + 1));
    } else {
      ln.kind = LineKind::Other;
    }
    lines.push_back(std::move(ln));
    pos = ln.end;
  }
  return lines;
}

std::string Unquote(const std::string& v)
{
  if (v.size() >= 2 && (v[0] == '"' || v[0] == '\'') && v.back() == v[0])
    return v.substr(1, v.size() - 2);
  return v;
}

// Index range [first, last) of the lines of the first section of that name
// (after its header); first is the header's index. False when missing.
bool FindSection(const std::vector<Line>& lines, const std::string& section, size_t* pHeader,
                 size_t* pEnd)
{
  for (size_t i = 0; i < lines.size(); ++i) {
    if (lines[i].kind != LineKind::Section || !EqualNoCase(lines[i].name, section))
      continue;
    size_t j = i + 1;
    while (j < lines.size() && lines[j].kind != LineKind::Section)
      ++j;
    *pHeader = i;
    *pEnd = j;
    return true;
  }
  return false;
}

}  // namespace

std::optional<std::string> ProfileGet(const std::string& text, const std::string& section,
                                      const std::string& key)
{
  auto lines = SplitLines(text);
  size_t h, e;
  if (!FindSection(lines, section, &h, &e))
    return std::nullopt;
  for (size_t i = h + 1; i < e; ++i)
    if (lines[i].kind == LineKind::Key && EqualNoCase(lines[i].name, key))
      return Unquote(lines[i].value);
  return std::nullopt;
}

std::vector<std::string> ProfileKeys(const std::string& text, const std::string& section)
{
  std::vector<std::string> keys;
  auto lines = SplitLines(text);
  size_t h, e;
  if (!FindSection(lines, section, &h, &e))
    return keys;
  for (size_t i = h + 1; i < e; ++i)
    if (lines[i].kind == LineKind::Key)
      keys.push_back(lines[i].name);
  return keys;
}

std::vector<std::pair<std::string, std::string>> ProfileEntries(const std::string& text,
                                                                const std::string& section)
{
  std::vector<std::pair<std::string, std::string>> entries;
  auto lines = SplitLines(text);
  size_t h, e;
  if (!FindSection(lines, section, &h, &e))
    return entries;
  for (size_t i = h + 1; i < e; ++i)
    if (lines[i].kind == LineKind::Key)
      entries.emplace_back(lines[i].name, Unquote(lines[i].value));
  return entries;
}

std::vector<std::string> ProfileSections(const std::string& text)
{
  std::vector<std::string> names;
  for (const auto& ln : SplitLines(text))
    if (ln.kind == LineKind::Section)
      names.push_back(ln.name);
  return names;
}

namespace {

std::string ProfileChange(const std::string& text, const std::string& section,
                          const std::string* pKey, const std::string* pValue)
{
  auto lines = SplitLines(text);
  size_t h, e;
  bool haveSection = FindSection(lines, section, &h, &e);
  if (pKey == nullptr) {
    if (!haveSection)
      return text;
    size_t from = lines[h].begin;
    size_t to = e < lines.size() ? lines[e].begin : text.size();
    return text.substr(0, from) + text.substr(to);
  }
  if (!haveSection) {
    if (pValue == nullptr)
      return text;
    // A new section at the end of the file, after a blank line.
    std::string out = text;
    if (!out.empty() && out.back() != '\n')
      out += "\r\n";
    if (!out.empty() && !lines.empty() && lines.back().kind != LineKind::Blank)
      out += "\r\n";
    out += "[" + section + "]\r\n" + *pKey + "=" + *pValue + "\r\n";
    return out;
  }
  for (size_t i = h + 1; i < e; ++i) {
    const Line& ln = lines[i];
    if (ln.kind != LineKind::Key || !EqualNoCase(ln.name, *pKey))
      continue;
    if (pValue == nullptr)
      return text.substr(0, ln.begin) + text.substr(ln.end);
    if (ln.value == *pValue)
      return text;  // the same value: the file is not touched
    // The key keeps its spelling; the line keeps its line break.
    return text.substr(0, ln.begin) + ln.name + "=" + *pValue + text.substr(ln.textEnd);
  }
  if (pValue == nullptr)
    return text;
  // A new key after the section's last non-blank line.
  size_t last = h;
  for (size_t i = h + 1; i < e; ++i)
    if (lines[i].kind != LineKind::Blank)
      last = i;
  const Line& after = lines[last];
  std::string out = text.substr(0, after.end);
  if (after.end == after.textEnd)  // the file's last line, without a break
    out += "\r\n";
  out += *pKey + "=" + *pValue + "\r\n";
  out += text.substr(after.end);
  return out;
}

// The text with every line that ends in a CR alone ended in CR LF.
std::string WithCrLf(const std::string& text)
{
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    out += text[i];
    if (text[i] == '\r' && (i + 1 == text.size() || text[i + 1] != '\n'))
      out += '\n';
  }
  return out;
}

}  // namespace

// A change rewrites every line that ends in a CR alone to end in CR LF, as
// Wine writes them (probed); a write that changes nothing leaves the file.
std::string ProfileSet(const std::string& original, const std::string& section,
                       const std::string* pKey, const std::string* pValue)
{
  std::string text = WithCrLf(original);
  std::string changed = ProfileChange(text, section, pKey, pValue);
  return changed == text ? original : changed;
}

}  // namespace sim
