// The hostile-computer sweep: every trait of hostile-computers.txt crossed
// with the variants (the rotating ones in turn), each computer built from the sample (Windows 98 with
// the sample disc as D:), run through setupsim in a child process and
// checked: no crash, no hang (a deadline on the child, not a pause), no
// change outside the allowed set of the path taken. Prints each failure and
// "N passed, M failed".
//
//   hostile_sweep SAMPLES RULES COMPUTERS SCRATCH [NAME-SUBSTRING]
//
// The computers are built in a new folder under SCRATCH; those that fail
// are left there.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <random>
#include <sstream>

#include "AllowedChanges.h"
#include "CheckedRun.h"
#include "sim/SimText.h"

namespace fs = std::filesystem;

namespace {

// A computer's guard: a child that has not answered by then has hung.
const int kDeadlineMs = 60 * 1000;
const size_t kMinComputers = 200;

struct Recipe {
  std::string name;
  std::vector<std::string> ops;
  bool bRotate = false;  // a variant that only some traits meet, in turn
};

std::string ReadText(const std::string& path)
{
  std::ifstream in(path, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

std::string ReplaceAll(std::string s, const std::string& from, const std::string& to)
{
  for (size_t p = s.find(from); p != std::string::npos; p = s.find(from, p + to.size()))
    s.replace(p, from.size(), to);
  return s;
}

// The content notation: {crlf} {lf} {cr} {nul} {tab}, {rep N TEXT},
// {bytes N} (pseudo-random), {sample FILE} and its forms with LF or CR line
// ends or without the final line break: {lf FILE} {cr FILE} {chop FILE}.
class CExpander {
public:
  CExpander(const std::string& samples, unsigned seed) : m_samples(samples), m_rng(seed) {}

  std::string Expand(const std::string& s)
  {
    size_t pos = 0;
    return Run(s, &pos, false);
  }

private:
  std::string Run(const std::string& s, size_t* pPos, bool bNested)
  {
    std::string out;
    while (*pPos < s.size()) {
      char c = s[*pPos];
      if (c == '}' && bNested) {
        ++*pPos;
        return out;
      }
      std::string word;
      if (c == '{') {
        size_t end = s.find_first_of(" }", *pPos + 1);
        word = s.substr(*pPos + 1, end == std::string::npos ? 0 : end - *pPos - 1);
      }
      if (!IsName(word)) {
        out += c;
        ++*pPos;
        continue;
      }
      *pPos += word.size() + 1;
      if (s[*pPos] == ' ')
        ++*pPos;
      out += Apply(word, s, pPos);
    }
    return out;
  }

  static bool IsName(const std::string& w)
  {
    for (const char* n : {"crlf", "lf", "cr", "nul", "tab", "rep", "bytes", "sample", "chop"})
      if (w == n)
        return true;
    return false;
  }

  std::string Apply(const std::string& word, const std::string& s, size_t* pPos)
  {
    static const std::map<std::string, std::string> kFixed = {
        {"crlf", "\r\n"}, {"lf", "\n"}, {"cr", "\r"}, {"nul", std::string(1, '\0')}, {"tab", "\t"}};
    std::string arg = Run(s, pPos, true);
    if (arg.empty() && kFixed.count(word))
      return kFixed.at(word);
    if (word == "rep" || word == "bytes") {
      size_t sp = arg.find(' ');
      size_t n = std::stoul(arg.substr(0, sp));
      std::string out;
      for (size_t i = 0; i < n; ++i)
        out += word == "rep" ? arg.substr(sp + 1) : std::string(1, (char)m_rng());
      return out;
    }
    std::string text = ReadText(m_samples + "/" + arg);
    if (word == "lf")
      return ReplaceAll(text, "\r\n", "\n");
    if (word == "cr")
      return ReplaceAll(text, "\r\n", "\r");
    if (word == "chop")
      return text.substr(0, text.find_last_not_of("\r\n") + 1);
    return text;
  }

  std::string m_samples;
  std::mt19937 m_rng;
};

bool ReadRecipes(const std::string& text, std::vector<Recipe>* pVariants,
                 std::vector<Recipe>* pTraits)
{
  std::istringstream in(text);
  std::vector<Recipe>* pList = nullptr;
  for (std::string line; std::getline(in, line);) {
    std::string t = sim::TrimBlanks(line);
    if (t.empty() || t[0] == '#')
      continue;
    if (t.compare(0, 8, "variant ") == 0 || t.compare(0, 6, "trait ") == 0) {
      pList = t[0] == 'v' ? pVariants : pTraits;
      std::string name = sim::TrimBlanks(t.substr(t.find(' ')));
      const bool bRotate = name.size() > 7 && name.compare(name.size() - 7, 7, " rotate") == 0;
      pList->push_back(Recipe{name.substr(0, name.size() - (bRotate ? 7 : 0)), {}, bRotate});
    } else if (pList == nullptr) {
      std::cerr << "hostile_sweep: an operation outside a recipe: " << t << "\n";
      return false;
    } else {
      pList->back().ops.push_back(t);
    }
  }
  return true;
}

// The first word of an operation's argument: a path, quoted when it holds blanks.
std::string TakePath(std::string* pRest)
{
  std::string& r = *pRest;
  size_t end = r[0] == '"' ? r.find('"', 1) + 1 : r.find(' ');
  std::string path = r.substr(r[0] == '"' ? 1 : 0, end == std::string::npos ? std::string::npos
                                                   : end - (r[0] == '"' ? 2 : 0));
  r = end == std::string::npos || end >= r.size() ? "" : r.substr(end + 1);
  return path;
}

class CComputerBuilder {
public:
  CComputerBuilder(const std::string& samples, const std::string& dir, sim::SimOptions* pOptions,
                   unsigned seed)
      : m_samples(samples), m_dir(dir), m_pOptions(pOptions), m_expander(samples, seed)
  {
  }

  // "C:\A\B" -> DIR/c/A/B.
  std::string Host(const std::string& windowsPath) const
  {
    std::string rest = windowsPath.size() > 3 ? windowsPath.substr(3) : "";
    std::replace(rest.begin(), rest.end(), '\\', '/');
    return m_dir + "/" + std::string(1, sim::Lower(windowsPath.substr(0, 1))[0]) +
           (rest.empty() ? "" : "/" + rest);
  }

  bool Apply(const std::string& op)
  {
    std::string verb = op.substr(0, op.find(' '));
    std::string rest = op.size() > verb.size() ? m_expander.Expand(op.substr(verb.size() + 1)) : "";
    std::error_code ec;
    if (verb == "option")
      return SetOption(rest.substr(0, rest.find('=')), rest.substr(rest.find('=') + 1));
    if (verb == "reg") {
      std::ofstream(m_dir + "/registry.reg", std::ios::binary | std::ios::app) << rest;
      return true;
    }
    std::string path = TakePath(&rest);
    if (verb == "file" || verb == "append") {
      for (std::istringstream paths(path); std::getline(paths, path, '|');) {
        fs::create_directories(fs::path(Host(path)).parent_path(), ec);
        std::ofstream(Host(path), std::ios::binary |
                                      (verb == "file" ? std::ios::trunc : std::ios::app)) << rest;
      }
    } else if (verb == "dir") {
      fs::create_directories(Host(path), ec);
    } else if (verb == "remove") {
      fs::remove_all(Host(path), ec);
    } else if (verb == "move") {
      std::string to = Host(TakePath(&rest));
      fs::create_directories(fs::path(to).parent_path(), ec);
      fs::rename(Host(path), to, ec);
    } else if (verb == "copydisc") {
      // The disc as it stands now (the variant's setup.ini included).
      const std::string copy = m_dir + "/disc-copy";
      fs::copy(m_dir + "/d", copy, fs::copy_options::recursive, ec);
      fs::create_directories(fs::path(Host(path)).parent_path(), ec);
      fs::rename(copy, Host(path), ec);
    } else if (verb == "readonly") {
      fs::permissions(Host(path), fs::perms::owner_write | fs::perms::group_write |
                                      fs::perms::others_write, fs::perm_options::remove, ec);
    } else {
      return false;
    }
    return !ec;
  }

private:
  bool SetOption(const std::string& key, const std::string& value)
  {
    sim::SimOptions& o = *m_pOptions;
    if (key == "windows") o.windows = value;
    else if (key == "program") o.programPath = value;
    else if (key == "args") o.commandLine = value;
    else if (key == "cwd") o.currentDirectory = value;
    else if (key == "windir") o.windowsDirectory = value;
    else if (key == "sysdir") o.systemDirectory = value;
    else if (key == "readonly") o.readOnlyDrives = value;
    else if (key == "act") o.actions.push_back(value);
    else if (key == "window") o.openWindows.push_back(value);
    else if (key == "running")
      o.runningPrograms.emplace_back(value.substr(0, value.rfind('=')),
                                     std::stoi(value.substr(value.rfind('=') + 1)));
    else return false;
    return true;
  }

  std::string m_samples, m_dir;
  sim::SimOptions* m_pOptions;
  CExpander m_expander;
};

// Runs one computer in a child process; "" when all is well, else why not.
// *pPath: the path it took.
std::string RunGuarded(const std::string& dir, const sim::SimOptions& options,
                       const hostile::CAllowedChanges& rules, std::string* pPath)
{
  int fds[2];
  if (pipe(fds) != 0)
    return "no pipe";
  std::cout.flush();
  pid_t pid = fork();
  if (pid == 0) {
    close(fds[0]);
    hostile::CheckedRun run = hostile::RunChecked(dir, options, rules);
    std::string report = "path " + (run.refused ? "refused: " + run.refusal : run.path) + "\n";
    for (const auto& f : run.faults)
      report += f + "\n";
    (void)!write(fds[1], report.data(), report.size());
    _exit(0);
  }
  close(fds[1]);
  std::string report;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kDeadlineMs);
  bool bHung = false;
  for (;;) {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    pollfd pfd{fds[0], POLLIN, 0};
    if (left.count() <= 0 || poll(&pfd, 1, (int)left.count()) == 0) {
      bHung = true;
      kill(pid, SIGKILL);
      break;
    }
    char buf[4096];
    ssize_t n = read(fds[0], buf, sizeof buf);
    if (n <= 0)
      break;
    report.append(buf, (size_t)n);
  }
  close(fds[0]);
  int status = 0;
  waitpid(pid, &status, 0);
  if (bHung)
    return "hang: no answer within the deadline\n";
  if (report.compare(0, 5, "path ") == 0) {
    *pPath = report.substr(5, report.find('\n') - 5);
    report.erase(0, report.find('\n') + 1);
  }
  if (WIFSIGNALED(status))
    return "crash: signal " + std::to_string(WTERMSIG(status)) + "\n" + report;
  if (WEXITSTATUS(status) != 0)
    return "crash: exit status " + std::to_string(WEXITSTATUS(status)) + "\n" + report;
  return report;
}

void MakeWritable(const std::string& dir)
{
  std::error_code ec;
  fs::permissions(dir, fs::perms::owner_all, fs::perm_options::add, ec);
  for (auto it = fs::recursive_directory_iterator(dir, ec); it != fs::recursive_directory_iterator();
       it.increment(ec))
    fs::permissions(it->path(), fs::perms::owner_read | fs::perms::owner_write |
                                    (it->is_directory() ? fs::perms::owner_exec : fs::perms::none),
                    fs::perm_options::add, ec);
}

}  // namespace

int main(int argc, char** argv)
{
  if (argc < 5) {
    std::cerr << "usage: hostile_sweep SAMPLES RULES COMPUTERS SCRATCH [NAME-SUBSTRING]\n";
    return 2;
  }
  const std::string samples = argv[1], only = argc > 5 ? argv[5] : "";
  std::string scratch = std::string(argv[4]) + "/hostile-sweep-XXXXXX";
  fs::create_directories(argv[4]);
  if (mkdtemp(&scratch[0]) == nullptr) {
    std::cerr << "hostile_sweep: cannot make a folder in " << argv[4] << "\n";
    return 2;
  }
  hostile::CAllowedChanges rules;
  std::string err;
  if (!rules.Load(ReadText(argv[2]), &err)) {
    std::cerr << "hostile_sweep: " << argv[2] << ": " << err << "\n";
    return 2;
  }
  std::vector<Recipe> variants, traits;
  if (!ReadRecipes(ReadText(argv[3]), &variants, &traits))
    return 2;

  // Each trait meets every variant, and two of the rotating ones in turn.
  std::vector<const Recipe*> rotating;
  for (const Recipe& v : variants)
    if (v.bRotate)
      rotating.push_back(&v);
  size_t nPassed = 0, nFailed = 0;
  unsigned seed = 1;
  for (size_t nTrait = 0; nTrait < traits.size(); ++nTrait)
    for (const Recipe& variant : variants) {
      const Recipe& trait = traits[nTrait];
      const std::string name = trait.name + " / " + variant.name;
      ++seed;
      if (variant.bRotate && &variant != rotating[(2 * nTrait) % rotating.size()] &&
          &variant != rotating[(2 * nTrait + 1) % rotating.size()])
        continue;
      if (!only.empty() && name.find(only) == std::string::npos)
        continue;
      const std::string dir = scratch + "/" + std::to_string(seed);
      std::error_code ec;
      MakeWritable(dir);
      fs::remove_all(dir, ec);
      fs::create_directories(dir);
      fs::copy(samples + "/machine-98", dir, fs::copy_options::recursive);
      fs::copy(samples + "/disc", dir + "/d", fs::copy_options::recursive);
      sim::SimOptions options;
      if (!sim::ReadMachineIni(dir, &options, &err)) {
        std::cerr << "hostile_sweep: sample machine.ini: " << err << "\n";
        return 2;
      }
      CComputerBuilder builder(samples, dir, &options, seed);
      for (const Recipe* pRecipe : {&variant, &trait})
        for (const auto& op : pRecipe->ops)
          if (!builder.Apply(op)) {
            std::cerr << "hostile_sweep: " << name << ": cannot apply: " << op << "\n";
            return 2;
          }
      std::string path;
      std::string failure = RunGuarded(dir, options, rules, &path);
      if (std::getenv("HOSTILE_SWEEP_VERBOSE"))
        std::cout << name << ": " << path << "\n";
      if (failure.empty()) {
        ++nPassed;
        MakeWritable(dir);
        fs::remove_all(dir, ec);
      } else {
        ++nFailed;
        std::cout << "FAILED " << name << " (" << dir << ")\n" << failure;
      }
    }
  std::cout << nPassed << " passed, " << nFailed << " failed\n";
  std::error_code ec;
  if (nFailed == 0)
    fs::remove_all(scratch, ec);
  if (only.empty() && nPassed + nFailed < kMinComputers) {
    std::cout << "fewer than " << kMinComputers << " computers\n";
    return 1;
  }
  return nFailed == 0 ? 0 : 1;
}
