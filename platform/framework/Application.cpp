#include "platform/framework/Application.h"

#include "platform/StrBuf.h"

static CApplication* s_pApp = 0;

CApplication::CApplication() : m_hInstance(0), m_lpCmdLine(0)
{
  s_pApp = this;
}

CApplication::~CApplication()
{
  if (s_pApp == this)
    s_pApp = 0;
}

CApplication* CApplication::GetApp()
{
  return s_pApp;
}

// Finds where argument 0 ends: a quoted first word runs to its closing
// quote, an unquoted one to the first blank or tab.
static LPSTR SkipProgramName(LPSTR psz)
{
  if (*psz == '"') {
    ++psz;
    while (*psz != '\0' && *psz != '"')
      ++psz;
    if (*psz == '"')
      ++psz;
  } else {
    while (*psz != '\0' && *psz != ' ' && *psz != '\t')
      ++psz;
  }
  return psz;
}

BOOL CApplication::GetProgramPath(LPSTR pszPath, DWORD cbPath) const
{
  IPlatform* p = Platform();
  LPCSTR pszCmd = p->GetCommandLineA();
  pszPath[0] = '\0';
  if (pszCmd == 0 || pszCmd[0] == '\0') {
    // A name that does not fit comes back cut to cbPath - 1 characters
    // (terminated or not, by Windows version): one character more is asked
    // for, so a result of cbPath - 1 characters is whole.
    char szModule[MAX_PATH + 1];
    DWORD n = cbPath <= MAX_PATH ? p->GetModuleFileNameA(0, szModule, cbPath + 1) : 0;
    if (n == 0 || n >= cbPath) {
      pszPath[0] = '\0';
      return FALSE;
    }
    return StrCopyN(pszPath, cbPath, szModule, n);
  }
  if (pszCmd[0] == '"') {
    const char* pEnd = StrChr(pszCmd + 1, '"');
    StrSize n = pEnd ? (StrSize)(pEnd - (pszCmd + 1)) : StrLen(pszCmd + 1);
    return StrCopyN(pszPath, cbPath, pszCmd + 1, n);
  }
  StrSize n = 0;
  while (pszCmd[n] != '\0' && pszCmd[n] != ' ' && pszCmd[n] != '\t')
    ++n;
  return StrCopyN(pszPath, cbPath, pszCmd, n);
}

int RunApplication(HINSTANCE hInstance, BOOL* pbInitResult)
{
  IPlatform* p = Platform();
  p->SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);

  CApplication* pApp = CApplication::GetApp();
  if (pApp == 0)
    return 1;
  pApp->m_hInstance = hInstance;
  LPSTR psz = p->GetCommandLineA();
  if (psz == 0) {
    static char s_szEmpty[1] = { '\0' };
    psz = s_szEmpty;
  }
  psz = SkipProgramName(psz);
  while (*psz == ' ' || *psz == '\t')
    ++psz;
  pApp->m_lpCmdLine = psz;

  BOOL bResult = pApp->InitInstance();
  if (pbInitResult != 0)
    *pbInitResult = bResult;
  // No message loop: every path ends here or ends the process itself.
  return 0;
}
