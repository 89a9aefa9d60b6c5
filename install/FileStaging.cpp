#include "install/FileStaging.h"

#include "platform/StrBuf.h"

BOOL CopyWithNormalAttributes(const char* pszSource, const char* pszTarget, BOOL bResetAfter)
{
  Platform()->SetFileAttributesA(pszTarget, FILE_ATTRIBUTE_NORMAL);
  BOOL bCopied = Platform()->CopyFileA(pszSource, pszTarget, FALSE);
  if (bResetAfter)
    Platform()->SetFileAttributesA(pszTarget, FILE_ATTRIBUTE_NORMAL);
  return bCopied;
}

BOOL CreateDirectoryLevel(const char* pszDir)
{
  char szDir[MAX_PATH];
  if (!StrCopy(szDir, sizeof szDir, pszDir))
    return FALSE;
  StrSize cch = StrLen(szDir);
  if (cch >= 2 && szDir[cch - 1] == '\\' && szDir[cch - 2] != ':')
    szDir[cch - 1] = '\0';
  return Platform()->CreateDirectoryA(szDir, 0);
}

BOOL CopyNamedFile(const char* pszSourceDir, const char* pszTargetDir, const char* pszName,
                   BOOL bResetAfter)
{
  char szSource[MAX_PATH];
  char szTarget[MAX_PATH];
  if (!ComposePath(szSource, pszSourceDir, pszName) || !ComposePath(szTarget, pszTargetDir, pszName))
    return FALSE;
  return CopyWithNormalAttributes(szSource, szTarget, bResetAfter);
}

CDirectoryFiles::CDirectoryFiles() : m_hFind(INVALID_HANDLE_VALUE), m_bPending(FALSE)
{
  MemSet(&m_findData, 0, sizeof(m_findData));
}

CDirectoryFiles::~CDirectoryFiles()
{
  if (m_hFind != INVALID_HANDLE_VALUE)
    Platform()->FindClose(m_hFind);
}

BOOL CDirectoryFiles::Open(const char* pszDir)
{
  char szPattern[MAX_PATH];
  if (!ComposePath(szPattern, pszDir, "*.*"))
    return FALSE;
  m_hFind = Platform()->FindFirstFileA(szPattern, &m_findData);
  m_bPending = m_hFind != INVALID_HANDLE_VALUE;
  return m_bPending;
}

const char* CDirectoryFiles::Next()
{
  if (m_hFind == INVALID_HANDLE_VALUE)
    return 0;
  for (;;) {
    if (!m_bPending && !Platform()->FindNextFileA(m_hFind, &m_findData))
      return 0;
    m_bPending = FALSE;
    if ((m_findData.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0)
      return m_findData.cFileName;
  }
}

void CopyDirectoryFiles(const char* pszSourceDir, const char* pszTargetDir)
{
  CDirectoryFiles files;
  if (!files.Open(pszSourceDir))
    return;
  while (const char* pszName = files.Next())
    CopyNamedFile(pszSourceDir, pszTargetDir, pszName, TRUE);
}
