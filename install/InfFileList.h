// The file list: the full paths of the INF copies placed in the Windows INF
// tree during one installation, in the order they were placed (a path may
// stand twice).
#ifndef INSTALL_INFFILELIST_H
#define INSTALL_INFFILELIST_H

#include "platform/Win32Types.h"

// Paths are packed one after the other, each with its terminator, into a
// fixed pool: room for several hundred INF copies of ordinary length.
enum { INF_FILE_LIST_POOL = 32768 };

// Plain data, so that a zero-filled object is an empty list.
struct CInfFileList {
  char m_szPool[INF_FILE_LIST_POOL];
  unsigned int m_cbUsed;
  unsigned int m_nCount;

  void Clear();
  // FALSE, leaving the list as it was, when the path no longer fits.
  BOOL Append(const char* pszPath);
  unsigned int Count() const { return m_nCount; }
  // Walks the list: pass NULL for the first path, then the previous one.
  const char* NextPath(const char* pszPrevious) const;
};

#endif
