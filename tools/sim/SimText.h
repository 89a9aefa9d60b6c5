// Small text helpers of the simulated computer: comparisons without regard
// to case (ASCII letters, as the 9x file system and registry fold them),
// trimming, the event quoting and wildcard matching.
#ifndef TOOLS_SIM_SIMTEXT_H
#define TOOLS_SIM_SIMTEXT_H

#include <string>

namespace sim {

char FoldChar(char c);
std::string Upper(const std::string& s);
std::string Lower(const std::string& s);
bool EqualNoCase(const std::string& a, const std::string& b);
// Ordering of directory listings: by name without regard to case.
bool LessNoCase(const std::string& a, const std::string& b);
std::string TrimBlanks(const std::string& s);
// A count written in decimal digits only (at most nine of them).
bool ParseCount(const std::string& s, int* pN);
// A value in double quotes with every double quote inside doubled.
std::string Quote(const std::string& s);
// Matches a name against a pattern with * and ? the way FindFirstFileA
// does: without regard to case; "*.*" matches every name; a pattern ending
// in ".*" also matches the name without any extension, and one ending in
// "." matches names without a dot.
bool MatchWildcard(const std::string& pattern, const std::string& name);
// Control characters written as \xNN: input quoted in a one-line message.
std::string Printable(const std::string& s);
bool HasWildcard(const std::string& s);
// The value of a hexadecimal digit, or -1.
int HexDigit(char c);
// A host file's bytes; false if it cannot be opened.
bool ReadWholeFile(const std::string& path, std::string* pOut);

}  // namespace sim

#endif
