/* The smallest program that shows one dialog: no C runtime, one call to
   DialogBoxParamA, the process ends with the dialog's result. Built with
   its own one-dialog template (Floor.rc) or with the launcher's resources. */
#include <windows.h>

#ifndef FLOOR_DIALOG
#define FLOOR_DIALOG 1
#endif

static INT_PTR CALLBACK FloorDlgProc(HWND hDlg, UINT uMsg, WPARAM wParam, LPARAM lParam)
{
  (void)lParam;
  if (uMsg == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
    EndDialog(hDlg, LOWORD(wParam));
    return TRUE;
  }
  return uMsg == WM_INITDIALOG;
}

void WINAPI FloorEntry(void)
{
  ExitProcess((UINT)DialogBoxParamA(GetModuleHandleA(NULL), MAKEINTRESOURCEA(FLOOR_DIALOG), NULL,
                                    FloorDlgProc, 0));
}
