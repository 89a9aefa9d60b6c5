/* Stands in for a package's uninstaller: a window that pumps messages for
   BENCH_UNINSTALL_MS milliseconds (3000 if unset) when started with "-a",
   as the launcher starts it; without arguments (the package's own setup
   program) it ends at once. An idle message-pumping program is what makes
   a WaitForInputIdle loop spin. */
#include <windows.h>
#include <stdlib.h>
#include <string.h>

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE hPrev, LPSTR pszCmdLine, int nShow)
{
  char szMs[16];
  UINT uMs = 3000;
  MSG msg;
  HWND hWnd;
  (void)hPrev;
  (void)nShow;
  if (strstr(pszCmdLine, "-a") == NULL)
    return 0;
  if (GetEnvironmentVariableA("BENCH_UNINSTALL_MS", szMs, sizeof szMs) > 0)
    uMs = (UINT)atoi(szMs);
  hWnd = CreateWindowA("STATIC", "Uninstall", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, NULL, NULL,
                       hInstance, NULL);
  SetTimer(hWnd, 1, uMs, NULL);
  while (GetMessageA(&msg, NULL, 0, 0) > 0) {
    if (msg.message == WM_TIMER)
      break;
    DispatchMessageA(&msg);
  }
  return 0;
}
