// Where Wine and the Windows versions the launcher runs on are known to
// differ, and what a run does about each, in one place. (What the comparison
// of a Wine run with a simulated one sets aside is named in
// tests/scenarios/wine_differences.py.)
#include <algorithm>
#include <cctype>

#include "WineParts.h"

namespace winerun {

// The Windows version. Wine's version names give 95, 98 SE, ME, NT 4.0, 2000
// and XP; Windows 98 first edition has none: Wine derives it from these
// values when no Version is set (build 0x040A07CE).
//
// WIN.INI. Wine maps WIN.INI's [windows] section to the registry even with a
// 9x version; Windows 9x has no such mapping, so it goes on 95, 98, 98 SE
// and ME.
bool VersionSettings(const std::string& windows, std::string* pText)
{
  static const std::pair<const char*, const char*> kVersions[] = {
    { "95", "win95" }, { "98SE", "win98" }, { "ME", "winme" },
    { "NT4", "nt40" }, { "2000", "win2k" }, { "XP", "winxp" },
  };
  std::string text;
  bool b9x = windows == "95" || windows == "98" || windows == "98SE" || windows == "ME";
  if (windows == "98") {
    text +=
        "[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows NT\\CurrentVersion]\r\n"
        "\"CurrentVersion\"=-\r\n\"CurrentMajorVersionNumber\"=-\r\n"
        "\"CurrentMinorVersionNumber\"=-\r\n\r\n"
        "[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion]\r\n"
        "\"VersionNumber\"=\"4.10.1998\"\r\n\"SubVersionNumber\"=\" \"\r\n\r\n"
        "[HKEY_CURRENT_USER\\Software\\Wine]\r\n\"Version\"=-\r\n\r\n";
  } else {
    const char* pszWine = nullptr;
    for (const auto& v : kVersions)
      if (windows == v.first)
        pszWine = v.second;
    if (!pszWine)
      return false;
    text += std::string("[HKEY_CURRENT_USER\\Software\\Wine]\r\n\"Version\"=\"") + pszWine + "\"\r\n\r\n";
  }
  if (b9x)
    text += "[-HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows NT\\CurrentVersion\\IniFileMapping\\win.ini]\r\n\r\n";
  *pText = text;
  return true;
}

namespace {

bool HostFileExists(const std::string& prefix, const std::string& windowsPath)
{
  std::string host = PrefixHostPath(prefix, windowsPath, false);
  return !host.empty() && fs::is_regular_file(host);
}

}  // namespace

void PrepareDriveC(const std::string& prefix, const std::string& machineDir, const std::string& windows,
                   CStandins& standins)
{
  bool b9x = windows == "95" || windows == "98" || windows == "98SE" || windows == "ME";
  fs::path winDir = FindEntry(fs::path(prefix) / "drive_c", "windows");
  fs::path machineWin = FindEntry(fs::path(machineDir) / "c", "WINDOWS");
  std::error_code ec;

  // Wine's own WIN.INI and SYSTEM.INI: a machine without them has none.
  for (const char* name : { "win.ini", "system.ini" })
    if (!fs::exists(FindEntry(machineWin, name)))
      fs::remove(FindEntry(winDir, name), ec);

  // The INF folder: a machine without one has none in the prefix either.
  if (!fs::exists(FindEntry(machineWin, "INF")))
    fs::remove_all(FindEntry(winDir, "inf"), ec);

  // The system directory. Wine's is C:\windows\system32 on every version;
  // Windows 9x's is C:\WINDOWS\SYSTEM. What the launcher reads from the
  // system directory there (the wavetable data) is put in system32 as well;
  // system32 is Wine's own and is not written back.
  if (b9x) {
    fs::path system = FindEntry(machineWin, "SYSTEM");
    fs::path system32 = FindEntry(winDir, "system32");
    if (fs::is_directory(system, ec))
      for (const auto& e : fs::directory_iterator(system, ec)) {
        fs::path to = FindEntry(system32, e.path().filename().string());
        if (e.is_regular_file() && !fs::exists(to)) {
          std::string content = ReadAll(e.path().string());
          WriteAll(to.string(), content);
          standins.AddOwnFile(to, content);
        }
      }
  }

  // WININIT.INI. Wine carries it out whenever a prefix starts, Windows only
  // at a restart: the machine's own is kept aside until the prefix has
  // started (the driver puts it back: RestoreAfterStart).
  fs::path wininit = FindEntry(winDir, "wininit.ini");
  if (fs::exists(wininit))
    fs::rename(wininit, winDir / "wininit.ini.setupsim", ec);

  // The tray program: every Windows has SysTray.exe in its system
  // directory, a Wine prefix has none. A stand-in of our own goes where
  // Wine's search finds it; it is taken away afterwards.
  if (!HostFileExists(prefix, "C:\\WINDOWS\\SYSTEM\\SysTray.exe") &&
      !HostFileExists(prefix, "C:\\WINDOWS\\SYSTEM32\\SysTray.exe"))
    WriteAll(PrefixHostPath(prefix, "C:\\WINDOWS\\system\\SysTray.exe", true), standins.Wrap(""));
}

// The job lines that put back what PrepareDriveC kept aside.
std::string RestoreAfterStart(const std::string& prefix)
{
  fs::path winDir = FindEntry(fs::path(prefix) / "drive_c", "windows");
  if (!fs::exists(winDir / "wininit.ini.setupsim"))
    return std::string();
  return "Restore=C:\\windows\\wininit.ini.setupsim|C:\\windows\\WININIT.INI\r\n";
}

// A relative program path against the current directory, "D:X" against D:'s
// root when another drive is current (the driver is a fresh process, which
// knows no other drive's directory).
std::string ProgramLocation(const std::string& program, const std::string& cwd)
{
  auto slash = [](char c) { return c == '\\' || c == '/'; };
  std::string dir = cwd;
  if (!dir.empty() && !slash(dir.back()))
    dir += '\\';
  if (program.size() >= 2 && program[1] == ':') {
    if (program.size() >= 3 && slash(program[2]))
      return program;
    bool bSameDrive = std::toupper((unsigned char)program[0]) == std::toupper((unsigned char)cwd[0]);
    return (bSameDrive ? dir : program.substr(0, 2) + "\\") + program.substr(2);
  }
  if (!program.empty() && slash(program[0]))
    return cwd.substr(0, 2) + program;
  return dir + program;
}

// setupsim counts reads of a running program's exit code; a real program
// runs for a time. Either way the launcher waits for it; what is observed
// (the starts, in order) is the same.
int LingerMilliseconds(int reads)
{
  return std::min(reads, 40) * 50;
}

// HKEY_CLASSES_ROOT is HKEY_LOCAL_MACHINE\Software\Classes in Wine's files.
std::string WineKeyPath(const std::string& machinePath)
{
  const std::string hkcr = "HKEY_CLASSES_ROOT";
  if (machinePath.size() >= hkcr.size() && SameName(machinePath.substr(0, hkcr.size()), hkcr) &&
      (machinePath.size() == hkcr.size() || machinePath[hkcr.size()] == '\\'))
    return "HKEY_LOCAL_MACHINE\\Software\\Classes" + machinePath.substr(hkcr.size());
  return machinePath;
}

// Wine's settings for the run (version, debug channels) and its own records.
bool IsWineOwnKey(const std::string& winePath)
{
  const std::string own = "HKEY_CURRENT_USER\\Software\\Wine";
  return winePath.size() >= own.size() && SameName(winePath.substr(0, own.size()), own);
}

// The values VersionSettings writes: they stay as the machine has them.
bool IsVersionSetting(const std::string& winePath, const std::string& valueName)
{
  if (SameName(winePath, "HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion"))
    return SameName(valueName, "VersionNumber") || SameName(valueName, "SubVersionNumber");
  if (SameName(winePath, "HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows NT\\CurrentVersion"))
    return SameName(valueName, "CurrentVersion") || SameName(valueName, "CurrentMajorVersionNumber") ||
           SameName(valueName, "CurrentMinorVersionNumber");
  return false;
}

}  // namespace winerun
