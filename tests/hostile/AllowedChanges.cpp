#include <algorithm>
#include <cstring>
#include <sstream>

#include "CheckedRun.h"
#include "sim/SimText.h"

namespace hostile {

struct CAllowedChanges {
  struct Path {
    std::string name;
    std::vector<std::string> sets, when, unless;
  };
  std::map<std::string, std::vector<std::pair<std::string, std::string>>> sets;  // "KIND|KIND", pattern
  std::vector<Path> paths;
};

namespace {

// A '*' inside a placeholder's value stands for itself.
const char kLiteralStar = '\x01';

bool Match(const char* p, const char* t, bool bPath)
{
  for (; *p != '\0'; ++p, ++t) {
    if (*t == '\0' && std::strcmp(p, "\\**") == 0)  // "KEY\**" also stands for KEY itself
      return true;
    if (*p == '*') {
      const bool bAny = p[1] == '*' || !bPath;
      p += p[1] == '*' ? 2 : 1;
      for (const char* s = t;; ++s) {
        if (Match(p, s, bPath))
          return true;
        if (*s == '\0' || (!bAny && *s == '\\'))
          return false;
      }
    }
    if (*t == '\0' || sim::FoldChar(*p == kLiteralStar ? '*' : *p) != sim::FoldChar(*t))
      return false;
  }
  return *t == '\0';
}

// Every spelling of a pattern with its placeholders ({UPPER-CASE NAME}) replaced.
std::vector<std::string> Expand(const std::string& pattern, const CRunPlaceholders& ph, size_t from = 0)
{
  const size_t open = pattern.find('{', from), close = pattern.find('}', open);
  if (close == std::string::npos)
    return {pattern};
  const std::string name = pattern.substr(open + 1, close - open - 1);
  if (name.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZ") != std::string::npos)
    return Expand(pattern, ph, close);  // a key's name such as {4B7A...}
  std::vector<std::string> out;
  auto it = ph.find(name);
  for (std::string value : it == ph.end() ? std::vector<std::string>{} : it->second) {
    std::replace(value.begin(), value.end(), '*', kLiteralStar);
    for (const auto& s : Expand(pattern.substr(0, open) + value + pattern.substr(close + 1), ph, open + value.size()))
      out.push_back(s);
  }
  return out;
}

// What a change is matched by: "KIND SUBJECT" lines; a changed file gives
// one line per thing that changed in it ("PATH: [SECTION] KEY added").
std::vector<std::string> Subjects(const sim::SimChange& c)
{
  static const char* const kKinds[] = {
      "key-added",    "key-removed",    "value-added", "value-removed", "value-changed",
      "folder-added", "folder-removed", "file-added",  "file-removed",  "file-changed",
      "attribute-changed", "at-restart", "at-restart delete"};
  const std::string head = std::string(kKinds[(int)c.kind]) + " " + c.path;
  if (c.kind == sim::ChangeKind::RenameAtRestart)
    return {head + " -> " + c.target};
  if (c.oldValue || c.newValue) {
    const std::string& name = (c.newValue ? c.newValue : c.oldValue)->name;
    return {head + " [" + (name.empty() ? "@" : name) + "]"};
  }
  std::vector<std::string> out{head};
  for (const auto& k : c.profileKeys)
    out.push_back(head + ": [" + k.section + "] " + k.key +
                  (!k.oldValue ? " added" : !k.newValue ? " removed" : " changed"));
  for (const auto& l : c.lines)
    out.push_back(head + ": line " + l);
  if (c.sizesOnly)
    out.push_back(head + ": content");
  return out;
}

}  // namespace

std::shared_ptr<const CAllowedChanges> LoadAllowedChanges(const std::string& text, std::string* pError)
{
  auto rules = std::make_shared<CAllowedChanges>();
  std::istringstream in(text);
  std::vector<std::pair<std::string, std::string>>* pSet = nullptr;
  int lineNo = 0;
  auto fail = [&](const std::string& why) {
    *pError = "line " + std::to_string(lineNo) + ": " + why;
    return nullptr;
  };
  for (std::string line; std::getline(in, line);) {
    std::istringstream words(line.substr(0, line.find('#')));
    std::string w0, w1;
    ++lineNo;
    if (!(words >> w0))
      continue;
    words >> w1;
    const std::string rest = sim::TrimBlanks(line.substr(line.find(w0) + w0.size()));
    if (w0 == "set" && !w1.empty()) {
      pSet = &rules->sets[w1];
    } else if (w0 == "path" && w1.size() > 1 && w1.back() == ':') {
      pSet = nullptr;
      rules->paths.push_back({w1.substr(0, w1.size() - 1), {}, {}, {}});
      for (std::string set; words >> set; rules->paths.back().sets.push_back(set))
        if (!rules->sets.count(set))
          return fail("no set " + set);
    } else if (!pSet && !rules->paths.empty() && (w0 == "when" || w0 == "unless")) {
      (w0 == "when" ? rules->paths.back().when : rules->paths.back().unless).push_back(rest);
    } else if (pSet && !w1.empty()) {
      pSet->emplace_back(w0, rest);
    } else {
      return fail("not a rule: " + line);
    }
  }
  return rules;
}

std::vector<std::string> CheckChanges(const CAllowedChanges& rules, const std::vector<std::string>& events,
                                      const std::vector<sim::SimChange>& changes, const CRunPlaceholders& ph,
                                      std::string* pPath)
{
  auto seen = [&](const std::string& pattern) {
    return std::any_of(events.begin(), events.end(),
                       [&](const std::string& e) { return Match(pattern.c_str(), e.c_str(), false); });
  };
  auto path = std::find_if(rules.paths.begin(), rules.paths.end(), [&](const CAllowedChanges::Path& p) {
    return std::all_of(p.when.begin(), p.when.end(), seen) && std::none_of(p.unless.begin(), p.unless.end(), seen);
  });
  if (path == rules.paths.end())
    return {"no path of the rule matches these events"};
  *pPath = path->name;
  std::vector<std::string> faults;
  for (const auto& c : changes)
    for (const auto& subject : Subjects(c)) {
      const std::string kind = subject.substr(0, subject.find(' ')), what = subject.substr(kind.size() + 1);
      bool bAllowed = false;
      for (const auto& set : path->sets)
        for (const auto& rule : rules.sets.at(set))
          if (("|" + rule.first + "|").find("|" + kind + "|") != std::string::npos)
            for (const auto& pattern : Expand(rule.second, ph))
              bAllowed = bAllowed || Match(pattern.c_str(), what.c_str(), true);
      if (!bAllowed)
        faults.push_back(path->name + ": " + subject);
    }
  return faults;
}

}  // namespace hostile
