// The bounded string helpers: a write that does not fit is refused whole.
#include <gtest/gtest.h>

#include "platform/StrBuf.h"

TEST(StrBuf, CopyAndAppendRefuseWhatDoesNotFit)
{
  char sz[8];
  EXPECT_TRUE(StrCopy(sz, sizeof sz, "C:\\WIN"));
  EXPECT_STREQ("C:\\WIN", sz);
  EXPECT_TRUE(StrAppend(sz, sizeof sz, "\\"));
  EXPECT_STREQ("C:\\WIN\\", sz);
  // One more character would need 9 bytes: refused, and nothing of the old
  // path is left to be mistaken for the longer one.
  EXPECT_FALSE(StrAppend(sz, sizeof sz, "X"));
  EXPECT_STREQ("", sz);
  EXPECT_FALSE(StrCopy(sz, sizeof sz, "12345678"));
  EXPECT_STREQ("", sz);
  EXPECT_TRUE(StrCopy(sz, sizeof sz, "1234567"));
}

TEST(StrBuf, BackslashAndConcat)
{
  char sz[16];
  ASSERT_TRUE(StrCopy(sz, sizeof sz, "C:\\A"));
  EXPECT_TRUE(StrEnsureBackslash(sz, sizeof sz));
  EXPECT_TRUE(StrEnsureBackslash(sz, sizeof sz));
  EXPECT_STREQ("C:\\A\\", sz);
  sz[0] = '\0';
  EXPECT_FALSE(StrEnsureBackslash(sz, sizeof sz));
  EXPECT_STREQ("", sz);
  EXPECT_TRUE(StrConcat(sz, sizeof sz, "C:\\", "INF\\", "OTHER"));
  EXPECT_STREQ("C:\\INF\\OTHER", sz);
  EXPECT_FALSE(StrConcat(sz, sizeof sz, sz, "\\TOO-LONG-NAME"));
  EXPECT_STREQ("", sz);
}

TEST(StrBuf, ComparisonsAndSearch)
{
  EXPECT_EQ(0, StrCmpI("Strings", "STRINGS"));
  EXPECT_NE(0, StrCmp("Strings", "STRINGS"));
  EXPECT_EQ(0, StrCmpN("VEN_5D2A&DEV_0111", "VEN_5D2A&DEV_01", 15));
  EXPECT_NE(0, StrCmpN("ven_5d2a&dev_0111", "VEN_5D2A&DEV_01", 15));
  EXPECT_NE(0, StrCmpN("VEN", "VEN_5D2A", 8));
  EXPECT_STREQ(".inf.bak", StrStr("x.inf.bak", ".inf"));
  EXPECT_EQ(nullptr, StrStr("README.Inf", ".inf"));
  char sz[] = "/ap -x";
  StrUpper(sz);
  EXPECT_STREQ("/AP -X", sz);
  char szNum[4];
  EXPECT_TRUE(StrFromUInt(szNum, sizeof szNum, 259));
  EXPECT_STREQ("259", szNum);
  EXPECT_FALSE(StrFromUInt(szNum, sizeof szNum, 1000));
}
