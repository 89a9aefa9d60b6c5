// Reading a machine folder's state: registry.reg as text, and every file
// and folder of its drive folders (c/, d/, ...) with attribute and content.
#include <dirent.h>
#include <sys/stat.h>


#include "SimChanges.h"
#include "SimFileSystem.h"
#include "SimText.h"

namespace sim {

namespace {

// Larger files are compared by size and modification time only, so a disc
// of any size can be a drive.
const uint64_t kContentLimit = 16u << 20;


void ReadFolder(const std::string& host, const std::string& path, SimMachineState* pState)
{
  for (const DirEntry& d : CSimFileSystem::ListNames(host)) {
    SimFileEntry e;
    std::string entryHost = host + "/" + d.name;
    e.path = path + "\\" + d.name;
    e.isDir = d.isDir;
    e.readOnly = CSimFileSystem::HostIsReadOnly(entryHost);
    struct stat st;
    if (!d.isDir && stat(entryHost.c_str(), &st) == 0) {
      e.size = (uint64_t)st.st_size;
      e.modified = (int64_t)st.st_mtim.tv_sec * 1000000000 + st.st_mtim.tv_nsec;
      if (e.size <= kContentLimit)
        e.hasContent = ReadWholeFile(entryHost, &e.content);
    }
    pState->entries.push_back(e);
    if (d.isDir)
      ReadFolder(entryHost, e.path, pState);
  }
}

}  // namespace

SimMachineState ReadMachineState(const std::string& machineDir)
{
  SimMachineState state;
  state.hasRegistry = ReadWholeFile(machineDir + "/registry.reg", &state.registryText);
  // Drive folders are named by one lower-case letter.
  for (char letter = 'a'; letter <= 'z'; ++letter) {
    std::string host = machineDir + "/" + std::string(1, letter);
    struct stat st;
    if (stat(host.c_str(), &st) == 0 && S_ISDIR(st.st_mode))
      ReadFolder(host, std::string(1, (char)(letter - 'a' + 'A')) + ":", &state);
  }
  return state;
}

}  // namespace sim
