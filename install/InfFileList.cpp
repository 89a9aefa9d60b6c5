#include "install/InfFileList.h"

#include "platform/StrBuf.h"

BOOL IsInfFileName(const char* pszName)
{
  return StrStr(pszName, ".inf") != 0 || StrStr(pszName, ".INF") != 0;
}

void CInfFileList::Clear()
{
  MemSet(this, 0, sizeof *this);
}

BOOL CInfFileList::SetPlacement(const char* pszSourceDir, const char* const apszTargetDirs[2])
{
  Clear();
  for (int i = 0; i < 2; ++i) {
    if (apszTargetDirs[i] != 0 && !StrCopy(m_aszTargetDirs[i], MAX_PATH, apszTargetDirs[i])) {
      Clear();
      return FALSE;
    }
  }
  if (!StrCopy(m_szSourceDir, MAX_PATH, pszSourceDir)) {
    Clear();
    return FALSE;
  }
  return TRUE;
}

CInfFileWalk::CInfFileWalk(const CInfFileList& list)
    : m_list(list), m_bListed(FALSE), m_pszName(0), m_nTarget(0)
{
  m_szPath[0] = '\0';
}

const char* CInfFileWalk::Next()
{
  if (!m_bListed) {
    m_bListed = TRUE;
    if (m_list.m_szSourceDir[0] == '\0' || !m_files.Open(m_list.m_szSourceDir))
      return 0;
  }
  for (;;) {
    for (; m_pszName != 0 && m_nTarget < 2; ++m_nTarget) {
      // A path that does not fit was never placed.
      if (ComposePath(m_szPath, m_list.m_aszTargetDirs[m_nTarget], m_pszName)) {
        ++m_nTarget;
        return m_szPath;
      }
    }
    do {
      m_pszName = m_files.Next();
    } while (m_pszName != 0 && !IsInfFileName(m_pszName));
    if (m_pszName == 0)
      return 0;
    m_nTarget = 0;
  }
}
