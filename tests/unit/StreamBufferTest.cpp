// The buffered stream of the Win32 layer, over a file in memory, against the
// C library's own streams as the reference for fgets/fseek/ftell/fwrite.
#include "platform/win32/StreamBuffer.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <random>
#include <string>

#include "platform/Platform.h"

namespace {

// A file in memory with the raw semantics of a Win32 file handle.
class CMemFile : public IRawFile {
public:
  explicit CMemFile(std::string s) : m_data(std::move(s)) {}

  BOOL Read(void* p, DWORD cb, DWORD* pcb) override
  {
    ++m_nReads;
    size_t n = m_pos < m_data.size() ? std::min<size_t>(cb, m_data.size() - m_pos) : 0;
    std::memcpy(p, m_data.data() + m_pos, n);
    m_pos += n;
    *pcb = (DWORD)n;
    return TRUE;
  }
  BOOL Write(const void* p, DWORD cb, DWORD* pcb) override
  {
    *pcb = 0;
    if (m_bFailWrites)
      return FALSE;
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
  int m_nReads = 0;
  bool m_bFailWrites = false;
};

std::string ReadLine(CStreamBuffer& s, DWORD cb)
{
  std::string buf(cb + 1, 'X');
  DWORD n = s.ReadLine(&buf[0], cb);
  EXPECT_EQ(n, cb ? std::strlen(buf.c_str()) : 0u);
  return buf.substr(0, n);
}

TEST(StreamBuffer, ReadsTheFileInBlocksNotBytes)
{
  std::string text;
  for (int i = 0; i < 200; ++i)
    text += "HKR,Config,Line" + std::to_string(i) + "\r\n";
  CMemFile file(text);
  CStreamBuffer s;
  s.Attach(&file);
  std::string all;
  for (std::string line; !(line = ReadLine(s, 260)).empty();)
    all += line;
  EXPECT_EQ(text, all);
  EXPECT_LE(file.m_nReads, (int)(text.size() / CStreamBuffer::kBufferSize) + 2);
}

TEST(StreamBuffer, RefusedSeeksAndWritesLeaveThePositionAlone)
{
  CMemFile file("0123456789\n");
  CStreamBuffer s;
  s.Attach(&file);
  ReadLine(s, 5);
  EXPECT_FALSE(s.Seek(-5, STREAM_SEEK_CUR));
  EXPECT_FALSE(s.Seek(-1, STREAM_SEEK_SET));
  EXPECT_FALSE(s.Seek(-12, STREAM_SEEK_END));
  EXPECT_FALSE(s.Seek(0, 7));
  EXPECT_EQ(4, s.Tell());
  file.m_bFailWrites = true;
  EXPECT_EQ(0u, s.Write("xx", 2));
  EXPECT_EQ(4, s.Tell());
  EXPECT_EQ("4567", ReadLine(s, 5));
}

TEST(StreamBuffer, FlushShowsChangesMadeBehindTheStream)
{
  CMemFile file("old text\n");
  CStreamBuffer s;
  s.Attach(&file);
  EXPECT_EQ("old", ReadLine(s, 4));
  file.m_data = "new TEXT\n";  // another writer
  EXPECT_TRUE(s.Flush());
  EXPECT_EQ(3, s.Tell());
  EXPECT_EQ(" TEXT\n", ReadLine(s, 64));
}

// Random mixes of line reads, seeks, tells and writes give the same results
// and the same file as the C library's "r+b" stream.
TEST(StreamBuffer, BehavesAsTheCLibraryStream)
{
  for (unsigned seed = 1; seed <= 12; ++seed) {
    std::mt19937 rng(seed);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    std::string initial;
    int nSize = pick(0, 1500);
    for (int i = 0; i < nSize; ++i)
      initial += pick(0, 9) == 0 ? '\n' : (char)('a' + pick(0, 25));

    char szPath[] = "/tmp/streambufXXXXXX";
    int fd = mkstemp(szPath);
    ASSERT_GE(fd, 0);
    FILE* ref = fdopen(fd, "w+b");
    fwrite(initial.data(), 1, initial.size(), ref);
    fseek(ref, 0, SEEK_SET);

    CMemFile file(initial);
    CStreamBuffer s;
    s.Attach(&file);
    for (int op = 0; op < 400; ++op) {
      SCOPED_TRACE("seed " + std::to_string(seed) + " op " + std::to_string(op));
      long size = (long)file.m_data.size();
      switch (pick(0, 5)) {
      case 0:
      case 1: {
        DWORD cb = (DWORD)pick(1, 80);
        std::string expected(cb, '\0');
        fseek(ref, 0, SEEK_CUR);
        const char* r = fgets(&expected[0], (int)cb, ref);
        expected = r ? std::string(expected.c_str()) : std::string();
        ASSERT_EQ(expected, ReadLine(s, cb));
        break;
      }
      case 2: {
        int origin = pick(0, 2);
        long target = pick(-3, (int)size);
        long offset = origin == 0 ? target
                      : origin == 1 ? target - ftell(ref)
                                    : target - size;
        bool bRef = fseek(ref, offset, origin == 0 ? SEEK_SET : origin == 1 ? SEEK_CUR : SEEK_END) == 0;
        ASSERT_EQ(bRef, s.Seek((LONG)offset, origin) != FALSE);
        break;
      }
      case 3: {
        std::string bytes(pick(1, 30), 'W');
        for (char& c : bytes)
          c = pick(0, 7) == 0 ? '\n' : (char)('A' + pick(0, 25));
        fseek(ref, 0, SEEK_CUR);
        size_t n = fwrite(bytes.data(), 1, bytes.size(), ref);
        ASSERT_EQ(n, s.Write(bytes.data(), (DWORD)bytes.size()));
        break;
      }
      case 4:
        ASSERT_EQ(ftell(ref), (long)s.Tell());
        break;
      case 5:
        fflush(ref);
        ASSERT_TRUE(s.Flush());
        break;
      }
    }
    fflush(ref);
    fseek(ref, 0, SEEK_END);
    std::string final((size_t)ftell(ref), '\0');
    fseek(ref, 0, SEEK_SET);
    ASSERT_EQ(final.size(), fread(&final[0], 1, final.size(), ref));
    fclose(ref);
    std::remove(szPath);
    EXPECT_EQ(final, file.m_data) << "seed " << seed;
  }
}

}  // namespace
