// registry.reg as the simulated computer reads it. Invariant: a file it
// refuses gets one line saying why (setupsim's status 2 message); a file it
// takes is written back byte for byte, and what it wrote reads the same.
#include "FuzzCheck.h"
#include "sim/SimRegistry.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
  const std::string text(reinterpret_cast<const char*>(data), size);
  sim::CSimRegistry registry;
  std::string err;
  if (!registry.Parse(text, &err)) {
    FUZZ_CHECK(!err.empty() && err.find_first_of("\r\n") == std::string::npos,
               "refusal not one line: " + err);
    return 0;
  }
  const std::string written = registry.Export();
  FUZZ_CHECK(written == text, "written back differently");
  sim::CSimRegistry again;
  FUZZ_CHECK(again.Parse(written, &err) && again.Export() == written, "its own export: " + err);
  return 0;
}
