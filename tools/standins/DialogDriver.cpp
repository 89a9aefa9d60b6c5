// Runs the program under test and acts as the person at the computer.
//
// Reads the job (SETUPTEST_JOB), opens the windows that are to be open at
// start (window.exe), starts the program with CreateProcessA exactly as the
// job says (application path, command line, current directory), then watches
// its top-level windows: a dialog made from one of the program's templates is
// recorded when it appears and when it goes, and gets the job's user actions
// in turn (OK when none is left); a message box is recorded and answered with
// OK. Everything goes to the shared event log in setupsim's line form. When
// the program has ended, waits for the programs it started to finish
// recording, then writes "exit N".
//
// Only PostMessageA reaches the program's windows: SendMessageA would block
// while the program shows a modal box. SendMessageTimeoutA with WM_NULL tells
// whether the program's thread is taking messages (waiting for the user).
#include <windows.h>
#include <tlhelp32.h>

#include <cstdlib>
#include <deque>
#include <map>
#include <set>

#include "DialogTemplates.h"
#include "StandinLog.h"

namespace {

using standin::Event;
using standin::Quote;

struct Tracked {
  bool bDialog = false;
  unsigned id = 0;
  bool bEverVisible = false;
  std::string lastAction;  // the user action last given to it
};

struct Run {
  PROCESS_INFORMATION pi = {};
  DWORD deadline = 0;
  std::vector<standin::DialogTemplate> templates;
  std::map<HWND, Tracked> tracked;
  std::deque<std::string> actions;
  bool bFailed = false;
};

bool Exited(const Run& run)
{
  return WaitForSingleObject(run.pi.hProcess, 0) == WAIT_OBJECT_0;
}

bool PastDeadline(const Run& run)
{
  return (LONG)(GetTickCount() - run.deadline) > 0;
}

struct EnumCtx {
  DWORD pid;
  std::vector<HWND>* pOut;
};

BOOL CALLBACK CollectWindow(HWND hWnd, LPARAM lParam)
{
  auto* pCtx = reinterpret_cast<EnumCtx*>(lParam);
  DWORD pid = 0;
  GetWindowThreadProcessId(hWnd, &pid);
  char szClass[16] = "";
  GetClassNameA(hWnd, szClass, sizeof szClass);
  if (pid == pCtx->pid && lstrcmpA(szClass, "#32770") == 0)
    pCtx->pOut->push_back(hWnd);
  return TRUE;
}

std::vector<HWND> ProgramDialogs(const Run& run)
{
  std::vector<HWND> out;
  EnumCtx ctx = { run.pi.dwProcessId, &out };
  EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&ctx));
  return out;
}

std::string WindowText(HWND hWnd)
{
  char sz[2048] = "";
  GetWindowTextA(hWnd, sz, sizeof sz);
  return sz;
}

// The result a dialog ended with, as far as the actions given to it tell.
std::string EndResult(const Tracked& t)
{
  if (t.lastAction == "cancel" || t.lastAction == "click:2")
    return "IDCANCEL";
  return "IDOK";
}

// Records dialogs and message boxes that appeared or went since the last look.
void Scan(Run& run)
{
  std::vector<HWND> now = ProgramDialogs(run);
  std::set<HWND> present(now.begin(), now.end());
  bool bExited = Exited(run);
  for (auto it = run.tracked.begin(); it != run.tracked.end();) {
    if (present.count(it->first) && IsWindow(it->first)) {
      if (IsWindowVisible(it->first))
        it->second.bEverVisible = true;
      ++it;
      continue;
    }
    // A dialog that was never shown and went with the process was ended by
    // the process from its initialisation: it has no end of its own.
    if (it->second.bDialog && !(bExited && !it->second.bEverVisible))
      Event("dialog " + std::to_string(it->second.id) + " end " + EndResult(it->second));
    it = run.tracked.erase(it);
  }
  // Dialogs first: a message box that came up over a dialog between two
  // looks comes first in the z-order, but its owner is to be named by the
  // dialog's template, and the dialog opened before it.
  for (HWND hWnd : now) {
    if (run.tracked.count(hWnd))
      continue;
    if (const standin::DialogTemplate* pTemplate = standin::MatchDialog(run.templates, hWnd)) {
      Tracked t;
      t.bDialog = true;
      t.id = pTemplate->id;
      t.bEverVisible = IsWindowVisible(hWnd) != FALSE;
      run.tracked[hWnd] = t;
      Event("dialog " + std::to_string(t.id) + " open lang=" + std::to_string(pTemplate->lang));
    }
  }
  for (HWND hWnd : now) {
    if (run.tracked.count(hWnd))
      continue;
    HWND hText = GetDlgItem(hWnd, 0xFFFF);
    if (!hText || !IsWindowVisible(hWnd))
      continue;  // not (yet) a message box that is up
    HWND hOwner = GetWindow(hWnd, GW_OWNER);
    std::string owner = "none";
    auto itOwner = run.tracked.find(hOwner);
    if (itOwner != run.tracked.end() && itOwner->second.bDialog)
      owner = std::to_string(itOwner->second.id);
    else if (hOwner)
      owner = "window:" + WindowText(hOwner);
    Event("message-box title=" + Quote(WindowText(hWnd)) + " text=" + Quote(WindowText(hText)) +
          " owner=" + owner);
    Tracked t;
    t.bEverVisible = true;
    run.tracked[hWnd] = t;
    PostMessageA(hWnd, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), (LPARAM)GetDlgItem(hWnd, IDOK));
  }
}

