#include "WineTrace.h"

#include <sstream>

#include "sim/SimText.h"

namespace winerun {

std::string CEscapedString(const std::string& s, size_t pos, size_t maxHexDigits, size_t* pEnd)
{
  std::string out;
  size_t i = pos + 1;
  for (; i < s.size() && s[i] != '"'; ++i) {
    if (s[i] != '\\' || i + 1 >= s.size()) {
      out += s[i];
      continue;
    }
    char c = s[++i];
    if (c == 'n')
      out += '\n';
    else if (c == 'r')
      out += '\r';
    else if (c == 't')
      out += '\t';
    else if (c == '0')
      out += '\0';
    else if (c == 'x') {
      unsigned v = 0;
      for (size_t n = 0; n < maxHexDigits && i + 1 < s.size() && sim::HexDigit(s[i + 1]) >= 0; ++n)
        v = v * 16 + (unsigned)sim::HexDigit(s[++i]);
      out += v < 256 ? (char)v : '?';
    } else
      out += c;
  }
  if (pEnd)
    *pEnd = i + 1;
  return out;
}

std::vector<std::string> SplitLines(const std::string& text)
{
  std::vector<std::string> lines;
  std::string line;
  std::istringstream in(text);
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r')
      line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

namespace {

// The arguments of a traced call: each either a string or the raw text.
std::vector<std::string> TraceArgs(const std::string& line, size_t open)
{
  std::vector<std::string> args;
  std::string cur;
  bool bString = false;
  for (size_t i = open + 1; i < line.size(); ++i) {
    char c = line[i];
    if (c == '"') {
      cur = CEscapedString(line, i, 2, nullptr);
      bString = true;
      for (++i; i < line.size() && !(line[i] == '"' && line[i - 1] != '\\'); ++i) {
      }
      continue;
    }
    if (c == ',' || c == ')') {
      args.push_back(cur);
      cur.clear();
      bString = false;
      if (c == ')')
        break;
      continue;
    }
    if (!bString)
      cur += c;
  }
  return args;
}

}  // namespace

namespace {

// A traced call: a program start ('S') or a dialog's run ('D').
struct TracedCall {
  char kind;
  std::string command, via;  // starts
  bool failed = false;       // a start that Windows refused
  unsigned id = 0;           // dialogs
  size_t endsBefore = 0;     // starts: dialog runs returned before it
};

std::string Quoted(const std::string& s)
{
  std::string q = "\"";
  for (char c : s)
    q += c == '"' ? std::string("\"\"") : std::string(1, c);
  return q + "\"";
}

// Each refused start goes just before the observed line of the next traced
// call (its program's start or its dialog's opening), or before the end.
std::vector<std::string> WithFailedStarts(const std::vector<std::string>& events,
                                          const std::vector<TracedCall>& calls)
{
  std::vector<std::string> out = events;
  std::vector<bool> claimed(out.size(), false);
  std::vector<std::string> pending;
  size_t from = 0;
  auto insertAt = [&](size_t at) {
    out.insert(out.begin() + at, pending.begin(), pending.end());
    claimed.insert(claimed.begin() + at, pending.size(), true);
    from = at + pending.size();
    pending.clear();
  };
  for (const TracedCall& c : calls) {
    if (c.kind == 'S' && c.failed) {
      pending.push_back("start-failed " + Quoted(c.command) + " via=" + c.via);
      continue;
    }
    std::string prefix = c.kind == 'S' ? "start " + Quoted(c.command) + " " : "dialog " + std::to_string(c.id) + " open";
    for (size_t i = from; i < out.size(); ++i) {
      if (!claimed[i] && out[i].rfind(prefix, 0) == 0) {
        claimed[i] = true;
        if (!pending.empty())
          insertAt(i);
        break;
      }
    }
  }
  if (!pending.empty())
    insertAt(!out.empty() && out.back().rfind("exit ", 0) == 0 ? out.size() - 1 : out.size());
  return out;
}

}  // namespace

std::vector<std::string> WithTracedCalls(const std::vector<std::string>& events,
                                         const std::string& trace)
{
  struct Start {
    std::string command, via;
    size_t endsBefore;  // dialog runs that had returned when it was started
    bool used = false;
  };
  struct End {
    unsigned id;
    unsigned long result;
    bool used = false;
  };
  std::vector<Start> starts;
  std::vector<End> ends;
  std::vector<unsigned> open;
  std::vector<TracedCall> calls;
  bool bDialogsTraced = false;
  auto retval = [](const std::string& line) {
    size_t r = line.find("retval=");
    return r == std::string::npos ? 0ul : std::stoul(line.substr(r + 7, 16), nullptr, 16);
  };
  for (const std::string& line : SplitLines(trace)) {
    size_t p;
    if ((p = line.find("Call KERNEL32.WinExec(")) != std::string::npos) {
      std::vector<std::string> a = TraceArgs(line, line.find('(', p));
      if (!a.empty())
        calls.push_back({ 'S', a[0], "WinExec", false, 0, ends.size() });
    } else if ((p = line.find("Call KERNEL32.CreateProcessA(")) != std::string::npos) {
      std::vector<std::string> a = TraceArgs(line, line.find('(', p));
      if (a.size() >= 2)
        calls.push_back({ 'S', a[1] == "00000000" ? a[0] : a[1], "CreateProcess", false, 0, ends.size() });
    } else if (line.find("Ret  KERNEL32.WinExec()") != std::string::npos && !calls.empty()) {
      calls.back().failed = retval(line) < 32;  // WinExec's error codes
    } else if (line.find("Ret  KERNEL32.CreateProcessA()") != std::string::npos && !calls.empty()) {
      calls.back().failed = retval(line) == 0;
    } else if ((p = line.find("Call user32.DialogBoxParamA(")) != std::string::npos) {
      std::vector<std::string> a = TraceArgs(line, line.find('(', p));
      open.push_back(a.size() >= 2 ? (unsigned)std::stoul(a[1], nullptr, 16) : 0);
      calls.push_back({ 'D', "", "", false, open.back() });
      bDialogsTraced = true;
    } else if ((p = line.find("Ret  user32.DialogBoxParamA()")) != std::string::npos) {
      size_t r = line.find("retval=", p);
      if (!open.empty() && r != std::string::npos) {
        ends.push_back({ open.back(), std::stoul(line.substr(r + 7, 16), nullptr, 16) });
        open.pop_back();
      }
    }
  }
  for (const TracedCall& c : calls)
    if (c.kind == 'S' && !c.failed)
      starts.push_back({ c.command, c.via, c.endsBefore });
  // A started program records itself when it runs, which may be after the
  // launcher has gone on: its line goes before the end of a dialog whose run
  // returned after the start, as the trace orders them.
  std::vector<size_t> endLines;
  std::vector<std::string> out;
  for (const std::string& e : events) {
    if (e.rfind("start \"", 0) == 0) {
      size_t close = e.rfind("\" show=");
      std::string command;
      for (size_t i = 7; i < close; ++i) {
        command += e[i];
        if (e[i] == '"')
          ++i;  // a doubled quote
      }
      std::string line = e;
      size_t at = out.size();
      for (Start& s : starts) {
        if (!s.used && s.command == command) {
          s.used = true;
          line += " via=" + s.via;
          if (s.endsBefore < endLines.size()) {
            at = endLines[s.endsBefore];
            for (size_t& i : endLines)
              i += i >= at ? 1 : 0;
          }
          break;
        }
      }
      out.insert(out.begin() + at, line);
      continue;
    }
    size_t endAt = e.find(" end ");
    if (bDialogsTraced && e.rfind("dialog ", 0) == 0 && endAt != std::string::npos) {
      unsigned id = (unsigned)std::stoul(e.substr(7, endAt - 7));
      End* pEnd = nullptr;
      for (End& x : ends)
        if (!x.used && x.id == id) {
          pEnd = &x;
          break;
        }
      if (!pEnd)
        continue;  // DialogBoxParamA never returned
      pEnd->used = true;
      std::string result = pEnd->result == 1   ? "IDOK"
                           : pEnd->result == 2 ? "IDCANCEL"
                                               : std::to_string(pEnd->result);
      endLines.push_back(out.size());
      out.push_back(e.substr(0, endAt) + " end " + result);
      continue;
    }
    out.push_back(e);
  }
  return WithFailedStarts(out, calls);
}


}  // namespace winerun
