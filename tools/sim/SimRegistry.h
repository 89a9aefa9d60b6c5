// The simulated registry: a tree of keys with values, kept in the order in
// which they were read or created, loaded from and saved to REGEDIT4 text.
// The text read is remembered line by line, so that saving rewrites only
// what changed: every other line keeps its bytes, new values follow the
// existing ones of their key and new keys the existing ones of their parent.
#ifndef TOOLS_SIM_SIMREGISTRY_H
#define TOOLS_SIM_SIMREGISTRY_H

#include <cstdint>
#include <memory>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

namespace sim {

struct RegValue {
  std::string name;  // "" is the key's default value
  uint32_t type = 1;
  std::vector<unsigned char> data;
};

// Same type and same bytes.
bool SameData(const RegValue& a, const RegValue& b);
// The data in registry.reg notation on one line: "text", dword:0000000a,
// hex:01,02 or hex(N):... (a string that is not plain text keeps hex(1)).
std::string RegDataText(const RegValue& v);
// The whole value line on one line: "Name"=DATA, or @=DATA for the default.
std::string RegValueLine(const RegValue& v);

struct RegKey : std::enable_shared_from_this<RegKey> {
  std::string name;
  RegKey* parent = nullptr;
  bool deleted = false;  // removed while a handle still referred to it
  bool listed = false;   // has its own [key] line in the file read
  std::string listedPath;  // the path as that line spells it
  // The first and last block of the file read ([key] line and the lines up
  // to the next one) that lie in this key's tree; -1: not in the file.
  int firstBlock = -1;
  int lastBlock = -1;
  // In enumeration order. Changed only through AddValue, SetValue and
  // DeleteValue, which keep the index by name in step.
  std::vector<RegValue> values;
  // Positions of values by name folded to lower case; built once a key holds
  // more values than a scan finds quickly (empty until then).
  std::unordered_map<std::string, size_t> valueIndex;
  // In enumeration order (the file's, then creation's). Changed only through
  // OpenOrCreate and RemoveSubKey, which keep the index by name in step.
  std::vector<std::shared_ptr<RegKey>> subkeys;
  // Subkeys by name folded to lower case, so that a look-up costs the same
  // below a key of ten subkeys as below one of ten thousand.
  std::unordered_map<std::string, RegKey*> subkeyIndex;

  RegKey* FindSubKey(const std::string& name) const;
  RegValue* FindValue(const std::string& name);
  const RegValue* FindValue(const std::string& name) const;
  // Creates the subkey when missing (appended after the existing ones).
  RegKey* OpenOrCreate(const std::string& name);
  // Takes a subkey out of the enumeration and the index.
  void RemoveSubKey(RegKey* pKey);
  // Appends a value that the key does not hold.
  void AddValue(const RegValue& value);
  // Sets a value, appending it when new; the name keeps its first spelling.
  void SetValue(const RegValue& value);
  bool DeleteValue(const std::string& name);
  // "HKEY_LOCAL_MACHINE\Software\X" as the key's first [key] line in the
  // file read spells it; for a key without one, its parent's path and its
  // own name. So a file that spells one parent in several ways is quoted
  // as it stands.
  std::string Path() const;
};

class CSimRegistry {
public:
  CSimRegistry();
  CSimRegistry(const CSimRegistry&) = delete;
  CSimRegistry& operator=(const CSimRegistry&) = delete;

  // Parses REGEDIT4 text into an empty registry. Returns false with a
  // message naming the line on malformed input.
  bool Parse(const std::string& text, std::string* pError);
  // The whole registry as REGEDIT4 text: the text read with only the
  // changes made since applied to it (new lines end as the file's lines do,
  // CR LF when none was read).
  std::string Export() const;

  // The hives, in the order the file named them.
  const std::vector<std::shared_ptr<RegKey>>& Hives() const { return m_hives; }
  // The hive of a name such as "HKEY_LOCAL_MACHINE" (null when unknown).
  RegKey* Hive(const std::string& hiveName) const;
  // Finds a key by its full path ("HKEY_LOCAL_MACHINE\\Software\\X").
  RegKey* FindPath(const std::string& fullPath) const;
  // Finds or creates a key and its missing parents by full path (null for
  // an unknown hive).
  RegKey* CreatePath(const std::string& fullPath);
  // Finds a subkey path below a key ("" gives the key itself).
  static RegKey* FindBelow(RegKey* pKey, const std::string& subPath);
  // Removes a key and everything below it from its parent.
  static void DeleteKey(RegKey* pKey);

  static const char* const kHiveNames[];
  static const int kHiveCount;

private:
  // A line of the file read below a [key] line (a value with its
  // continuation lines counts as one).
  struct FileLine {
    std::string raw;       // as read, line ends included
    bool isValue = false;  // otherwise a blank line or a comment
    RegValue value;        // as read
    bool overridden = false;  // a later line of the same key sets the value again
  };
  struct FileBlock {
    std::shared_ptr<RegKey> key;
    std::string keyLine;   // the [key] line as read
    std::vector<FileLine> lines;
  };

  void AppendBlock(std::string& out, const FileBlock& block,
                   const std::set<std::string>* pNamesRead) const;
  void AppendNewKey(std::string& out, const RegKey& key) const;
  void AppendNewTree(std::string& out, const RegKey& key) const;

  std::vector<std::shared_ptr<RegKey>> m_hives;  // in the order the file names them
  size_t m_namedHives = 0;
  std::string m_lineEnd = "\r\n";
  std::string m_header;               // the text before the first [key] line
  std::vector<FileBlock> m_blocks;    // in file order
};

// Splits a key path at backslashes, dropping empty parts.
std::vector<std::string> SplitKeyPath(const std::string& path);

}  // namespace sim

#endif
