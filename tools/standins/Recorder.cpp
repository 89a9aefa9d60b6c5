// Stands in for every program the launcher starts (the hand-off setups, the
// package's Setup.exe, SysTray.exe, an uninstaller): records its own path and
// exact command line, then exits, or first stays running for the time the job
// gives for its path ("Linger=MS PATH"), as an uninstaller being waited for.
#include <windows.h>

#include <cstdlib>

#include "StandinLog.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
  std::string cmd = GetCommandLineA();
  char szPath[MAX_PATH] = "";
  GetModuleFileNameA(nullptr, szPath, sizeof szPath);

  STARTUPINFOA si = {};
  si.cb = sizeof si;
  GetStartupInfoA(&si);
  std::string show = (si.dwFlags & STARTF_USESHOWWINDOW) ? std::to_string(si.wShowWindow) : "none";

  standin::Event("start " + standin::Quote(cmd) + " show=" + show);
  standin::AppendLine("SETUPTEST_PROGRAMS", std::string(szPath) + "|" + cmd);

  // What the computer looks like to a program: checks of the harness itself.
  OSVERSIONINFOA vi = {};
  vi.dwOSVersionInfoSize = sizeof vi;
  GetVersionExA(&vi);
  char szVersion[64];
  wsprintfA(szVersion, "version|%lu|%lu.%lu|0x%08lX", vi.dwPlatformId, vi.dwMajorVersion,
            vi.dwMinorVersion, vi.dwBuildNumber);
  standin::AppendLine("SETUPTEST_PROGRAMS", szVersion);
  char szCwd[MAX_PATH] = "";
  GetCurrentDirectoryA(sizeof szCwd, szCwd);
  standin::AppendLine("SETUPTEST_PROGRAMS", std::string("cwd|") + szCwd);

  standin::CJob job;
  if (job.Load()) {
    for (const std::string& linger : job.GetAll("Linger")) {
      size_t blank = linger.find(' ');
      if (blank != std::string::npos && standin::SameText(linger.substr(blank + 1), szPath))
        Sleep((DWORD)std::atoi(linger.c_str()));
    }
  }
  return 0;
}
