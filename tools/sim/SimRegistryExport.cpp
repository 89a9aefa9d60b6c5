// Writing the registry back as REGEDIT4 text: the file read, with only the
// changes made since applied to it, and the value notation that the change
// report shares.
#include <cstdio>
#include <map>
#include <set>

#include "SimRegistry.h"
#include "SimText.h"

namespace sim {

namespace {

std::string Escape(const std::string& s)
{
  std::string r;
  for (char c : s) {
    if (c == '\\' || c == '"')
      r += '\\';
    r += c;
  }
  return r;
}

// A string that is exactly text plus one terminator, without line breaks,
// is written as text; anything else keeps its bytes in hex form.
bool PlainText(const RegValue& v, std::string* pText)
{
  if (v.type != 1 || v.data.empty() || v.data.back() != 0)
    return false;
  std::string s(v.data.begin(), v.data.end() - 1);
  if (s.find_first_of(std::string("\0\r\n", 3)) != std::string::npos)
    return false;
  *pText = s;
  return true;
}

std::string NamePart(const RegValue& v)
{
  return v.name.empty() ? "@=" : "\"" + Escape(v.name) + "\"=";
}

std::string HexPrefix(const RegValue& v)
{
  if (v.type == 3)
    return "hex:";
  char buf[24];
  std::snprintf(buf, sizeof buf, "hex(%x):", v.type);
  return buf;
}

std::string HexByte(unsigned char b)
{
  char buf[4];
  std::snprintf(buf, sizeof buf, "%02x", b);
  return buf;
}

bool EndsInBlankLine(const std::string& out)
{
  size_t n = out.size();
  if (n >= 2 && out[n - 1] == '\n' && out[n - 2] == '\n')
    return true;
  return n >= 3 && out.compare(n - 3, 3, "\n\r\n") == 0;
}

}  // namespace

bool SameData(const RegValue& a, const RegValue& b)
{
  return a.type == b.type && a.data == b.data;
}

std::string RegDataText(const RegValue& v)
{
  std::string text;
  if (PlainText(v, &text))
    return "\"" + Escape(text) + "\"";
  if (v.type == 4 && v.data.size() == 4) {
    uint32_t n = (uint32_t)v.data[0] | ((uint32_t)v.data[1] << 8) | ((uint32_t)v.data[2] << 16) |
                 ((uint32_t)v.data[3] << 24);
    char buf[16];
    std::snprintf(buf, sizeof buf, "dword:%08x", n);
    return buf;
  }
  std::string r = HexPrefix(v);
  for (size_t i = 0; i < v.data.size(); ++i)
    r += (i ? "," : "") + HexByte(v.data[i]);
  return r;
}

std::string RegValueLine(const RegValue& v)
{
  return NamePart(v) + RegDataText(v);
}

// A value as regedit writes it: a hex line goes on with a backslash once
// it passes 76 columns, the next line indented by two blanks.
static std::string WrappedValue(const RegValue& v, const std::string& eol)
{
  std::string text;
  if (PlainText(v, &text) || (v.type == 4 && v.data.size() == 4))
    return RegValueLine(v) + eol;
  std::string out, line = NamePart(v) + HexPrefix(v);
  for (size_t i = 0; i < v.data.size(); ++i) {
    line += HexByte(v.data[i]);
    if (i + 1 < v.data.size()) {
      line += ',';
      if (line.size() >= 76) {
        out += line + "\\" + eol;
        line = "  ";
      }
    }
  }
  return out + line + eol;
}

void CSimRegistry::AppendNewKey(std::string& out, const RegKey& key) const
{
  if (!out.empty() && out.back() != '\n')
    out += m_lineEnd;
  if (!out.empty() && !EndsInBlankLine(out))
    out += m_lineEnd;
  out += "[" + key.Path() + "]" + m_lineEnd;
  for (const auto& v : key.values)
    out += WrappedValue(v, m_lineEnd);
  out += m_lineEnd;
}

void CSimRegistry::AppendNewTree(std::string& out, const RegKey& key) const
{
  // A hive needs a line of its own only for values of its own.
  if (key.parent != nullptr || !key.values.empty())
    AppendNewKey(out, key);
  for (const auto& s : key.subkeys)
    AppendNewTree(out, *s);
}

// A block of the file read, for a key that still exists: lines of values
// removed since are left out, values changed since are written anew in
// place, and the key's last block takes its new values after its last value.
void CSimRegistry::AppendBlock(std::string& out, const FileBlock& block,
                               const std::set<std::string>* pNamesRead) const
{
  const RegKey& key = *block.key;
  auto appendNewValues = [&] {
    if (pNamesRead == nullptr)
      return;
    for (const auto& v : key.values)
      if (!pNamesRead->count(Upper(v.name))) {
        if (!out.empty() && out.back() != '\n')
          out += m_lineEnd;
        out += WrappedValue(v, m_lineEnd);
      }
  };
  int lastValue = -1;
  for (size_t i = 0; i < block.lines.size(); ++i)
    if (block.lines[i].isValue)
      lastValue = (int)i;

  out += block.keyLine;
  if (lastValue < 0)
    appendNewValues();
  for (size_t i = 0; i < block.lines.size(); ++i) {
    const FileLine& fl = block.lines[i];
    const RegValue* now = fl.isValue ? key.FindValue(fl.value.name) : nullptr;
    if (!fl.isValue || (now && (fl.overridden || SameData(*now, fl.value)))) {
      out += fl.raw;
    } else if (now) {
      if (!out.empty() && out.back() != '\n')
        out += m_lineEnd;
      out += WrappedValue(*now, m_lineEnd);
    }
    if ((int)i == lastValue)
      appendNewValues();
  }
}

std::string CSimRegistry::Export() const
{
  // Where each key that has no block of its own goes: a parent the file
  // only implied gets a line before the first block of its tree once it
  // has values or nothing below it (else it would be lost); a key the file
  // did not hold goes, with everything below it, after the last block of
  // its parent's tree.
  const size_t n = m_blocks.size();
  std::vector<std::vector<const RegKey*>> before(n), after(n);
  std::vector<const RegKey*> atEnd;
  std::vector<const RegKey*> stack;
  for (auto it = m_hives.rbegin(); it != m_hives.rend(); ++it)
    stack.push_back(it->get());
  while (!stack.empty()) {
    const RegKey* k = stack.back();
    stack.pop_back();
    if (k->firstBlock < 0) {
      const RegKey* p = k->parent;
      (p && p->lastBlock >= 0 ? after[(size_t)p->lastBlock] : atEnd).push_back(k);
      continue;
    }
    bool bHive = k->parent == nullptr;
    if (!k->listed && (!k->values.empty() || (!bHive && k->subkeys.empty())))
      before[(size_t)k->firstBlock].push_back(k);
    for (auto it = k->subkeys.rbegin(); it != k->subkeys.rend(); ++it)
      stack.push_back(it->get());
  }

  // Each key's last block, and the names of the values its lines set.
  std::map<const RegKey*, size_t> lastOwnBlock;
  std::map<const RegKey*, std::set<std::string>> namesRead;
  for (size_t i = 0; i < n; ++i) {
    lastOwnBlock[m_blocks[i].key.get()] = i;
    for (const auto& fl : m_blocks[i].lines)
      if (fl.isValue)
        namesRead[m_blocks[i].key.get()].insert(Upper(fl.value.name));
  }

  std::string out = m_header.empty() ? "REGEDIT4" + m_lineEnd + m_lineEnd : m_header;
  const size_t cbHeader = out.size();
  for (size_t i = 0; i < n; ++i) {
    for (const RegKey* k : before[i])
      AppendNewKey(out, *k);
    const FileBlock& b = m_blocks[i];
    if (!b.key->deleted)
      AppendBlock(out, b,
                  lastOwnBlock[b.key.get()] == i ? &namesRead[b.key.get()] : nullptr);
    for (const RegKey* k : after[i])
      AppendNewTree(out, *k);
  }
  for (const RegKey* k : atEnd)
    AppendNewTree(out, *k);
  // An empty file read stays empty while the registry has no key.
  if (m_header.empty() && n == 0 && out.size() == cbHeader)
    return "";
  return out;
}

}  // namespace sim
