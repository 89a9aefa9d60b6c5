// Byte streams over CreateFileA handles, from a fixed pool.
#include "platform/win32/Win32Platform.h"

#include "platform/win32/StreamBuffer.h"

// A file handle as an IRawFile.
class CHandleFile : public IRawFile {
public:
  CHandleFile() : m_hFile(INVALID_HANDLE_VALUE) {}

  virtual BOOL Read(void* pData, DWORD cbData, DWORD* pcbRead)
  {
    *pcbRead = 0;
    return ::ReadFile(m_hFile, pData, cbData, pcbRead, 0);
  }
  virtual BOOL Write(const void* pData, DWORD cbData, DWORD* pcbWritten)
  {
    *pcbWritten = 0;
    return ::WriteFile(m_hFile, pData, cbData, pcbWritten, 0);
  }
  virtual LONG Seek(LONG lOffset, int nOrigin)
  {
    DWORD dwMethod = nOrigin == STREAM_SEEK_END   ? FILE_END
                     : nOrigin == STREAM_SEEK_CUR ? FILE_CURRENT
                                                  : FILE_BEGIN;
    // Files past 2 GB are not the launcher's: the high part stays 0.
    DWORD dwPos = ::SetFilePointer(m_hFile, lOffset, 0, dwMethod);
    if (dwPos == INVALID_SET_FILE_POINTER || dwPos > 0x7FFFFFFFUL)
      return -1;
    return (LONG)dwPos;
  }

  HANDLE m_hFile;
};

struct SetupStream__ {
  CHandleFile m_file;
  CStreamBuffer m_buffer;
};

// The launcher holds at most one stream open at a time; a few spare.
static const int kMaxStreams = 4;
static SetupStream__ s_aStreams[kMaxStreams];

static SetupStream__* AllocStream()
{
  for (int i = 0; i < kMaxStreams; ++i) {
    if (s_aStreams[i].m_file.m_hFile == INVALID_HANDLE_VALUE)
      return &s_aStreams[i];
  }
  return 0;
}

HSTREAM CWin32Platform::StreamOpen(LPCSTR pszPath, LPCSTR pszMode)
{
  if (pszPath == 0 || pszMode == 0)
    return 0;
  DWORD dwAccess;
  if (pszMode[0] == 'r' && pszMode[1] == 'b' && pszMode[2] == '\0')
    dwAccess = GENERIC_READ;
  else if (pszMode[0] == 'r' && pszMode[1] == '+' && pszMode[2] == '\0')
    dwAccess = GENERIC_READ | GENERIC_WRITE;
  else
    return 0;
  SetupStream__* pStream = AllocStream();
  if (pStream == 0)
    return 0;
  HANDLE hFile = ::CreateFileA(pszPath, dwAccess, FILE_SHARE_READ | FILE_SHARE_WRITE, 0,
                               OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, 0);
  if (hFile == INVALID_HANDLE_VALUE)
    return 0;
  pStream->m_file.m_hFile = hFile;
  pStream->m_buffer.Attach(&pStream->m_file);
  return pStream;
}

DWORD CWin32Platform::StreamReadLine(HSTREAM hStream, LPSTR pszBuffer, DWORD cbBuffer)
{
  if (hStream == 0) {
    if (cbBuffer > 0)
      pszBuffer[0] = '\0';
    return 0;
  }
  return hStream->m_buffer.ReadLine(pszBuffer, cbBuffer);
}

LONG CWin32Platform::StreamTell(HSTREAM hStream)
{
  return hStream ? hStream->m_buffer.Tell() : -1;
}

BOOL CWin32Platform::StreamSeek(HSTREAM hStream, LONG lOffset, int nOrigin)
{
  return hStream ? hStream->m_buffer.Seek(lOffset, nOrigin) : FALSE;
}

DWORD CWin32Platform::StreamWrite(HSTREAM hStream, LPCVOID pData, DWORD cbData)
{
  return hStream ? hStream->m_buffer.Write(pData, cbData) : 0;
}

BOOL CWin32Platform::StreamFlush(HSTREAM hStream)
{
  return hStream ? hStream->m_buffer.Flush() : FALSE;
}

void CWin32Platform::StreamClose(HSTREAM hStream)
{
  if (hStream == 0 || hStream->m_file.m_hFile == INVALID_HANDLE_VALUE)
    return;
  hStream->m_buffer.Detach();
  ::CloseHandle(hStream->m_file.m_hFile);
  hStream->m_file.m_hFile = INVALID_HANDLE_VALUE;
}
