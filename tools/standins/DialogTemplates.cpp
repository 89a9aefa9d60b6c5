#include "DialogTemplates.h"

#include <algorithm>

namespace standin {

namespace {

class CReader {
public:
  CReader(const BYTE* p, DWORD cb) : m_p(p), m_cb(cb) {}
  bool Ok() const { return m_bOk; }
  DWORD Pos() const { return m_pos; }
  void Skip(DWORD n) { Need(n) ? (void)(m_pos += n) : (void)0; }
  void Align4() { Skip((4 - (m_pos & 3)) & 3); }
  WORD Word()
  {
    if (!Need(2))
      return 0;
    WORD w = (WORD)(m_p[m_pos] | (m_p[m_pos + 1] << 8));
    m_pos += 2;
    return w;
  }
  DWORD Dword()
  {
    DWORD lo = Word();
    return lo | ((DWORD)Word() << 16);
  }
  // A null-terminated UTF-16 string.
  std::wstring String()
  {
    std::wstring s;
    for (;;) {
      WORD w = Word();
      if (!m_bOk || w == 0)
        return s;
      s += (wchar_t)w;
    }
  }
  // Ordinal or string: 0 (none), 0xFFFF + ordinal, or a string.
  void SkipSzOrOrd()
  {
    if (!Need(2))
      return;
    WORD w = (WORD)(m_p[m_pos] | (m_p[m_pos + 1] << 8));
    if (w == 0)
      Skip(2);
    else if (w == 0xFFFF)
      Skip(4);
    else
      String();
  }

private:
  bool Need(DWORD n)
  {
    if (m_pos + n > m_cb)
      m_bOk = false;
    return m_bOk;
  }
  const BYTE* m_p;
  DWORD m_cb;
  DWORD m_pos = 0;
  bool m_bOk = true;
};

std::string ToAnsi(const std::wstring& w)
{
  if (w.empty())
    return std::string();
  int n = WideCharToMultiByte(CP_ACP, 0, w.data(), (int)w.size(), nullptr, 0, nullptr, nullptr);
  std::string s(n, '\0');
  WideCharToMultiByte(CP_ACP, 0, w.data(), (int)w.size(), &s[0], n, nullptr, nullptr);
  return s;
}

struct EnumState {
  HMODULE hModule;
  std::vector<DialogTemplate>* pOut;
};

BOOL CALLBACK EnumLang(HMODULE hModule, LPCSTR pszType, LPCSTR pszName, WORD wLang, LONG_PTR lParam)
{
  auto* pOut = reinterpret_cast<std::vector<DialogTemplate>*>(lParam);
  HRSRC hRes = FindResourceExA(hModule, pszType, pszName, wLang);
  if (!hRes)
    return TRUE;
  HGLOBAL hData = LoadResource(hModule, hRes);
  const BYTE* p = hData ? static_cast<const BYTE*>(LockResource(hData)) : nullptr;
  DialogTemplate t;
  if (p && ParseDialogTemplate(p, SizeofResource(hModule, hRes), &t)) {
    t.id = (unsigned)(ULONG_PTR)pszName;
    t.lang = wLang;
    pOut->push_back(t);
  }
  return TRUE;
}

BOOL CALLBACK EnumName(HMODULE hModule, LPCSTR pszType, LPSTR pszName, LONG_PTR lParam)
{
  if (IS_INTRESOURCE(pszName))
    EnumResourceLanguagesA(hModule, pszType, pszName, EnumLang, lParam);
  return TRUE;
}

}  // namespace

bool ParseDialogTemplate(const BYTE* pData, DWORD cbData, DialogTemplate* pOut)
{
  CReader r(pData, cbData);
  WORD w0 = r.Word();
  WORD w1 = r.Word();
  bool bEx = w0 == 1 && w1 == 0xFFFF;
  DWORD style = 0;
  WORD nItems = 0;
  if (bEx) {
    r.Dword();  // help id
    r.Dword();  // extended style
    style = r.Dword();
  } else {
    style = (DWORD)w0 | ((DWORD)w1 << 16);
    r.Dword();  // extended style
  }
  nItems = r.Word();
  r.Skip(8);  // x, y, cx, cy
  r.SkipSzOrOrd();  // menu
  r.SkipSzOrOrd();  // class
  pOut->caption = ToAnsi(r.String());
  if (style & (DS_SETFONT | DS_SHELLFONT)) {
    r.Word();  // point size
    if (bEx)
      r.Skip(4);  // weight, italic, charset
    r.String();  // typeface
  }
  pOut->controls.clear();
  for (WORD i = 0; i < nItems && r.Ok(); ++i) {
    r.Align4();
    unsigned id;
    if (bEx) {
      r.Skip(12 + 8);  // help id, extended style, style, position
      id = r.Dword() & 0xFFFF;
    } else {
      r.Skip(8 + 8);  // style, extended style, position
      id = r.Word();
    }
    r.SkipSzOrOrd();  // class
    r.SkipSzOrOrd();  // title
    WORD cbExtra = r.Word();
    r.Skip(cbExtra);
    pOut->controls.push_back(id);
  }
  std::sort(pOut->controls.begin(), pOut->controls.end());
  return r.Ok();
}

std::vector<DialogTemplate> LoadDialogTemplates(const std::string& exePath)
{
  std::vector<DialogTemplate> out;
  HMODULE hModule = LoadLibraryExA(exePath.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  if (!hModule)
    return out;
  EnumResourceNamesA(hModule, RT_DIALOG, EnumName, reinterpret_cast<LONG_PTR>(&out));
  FreeLibrary(hModule);
  return out;
}

std::vector<unsigned> ChildControlIds(HWND hWnd)
{
  std::vector<unsigned> ids;
  for (HWND h = GetWindow(hWnd, GW_CHILD); h; h = GetWindow(h, GW_HWNDNEXT))
    ids.push_back((unsigned)GetDlgCtrlID(h) & 0xFFFF);
  std::sort(ids.begin(), ids.end());
  return ids;
}

const DialogTemplate* MatchDialog(const std::vector<DialogTemplate>& templates, HWND hWnd)
{
  std::vector<unsigned> ids = ChildControlIds(hWnd);
  char szCaption[512] = "";
  GetWindowTextA(hWnd, szCaption, sizeof szCaption);
  const DialogTemplate* pFirst = nullptr;
  const DialogTemplate* pEnglish = nullptr;
  for (const DialogTemplate& t : templates) {
    if (t.controls != ids)
      continue;
    if (t.caption == szCaption)
      return &t;
    if (!pFirst)
      pFirst = &t;
    if (!pEnglish && t.lang == 1033)
      pEnglish = &t;
  }
  return pEnglish ? pEnglish : pFirst;
}

}  // namespace standin
