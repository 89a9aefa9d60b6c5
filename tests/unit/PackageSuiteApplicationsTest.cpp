// Closing the suite applications: which windows get WM_CLOSE, and the pauses.
#include <gtest/gtest.h>

#include "PackageTestSupport.h"
#include "setup/SuiteApplications.h"

using namespace package_test;

TEST(PackageSuiteApplications, ClosesByTitleWithThePauses)
{
  struct {
    std::vector<std::string> open;
    std::vector<std::string> expected;
  } const cases[] = {
    { {}, { "pause 500" } },
    // Tonedock alone is closed, and gets its own pause.
    { { "Disc Spinner", "Tonedock" }, { "close-window \"Tonedock\"", "pause 500", "pause 500" } },
    { { "Tonedock" }, { "close-window \"Tonedock\"", "pause 500", "pause 500" } },
    // Without Tonedock every spinner is closed, in a fixed order, one pause.
    { { "Track Spinner", "Score Spinner", "Disc Spinner" },
      { "close-window \"Disc Spinner\"", "close-window \"Score Spinner\"",
        "close-window \"Track Spinner\"", "pause 500" } },
    { { "Score Spinner" }, { "close-window \"Score Spinner\"", "pause 500" } },
    // Titles match exactly; only the first window of a title is closed.
    { { "Tonedock - Mixer", "Track Spinner", "Track Spinner" },
      { "close-window \"Track Spinner\"", "pause 500" } },
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(Join(c.open));
    CTestMachine m;
    m.options.openWindows = c.open;
    sim::CSimComputer& pc = m.Load();
    sim::CPlatformScope scope(pc);
    CloseSuiteApplications();
    EXPECT_EQ(c.expected, pc.Events()) << Join(pc.Events());
  }
}
