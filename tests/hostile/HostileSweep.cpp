// The hostile-computer sweep: every trait of hostile-computers.txt crossed
// with the variants (the rotating ones in turn), each computer built from the
// sample (Windows 98, the sample disc as D:) and run through setupsim in a
// child process of its own, then checked: no crash, no hang (a guard on the
// child's answer, not a pause), no change outside the allowed sets of the
// path taken. Prints each failure and "N passed, M failed".
//
//   hostile_sweep SAMPLES RULES COMPUTERS SCRATCH [NAME-SUBSTRING]
//
// The computers are built in a new folder under SCRATCH; failed ones stay.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <random>
#include <sstream>

#include "CheckedRun.h"
#include "SetupSimOptions.h"
#include "sim/SimText.h"

namespace fs = std::filesystem;

namespace {

const unsigned kDeadlineSeconds = 60;
const size_t kMinComputers = 200;

struct Recipe {
  std::string name;
  bool bRotate = false;  // a variant that only some traits meet, in turn
  std::vector<std::string> ops;
};

std::string ReadText(const std::string& path)
{
  std::stringstream ss;
  ss << std::ifstream(path, std::ios::binary).rdbuf();
  return ss.str();
}

std::string ReplaceAll(std::string s, const std::string& from, const std::string& to)
{
  for (size_t p = s.find(from); p != std::string::npos; p = s.find(from, p + to.size()))
    s.replace(p, from.size(), to);
  return s;
}

// The text notation, innermost first: {crlf} {lf} {cr} {nul} {tab},
// {rep N TEXT}, {bytes N} (pseudo-random), {sample FILE} under the samples,
// {lf FILE} {cr FILE} with those line ends, {chop FILE} without the final one.
std::string Expand(std::string s, const std::string& samples, std::mt19937& rng)
{
  static const std::string kWords = " crlf lf cr nul tab rep bytes sample chop ";
  for (size_t open = s.find('{'); open != std::string::npos; open = s.find('{', open + 1)) {
    const size_t close = s.find_first_of("{}", open + 1);
    const std::string inner = s.substr(open + 1, close == std::string::npos ? 0 : close - open - 1);
    const std::string word = inner.substr(0, inner.find(' ')), arg = inner.substr(word.size() + (word != inner));
    if (close == std::string::npos || s[close] != '}' || kWords.find(" " + word + " ") == std::string::npos)
      continue;
    std::string out;
    if (word == inner)
      out = word == "crlf" ? "\r\n" : word == "lf" ? "\n" : word == "cr" ? "\r" : word == "tab" ? "\t"
          : std::string(1, '\0');
    else if (word == "rep" || word == "bytes")
      for (size_t i = 0, n = std::stoul(arg); i < n; ++i)
        out += word == "rep" ? arg.substr(arg.find(' ') + 1) : std::string(1, (char)rng());
    else {
      out = ReadText(samples + "/" + arg);
      out = word == "lf" ? ReplaceAll(out, "\r\n", "\n") : word == "cr" ? ReplaceAll(out, "\r\n", "\r")
          : word == "chop" ? out.substr(0, out.find_last_not_of("\r\n") + 1) : out;
    }
    s = s.substr(0, open) + out + s.substr(close + 1);
    open = std::string::npos;  // from the start again: the token may have been inside another
  }
  return s;
}

// The first word of an operation's argument: a path, quoted when it holds blanks.
std::string TakePath(std::string* pRest)
{
  std::string& r = *pRest;
  const bool bQuoted = !r.empty() && r[0] == '"';
  const size_t end = bQuoted ? r.find('"', 1) + 1 : r.find(' ');
  std::string path = r.substr(bQuoted, end == std::string::npos ? end : end - 2 * bQuoted);
  r = end == std::string::npos || end >= r.size() ? "" : r.substr(end + 1);
  return path;
}

struct Computer {
  std::string name, dir;
  const Recipe *pVariant, *pTrait;
  unsigned seed;
};

// Builds a computer from the sample and its recipes, runs and checks it:
// its path, then one line per fault.
std::string BuildAndRun(const std::string& samples, const Computer& c, const hostile::CAllowedChanges& rules)
{
  fs::create_directories(c.dir);
  fs::copy(samples + "/machine-98", c.dir, fs::copy_options::recursive);
  fs::copy(samples + "/disc", c.dir + "/d", fs::copy_options::recursive);
  auto host = [&](const std::string& w) {  // "C:\A\B" -> DIR/c/A/B
    return c.dir + "/" + sim::Lower(w.substr(0, 1)) + "/" + ReplaceAll(w.size() > 3 ? w.substr(3) : "", "\\", "/");
  };
  std::mt19937 rng(c.seed);
  std::vector<std::string> args{"hostile_sweep"};
  std::error_code ec;
  for (const Recipe* pRecipe : {c.pVariant, c.pTrait})
    for (const auto& op : pRecipe->ops) {
      const std::string verb = op.substr(0, op.find(' '));
      std::string rest = Expand(op.size() > verb.size() ? op.substr(verb.size() + 1) : "", samples, rng);
      if (verb.compare(0, 2, "--") == 0) {
        args.insert(args.end(), {verb, rest});
        continue;
      }
      if (verb == "reg") {
        std::ofstream(c.dir + "/registry.reg", std::ios::binary | std::ios::app) << rest;
        continue;
      }
      const std::string path = TakePath(&rest);
      if (verb == "file") {
        std::istringstream paths(path);
        for (std::string p; std::getline(paths, p, '|');) {
          fs::create_directories(fs::path(host(p)).parent_path(), ec);
          std::ofstream(host(p), std::ios::binary) << rest;
        }
      } else if (verb == "dir") {
        fs::create_directories(host(path), ec);
      } else if (verb == "remove") {
        fs::remove_all(host(path), ec);
      } else if (verb == "move" || verb == "copy") {  // a copy by way of a folder beside the drives
        const std::string to = host(TakePath(&rest)), copy = c.dir + "/copy";
        if (verb == "copy")
          fs::copy(host(path), copy, fs::copy_options::recursive, ec);
        fs::create_directories(fs::path(to).parent_path(), ec);
        fs::rename(verb == "copy" ? copy : host(path), to, ec);
      } else if (verb == "readonly") {
        fs::permissions(host(path), fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                        fs::perm_options::remove, ec);
      } else {
        return "-\nunknown operation: " + op + "\n";
      }
      if (ec)
        return "-\ncannot apply: " + op + "\n";
    }
  sim::SimOptions options;
  SetupSimCommandLine cl;
  std::string err;
  std::vector<char*> argv;
  args.push_back(c.dir);
  for (auto& a : args)
    argv.push_back(&a[0]);
  if (!sim::ReadMachineIni(c.dir, &options, &err) || !ParseSetupSimCommandLine((int)argv.size(), argv.data(), &cl, &err))
    return "-\n" + err + "\n";
  ApplyCommandLine(cl, &options);
  hostile::CheckedRun run = hostile::RunChecked(c.dir, options, rules);
  std::string report = (run.refused ? "refused: " + run.refusal : run.path) + "\n";
  for (const auto& f : run.faults)
    report += f + "\n";
  return report;
}

// Runs one computer in a child: "" when all was well, else what went wrong.
std::string RunIsolated(const std::string& samples, const Computer& c, const hostile::CAllowedChanges& rules,
                        std::string* pPath)
{
  int fds[2];
  if (pipe(fds) != 0)
    return "no pipe\n";
  std::cout.flush();
  const pid_t pid = fork();
  if (pid == 0) {
    close(fds[0]);
    alarm(kDeadlineSeconds);
    const std::string out = BuildAndRun(samples, c, rules);
    for (size_t done = 0; done < out.size();) {
      const ssize_t n = write(fds[1], out.data() + done, out.size() - done);
      if (n <= 0)
        _exit(1);
      done += (size_t)n;
    }
    _exit(0);
  }
  close(fds[1]);
  std::string report;
  char buf[4096];
  for (ssize_t n; (n = read(fds[0], buf, sizeof buf)) > 0;)
    report.append(buf, (size_t)n);
  close(fds[0]);
  int status = 0;
  waitpid(pid, &status, 0);
  if (WIFSIGNALED(status))
    return WTERMSIG(status) == SIGALRM ? "hang: no answer within the deadline\n"
                                       : "crash: signal " + std::to_string(WTERMSIG(status)) + "\n";
  if (WEXITSTATUS(status) != 0)
    return "crash: exit status " + std::to_string(WEXITSTATUS(status)) + "\n";
  *pPath = report.substr(0, report.find('\n'));
  return report.substr(report.find('\n') + 1);
}

}  // namespace

