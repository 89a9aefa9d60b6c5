// Version, start-up data, started programs, top-level windows, message
// boxes, pauses and the ways the process ends.
#include <cstring>

#include "SimPlatform.h"
#include "SimText.h"

namespace sim {

BOOL CSimPlatform::GetVersionExA(LPOSVERSIONINFOA pInfo)
{
  if (pInfo == nullptr || pInfo->dwOSVersionInfoSize < sizeof(OSVERSIONINFOA)) {
    Fail(122 /* ERROR_INSUFFICIENT_BUFFER */);
    return FALSE;
  }
  *pInfo = m_version;
  return TRUE;
}

LPSTR CSimPlatform::GetCommandLineA()
{
  return m_commandLine.data();
}

DWORD CSimPlatform::GetModuleFileNameA(HMODULE, LPSTR pszFile, DWORD nSize)
{
  if (pszFile == nullptr || nSize == 0)
    return 0;
  const std::string& path = m_modulePath;
  DWORD n = path.size() < nSize ? (DWORD)path.size() : nSize - 1;
  std::memcpy(pszFile, path.data(), n);
  pszFile[n] = '\0';
  return n;
}

UINT CSimPlatform::SetErrorMode(UINT uMode)
{
  UINT old = m_uErrorMode;
  m_uErrorMode = uMode;
  return old;
}

// --- Programs -------------------------------------------------------------------

// A program named by a path (drive or folder given) must exist, with or
// without ".exe"; a bare name is taken as found on the search path. The
// name starts at the command's first character, so an empty or blank
// command, or one that starts with a blank, names no program (probed under
// Wine: "", "   ", " -a" and " C:\\WINDOWS\\NOTEPAD.EXE" all fail).
bool CSimPlatform::ProgramExists(LPCSTR pszApplication, const std::string& command) const
{
  auto exists = [&](const std::string& name) {
    if (name.empty() || name[0] == ' ' || name[0] == '\t')
      return false;
    if (name.find_first_of("\\/:") == std::string::npos)
      return true;
    for (const std::string& cand : {name, name + ".exe"}) {
      WinPath p;
      if (Full(cand.c_str(), &p)) {
        Located loc = m_fs.Locate(p);
        if (loc.exists && !loc.isDir)
          return true;
      }
    }
    return false;
  };
  if (pszApplication != nullptr)
    return exists(pszApplication);
  const std::string& cmd = command;
  if (!cmd.empty() && cmd[0] == '"') {
    size_t close = cmd.find('"', 1);
    return exists(cmd.substr(1, close == std::string::npos ? std::string::npos : close - 1));
  }
  // Unquoted: each blank may end the program's name, shortest first.
  for (size_t pos = 0;;) {
    size_t blank = cmd.find(' ', pos);
    if (exists(cmd.substr(0, blank)))
      return true;
    if (blank == std::string::npos)
      return false;
    pos = blank + 1;
  }
}

HANDLE CSimPlatform::StartProcess(const std::string& command, UINT uShow, const char* pszVia)
{
  NoteUnflushedProfiles("start " + Quote(command));
  Log("start " + Quote(command) + " show=" + std::to_string(uShow) + " via=" + pszVia);
  auto p = std::make_shared<SimProcess>();
  p->command = command;
  for (const auto& rp : m_options.runningPrograms)
    if (rp.first == command)
      p->runningReads = rp.second;
  HANDLE h = (HANDLE)NewHandle();
  m_processes[h] = p;
  return h;
}

void CSimPlatform::LogFailedStart(const std::string& command, const char* pszVia)
{
  Log("start-failed " + Quote(command) + " via=" + pszVia);
}

UINT CSimPlatform::WinExec(LPCSTR pszCmdLine, UINT uCmdShow)
{
  if (pszCmdLine == nullptr || !ProgramExists(nullptr, pszCmdLine)) {
    if (pszCmdLine != nullptr)
      LogFailedStart(pszCmdLine, "WinExec");
    Fail(ERROR_FILE_NOT_FOUND);
    return ERROR_FILE_NOT_FOUND;
  }
  HANDLE h = StartProcess(pszCmdLine, uCmdShow, "WinExec");
  m_processes.erase(h);  // WinExec gives no handle; the program runs on
  return 33;
}

BOOL CSimPlatform::CreateProcessA(LPCSTR pszApplicationName, LPSTR pszCommandLine,
                                  LPSECURITY_ATTRIBUTES, LPSECURITY_ATTRIBUTES, BOOL, DWORD,
                                  LPVOID, LPCSTR, LPSTARTUPINFOA pStartupInfo,
                                  LPPROCESS_INFORMATION pProcessInformation)
{
  std::string command = pszCommandLine ? pszCommandLine : (pszApplicationName ? pszApplicationName : "");
  if (pProcessInformation == nullptr || pStartupInfo == nullptr) {
    Fail(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  if (!ProgramExists(pszApplicationName, command)) {
    LogFailedStart(command, "CreateProcess");
    Fail(ERROR_FILE_NOT_FOUND);
    return FALSE;
  }
  // Without STARTF_USESHOWWINDOW the program shows itself normally.
  UINT uShow = (pStartupInfo->dwFlags & STARTF_USESHOWWINDOW) ? pStartupInfo->wShowWindow
                                                                : SW_SHOWNORMAL;
  HANDLE hProcess = StartProcess(command, uShow, "CreateProcess");
  HANDLE hThread = (HANDLE)NewHandle();
  m_processes[hThread] = m_processes[hProcess];
  static DWORD s_dwNextId = 0x100;
  pProcessInformation->hProcess = hProcess;
  pProcessInformation->hThread = hThread;
  pProcessInformation->dwProcessId = s_dwNextId++;
  pProcessInformation->dwThreadId = s_dwNextId++;
  return TRUE;
}

void CSimPlatform::SeeEnded(SimProcess& p)
{
  p.ended = true;
  if (!p.endSeen) {
    p.endSeen = true;
    Log("ended " + Quote(p.command) + " code=0");
  }
}

DWORD CSimPlatform::WaitForInputIdle(HANDLE hProcess, DWORD)
{
  if (!m_processes.count(hProcess)) {
    Fail(ERROR_INVALID_HANDLE);
    return WAIT_FAILED;
  }
  return 0;
}

// A program that still runs: an endless wait lasts until it ends (it ends
// then); a wait with a time limit passes that much virtual time and times
// out. Only exit-code reads count down a running program's reads.
DWORD CSimPlatform::WaitForSingleObject(HANDLE hHandle, DWORD dwMilliseconds)
{
  auto it = m_processes.find(hHandle);
  if (it == m_processes.end()) {
    Fail(ERROR_INVALID_HANDLE);
    return WAIT_FAILED;
  }
  SimProcess& p = *it->second;
  if (p.ended || p.runningReads == 0 || dwMilliseconds == INFINITE) {
    p.runningReads = 0;
    SeeEnded(p);
    return WAIT_OBJECT_0;
  }
  m_clockMs += dwMilliseconds;
  return WAIT_TIMEOUT;
}

BOOL CSimPlatform::GetExitCodeProcess(HANDLE hProcess, LPDWORD pdwExitCode)
{
  auto it = m_processes.find(hProcess);
  if (it == m_processes.end() || pdwExitCode == nullptr) {
    Fail(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  SimProcess& p = *it->second;
  if (!p.ended && p.runningReads > 0) {
    --p.runningReads;
    *pdwExitCode = STILL_ACTIVE;
    return TRUE;
  }
  SeeEnded(p);
  *pdwExitCode = 0;
  return TRUE;
}

BOOL CSimPlatform::CloseHandle(HANDLE hObject)
{
  if (m_processes.erase(hObject) == 0) {
    Fail(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  return TRUE;
}

// --- Top-level windows and message boxes ------------------------------------------

HWND CSimPlatform::FindWindowExA(HWND hWndParent, HWND hWndChildAfter, LPCSTR pszClass,
                                 LPCSTR pszWindow)
{
  if (hWndParent != nullptr || pszClass != nullptr)
    return nullptr;  // only the search by title is modelled
  bool started = hWndChildAfter == nullptr;
  for (HWND h : m_topLevel) {
    if (!started) {
      started = h == hWndChildAfter;
      continue;
    }
    const SimWindow& w = *m_windows.at(h);
    // Titles compare without regard to case, as Windows compares them.
    if (pszWindow == nullptr || EqualNoCase(w.title, pszWindow))
      return h;
  }
  Fail(ERROR_FILE_NOT_FOUND);
  return nullptr;
}

int CSimPlatform::MessageBoxA(HWND hWnd, LPCSTR pszText, LPCSTR pszCaption, UINT)
{
  std::string owner = "none";
  if (SimWindow* dlg = DialogOf(hWnd))
    owner = std::to_string(dlg->templateId);
  Log("message-box title=" + Quote(pszCaption ? pszCaption : "Error") +
      " text=" + Quote(pszText ? pszText : "") + " owner=" + owner);
  return IDOK;
}

void CSimPlatform::Sleep(DWORD dwMilliseconds)
{
  m_clockMs += dwMilliseconds;
  Log("pause " + std::to_string(dwMilliseconds));
}

BOOL CSimPlatform::ExitWindowsEx(UINT uFlags, DWORD)
{
  NoteUnflushedProfiles(uFlags & EWX_REBOOT ? "restart" : "exit-windows");
  if (uFlags & EWX_REBOOT)
    Log("restart");
  else
    Log("exit-windows flags=" + std::to_string(uFlags));
  return TRUE;
}

void CSimPlatform::ExitProcess(UINT uExitCode)
{
  Log("exit " + std::to_string(uExitCode));
  throw ProcessExit{uExitCode};
}

void CSimPlatform::BeginWaitCursor()
{
  Log("wait-cursor on");
}

void CSimPlatform::EndWaitCursor()
{
  Log("wait-cursor off");
}

void CSimPlatform::Enable3dControls() {}

}  // namespace sim
