#include "SimResources.h"

#include <iconv.h>

namespace sim {

namespace {

struct Reader {
  const unsigned char* p;
  size_t size;
  size_t pos = 0;
  bool ok = true;

  uint16_t Word()
  {
    if (pos + 2 > size) {
      ok = false;
      return 0;
    }
    uint16_t v = (uint16_t)(p[pos] | (p[pos + 1] << 8));
    pos += 2;
    return v;
  }
  uint32_t Dword()
  {
    uint32_t lo = Word();
    uint32_t hi = Word();
    return lo | (hi << 16);
  }
  void Align4() { pos = (pos + 3) & ~(size_t)3; }
  std::u16string Sz()
  {
    std::u16string s;
    for (;;) {
      uint16_t c = Word();
      if (!ok || c == 0)
        return s;
      s += (char16_t)c;
    }
  }
  // A name or ordinal: 0xFFFF then an id, else a string.
  void NameOrId(uint16_t* pId, std::string* pName)
  {
    *pId = 0;
    pName->clear();
    if (pos + 2 <= size && p[pos] == 0xFF && p[pos + 1] == 0xFF) {
      pos += 2;
      *pId = Word();
    } else {
      *pName = NarrowText(Sz(), 1033);
    }
  }
};

}  // namespace

// The ANSI code page Windows uses for a language.
static const char* CodePageOf(uint16_t language)
{
  switch (language & 0x3FF) {
  case 0x11: return "CP932";   // Japanese
  case 0x12: return "CP949";   // Korean
  case 0x04: return language == 0x0404 || language == 0x0C04 ? "BIG5" : "GBK";  // Chinese
  default: return nullptr;     // Western: code page 1252
  }
}

static std::string Latin1(const std::u16string& s)
{
  std::string r;
  for (char16_t c : s)
    r += c < 0x100 ? (char)c : '?';
  return r;
}

std::string NarrowText(const std::u16string& s, uint16_t language)
{
  const char* cp = CodePageOf(language);
  if (cp == nullptr || s.empty())
    return Latin1(s);
  iconv_t cd = iconv_open(cp, "UTF-16LE");
  if (cd == (iconv_t)-1)
    return Latin1(s);
  std::string in;
  for (char16_t c : s) {
    in += (char)(c & 0xFF);
    in += (char)(c >> 8);
  }
  std::string out(s.size() * 4 + 4, '\0');
  char* pIn = &in[0];
  size_t nIn = in.size();
  char* pOut = &out[0];
  size_t nOut = out.size();
  while (nIn > 0) {
    if (iconv(cd, &pIn, &nIn, &pOut, &nOut) != (size_t)-1)
      break;
    // A character the code page lacks becomes '?'.
    if (nOut == 0 || nIn < 2)
      break;
    *pOut++ = '?';
    --nOut;
    pIn += 2;
    nIn -= 2;
  }
  iconv_close(cd);
  out.resize(out.size() - nOut);
  return out;
}

bool CSimResources::Parse(const unsigned char* pData, size_t cbData, std::string* pError)
{
  m_entries.clear();
  Reader rd{pData, cbData};
  while (rd.pos + 8 <= cbData) {
    size_t start = rd.pos;
    uint32_t dataSize = rd.Dword();
    uint32_t headerSize = rd.Dword();
    if (headerSize < 24 || start + headerSize + dataSize > cbData) {
      if (pError)
        *pError = "resource data truncated";
      return false;
    }
    ResEntry e;
    rd.NameOrId(&e.typeId, &e.typeName);
    rd.NameOrId(&e.nameId, &e.name);
    rd.Align4();
    rd.Dword();  // data version
    rd.Word();   // memory flags
    e.language = rd.Word();
    if (!rd.ok) {
      if (pError)
        *pError = "bad resource header";
      return false;
    }
    size_t dataPos = start + headerSize;
    e.data.assign(pData + dataPos, pData + dataPos + dataSize);
    if (dataSize != 0 || e.typeId != 0)
      m_entries.push_back(e);
    rd.pos = (dataPos + dataSize + 3) & ~(size_t)3;
  }
  return true;
}

// As Windows' resource loader picks a language when none is asked for
// (probed under Wine with French, French Canada, Chinese PRC and Hong Kong,
// German, Swiss German and UK English locales): a neutral resource, the
// user's language, its primary language with the neutral sublanguage, US
// English, and else the resource of the lowest language id.
const ResEntry* CSimResources::Find(uint16_t type, uint16_t id, uint16_t language,
                                    uint16_t* pLanguage) const
{
  const uint16_t candidates[] = { 0, language, (uint16_t)(language & 0x3FF), 1033 };
  const ResEntry* r = nullptr;
  for (uint16_t want : candidates) {
    for (const auto& e : m_entries)
      if (!r && e.typeId == type && e.nameId == id && e.language == want)
        r = &e;
  }
  const ResEntry* pLowest = nullptr;
  for (const auto& e : m_entries)
    if (e.typeId == type && e.nameId == id && (!pLowest || e.language < pLowest->language))
      pLowest = &e;
  if (!r)
    r = pLowest;
  if (r && pLanguage)
    *pLanguage = r->language;
  return r;
}

std::optional<std::string> CSimResources::String(unsigned id, uint16_t language) const
{
  uint16_t used = language;
  const ResEntry* e = Find(kRtString, (uint16_t)(id / 16 + 1), language, &used);
  if (!e)
    return std::nullopt;
  Reader rd{e->data.data(), e->data.size()};
  for (unsigned i = 0; i < 16; ++i) {
    uint16_t len = rd.Word();
    if (!rd.ok)
      return std::nullopt;
    std::u16string s;
    for (uint16_t k = 0; k < len; ++k)
      s += (char16_t)rd.Word();
    if (!rd.ok)
      return std::nullopt;
    if (i == id % 16)
      return len ? std::optional<std::string>(NarrowText(s, used)) : std::nullopt;
  }
  return std::nullopt;
}

bool CSimResources::ParseDialog(const std::vector<unsigned char>& data, uint16_t language,
                                 DlgTemplate* pOut)
{
  Reader rd{data.data(), data.size()};
  const uint32_t DS_SETFONT = 0x40;
  DlgTemplate t;
  bool ex = data.size() >= 4 && data[0] == 1 && data[1] == 0 && data[2] == 0xFF && data[3] == 0xFF;
  uint16_t count;
  if (ex) {
    rd.Word();
    rd.Word();
    rd.Dword();  // help id
    t.exStyle = rd.Dword();
    t.style = rd.Dword();
  } else {
    t.style = rd.Dword();
    t.exStyle = rd.Dword();
  }
  count = rd.Word();
  for (int i = 0; i < 4; ++i)
    rd.Word();  // x, y, cx, cy
  uint16_t id;
  std::string name;
  rd.NameOrId(&id, &name);  // menu
  rd.NameOrId(&id, &name);  // class
  t.caption = NarrowText(rd.Sz(), language);
  if (t.style & DS_SETFONT) {
    rd.Word();  // point size
    if (ex) {
      rd.Word();  // weight
      rd.Word();  // italic, charset
    }
    rd.Sz();
  }
  for (uint16_t n = 0; n < count && rd.ok; ++n) {
    rd.Align4();
    DlgItem it;
    if (ex) {
      rd.Dword();  // help id
      it.exStyle = rd.Dword();
      it.style = rd.Dword();
    } else {
      it.style = rd.Dword();
      it.exStyle = rd.Dword();
    }
    for (int i = 0; i < 4; ++i)
      rd.Word();
    it.id = ex ? (int)(int32_t)rd.Dword() : (int)(int16_t)rd.Word();
    rd.NameOrId(&it.classAtom, &it.className);
    uint16_t textId;
    std::string text;
    if (rd.pos + 2 <= rd.size && rd.p[rd.pos] == 0xFF && rd.p[rd.pos + 1] == 0xFF)
      rd.NameOrId(&textId, &text);
    else
      text = NarrowText(rd.Sz(), language);
    it.text = text;
    uint16_t extra = rd.Word();
    rd.pos += extra;
    t.items.push_back(it);
  }
  if (!rd.ok)
    return false;
  *pOut = t;
  return true;
}

}  // namespace sim
