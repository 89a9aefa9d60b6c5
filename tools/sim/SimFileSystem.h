// The simulated drives: Windows paths mapped onto the machine folder's
// drive folders (c/, d/, ...), names found without regard to case, listings
// in name order, read-only files and drives, and the 8.3 names that
// Windows 9x gives long names on FAT.
#ifndef TOOLS_SIM_SIMFILESYSTEM_H
#define TOOLS_SIM_SIMFILESYSTEM_H

#include <sys/stat.h>

#include <map>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

namespace sim {

// A full Windows path: a drive letter (upper case), or a network share
// ("\\SERVER\SHARE", drive 0), and its names.
struct WinPath {
  char drive = 0;
  std::string share;  // "\\SERVER\SHARE" as given, when drive is 0
  std::vector<std::string> parts;
  // "C:\A\B" ("C:\" for a root), "\\SERVER\SHARE\A" ("\\SERVER\SHARE").
  std::string Format() const;
  WinPath Parent() const;
  bool HasRoot() const { return drive != 0 || !share.empty(); }
};

// Where a Windows path lies in the machine folder.
struct Located {
  bool driveExists = false;
  bool parentExists = false;  // the folder that holds the last name exists
  bool exists = false;
  bool isDir = false;
  std::string host;           // host path (names found on disk, the rest as given)
  std::string hostParent;     // host path of the holding folder
  std::string name;           // the last name as on disk (as given when missing)
};

struct DirEntry {
  std::string name;
  std::string shortName;  // 8.3 form, upper case
  bool isDir = false;
};

class CSimFileSystem {
public:
  CSimFileSystem(const std::string& machineDir, const std::string& readOnlyDrives);

  // Resolves a path, possibly relative to cwd ("C:\X", "X", "\X", "C:X",
  // "\\SERVER\SHARE\X"); "." and ".." are applied and / counts as \.
  // False for unusable paths.
  bool MakeFull(const std::string& path, const std::string& cwd, WinPath* pOut) const;
  Located Locate(const WinPath& path) const;
  bool DriveReadOnly(char drive) const;
  std::string DriveRoot(char drive) const;
  // Host folder of the path's drive or share: a share \\SERVER\SHARE lies
  // in the machine folder's unc/SERVER/SHARE (names found without regard to
  // case), as Wine keeps them. "" when there is none.
  std::string RootHost(const WinPath& path) const;

  // A folder's entries (no dot entries) in listing order, with 8.3 names.
  // A long name's alias is given when the folder is first listed with it
  // and stays while the name does, as Windows stores it: a sibling created
  // later never changes it.
  std::vector<DirEntry> List(const std::string& hostDir) const;
  // The same entries without 8.3 names.
  static std::vector<DirEntry> ListNames(const std::string& hostDir);
  // Around the simulator's creation of a name in a folder: the names there
  // have their aliases first, then the new one gets its own.
  void BeforeCreate(const std::string& hostDir) const;
  void Created(const std::string& hostDir, const std::string& name) const;
  // After the simulator removed a name from a folder.
  void Removed(const std::string& hostDir) const;
  static bool IsValid83(const std::string& name);

  // Host file helpers.
  static bool HostIsReadOnly(const std::string& host);
  static bool HostSetReadOnly(const std::string& host, bool bReadOnly);

private:
  std::string m_machineDir;
  std::string m_readOnly;  // upper-case drive letters
  std::string FindNoCase(const std::string& hostDir, const std::string& part) const;

  // A folder's listing as last read. It is read again when the simulator
  // changed the folder, or when the folder's own times, size or inode
  // differ (a change made from outside, between two runs).
  struct Listing {
    struct stat stamp;
    std::vector<DirEntry> entries;
    std::unordered_map<std::string, size_t> byName;   // lower-case long name -> first entry
    std::unordered_map<std::string, size_t> byShort;  // lower-case 8.3 name -> first entry
  };
  const Listing& Cached(const std::string& hostDir) const;
  mutable std::unordered_map<std::string, Listing> m_listings;

  // The 8.3 aliases given in one host folder, and every 8.3 name in use there.
  struct Aliases {
    std::map<std::string, std::string> given;  // long name -> alias
    std::set<std::string> used;
  };
  mutable std::map<std::string, Aliases> m_aliases;
};

}  // namespace sim

#endif
