#include "platform/win32/StreamBuffer.h"

#include "platform/Platform.h"

void CStreamBuffer::Attach(IRawFile* pFile)
{
  m_pFile = pFile;
  m_lBufStart = 0;
  m_cbBuf = 0;
  m_iBuf = 0;
}

BOOL CStreamBuffer::Fill()
{
  m_lBufStart += (LONG)m_cbBuf;
  m_cbBuf = 0;
  m_iBuf = 0;
  DWORD cbRead = 0;
  if (!m_pFile->Read(m_abBuf, kBufferSize, &cbRead))
    return FALSE;
  if (cbRead > kBufferSize)
    cbRead = 0;
  m_cbBuf = cbRead;
  return cbRead != 0;
}

BOOL CStreamBuffer::Drop()
{
  if (m_iBuf != m_cbBuf) {
    LONG lPos = m_pFile->Seek(Tell(), STREAM_SEEK_SET);
    if (lPos != Tell())
      return FALSE;
  }
  m_lBufStart = Tell();
  m_cbBuf = 0;
  m_iBuf = 0;
  return TRUE;
}

DWORD CStreamBuffer::ReadLine(LPSTR pszBuffer, DWORD cbBuffer)
{
  if (cbBuffer == 0)
    return 0;
  DWORD n = 0;
  while (n + 1 < cbBuffer) {
    if (m_iBuf == m_cbBuf && !Fill())
      break;
    char ch = (char)m_abBuf[m_iBuf++];
    pszBuffer[n++] = ch;
    if (ch == '\n')
      break;
  }
  pszBuffer[n] = '\0';
  return n;
}

BOOL CStreamBuffer::Seek(LONG lOffset, int nOrigin)
{
  if (nOrigin == STREAM_SEEK_END) {
    if (!Drop())
      return FALSE;
    LONG lPos = m_pFile->Seek(lOffset, STREAM_SEEK_END);
    if (lPos < 0)
      return FALSE;
    m_lBufStart = lPos;
    return TRUE;
  }
  long long llTarget = lOffset;
  if (nOrigin == STREAM_SEEK_CUR)
    llTarget += Tell();
  else if (nOrigin != STREAM_SEEK_SET)
    return FALSE;
  if (llTarget < 0 || llTarget > 0x7FFFFFFFLL)
    return FALSE;
  LONG lTarget = (LONG)llTarget;
  // Inside what the buffer holds: only the read index moves.
  if (lTarget >= m_lBufStart && lTarget <= m_lBufStart + (LONG)m_cbBuf) {
    m_iBuf = (DWORD)(lTarget - m_lBufStart);
    return TRUE;
  }
  LONG lPos = m_pFile->Seek(lTarget, STREAM_SEEK_SET);
  if (lPos != lTarget) {
    // The raw position is unknown now; put it back where the buffer says.
    m_pFile->Seek(m_lBufStart + (LONG)m_cbBuf, STREAM_SEEK_SET);
    return FALSE;
  }
  m_lBufStart = lTarget;
  m_cbBuf = 0;
  m_iBuf = 0;
  return TRUE;
}

DWORD CStreamBuffer::Write(LPCVOID pData, DWORD cbData)
{
  if (!Drop())
    return 0;
  DWORD cbWritten = 0;
  if (!m_pFile->Write(pData, cbData, &cbWritten))
    cbWritten = 0;
  if (cbWritten > cbData)
    cbWritten = cbData;
  m_lBufStart += (LONG)cbWritten;
  return cbWritten;
}

BOOL CStreamBuffer::Flush()
{
  return Drop();
}
