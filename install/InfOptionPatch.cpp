#include "install/InfOptionPatch.h"

// Placeholder until the option edits are built.
void PatchInfConfigLines(const char*, const VxdDriverOptions&) {}
