// Shared helpers of the start-up tests: a disc in a simulated computer and
// a one-line reading of which path a start took.
#ifndef TESTS_UNIT_STARTUPTESTSUPPORT_H
#define TESTS_UNIT_STARTUPTESTSUPPORT_H

#include <algorithm>
#include <string>
#include <vector>

#include "TestMachine.h"
#include "install/LaunchContext.h"

namespace startup_test {

// The version flags that are set, as "98 98SE " and the like.
inline std::string Flags(const VersionClass& v)
{
  std::string s;
  if (v.m_bWin95) s += "95 ";
  if (v.m_bWin98) s += "98 ";
  if (v.m_bWin98SE) s += "98SE ";
  if (v.m_bWinME) s += "ME ";
  if (v.m_bWinNT4) s += "NT4 ";
  if (v.m_bWinNT5) s += "NT5 ";
  return s;
}

// The seven values of --windows.
inline const std::vector<std::string>& AllWindows()
{
  static const std::vector<std::string> s_all = { "95", "98", "98SE", "ME", "NT4", "2000", "XP" };
  return s_all;
}

// What a whole disc holds beside Setup.exe: the hand-off programs, the three
// package builds and a DOS support file (staged only by the driver-only
// install). dir ends in a backslash.
inline void WriteDisc(CTestMachine& m, const std::string& dir, bool bHandOffs = true)
{
  if (bHandOffs) {
    m.WriteFile(dir + "W2KSetup.dat", "2000/XP setup");
    m.WriteFile(dir + "W2KSetup.exe", "2000/XP setup");
    m.WriteFile(dir + "MESetup.dat", "98 SE/ME setup");
  }
  m.WriteFile(dir + "W95-98\\app\\Setup.exe", "package");
  m.WriteFile(dir + "W2K-ME\\app\\Setup.exe", "package");
  m.WriteFile(dir + "NT40\\app\\Setup.exe", "package");
  m.WriteFile(dir + "Dosdrv\\DOSAUDIO.COM", "dos");
}

inline bool HasEvent(const sim::RunOutcome& r, const std::string& line)
{
  return std::find(r.events.begin(), r.events.end(), line) != r.events.end();
}

inline bool HasEventStartingWith(const sim::RunOutcome& r, const std::string& prefix)
{
  return std::any_of(r.events.begin(), r.events.end(),
                     [&](const std::string& e) { return e.compare(0, prefix.size(), prefix) == 0; });
}

// The setupsim line of a program started by WinExec with show state 5.
inline std::string WinExecLine(const std::string& command)
{
  std::string quoted;
  for (char c : command)
    quoted += (c == '"') ? std::string("\"\"") : std::string(1, c);
  return "start \"" + quoted + "\" show=5 via=WinExec";
}

inline std::string SetupMessageLine(const std::string& text)
{
  return "message-box title=\"Setup\" text=\"" + text + "\" owner=none";
}

// Which path a start took, in one line:
//   "handoff CMD"           the hand-off program started, nothing else
//   "missing TEXT"          a hand-off program reported missing
//   "dialog ID"             a dialog ran, then the routine returned false
//   "package"               the package's Setup.exe started, then exit 0
//   "silent driver-only"    the install staged the DOS files and restarted
//   "silent web"            the install restarted without DOS files
//   "refused"               exit 0 at once, nothing else
//   "nothing"               return false at once, nothing else
// and otherwise every event, for the failure message.
inline std::string ClassifyPath(const sim::RunOutcome& r, const CTestMachine& m)
{
  const std::vector<std::string>& ev = r.events;
  if (ev == std::vector<std::string>{ "exit 0" })
    return "refused";
  if (ev == std::vector<std::string>{ "return false" })
    return "nothing";
  if (ev.size() == 2 && ev[1] == "return false") {
    const std::string startPrefix = "start \"";
    const std::string startSuffix = "\" show=5 via=WinExec";
    if (ev[0].compare(0, startPrefix.size(), startPrefix) == 0 && ev[0].size() > startSuffix.size() &&
        ev[0].compare(ev[0].size() - startSuffix.size(), startSuffix.size(), startSuffix) == 0) {
      std::string cmd = ev[0].substr(startPrefix.size(),
                                     ev[0].size() - startPrefix.size() - startSuffix.size());
      std::string unquoted;
      for (size_t i = 0; i < cmd.size(); ++i) {
        unquoted += cmd[i];
        if (cmd[i] == '"' && i + 1 < cmd.size() && cmd[i + 1] == '"')
          ++i;
      }
      return "handoff " + unquoted;
    }
    const std::string msgPrefix = "message-box title=\"Setup\" text=\"";
    const std::string msgSuffix = "\" owner=none";
    if (ev[0].compare(0, msgPrefix.size(), msgPrefix) == 0 &&
        ev[0].compare(ev[0].size() - msgSuffix.size(), msgSuffix.size(), msgSuffix) == 0)
      return "missing " + ev[0].substr(msgPrefix.size(),
                                       ev[0].size() - msgPrefix.size() - msgSuffix.size());
  }
  if (!ev.empty() && ev[0].compare(0, 7, "dialog ") == 0 && ev.back() == "return false") {
    std::string id = ev[0].substr(7, ev[0].find(' ', 7) - 7);
    return "dialog " + id;
  }
  if (!ev.empty() && ev.back() == "exit 0") {
    bool bPackage = std::any_of(ev.begin(), ev.end(), [](const std::string& e) {
      return e.compare(0, 7, "start \"") == 0 && e.find("\\app\\Setup.exe\"") != std::string::npos &&
             e.find("via=CreateProcess") != std::string::npos;
    });
    if (bPackage && !HasEvent(r, "restart"))
      return "package";
    if (HasEvent(r, "restart") && !HasEventStartingWith(r, "dialog "))
      return m.Exists("C:\\Program Files\\Veltrix\\DOS\\DOSAUDIO.COM") ? "silent driver-only"
                                                                      : "silent web";
  }
  return "events:\n" + JoinEvents(r);
}

}  // namespace startup_test

#endif
