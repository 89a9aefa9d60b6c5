// Whole setupsim runs on the sample computer (Windows 98 with the sample
// disc as D:) with a fuzzed setup.ini, fuzzed INF files of the driver set
// and fuzzed registry lines, checked as the hostile sweep checks: nothing
// refused that changes the machine folder, no change outside the allowed
// set of the path the run took, no run that waits for ever.
//
// Input: SELECT NUL SETUP.INI NUL INF NUL REGISTRY-LINES. SELECT picks the
// Windows version and the start (command line, the user's actions).
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "CheckedRun.h"
#include "FuzzCheck.h"

namespace fs = std::filesystem;

namespace {

std::string g_template, g_machine;
hostile::CAllowedChanges g_rules;

const char* const kVersions[] = {"95", "98", "98SE", "ME", "NT4", "2000", "XP"};

struct Start {
  const char* args;
  std::vector<std::string> actions;
};
const Start kStarts[] = {{"", {}},          {"/DRIVER", {}}, {"/AP", {}},
                         {"", {"click:1002", "ok"}}, {"", {"click:1001", "ok"}}, {"", {"cancel"}},
                         {"", {"click:1007", "click:1000", "ok"}}};

std::string ReadText(const std::string& path)
{
  std::ifstream in(path, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

void Write(const std::string& windowsPath, const std::string& text)
{
  std::string rest = windowsPath.substr(3);
  for (char& c : rest)
    if (c == '\\')
      c = '/';
  std::ofstream(g_machine + "/d/" + rest, std::ios::binary | std::ios::trunc) << text;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
  std::string tmpl = (fs::exists("/dev/shm") ? "/dev/shm" : fs::temp_directory_path().string()) +
                     "/fuzz-setupsim-XXXXXX";
  const std::string root = mkdtemp(&tmpl[0]);
  g_template = root + "/template";
  g_machine = root + "/machine";
  const std::string samples = SETUP_SOURCE_DIR "/samples";
  fs::copy(samples + "/machine-98", g_template, fs::copy_options::recursive);
  fs::copy(samples + "/disc", g_template + "/d", fs::copy_options::recursive);
  std::string err;
  if (!g_rules.Load(ReadText(SETUP_SOURCE_DIR "/tests/hostile/allowed-changes.txt"), &err)) {
    std::fprintf(stderr, "allowed-changes.txt: %s\n", err.c_str());
    std::abort();
  }
  std::atexit([] { fs::remove_all(fs::path(g_template).parent_path()); });
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
  auto parts = SplitInput(data, size, 4);
  const unsigned select = parts[0].empty() ? 0 : (unsigned char)parts[0][0];
  fs::remove_all(g_machine);
  fs::copy(g_template, g_machine, fs::copy_options::recursive);
  Write("D:\\setup.ini", parts[1]);
  for (const char* inf : {"D:\\W95-98\\drv\\98\\TVX98.INF", "D:\\W95-98\\drv\\95\\TVX95.INF", "D:\\TVXWEB.INF"})
    Write(inf, parts[2]);
  std::ofstream(g_machine + "/registry.reg", std::ios::binary | std::ios::app) << parts[3];

  sim::SimOptions options;
  options.windows = kVersions[select % 7];
  const Start& start = kStarts[(select / 7) % (sizeof kStarts / sizeof kStarts[0])];
  options.commandLine = start.args;
  options.actions = start.actions;
  hostile::CheckedRun run = hostile::RunChecked(g_machine, options, g_rules);
  std::string faults;
  for (const auto& f : run.faults)
    faults += "\n  " + f;
  FUZZ_CHECK(run.faults.empty(), "on path " + run.path + ":" + faults);
  return 0;
}
