/* Starts a program and prints, in milliseconds after the start, when it
   first took input (WaitForInputIdle) and when a dialog of its process was
   first visible; then ends it. Polls every millisecond.
     LaunchTimer.exe PROGRAM [CURRENT_DIRECTORY]
   prints "idle 12.3 visible 45.6 title TITLE" (-1: not seen). */
#include <windows.h>
#include <stdio.h>
#include <string.h>

static DWORD s_dwPid;
static HWND s_hDialog;

static BOOL CALLBACK FindDialog(HWND hWnd, LPARAM lParam)
{
  DWORD dwPid = 0;
  char szClass[16];
  (void)lParam;
  GetWindowThreadProcessId(hWnd, &dwPid);
  if (dwPid == s_dwPid && IsWindowVisible(hWnd) && GetClassNameA(hWnd, szClass, sizeof szClass) &&
      strcmp(szClass, "#32770") == 0) {
    s_hDialog = hWnd;
    return FALSE;
  }
  return TRUE;
}

static double Since(LARGE_INTEGER start, LARGE_INTEGER freq)
{
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return (double)(now.QuadPart - start.QuadPart) * 1000.0 / (double)freq.QuadPart;
}

int main(int argc, char** argv)
{
  STARTUPINFOA si;
  PROCESS_INFORMATION pi;
  LARGE_INTEGER freq, start;
  char szCommand[MAX_PATH + 2];
  double idle = -1, visible = -1;
  if (argc < 2)
    return 2;
  memset(&si, 0, sizeof si);
  si.cb = sizeof si;
  snprintf(szCommand, sizeof szCommand, "\"%s\"", argv[1]);
  QueryPerformanceFrequency(&freq);
  QueryPerformanceCounter(&start);
  if (!CreateProcessA(argv[1], szCommand, NULL, NULL, FALSE, 0, NULL, argc > 2 ? argv[2] : NULL, &si,
                      &pi)) {
    printf("start-failed %lu\n", GetLastError());
    return 1;
  }
  s_dwPid = pi.dwProcessId;
  while (Since(start, freq) < 20000) {
    if (idle < 0 && WaitForInputIdle(pi.hProcess, 0) == 0)
      idle = Since(start, freq);
    EnumWindows(FindDialog, 0);
    if (s_hDialog != NULL && visible < 0)
      visible = Since(start, freq);
    /* Input-idle may come after the dialog: watch it for a while longer. */
    if (visible >= 0 && (idle >= 0 || Since(start, freq) > visible + 2000))
      break;
    if (WaitForSingleObject(pi.hProcess, 1) == WAIT_OBJECT_0)
      break;
  }
  {
    char szTitle[80] = "";
    char szText[80] = "";
    if (s_hDialog != NULL) {
      GetWindowTextA(s_hDialog, szTitle, sizeof szTitle);
      /* A message box holds its text in control 0xFFFF. */
      GetDlgItemTextA(s_hDialog, 0xFFFF, szText, sizeof szText);
    }
    printf("idle %.1f visible %.1f title %s%s%s\n", idle, visible, szTitle, szText[0] ? " | box: " : "",
           szText);
  }
  fflush(stdout);
  TerminateProcess(pi.hProcess, 0);
  WaitForSingleObject(pi.hProcess, 5000);
  return visible < 0;
}
