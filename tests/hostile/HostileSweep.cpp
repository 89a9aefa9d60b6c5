// The hostile-computer sweep: every trait of hostile-computers.txt (which
// tells its notation) crossed with the variants, each computer built from the
// sample and run through setupsim in a child process of its own, then
// checked: no crash, no hang (a guard on the child's answer, not a pause), no
// change outside the allowed sets of the path taken. Prints each failure and
// "N passed, M failed".
//
//   hostile_sweep SAMPLES RULES COMPUTERS [NAME-SUBSTRING]
//
// The computers are built in a new folder in memory (/dev/shm) where the
// system offers it, else in the temporary folder; failed ones stay.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <random>
#include <regex>
#include <sstream>

#include "CheckedRun.h"
#include "SetupSimOptions.h"
#include "sim/SimText.h"

namespace fs = std::filesystem;

namespace {

const unsigned kDeadlineSeconds = 60;
const size_t kMinComputers = 200;
const int kPassed = 40, kFailed = 41;  // the child's exit codes; any other is a crash

struct Recipe {
  std::string name;
  bool bRotate;  // a variant that only some traits meet, in turn
  std::vector<std::string> ops;
};

struct Computer {
  std::string name, dir;
  const Recipe *pVariant, *pTrait;
  unsigned seed;
};

std::string ReadText(const std::string& path)
{
  std::string text;
  if (!sim::ReadWholeFile(path, &text))
    throw std::invalid_argument("cannot read " + path);
  return text;
}

// The text from *pPos up to the '}' that ends it, each {WORD ARG} in it
// replaced, innermost first; what a token gives is not read again.
std::string Expand(const std::string& s, size_t* pPos, const std::string& samples, std::mt19937& rng)
{
  static const std::map<std::string, std::string> kBreaks = {{"crlf", "\r\n"}, {"lf", "\n"}, {"cr", "\r"}};
  std::string out;
  while (*pPos < s.size() && s[*pPos] != '}') {
    if (s[(*pPos)++] != '{') {
      out += s[*pPos - 1];
      continue;
    }
    const std::string inner = Expand(s, pPos, samples, rng), word = inner.substr(0, inner.find(' '));
    const std::string arg = inner.substr(std::min(word.size() + 1, inner.size()));
    const std::string file = kBreaks.count(word) && !arg.empty() ? ReadText(samples + "/" + arg) : "";
    if ((*pPos)++ == s.size())
      throw std::invalid_argument("no } after {" + inner);
    else if (word == "nul")
      out += '\0';
    else if (kBreaks.count(word))
      out += arg.empty() ? kBreaks.at(word) : std::regex_replace(file, std::regex("\r\n"), kBreaks.at(word));
    else if (word == "rep" || word == "bytes")
      for (size_t i = 0, n = std::stoul(arg); i < n; ++i)
        out += word == "rep" ? arg.substr(arg.find(' ') + 1) : std::string(1, (char)rng());
    else
      throw std::invalid_argument("unknown token {" + inner + "}");
  }
  return out;
}

// Carries out one operation on the computer in dir; setupsim's options go to *pArgs.
void Apply(const std::string& op, const std::string& dir, std::vector<std::string>* pArgs)
{
  const std::string verb = op.substr(0, op.find(' ')), rest = op.substr(std::min(verb.size() + 1, op.size()));
  if (verb.compare(0, 2, "--") == 0)
    pArgs->insert(pArgs->end(), {verb, rest});
  else if (verb == "reg")
    std::ofstream(dir + "/registry.reg", std::ios::binary | std::ios::app) << rest;
  auto host = [&](const std::string& w) {  // "C:\A\B" -> DIR/c/A/B
    const std::string path = std::regex_replace(w.substr(std::min<size_t>(3, w.size())), std::regex("\\\\"), "/");
    return dir + "/" + sim::Lower(w.substr(0, 1)) + "/" + path;
  };
  const bool bText = verb == "file" || verb == "copy" || verb == "move";  // then PATHS hold no blank
  const std::string paths = bText ? rest.substr(0, rest.find(' ')) : rest;
  const std::string text = rest.substr(std::min(paths.size() + 1, rest.size()));  // or the new path
  std::istringstream list(verb[0] == '-' || verb == "reg" ? "" : paths);
  for (std::string path; std::getline(list, path, '|');) {
    std::error_code ec;
    if (verb == "file") {
      fs::create_directories(fs::path(host(path)).parent_path(), ec);
      std::ofstream(host(path), std::ios::binary) << text;
    } else if (verb == "remove") {
      fs::remove_all(host(path), ec);
    } else if (verb == "move" || verb == "copy") {  // a copy by way of a folder beside the drives
      const std::string from = verb == "copy" ? dir + "/copy" : host(path);
      if (verb == "copy")
        fs::copy(host(path), from, fs::copy_options::recursive, ec);
      fs::create_directories(fs::path(host(text)).parent_path(), ec);
      fs::rename(from, host(text), ec);
    } else if (verb == "readonly") {
      fs::permissions(host(path), fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                      fs::perm_options::remove, ec);
    } else {
      throw std::invalid_argument("unknown operation: " + op);
    }
    if (ec)
      throw std::invalid_argument("cannot apply: " + op);
  }
}

// Builds a computer from the sample and its recipes, runs and checks it in a
// child that prints its own faults; true when all was well.
bool RunIsolated(const std::string& samples, const Computer& c, const hostile::CAllowedChanges& rules)
{
  std::cout.flush();
  const pid_t pid = fork();
  if (pid == 0) {
    alarm(kDeadlineSeconds);
    hostile::CheckedRun run;
    try {
      fs::create_directories(c.dir);
      fs::copy(samples + "/machine-98", c.dir, fs::copy_options::recursive);
      fs::copy(samples + "/disc", c.dir + "/d", fs::copy_options::recursive);
      std::mt19937 rng(c.seed);
      std::vector<std::string> args{"hostile_sweep"};
      for (const auto* pOps : {&c.pVariant->ops, &c.pTrait->ops})
        for (const auto& op : *pOps) {
          size_t pos = 0;
          Apply(Expand(op, &pos, samples, rng), c.dir, &args);
          if (pos != op.size())
            throw std::invalid_argument("} without { in " + op);
        }
      args.push_back(c.dir);
      std::vector<char*> argv;
      for (auto& a : args)
        argv.push_back(&a[0]);
      sim::SimOptions options;
      SetupSimCommandLine cl;
      std::string err;
      if (!sim::ReadMachineIni(c.dir, &options, &err) ||
          !ParseSetupSimCommandLine((int)argv.size(), argv.data(), &cl, &err))
        throw std::invalid_argument(err);
      ApplyCommandLine(cl, &options);
      run = hostile::RunChecked(c.dir, options, rules);
    } catch (const std::invalid_argument& e) {
      run.faults.push_back(e.what());
    }
    if (!run.faults.empty())
      std::cout << "FAILED " << c.name << " (" << c.dir << "), path " << run.path << "\n";
    for (const auto& f : run.faults)
      std::cout << f << "\n";
    std::cout.flush();
    _exit(run.faults.empty() ? kPassed : kFailed);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  if (WIFEXITED(status) && (WEXITSTATUS(status) == kPassed || WEXITSTATUS(status) == kFailed))
    return WEXITSTATUS(status) == kPassed;
  std::cout << "FAILED " << c.name << " (" << c.dir << ")\n"
            << (!WIFSIGNALED(status) ? "crash: exit status " + std::to_string(WEXITSTATUS(status))
                : WTERMSIG(status) == SIGALRM ? std::string("hang: no answer within the deadline")
                                              : "crash: signal " + std::to_string(WTERMSIG(status)))
            << "\n";
  return false;
}

// Gives write permission back (the "readonly" operation took it) and removes.
void Remove(const std::string& dir)
{
  std::error_code ec;
  fs::permissions(dir, fs::perms::owner_all, fs::perm_options::add, ec);
  for (fs::recursive_directory_iterator it(dir, ec), end; it != end; it.increment(ec))
    fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
  fs::remove_all(dir, ec);
}

}  // namespace

int main(int argc, char** argv)
{
  if (argc < 4) {
    std::cerr << "usage: hostile_sweep SAMPLES RULES COMPUTERS [NAME-SUBSTRING]\n";
    return 2;
  }
  const std::string samples = argv[1], only = argc > 4 ? argv[4] : "";
  std::string scratch =
      (fs::exists("/dev/shm") ? "/dev/shm" : fs::temp_directory_path().string()) + "/hostile-sweep-XXXXXX";
  std::shared_ptr<const hostile::CAllowedChanges> rules;
  std::vector<Recipe> variants, traits;
  try {
    rules = hostile::LoadAllowedChanges(ReadText(argv[2]));
    // "variant NAME [rotate]" or "trait NAME", then its operations.
    for (const hostile::CBlock& b : hostile::ReadBlocks(ReadText(argv[3])))
      if (b.head.size() < 2 || (b.head[0] != "variant" && b.head[0] != "trait"))
        throw std::invalid_argument("neither a variant nor a trait: " + b.head[0]);
      else
        (b.head[0] == "trait" ? traits : variants).push_back({b.head[1], b.head.back() == "rotate", b.lines});
    if (mkdtemp(&scratch[0]) == nullptr)
      throw std::invalid_argument("cannot make a folder in " + scratch);
  } catch (const std::exception& e) {
    std::cerr << "hostile_sweep: " << e.what() << "\n";
    return 2;
  }
  // Each trait meets every variant, and two of the rotating ones in turn.
  const size_t nRotating = std::count_if(variants.begin(), variants.end(), [](const Recipe& v) { return v.bRotate; });
  size_t nComputers = 0, nPassed = 0;
  unsigned seed = 1;
  for (size_t nTrait = 0; nTrait < traits.size(); ++nTrait) {
    size_t nTurn = nRotating - 2 * nTrait % std::max<size_t>(nRotating, 1);
    for (const Recipe& variant : variants) {
      const Computer c{traits[nTrait].name + " / " + variant.name, scratch + "/" + std::to_string(++seed), &variant,
                       &traits[nTrait], seed};
      if ((variant.bRotate && nTurn++ % nRotating >= 2) || c.name.find(only) == std::string::npos)
        continue;
      ++nComputers;
      if (RunIsolated(samples, c, *rules)) {
        ++nPassed;
        Remove(c.dir);
      }
    }
  }
  std::cout << nPassed << " passed, " << nComputers - nPassed << " failed\n";
  if (nPassed == nComputers)
    fs::remove_all(scratch);
  if (only.empty() && nComputers < kMinComputers) {
    std::cout << "fewer than " << kMinComputers << " computers\n";
    return 1;
  }
  return nPassed == nComputers ? 0 : 1;
}
