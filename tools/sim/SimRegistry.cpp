#include "SimRegistry.h"

#include <map>
#include <set>
#include <utility>

#include "SimText.h"

namespace sim {

const char* const CSimRegistry::kHiveNames[] = {
    "HKEY_CLASSES_ROOT", "HKEY_CURRENT_USER", "HKEY_LOCAL_MACHINE",
    "HKEY_USERS",        "HKEY_CURRENT_CONFIG", "HKEY_DYN_DATA"};
const int CSimRegistry::kHiveCount = 6;

RegKey* RegKey::FindSubKey(const std::string& n) const
{
  auto it = subkeyIndex.find(Lower(n));
  return it == subkeyIndex.end() ? nullptr : it->second;
}

// Up to this many values a key is scanned; more are found through the index.
static const size_t kValuesScanned = 8;

static void IndexValues(RegKey* k)
{
  k->valueIndex.clear();
  if (k->values.size() > kValuesScanned)
    for (size_t i = 0; i < k->values.size(); ++i)
      k->valueIndex.emplace(Lower(k->values[i].name), i);
}

RegValue* RegKey::FindValue(const std::string& n)
{
  if (!valueIndex.empty()) {
    auto it = valueIndex.find(Lower(n));
    return it == valueIndex.end() ? nullptr : &values[it->second];
  }
  for (auto& v : values)
    if (EqualNoCase(v.name, n))
      return &v;
  return nullptr;
}

const RegValue* RegKey::FindValue(const std::string& n) const
{
  return const_cast<RegKey*>(this)->FindValue(n);
}

void RegKey::AddValue(const RegValue& value)
{
  values.push_back(value);
  if (!valueIndex.empty())
    valueIndex.emplace(Lower(value.name), values.size() - 1);
  else if (values.size() > kValuesScanned)
    IndexValues(this);
}

void RegKey::SetValue(const RegValue& value)
{
  if (RegValue* v = FindValue(value.name)) {
    v->type = value.type;
    v->data = value.data;
  } else {
    AddValue(value);
  }
}

bool RegKey::DeleteValue(const std::string& n)
{
  RegValue* v = FindValue(n);
  if (v == nullptr)
    return false;
  values.erase(values.begin() + (v - values.data()));
  IndexValues(this);
  return true;
}

std::string RegKey::Path() const
{
  if (listed)
    return listedPath;
  return parent ? parent->Path() + "\\" + name : name;
}

RegKey* RegKey::OpenOrCreate(const std::string& n)
{
  if (RegKey* k = FindSubKey(n))
    return k;
  auto k = std::make_shared<RegKey>();
  k->name = n;
  k->parent = this;
  subkeys.push_back(k);
  subkeyIndex[Lower(n)] = k.get();
  return k.get();
}

void RegKey::RemoveSubKey(RegKey* pKey)
{
  for (auto it = subkeys.begin(); it != subkeys.end(); ++it) {
    if (it->get() == pKey) {
      subkeyIndex.erase(Lower(pKey->name));
      subkeys.erase(it);  // handles still holding it keep it alive as deleted
      return;
    }
  }
}

std::vector<std::string> SplitKeyPath(const std::string& path)
{
  std::vector<std::string> parts;
  for (size_t b = 0; b < path.size();) {
    size_t e = path.find('\\', b);
    if (e == std::string::npos)
      e = path.size();
    if (e > b)
      parts.emplace_back(path, b, e - b);
    b = e + 1;
  }
  return parts;
}

CSimRegistry::CSimRegistry()
{
  for (int i = 0; i < kHiveCount; ++i) {
    auto k = std::make_shared<RegKey>();
    k->name = kHiveNames[i];
    m_hives.push_back(k);
  }
}

RegKey* CSimRegistry::Hive(const std::string& hiveName) const
{
  for (const auto& h : m_hives)
    if (EqualNoCase(h->name, hiveName))
      return h.get();
  return nullptr;
}

RegKey* CSimRegistry::FindBelow(RegKey* pKey, const std::string& subPath)
{
  for (const auto& part : SplitKeyPath(subPath)) {
    if (pKey == nullptr)
      return nullptr;
    pKey = pKey->FindSubKey(part);
  }
  return pKey;
}

RegKey* CSimRegistry::FindPath(const std::string& fullPath) const
{
  auto parts = SplitKeyPath(fullPath);
  if (parts.empty())
    return nullptr;
  RegKey* k = Hive(parts[0]);
  for (size_t i = 1; i < parts.size() && k; ++i)
    k = k->FindSubKey(parts[i]);
  return k;
}

RegKey* CSimRegistry::CreatePath(const std::string& fullPath)
{
  auto parts = SplitKeyPath(fullPath);
  if (parts.empty())
    return nullptr;
  RegKey* k = Hive(parts[0]);
  for (size_t i = 1; i < parts.size() && k; ++i)
    k = k->OpenOrCreate(parts[i]);
  return k;
}

static void MarkDeleted(RegKey* k)
{
  k->deleted = true;
  for (auto& s : k->subkeys)
    MarkDeleted(s.get());
}

void CSimRegistry::DeleteKey(RegKey* pKey)
{
  RegKey* parent = pKey->parent;
  MarkDeleted(pKey);
  if (parent != nullptr)
    parent->RemoveSubKey(pKey);
}

// --- Reading REGEDIT4 ---------------------------------------------------------

namespace {

struct LineReader {
  const std::string& text;
  size_t pos = 0;
  size_t start = 0;  // where the last line read begins
  int lineNo = 0;
  bool sawCrLf = false;
  bool sawLf = false;

