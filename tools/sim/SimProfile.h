// Profile (INI) file text: reading a value as GetPrivateProfileStringA does
// and changing one as Windows 9x writes them: only the key's own line is
// replaced, a new key is added after the last line of its section, a new
// section goes at the end of the file; every other byte stays as it was,
// except that a change ends in CR LF the lines that end in a CR alone.
#ifndef TOOLS_SIM_SIMPROFILE_H
#define TOOLS_SIM_SIMPROFILE_H

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace sim {

// The value of a key in the first section of that name (names compared
// without regard to case, blanks around = and at the line's end dropped,
// enclosing quotes removed; the first of two equal keys wins).
std::optional<std::string> ProfileGet(const std::string& text, const std::string& section,
                                      const std::string& key);
// The key names of the first section of that name, in file order.
std::vector<std::string> ProfileKeys(const std::string& text, const std::string& section);
// The section names, in file order.
std::vector<std::string> ProfileSections(const std::string& text);
// Every key of the first section of that name with its value (read as
// ProfileGet reads it), in file order, a key that stands twice twice.
std::vector<std::pair<std::string, std::string>> ProfileEntries(const std::string& text,
                                                                const std::string& section);

// The file text after a write. pKey null removes the section, pValue null
// removes the key.
std::string ProfileSet(const std::string& text, const std::string& section,
                       const std::string* pKey, const std::string* pValue);

}  // namespace sim

#endif
