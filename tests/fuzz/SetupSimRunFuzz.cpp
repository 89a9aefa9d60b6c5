// Whole setupsim runs on the sample computer (Windows 98 with the sample disc as D:) with a fuzzed setup.ini,
// fuzzed INF files of the driver set and fuzzed registry lines, checked as the hostile sweep checks: nothing
// refused that changes the machine folder, no change outside the allowed set of the path the run took, no run
// that waits for ever. Input: SELECT NUL SETUP.INI NUL INF NUL REGISTRY-LINES. SELECT picks the Windows
// version and the start (command line, the user's actions).
#include "CheckedRun.h"
#include "FuzzCheck.h"

namespace fs = std::filesystem;

static std::string g_template, g_machine, g_registry;
static std::shared_ptr<const hostile::CAllowedChanges> g_rules;

const char* const kVersions[] = {"95", "98", "98SE", "ME", "NT4", "2000", "XP"};
const struct {
  const char* args;
  std::vector<std::string> actions;
} kStarts[] = {{"", {}}, {"/DRIVER", {}}, {"/AP", {}}, {"", {"click:1002", "ok"}}, {"", {"click:1001", "ok"}},
               {"", {"cancel"}}, {"", {"click:1007", "click:1000", "ok"}}};

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
  const std::string root = ScratchFolder("setupsim"), samples = SETUP_SOURCE_DIR "/samples";
  g_template = root + "/template";
  g_machine = root + "/machine";
  fs::copy(samples + "/machine-98", g_template, fs::copy_options::recursive);
  fs::copy(samples + "/disc", g_template + "/d", fs::copy_options::recursive);
  g_registry = ReadFile(g_template + "/registry.reg");
  g_rules = hostile::LoadAllowedChanges(ReadFile(SETUP_SOURCE_DIR "/tests/hostile/allowed-changes.txt"));
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
  auto parts = SplitInput(data, size, 4);
  const unsigned select = parts[0].empty() ? 0 : (unsigned char)parts[0][0];
  // libFuzzer's timer signal can interrupt the copy's system calls, which
  // the library does not restart: the copy is made again.
  for (std::error_code ec;; ec.clear()) {
    fs::remove_all(g_machine);
    fs::copy(g_template, g_machine, fs::copy_options::recursive, ec);
    if (ec != std::errc::interrupted) {
      FUZZ_CHECK(!ec, "copying the sample computer: " + ec.message());
      break;
    }
  }
  WriteFile(g_machine + "/d/setup.ini", parts[1]);
  for (const char* inf : {"/d/W95-98/drv/98/TVX98.INF", "/d/W95-98/drv/95/TVX95.INF", "/d/TVXWEB.INF"})
    WriteFile(g_machine + inf, parts[2]);
  WriteFile(g_machine + "/registry.reg", g_registry + parts[3]);
  sim::SimOptions options;
  options.windows = kVersions[select % 7];
  options.commandLine = kStarts[(select / 7) % 7].args;
  options.actions = kStarts[(select / 7) % 7].actions;
  const hostile::CheckedRun run = hostile::RunChecked(g_machine, options, *g_rules);
  FUZZ_CHECK(run.faults.empty(), "on path " + run.path + ": " + run.faults[0]);
  return 0;
}
