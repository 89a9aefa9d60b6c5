#include "SimText.h"

#include <fstream>
#include <sstream>

namespace sim {

char FoldChar(char c)
{
  return (c >= 'A' && c <= 'Z') ? (char)(c - 'A' + 'a') : c;
}

std::string Upper(const std::string& s)
{
  std::string r = s;
  for (char& c : r)
    if (c >= 'a' && c <= 'z')
      c = (char)(c - 'a' + 'A');
  return r;
}

std::string Lower(const std::string& s)
{
  std::string r = s;
  for (char& c : r)
    c = FoldChar(c);
  return r;
}

bool EqualNoCase(const std::string& a, const std::string& b)
{
  if (a.size() != b.size())
    return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (FoldChar(a[i]) != FoldChar(b[i]))
      return false;
  return true;
}

bool LessNoCase(const std::string& a, const std::string& b)
{
  size_t n = a.size() < b.size() ? a.size() : b.size();
  for (size_t i = 0; i < n; ++i) {
    // Upper-case folding, as Windows collates names ('_' after letters).
    unsigned char ca = (unsigned char)a[i], cb = (unsigned char)b[i];
    if (ca >= 'a' && ca <= 'z')
      ca = (unsigned char)(ca - 'a' + 'A');
    if (cb >= 'a' && cb <= 'z')
      cb = (unsigned char)(cb - 'a' + 'A');
    if (ca != cb)
      return ca < cb;
  }
  if (a.size() != b.size())
    return a.size() < b.size();
  return a < b;  // names differing only in case: a stable order
}

std::string TrimBlanks(const std::string& s)
{
  size_t b = 0, e = s.size();
  while (b < e && (s[b] == ' ' || s[b] == '\t'))
    ++b;
  while (e > b && (s[e - 1] == ' ' || s[e - 1] == '\t'))
    --e;
  return s.substr(b, e - b);
}

std::string Quote(const std::string& s)
{
  std::string r = "\"";
  for (char c : s) {
    if (c == '"')
      r += '"';
    r += c;
  }
  r += '"';
  return r;
}

bool HasWildcard(const std::string& s)
{
  return s.find_first_of("*?") != std::string::npos;
}

static bool Glob(const char* p, const char* n)
{
  // Iterative matcher with backtracking to the last star.
  const char* pStar = nullptr;
  const char* nStar = nullptr;
  while (*n) {
    if (*p == '*') {
      pStar = p++;
      nStar = n;
    } else if (*p == '?' || (*p && FoldChar(*p) == FoldChar(*n))) {
      ++p;
      ++n;
    } else if (pStar) {
      p = pStar + 1;
      n = ++nStar;
    } else {
      return false;
    }
  }
  while (*p == '*')
    ++p;
  return *p == '\0';
}

bool MatchWildcard(const std::string& pattern, const std::string& name)
{
  if (pattern == "*.*" || pattern == "*")
    return true;
  if (Glob(pattern.c_str(), name.c_str()))
    return true;
  // "NAME.*" also finds "NAME"; "NAME." finds a name without a dot.
  if (pattern.size() >= 2 && pattern.compare(pattern.size() - 2, 2, ".*") == 0 &&
      name.find('.') == std::string::npos)
    return Glob(pattern.substr(0, pattern.size() - 2).c_str(), name.c_str());
  if (!pattern.empty() && pattern.back() == '.' && name.find('.') == std::string::npos)
    return Glob(pattern.substr(0, pattern.size() - 1).c_str(), name.c_str());
  return false;
}

bool ParseCount(const std::string& s, int* pN)
{
  if (s.empty() || s.size() > 9)
    return false;
  int n = 0;
  for (char c : s) {
    if (c < '0' || c > '9')
      return false;
    n = n * 10 + (c - '0');
  }
  *pN = n;
  return true;
}

// Control characters written as \xNN, so that a message quoting input
// stays one line.
std::string Printable(const std::string& s)
{
  static const char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (char c : s) {
    unsigned char u = (unsigned char)c;
    if (u < 0x20 || u == 0x7F)
      out += std::string("\\x") + kHex[u >> 4] + kHex[u & 15];
    else
      out += c;
  }
  return out;
}

int HexDigit(char c)
{
  if (c >= '0' && c <= '9')
    return c - '0';
  if (c >= 'a' && c <= 'f')
    return c - 'a' + 10;
  if (c >= 'A' && c <= 'F')
    return c - 'A' + 10;
  return -1;
}

bool ReadWholeFile(const std::string& path, std::string* pOut)
{
  std::ifstream in(path, std::ios::binary);
  if (!in)
    return false;
  std::stringstream ss;
  ss << in.rdbuf();
  *pOut = ss.str();
  return true;
}

}  // namespace sim
