// Stands in for an open top-level window (a suite application, the mixer):
// a window with the title the job gives; records WM_CLOSE and closes.
//
// Started as "window.exe N" for the job's N-th Window= title, or as
// "window.exe watch": a window that notes a restart request. Wine carries out
// ExitWindowsEx by sending WM_QUERYENDSESSION/WM_ENDSESSION to every process
// with a window; the watcher records "restart" and, unless the job allows the
// restart (AllowRestart=1), refuses it so that the machine stays as the
// program left it (WININIT.INI not yet carried out).
#include <windows.h>

#include <cstdlib>

#include "StandinLog.h"

static std::string s_title;
static bool s_bWatcher = false;
static bool s_bAllowRestart = false;

static LRESULT CALLBACK WndProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam)
{
  switch (uMsg) {
  case WM_CLOSE:
    standin::Event("close-window " + standin::Quote(s_title));
    DestroyWindow(hWnd);
    return 0;
  case WM_QUERYENDSESSION:
    if (s_bWatcher) {
      standin::Event("restart");
      return s_bAllowRestart ? TRUE : FALSE;
    }
    return TRUE;
  case WM_ENDSESSION:
    if (wParam)
      standin::AppendLine("SETUPTEST_PROGRAMS", "end-session|" + s_title);
    return 0;
  case WM_DESTROY:
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcA(hWnd, uMsg, wParam, lParam);
}

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPSTR pszCmdLine, int)
{
  standin::CJob job;
  job.Load();
  std::string arg = pszCmdLine;
  if (arg == "watch") {
    s_bWatcher = true;
    s_title = "Setup test restart watcher";
    s_bAllowRestart = job.Get("AllowRestart") == "1";
  } else {
    std::vector<std::string> titles = job.GetAll("Window");
    size_t n = (size_t)std::atoi(arg.c_str());
    if (n >= titles.size())
      return 2;
    s_title = titles[n];
  }

  WNDCLASSA wc = {};
  wc.lpfnWndProc = WndProc;
  wc.hInstance = hInstance;
  wc.lpszClassName = "SetupTestWindow";
  RegisterClassA(&wc);
  HWND hWnd = CreateWindowA("SetupTestWindow", s_title.c_str(), WS_OVERLAPPEDWINDOW, 0, 0, 200,
                            100, nullptr, nullptr, hInstance, nullptr);
  if (!hWnd)
    return 1;
  ShowWindow(hWnd, SW_SHOWNOACTIVATE);
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return 0;
}