  bool Next(std::string* pLine)
  {
    if (pos >= text.size())
      return false;
    start = pos;
    size_t e = text.find('\n', pos);
    // Into the caller's string, whose room is reused from line to line.
    std::string& line = *pLine;
    if (e == std::string::npos) {
      line.assign(text, pos, std::string::npos);
      pos = text.size();
    } else {
      line.assign(text, pos, e - pos);
      pos = e + 1;
      if (!line.empty() && line.back() == '\r') {
        line.pop_back();
        sawCrLf = true;
      } else {
        sawLf = true;
      }
    }
    ++lineNo;
    return true;
  }
};

// TrimBlanks without a new string.
void TrimInPlace(std::string* pText)
{
  std::string& s = *pText;
  size_t e = s.size();
  while (e > 0 && (s[e - 1] == ' ' || s[e - 1] == '\t'))
    --e;
  s.erase(e);
  size_t b = 0;
  while (b < s.size() && (s[b] == ' ' || s[b] == '\t'))
    ++b;
  s.erase(0, b);
}

// Reads a quoted string starting at s[i] == '"'; i ends after the closing quote.
bool ReadQuoted(const std::string& s, size_t& i, std::string* pOut)
{
  if (i >= s.size() || s[i] != '"')
    return false;
  ++i;
  std::string out;
  while (i < s.size()) {
    char c = s[i];
    if (c == '\\') {
      if (i + 1 >= s.size())
        return false;
      char n = s[i + 1];
      if (n != '\\' && n != '"')
        return false;
      out += n;
      i += 2;
      continue;
    }
    if (c == '"') {
      ++i;
      *pOut = out;
      return true;
    }
    out += c;
    ++i;
  }
  return false;
}

// Parses "xx,xx,..." (blanks allowed) into bytes; a trailing comma is allowed
// only when more lines follow.
bool ParseHexBytes(const std::string& s, std::vector<unsigned char>* pOut)
{
  size_t i = 0;
  auto skip = [&] {
    while (i < s.size() && (s[i] == ' ' || s[i] == '\t'))
      ++i;
  };
  skip();
  if (i >= s.size())
    return true;
  for (;;) {
    skip();
    if (i + 2 > s.size())
      return false;
    int h = HexDigit(s[i]), l = HexDigit(s[i + 1]);
    if (h < 0 || l < 0)
      return false;
    pOut->push_back((unsigned char)(h * 16 + l));
    i += 2;
    skip();
    if (i >= s.size())
      return true;
    if (s[i] != ',')
      return false;
    ++i;
  }
}

}  // namespace

bool CSimRegistry::Parse(const std::string& text, std::string* pError)
{
  LineReader rd{text};
  std::string line;
  auto fail = [&](const std::string& what) {
    if (pError)
      *pError = "registry.reg line " + std::to_string(rd.lineNo) + ": " + Printable(what);
    return false;
  };
  // The header, possibly after blank lines.
  bool header = false;
  while (rd.Next(&line)) {
    std::string t = TrimBlanks(line);
    if (rd.lineNo == 1 && t.size() >= 3 && (unsigned char)t[0] == 0xEF &&
        (unsigned char)t[1] == 0xBB && (unsigned char)t[2] == 0xBF)
      t = t.substr(3);
    if (t.empty())
      continue;
    if (t != "REGEDIT4")
      return fail("expected REGEDIT4");
    header = true;
    break;
  }
  if (!header) {
    if (text.empty())
      return true;
    return fail("expected REGEDIT4");
  }

  RegKey* cur = nullptr;
  std::string t;
  while (rd.Next(&t)) {
    TrimInPlace(&t);
    if (t.empty() || t[0] == ';') {
      if (!m_blocks.empty()) {
        FileLine other;
        other.raw = text.substr(rd.start, rd.pos - rd.start);
        m_blocks.back().lines.push_back(std::move(other));
      }
      continue;
    }
    if (t[0] == '[') {
      if (t.back() != ']')
        return fail("key line without closing bracket");
      std::string path = t.substr(1, t.size() - 2);
      auto parts = SplitKeyPath(path);
      if (parts.empty() || path[0] == '-')
        return fail("bad key line");
      RegKey* k = Hive(parts[0]);
      if (k == nullptr)
        return fail("unknown hive " + parts[0]);
      // Hives are written back in the order the file first names them.
      for (size_t h = m_namedHives; h < m_hives.size(); ++h)
        if (m_hives[h].get() == k) {
          auto hive = m_hives[h];
          m_hives.erase(m_hives.begin() + (long)h);
          m_hives.insert(m_hives.begin() + (long)m_namedHives++, hive);
          break;
        }
      for (size_t i = 1; i < parts.size(); ++i)
        k = k->OpenOrCreate(parts[i]);
      if (!k->listed) {
        k->listed = true;
        for (size_t i = 0; i < parts.size(); ++i)
          k->listedPath += (i ? "\\" : "") + parts[i];
      }
      cur = k;
      if (m_blocks.empty())
        m_header = text.substr(0, rd.start);
      FileBlock block;
      block.key = k->shared_from_this();
      block.keyLine = text.substr(rd.start, rd.pos - rd.start);
      m_blocks.push_back(std::move(block));
      // The block lies in the tree of the key and of each of its parents.
      int index = (int)m_blocks.size() - 1;
      for (RegKey* p = k; p != nullptr; p = p->parent) {
        if (p->firstBlock < 0)
          p->firstBlock = index;
        p->lastBlock = index;
      }
      continue;
    }
    if (cur == nullptr)
      return fail("value outside a key");
    size_t valueStart = rd.start;
    // Name.
    std::string name;
    size_t i = 0;
    if (t[0] == '@') {
      i = 1;
    } else if (t[0] == '"') {
      if (!ReadQuoted(t, i, &name))
        return fail("bad value name");
    } else {
      return fail("unrecognised line");
    }
    while (i < t.size() && (t[i] == ' ' || t[i] == '\t'))
      ++i;
    if (i >= t.size() || t[i] != '=')
      return fail("expected =");
    ++i;
    while (i < t.size() && (t[i] == ' ' || t[i] == '\t'))
      ++i;
    std::string rest = t.substr(i);
    RegValue v;
    v.name = name;
    if (!rest.empty() && rest[0] == '"') {
      size_t j = 0;
      std::string s;
      if (!ReadQuoted(rest, j, &s) || !TrimBlanks(rest.substr(j)).empty())
        return fail("bad string value");
      v.type = 1;
      v.data.assign(s.begin(), s.end());
      v.data.push_back(0);
    } else if (rest.compare(0, 6, "dword:") == 0) {
      std::string d = TrimBlanks(rest.substr(6));
      if (d.empty() || d.size() > 8)
        return fail("bad dword value");
      uint32_t n = 0;
      for (char c : d) {
        int h = HexDigit(c);
        if (h < 0)
          return fail("bad dword value");
        n = n * 16 + (uint32_t)h;
      }
      v.type = 4;
      for (int b = 0; b < 4; ++b)
        v.data.push_back((unsigned char)(n >> (8 * b)));
    } else if (rest.compare(0, 3, "hex") == 0) {
      size_t j = 3;
      v.type = 3;
      if (j < rest.size() && rest[j] == '(') {
        size_t close = rest.find(')', j);
        if (close == std::string::npos || close == j + 1 || close - j - 1 > 8)
          return fail("bad hex(N) type");
        uint32_t n = 0;
        for (size_t k = j + 1; k < close; ++k) {
          int h = HexDigit(rest[k]);
          if (h < 0)
            return fail("bad hex(N) type");
          n = n * 16 + (uint32_t)h;
        }
        v.type = n;
        j = close + 1;
      }
      if (j >= rest.size() || rest[j] != ':')
        return fail("bad hex value");
      std::string bytes = TrimBlanks(rest.substr(j + 1));
      // Continuation lines: each but the last ends in a backslash.
      while (!bytes.empty() && bytes.back() == '\\') {
        bytes.pop_back();
        bytes = TrimBlanks(bytes);
        if (bytes.empty() || bytes.back() != ',')
          return fail("hex continuation without a comma before it");
        std::string more;
        if (!rd.Next(&more))
          return fail("hex value ends after a continuation");
        bytes += TrimBlanks(more);
      }
      if (!bytes.empty() && bytes.back() == ',')
        return fail("hex value ends in a comma");
      if (!ParseHexBytes(bytes, &v.data))
        return fail("bad hex bytes");
    } else {
      return fail("unrecognised value");
    }
    if (RegValue* old = cur->FindValue(v.name))
      *old = v;  // the same name folded: the index stays right
    else
      cur->AddValue(v);
    FileLine valueLine;
    valueLine.raw = text.substr(valueStart, rd.pos - valueStart);
    valueLine.isValue = true;
    valueLine.value = std::move(v);
    m_blocks.back().lines.push_back(std::move(valueLine));
  }
  if (m_blocks.empty())
    m_header = text;
  if (rd.sawLf && !rd.sawCrLf)
    m_lineEnd = "\n";
  // A value set again further on is read from its last line.
  std::map<const RegKey*, std::set<std::string>> later;
  for (size_t b = m_blocks.size(); b-- > 0;) {
    std::set<std::string>& names = later[m_blocks[b].key.get()];
    for (size_t i = m_blocks[b].lines.size(); i-- > 0;) {
      FileLine& fl = m_blocks[b].lines[i];
      if (fl.isValue)
        fl.overridden = !names.insert(Upper(fl.value.name)).second;
    }
  }
  return true;
}

}  // namespace sim
