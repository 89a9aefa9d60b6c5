// The file list: the INF copies placed in the Windows INF tree during one
// installation, in the order they were placed (a path may stand twice).
//
// Every copy follows one rule: each INF file of the driver source directory,
// in listing order, copied into each INF target directory in turn. The list
// keeps that rule and lists the directory again when it is walked, instead
// of holding the paths, so any number of INF files is rewritten.
#ifndef INSTALL_INFFILELIST_H
#define INSTALL_INFFILELIST_H

#include "install/FileStaging.h"

// An INF file by name: ".inf" or ".INF" anywhere in it, compared with case.
BOOL IsInfFileName(const char* pszName);

// Plain data, so that a zero-filled object is an empty list.
struct CInfFileList {
  char m_szSourceDir[MAX_PATH];        // "": the list is empty
  char m_aszTargetDirs[2][MAX_PATH];   // "": no such target

  void Clear();
  // The copies of pszSourceDir's INF files in the target directories (the
  // second may be NULL). FALSE, leaving the list empty, when a directory
  // does not fit.
  BOOL SetPlacement(const char* pszSourceDir, const char* const apszTargetDirs[2]);
};

// The list's paths, in placing order.
class CInfFileWalk {
public:
  explicit CInfFileWalk(const CInfFileList& list);
  // The full path of the next INF copy, or NULL at the end.
  const char* Next();

private:
  const CInfFileList& m_list;
  CDirectoryFiles m_files;
  BOOL m_bListed;
  const char* m_pszName;  // the INF file whose copies are handed out
  int m_nTarget;          // the next target directory for it
  char m_szPath[MAX_PATH];
};

#endif
