// Which package Setup.exe is found on each Windows family, given the builds
// on the disc and the two setup.ini choices.
#include <gtest/gtest.h>

#include <cstring>

#include "TestMachine.h"
#include "install/LaunchContext.h"
#include "setup/PackageSetup.h"

TEST(PackageSetup, FindsTheBuildForEachFamily)
{
  // The builds on the disc, by digit: 9 W95-98, 2 W2K-ME, 4 NT40.
  const char* const kBuilds[] = { "W95-98\\app\\Setup.exe", "W2K-ME\\app\\Setup.exe", "NT40\\app\\Setup.exe" };
  const struct {
    const char* windows;
    int nWindowsMEDriver, nWindows98SEDriver;
    const char *builds, *expected;  // expected "": none
  } rows[] = {
    // Windows 95: its own build, else the W2K-ME one.
    { "95", 1, 0, "924", kBuilds[0] }, { "95", 1, 1, "24", kBuilds[1] }, { "95", 1, 0, "4", "" },
    // Windows 98 first edition: the SE option does not apply.
    { "98", 1, 1, "924", kBuilds[0] }, { "98", 0, 0, "2", kBuilds[1] },
    // Windows 98 SE: Windows98SEDriver picks the build; the fallback is the
    // W2K-ME build itself: nothing else is tried.
    { "98SE", 1, 1, "924", kBuilds[1] }, { "98SE", 1, 0, "924", kBuilds[0] }, { "98SE", 1, 0, "2", kBuilds[1] },
    { "98SE", 1, 1, "9", "" },
    // Windows ME: WindowsMEDriver picks the build.
    { "ME", 1, 0, "924", kBuilds[1] }, { "ME", 0, 0, "924", kBuilds[0] }, { "ME", 0, 1, "2", kBuilds[1] },
    { "ME", 1, 0, "94", "" },
    // NT classes: no fallback.
    { "NT4", 1, 0, "924", kBuilds[2] }, { "NT4", 1, 0, "92", "" }, { "2000", 1, 0, "924", kBuilds[1] },
    { "2000", 0, 1, "94", "" }, { "XP", 0, 0, "2", kBuilds[1] },
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(testing::Message() << "row " << &row - rows);
    CTestMachine m;
    m.options.windows = row.windows;
    for (int i = 0; i < 3; ++i)
      if (std::strchr(row.builds, "924"[i]))
        m.WriteFile(std::string("D:\\") + kBuilds[i], "package setup");
    sim::CPlatformScope scope(m.Load());
    VersionClass version;
    ClassifyWindowsVersion(&version);
    char szPath[MAX_PATH] = "stale";
    BOOL bFound = FindPackageSetup(version, "D:\\", row.nWindowsMEDriver, row.nWindows98SEDriver, szPath);
    EXPECT_EQ(row.expected[0] != '\0', bFound != FALSE);
    EXPECT_EQ(row.expected[0] ? "D:\\" + std::string(row.expected) : std::string(), szPath);
    // An unknown family, or an unresolved source directory, finds nothing.
    VersionClass none = {};
    EXPECT_FALSE(FindPackageSetup(none, "D:\\", 1, 1, szPath));
    EXPECT_FALSE(FindPackageSetup(version, "", 1, 0, szPath));
    EXPECT_STREQ("", szPath);
  }
}
