// The VxD dialog's INF option edits over the Win32 layer's own buffered
// stream, on a file in memory whose reads may come in short pieces.
// Invariant: the file keeps its length; a byte changes only when it is the
// last character of a line equal to an option line (line break aside), only
// to that option's character, and only in the first such line.
//
// Input: option bits, the longest raw read (0: any), then the file.
#include <algorithm>
#include <cstring>
#include <map>

#include "FuzzCheck.h"
#include "ForwardingPlatform.h"
#include "install/InfOptionPatch.h"
#include "platform/win32/StreamBuffer.h"

namespace {

// Each option line and the one character the patch may write into it.
const std::map<std::string, char> kOptionLines = {
    {"HKR,Config,DISMPU,1,0", '1'},      {"HKR,Config,DISJSTK,1,0", '1'},
    {"HKR,Config,LINEINasREAR,1,1", '0'}, {"HKR,Config,LINEINasBASS,1,0", '1'},
    {"HKR,Config,MICasBASS,1,0", '1'}};

class CMemFile : public IRawFile {
public:
  CMemFile(std::string s, size_t cbMaxRead) : m_data(std::move(s)), m_cbMaxRead(cbMaxRead) {}

  BOOL Read(void* p, DWORD cb, DWORD* pcb) override
  {
    size_t n = m_pos < m_data.size() ? std::min<size_t>(cb, m_data.size() - m_pos) : 0;
    if (m_cbMaxRead != 0)
      n = std::min(n, m_cbMaxRead);
    std::memcpy(p, m_data.data() + m_pos, n);
    m_pos += n;
    *pcb = (DWORD)n;
    return TRUE;
  }
  BOOL Write(const void* p, DWORD cb, DWORD* pcb) override
  {
    if (m_pos > m_data.size())
      m_data.resize(m_pos, '\0');
    m_data.replace(m_pos, std::min<size_t>(cb, m_data.size() - m_pos), (const char*)p, cb);
    m_pos += cb;
    *pcb = cb;
    return TRUE;
  }
  LONG Seek(LONG lOffset, int nOrigin) override
  {
    long long base = nOrigin == STREAM_SEEK_SET ? 0
                     : nOrigin == STREAM_SEEK_CUR ? (long long)m_pos
                                                  : (long long)m_data.size();
    if (base + lOffset < 0)
      return -1;
    m_pos = (size_t)(base + lOffset);
    return (LONG)m_pos;
  }

  std::string m_data;
  size_t m_pos = 0;
  size_t m_cbMaxRead;
};

// One open file, as the Win32 layer's streams are: CStreamBuffer over it.
class CStreamPlatform : public CForwardingPlatform {
public:
  explicit CStreamPlatform(CMemFile* pFile) : m_pFile(pFile) {}

  HSTREAM StreamOpen(LPCSTR, LPCSTR) override
  {
    m_buffer.Attach(m_pFile);
    return reinterpret_cast<HSTREAM>(&m_buffer);
  }
  DWORD StreamReadLine(HSTREAM, LPSTR psz, DWORD cb) override { return m_buffer.ReadLine(psz, cb); }
  LONG StreamTell(HSTREAM) override { return m_buffer.Tell(); }
  BOOL StreamSeek(HSTREAM, LONG l, int n) override { return m_buffer.Seek(l, n); }
  DWORD StreamWrite(HSTREAM, LPCVOID p, DWORD cb) override { return m_buffer.Write(p, cb); }
  BOOL StreamFlush(HSTREAM) override { return m_buffer.Flush(); }
  void StreamClose(HSTREAM) override { m_buffer.Detach(); }
  void Sleep(DWORD) override {}

private:
  CMemFile* m_pFile;
  CStreamBuffer m_buffer;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
  if (size < 2)
    return 0;
  const uint8_t bits = data[0];
  VxdDriverOptions options = {(bits & 1) != 0,  (bits & 2) != 0,  (bits & 4) != 0,
                              (bits & 8) != 0,  (bits & 16) != 0, (bits & 32) != 0};
  const std::string before(reinterpret_cast<const char*>(data) + 2, size - 2);
  CMemFile file(before, data[1]);
  CStreamPlatform platform(&file);
  IPlatform* pPrevious = Platform();
  SetPlatform(&platform);
  PatchInfConfigLines("C:\\WINDOWS\\INF\\OTHER\\FUZZ.INF", options);
  SetPlatform(pPrevious);

  const std::string& after = file.m_data;
  FUZZ_CHECK(after.size() == before.size(), "the file's length changed");
  // The lines of the file as it was, without their breaks: CR LF, LF, or
  // none at the end.
  std::map<std::string, size_t> firstLine;  // option text -> its first line's end
  for (size_t start = 0; start < before.size();) {
    size_t lineEnd = before.find('\n', start);
    size_t next = lineEnd == std::string::npos ? before.size() : lineEnd + 1;
    size_t textEnd = lineEnd == std::string::npos ? before.size() : lineEnd;
    if (lineEnd != std::string::npos && textEnd > start && before[textEnd - 1] == '\r')
      --textEnd;
    const std::string text = before.substr(start, textEnd - start);
    const bool bOption = kOptionLines.count(text) != 0;
    const bool bFirst = bOption && firstLine.emplace(text, textEnd).second;
    for (size_t i = start; i < next; ++i) {
      if (after[i] == before[i])
        continue;
      const std::string where = "byte " + std::to_string(i) + " of line \"" + text + "\"";
      FUZZ_CHECK(bOption, where + ", no option line");
      FUZZ_CHECK(i == textEnd - 1, where + ", not its last character");
      FUZZ_CHECK(after[i] == kOptionLines.at(text), where + " became " + std::string(1, after[i]));
      FUZZ_CHECK(bFirst, where + ", not the first line of that text");
    }
    start = next;
  }
  return 0;
}
