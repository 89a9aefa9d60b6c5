// The simulated registry: a tree of keys with values, kept in the order in
// which they were read or created, loaded from and saved to REGEDIT4 text.
#ifndef TOOLS_SIM_SIMREGISTRY_H
#define TOOLS_SIM_SIMREGISTRY_H

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace sim {

struct RegValue {
  std::string name;  // "" is the key's default value
  uint32_t type = 1;
  std::vector<unsigned char> data;
};

struct RegKey : std::enable_shared_from_this<RegKey> {
  std::string name;
  RegKey* parent = nullptr;
  bool deleted = false;  // removed while a handle still referred to it
  bool listed = false;   // has its own [key] line (parents may be implied)
  std::vector<RegValue> values;
  std::vector<std::shared_ptr<RegKey>> subkeys;

  RegKey* FindSubKey(const std::string& name) const;
  RegValue* FindValue(const std::string& name);
  // Creates the subkey when missing (appended after the existing ones).
  RegKey* OpenOrCreate(const std::string& name);
};

class CSimRegistry {
public:
  CSimRegistry();

  // Parses REGEDIT4 text. Returns false with a message naming the line on
  // malformed input.
  bool Parse(const std::string& text, std::string* pError);
  // The whole registry as REGEDIT4 text, with the line end of the file read
  // (CR LF when none was read).
  std::string Export() const;

  // The hive of a name such as "HKEY_LOCAL_MACHINE" (null when unknown).
  RegKey* Hive(const std::string& hiveName) const;
  // Finds a key by its full path ("HKEY_LOCAL_MACHINE\\Software\\X").
  RegKey* FindPath(const std::string& fullPath) const;
  // Finds a subkey path below a key ("" gives the key itself).
  static RegKey* FindBelow(RegKey* pKey, const std::string& subPath);
  // Removes a key and everything below it from its parent.
  static void DeleteKey(RegKey* pKey);

  static const char* const kHiveNames[];
  static const int kHiveCount;

private:
  std::vector<std::shared_ptr<RegKey>> m_hives;  // in the order the file names them
  size_t m_namedHives = 0;
  std::string m_lineEnd = "\r\n";
};

// Splits a key path at backslashes, dropping empty parts.
std::vector<std::string> SplitKeyPath(const std::string& path);

}  // namespace sim

#endif
