#include "install/DriverInstall.h"

#include "install/DriverStaging.h"
#include "install/FileStaging.h"
#include "install/InfFileList.h"
#include "install/InfOptionPatch.h"
#include "install/InstallPaths.h"
#include "install/MixerDefaults.h"
#include "install/MixerRefresh.h"
#include "install/SourceDisksNames.h"
#include "install/SystrayService.h"
#include "platform/StrBuf.h"
#include "purge/LegacyFileRetirement.h"
#include "purge/LegacyRegistryPurge.h"

enum Nt4Refusal {
  NT4_ENDS_PROCESS,   // the process ends at once, exit code 0, no message
  NT4_SKIPS_DRIVER,   // the driver part is skipped; the caller goes on
  NT4_REFUSED_BEFORE  // the dialog refused it before the sequence
};

enum DriverSourceRule {
  DRIVER_SOURCE_BY_VERSION,  // W95-98\drv\95\ or \98\, else W95-98\drv\ .
  DRIVER_SOURCE_PROGRAM_DIR  // the source directory itself
};

struct DriverInstallVariant {
  Nt4Refusal m_nNt4Refusal;
  BOOL m_bBeginsWaitCursor;     // after the tray program's pause (else the dialog shows it)
  BOOL m_bMixerAndTraySteps;    // mixer closed, Systray bit, tray restart, mixer defaults
  BOOL m_bCreatesInfDirs;       // INF\OTHER\ and INF\CATALOG\ created
  BOOL m_bSingleInfTarget;      // INF\OTHER\ when it can be entered, else INF; otherwise both
  BOOL m_bSourcePathCopies;     // Windows Setup's SourcePath read and copied to
  BOOL m_bDosFiles;
  DriverSourceRule m_nDriverSource;
  BOOL m_bExtraFiles;           // the 026 directory, the wavetable data, the mixer refresh
  BOOL m_bResetStagedCopy;
  InfPatchHook m_pfnPatchInf;
  SourceDisksNamesRule m_sourceDisks;
  BOOL m_bReturnsToDialog;      // the dialog finishes; otherwise message, restart, exit 0
};

// The VxD options dialog's hook: its option characters written into each INF
// copy placed in the INF tree.
static void PatchVxdInfCopy(const char* pszInfPath, const void* pHookData)
{
  const DriverInstallContext* pContext = (const DriverInstallContext*)pHookData;
  if (pContext->m_pVxdOptions != 0)
    PatchInfConfigLines(pszInfPath, *pContext->m_pVxdOptions);
}

const DriverInstallVariant g_silentDriverOnlyInstall = {
  NT4_ENDS_PROCESS, TRUE, TRUE, TRUE, FALSE, TRUE, TRUE, DRIVER_SOURCE_BY_VERSION,
  FALSE, FALSE, 0, { "1", 0, FALSE }, FALSE
};
const DriverInstallVariant g_silentWebInstall = {
  NT4_ENDS_PROCESS, TRUE, TRUE, TRUE, FALSE, TRUE, FALSE, DRIVER_SOURCE_PROGRAM_DIR,
  FALSE, FALSE, 0, { "1", 0, FALSE }, FALSE
};
const DriverInstallVariant g_mainDialogInstall = {
  NT4_SKIPS_DRIVER, TRUE, TRUE, TRUE, FALSE, TRUE, TRUE, DRIVER_SOURCE_BY_VERSION,
  FALSE, FALSE, 0, { "1", 0, FALSE }, TRUE
};
const DriverInstallVariant g_vxdDialogInstall = {
  NT4_REFUSED_BEFORE, FALSE, FALSE, FALSE, TRUE, FALSE, FALSE, DRIVER_SOURCE_PROGRAM_DIR,
  TRUE, TRUE, PatchVxdInfCopy, { "1", ", C:\\Program Files\\Veltrix\\W95-98", TRUE }, FALSE
};

// Built during one run, from staging to the end of the source-disk rewrite.
// Plain data in static storage: a zero-filled list is empty.
static CInfFileList s_infFileList;

// The directory whose files make up the driver set (MAX_PATH bytes).
static void FindDriverSourceDir(const DriverInstallVariant& variant,
                                const DriverInstallContext& context, char* pszDir)
{
  if (variant.m_nDriverSource == DRIVER_SOURCE_PROGRAM_DIR) {
    StrCopy(pszDir, MAX_PATH, context.m_pszSourceDir);
    return;
  }
  const char* pszSubDir = context.m_pVersion->m_bWin95 ? "W95-98\\drv\\95\\" : "W95-98\\drv\\98\\";
  if (ComposePath(pszDir, context.m_pszSourceDir, pszSubDir) &&
      Platform()->SetCurrentDirectoryA(pszDir))
    return;
  ComposePath(pszDir, context.m_pszSourceDir, "W95-98\\drv\\");
}

// The VxD driver's wavetable data: from the system directory unless the disc
// is a full package; a file of the same name in the driver set overwrites it.
static void StageWavetableData(const DriverInstallContext& context)
{
  if (context.m_nFullPackage != 0)
    return;
  char szSystemDir[MAX_PATH];
  if (!GetSystemDirWithBackslash(szSystemDir))
    return;
  CopyNamedFile(szSystemDir, g_szDriverStagingDir, "BANKPCM.DAT", TRUE);
  CopyNamedFile(szSystemDir, g_szDriverStagingDir, "BANKIDX.DAT", TRUE);
}

