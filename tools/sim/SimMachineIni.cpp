// machine.ini: the computer's settings, the open windows and the programs
// that keep running.
#include <fstream>
#include <sstream>

#include "SimComputer.h"
#include "SimText.h"

namespace sim {

namespace {

std::string Unquoted(const std::string& v)
{
  if (v.size() >= 2 && v[0] == '"' && v.back() == '"')
    return v.substr(1, v.size() - 2);
  return v;
}

}  // namespace

bool ReadMachineIni(const std::string& machineDir, SimOptions* pOptions, std::string* pError)
{
  std::ifstream in(machineDir + "/machine.ini", std::ios::binary);
  if (!in)
    return true;  // optional
  std::string line, section;
  int lineNo = 0;
  auto fail = [&](const std::string& what) {
    if (pError)
      *pError = "machine.ini line " + std::to_string(lineNo) + ": " + Printable(what);
    return false;
  };
  while (std::getline(in, line)) {
    ++lineNo;
    if (!line.empty() && line.back() == '\r')
      line.pop_back();
    std::string t = TrimBlanks(line);
    if (t.empty() || t[0] == ';')
      continue;
    if (t[0] == '[') {
      if (t.back() != ']')
        return fail("bad section line");
      section = TrimBlanks(t.substr(1, t.size() - 2));
      continue;
    }
    if (EqualNoCase(section, "Machine")) {
      size_t eq = t.find('=');
      if (eq == std::string::npos)
        return fail("expected NAME=VALUE");
      std::string key = TrimBlanks(t.substr(0, eq));
      std::string value = Unquoted(TrimBlanks(t.substr(eq + 1)));
      if (EqualNoCase(key, "Windows"))
        pOptions->windows = value;
      else if (EqualNoCase(key, "ProgramPath"))
        pOptions->programPath = value;
      else if (EqualNoCase(key, "CommandLine"))
        pOptions->commandLine = value;
      else if (EqualNoCase(key, "CurrentDirectory"))
        pOptions->currentDirectory = value;
      else if (EqualNoCase(key, "WindowsDirectory"))
        pOptions->windowsDirectory = value;
      else if (EqualNoCase(key, "SystemDirectory"))
        pOptions->systemDirectory = value;
      else if (EqualNoCase(key, "Language")) {
        int n;
        if (!ParseCount(value, &n))
          return fail("Language must be a number");
        pOptions->language = n;
      } else if (EqualNoCase(key, "ReadOnlyDrives")) {
        std::string letters;
        for (char c : value)
          if (c != ',' && c != ' ' && c != ':')
            letters += c;
        pOptions->readOnlyDrives = letters;
      } else {
        return fail("unknown setting " + key);
      }
    } else if (EqualNoCase(section, "Windows") || EqualNoCase(section, "Programs")) {
      // The title or command may hold '=' itself: the count follows the last.
      size_t eq = t.rfind('=');
      if (eq == std::string::npos)
        return fail("expected NAME=N");
      std::string name = Unquoted(TrimBlanks(t.substr(0, eq)));
      int n;
      if (name.empty() || !ParseCount(TrimBlanks(t.substr(eq + 1)), &n))
        return fail("expected NAME=N");
      if (EqualNoCase(section, "Windows")) {
        // TITLE=N: N windows with that title are open (usually 1).
        for (int i = 0; i < n && i < 100; ++i)
          pOptions->openWindows.push_back(name);
      } else {
        pOptions->runningPrograms.emplace_back(name, n);
      }
    } else {
      return fail("unknown section [" + section + "]");
    }
  }
  return true;
}

}  // namespace sim
