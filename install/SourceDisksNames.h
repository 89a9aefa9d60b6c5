// Making each INF copy name the staging directory as its source disk: the
// staging path is appended to one entry of its [SourceDisksNames] section.
#ifndef INSTALL_SOURCEDISKSNAMES_H
#define INSTALL_SOURCEDISKSNAMES_H

#include "install/InfFileList.h"

struct SourceDisksNamesRule {
  const char* m_pszKey;          // the entry of [SourceDisksNames] to extend
  // With a fixed suffix, that text is appended; without one, ", " and the 8.3
  // form of the staging directory, taken again for each file.
  const char* m_pszFixedSuffix;
  BOOL m_bWriteEmptyEntry;       // an empty or absent entry becomes the suffix alone
};

// Rewrites the entry in every INF copy on the list, in order. A path whose
// file does not exist is skipped, so that no INF file is ever created here.
void RewriteSourceDisksNames(const CInfFileList& fileList, const SourceDisksNamesRule& rule);

#endif
