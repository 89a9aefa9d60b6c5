// registry.reg as the simulated computer reads it. Invariant: a file it refuses gets one line saying why
// (setupsim's status 2 message); a file it takes is written back byte for byte (so what it wrote reads the
// same).
#include "FuzzCheck.h"
#include "sim/SimRegistry.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
  const std::string text(reinterpret_cast<const char*>(data), size);
  sim::CSimRegistry registry;
  std::string err;
  if (!registry.Parse(text, &err))
    return FUZZ_CHECK(OneLine(err), "refusal not one line: " + err), 0;
  FUZZ_CHECK(registry.Export() == text, "written back differently");
  return 0;
}
