// machine.ini as setupsim reads it, then the computer loaded with it.
// Invariant: a file refused (by the reader or the load) gets one line
// saying why, setupsim's status 2 message; a file taken gives settings
// that, written out as machine.ini (every value quoted) and read again, are
// the same; the file itself is left byte for byte.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "FuzzCheck.h"
#include "sim/SimComputer.h"

namespace fs = std::filesystem;

namespace {

std::string g_machine;

std::string Quoted(const std::string& s) { return "\"" + s + "\""; }

std::string Format(const sim::SimOptions& o)
{
  std::string s = "[Machine]\r\nWindows=" + Quoted(o.windows) + "\r\nProgramPath=" +
                  Quoted(o.programPath) + "\r\nCommandLine=" + Quoted(o.commandLine) +
                  "\r\nWindowsDirectory=" + Quoted(o.windowsDirectory) +
                  "\r\nLanguage=" + std::to_string(o.language) +
                  "\r\nReadOnlyDrives=" + Quoted(o.readOnlyDrives) + "\r\n";
  if (o.currentDirectory)
    s += "CurrentDirectory=" + Quoted(*o.currentDirectory) + "\r\n";
  if (o.systemDirectory)
    s += "SystemDirectory=" + Quoted(*o.systemDirectory) + "\r\n";
  s += "[Windows]\r\n";
  for (const auto& w : o.openWindows)
    s += Quoted(w) + "=1\r\n";
  s += "[Programs]\r\n";
  for (const auto& p : o.runningPrograms)
    s += Quoted(p.first) + "=" + std::to_string(p.second) + "\r\n";
  return s;
}

bool Same(const sim::SimOptions& a, const sim::SimOptions& b)
{
  return a.windows == b.windows && a.programPath == b.programPath &&
         a.commandLine == b.commandLine && a.currentDirectory == b.currentDirectory &&
         a.windowsDirectory == b.windowsDirectory && a.systemDirectory == b.systemDirectory &&
         a.language == b.language && a.openWindows == b.openWindows &&
         a.runningPrograms == b.runningPrograms && a.readOnlyDrives == b.readOnlyDrives;
}

bool OneLine(const std::string& s)
{
  return !s.empty() && s.find_first_of("\r\n") == std::string::npos;
}

void WriteIni(const std::string& text)
{
  std::ofstream(g_machine + "/machine.ini", std::ios::binary | std::ios::trunc) << text;
}

std::string ReadIni()
{
  std::ifstream in(g_machine + "/machine.ini", std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
  std::string tmpl = (fs::exists("/dev/shm") ? "/dev/shm" : fs::temp_directory_path().string()) +
                     "/fuzz-machine-ini-XXXXXX";
  g_machine = mkdtemp(&tmpl[0]);
  fs::create_directories(g_machine + "/c/WINDOWS/SYSTEM");
  std::atexit([] { fs::remove_all(g_machine); });
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
  const std::string text(reinterpret_cast<const char*>(data), size);
  WriteIni(text);
  sim::SimOptions options;
  std::string err;
  if (!sim::ReadMachineIni(g_machine, &options, &err)) {
    FUZZ_CHECK(OneLine(err), "refusal not one line: " + err);
    return 0;
  }
  // As setupsim goes on: the version name, then the load.
  if (sim::CanonicalWindowsVersion(options.windows).empty())
    return 0;
  auto pc = sim::CSimComputer::Load(g_machine, options, &err);
  FUZZ_CHECK(pc || OneLine(err), "load refusal not one line: " + err);
  FUZZ_CHECK(ReadIni() == text, "machine.ini changed");

  WriteIni(Format(options));
  sim::SimOptions again;
  FUZZ_CHECK(sim::ReadMachineIni(g_machine, &again, &err), "its own settings refused: " + err);
  FUZZ_CHECK(Same(options, again), "settings changed when written out: " + Format(again));
  return 0;
}
