// Staging the driver set: every file of the driver source directory copied
// to the staging directory, to Windows Setup's SourcePath directory, and (its
// INF files) into the Windows INF tree.
#ifndef INSTALL_DRIVERSTAGING_H
#define INSTALL_DRIVERSTAGING_H

#include "install/InfFileList.h"
#include "platform/Platform.h"

// Called on each INF copy right after it is placed in the INF tree.
typedef void (*InfPatchHook)(const char* pszInfPath, const void* pHookData);

struct DriverStagingPlan {
  const char* m_pszSourceDir;      // the driver source directory
  const char* m_pszStagingDir;
  BOOL m_bResetStagedCopy;         // staged copies set to normal again after copying
  // SourcePath copies: the directory and the flag that says they go on. NULL
  // flag: none are made.
  const char* m_pszSourcePathDir;
  LONG* m_pbSourcePathSet;
  const char* m_pszInfOtherDir;    // where a file that SourcePath refused goes
  // The INF target directories in placing order; the second may be NULL.
  const char* m_apszInfTargets[2];
  InfPatchHook m_pfnPatchInf;      // NULL: no patch
  const void* m_pPatchData;
};

// A setup file by name: "SETUP" anywhere in the upper-cased name.
BOOL IsSetupFileName(const char* pszName);

// Stages every file of the plan's source directory in listing order;
// pFileList then names the INF copies placed in the INF tree.
void StageDriverSet(const DriverStagingPlan& plan, CInfFileList* pFileList);

#endif
