// The pieces of a Wine run shared by its files: host file helpers, the
// machine's drives put into a prefix and taken back, the registry read back,
// and what Wine does differently from Windows (WineDifferences.cpp).
#ifndef TOOLS_WINE_WINEPARTS_H
#define TOOLS_WINE_WINEPARTS_H

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "WineRun.h"

namespace winerun {

namespace fs = std::filesystem;

std::string ReadAll(const std::string& path);
void WriteAll(const std::string& path, const std::string& text);
bool SameName(const std::string& a, const std::string& b);
// The entry of dir named like `name` without regard to case, or dir/name.
fs::path FindEntry(const fs::path& dir, const std::string& name);
// Host path of a Windows path in a prefix (drive_c, dosdevices links),
// names matched without regard to case; with bCreate the missing folders
// are made. "" when the drive does not exist.
std::string PrefixHostPath(const std::string& prefix, const std::string& windowsPath, bool bCreate);

// --- The drives (WineDrives.cpp) --------------------------------------------

// A program file the launcher may start becomes the recorder stand-in, which
// carries the file's own bytes after it, so that the file (and any copy of
// it) gets them back when the drives are written back.
class CStandins {
public:
  explicit CStandins(const std::string& recorderFile);
  bool IsProgramName(const std::string& name) const;
  // The recorder with the original bytes; an empty original marks a
  // stand-in of our own that is taken away afterwards.
  std::string Wrap(const std::string& original) const;
  // The original bytes of a stand-in (true), or false for any other file.
  bool Unwrap(const std::string& content, std::string* pOriginal, bool* pOurs) const;
  // The launcher put at its path, over what the machine has there (nothing
  // when bHad is false): it is the machine's file again afterwards.
  void SetProgram(const std::string& program, bool bHad, const std::string& original);
  // A file the run put in the prefix for Windows' sake (not the machine's):
  // left out of the write-back while it is as put there.
  void AddOwnFile(const fs::path& host, const std::string& content);
  bool IsOwnFile(const fs::path& host, const std::string& content) const;

private:
  std::map<std::string, std::string> m_ownFiles;
  std::string m_recorder;
  std::string m_program, m_programOriginal;
  bool m_bHadProgram = false;
};

// Copies a drive folder of the machine into a prefix folder, merging folders
// by name without regard to case, program files replaced by stand-ins.
void CopyDriveIn(const fs::path& from, const fs::path& to, const CStandins& standins);
// Writes a drive back: `to` (the machine's drive folder) takes the state of
// `from` (the prefix's), stand-ins unwrapped. With a template drive, entries
// that the machine does not have and the template has are Wine's own and
// stay out (drive C:) unless the run wrote them (after runStart).
void CopyDriveBack(const fs::path& from, const fs::path& to, const CStandins& standins,
                   const fs::path& templateDrive, fs::file_time_type runStart);

// --- The registry (WineRegistry.cpp) ----------------------------------------

// Rewrites machineDir/registry.reg so that every key of it, and every key
// the run created, stands as the prefix holds it after the run; values Wine
// brought along itself (those of the template prefix, those of the version
// settings) do not count as the run's. False with *pError when a file cannot
// be read.
bool WriteRegistryBack(const std::string& machineDir, const std::string& prefix,
                       const std::string& templatePrefix, std::string* pError);

// --- What Wine does differently (WineDifferences.cpp) -----------------------

// Registry text that makes Wine report the version as that Windows does and
// keeps WIN.INI a file on 9x; false for an unknown version.
bool VersionSettings(const std::string& windows, std::string* pText);
// Arranges the prefix's drive C: as Windows would have it, after the
// machine's drive was copied in.
void PrepareDriveC(const std::string& prefix, const std::string& machineDir, const std::string& windows,
                   CStandins& standins);
// Job lines for the driver that put back what PrepareDriveC kept aside
// until the prefix has started.
std::string RestoreAfterStart(const std::string& prefix);
// Where a program started by a relative path lies.
std::string ProgramLocation(const std::string& program, const std::string& cwd);
// How long a stand-in stays running for setupsim's N reads of its exit code.
int LingerMilliseconds(int reads);
// The key of Wine's registry files where a machine's key lives
// (HKEY_CLASSES_ROOT under HKEY_LOCAL_MACHINE\Software\Classes).
std::string WineKeyPath(const std::string& machinePath);
// Keys and values of the prefix that are Wine's own or the run's settings,
// never the program's.
bool IsWineOwnKey(const std::string& winePath);
bool IsVersionSetting(const std::string& winePath, const std::string& valueName);

}  // namespace winerun

#endif
