#include "WineRun.h"

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
#include <thread>

#include "WineParts.h"
#include "WineTrace.h"

namespace winerun {

namespace {

const char* const kWine64 = "/usr/lib/wine/wine64";
const char* const kWine32 = "/usr/lib/wine/wine";
const char* const kWineServer = "/usr/lib/wine/wineserver64";
// Mono and Gecko are not installed; a crash must not wait in the debugger;
// winegstreamer breaks qemu's address space while a 32-bit prefix is built.
// Wine's HID bus finds the host's input devices and sets up drivers for them
// in the background: under emulation that outlasts the making of the
// template, so every run would go on with it (minutes of CPU, PNF files and
// service keys the program never made). Nothing here uses a device.
const char* const kDllOverrides =
    "mscoree=d;mshtml=d;winedbg.exe=d;winegstreamer=d;winemenubuilder.exe=d;winebus.sys=d";

// The Windows path under Z: (the whole Unix file system) of a host path.
std::string ZPath(const std::string& hostPath)
{
  std::string s = "Z:" + fs::absolute(hostPath).lexically_normal().string();
  std::replace(s.begin(), s.end(), '/', '\\');
  return s;
}

// Template prefixes and runs: build/native/wine-work, or SETUPSIM_WINE_WORK.
std::string WorkRoot()
{
  const char* psz = getenv("SETUPSIM_WINE_WORK");
  return psz && *psz ? std::string(psz) : std::string(SETUP_BINARY_DIR) + "/wine-work";
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
  // A template made with other settings is made again.
  const std::string stamp = std::string(kDllOverrides) + "\n" + kTemplateSettings;
  if (fs::exists(dir + "/.ready") && ReadAll(dir + "/.ready") == stamp)
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
  WriteAll(dir + "/.ready", stamp);
  return true;
}

// Library files of the template that no run writes are shared by hard links
// (a prefix is 700 MB); everything else is copied.
bool Shareable(const fs::path& rel)
{
  std::string s = rel.generic_string();
  std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return (char)std::tolower(c); });
  if (s.rfind("drive_c/windows/system32/", 0) != 0 && s.rfind("drive_c/windows/syswow64/", 0) != 0)
    return false;
  std::string ext = s.substr(s.find_last_of('.') == std::string::npos ? s.size() : s.find_last_of('.'));
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

std::string MakeTempDir(const std::string& parent, const std::string& stem)
{
  fs::create_directories(parent);
  std::string templ = parent + "/" + stem + "-XXXXXX";
  std::vector<char> buf(templ.begin(), templ.end());
  buf.push_back('\0');
  char* p = mkdtemp(buf.data());
  return p ? std::string(p) : std::string();
}

// Argument 0 as setupsim gives it to the program: the path in quotes.
std::string Quoted(const std::string& s)
{
  return "\"" + s + "\"";
}

// The program a command line starts: its quoted first part, or up to the
// first blank.
std::string ProgramOfCommand(const std::string& command)
{
  if (!command.empty() && command[0] == '"')
    return command.substr(1, command.find('"', 1) - 1);
  return command.substr(0, command.find(' '));
}

// The observed lines in setupsim's form: how a program was started cannot
// be seen (via= goes), and Wine carries out a restart after the program has
// gone on, so the restart is put before its end.
std::vector<std::string> SetupsimLines(const std::vector<std::string>& observed, WineResult* pResult)
{
  std::vector<std::string> out;
  int nRestarts = 0;
  for (std::string e : observed) {
    if (e == "timeout") {
      pResult->error = "the program did not end in time";
      continue;
    }
    if (e.rfind("error ", 0) == 0) {
      pResult->error = e.substr(7, e.size() - 8);
      pResult->badAction = e.find("no such control") != std::string::npos;
      continue;
    }
    if (e == "restart") {
      ++nRestarts;
      continue;
    }
    if (e.rfind("start", 0) == 0) {
      size_t via = e.rfind(" via=");
      if (via != std::string::npos && e.find('"', via) == std::string::npos)
        e.erase(via);
    }
    out.push_back(e);
  }
  auto end = out.end();
  if (!out.empty() && out.back().rfind("exit ", 0) == 0)
    --end;
  out.insert(end, nRestarts, "restart");
  return out;
}

}  // namespace

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

