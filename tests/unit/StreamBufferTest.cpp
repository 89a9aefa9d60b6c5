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

// A long line costs one raw read per block.
TEST(StreamBuffer, ReadsInBlocks)
{
  CMemFile file(std::string(5000, 'x') + "\n");
  CStreamBuffer s;
  s.Attach(&file);
  EXPECT_EQ(file.m_data, ReadLine(s, 6000));
  EXPECT_LE(file.m_nReads, (int)(file.m_data.size() / CStreamBuffer::kBufferSize) + 2);
}

// Random mixes of line reads, seeks, tells and writes give the same results
// and the same file as the C library's "r+b" stream (whose origins are the
// stream's: 0 start, 1 current, 2 end; 7 is none). Some writes are refused by
// the file, and after a flush another writer changes a byte behind the stream.
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
        file.m_bFailWrites = pick(0, 4) == 0;
        fseek(ref, 0, SEEK_CUR);
        const size_t cbRef = file.m_bFailWrites ? 0 : fwrite(bytes.data(), 1, bytes.size(), ref);
        ASSERT_EQ(cbRef, s.Write(bytes.data(), (DWORD)bytes.size()));
        file.m_bFailWrites = false;
        break;
      }
      case 4:
        ASSERT_EQ(ftell(ref), (long)s.Tell());
        break;
      case 5:
        fflush(ref);
        ASSERT_TRUE(s.Flush());
        if (size > 0) {
          const long at = pick(0, (int)size - 1);
          const long pos = ftell(ref);
          file.m_data[at] = (char)('0' + pick(0, 9));
          fseek(ref, at, SEEK_SET);
          fputc(file.m_data[at], ref);
          fseek(ref, pos, SEEK_SET);
        }
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
