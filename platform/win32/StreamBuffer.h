// The buffered byte stream behind HSTREAM, over any raw file.
//
// One buffer serves reads, so that reading an INF file line by line costs a
// system call per 512 bytes rather than per byte. Writes go straight to the
// file at the stream's position and drop the buffer. Invariant: the raw
// file's position is m_lBufStart + m_cbBuf; the stream's position is
// m_lBufStart + m_iBuf. Kept free of Win32 calls so that it is tested on
// Linux over a file in memory.
#ifndef PLATFORM_WIN32_STREAMBUFFER_H
#define PLATFORM_WIN32_STREAMBUFFER_H

#include "platform/Win32Types.h"

// The unbuffered file under a stream.
class IRawFile {
public:
  virtual ~IRawFile() {}
  // FALSE on a read error; *pcbRead 0 at the end of the file.
  virtual BOOL Read(void* pData, DWORD cbData, DWORD* pcbRead) = 0;
  virtual BOOL Write(const void* pData, DWORD cbData, DWORD* pcbWritten) = 0;
  // Moves the file position (nOrigin as STREAM_SEEK_*); returns the new
  // position, or -1 with the position unchanged when it would be negative
  // or the file refuses.
  virtual LONG Seek(LONG lOffset, int nOrigin) = 0;
};

class CStreamBuffer {
public:
  enum { kBufferSize = 512 };

  CStreamBuffer() : m_pFile(0), m_lBufStart(0), m_cbBuf(0), m_iBuf(0) {}

  // Starts at position 0 of a freshly opened file.
  void Attach(IRawFile* pFile);
  void Detach() { m_pFile = 0; }

  // As fgets: at most cbBuffer - 1 bytes, up to and including a line feed;
  // always terminates the buffer (when cbBuffer > 0). Returns the number of
  // bytes stored, 0 at the end of the file or on a read error.
  DWORD ReadLine(LPSTR pszBuffer, DWORD cbBuffer);
  // The stream's position, counting what was read from the buffer.
  LONG Tell() const { return m_lBufStart + (LONG)m_iBuf; }
  // FALSE, position unchanged, for a negative or unreachable target.
  BOOL Seek(LONG lOffset, int nOrigin);
  // Writes at the stream's position; returns the bytes written.
  DWORD Write(LPCVOID pData, DWORD cbData);
  // Nothing is held back for writing; drops what was read ahead so that the
  // next read sees the file as it is now.
  BOOL Flush();

private:
  // Refills the buffer from the raw file; FALSE at the end or on an error.
  BOOL Fill();
  // Brings the raw file to the stream's position and empties the buffer.
  BOOL Drop();

  IRawFile* m_pFile;
  LONG m_lBufStart;
  DWORD m_cbBuf;
  DWORD m_iBuf;
  BYTE m_abBuf[kBufferSize];

  CStreamBuffer(const CStreamBuffer&);
  CStreamBuffer& operator=(const CStreamBuffer&);
};

#endif // PLATFORM_WIN32_STREAMBUFFER_H
