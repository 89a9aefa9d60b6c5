// Shared helpers of the package installation and options dialog tests: a
// disc in a simulated computer and readings of the recorded events.
#ifndef TESTS_UNIT_PACKAGETESTSUPPORT_H
#define TESTS_UNIT_PACKAGETESTSUPPORT_H

#include <algorithm>
#include <string>
#include <vector>

#include "TestMachine.h"

namespace package_test {

// Which package builds a disc carries.
enum Builds { kW95 = 1, kW2K = 2, kNT40 = 4, kAllBuilds = 7 };

inline const char* BuildPath(Builds b)
{
  return b == kW95 ? "W95-98\\app\\Setup.exe" : b == kW2K ? "W2K-ME\\app\\Setup.exe"
                                                           : "NT40\\app\\Setup.exe";
}

// dir ends in a backslash. A driver set too, so that the driver part has
// something to stage.
inline void WriteDisc(CTestMachine& m, const std::string& dir, int builds)
{
  for (Builds b : { kW95, kW2K, kNT40 })
    if (builds & b)
      m.WriteFile(dir + BuildPath(b), "package setup");
  m.WriteFile(dir + "W95-98\\drv\\95\\TVX95.INF", "[SourceDisksNames]\r\n1=\"Disc\",,0\r\n");
  m.WriteFile(dir + "W95-98\\drv\\95\\TVXWAV.VXD", "driver");
  m.WriteFile(dir + "W95-98\\drv\\98\\TVX98.INF", "[SourceDisksNames]\r\n1=\"Disc\",,0\r\n");
  m.WriteFile(dir + "W95-98\\drv\\98\\TVXWAV.VXD", "driver");
}

// A command as setupsim quotes it: inner double quotes doubled.
inline std::string Quoted(const std::string& s)
{
  std::string q = "\"";
  for (char c : s)
    q += c == '"' ? std::string("\"\"") : std::string(1, c);
  return q + "\"";
}

inline std::string StartLine(const std::string& command)
{
  return "start " + Quoted(command) + " show=5 via=CreateProcess";
}

inline std::string MessageLine(const std::string& text, const std::string& owner)
{
  return "message-box title=\"Setup\" text=" + Quoted(text) + " owner=" + owner;
}

inline bool Has(const std::vector<std::string>& ev, const std::string& line)
{
  return std::find(ev.begin(), ev.end(), line) != ev.end();
}

inline int Count(const std::vector<std::string>& ev, const std::string& line)
{
  return (int)std::count(ev.begin(), ev.end(), line);
}

inline bool HasPrefix(const std::vector<std::string>& ev, const std::string& prefix)
{
  return std::any_of(ev.begin(), ev.end(), [&](const std::string& e) {
    return e.compare(0, prefix.size(), prefix) == 0;
  });
}

// True when the lines occur in ev in this order (others may stand between).
inline bool InOrder(const std::vector<std::string>& ev, const std::vector<std::string>& lines)
{
  auto it = ev.begin();
  for (const std::string& line : lines) {
    it = std::find(it, ev.end(), line);
    if (it == ev.end())
      return false;
    ++it;
  }
  return true;
}

// The events from the first line equal to `from` on.
inline std::vector<std::string> From(const std::vector<std::string>& ev, const std::string& from)
{
  auto it = std::find(ev.begin(), ev.end(), from);
  return std::vector<std::string>(it, ev.end());
}

inline std::string Join(const std::vector<std::string>& ev)
{
  std::string s;
  for (const std::string& e : ev)
    s += e + "\n";
  return s;
}

}  // namespace package_test

#endif
