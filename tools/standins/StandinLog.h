// Shared by the test stand-ins and the dialog driver: the run's job file and
// the one event log that all of them append to, in the order things happen.
//
// Every program finds its files through the environment (Wine passes the Unix
// environment to Windows programs): SETUPTEST_EVENTS names the event log,
// SETUPTEST_PROGRAMS the log of started programs, SETUPTEST_JOB the job file.
#ifndef TOOLS_STANDINS_STANDINLOG_H
#define TOOLS_STANDINS_STANDINLOG_H

#include <string>
#include <utility>
#include <vector>

namespace standin {

// Appends one line (a line feed is added) to the file named by the
// environment variable; a named mutex keeps lines of several processes apart.
void AppendLine(const char* pszEnvVar, const std::string& line);
inline void Event(const std::string& line) { AppendLine("SETUPTEST_EVENTS", line); }

// "TEXT" with every double quote doubled, as the event lines quote values.
std::string Quote(const std::string& text);

// The job file: KEY=VALUE lines, in order; a key may repeat.
class CJob {
public:
  bool Load();  // from SETUPTEST_JOB
  std::string Get(const std::string& key, const std::string& def = std::string()) const;
  std::vector<std::string> GetAll(const std::string& key) const;

private:
  std::vector<std::pair<std::string, std::string>> m_entries;
};

std::string Env(const char* pszName);
// Case-insensitive comparison of two Windows paths or names.
bool SameText(const std::string& a, const std::string& b);

}  // namespace standin

#endif
