// Copying the driver disc's files into place.
#ifndef INSTALL_FILESTAGING_H
#define INSTALL_FILESTAGING_H

#include "platform/PathNames.h"
#include "platform/Platform.h"

// Copy with normal attributes: the target's attributes are set to normal, the
// file is copied with overwriting, and with bResetAfter the attributes are
// set to normal once more. Returns CopyFileA's result.
BOOL CopyWithNormalAttributes(const char* pszSource, const char* pszTarget, BOOL bResetAfter);

// Creates the one directory pszDir names (ending in a backslash), handing
// CreateDirectoryA its name without the backslash, unless it is a drive
// root. Returns CreateDirectoryA's result.
BOOL CreateDirectoryLevel(const char* pszDir);

// pszSourceDir + pszName copied with normal attributes to pszTargetDir +
// pszName. FALSE when a path does not fit (nothing is then done) or the copy
// fails.
BOOL CopyNamedFile(const char* pszSourceDir, const char* pszTargetDir, const char* pszName,
                   BOOL bResetAfter);

// The files of one directory, in the platform's listing order. Entries with
// the directory attribute (the dot entries among them) are skipped.
class CDirectoryFiles {
public:
  CDirectoryFiles();
  ~CDirectoryFiles();
  // Starts the listing of pszDir + "*.*"; FALSE when nothing is listed.
  BOOL Open(const char* pszDir);
  // The next file's name, or NULL at the end.
  const char* Next();

private:
  HANDLE m_hFind;
  BOOL m_bPending;  // m_findData holds an entry not yet handed out
  WIN32_FIND_DATAA m_findData;
};

// Every file of pszSourceDir copied to pszTargetDir under its own name, with
// normal attributes, reset after.
void CopyDirectoryFiles(const char* pszSourceDir, const char* pszTargetDir);

#endif
