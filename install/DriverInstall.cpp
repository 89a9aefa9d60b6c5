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

// The steps that only some variants take.
enum DriverInstallStep {
  STEP_WAIT_CURSOR = 0x001,         // after the tray program's pause (else the dialog shows it)
  STEP_MIXER_AND_TRAY = 0x002,      // mixer closed, Systray bit, tray restart, mixer defaults
  STEP_INF_DIRS = 0x004,            // INF\OTHER\ and INF\CATALOG\ created
  STEP_SINGLE_INF_TARGET = 0x008,   // INF\OTHER\ when it can be entered, else INF; otherwise both
  STEP_SOURCE_PATH_COPIES = 0x010,  // Windows Setup's SourcePath read and copied to
  STEP_DOS_FILES = 0x020,
  STEP_EXTRA_FILES = 0x040,         // the 026 directory, the wavetable data, the mixer refresh
  STEP_RESET_STAGED_COPY = 0x080,   // staged copies set to normal again after copying
  STEP_RETURNS_TO_DIALOG = 0x100    // the dialog finishes; otherwise message, restart, exit 0
};

struct DriverInstallVariant {
  Nt4Refusal m_nNt4Refusal;
  DriverSourceRule m_nDriverSource;
  DWORD m_fSteps;                   // DriverInstallStep flags
  InfPatchHook m_pfnPatchInf;       // NULL: the INF copies stay as staged
  const SourceDisksNamesRule* m_pSourceDisks;

  BOOL Takes(DWORD fStep) const { return (m_fSteps & fStep) != 0; }
};

// The VxD options dialog's hook: its option characters written into each INF
// copy placed in the INF tree.
static void PatchVxdInfCopy(const char* pszInfPath, const void* pHookData)
{
  const DriverInstallContext* pContext = (const DriverInstallContext*)pHookData;
  if (pContext->m_pVxdOptions != 0)
    PatchInfConfigLines(pszInfPath, *pContext->m_pVxdOptions);
}

// Entry "1" of [SourceDisksNames] names the staging directory: by its 8.3
// form, leaving an empty entry alone, or (the VxD dialog) as written, even in
// an empty entry.
static const SourceDisksNamesRule s_shortStagingDisk = { "1", 0, FALSE };
static const SourceDisksNamesRule s_longStagingDisk = {
  "1", ", C:\\Program Files\\Veltrix\\W95-98", TRUE
};

const DriverInstallVariant g_silentDriverOnlyInstall = {
  NT4_ENDS_PROCESS, DRIVER_SOURCE_BY_VERSION,
  STEP_WAIT_CURSOR | STEP_MIXER_AND_TRAY | STEP_INF_DIRS | STEP_SOURCE_PATH_COPIES | STEP_DOS_FILES,
  0, &s_shortStagingDisk
};
const DriverInstallVariant g_silentWebInstall = {
  NT4_ENDS_PROCESS, DRIVER_SOURCE_PROGRAM_DIR,
  STEP_WAIT_CURSOR | STEP_MIXER_AND_TRAY | STEP_INF_DIRS | STEP_SOURCE_PATH_COPIES,
  0, &s_shortStagingDisk
};
const DriverInstallVariant g_mainDialogInstall = {
  NT4_SKIPS_DRIVER, DRIVER_SOURCE_BY_VERSION,
  STEP_WAIT_CURSOR | STEP_MIXER_AND_TRAY | STEP_INF_DIRS | STEP_SOURCE_PATH_COPIES | STEP_DOS_FILES |
      STEP_RETURNS_TO_DIALOG,
  0, &s_shortStagingDisk
};
const DriverInstallVariant g_vxdDialogInstall = {
  NT4_REFUSED_BEFORE, DRIVER_SOURCE_PROGRAM_DIR,
  STEP_SINGLE_INF_TARGET | STEP_EXTRA_FILES | STEP_RESET_STAGED_COPY,
  PatchVxdInfCopy, &s_longStagingDisk
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

  if (variant.Takes(STEP_MIXER_AND_TRAY)) {
    CloseMixerWindow();
    ClearSystrayServiceBit();
    RestartTrayProgram();
  }
  if (variant.Takes(STEP_WAIT_CURSOR))
    Platform()->BeginWaitCursor();
  if (variant.Takes(STEP_MIXER_AND_TRAY))
    ResetMixerDefaults(szWindowsDir);

  s_infFileList.Clear();

  PurgeLegacyRegistry();
  PurgeLegacyDriverFiles();

  if (variant.Takes(STEP_INF_DIRS) && szInfDir[0] != '\0') {
    CreateDirectoryLevel(szInfOtherDir);
    CreateDirectoryLevel(szInfCatalogDir);
  }

  char szSourcePathDir[MAX_PATH];
  szSourcePathDir[0] = '\0';
  if (variant.Takes(STEP_SOURCE_PATH_COPIES) && ReadSetupSourcePath(szSourcePathDir))
    *pbSourcePathSet = TRUE;

  CreateDirectoryLevel(g_szProgramFilesDir);
  CreateDirectoryLevel(g_szVeltrixDir);
  if (variant.Takes(STEP_DOS_FILES)) {
    CreateDirectoryLevel(g_szDosStagingDir);
    CreateDirectoryLevel(g_szDosAppStagingDir);
    StageDosFiles(context.m_pszSourceDir);
  }

  char szDriverDir[MAX_PATH];
  FindDriverSourceDir(variant, context, szDriverDir);
  CreateDirectoryLevel(g_szDriverStagingDir);
  if (variant.Takes(STEP_EXTRA_FILES)) {
    CreateDirectoryLevel(g_szExtraStagingDir);
    StageWavetableData(context);
  }

  DriverStagingPlan plan;
  plan.m_pszSourceDir = szDriverDir;
  plan.m_pszStagingDir = g_szDriverStagingDir;
  plan.m_bResetStagedCopy = variant.Takes(STEP_RESET_STAGED_COPY);
  plan.m_pszSourcePathDir = szSourcePathDir;
  plan.m_pbSourcePathSet = variant.Takes(STEP_SOURCE_PATH_COPIES) ? pbSourcePathSet : 0;
  plan.m_pszInfOtherDir = szInfOtherDir;
  if (variant.Takes(STEP_SINGLE_INF_TARGET)) {
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

  if (variant.Takes(STEP_EXTRA_FILES)) {
    char szExtraDir[MAX_PATH];
    if (ComposePath(szExtraDir, context.m_pszSourceDir, "026\\"))
      CopyDirectoryFiles(szExtraDir, g_szExtraStagingDir);
  }

  RewriteSourceDisksNames(s_infFileList, *variant.m_pSourceDisks);
  s_infFileList.Clear();

  if (variant.Takes(STEP_EXTRA_FILES))
    RefreshMixerProgram();

  // The driver part ends here; the completion message is shown with the
  // ordinary cursor.
  Platform()->EndWaitCursor();
  if (variant.Takes(STEP_RETURNS_TO_DIALOG))
    return;
  FinishDriverInstall(context.m_hDlg);
  Platform()->ExitProcess(0);
}

void FinishDriverInstall(HWND hOwner)
{
  Platform()->MessageBoxA(hOwner, "Setup completed! The system will restart now!", "Setup", MB_OK);
  Platform()->ExitWindowsEx(EWX_REBOOT, 0);
}