// The dialog's default button id (DM_GETDEFID), 0 for none, or -1 while its
// thread does not answer.
int DefId(HWND hDlg, UINT msTimeout)
{
  DWORD_PTR result = 0;
  if (!SendMessageTimeoutA(hDlg, DM_GETDEFID, 0, 0, SMTO_NORMAL, msTimeout, &result))
    return -1;
  return HIWORD(result) == DC_HASDEFID ? LOWORD(result) : 0;
}

bool OnlyDialogsUp(const Run& run)
{
  for (const auto& e : run.tracked)
    if (!e.second.bDialog && IsWindow(e.first))
      return false;
  return true;
}

// Posts DM_SETDEFID and waits until the dialog reports that id (or, for the
// way back, no longer the marker: with none set, a dialog reports its
// default push button instead of 0). Posted
// messages are handled in order and only by a message loop, so this proves
// that everything posted before (the previous action) has been handled and
// the thread takes messages again. False when something else happened first.
bool PostedRoundTrip(Run& run, HWND hDlg, int id, int marker)
{
  PostMessageA(hDlg, DM_SETDEFID, (WPARAM)id, 0);
  size_t nWindows = ProgramDialogs(run).size();
  for (;;) {
    if (!IsWindow(hDlg) || Exited(run) || PastDeadline(run) || ProgramDialogs(run).size() != nWindows)
      return false;
    int now = DefId(hDlg, 50);
    if (now >= 0 && (id == marker ? now == marker : now != marker))
      return true;
    WaitForSingleObject(run.pi.hProcess, 10);
  }
}

// The dialog that waits for the user: shown, enabled (no modal box of its
// own is up), no message box open, and its thread back in the dialog's own
// message loop. A thread that works inside a handler may still answer sent
// messages (while WinExec waits for the started program, while SendMessageA
// waits for another program), so answering a sent message proves nothing;
// a posted marker does: the default button id is set to an id no control
// has and then back (nothing else changes; the driver never presses Enter).
// With no message box or other dialog up, the loop that handled the markers
// is the dialog's.
HWND WaitingDialog(Run& run)
{
  const int kMarkerId = 0x7FFE;
  if (!OnlyDialogsUp(run))
    return nullptr;
  for (const auto& e : run.tracked) {
    HWND hDlg = e.first;
    if (!e.second.bDialog || !IsWindowVisible(hDlg) || !IsWindowEnabled(hDlg))
      continue;
    int original = DefId(hDlg, 50);
    if (original < 0 || original == kMarkerId)
      return nullptr;
    // The way back is posted whatever happens on the way there: a marker
    // left set would make the dialog look busy for ever.
    if (!PostedRoundTrip(run, hDlg, kMarkerId, kMarkerId)) {
      PostMessageA(hDlg, DM_SETDEFID, (WPARAM)original, 0);
      return nullptr;
    }
    if (!PostedRoundTrip(run, hDlg, original, kMarkerId))
      return nullptr;
    Scan(run);
    if (OnlyDialogsUp(run) && IsWindowVisible(hDlg) && IsWindowEnabled(hDlg))
      return hDlg;
    return nullptr;
  }
  return nullptr;
}

