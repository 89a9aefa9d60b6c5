/* The uninstall wait written as a literal poll loop: let the uninstaller
   become idle for input, read its exit code, again until it has ended. An
   idle uninstaller makes WaitForInputIdle return at once, so the loop spins
   for the whole wait. The peer of the launcher's blocking wait.
     PollLoop.exe "UNINSTALLER -a" */
#include <windows.h>

int main(int argc, char** argv)
{
  STARTUPINFOA si;
  PROCESS_INFORMATION pi;
  DWORD dwCode = STILL_ACTIVE;
  if (argc < 2)
    return 2;
  ZeroMemory(&si, sizeof si);
  si.cb = sizeof si;
  if (!CreateProcessA(NULL, argv[1], NULL, NULL, FALSE, 0, NULL, NULL, &si, &pi))
    return 1;
  while (dwCode == STILL_ACTIVE) {
    WaitForInputIdle(pi.hProcess, 1000);
    if (!GetExitCodeProcess(pi.hProcess, &dwCode))
      break;
  }
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return 0;
}
