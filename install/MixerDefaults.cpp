#include "install/MixerDefaults.h"

#include "install/FileStaging.h"
#include "platform/Platform.h"
#include "platform/ProfileFiles.h"

void CloseMixerWindow()
{
  HWND hMixer = Platform()->FindWindowExA(0, 0, 0, "Mixer");
  if (hMixer != 0)
    Platform()->SendMessageA(hMixer, WM_CLOSE, 0, 0);
}

void ResetMixerDefaults(const char* pszWindowsDir)
{
  char szPath[MAX_PATH];
  if (!ComposePath(szPath, pszWindowsDir, "mixerdef.ini"))
    return;
  HSTREAM hFile = Platform()->StreamOpen(szPath, "rb");
  if (hFile == 0)
    return;
  // Closed before the write, so that the profile write never meets our own
  // open handle.
  Platform()->StreamClose(hFile);
  Platform()->WritePrivateProfileStringA("RUNTIME", "Initialize", "0", szPath);
  FlushProfileFile(szPath);
}
