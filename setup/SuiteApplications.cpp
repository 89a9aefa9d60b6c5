#include "setup/SuiteApplications.h"

#include "platform/Platform.h"

// Time a closed application gets to shut down before its files are touched.
static const DWORD kSettlePause = 500;

// Sends WM_CLOSE to the first top-level window with exactly this title.
// Returns TRUE when there was one.
static BOOL CloseWindowByTitle(LPCSTR pszTitle)
{
  IPlatform* p = Platform();
  HWND hWnd = p->FindWindowExA(0, 0, 0, pszTitle);
  if (hWnd == 0)
    return FALSE;
  p->SendMessageA(hWnd, WM_CLOSE, 0, 0);
  return TRUE;
}

void CloseSuiteApplications()
{
  IPlatform* p = Platform();
  if (CloseWindowByTitle("Tonedock")) {
    p->Sleep(kSettlePause);
  } else {
    static const char* const s_apszSpinners[] = { "Disc Spinner", "Score Spinner",
                                                  "Track Spinner" };
    for (unsigned i = 0; i < sizeof s_apszSpinners / sizeof s_apszSpinners[0]; ++i)
      CloseWindowByTitle(s_apszSpinners[i]);
  }
  p->Sleep(kSettlePause);
}
