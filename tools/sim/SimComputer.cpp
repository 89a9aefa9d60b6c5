// Loading and saving the machine folder, the test helpers, and the run of
// the launcher's start-up routine.
#include <sys/stat.h>

#include <cctype>
#include <cstring>
#include <fstream>
#include <sstream>

#include "SimPlatform.h"
#include "SimText.h"
#include "app/SetupApp.h"
#include "platform/framework/Application.h"

extern const unsigned char g_abSetupRes[];
extern const std::size_t g_cbSetupRes;
// The launcher's one application object; the reference links it in.
extern CSetupApp theApp;
CApplication* volatile g_pSimLauncherApp = &theApp;

namespace sim {

namespace {

struct VersionRecord {
  const char* name;
  DWORD platformId, major, minor, build;
  const char* csd;
};

const VersionRecord kVersions[] = {
    {"95", 1, 4, 0, 0x040003B6, ""},          {"98", 1, 4, 10, 0x040A07CE, ""},
    {"98SE", 1, 4, 10, 0x040A08AE, " A "},    {"ME", 1, 4, 90, 0x045A0BB8, ""},
    {"NT4", 2, 4, 0, 1381, "Service Pack 6"}, {"2000", 2, 5, 0, 2195, ""},
    {"XP", 2, 5, 1, 2600, ""},
};

const VersionRecord* FindVersion(const std::string& name)
{
  for (const auto& v : kVersions)
    if (EqualNoCase(v.name, name))
      return &v;
  return nullptr;
}


// "X:\..." (a relative "WINDOWS" or "C:WINDOWS" names no fixed folder).
bool IsFullDrivePath(const std::string& s)
{
  return s.size() >= 3 && std::isalpha((unsigned char)s[0]) && s[1] == ':' &&
         (s[2] == '\\' || s[2] == '/');
}

// Directory option values keep no trailing backslash except on a root.
std::string DirectoryForm(std::string s)
{
  while (s.size() > 3 && s.back() == '\\')
    s.pop_back();
  if (s.size() == 2 && s[1] == ':')
    s += '\\';
  return s;
}

}  // namespace

std::string CanonicalWindowsVersion(const std::string& name)
{
  const VersionRecord* v = FindVersion(name);
  return v ? v->name : "";
}

bool IsValidAction(const std::string& a)
{
  if (a == "ok" || a == "cancel" || a == "about")
    return true;
  if (a.compare(0, 6, "click:") != 0 || a.size() == 6)
    return false;
  size_t i = 6;
  if (a[i] == '-')
    ++i;
  if (i >= a.size() || a.size() - i > 5)
    return false;
  for (; i < a.size(); ++i)
    if (a[i] < '0' || a[i] > '9')
      return false;
  return true;
}

CSimComputer::~CSimComputer() {}

std::unique_ptr<CSimComputer> CSimComputer::Load(const std::string& machineDir,
                                                 const SimOptions& options, std::string* pError)
{
  auto pc = std::make_unique<CSimPlatform>(machineDir, options);
  std::string err;
  if (!pc->Init(&err)) {
    // One line, whatever the input it quotes.
    if (pError)
      *pError = Printable(err);
    return nullptr;
  }
  return pc;
}

CSimPlatform::CSimPlatform(const std::string& machineDir, const SimOptions& options)
    : m_dir(machineDir), m_options(options), m_fs(machineDir, options.readOnlyDrives)
{
  std::memset(&m_version, 0, sizeof m_version);
}

CSimPlatform::~CSimPlatform()
{
  for (SetupStream__* s : m_streams) {
    std::fclose(s->fp);
    delete s;
  }
}

bool CSimPlatform::Init(std::string* pError)
{
  struct stat st;
  if (stat(m_dir.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
    *pError = "machine folder not found: " + m_dir;
    return false;
  }
  const VersionRecord* v = FindVersion(m_options.windows);
  if (v == nullptr) {
    *pError = "unknown Windows version: " + m_options.windows;
    return false;
  }
  m_version.dwOSVersionInfoSize = sizeof(OSVERSIONINFOA);
  m_version.dwPlatformId = v->platformId;
  m_version.dwMajorVersion = v->major;
  m_version.dwMinorVersion = v->minor;
  m_version.dwBuildNumber = v->build;
  std::strcpy(m_version.szCSDVersion, v->csd);

  for (const auto& a : m_options.actions)
    if (!IsValidAction(a)) {
      *pError = "invalid action: " + a;
      return false;
    }
  for (char c : m_options.readOnlyDrives)
    if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'))) {
      *pError = "invalid read-only drive list: " + m_options.readOnlyDrives;
      return false;
    }
  if (m_options.language <= 0 || m_options.language > 0xFFFF) {
    *pError = "invalid language id: " + std::to_string(m_options.language);
    return false;
  }
  if (m_options.programPath.empty()) {
    *pError = "empty program path";
    return false;
  }
  if (!IsFullDrivePath(m_options.windowsDirectory)) {
    *pError = "the Windows directory must be a full path: " + m_options.windowsDirectory;
    return false;
  }
  if (m_options.systemDirectory && !IsFullDrivePath(*m_options.systemDirectory)) {
    *pError = "the system directory must be a full path: " + *m_options.systemDirectory;
    return false;
  }
  m_windowsDir = DirectoryForm(m_options.windowsDirectory);
  m_systemDir = m_options.systemDirectory
                    ? DirectoryForm(*m_options.systemDirectory)
                    : (m_windowsDir.size() == 3 ? m_windowsDir : m_windowsDir + "\\") +
                          (v->platformId == 2 ? "SYSTEM32" : "SYSTEM");
  m_currentDir = m_windowsDir;
  if (m_options.currentDirectory) {
    WinPath cwd;
    if (!m_fs.MakeFull(*m_options.currentDirectory, m_windowsDir, &cwd)) {
      *pError = "invalid current directory: " + *m_options.currentDirectory;
      return false;
    }
    if (!m_fs.Locate(cwd).isDir) {
      *pError = "the current directory does not exist: " + *m_options.currentDirectory;
      return false;
    }
    m_currentDir = cwd.Format();
  }
  if (m_currentDir[1] == ':')
    m_driveDirs[Upper(m_currentDir.substr(0, 1))[0]] = m_currentDir;

  // The module file name is the program's full path, whatever argument 0 says.
  WinPath module;
  m_modulePath = Full(m_options.programPath.c_str(), &module) ? module.Format() : m_options.programPath;

  std::string cmd = "\"" + m_options.programPath + "\"";
  if (!m_options.commandLine.empty())
    cmd += " " + m_options.commandLine;
  m_commandLine.assign(cmd.begin(), cmd.end());
  m_commandLine.push_back('\0');

  std::string text;
  if (ReadWholeFile(m_dir + "/registry.reg", &text)) {
    m_bRegistryFile = true;
    if (!m_registry.Parse(text, pError))
      return false;
  }

  std::string resErr;
  bool resOk = m_options.resources.empty()
                   ? m_resources.Parse(g_abSetupRes, g_cbSetupRes, &resErr)
                   : m_resources.Parse(m_options.resources.data(), m_options.resources.size(),
                                       &resErr);
  if (!resOk) {
    *pError = "compiled resources: " + resErr;
    return false;
  }

  for (const auto& title : m_options.openWindows) {
    auto w = std::make_shared<SimWindow>();
    w->kind = SimWindow::TopLevel;
    w->hWnd = (HWND)NewHandle();
    w->title = title;
    m_windows[w->hWnd] = w;
    m_topLevel.push_back(w->hWnd);
  }
  m_actions.assign(m_options.actions.begin(), m_options.actions.end());
  return true;
}

bool CSimPlatform::Save(std::string* pError)
{
  std::string text = m_registry.Export();
  if (!m_bRegistryFile && text == CSimRegistry().Export())
    return true;  // no registry before and none now
  std::string path = m_dir + "/registry.reg";
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << text;
  out.close();
  if (!out) {
    if (pError)
      *pError = "cannot write " + path;
    return false;
  }
  m_bRegistryFile = true;
  return true;
}

std::string CSimPlatform::HostPath(const std::string& windowsPath) const
{
  WinPath p;
  if (!Full(windowsPath.c_str(), &p))
    return "";
  Located loc = m_fs.Locate(p);
  return loc.driveExists ? loc.host : "";
}

bool CSimPlatform::KeyExists(const std::string& keyPath) const
{
  return m_registry.FindPath(keyPath) != nullptr;
}

std::optional<std::vector<unsigned char>> CSimPlatform::GetRawValue(const std::string& keyPath,
                                                                    const std::string& valueName,
                                                                    unsigned long* pType) const
{
  RegKey* k = m_registry.FindPath(keyPath);
  if (k == nullptr)
    return std::nullopt;
  RegValue* v = k->FindValue(valueName);
  if (v == nullptr)
    return std::nullopt;
  if (pType)
    *pType = v->type;
  return v->data;
}

std::optional<std::string> CSimPlatform::GetStringValue(const std::string& keyPath,
                                                        const std::string& valueName) const
{
  unsigned long type = 0;
  auto raw = GetRawValue(keyPath, valueName, &type);
  if (!raw || (type != REG_SZ && type != REG_EXPAND_SZ))
    return std::nullopt;
  std::string s(raw->begin(), raw->end());
  size_t nul = s.find('\0');
  if (nul != std::string::npos)
    s.resize(nul);
  return s;
}

std::vector<std::string> CSimPlatform::SubKeys(const std::string& keyPath) const
{
  std::vector<std::string> names;
  if (RegKey* k = m_registry.FindPath(keyPath))
    for (const auto& s : k->subkeys)
      names.push_back(s->name);
  return names;
}

std::vector<SimMenuItem> CSimPlatform::SystemMenuItems(int templateId) const
{
  auto it = m_lastMenus.find(templateId);
  return it == m_lastMenus.end() ? std::vector<SimMenuItem>() : it->second;
}

std::vector<SimControlState> CSimPlatform::LastDialogControls(int templateId) const
{
  auto it = m_lastControls.find(templateId);
  return it == m_lastControls.end() ? std::vector<SimControlState>() : it->second;
}

CPlatformScope::CPlatformScope(CSimComputer& computer) : CPlatformScope(&computer.GetPlatform()) {}

CPlatformScope::CPlatformScope(IPlatform* pPlatform) : m_pPrevious(Platform())
{
  SetPlatform(pPlatform);
}

CPlatformScope::~CPlatformScope()
{
  SetPlatform(m_pPrevious);
}

RunOutcome RunLauncher(CSimComputer& computer)
{
  CSimPlatform& pc = static_cast<CSimPlatform&>(computer);
  RunOutcome r;
  {
    CPlatformScope scope(computer);
    BOOL bResult = TRUE;
    try {
      RunApplication((HINSTANCE)(uintptr_t)0x400000, &bResult);
      if (!bResult) {
        pc.Log("return false");
        r.returnedFalse = true;
      }
    } catch (const ProcessExit& e) {
      r.exited = true;
      r.exitCode = e.code;
    }
  }
  r.events = pc.Events();
  return r;
}

}  // namespace sim