namespace {

// One run; *pNoStart tells that the Wine session never got to its first
// step, in which case the machine folder is left as it was.
WineResult RunOnce(const std::string& machineDir, const WineJob& job, WineArch arch, bool* pNoStart)
{
  *pNoStart = false;
  WineResult result;
  auto t0 = std::chrono::steady_clock::now();
  std::string why;
  if (!WineAvailable(arch, &why)) {
    result.error = why;
    return result;
  }
  std::string programFile = BuildDir(arch) + "/Setup.exe";
  std::string standinDir = BuildDir(arch) + "/standins";
  std::string versionText;
  if (!fs::exists(programFile) || !fs::exists(standinDir + "/driver.exe"))
    why = programFile + " or its stand-ins are missing: build the " +
          (arch == WineArch::X64 ? "win64" : "win32") + " preset first";
  else if (!VersionSettings(job.windows, &versionText))
    why = "unknown Windows version " + job.windows;
  std::string templ;
  if (why.empty())
    EnsureTemplate(arch, &templ, &why);
  std::string dir = why.empty() ? MakeTempDir(WorkRoot(), "run-" + ArchName(arch)) : std::string();
  if (why.empty() && dir.empty())
    why = "cannot make a run folder under " + WorkRoot();
  if (!why.empty()) {
    result.error = why;
    return result;
  }
  std::string prefix = dir + "/prefix";
  CStandins standins(standinDir + "/recorder.exe");
  try {
    CopyPrefix(templ, prefix);
    fs::remove(prefix + "/.ready");
    // The machine's drives: C: merged into the prefix's own, the others
    // copied and linked.
    for (const auto& e : fs::directory_iterator(machineDir)) {
      std::string name = e.path().filename().string();
      if (!e.is_directory() || name.size() != 1 || !std::islower((unsigned char)name[0]))
        continue;
      if (name == "z")
        throw std::runtime_error("drive Z: is Wine's view of the host and cannot be a drive of the machine");
      if (name == "c") {
        CopyDriveIn(e.path(), prefix + "/drive_c", standins);
        continue;
      }
      std::string copy = dir + "/drives/" + name;
      CopyDriveIn(e.path(), copy, standins);
      for (const char* suffix : { ":", "::" }) {
        std::error_code ec;
        fs::remove(prefix + "/dosdevices/" + name + suffix, ec);
      }
      fs::create_directory_symlink(copy, prefix + "/dosdevices/" + name + ":");
    }
    PrepareDriveC(prefix, machineDir, job.windows, standins);
    // The program in place.
    std::string programAt = ProgramLocation(job.programPath, job.currentDirectory);
    std::string hostProgram = PrefixHostPath(prefix, programAt, true);
    if (hostProgram.empty())
      throw std::runtime_error("the program path " + job.programPath + " is on no drive of the machine");
    std::error_code ec;
    // What the machine has at the program's path comes back afterwards.
    bool bHad = fs::is_regular_file(hostProgram);
    std::string original;
    if (bHad) {
      std::string content = ReadAll(hostProgram);
      bool bOurs = false;
      if (!standins.Unwrap(content, &original, &bOurs))
        original = content;
    }
    standins.SetProgram(ReadAll(programFile), bHad, original);
    fs::remove(hostProgram, ec);
    fs::copy_file(programFile, hostProgram);
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
    std::string module = job.programPath.substr(job.programPath.find_last_of("\\:") + 1);
    module = module.substr(0, module.rfind('.'));
    reg += "[HKEY_CURRENT_USER\\Software\\Wine\\Debug]\r\n"
           "\"RelayInclude\"=\"kernel32.WinExec;kernel32.CreateProcessA;user32.DialogBoxParamA\"\r\n"
           "\"RelayFromInclude\"=\"" + module + "\"\r\n\r\n";
    WriteAll(dir + "/import.reg", reg);

    // The job for the driver and the stand-ins.
    int timeoutMs = arch == WineArch::X64 ? 30000 : 120000;
    std::string text = "Program=" + programAt + "\r\n";
    text += "CommandLine=" + Quoted(job.programPath) + (job.commandLine.empty() ? "" : " " + job.commandLine) + "\r\n";
    text += "CurrentDirectory=" + job.currentDirectory + "\r\n";
    text += "WindowStandin=" + ZPath(dir + "/tools/window.exe") + "\r\n";
    text += "Import=" + ZPath(dir + "/import.reg") + "\r\n";
    text += "ProgramDebug=-all,+relay\r\n";
    text += "Timeout=" + std::to_string(timeoutMs) + "\r\n";
    text += std::string("AllowRestart=") + (job.allowRestart ? "1" : "0") + "\r\n";
    for (const std::string& w : job.openWindows)
      text += "Window=" + w + "\r\n";
    for (const std::string& a : job.actions)
      text += "Action=" + a + "\r\n";
    text += RestoreAfterStart(prefix);
    for (const auto& r : job.runningPrograms)
      text += "Linger=" + std::to_string(LingerMilliseconds(r.second)) + " " + ProgramOfCommand(r.first) + "\r\n";
    WriteAll(dir + "/job.txt", text);
  } catch (const std::exception& e) {
    result.error = std::string("preparing the prefix: ") + e.what();
    return result;
  }

  auto tPrepared = std::chrono::steady_clock::now();
  fs::file_time_type runStart = fs::file_time_type::clock::now();
  std::vector<std::string> env = BaseEnv(arch, prefix);
  env.push_back("SETUPTEST_JOB=" + ZPath(dir + "/job.txt"));
  env.push_back("SETUPTEST_EVENTS=" + ZPath(dir + "/events.log"));
  env.push_back("SETUPTEST_PROGRAMS=" + ZPath(dir + "/programs.log"));
  std::string log = dir + "/wine.log";
  int timeoutMs = arch == WineArch::X64 ? 30000 : 120000;
  ProcResult r = RunProcess({ Loader(arch), ZPath(dir + "/tools/driver.exe") }, env, log, log,
                            timeoutMs + (arch == WineArch::X64 ? 60000 : 240000));
  auto tRan = std::chrono::steady_clock::now();
  // The server writes the registry out when it stops.
  StopServer(prefix);
  auto tStopped = std::chrono::steady_clock::now();

  std::vector<std::string> observed = WithTracedCalls(SplitLines(ReadAll(dir + "/events.log")), ReadAll(log));
  result.events = SetupsimLines(observed, &result);
  // How far it got, for a run that fails only now and then; with no step
  // done and nothing observed, the session never got to the program.
  std::string steps;
  for (const std::string& line : SplitLines(ReadAll(dir + "/programs.log")))
    steps += (steps.empty() ? "" : ", ") + line;
  if (result.error.empty() && r.timedOut) {
    result.error = "the dialog driver did not end in time (" + (steps.empty() ? "no step done" : steps) + ")";
    *pNoStart = steps.empty();
  } else if (result.error.empty() && (r.status != 0 || observed.empty() || observed.back().rfind("exit ", 0) != 0)) {
    result.error = "the dialog driver failed (status " + std::to_string(r.status) + "), see " + log;
    *pNoStart = steps.empty() && observed.empty();
  }

  // The computer as the prefix holds it (unless the session never started).
  if (!*pNoStart) try {
    for (const auto& e : fs::directory_iterator(machineDir)) {
      std::string name = e.path().filename().string();
      if (!e.is_directory() || name.size() != 1 || !std::islower((unsigned char)name[0]))
        continue;
      if (name == "c")
        CopyDriveBack(prefix + "/drive_c", e.path(), standins, templ + "/drive_c", runStart);
      else
        CopyDriveBack(dir + "/drives/" + name, e.path(), standins, fs::path(), runStart);
    }
    if (!WriteRegistryBack(machineDir, prefix, templ, &why) && result.error.empty())
      result.error = why;
  } catch (const std::exception& e) {
    if (result.error.empty())
      result.error = std::string("writing the computer back: ") + e.what();
  }
  auto secs = [](auto a, auto b) { return std::to_string(std::chrono::duration<double>(b - a).count()); };
  result.timing = "prepare " + secs(t0, tPrepared) + " s, wine " + secs(tPrepared, tRan) + " s, server stop " +
                  secs(tRan, tStopped) + " s, write-back " + secs(tStopped, std::chrono::steady_clock::now()) + " s";
  result.ok = result.error.empty();
  if (!getenv("SETUPSIM_KEEP_WINE")) {
    std::error_code ec;
    fs::remove_all(dir, ec);
  } else {
    result.timing += ", kept in " + dir;
  }
  return result;
}

}  // namespace

// Now and then a Wine session never gets going (under emulation one of its
// own processes dies in qemu; the driver then waits for ever or fails before
// its first step): nothing of the program ran, so the run is made once more.
WineResult RunUnderWine(const std::string& machineDir, const WineJob& job, WineArch arch)
{
  bool bNoStart = false;
  WineResult result = RunOnce(machineDir, job, arch, &bNoStart);
  if (bNoStart)
    result = RunOnce(machineDir, job, arch, &bNoStart);
  return result;
}

}  // namespace winerun
