// registry.reg as the simulated computer reads it. Invariant: a file it refuses gets one line saying why
// (setupsim's status 2 message); a file it takes is written back byte for byte (so what it wrote reads the
// same).
#include "FuzzCheck.h"
#include "sim/SimRegistry.h"

FUZZ_TARGET(0, , text)
{
  sim::CSimRegistry registry;
  std::string err;
  if (!registry.Parse(text, &err))
    return FUZZ_CHECK(OneLine(err), "refusal not one line: " + err);
  FUZZ_CHECK(registry.Export() == text, "written back differently");
}