static void StageDosFiles(const char* pszSourceDir)
{
  char szDosDir[MAX_PATH];
  char szDosAppDir[MAX_PATH];
  if (!ComposePath(szDosDir, pszSourceDir, "Dosdrv\\"))
    return;
  CopyDirectoryFiles(szDosDir, g_szDosStagingDir);
  if (ComposePath(szDosAppDir, szDosDir, "DOSAPP\\"))
    CopyDirectoryFiles(szDosAppDir, g_szDosAppStagingDir);
}

void RunDriverInstall(const DriverInstallVariant& variant, const DriverInstallContext& context)
{
  if (context.m_pVersion->m_bWinNT4) {
    if (variant.m_nNt4Refusal == NT4_ENDS_PROCESS)
      Platform()->ExitProcess(0);
    if (variant.m_nNt4Refusal == NT4_SKIPS_DRIVER)
      return;
  }
  // m_bSourcePathSet of the application; a caller without one gets a flag of
  // this run's own.
  LONG bOwnSourcePathSet = FALSE;
  LONG* pbSourcePathSet = context.m_pbSourcePathSet != 0 ? context.m_pbSourcePathSet : &bOwnSourcePathSet;
  *pbSourcePathSet = FALSE;

  char szWindowsDir[MAX_PATH];
  char szInfDir[MAX_PATH];
  char szInfOtherDir[MAX_PATH];
  char szInfCatalogDir[MAX_PATH];
  // Without a Windows directory the INF paths stay empty, and every step
  // that needs them skips its files.
  GetWindowsDirWithBackslash(szWindowsDir);
  if (!ComposePath(szInfDir, szWindowsDir, "INF\\") ||
      !ComposePath(szInfOtherDir, szInfDir, "OTHER\\") ||
      !ComposePath(szInfCatalogDir, szInfDir, "CATALOG\\")) {
    szInfDir[0] = '\0';
    szInfOtherDir[0] = '\0';
    szInfCatalogDir[0] = '\0';
  }

  if (variant.m_bMixerAndTraySteps) {
    CloseMixerWindow();
    ClearSystrayServiceBit();
    RestartTrayProgram();
  }
  if (variant.m_bBeginsWaitCursor)
    Platform()->BeginWaitCursor();
  if (variant.m_bMixerAndTraySteps)
    ResetMixerDefaults(szWindowsDir);

  s_infFileList.Clear();

  PurgeLegacyRegistry();
  PurgeLegacyDriverFiles();

  if (variant.m_bCreatesInfDirs && szInfDir[0] != '\0') {
    CreateDirectoryLevel(szInfOtherDir);
    CreateDirectoryLevel(szInfCatalogDir);
  }

  char szSourcePathDir[MAX_PATH];
  szSourcePathDir[0] = '\0';
  if (variant.m_bSourcePathCopies && ReadSetupSourcePath(szSourcePathDir))
    *pbSourcePathSet = TRUE;

  CreateDirectoryLevel(g_szProgramFilesDir);
  CreateDirectoryLevel(g_szVeltrixDir);
  if (variant.m_bDosFiles) {
    CreateDirectoryLevel(g_szDosStagingDir);
    CreateDirectoryLevel(g_szDosAppStagingDir);
    StageDosFiles(context.m_pszSourceDir);
  }

  char szDriverDir[MAX_PATH];
  FindDriverSourceDir(variant, context, szDriverDir);
  CreateDirectoryLevel(g_szDriverStagingDir);
  if (variant.m_bExtraFiles) {
    CreateDirectoryLevel(g_szExtraStagingDir);
    StageWavetableData(context);
  }

  DriverStagingPlan plan;
  plan.m_pszSourceDir = szDriverDir;
  plan.m_pszStagingDir = g_szDriverStagingDir;
  plan.m_bResetStagedCopy = variant.m_bResetStagedCopy;
  plan.m_pszSourcePathDir = szSourcePathDir;
  plan.m_pbSourcePathSet = variant.m_bSourcePathCopies ? pbSourcePathSet : 0;
  plan.m_pszInfOtherDir = szInfOtherDir;
  if (variant.m_bSingleInfTarget) {
    plan.m_apszInfTargets[0] = szInfOtherDir[0] != '\0' && Platform()->SetCurrentDirectoryA(szInfOtherDir)
                                   ? szInfOtherDir
                                   : szInfDir;
    plan.m_apszInfTargets[1] = 0;
  } else {
    plan.m_apszInfTargets[0] = szInfDir;
    plan.m_apszInfTargets[1] = szInfOtherDir;
  }
  plan.m_pfnPatchInf = variant.m_pfnPatchInf;
  plan.m_pPatchData = &context;
  StageDriverSet(plan, &s_infFileList);

  if (variant.m_bExtraFiles) {
    char szExtraDir[MAX_PATH];
    if (ComposePath(szExtraDir, context.m_pszSourceDir, "026\\"))
      CopyDirectoryFiles(szExtraDir, g_szExtraStagingDir);
  }

  RewriteSourceDisksNames(s_infFileList, variant.m_sourceDisks);
  s_infFileList.Clear();

  if (variant.m_bExtraFiles)
    RefreshMixerProgram();

  // The driver part ends here; the completion message is shown with the
  // ordinary cursor.
  Platform()->EndWaitCursor();
  if (variant.m_bReturnsToDialog)
    return;
  FinishDriverInstall(context.m_hDlg);
  Platform()->ExitProcess(0);
}

void FinishDriverInstall(HWND hOwner)
{
  Platform()->MessageBoxA(hOwner, "Setup completed! The system will restart now!", "Setup", MB_OK);
  Platform()->ExitWindowsEx(EWX_REBOOT, 0);
}