void Act(Run& run, HWND hDlg)
{
  std::string action = "ok";
  if (!run.actions.empty()) {
    action = run.actions.front();
    run.actions.pop_front();
  }
  run.tracked[hDlg].lastAction = action;
  standin::AppendLine("SETUPTEST_PROGRAMS", "action|" + action);
  if (action == "ok") {
    PostMessageA(hDlg, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), (LPARAM)GetDlgItem(hDlg, IDOK));
  } else if (action == "cancel") {
    PostMessageA(hDlg, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                 (LPARAM)GetDlgItem(hDlg, IDCANCEL));
  } else if (action == "about") {
    PostMessageA(hDlg, WM_SYSCOMMAND, 0x0010, 0);
  } else if (action.compare(0, 6, "click:") == 0) {
    int id = std::atoi(action.c_str() + 6);
    HWND hCtl = GetDlgItem(hDlg, id);
    if (!hCtl) {
      Event("error " + Quote("action " + action + ": no such control in dialog " +
                             std::to_string(run.tracked[hDlg].id)));
      run.bFailed = true;
      return;
    }
    // As a mouse click: a hidden or disabled control does not get it.
    if (!IsWindowVisible(hCtl) || !IsWindowEnabled(hCtl))
      return;
    PostMessageA(hCtl, BM_CLICK, 0, 0);
  } else {
    Event("error " + Quote("unknown action " + action));
    run.bFailed = true;
    return;
  }
}

// Under heavy load Wine now and then refuses a start with
// ERROR_INTERNAL_ERROR (1359) that a second try does not meet; that one
// error is Wine's, not the program's, so it is tried again.
PROCESS_INFORMATION Start(const std::string& app, std::string cmd, const std::string& cwd)
{
  STARTUPINFOA si = {};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi = {};
  for (int attempt = 0; attempt < 3; ++attempt) {
    if (CreateProcessA(app.empty() ? nullptr : app.c_str(), &cmd[0], nullptr, nullptr, FALSE, 0,
                       nullptr, cwd.empty() ? nullptr : cwd.c_str(), &si, &pi))
      return pi;
    if (GetLastError() != ERROR_INTERNAL_ERROR)
      break;
    Sleep(500);  // a real process start, not a simulated pause
  }
  pi.hProcess = nullptr;
  return pi;
}

// A stand-in window; under load a Wine process now and then ends before its
// first window (seen once in some hundreds of runs), so the start is tried
// again. *pExit holds the last attempt's exit code.
bool OpenWindow(const std::string& exe, const std::string& arg, const std::string& title,
                std::vector<HANDLE>* pProcesses, DWORD* pExit)
{
  *pExit = STILL_ACTIVE;
  for (int attempt = 0; attempt < 3; ++attempt) {
    PROCESS_INFORMATION pi = Start(exe, "window.exe " + arg, std::string());
    if (!pi.hProcess) {
      *pExit = GetLastError();
      continue;
    }
    CloseHandle(pi.hThread);
    for (int i = 0; i < 1500; ++i) {
      if (FindWindowA("SetupTestWindow", title.c_str())) {
        pProcesses->push_back(pi.hProcess);
        return true;
      }
      if (WaitForSingleObject(pi.hProcess, 10) == WAIT_OBJECT_0)
        break;
    }
    GetExitCodeProcess(pi.hProcess, pExit);
    TerminateProcess(pi.hProcess, 1);
    CloseHandle(pi.hProcess);
  }
  return false;
}

std::set<DWORD> ProcessIds()
{
  std::set<DWORD> ids;
  HANDLE hSnap = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (hSnap == INVALID_HANDLE_VALUE)
    return ids;
  PROCESSENTRY32 pe = {};
  pe.dwSize = sizeof pe;
  for (BOOL b = Process32First(hSnap, &pe); b; b = Process32Next(hSnap, &pe))
    ids.insert(pe.th32ProcessID);
  CloseHandle(hSnap);
  return ids;
}

