// Which package Setup.exe is found on each Windows family, given the builds
// on the disc and the two setup.ini choices.
#include <gtest/gtest.h>

#include "TestMachine.h"
#include "install/LaunchContext.h"
#include "setup/PackageSetup.h"

namespace {

enum Builds { kW95 = 1, kW2K = 2, kNT40 = 4, kAllBuilds = 7 };

struct FindCase {
  const char* windows;
  int nWindowsMEDriver;
  int nWindows98SEDriver;
  int builds;            // on the disc
  const char* expected;  // relative to the source directory; "" for none
};

const FindCase kFindCases[] = {
  // Windows 95: its own build, else the W2K-ME one.
  { "95", 1, 0, kAllBuilds, "W95-98\\app\\Setup.exe" },
  { "95", 1, 1, kW2K | kNT40, "W2K-ME\\app\\Setup.exe" },
  { "95", 1, 0, kNT40, "" },
  // Windows 98 first edition: the SE option does not apply.
  { "98", 1, 1, kAllBuilds, "W95-98\\app\\Setup.exe" },
  { "98", 0, 0, kW2K, "W2K-ME\\app\\Setup.exe" },
  // Windows 98 SE: Windows98SEDriver picks the build.
  { "98SE", 1, 1, kAllBuilds, "W2K-ME\\app\\Setup.exe" },
  { "98SE", 1, 0, kAllBuilds, "W95-98\\app\\Setup.exe" },
  { "98SE", 1, 0, kW2K, "W2K-ME\\app\\Setup.exe" },
  // The fallback is the W2K-ME build itself: nothing else is tried.
  { "98SE", 1, 1, kW95, "" },
  // Windows ME: WindowsMEDriver picks the build.
  { "ME", 1, 0, kAllBuilds, "W2K-ME\\app\\Setup.exe" },
  { "ME", 0, 0, kAllBuilds, "W95-98\\app\\Setup.exe" },
  { "ME", 0, 1, kW2K, "W2K-ME\\app\\Setup.exe" },
  { "ME", 1, 0, kW95 | kNT40, "" },
  // NT classes: no fallback.
  { "NT4", 1, 0, kAllBuilds, "NT40\\app\\Setup.exe" },
  { "NT4", 1, 0, kW95 | kW2K, "" },
  { "2000", 1, 0, kAllBuilds, "W2K-ME\\app\\Setup.exe" },
  { "2000", 0, 1, kW95 | kNT40, "" },
  { "XP", 0, 0, kW2K, "W2K-ME\\app\\Setup.exe" },
};

}  // namespace

TEST(PackageSetup, FindsTheBuildForEachFamily)
{
  for (const FindCase& c : kFindCases) {
    SCOPED_TRACE(std::string(c.windows) + " ME=" + std::to_string(c.nWindowsMEDriver) +
                 " 98SE=" + std::to_string(c.nWindows98SEDriver) + " builds=" + std::to_string(c.builds));
    CTestMachine m;
    m.options.windows = c.windows;
    for (Builds b : { kW95, kW2K, kNT40 })
      if (c.builds & b)
        m.WriteFile(b == kW95 ? "D:\\W95-98\\app\\Setup.exe" : b == kW2K ? "D:\\W2K-ME\\app\\Setup.exe"
                                                                         : "D:\\NT40\\app\\Setup.exe",
                    "package setup");
    sim::CPlatformScope scope(m.Load());
    VersionClass version;
    ClassifyWindowsVersion(&version);
    char szPath[MAX_PATH] = "stale";
    BOOL bFound = FindPackageSetup(version, "D:\\", c.nWindowsMEDriver, c.nWindows98SEDriver, szPath);
    EXPECT_EQ(c.expected[0] != '\0', bFound != FALSE);
    EXPECT_EQ(c.expected[0] ? "D:\\" + std::string(c.expected) : std::string(), szPath);
    // An unknown family, or an unresolved source directory, finds nothing.
    VersionClass none = {};
    EXPECT_FALSE(FindPackageSetup(none, "D:\\", 1, 1, szPath));
    EXPECT_FALSE(FindPackageSetup(version, "", 1, 0, szPath));
    EXPECT_STREQ("", szPath);
  }
}
