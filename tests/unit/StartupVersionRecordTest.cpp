// Version records the simulated computer never gives: the edges of the one
// classification rule.
#include <gtest/gtest.h>

#include <string>

#include "StartupFakePlatform.h"
#include "install/LaunchContext.h"

namespace {

// The version flags that are set, as "98 98SE " and the like.
std::string Flags(const VersionClass& v)
{
  std::string s;
  if (v.m_bWin95) s += "95 ";
  if (v.m_bWin98) s += "98 ";
  if (v.m_bWin98SE) s += "98SE ";
  if (v.m_bWinME) s += "ME ";
  if (v.m_bWinNT4) s += "NT4 ";
  if (v.m_bWinNT5) s += "NT5 ";
  return s;
}

}  // namespace

TEST(StartupVersionRecord, EdgesOfTheClassificationRule) {
  const struct {
    DWORD platformId, major, minor, build;
    const char* flags;
  } rows[] = {
      // 9x: the minor version alone tells 95, whatever the build.
      {1, 4, 0, 0x04000457, "95 "},
      {1, 4, 0, 0x045A0BB8, "95 "},
      // 98 first edition 1998 (0x07CE) and the other builds outside 2048-2303.
      {1, 4, 10, 0x040A07CE, "98 "},
      {1, 4, 10, 0x040A07FF, "98 "},
      {1, 4, 10, 0x040A0900, "98 "},
      {1, 4, 10, 0, "98 "},
      // Second Edition: 2222 (0x08AE), and both ends of the range.
      {1, 4, 10, 0x040A08AE, "98 98SE "},
      {1, 4, 10, 0x040A0800, "98 98SE "},
      {1, 4, 10, 0x040A08FF, "98 98SE "},
      // ME (3000 = 0x0BB8, high word 0x045A); the high word decides, from 0x0410.
      {1, 4, 90, 0x045A0BB8, "ME "},
      {1, 4, 90, 0x041008AE, "ME "},
      {1, 4, 10, 0x040F08AE, "98 98SE "},
      // NT: below 5 is NT 4.0 (3.51 too), 5 and above the newer family.
      {2, 4, 0, 1381, "NT4 "},
      {2, 3, 51, 1057, "NT4 "},
      {2, 5, 0, 2195, "NT5 "},
      {2, 5, 1, 2600, "NT5 "},
      {2, 6, 1, 7601, "NT5 "},
      {2, 0xFFFFFFFF, 0, 0, "NT5 "},
      // Neither family: no flag.
      {0, 3, 10, 0, ""},
      {3, 4, 0, 0, ""},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(testing::Message() << "platform " << row.platformId << ", " << row.major << "."
                                    << row.minor << ", build 0x" << std::hex << row.build);
    CStartFakePlatform platform;
    platform.m_dwPlatformId = row.platformId;
    platform.m_dwMajor = row.major;
    platform.m_dwMinor = row.minor;
    platform.m_dwBuild = row.build;
    CFakePlatformScope scope(&platform);
    VersionClass v;
    v.m_bWin95 = v.m_bWin98 = v.m_bWinME = v.m_bWinNT4 = v.m_bWinNT5 = v.m_bWin98SE = 7;
    ClassifyWindowsVersion(&v);
    EXPECT_EQ(row.flags, Flags(v));
  }
}
