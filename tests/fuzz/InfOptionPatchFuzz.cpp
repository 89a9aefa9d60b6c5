// The VxD dialog's INF option edits over the Win32 layer's own buffered stream, on a file in memory whose
// reads may come in short pieces. Invariant: the file keeps its length; a byte changes only when it is the
// last character of a line equal to an option line (line break aside), only to that option's character, and
// only in the first such line. Input: option bits, the longest raw read (0: any), then the file.
#include <map>

#include "FuzzCheck.h"
#include "FailingPlatform.h"
#include "install/InfOptionPatch.h"

// Each option line and the one character the patch may write into it.
const std::map<std::string, char> kOptionLines = {
    {"HKR,Config,DISMPU,1,0", '1'}, {"HKR,Config,DISJSTK,1,0", '1'}, {"HKR,Config,LINEINasREAR,1,1", '0'},
    {"HKR,Config,LINEINasBASS,1,0", '1'}, {"HKR,Config,MICasBASS,1,0", '1'}};

// The one open file, as the Win32 layer's streams are: CStreamBuffer over it.
struct CMemFilePlatform : CFailingPlatform, CMemFile {
  using CMemFile::CMemFile;
  HSTREAM StreamOpen(LPCSTR, LPCSTR) override { return m_buffer.Attach(this), reinterpret_cast<HSTREAM>(&m_buffer); }
  DWORD StreamReadLine(HSTREAM, LPSTR psz, DWORD cb) override { return m_buffer.ReadLine(psz, cb); }
  LONG StreamTell(HSTREAM) override { return m_buffer.Tell(); }
  BOOL StreamSeek(HSTREAM, LONG l, int n) override { return m_buffer.Seek(l, n); }
  DWORD StreamWrite(HSTREAM, LPCVOID p, DWORD cb) override { return m_buffer.Write(p, cb); }
  BOOL StreamFlush(HSTREAM) override { return m_buffer.Flush(); }
  void StreamClose(HSTREAM) override { m_buffer.Detach(); }
  void Sleep(DWORD) override {}

  CStreamBuffer m_buffer;
};

FUZZ_TARGET(2, head, before)
{
  const uint8_t b = head[0];
  CMemFilePlatform file(before, head[1]);
  sim::CPlatformScope scope(&file);
  PatchInfConfigLines("C:\\WINDOWS\\INF\\OTHER\\FUZZ.INF",
                      VxdDriverOptions{b & 1, (b >> 1) & 1, (b >> 2) & 1, (b >> 3) & 1, (b >> 4) & 1, (b >> 5) & 1});
  const std::string& after = file.m_data;
  FUZZ_CHECK(after.size() == before.size(), "the file's length changed");
  // The lines of the file as it was, without their breaks: CR LF, LF, or none at the end.
  std::map<std::string, size_t> firstLine;  // option text -> its first line's end
  for (size_t start = 0, next; start < before.size(); start = next) {
    const size_t lineEnd = std::min(before.find('\n', start), before.size());
    next = std::min(lineEnd + 1, before.size());
    const size_t textEnd = lineEnd - (lineEnd < before.size() && lineEnd > start && before[lineEnd - 1] == '\r');
    const std::string text = before.substr(start, textEnd - start);
    const bool bOption = kOptionLines.count(text) != 0;
    const bool bFirst = bOption && firstLine.emplace(text, textEnd).second;
    for (size_t i = start; i < next; ++i)
      if (after[i] != before[i])
        FUZZ_CHECK(bOption && i == textEnd - 1 && after[i] == kOptionLines.at(text) && bFirst,
                   "byte " + std::to_string(i) + " of line \"" + text + "\" became " + after[i]);
  }
}
