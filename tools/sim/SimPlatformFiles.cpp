// Directories, files, searches and byte streams of the simulated drives.
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>

#include "SimPlatform.h"
#include "SimText.h"

namespace sim {

namespace {

const DWORD kKeptAttributes =
    FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE;

void FileTimeOf(const struct stat& st, FILETIME* pTime)
{
  // 100 ns intervals since 1601.
  unsigned long long t = ((unsigned long long)st.st_mtime + 11644473600ULL) * 10000000ULL;
  pTime->dwLowDateTime = (DWORD)t;
  pTime->dwHighDateTime = (DWORD)(t >> 32);
}

bool CopyHostFile(const std::string& from, const std::string& to)
{
  FILE* in = std::fopen(from.c_str(), "rb");
  if (!in)
    return false;
  FILE* out = std::fopen(to.c_str(), "wb");
  if (!out) {
    std::fclose(in);
    return false;
  }
  char buf[65536];
  size_t n;
  bool ok = true;
  while ((n = std::fread(buf, 1, sizeof buf, in)) > 0)
    if (std::fwrite(buf, 1, n, out) != n)
      ok = false;
  std::fclose(in);
  if (std::fclose(out) != 0)
    ok = false;
  return ok;
}

}  // namespace

// Each drive keeps its own current directory, as on Windows 9x: "D:X"
// means X in the one last set on D:, the root when none was.
bool CSimPlatform::Full(LPCSTR pszPath, WinPath* pOut) const
{
  if (pszPath == nullptr)
    return false;
  std::string path = pszPath;
  if (path.size() >= 2 && path[1] == ':' && (path.size() == 2 || (path[2] != '\\' && path[2] != '/')) &&
      !m_currentDir.empty() && Upper(path.substr(0, 1)) != Upper(m_currentDir.substr(0, 1))) {
    auto it = m_driveDirs.find(Upper(path.substr(0, 1))[0]);
    if (it != m_driveDirs.end())
      return m_fs.MakeFull(path.size() == 2 ? "." : path.substr(2), it->second, pOut);
  }
  return m_fs.MakeFull(path, m_currentDir, pOut);
}

UINT CSimPlatform::CopyOut(const std::string& s, LPSTR pszBuffer, UINT uSize)
{
  if (pszBuffer == nullptr || uSize < s.size() + 1)
    return (UINT)s.size() + 1;
  std::memcpy(pszBuffer, s.c_str(), s.size() + 1);
  return (UINT)s.size();
}

UINT CSimPlatform::GetWindowsDirectoryA(LPSTR pszBuffer, UINT uSize)
{
  return CopyOut(m_windowsDir, pszBuffer, uSize);
}

UINT CSimPlatform::GetSystemDirectoryA(LPSTR pszBuffer, UINT uSize)
{
  return CopyOut(m_systemDir, pszBuffer, uSize);
}

DWORD CSimPlatform::GetCurrentDirectoryA(DWORD nBufferLength, LPSTR pszBuffer)
{
  return CopyOut(m_currentDir, pszBuffer, nBufferLength);
}

BOOL CSimPlatform::SetCurrentDirectoryA(LPCSTR pszPath)
{
  WinPath p;
  if (!Full(pszPath, &p)) {
    Fail(ERROR_PATH_NOT_FOUND);
    return FALSE;
  }
  Located loc = m_fs.Locate(p);
  if (!loc.exists || !loc.isDir) {
    Fail(loc.exists ? 267 /* ERROR_DIRECTORY */
                    : loc.parentExists ? ERROR_FILE_NOT_FOUND : ERROR_PATH_NOT_FOUND);
    return FALSE;
  }
  m_currentDir = p.Format();
  if (p.drive != 0)
    m_driveDirs[p.drive] = m_currentDir;
  return TRUE;
}

// Existing or not, as Windows completes a path; a trailing backslash stays.
DWORD CSimPlatform::GetFullPathNameA(LPCSTR pszFileName, DWORD nBufferLength, LPSTR pszBuffer,
                                     LPSTR* ppszFilePart)
{
  WinPath p;
  if (!Full(pszFileName, &p)) {
    Fail(ERROR_PATH_NOT_FOUND);
    return 0;
  }
  std::string full = p.Format();
  char last = pszFileName[std::strlen(pszFileName) - 1];
  if (!p.parts.empty() && (last == '\\' || last == '/'))
    full += '\\';
  DWORD n = CopyOut(full, pszBuffer, nBufferLength);
  if (ppszFilePart != nullptr && n < nBufferLength) {
    size_t cut = full.rfind('\\');
    *ppszFilePart = p.parts.empty() || cut + 1 == full.size() ? nullptr : pszBuffer + cut + 1;
  }
  return n;
}

DWORD CSimPlatform::GetShortPathNameA(LPCSTR pszLong, LPSTR pszShort, DWORD cchBuffer)
{
  WinPath p;
  if (!Full(pszLong, &p)) {
    Fail(ERROR_PATH_NOT_FOUND);
    return 0;
  }
  if (!m_fs.Locate(p).exists) {
    Fail(ERROR_FILE_NOT_FOUND);
    return 0;
  }
  // Each name becomes the 8.3 name it has in its folder.
  WinPath root = p;
  root.parts.clear();
  std::string result = root.Format();
  if (result.back() != '\\' && !p.parts.empty())
    result += '\\';
  std::string host = m_fs.RootHost(p);
  for (size_t i = 0; i < p.parts.size(); ++i) {
    std::string shortName, name;
    for (const auto& e : m_fs.List(host))
      if (EqualNoCase(e.name, p.parts[i]) || EqualNoCase(e.shortName, p.parts[i])) {
        if (name.empty() || e.name == p.parts[i]) {
          shortName = e.shortName;
          name = e.name;
        }
      }
    if (i)
      result += '\\';
    result += shortName;
    host += "/" + name;
  }
  // A trailing backslash stays.
  char last = pszLong[std::strlen(pszLong) - 1];
  if (!p.parts.empty() && (last == '\\' || last == '/'))
    result += '\\';
  return CopyOut(result, pszShort, cchBuffer);
}

BOOL CSimPlatform::CreateDirectoryA(LPCSTR pszPath, LPSECURITY_ATTRIBUTES)
{
  // Windows 9x refuses a name that ends in a backslash, a drive root's aside
  // (NT and Wine accept it). Assumed, not measured: the error code is
  // ERROR_INVALID_NAME.
  size_t cch = pszPath ? std::strlen(pszPath) : 0;
  if (!IsNt() && cch > 1 && pszPath[cch - 1] == '\\' && !(cch == 3 && pszPath[1] == ':')) {
    Fail(123 /* ERROR_INVALID_NAME */);
    return FALSE;
  }
  WinPath p;
  if (!Full(pszPath, &p)) {
    Fail(ERROR_PATH_NOT_FOUND);
    return FALSE;
  }
  Located loc = m_fs.Locate(p);
  if (loc.exists) {
    Fail(ERROR_ALREADY_EXISTS);
    return FALSE;
  }
  if (!loc.parentExists) {
    Fail(ERROR_PATH_NOT_FOUND);
    return FALSE;
  }
  m_fs.BeforeCreate(loc.hostParent);
  if (m_fs.DriveReadOnly(p.drive) || mkdir(loc.host.c_str(), 0755) != 0) {
    Fail(ERROR_ACCESS_DENIED);
    return FALSE;
  }
  m_fs.Created(loc.hostParent, loc.name);
  return TRUE;
}

DWORD CSimPlatform::AttributesOf(const Located& loc, char drive) const
{
  DWORD a = 0;
  auto it = m_fileAttributes.find(loc.host);
  if (it != m_fileAttributes.end())
    a = it->second;
  else if (!loc.isDir)
    a = FILE_ATTRIBUTE_ARCHIVE;
  if (loc.isDir)
    a |= FILE_ATTRIBUTE_DIRECTORY;
  // Files on a read-only drive carry the attribute, as on a CD-ROM.
  if (CSimFileSystem::HostIsReadOnly(loc.host) || (!loc.isDir && m_fs.DriveReadOnly(drive)))
    a |= FILE_ATTRIBUTE_READONLY;
  return a == 0 ? FILE_ATTRIBUTE_NORMAL : a;
}

HANDLE CSimPlatform::FindFirstFileA(LPCSTR pszPattern, LPWIN32_FIND_DATAA pData)
{
  if (pszPattern == nullptr) {
    Fail(ERROR_PATH_NOT_FOUND);
    return INVALID_HANDLE_VALUE;
  }
  std::string pattern = pszPattern;
  size_t cut = pattern.find_last_of("\\/");
  if (cut == std::string::npos && pattern.size() >= 2 && pattern[1] == ':')
    cut = 1;
  std::string dirPart = cut == std::string::npos ? "." : pattern.substr(0, cut + 1);
  std::string namePart = cut == std::string::npos ? pattern : pattern.substr(cut + 1);
  if (dirPart.size() == 2 && dirPart[1] == ':')
    dirPart += ".";
  WinPath dir;
  if (namePart.empty() || !Full(dirPart.c_str(), &dir)) {
    Fail(ERROR_FILE_NOT_FOUND);
    return INVALID_HANDLE_VALUE;
  }
  Located loc = m_fs.Locate(dir);
  if (!loc.exists || !loc.isDir) {
    Fail(ERROR_PATH_NOT_FOUND);
    return INVALID_HANDLE_VALUE;
  }
  Search search;
  auto add = [&](const std::string& name, const std::string& alt, const std::string& host,
                 bool isDir) {
    WIN32_FIND_DATAA fd;
    std::memset(&fd, 0, sizeof fd);
    Located el;
    el.host = host;
    el.isDir = isDir;
    fd.dwFileAttributes = AttributesOf(el, dir.drive);
    struct stat st;
    if (stat(host.c_str(), &st) == 0) {
      FileTimeOf(st, &fd.ftLastWriteTime);
      fd.ftCreationTime = fd.ftLastAccessTime = fd.ftLastWriteTime;
      if (!isDir) {
        fd.nFileSizeLow = (DWORD)st.st_size;
        fd.nFileSizeHigh = (DWORD)((unsigned long long)st.st_size >> 32);
      }
    }
    std::strncpy(fd.cFileName, name.c_str(), MAX_PATH - 1);
    if (alt != name)
      std::strncpy(fd.cAlternateFileName, alt.c_str(), sizeof fd.cAlternateFileName - 1);
    search.results.push_back(fd);
  };
  // A folder other than a root lists its dot entries first.
  if (!dir.parts.empty())
    for (const char* dot : {".", ".."})
      if (MatchWildcard(namePart, dot))
        add(dot, dot, loc.host, true);
  // Names match by their long or their 8.3 form, as on Windows.
  for (const auto& e : m_fs.List(loc.host))
    if (MatchWildcard(namePart, e.name) || MatchWildcard(namePart, e.shortName))
      add(e.name, e.shortName, loc.host + "/" + e.name, e.isDir);
  if (search.results.empty()) {
    Fail(ERROR_FILE_NOT_FOUND);
    return INVALID_HANDLE_VALUE;
  }
  *pData = search.results[0];
  search.next = 1;
  HANDLE h = (HANDLE)NewHandle();
  m_searches[h] = search;
  return h;
}

BOOL CSimPlatform::FindNextFileA(HANDLE hFind, LPWIN32_FIND_DATAA pData)
{
  auto it = m_searches.find(hFind);
  if (it == m_searches.end()) {
    Fail(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  Search& s = it->second;
  if (s.next >= s.results.size()) {
    Fail(18 /* ERROR_NO_MORE_FILES */);
    return FALSE;
  }
  *pData = s.results[s.next++];
  return TRUE;
}

BOOL CSimPlatform::FindClose(HANDLE hFind)
{
  if (m_searches.erase(hFind) == 0) {
    Fail(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  return TRUE;
}

BOOL CSimPlatform::CopyFileA(LPCSTR pszExisting, LPCSTR pszNew, BOOL bFailIfExists)
{
  WinPath src, dst;
  if (!Full(pszExisting, &src) || !Full(pszNew, &dst)) {
    Fail(ERROR_PATH_NOT_FOUND);
    return FALSE;
  }
  Located from = m_fs.Locate(src);
  if (!from.exists || from.isDir) {
    Fail(from.isDir ? ERROR_ACCESS_DENIED : ERROR_FILE_NOT_FOUND);
    return FALSE;
  }
  Located to = m_fs.Locate(dst);
  if (!to.parentExists) {
    Fail(ERROR_PATH_NOT_FOUND);
    return FALSE;
  }
  if (to.exists && bFailIfExists) {
    Fail(ERROR_FILE_EXISTS);
    return FALSE;
  }
  if (m_fs.DriveReadOnly(dst.drive) || to.isDir ||
      (to.exists && CSimFileSystem::HostIsReadOnly(to.host))) {
    Fail(ERROR_ACCESS_DENIED);
    return FALSE;
  }
  if (to.exists && to.host == from.host) {
    Fail(32 /* ERROR_SHARING_VIOLATION */);
    return FALSE;
  }
  if (!to.exists)
    m_fs.BeforeCreate(to.hostParent);
  bool bCopied = CopyHostFile(from.host, to.host);
  if (!to.exists)
    m_fs.Created(to.hostParent, to.name);
  if (!bCopied) {
    Fail(ERROR_ACCESS_DENIED);
    return FALSE;
  }
  // The copy takes the source's attributes, read-only included (a file
  // copied from a CD-ROM is read-only).
  DWORD a = AttributesOf(from, src.drive);
  m_fileAttributes[to.host] = a & kKeptAttributes;
  CSimFileSystem::HostSetReadOnly(to.host, (a & FILE_ATTRIBUTE_READONLY) != 0);
  return TRUE;
}

// Finds an existing file or folder, failing as Windows does when the path
// cannot be made full or names nothing.
bool CSimPlatform::LocateExisting(LPCSTR pszPath, WinPath* pPath, Located* pLoc)
{
  if (!Full(pszPath, pPath)) {
    Fail(ERROR_PATH_NOT_FOUND);
    return false;
  }
  *pLoc = m_fs.Locate(*pPath);
  if (!pLoc->exists) {
    Fail(pLoc->parentExists ? ERROR_FILE_NOT_FOUND : ERROR_PATH_NOT_FOUND);
    return false;
  }
  return true;
}

DWORD CSimPlatform::GetFileAttributesA(LPCSTR pszPath)
{
  WinPath p;
  Located loc;
  if (!LocateExisting(pszPath, &p, &loc))
    return INVALID_FILE_ATTRIBUTES;
  return AttributesOf(loc, p.drive);
}

BOOL CSimPlatform::SetFileAttributesA(LPCSTR pszPath, DWORD dwAttributes)
{
  WinPath p;
  Located loc;
  if (!LocateExisting(pszPath, &p, &loc))
    return FALSE;
  if (m_fs.DriveReadOnly(p.drive)) {
    Fail(ERROR_ACCESS_DENIED);
    return FALSE;
  }
  m_fileAttributes[loc.host] = dwAttributes & kKeptAttributes;
  CSimFileSystem::HostSetReadOnly(loc.host, (dwAttributes & FILE_ATTRIBUTE_READONLY) != 0);
  return TRUE;
}

BOOL CSimPlatform::DeleteFileA(LPCSTR pszPath)
{
  WinPath p;
  Located loc;
  if (!LocateExisting(pszPath, &p, &loc))
    return FALSE;
  if (loc.isDir || m_fs.DriveReadOnly(p.drive) || CSimFileSystem::HostIsReadOnly(loc.host) ||
      unlink(loc.host.c_str()) != 0) {
    Fail(ERROR_ACCESS_DENIED);
    return FALSE;
  }
  m_fs.Removed(loc.hostParent);
  m_fileAttributes.erase(loc.host);
  return TRUE;
}

// --- Byte streams ---------------------------------------------------------------

HSTREAM CSimPlatform::StreamOpen(LPCSTR pszPath, LPCSTR pszMode)
{
  WinPath p;
  if (!Full(pszPath, &p) || pszMode == nullptr) {
    Fail(ERROR_PATH_NOT_FOUND);
    return nullptr;
  }
  // The Win32 layer keeps four streams in a fixed pool: a stream that is
  // never closed takes a place for the rest of the run, as it does there.
  if (m_streams.size() >= 4) {
    Fail(4);  // ERROR_TOO_MANY_OPEN_FILES
    return nullptr;
  }
  std::string mode = pszMode;
  bool bUpdate = mode.find('+') != std::string::npos;
  if (mode.empty() || mode[0] != 'r') {
    Fail(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  Located loc = m_fs.Locate(p);
  if (!loc.exists || loc.isDir) {
    Fail(loc.isDir ? ERROR_ACCESS_DENIED : ERROR_FILE_NOT_FOUND);
    return nullptr;
  }
  if (bUpdate && (m_fs.DriveReadOnly(p.drive) || CSimFileSystem::HostIsReadOnly(loc.host))) {
    Fail(ERROR_ACCESS_DENIED);
    return nullptr;
  }
  FILE* fp = std::fopen(loc.host.c_str(), bUpdate ? "r+b" : "rb");
  if (fp == nullptr) {
    Fail(ERROR_ACCESS_DENIED);
    return nullptr;
  }
  SetupStream__* s = new SetupStream__;
  s->fp = fp;
  m_streams.insert(s);
  return s;
}

DWORD CSimPlatform::StreamReadLine(HSTREAM hStream, LPSTR pszBuffer, DWORD cbBuffer)
{
  if (!m_streams.count(hStream) || cbBuffer == 0)
    return 0;
  DWORD n = 0;
  while (n + 1 < cbBuffer) {
    int c = std::fgetc(hStream->fp);
    if (c == EOF)
      break;
    pszBuffer[n++] = (char)c;
    if (c == '\n')
      break;
  }
  pszBuffer[n] = '\0';
  return n;
}

LONG CSimPlatform::StreamTell(HSTREAM hStream)
{
  return m_streams.count(hStream) ? (LONG)std::ftell(hStream->fp) : -1;
}

BOOL CSimPlatform::StreamSeek(HSTREAM hStream, LONG lOffset, int nOrigin)
{
  int whence = nOrigin == STREAM_SEEK_CUR ? SEEK_CUR : nOrigin == STREAM_SEEK_END ? SEEK_END
                                                                                : SEEK_SET;
  return m_streams.count(hStream) && std::fseek(hStream->fp, lOffset, whence) == 0;
}

DWORD CSimPlatform::StreamWrite(HSTREAM hStream, LPCVOID pData, DWORD cbData)
{
  if (!m_streams.count(hStream))
    return 0;
  return (DWORD)std::fwrite(pData, 1, cbData, hStream->fp);
}

BOOL CSimPlatform::StreamFlush(HSTREAM hStream)
{
  return m_streams.count(hStream) && std::fflush(hStream->fp) == 0;
}

void CSimPlatform::StreamClose(HSTREAM hStream)
{
  if (m_streams.erase(hStream) == 0)
    return;
  std::fclose(hStream->fp);
  delete hStream;
}

}  // namespace sim