// Waits until the programs that started during the run (the stand-ins the
// program started, which record themselves) have ended, up to the deadline.
void WaitForStartedPrograms(const Run& run, const std::set<DWORD>& before)
{
  for (;;) {
    bool bOthers = false;
    HANDLE hSnap = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (hSnap == INVALID_HANDLE_VALUE)
      return;
    PROCESSENTRY32 pe = {};
    pe.dwSize = sizeof pe;
    for (BOOL b = Process32First(hSnap, &pe); b; b = Process32Next(hSnap, &pe)) {
      if (before.count(pe.th32ProcessID) || pe.th32ProcessID == run.pi.dwProcessId)
        continue;
      // Wine's own services come and go; a restart's wineboot is waited for.
      static const char* const s_apszSystem[] = { "explorer.exe", "services.exe",
                                                  "winedevice.exe", "plugplay.exe", "rpcss.exe",
                                                  "svchost.exe", "conhost.exe", "winemenubuilder.exe",
                                                  "start.exe", "rundll32.exe", "regedit.exe" };
      bool bSystem = false;
      for (const char* psz : s_apszSystem)
        if (lstrcmpiA(pe.szExeFile, psz) == 0)
          bSystem = true;
      if (!bSystem)
        bOthers = true;
    }
    CloseHandle(hSnap);
    if (!bOthers || PastDeadline(run))
      return;
    Sleep(20);  // polling real processes
  }
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
  standin::CJob job;
  if (!job.Load())
    return 3;
  DWORD tStart = GetTickCount();
  auto note = [tStart](const char* pszWhat) {
    standin::AppendLine("SETUPTEST_PROGRAMS",
                        std::string("time|") + pszWhat + "|" + std::to_string(GetTickCount() - tStart));
  };
  Run run;
  std::string program = job.Get("Program");
  run.templates = standin::LoadDialogTemplates(program);
  for (const std::string& a : job.GetAll("Action"))
    run.actions.push_back(a);

  // The machine's registry and the Windows version, imported in this Wine
  // session (one program start less than running regedit separately).
  std::string import = job.Get("Import");
  if (!import.empty()) {
    PROCESS_INFORMATION pi = Start(std::string(), "regedit.exe /S \"" + import + "\"", std::string());
    DWORD code = 1;
    if (pi.hProcess) {
      CloseHandle(pi.hThread);
      WaitForSingleObject(pi.hProcess, 120000);
      GetExitCodeProcess(pi.hProcess, &code);
      CloseHandle(pi.hProcess);
    }
    if (code != 0) {
      Event("error " + Quote("regedit could not import " + import));
      return 8;
    }
  }

  // Files kept aside until the session has started (Wine carries out a
  // WININIT.INI when a prefix starts): back in place now.
  for (const std::string& r : job.GetAll("Restore")) {
    size_t bar = r.find('|');
    if (bar != std::string::npos)
      MoveFileA(r.substr(0, bar).c_str(), r.substr(bar + 1).c_str());
  }

  note("imported");
  std::vector<HANDLE> windows;
  std::string windowExe = job.Get("WindowStandin");
  DWORD dwExit = 0;
  if (!OpenWindow(windowExe, "watch", "Setup test restart watcher", &windows, &dwExit)) {
    Event("error " + Quote("the restart watcher did not start: " + std::to_string(dwExit)));
    return 4;
  }
  std::vector<std::string> titles = job.GetAll("Window");
  for (size_t i = 0; i < titles.size(); ++i) {
    if (!OpenWindow(windowExe, std::to_string(i), titles[i], &windows, &dwExit)) {
      Event("error " + Quote("window did not open: " + titles[i] + ": " + std::to_string(dwExit)));
      return 4;
    }
  }

  note("windows open");
  std::set<DWORD> before = ProcessIds();
  run.deadline = GetTickCount() + (DWORD)std::atoi(job.Get("Timeout", "30000").c_str());
  // Wine's trace of the program's own calls (for what no stand-in sees:
  // WinExec or CreateProcessA, what a dialog returned); the stand-ins and
  // windows started before keep the quiet setting.
  std::string debug = job.Get("ProgramDebug");
  if (!debug.empty())
    SetEnvironmentVariableA("WINEDEBUG", debug.c_str());
  run.pi = Start(program, job.Get("CommandLine"), job.Get("CurrentDirectory"));
  if (!run.pi.hProcess) {
    Event("error " + Quote("cannot start " + program + ": " + std::to_string(GetLastError())));
    return 5;
  }
  CloseHandle(run.pi.hThread);

  bool bTimedOut = false;
  for (;;) {
    Scan(run);
    if (Exited(run) || run.bFailed)
      break;
    if (PastDeadline(run)) {
      bTimedOut = true;
      break;
    }
    if (HWND hDlg = WaitingDialog(run)) {
      Act(run, hDlg);
      continue;
    }
    WaitForSingleObject(run.pi.hProcess, 10);
  }
  if (bTimedOut || run.bFailed) {
    if (bTimedOut)
      Event("timeout");
    TerminateProcess(run.pi.hProcess, 0xDEAD);
    WaitForSingleObject(run.pi.hProcess, 5000);
    Scan(run);
    return bTimedOut ? 6 : 7;
  }
  note("program ended");
  Scan(run);
  WaitForStartedPrograms(run, before);
  note("started programs ended");
  DWORD code = 0;
  GetExitCodeProcess(run.pi.hProcess, &code);
  Event("exit " + std::to_string(code));
  return 0;
}
