#include "WineHarness.h"

#include "WineTrace.h"

#include <fcntl.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

namespace fs = std::filesystem;

namespace winetest {

namespace {

const char* const kWine64 = "/usr/lib/wine/wine64";
const char* const kWine32 = "/usr/lib/wine/wine";
const char* const kWineServer = "/usr/lib/wine/wineserver64";
// Mono and Gecko are not installed; a crash must not wait in the debugger;
// winegstreamer breaks qemu's address space while a 32-bit prefix is built.
const char* const kDllOverrides = "mscoree=d;mshtml=d;winedbg.exe=d;winegstreamer=d;winemenubuilder.exe=d";

std::string Lower(std::string s)
{
  for (char& c : s)
    c = (char)std::tolower((unsigned char)c);
  return s;
}

bool SameName(const std::string& a, const std::string& b)
{
  return Lower(a) == Lower(b);
}

std::string ReadAll(const std::string& path)
{
  std::ifstream in(path, std::ios::binary);
  std::ostringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

void WriteAll(const std::string& path, const std::string& text)
{
  fs::create_directories(fs::path(path).parent_path());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << text;
}

// The Windows path under Z: (the whole Unix file system) of a host path.
std::string ZPath(const std::string& hostPath)
{
  std::string s = "Z:" + fs::absolute(hostPath).lexically_normal().string();
  std::replace(s.begin(), s.end(), '/', '\\');
  return s;
}

std::string WorkRoot()
{
  return std::string(SETUP_BINARY_DIR) + "/tests/wine/work";
}

std::string ArchName(WineArch arch)
{
  return arch == WineArch::X64 ? "x64" : "i686";
}

std::string BuildDir(WineArch arch)
{
  return std::string(SETUP_SOURCE_DIR) + (arch == WineArch::X64 ? "/build/win64" : "/build/win32");
}

struct ProcResult {
  int status = -1;  // exit status, or -1 when killed or not started
  bool timedOut = false;
};

// Runs a program with extra environment entries, its output appended to
// files, bounded in time (the process group is killed at the limit).
ProcResult RunProcess(const std::vector<std::string>& argv, const std::vector<std::string>& env,
                      const std::string& outFile, const std::string& errFile, int timeoutMs)
{
  ProcResult r;
  pid_t pid = fork();
  if (pid < 0)
    return r;
  if (pid == 0) {
    setpgid(0, 0);
    for (const std::string& e : env) {
      size_t eq = e.find('=');
      setenv(e.substr(0, eq).c_str(), e.substr(eq + 1).c_str(), 1);
    }
    int fdOut = open(outFile.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
    int fdErr = errFile == outFile ? fdOut : open(errFile.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
    int fdIn = open("/dev/null", O_RDONLY);
    dup2(fdIn, 0);
    dup2(fdOut, 1);
    dup2(fdErr, 2);
    std::vector<char*> args;
    for (const std::string& a : argv)
      args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    execv(args[0], args.data());
    _exit(127);
  }
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  for (;;) {
    int status = 0;
    pid_t done = waitpid(pid, &status, WNOHANG);
    if (done == pid) {
      r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
      return r;
    }
    if (std::chrono::steady_clock::now() > deadline) {
      kill(-pid, SIGKILL);
      waitpid(pid, &status, 0);
      r.timedOut = true;
      return r;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));  // polling a real process
  }
}

// Serialises the making of a template prefix between test processes.
class CFileLock {
public:
  explicit CFileLock(const std::string& path)
  {
    m_fd = open(path.c_str(), O_RDWR | O_CREAT, 0644);
    if (m_fd >= 0)
      flock(m_fd, LOCK_EX);
  }
  ~CFileLock()
  {
    if (m_fd >= 0) {
      flock(m_fd, LOCK_UN);
      close(m_fd);
    }
  }

private:
  int m_fd = -1;
};

std::vector<std::string> BaseEnv(WineArch arch, const std::string& prefix)
{
  std::vector<std::string> env = { "WINEPREFIX=" + prefix, "WINEDEBUG=-all",
                                    std::string("WINEDLLOVERRIDES=") + kDllOverrides,
                                    "DISPLAY=" };
  if (arch == WineArch::I686)
    env.push_back("WINEARCH=win32");
  return env;
}

const char* Loader(WineArch arch)
{
  return arch == WineArch::X64 ? kWine64 : kWine32;
}

void StopServer(const std::string& prefix)
{
  std::string log = prefix + "/../wineserver.log";
  RunProcess({ kWineServer, "-k" }, { "WINEPREFIX=" + prefix }, log, log, 20000);
}

// Settings every run's prefix starts from: no display needed, no crash
// dialog.
const char* const kTemplateSettings =
    "REGEDIT4\r\n\r\n"
    "[HKEY_CURRENT_USER\\Software\\Wine\\Drivers]\r\n\"Graphics\"=\"null\"\r\n\r\n"
    "[HKEY_CURRENT_USER\\Software\\Wine\\WineDbg]\r\n\"ShowCrashDialog\"=dword:00000000\r\n\r\n";

// A prefix made once per build tree and architecture; every run copies it.
bool EnsureTemplate(WineArch arch, std::string* pPrefix, std::string* pError)
{
  std::string dir = WorkRoot() + "/template-" + ArchName(arch);
  fs::create_directories(WorkRoot());
  CFileLock lock(dir + ".lock");
  *pPrefix = dir;
  if (fs::exists(dir + "/.ready"))
    return true;
  std::error_code ec;
  fs::remove_all(dir, ec);
  fs::create_directories(dir);
  std::string log = WorkRoot() + "/template-" + ArchName(arch) + ".log";
  std::vector<std::string> env = BaseEnv(arch, dir);
  ProcResult r = RunProcess({ Loader(arch), "wineboot", "-i" }, env, log, log, 400000);
  if (r.status != 0) {
    *pError = "wineboot -i failed for the " + ArchName(arch) + " template prefix (see " + log + ")";
    StopServer(dir);
    return false;
  }
  std::string settings = WorkRoot() + "/template-settings.reg";
  WriteAll(settings, kTemplateSettings);
  r = RunProcess({ Loader(arch), "regedit", "/S", ZPath(settings) }, env, log, log, 120000);
  // Wait for the server to end so that the registry is on disk.
  RunProcess({ kWineServer, "-w" }, { "WINEPREFIX=" + dir }, log, log, 60000);
  if (r.status != 0) {
    *pError = "regedit failed on the template prefix (see " + log + ")";
    return false;
  }
  WriteAll(dir + "/.ready", "");
  return true;
}

// Library files of the template that no run writes are shared by hard links
// (a prefix is 700 MB); everything else is copied.
bool Shareable(const fs::path& rel)
{
  std::string s = Lower(rel.generic_string());
  if (s.rfind("drive_c/windows/system32/", 0) != 0 && s.rfind("drive_c/windows/syswow64/", 0) != 0)
    return false;
  std::string ext = Lower(rel.extension().string());
  return ext == ".dll" || ext == ".drv" || ext == ".sys" || ext == ".exe" || ext == ".ocx" ||
         ext == ".acm" || ext == ".tlb" || ext == ".cpl" || ext == ".ax" || ext == ".ds";
}

void CopyPrefix(const fs::path& from, const fs::path& to)
{
  fs::create_directories(to);
  for (auto it = fs::recursive_directory_iterator(from); it != fs::recursive_directory_iterator(); ++it) {
    fs::path rel = it->path().lexically_relative(from);
    fs::path dst = to / rel;
    if (it->is_symlink()) {
      fs::create_symlink(fs::read_symlink(it->path()), dst);
      if (it->is_directory())
        it.disable_recursion_pending();
    } else if (it->is_directory()) {
      fs::create_directories(dst);
    } else if (Shareable(rel)) {
      fs::create_hard_link(it->path(), dst);
    } else {
      fs::copy_file(it->path(), dst);
      fs::permissions(dst, fs::status(it->path()).permissions());
    }
  }
}

// The entry of dir named like `name` without regard to case, or dir/name.
fs::path FindEntry(const fs::path& dir, const std::string& name)
{
  std::error_code ec;
  if (fs::is_directory(dir, ec)) {
    for (const auto& e : fs::directory_iterator(dir, ec))
      if (SameName(e.path().filename().string(), name))
        return e.path();
  }
  return dir / name;
}

// Copies a drive's folder into a directory, merging folders by name without
// regard to case (the machine's C:\WINDOWS is the prefix's C:\windows).
void MergeCopy(const fs::path& from, const fs::path& to)
{
  fs::create_directories(to);
  for (const auto& e : fs::directory_iterator(from)) {
    fs::path dst = FindEntry(to, e.path().filename().string());
    if (e.is_directory()) {
      MergeCopy(e.path(), dst);
    } else {
      std::error_code ec;
      fs::remove(dst, ec);  // never write through a link shared with the template
      fs::copy_file(e.path(), dst);
      fs::permissions(dst, fs::status(e.path()).permissions());
    }
  }
}

std::string DriveRoot(const std::string& prefix, char letter)
{
  letter = (char)std::tolower((unsigned char)letter);
  if (letter == 'c')
    return prefix + "/drive_c";
  fs::path link = fs::path(prefix) / "dosdevices" / (std::string(1, letter) + ":");
  std::error_code ec;
  if (!fs::is_symlink(link, ec))
    return std::string();
  fs::path target = fs::read_symlink(link, ec);
  if (target.is_relative())
    target = link.parent_path() / target;
  return target.lexically_normal().string();
}

// Host path of a Windows path in a prefix, matching existing names without
// regard to case; with bCreate, the missing folders are made.
std::string PrefixHostPath(const std::string& prefix, const std::string& windowsPath, bool bCreate)
{
  if (windowsPath.size() < 2 || windowsPath[1] != ':')
    return std::string();
  std::string root = DriveRoot(prefix, windowsPath[0]);
  if (root.empty())
    return std::string();
  fs::path p = root;
  std::vector<std::string> parts;
  std::string part;
  for (size_t i = 2; i <= windowsPath.size(); ++i) {
    if (i == windowsPath.size() || windowsPath[i] == '\\' || windowsPath[i] == '/') {
      if (!part.empty())
        parts.push_back(part);
      part.clear();
    } else {
      part += windowsPath[i];
    }
  }
  for (size_t i = 0; i < parts.size(); ++i) {
    p = FindEntry(p, parts[i]);
    if (bCreate && i + 1 < parts.size())
      fs::create_directories(p);
  }
  return p.string();
}

std::string Trim(const std::string& s)
{
  size_t b = s.find_first_not_of(" \t");
  size_t e = s.find_last_not_of(" \t");
  return b == std::string::npos ? std::string() : s.substr(b, e - b + 1);
}

// machine.ini's settings for what the options leave open.
WineOptions MergeMachineIni(const std::string& machineDir, const WineOptions& given)
{
  WineOptions o = given;
  std::string path = (fs::path(machineDir) / "machine.ini").string();
  if (!fs::exists(path))
    return o;
  std::string section;
  std::vector<std::string> iniWindows;
  for (const std::string& raw : SplitLines(ReadAll(path))) {
    std::string line = Trim(raw);
    if (line.empty() || line[0] == ';')
      continue;
    if (line[0] == '[') {
      section = Lower(line.substr(1, line.find(']') - 1));
      continue;
    }
    size_t eq = line.find('=');
    if (eq == std::string::npos)
      continue;
    std::string key = Lower(Trim(line.substr(0, eq)));
    std::string value = Trim(line.substr(eq + 1));
    if (value.size() >= 2 && (value[0] == '"' || value[0] == '\'') && value.back() == value[0])
      value = value.substr(1, value.size() - 2);
    if (section == "machine") {
      if (key == "windows" && !o.windows)
        o.windows = value;
      else if (key == "programpath" && !o.programPath)
        o.programPath = value;
      else if (key == "commandline" && !o.commandLine)
        o.commandLine = value;
      else if (key == "currentdirectory" && !o.currentDirectory)
        o.currentDirectory = value;
    } else if (section == "windows") {
      // TITLE=N: N windows with that title; the count follows the last '='.
      size_t last = line.rfind('=');
      std::string title = Trim(line.substr(0, last));
      if (title.size() >= 2 && (title[0] == '"' || title[0] == '\'') && title.back() == title[0])
        title = title.substr(1, title.size() - 2);
      int n = std::atoi(line.c_str() + last + 1);
      for (int i = 0; i < n && i < 100; ++i)
        iniWindows.push_back(title);
    }
  }
  if (o.openWindows.empty())
    o.openWindows = iniWindows;
  return o;
}

// Registry text that makes Wine report the version as that Windows does.
bool VersionSettings(const std::string& windows, std::string* pText)
{
  static const std::pair<const char*, const char*> kVersions[] = {
    { "95", "win95" }, { "98SE", "win98" }, { "ME", "winme" },
    { "NT4", "nt40" }, { "2000", "win2k" }, { "XP", "winxp" },
  };
  std::string text;
  bool b9x = windows == "95" || windows == "98" || windows == "98SE" || windows == "ME";
  if (windows == "98") {
    // Windows 98 first edition (build 1998): no Wine version name reports
    // it; Wine derives it from these values when no Version is set.
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
    text += std::string("[HKEY_CURRENT_USER\\Software\\Wine]\r\n\"Version\"=\"") + pszWine +
            "\"\r\n\r\n";
  }
  if (b9x) {
    // Windows 9x keeps WIN.INI a file; Wine maps its [windows] section to
    // the registry unless the mapping is gone.
    text += "[-HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows NT\\CurrentVersion\\IniFileMapping\\win.ini]\r\n\r\n";
  }
  *pText = text;
  return true;
}

// A registry file of the Wine server (keys relative to the hive, "\\"
// between names, a time after each key line) as REGEDIT4 text under `root`.
// Values keep Wine's form; REG_EXPAND_SZ and REG_MULTI_SZ come as str(N).
std::string RegistryFromWine(const std::string& file, const std::string& root)
{
  std::string out;
  bool bBody = false;
  for (const std::string& line : SplitLines(ReadAll(file))) {
    if (!line.empty() && line[0] == '[') {
      size_t end = line.rfind(']');
      std::string key;
      for (size_t i = 1; i < end; ++i) {
        key += line[i];
        if (line[i] == '\\' && i + 1 < end && line[i + 1] == '\\')
          ++i;
      }
      out += "\r\n[" + root + "\\" + key + "]\r\n";
      bBody = true;
      continue;
    }
    if (!bBody || line.empty() || line[0] == '#')
      continue;
    out += line + "\r\n";
  }
  return out;
}

// Argument 0 as setupsim gives it to the program: the path in quotes.
std::string Quoted(const std::string& s)
{
  return "\"" + s + "\"";
}

// Where a program started by a relative path lies: against the current
// directory, "D:X" against D:'s root when another drive is current (the
// driver is a fresh process, which knows no other drive's directory).
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

std::string MakeTempDir(const std::string& parent, const std::string& stem)
{
  fs::create_directories(parent);
  std::string templ = parent + "/" + stem + "-XXXXXX";
  std::vector<char> buf(templ.begin(), templ.end());
  buf.push_back('\0');
  char* p = mkdtemp(buf.data());
  return p ? std::string(p) : std::string();
}

}  // namespace

// --- CWineRun ---------------------------------------------------------------

CWineRun::~CWineRun()
{
  if (!m_dir.empty() && !getenv("SETUPTEST_KEEP_RUNS")) {
    std::error_code ec;
    fs::remove_all(m_dir, ec);
  }
}

std::string CWineRun::HostPath(const std::string& windowsPath) const
{
  return PrefixHostPath(m_prefix, windowsPath, false);
}

std::optional<std::string> CWineRun::ReadFile(const std::string& windowsPath) const
{
  std::string p = HostPath(windowsPath);
  if (p.empty() || !fs::is_regular_file(p))
    return std::nullopt;
  return ReadAll(p);
}

namespace {

// Wine keeps HKEY_CLASSES_ROOT as HKEY_LOCAL_MACHINE\Software\Classes.
std::string HiveKey(const std::string& key)
{
  const std::string hkcr = "HKEY_CLASSES_ROOT";
  if (SameName(key.substr(0, hkcr.size()), hkcr))
    return "HKEY_LOCAL_MACHINE\\Software\\Classes" + key.substr(hkcr.size());
  return key;
}

}  // namespace

std::optional<std::string> CWineRun::RegistryValue(const std::string& keyPath,
                                                   const std::string& name) const
{
  std::string key = HiveKey(keyPath);
  bool bIn = false;
  std::string wanted = name == "@" ? "@" : "\"" + name + "\"";
  for (const std::string& line : SplitLines(registry)) {
    if (!line.empty() && line[0] == '[') {
      bIn = SameName(line, "[" + key + "]");
      continue;
    }
    if (bIn && line.size() > wanted.size() && SameName(line.substr(0, wanted.size()), wanted) &&
        line[wanted.size()] == '=')
      return line.substr(wanted.size() + 1);
  }
  return std::nullopt;
}

bool CWineRun::KeyExists(const std::string& keyPath) const
{
  std::string key = HiveKey(keyPath);
  for (const std::string& line : SplitLines(registry))
    if (SameName(line, "[" + key + "]"))
      return true;
  return false;
}

// --- Running ----------------------------------------------------------------

std::string BuiltSetupExe(WineArch arch)
{
  return BuildDir(arch) + "/Setup.exe";
}

bool WineAvailable(WineArch arch, std::string* pWhy)
{
  if (access(Loader(arch), X_OK) != 0) {
    *pWhy = std::string(Loader(arch)) + " is missing" +
            (arch == WineArch::I686 ? " (run scripts/wine-i386.sh)" : "");
    return false;
  }
  if (arch == WineArch::I686 && !fs::exists("/proc/sys/fs/binfmt_misc/qemu-i386")) {
    *pWhy = "32-bit programs are not routed to qemu (run scripts/wine-i386.sh)";
    return false;
  }
  return true;
}

std::unique_ptr<CWineRun> RunUnderWine(const std::string& machineDir, const WineOptions& given,
                                       WineArch arch)
{
  auto run = std::unique_ptr<CWineRun>(new CWineRun);
  auto t0 = std::chrono::steady_clock::now();
  auto fail = [&](const std::string& why) {
    run->error = why;
    run->seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    return std::move(run);
  };

  std::string why;
  if (!WineAvailable(arch, &why))
    return fail(why);
  WineOptions opt = MergeMachineIni(machineDir, given);
  std::string programFile = opt.programFile.empty() ? BuiltSetupExe(arch) : opt.programFile;
  std::string standinDir = BuildDir(arch) + "/standins";
  if (!fs::exists(programFile))
    return fail(programFile + " is missing: build the " + (arch == WineArch::X64 ? "win64" : "win32") +
                " preset first");
  if (!fs::exists(standinDir + "/driver.exe"))
    return fail(standinDir + "/driver.exe is missing: build the Windows presets first");
  std::string versionText;
  std::string windows = opt.windows.value_or("98");
  if (!VersionSettings(windows, &versionText))
    return fail("unknown Windows version " + windows);

  std::string templ;
  if (!EnsureTemplate(arch, &templ, &why))
    return fail(why);

  run->m_dir = MakeTempDir(WorkRoot(), "run-" + ArchName(arch));
  if (run->m_dir.empty())
    return fail("cannot make a run folder under " + WorkRoot());
  std::string dir = run->m_dir;
  std::string prefix = dir + "/prefix";
  run->m_prefix = prefix;
  try {
    CopyPrefix(templ, prefix);
    fs::remove(prefix + "/.ready");
    // The machine's drives.
    for (const auto& e : fs::directory_iterator(machineDir)) {
      std::string name = e.path().filename().string();
      if (!e.is_directory() || name.size() != 1 || !std::islower((unsigned char)name[0]))
        continue;
      if (name == "c") {
        MergeCopy(e.path(), prefix + "/drive_c");
        continue;
      }
      if (name == "z")
        return fail("drive Z: is Wine's view of the host; the harness needs it");
      std::string copy = dir + "/drives/" + name;
      MergeCopy(e.path(), copy);
      for (const char* suffix : { ":", "::" }) {
        std::error_code ec;
        fs::remove(prefix + "/dosdevices/" + name + suffix, ec);
      }
      fs::create_directory_symlink(copy, prefix + "/dosdevices/" + name + ":");
    }
    // The program and the stand-ins, in place.
    std::string programPath = opt.programPath.value_or("D:\\SETUP.EXE");
    std::string programAt =
        ProgramLocation(programPath, opt.currentDirectory.value_or("C:\\WINDOWS"));
    std::string hostProgram = PrefixHostPath(prefix, programAt, true);
    if (hostProgram.empty())
      return fail("the program path " + programPath + " is on no drive of the machine");
    std::error_code ec;
    fs::remove(hostProgram, ec);
    fs::copy_file(programFile, hostProgram);
    for (const std::string& s : opt.standins) {
      std::string host = PrefixHostPath(prefix, s, true);
      if (host.empty())
        return fail("stand-in path " + s + " is on no drive of the machine");
      fs::remove(host, ec);
      fs::copy_file(standinDir + "/recorder.exe", host);
    }
    fs::create_directories(dir + "/tools");
    for (const char* t : { "driver.exe", "window.exe" })
      fs::copy_file(standinDir + "/" + t, dir + "/tools/" + t);

    // One registry import: the machine's registry, then the version.
    std::string reg = "REGEDIT4\r\n\r\n";
    std::string machineReg = (fs::path(machineDir) / "registry.reg").string();
    if (fs::exists(machineReg))
      reg = ReadAll(machineReg) + "\r\n\r\n";
    reg += versionText;
    // Wine traces these calls of the program's own module (the relay channel
    // is switched on for the program alone).
    std::string module = programPath.substr(programPath.find_last_of("\\:") + 1);
    module = module.substr(0, module.rfind('.'));
    reg += "[HKEY_CURRENT_USER\\Software\\Wine\\Debug]\r\n"
           "\"RelayInclude\"=\"kernel32.WinExec;kernel32.CreateProcessA;user32.DialogBoxParamA\"\r\n"
           "\"RelayFromInclude\"=\"" + module + "\"\r\n\r\n";
    WriteAll(dir + "/import.reg", reg);

    // The job for the driver and the stand-ins.
    std::string job;
    job += "Program=" + programAt + "\r\n";
    std::string tail = opt.commandLine.value_or("");
    job += "CommandLine=" + Quoted(programPath) + (tail.empty() ? "" : " " + tail) + "\r\n";
    job += "CurrentDirectory=" + opt.currentDirectory.value_or("C:\\WINDOWS") + "\r\n";
    job += "WindowStandin=" + ZPath(dir + "/tools/window.exe") + "\r\n";
    int timeoutMs = opt.timeoutMs ? opt.timeoutMs : (arch == WineArch::X64 ? 30000 : 120000);
    job += "Import=" + ZPath(dir + "/import.reg") + "\r\n";
    job += "ProgramDebug=-all,+relay\r\n";
    job += "Timeout=" + std::to_string(timeoutMs) + "\r\n";
    job += std::string("AllowRestart=") + (opt.allowRestart ? "1" : "0") + "\r\n";
    for (const std::string& w : opt.openWindows)
      job += "Window=" + w + "\r\n";
    for (const std::string& a : opt.actions)
      job += "Action=" + a + "\r\n";
    for (const auto& l : opt.lingering)
      job += "Linger=" + std::to_string(l.second) + " " + l.first + "\r\n";
    WriteAll(dir + "/job.txt", job);
  } catch (const fs::filesystem_error& e) {
    return fail(std::string("preparing the prefix: ") + e.what());
  }

  auto tPrepared = std::chrono::steady_clock::now();
  std::vector<std::string> env = BaseEnv(arch, prefix);
  env.push_back("SETUPTEST_JOB=" + ZPath(dir + "/job.txt"));
  env.push_back("SETUPTEST_EVENTS=" + ZPath(dir + "/events.log"));
  env.push_back("SETUPTEST_PROGRAMS=" + ZPath(dir + "/programs.log"));
  std::string log = dir + "/wine.log";
  int slow = arch == WineArch::X64 ? 1 : 4;

  int timeoutMs = opt.timeoutMs ? opt.timeoutMs : (arch == WineArch::X64 ? 30000 : 120000);
  ProcResult r = RunProcess({ Loader(arch), ZPath(dir + "/tools/driver.exe") }, env, log, log,
                            timeoutMs + 60000 * slow);
  std::vector<std::string> lines = SplitLines(ReadAll(dir + "/events.log"));
  auto tRan = std::chrono::steady_clock::now();
  // The server writes the registry out when it stops.
  StopServer(prefix);
  auto tStopped = std::chrono::steady_clock::now();
  auto secs = [](auto a, auto b) { return std::to_string(std::chrono::duration<double>(b - a).count()); };
  run->timing = "prepare " + secs(t0, tPrepared) + " s, wine " + secs(tPrepared, tRan) +
                " s, server stop " + secs(tRan, tStopped) + " s";
  run->registry = "REGEDIT4\r\n\r\n" + RegistryFromWine(prefix + "/system.reg", "HKEY_LOCAL_MACHINE") +
                  RegistryFromWine(prefix + "/user.reg", "HKEY_CURRENT_USER");
  run->wineOutput = ReadAll(log);
  run->programs = SplitLines(ReadAll(dir + "/programs.log"));

  lines = WithTracedCalls(lines, run->wineOutput);
  std::string problem;
  for (const std::string& line : lines) {
    if (line.rfind("exit ", 0) == 0)
      run->exitCode = (unsigned)std::stoul(line.substr(5));
    if (line == "timeout" || line.rfind("error ", 0) == 0)
      problem = line;
    run->events.push_back(line);
  }
  run->seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
  if (r.timedOut)
    run->error = "the driver did not end in time";
  else if (!problem.empty())
    run->error = problem;
  else if (r.status != 0 || lines.empty() || lines.back().rfind("exit ", 0) != 0)
    run->error = "the driver failed (status " + std::to_string(r.status) + ")";
  else
    run->ok = true;
  return run;
}

// --- setupsim ---------------------------------------------------------------

SetupsimResult RunSetupsim(const std::string& machineDir, const WineOptions& opt)
{
  SetupsimResult result;
  std::string dir = MakeTempDir(WorkRoot(), "sim");
  std::string machine = dir + "/machine";
  fs::copy(machineDir, machine, fs::copy_options::recursive);
  std::vector<std::string> argv = { std::string(SETUP_BINARY_DIR) + "/setupsim" };
  auto add = [&](const char* flag, const std::string& value) {
    argv.push_back(flag);
    argv.push_back(value);
  };
  if (opt.windows)
    add("--windows", *opt.windows);
  if (opt.programPath)
    add("--program", *opt.programPath);
  if (opt.commandLine)
    add("--args", *opt.commandLine);
  if (opt.currentDirectory)
    add("--cwd", *opt.currentDirectory);
  for (const std::string& w : opt.openWindows)
    add("--window", w);
  for (const std::string& a : opt.actions)
    add("--act", a);
  argv.push_back(machine);
  ProcResult r = RunProcess(argv, {}, dir + "/out.txt", dir + "/err.txt", 60000);
  result.status = r.status;
  result.events = SplitLines(ReadAll(dir + "/out.txt"));
  result.errorOutput = ReadAll(dir + "/err.txt");
  std::error_code ec;
  fs::remove_all(dir, ec);
  return result;
}

std::vector<std::string> Comparable(const std::vector<std::string>& events)
{
  std::vector<std::string> out;
  int nRestarts = 0;
  for (std::string e : events) {
    if (e.rfind("pause ", 0) == 0 || e.rfind("wait-cursor ", 0) == 0 || e.rfind("ended ", 0) == 0)
      continue;
    if (e == "return false")
      e = "exit 0";
    if (e == "restart") {
      ++nRestarts;
      continue;
    }
    if (e.rfind("start ", 0) == 0) {
      size_t via = e.rfind(" via=");
      if (via != std::string::npos && e.find('"', via) == std::string::npos)
        e.erase(via);
    }
    out.push_back(e);
  }
  // Wine carries out a restart request after the program has gone on (it
  // starts wineboot and returns), so only that it came is comparable: it
  // goes before the program's end.
  auto end = out.end();
  if (!out.empty() && out.back().rfind("exit ", 0) == 0)
    --end;
  out.insert(end, nRestarts, "restart");
  return out;
}

std::string Join(const std::vector<std::string>& lines)
{
  std::string s;
  for (const std::string& l : lines)
    s += l + "\n";
  return s;
}

// --- CMachineFolder ---------------------------------------------------------

CMachineFolder::CMachineFolder() : m_dir(MakeTempDir(WorkRoot(), "machine"))
{
  fs::create_directories(m_dir + "/c/WINDOWS/SYSTEM");
  fs::create_directories(m_dir + "/d");
}

CMachineFolder::~CMachineFolder()
{
  std::error_code ec;
  fs::remove_all(m_dir, ec);
}

std::string CMachineFolder::Host(const std::string& windowsPath) const
{
  std::string s = m_dir + "/" + std::string(1, (char)std::tolower((unsigned char)windowsPath[0]));
  std::string rest = windowsPath.substr(2);
  std::replace(rest.begin(), rest.end(), '\\', '/');
  return s + rest;
}

void CMachineFolder::WriteFile(const std::string& windowsPath, const std::string& content)
{
  WriteAll(Host(windowsPath), content);
}

void CMachineFolder::MakeDir(const std::string& windowsPath)
{
  fs::create_directories(Host(windowsPath));
}

void CMachineFolder::SetRegistry(const std::string& regeditText)
{
  WriteAll(m_dir + "/registry.reg", regeditText);
}

void CMachineFolder::CopyIn(const std::string& hostDir, const std::string& relative)
{
  fs::path to = relative.empty() ? fs::path(m_dir) : fs::path(m_dir) / relative;
  fs::create_directories(to);
  fs::copy(hostDir, to, fs::copy_options::recursive | fs::copy_options::overwrite_existing);
}

void CopySampleMachine(CMachineFolder* pMachine)
{
  std::string samples = std::string(SETUP_SOURCE_DIR) + "/samples";
  pMachine->CopyIn(samples + "/machine-98", "");
  pMachine->CopyIn(samples + "/disc", "d");
}

}  // namespace winetest
