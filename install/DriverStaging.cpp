#include "install/DriverStaging.h"

#include "install/FileStaging.h"
#include "platform/StrBuf.h"

BOOL IsSetupFileName(const char* pszName)
{
  char szUpper[MAX_PATH];
  if (!StrCopy(szUpper, sizeof(szUpper), pszName))
    return FALSE;
  StrUpper(szUpper);
  return StrStr(szUpper, "SETUP") != 0;
}

// The copy to Windows Setup's source directory. The first copy that fails
// there ends these copies for the rest of the run, and that one file goes to
// INF\OTHER\ instead, where Windows looks as well.
static void CopyToSourcePath(const DriverStagingPlan& plan, const char* pszName)
{
  if (plan.m_pbSourcePathSet == 0 || !*plan.m_pbSourcePathSet || IsSetupFileName(pszName))
    return;
  char szSource[MAX_PATH];
  char szTarget[MAX_PATH];
  if (!ComposePath(szSource, plan.m_pszSourceDir, pszName) ||
      !ComposePath(szTarget, plan.m_pszSourcePathDir, pszName))
    return;
  if (CopyWithNormalAttributes(szSource, szTarget, FALSE))
    return;
  *plan.m_pbSourcePathSet = FALSE;
  CopyNamedFile(plan.m_pszSourceDir, plan.m_pszInfOtherDir, pszName, FALSE);
}

static void PlaceInfFile(const DriverStagingPlan& plan, const char* pszTargetDir, const char* pszName)
{
  char szSource[MAX_PATH];
  char szTarget[MAX_PATH];
  if (!ComposePath(szSource, plan.m_pszSourceDir, pszName) || !ComposePath(szTarget, pszTargetDir, pszName))
    return;
  CopyWithNormalAttributes(szSource, szTarget, TRUE);
  if (plan.m_pfnPatchInf != 0)
    plan.m_pfnPatchInf(szTarget, plan.m_pPatchData);
}

void StageDriverSet(const DriverStagingPlan& plan, CInfFileList* pFileList)
{
  pFileList->Clear();
  CDirectoryFiles files;
  if (!files.Open(plan.m_pszSourceDir))
    return;
  // Every copy placed goes on the list, a failed one too: an older copy of
  // that name may stand there and is rewritten all the same.
  pFileList->SetPlacement(plan.m_pszSourceDir, plan.m_apszInfTargets);
  while (const char* pszName = files.Next()) {
    CopyNamedFile(plan.m_pszSourceDir, plan.m_pszStagingDir, pszName, plan.m_bResetStagedCopy);
    CopyToSourcePath(plan, pszName);
    if (!IsInfFileName(pszName))
      continue;
    for (int i = 0; i < 2; ++i) {
      if (plan.m_apszInfTargets[i] != 0)
        PlaceInfFile(plan, plan.m_apszInfTargets[i], pszName);
    }
  }
}
