#include "install/InfFileList.h"

#include "platform/StrBuf.h"

void CInfFileList::Clear()
{
  m_cbUsed = 0;
  m_nCount = 0;
  m_szPool[0] = '\0';
}

BOOL CInfFileList::Append(const char* pszPath)
{
  StrSize cbPath = StrLen(pszPath) + 1;
  if (cbPath > sizeof(m_szPool) - m_cbUsed)
    return FALSE;
  MemCopy(m_szPool + m_cbUsed, pszPath, cbPath);
  m_cbUsed += cbPath;
  ++m_nCount;
  return TRUE;
}

const char* CInfFileList::NextPath(const char* pszPrevious) const
{
  unsigned int nOffset = 0;
  if (pszPrevious != 0)
    nOffset = (unsigned int)(pszPrevious - m_szPool) + StrLen(pszPrevious) + 1;
  return nOffset < m_cbUsed ? m_szPool + nOffset : 0;
}
