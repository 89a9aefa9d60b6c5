// The buffered stream of the Win32 layer, over a file in memory, against the
// C library's own streams as the reference for fgets/fseek/ftell/fwrite.
#include "platform/win32/StreamBuffer.h"

#include <gtest/gtest.h>

#include <random>

#include "../fuzz/FuzzCheck.h"

namespace {

// A line read into a buffer of cb bytes; the count returned is its length.
std::string ReadLine(CStreamBuffer& s, DWORD cb)
{
  std::string buf(cb + 1, 'X');
  DWORD n = s.ReadLine(&buf[0], cb);
  EXPECT_EQ(n, cb ? std::strlen(buf.c_str()) : 0u);
  return buf.substr(0, n);
}

}  // namespace

TEST(StreamBuffer, ReadsInBlocksSurvivesRefusedWritesAndSeesOtherWriters)
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
  // A refused write leaves the position alone (seeks before the start or
  // from an unknown origin are in the comparison with the C library below).
  file.m_data = "0123456789\n";
  ASSERT_TRUE(s.Flush() && s.Seek(0, STREAM_SEEK_SET));
  EXPECT_EQ("0123", ReadLine(s, 5));
  file.m_bFailWrites = true;
  EXPECT_EQ(0u, s.Write("xx", 2));
  EXPECT_EQ(4, s.Tell());
  EXPECT_EQ("4567", ReadLine(s, 5));
  // A flush shows what another writer changed behind the stream.
  file.m_data = "01234567ab\n";
  EXPECT_TRUE(s.Flush());
  EXPECT_EQ(8, s.Tell());
  EXPECT_EQ("ab\n", ReadLine(s, 64));
}

// Random mixes of line reads, seeks, tells and writes give the same results
// and the same file as the C library's "r+b" stream (whose origins are the
// stream's: 0 start, 1 current, 2 end; 7 is none).
TEST(StreamBuffer, BehavesAsTheCLibraryStream)
{
  for (unsigned seed = 1; seed <= 12; ++seed) {
    std::mt19937 rng(seed);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    std::string initial(pick(0, 1500), '\0');
    for (char& c : initial)
      c = pick(0, 9) == 0 ? '\n' : (char)('a' + pick(0, 25));
    FILE* ref = std::tmpfile();
    ASSERT_NE(nullptr, ref);
    fwrite(initial.data(), 1, initial.size(), ref);
    fseek(ref, 0, SEEK_SET);
    CMemFile file(initial, seed % 3);  // reads of any size, of one byte, of two
    CStreamBuffer s;
    s.Attach(&file);
    for (int op = 0; op < 400; ++op) {
      SCOPED_TRACE("seed " + std::to_string(seed) + " op " + std::to_string(op));
      const long size = (long)file.m_data.size();
      switch (pick(0, 5)) {
      case 0:
      case 1: {
        DWORD cb = (DWORD)pick(1, 80);
        char line[80];
        fseek(ref, 0, SEEK_CUR);
        ASSERT_EQ(std::string(fgets(line, (int)cb, ref) ? line : ""), ReadLine(s, cb));
        break;
      }
      case 2: {
        int origin = "\0\1\2\7"[pick(0, 3)];
        long target = pick(-3, (int)size);
        long offset = origin == 1 ? target - ftell(ref) : origin == 2 ? target - size : target;
        bool bRef = fseek(ref, offset, origin) == 0;
        ASSERT_EQ(bRef, s.Seek((LONG)offset, origin) != FALSE);
        break;
      }
      case 3: {
        std::string bytes(pick(1, 30), 'W');
        for (char& c : bytes)
          c = pick(0, 7) == 0 ? '\n' : (char)('A' + pick(0, 25));
        fseek(ref, 0, SEEK_CUR);
        ASSERT_EQ(fwrite(bytes.data(), 1, bytes.size(), ref), s.Write(bytes.data(), (DWORD)bytes.size()));
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
    std::string final(file.m_data.size() + 1, '\0');
    rewind(ref);
    final.resize(fread(&final[0], 1, final.size(), ref));
    fclose(ref);
    EXPECT_EQ(final, file.m_data) << "seed " << seed;
  }
}