int main(int argc, char** argv)
{
  if (argc < 5) {
    std::cerr << "usage: hostile_sweep SAMPLES RULES COMPUTERS SCRATCH [NAME-SUBSTRING]\n";
    return 2;
  }
  const std::string samples = argv[1], only = argc > 5 ? argv[5] : "";
  std::string scratch = std::string(argv[4]) + "/hostile-sweep-XXXXXX", err;
  fs::create_directories(argv[4]);
  hostile::CAllowedChanges rules;
  if (mkdtemp(&scratch[0]) == nullptr || !rules.Load(ReadText(argv[2]), &err)) {
    std::cerr << "hostile_sweep: " << (err.empty() ? "cannot make a folder in " + scratch : err) << "\n";
    return 2;
  }
  std::vector<Recipe> variants, traits;
  std::istringstream in(ReadText(argv[3]));
  for (std::string line; std::getline(in, line);) {
    const std::string t = sim::TrimBlanks(line);
    if (t.empty() || t[0] == '#')
      continue;
    std::istringstream words(t);
    std::string kind, name, rotate;
    words >> kind >> name >> rotate;
    if (kind == "variant" || kind == "trait")
      (kind == "variant" ? variants : traits).push_back(Recipe{name, rotate == "rotate", {}});
    else if (line[0] == ' ' && !(variants.empty() && traits.empty()))
      (traits.empty() ? variants : traits).back().ops.push_back(t);
    else {
      std::cerr << "hostile_sweep: not in a recipe: " << t << "\n";
      return 2;
    }
  }
  // Each trait meets every variant, and two of the rotating ones in turn.
  std::vector<const Recipe*> rotating;
  for (const Recipe& v : variants)
    if (v.bRotate)
      rotating.push_back(&v);
  std::vector<Computer> computers;
  unsigned seed = 1;
  for (size_t nTrait = 0; nTrait < traits.size(); ++nTrait)
    for (const Recipe& variant : variants) {
      const std::string name = traits[nTrait].name + " / " + variant.name;
      ++seed;
      if (variant.bRotate && &variant != rotating[(2 * nTrait) % rotating.size()] &&
          &variant != rotating[(2 * nTrait + 1) % rotating.size()])
        continue;
      if (name.find(only) != std::string::npos)
        computers.push_back(Computer{name, scratch + "/" + std::to_string(seed), &variant, &traits[nTrait], seed});
    }
  size_t nPassed = 0, nFailed = 0;
  for (const Computer& c : computers) {
    std::string path, failure = RunIsolated(samples, c, rules, &path);
    if (std::getenv("HOSTILE_SWEEP_VERBOSE"))
      std::cout << c.name << ": " << path << "\n";
    if (!failure.empty()) {
      ++nFailed;
      std::cout << "FAILED " << c.name << " (" << c.dir << ")\n" << failure;
      continue;
    }
    ++nPassed;
    std::error_code ec;
    fs::permissions(c.dir, fs::perms::owner_all, fs::perm_options::add, ec);
    for (auto it = fs::recursive_directory_iterator(c.dir, ec); it != fs::recursive_directory_iterator();
         it.increment(ec))
      fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
    fs::remove_all(c.dir, ec);
  }
  std::cout << nPassed << " passed, " << nFailed << " failed\n";
  std::error_code ec;
  if (nFailed == 0)
    fs::remove_all(scratch, ec);
  if (only.empty() && computers.size() < kMinComputers) {
    std::cout << "fewer than " << kMinComputers << " computers\n";
    return 1;
  }
  return nFailed == 0 ? 0 : 1;
}
