// The bounded string helpers: a write that does not fit is refused whole,
// and leaves an empty string rather than a part to be mistaken for the whole.
#include <gtest/gtest.h>

#include "platform/StrBuf.h"

TEST(StrBuf, WritesThatDoNotFitAreRefusedWhole)
{
  char sz[8];
  // The result and what the buffer then holds.
  const auto r = [&](BOOL bOk) { return std::string(bOk ? "1 " : "0 ") + sz; };
  EXPECT_EQ("1 1234567", r(StrCopy(sz, sizeof sz, "1234567")));  // exactly fills it
  EXPECT_EQ("0 ", r(StrCopy(sz, sizeof sz, "12345678")));
  EXPECT_EQ("1 C:\\WIN", r(StrCopy(sz, sizeof sz, "C:\\WIN")));
  EXPECT_EQ("1 C:\\WIN\\", r(StrAppend(sz, sizeof sz, "\\")));
  EXPECT_EQ("0 ", r(StrAppend(sz, sizeof sz, "X")));
  EXPECT_EQ("1 C:\\A", r(StrCopy(sz, sizeof sz, "C:\\A")));
  EXPECT_EQ("1 C:\\A\\", r(StrEnsureBackslash(sz, sizeof sz)));
  EXPECT_EQ("1 C:\\A\\", r(StrEnsureBackslash(sz, sizeof sz)));
  EXPECT_EQ("1 C:\\A\\BC", r(StrAppend(sz, sizeof sz, "BC")));
  EXPECT_EQ("0 ", r(StrEnsureBackslash(sz, sizeof sz)));
  EXPECT_EQ("0 ", r(StrEnsureBackslash(sz, sizeof sz)));  // an empty path gets none
  EXPECT_EQ("1 C:\\INF", r(StrConcat(sz, sizeof sz, "C:\\", "IN", "F")));
  EXPECT_EQ("0 ", r(StrConcat(sz, sizeof sz, sz, "\\", "X")));
  EXPECT_EQ("1 259", r(StrFromUInt(sz, 4, 259)));
  EXPECT_EQ("0 ", r(StrFromUInt(sz, 4, 1000)));
  // A search gives where the text starts (the comparisons themselves are
  // pinned by the purge and driver-install scenarios).
  EXPECT_STREQ(".inf.bak", StrStr("x.inf.bak", ".inf"));
}
